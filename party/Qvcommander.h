// TfrmCommander: "Command". One row per participant of the party settings,
// each with "Sync", "Goto" and "Stop"; every press writes one command file
// into the shared folder and adds a line to the log beneath.
#pragma once

#include "controls/Ctlbase.h"
#include "party/Commandlog.h"
#include "party/Partycommand.h"
#include "party/Partysettings.h"
#include "party/Partyview.h"
#include "party/Windowdrag.h"

#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QLabel;
class TFrameLabel;
class TPartyShape;

class TfrmCommander : public QDialog {
public:
    explicit TfrmCommander(QWidget* parent = nullptr);

    // The party settings in force (IDs and folder); set by the program.
    const TPartySettings* Party = nullptr;
    // What the chart window shows at the moment of a press.
    std::function<TPartyView()> View;
    // The simple beep after every command.
    std::function<void()> Beep;

    static constexpr int kRows = TPartySettings::kIds;
    std::array<QLabel*, kRows> labParty, labMbr;
    std::array<TPartyShape*, kRows> shpULine;
    std::array<TFrameLabel*, kRows> flbSync, flbGoto, flbStop;
    QLabel* labNaviMes;
    TFrameLabel *flbControler, *flbClose;
    TPartyShape* shpFrame;

    void FormShow();
    void SendSync(const std::string& id);
    void SendGoto(const std::string& id);
    void SendStop(const std::string& id);
    // The path of the next command file for id (advances the sequence).
    std::string MakeCommandFileName(const std::string& id);
    void AddCommandLog(const std::string& message);
    const TCommandLog& Log() const { return log_; }
    // The colour of row k's number and underline.
    TColor RowColor(int k) const;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void Send(const char* word, const std::string& id, const std::vector<std::string>& lines);

    TPartyCommand command_;
    TCommandLog log_;
    std::array<TColor, kRows> rowColor_{};
    TWindowDrag drag_{this};
};
