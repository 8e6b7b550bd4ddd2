// TfrmZorede: "ZOREDE - Semi Auto Navigation". Tells an observer with an
// equatorial mount that has setting circles but no motors what to dial for
// the chart's object, from one to ten reference stars whose circle readings
// the user typed in. The readings follow the turning sky every 20 seconds.
// Created once; the reference stars live for the run of the program.
#pragma once

#include "astro/Clslocation.h"
#include "controls/Ctlbase.h"
#include "navi/Navistars.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class TFrameLabel;
class TKeyInp;
class TSelGrid;

class TfrmZorede : public QDialog {
public:
    static constexpr int kNarrow = 280; // the readings only
    static constexpr int kWide = 490;   // with the reference-star panel
    static constexpr int kHeight = 284;
    static constexpr int kRefresh = 20000; // ms

    explicit TfrmZorede(QWidget* parent = nullptr);
    ~TfrmZorede() override;

    // The chart window's entry: the object's place of date (radians), the
    // chart's MJD (UT) and the site; shows the window modally.
    void Navigate(const TLocation& site, double ra, double dec, double mjd,
                  const std::string& name);
    // The same without showing (for a caller that shows the window itself).
    void SetTarget(const TLocation& site, double ra, double dec, double mjd,
                   const std::string& name);

    // Questions and notices go through this (the program's message window);
    // it returns the message window's result code (10001 Yes ...).
    std::function<int(int buttons, const std::string& text)> Ask;
    // The chart's MJD at this moment, taken as the reference time when
    // "Std Star" is pressed. Unset: the MJD this window is computing for.
    std::function<double()> ChartMjd;

    // The 20-second refresh; tests put a TSteppedTimer in.
    void SetTimer(std::unique_ptr<TRepeatTimer> timer);
    TRepeatTimer& Timer() { return *timZorede; }

    TNaviStars Stars;
    TLocation Site;
    double TargetRa = 0.0, TargetDc = 0.0;
    std::string TargetName;
    double NowMjd = 0.0; // the instant the readings are for
    double RefMjd = 0.0; // taken at "Std Star"
    // The last readings shown; HasDial false while "--h--m" is shown.
    bool HasDial = false;
    double DialRa = 0.0, DialDc = 0.0;
    // How far those readings can be off (radians), or why there are none.
    bool HasBound = false;
    double Bound = 0.0;

    // Controls, public so that the caller and tests can reach them.
    QLabel *labRaV, *labDcV, *labObjName, *labCap6;
    QLabel* labAccuracy; // the estimate beside the readings, or why there are none
    TKeyInp *kinRaHV, *kinRaMV, *kinDcV;
    TSelGrid* grdStandard;
    TFrameLabel *labStandard, *flbAdd, *flbDelete, *flbCancel, *flbClose;

    void FormShow();
    void FormClose();
    void timZoredeTimer();
    void labStandardClick();
    void flbAddMouseDown();
    void flbDeleteMouseDown();
    void flbCancelMouseDown();
    void flbCloseMouseDown();
    void ClosePanel();
    void UpdateNavigation();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void KinKeyDown(QWidget* sender, int& key);
    int AskUser(int buttons, const std::string& text);
    QLabel* MakeLabel(const char* text, int x, int y, int points);
    TFrameLabel* MakeButton(const char* text, int x, int y, int w);

    std::unique_ptr<TRepeatTimer> timZorede;
};
