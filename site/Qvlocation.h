// TfrmLocation: the site editor. Edits one observing site (name, longitude,
// latitude, height, time difference, summer time) handed in by the caller,
// with a small world map on which a right click picks the position, and the
// site's horizon file (the profile of trees and houses, or the flat horizon).
#pragma once

#include "site/Worldmap.h"

#include <QDialog>
#include <QImage>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class TFrameLabel;
class TKeyInp;

// The map picture: shows the drawn image and reports mouse presses.
class TMapImage : public QWidget {
public:
    explicit TMapImage(QWidget* parent = nullptr);
    QImage Image;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

class TfrmLocation : public QDialog {
public:
    explicit TfrmLocation(QWidget* parent = nullptr);

    // Values exchanged with the caller.
    int Mode = 1; // 1 add, 2 edit
    std::string Name;
    double Lng = 0.0, Lat = 0.0, Height = 0.0, DiffUT = 0.0, Summer = 0.0;
    int Result = 0; // 1 OK, 0 cancelled
    // The site's horizon file; empty: the flat horizon. Only a file that reads
    // as a horizon profile is taken.
    std::string HorizonFile;

    // Questions and notices go through this (the program's message window);
    // it returns the message window's result code (10001 Yes ...).
    std::function<int(int buttons, const std::string& text)> Ask;
    // Whether a name can be stored (the settings file has a fixed-size field).
    std::function<bool(const std::string& name)> NameFits;
    // Asks for a horizon file (a file dialog unless set); empty: none chosen.
    std::function<std::string(const std::string& current)> PickHorizonFile;

    TWorldMap Map;

    // Controls, public so that the caller and tests can reach them.
    QLineEdit* edtName;
    TKeyInp *kinLngD, *kinLngM, *kinLatD, *kinLatM, *kinSLevel, *kinDiffUT, *kinSummer;
    TFrameLabel *flbZoomIn, *flbZoomOut, *flbOk, *flbCancel;
    QLineEdit* edtHorizon; // the chosen file, read only
    TFrameLabel *flbHorizon, *flbFlat;
    TMapImage* imgMap;

    void FormShow();
    void imgMapMouseDown(Qt::MouseButton button, int x, int y);
    void flbZoomInMouseDown();
    void flbZoomOutMouseDown();
    void flbOkMouseDown();
    void flbCancelMouseDown();
    void flbHorizonMouseDown(); // choose a horizon file
    void flbFlatMouseDown();    // back to the flat horizon
    void DrawMap();

    // The input after / before one in the input order (name first).
    QWidget* NextInput(QWidget* w, int step) const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Closes the editor without a change (Escape).
    void Dismiss();
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void KinKeyDown(QWidget* sender, int& key);
    int AskUser(int buttons, const std::string& text);
    QLabel* MakeLabel(const char* text, int x, int y);
    void ShowHorizon();
    bool closing_ = false; // closed by OK or a confirmed Cancel
    std::string horizon_;  // the file while the editor is open
};
