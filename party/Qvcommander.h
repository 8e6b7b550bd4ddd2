// TfrmCommander: "Command". One row per participant of the party settings,
// each with "Sync", "Goto" and "Stop"; every press writes one command file
// into the shared folder and adds a line to the log beneath. Beside the
// buttons each row shows what the participant's status file says: its last
// applied command and that command's age, "not seen", or how far behind it is.
#pragma once

#include "controls/Ctlbase.h"
#include "party/Commandlog.h"
#include "party/Partycommand.h"
#include "party/Partysettings.h"
#include "party/Partyview.h"
#include "party/Partywatch.h"
#include "party/Windowdrag.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QTimer;
class TFrameLabel;
class TPartyShape;

class TfrmCommander : public QDialog {
public:
    explicit TfrmCommander(QWidget* parent = nullptr);
    ~TfrmCommander() override;

    // The party settings in force (IDs and folder); set by the program.
    const TPartySettings* Party = nullptr;
    // What the chart window shows at the moment of a press.
    std::function<TPartyView()> View;
    // The simple beep after every command.
    std::function<void()> Beep;

    static constexpr int kRows = TPartySettings::kIds;
    std::array<QLabel*, kRows> labParty, labMbr;
    // What the participant's status file says, or why the last command failed.
    std::array<QLabel*, kRows> labState;
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

    // The rows' look into the shared folder, every kWatch ms while shown; it
    // runs on a thread of its own and its result comes back to ApplyRows.
    static constexpr int kWatch = 2000;
    void RefreshRows();
    bool RowsRunning() const { return watchBusy_; }
    void ApplyRows(const std::vector<TPartyRow>& rows);

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Send(const char* word, const std::string& id, const std::vector<std::string>& lines);

    void ShowRowState(int k);

    TPartyCommand command_;
    std::array<std::string, kRows> rowFail_; // why the row's last command was not written
    std::array<TPartySent, kRows> rowSent_;  // the row's last command written
    std::array<std::vector<std::string>, kRows> rowLines_; // and its lines
    std::array<std::string, kRows> rowNote_; // said on the row until the next command
    std::vector<TPartyRow> rows_;
    QTimer* timWatch_ = nullptr;
    bool watchBusy_ = false;
    struct TWatchLink;
    std::shared_ptr<TWatchLink> watchLink_;
    TCommandLog log_;
    std::array<TColor, kRows> rowColor_{};
    TWindowDrag drag_{this};
};
