// TfrmSetParty: "Setting Star Party". The station's party mode, the shared
// folder and the IDs of the twenty participants it commands. The settings are
// kept in "StarParty.dat" beside the program and read at start.
#pragma once

#include "controls/Ctlbase.h"
#include "party/Partysettings.h"
#include "party/Windowdrag.h"

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class TFrameLabel;
class TPartyShape;
class TfrmDir;

class TfrmSetParty : public QDialog {
public:
    // folder: where "StarParty.dat" lives (the program folder).
    explicit TfrmSetParty(const std::string& folder, QWidget* parent = nullptr);

    // The settings in force; the commander reads them.
    TPartySettings Stored;

    // Reads "StarParty.dat"; a damaged file is reported (once, here) and read
    // as far as it is valid. Then tells ShowCommand the mode read.
    void LoadSettings();
    std::string SettingsPath() const;

    // Questions and notices (the program's message window).
    std::function<int(int buttons, const std::string& text)> Ask;
    // OK tells the chart window whether to show its "COM" label.
    std::function<void(bool visible)> ShowCommand;
    // The folder window behind "Set".
    TfrmDir* Dir = nullptr;

    int DialogMode() const { return dialogMode_; }
    // The folder shown (whole, though the line may show it shortened).
    std::string ShownFolder() const { return shownFolder_; }

    std::array<TFrameLabel*, 3> flbPartyMode;
    QLabel *labNote1, *labNote2;
    TPartyShape *shpFrame, *shpFrame1, *shpFrame2;
    TFrameLabel *flbPartyPath, *flbSetDir, *flbOk, *flbCancel, *flbControler;
    std::array<QLineEdit*, TPartySettings::kIds> edtParty;
    // This station's own ID (Receiver mode).
    QLabel* labOwnId;
    QLineEdit* edtOwnId;
    TPartyShape* shpOwnLine;
    std::array<QLabel*, TPartySettings::kIds> labMbr;
    std::array<TPartyShape*, TPartySettings::kIds> shpULine;

    void FormShow();
    void SelectMode(int mode);
    void flbPartyModeMouseDown(int mode);
    void flbSetDirMouseDown();
    void flbOkMouseDown();
    void flbCancelMouseDown();
    // The colour of a label's text.
    static TColor TextColor(const QLabel* l);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    int Tell(const std::string& text);
    void ShowFolder(const std::string& folder);

    std::string folder_;
    int dialogMode_ = 1;
    std::string shownFolder_;
    TWindowDrag drag_{this};
};
