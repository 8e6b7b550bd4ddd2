#include "party/Qvcommander.h"
#include "controls/Look.h"

#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Partyshape.h"

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <QTimer>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kDark = RGBColor(128, 0, 0);
constexpr TColor kBlack = RGBColor(0, 0, 0);
constexpr int kColumn = 330; // number, ID, three buttons and the participant's state
constexpr int kWidth = 20 + 2 * kColumn, kHeight = 330;

bool Blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

// A text fit for one line of the log: control characters shown as "?".
std::string Printable(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
    return s;
}

} // namespace

struct TfrmCommander::TWatchLink {
    std::mutex Lock;
    bool Alive = true;
};

TfrmCommander::~TfrmCommander() {
    std::lock_guard<std::mutex> g(watchLink_->Lock);
    watchLink_->Alive = false;
}

TfrmCommander::TfrmCommander(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    setWindowTitle("Command");
    setFixedSize(kWidth, kHeight);
    SetWindowLook(this, 9);
    Beep = [] { QApplication::beep(); };

    shpFrame = new TPartyShape(this);
    shpFrame->setGeometry(0, 0, kWidth, kHeight);
    drag_.Attach(shpFrame);

    auto button = [this](const std::string& text, int x, int y, int w, int size) {
        auto* f = RedButton(this, text, QRect(x, y, w, 18), size);
        f->SetCFLk(kDark);
        f->SetCTLk(kDark);
        f->SetCBLk(kBlack);
        f->SetPsE(true);
        return f;
    };
    flbControler = button("Command", 4, 4, kWidth - 8, 9);
    flbControler->SetCB(kDark);
    flbControler->SetPsE(false);
    drag_.Attach(flbControler);

    // Two columns of ten rows.
    for (int k = 0; k < kRows; ++k) {
        const int x = 10 + (k / 10) * kColumn, y = 32 + (k % 10) * 22;
        labMbr[k] = new QLabel(QString::number(k + 1) + ".", this);
        labMbr[k]->setGeometry(x, y, 22, 18);
        labMbr[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        labParty[k] = new QLabel(this);
        labParty[k]->setGeometry(x + 26, y, 60, 18);
        shpULine[k] = new TPartyShape(this, true);
        shpULine[k]->setGeometry(x + 26, y + 18, 60, 1);
        flbSync[k] = button("Sync", x + 90, y, 36, 8);
        flbGoto[k] = button("Goto", x + 128, y, 36, 8);
        flbStop[k] = button("Stop", x + 166, y, 36, 8);
        labState[k] = new QLabel(this);
        labState[k]->setGeometry(x + 208, y, kColumn - 212, 18);
        labState[k]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QFont small = labState[k]->font();
        small.setPointSize(8);
        labState[k]->setFont(small);
        // Every mouse button sends.
        flbSync[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendSync(labParty[k]->text().toStdString()); };
        flbGoto[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendGoto(labParty[k]->text().toStdString()); };
        flbStop[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendStop(labParty[k]->text().toStdString()); };
    }

    labNaviMes = new QLabel(this);
    labNaviMes->setGeometry(12, 256, kWidth - 100, 60);
    labNaviMes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    flbClose = button("Close", kWidth - 74, kHeight - 28, 60, 9);
    flbClose->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        accept();
    };
    watchLink_ = std::make_shared<TWatchLink>();
    timWatch_ = new QTimer(this);
    timWatch_->setInterval(kWatch);
    QObject::connect(timWatch_, &QTimer::timeout, this, [this] { RefreshRows(); });
}

void TfrmCommander::RefreshRows() {
    if (watchBusy_ || !Party) return;
    watchBusy_ = true;
    const std::string folder = Party->Folder;
    std::vector<std::string> ids(Party->Ids.begin(), Party->Ids.end());
    std::vector<TPartySent> sent(rowSent_.begin(), rowSent_.end());
    for (int k = 0; k < kRows; ++k)
        if (labParty[k]->text().toStdString() != ids[k]) sent[k] = TPartySent();
    const std::int64_t now = Clock().NowMs();
    std::shared_ptr<TWatchLink> link = watchLink_;
    // Without a thread to look with, the rows keep what they show until the
    // next refresh.
    try {
        std::thread([this, link, folder, ids, now, sent] {
            auto rows = std::make_shared<std::vector<TPartyRow>>(
                TPartyWatch::Look(folder, ids, now, sent));
            std::lock_guard<std::mutex> g(link->Lock);
            if (link->Alive)
                QMetaObject::invokeMethod(
                    this,
                    [this, rows] {
                        watchBusy_ = false;
                        ApplyRows(*rows);
                    },
                    Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error&) {
        watchBusy_ = false;
    }
}

void TfrmCommander::ApplyRows(const std::vector<TPartyRow>& rows) {
    rows_ = rows;
    // Another commander's file took the name of this one's latest command (a
    // sync engine kept the other as the file and this one as a conflict
    // copy): the command goes again under a new name, and the row says so.
    for (int k = 0; k < kRows && k < static_cast<int>(rows.size()); ++k) {
        // A command sent while the look was out is not the one it found replaced.
        if (!rows[k].Replaced || rowSent_[k].Name.empty() || rows[k].Checked != rowSent_[k].Name)
            continue;
        const std::string old = rowSent_[k].Name, id = rows[k].Id;
        std::string path, why;
        if (command_.Create(Party ? Party->Folder : std::string(), id, Clock().NowMs(), rowLines_[k],
                            path, why)) {
            const std::string name = path.substr(path.find_last_of('/') + 1);
            rowSent_[k] = {name, Clock().NowMs(), rowSent_[k].Bytes};
            rowNote_[k] = "sent again as " + name + ": " + old + " holds another commander's command";
            AddCommandLog("AGAIN " + Printable(id) + ": " + old + " was replaced");
        } else {
            rowSent_[k] = TPartySent();
            rowNote_[k] = old + " was replaced by another commander's and could not be sent again: " + why;
        }
    }
    for (int k = 0; k < kRows; ++k)
        ShowRowState(k);
}

void TfrmCommander::ShowRowState(int k) {
    const std::string id = labParty[k]->text().toStdString();
    std::string text, tip;
    TColor color = kRed;
    if (!rowFail_[k].empty()) {
        // The system's reason alone fits the row; the tool tip has it all.
        const std::size_t colon = rowFail_[k].rfind(": ");
        text = "! not written: " +
               (colon == std::string::npos ? rowFail_[k] : rowFail_[k].substr(colon + 2));
        tip = "the last command to " + id + " was not written: " + rowFail_[k];
    } else if (k < static_cast<int>(rows_.size()) && rows_[k].Id == id) {
        text = TPartyWatch::RowText(rows_[k], Clock().NowMs());
        tip = TPartyWatch::RowTip(rows_[k]);
        if (!rows_[k].Seen) color = kDark;
    }
    if (!rowNote_[k].empty()) {
        text = "! sent again, " + text;
        tip = rowNote_[k] + "\n" + tip;
    }
    labState[k]->setText(QString::fromStdString(text));
    labState[k]->setToolTip(QString::fromStdString(tip));
    SetTextColor(labState[k], color);
}

void TfrmCommander::FormShow() {
    for (int k = 0; k < kRows; ++k) {
        const std::string id = Party ? Party->Ids[k] : std::string();
        labParty[k]->setText(QString::fromStdString(id));
        const bool empty = Blank(id);
        rowColor_[k] = empty ? kDark : kRed;
        SetTextColor(labMbr[k], rowColor_[k]);
        shpULine[k]->SetPen(rowColor_[k]);
        for (TFrameLabel* b : {flbSync[k], flbGoto[k], flbStop[k]})
            b->SetLK(empty);
    }
}

void TfrmCommander::showEvent(QShowEvent* e) {
    FormShow();
    for (int k = 0; k < kRows; ++k)
        ShowRowState(k);
    RefreshRows();
    timWatch_->start();
    QDialog::showEvent(e);
}

void TfrmCommander::hideEvent(QHideEvent* e) {
    timWatch_->stop();
    QDialog::hideEvent(e);
}

TColor TfrmCommander::RowColor(int k) const {
    return rowColor_[k];
}

std::string TfrmCommander::MakeCommandFileName(const std::string& id) {
    return command_.MakeCommandFileName(Party ? Party->Folder : std::string(), id, Clock().NowMs());
}

void TfrmCommander::AddCommandLog(const std::string& message) {
    log_.Add(message);
    QString text = QString::fromStdString(log_.Text());
    text.replace("\r\n", "\n");
    labNaviMes->setText(text.trimmed());
}

void TfrmCommander::Send(const char* word, const std::string& id,
                         const std::vector<std::string>& lines) {
    std::string line = word + std::string(" ") + Printable(id);
    std::string why = TPartySettings::IdProblem(id), sentName;
    if (Blank(id)) why = "no ID";
    if (!why.empty()) {
        why = "the ID cannot be used in a file name: " + why;
    } else if (std::string path;
               command_.Create(Party ? Party->Folder : std::string(), id, Clock().NowMs(), lines,
                               path, why)) {
        why.clear();
        sentName = path.substr(path.find_last_of('/') + 1);
    } else if (why.empty()) {
        why = "not written";
    }
    // A command that did not reach the folder says so in the log and on
    // the participant's row.
    AddCommandLog(why.empty() ? line : line + " failed: " + why);
    std::string bytes;
    for (const std::string& l : lines)
        bytes += l + "\r\n";
    for (int k = 0; k < kRows; ++k) {
        if (labParty[k]->text().toStdString() != id) continue;
        rowFail_[k] = why;
        rowNote_[k].clear();
        rowLines_[k] = lines;
        rowSent_[k] = why.empty() ? TPartySent{sentName, Clock().NowMs(), bytes} : TPartySent();
        ShowRowState(k);
    }
    if (Beep) Beep();
}

void TfrmCommander::SendSync(const std::string& id) {
    Send("SYNC", id, TPartyCommand::SyncLines(View ? View() : TPartyView()));
}

void TfrmCommander::SendGoto(const std::string& id) {
    Send("GOTO", id, TPartyCommand::GotoLines(View ? View() : TPartyView()));
}

void TfrmCommander::SendStop(const std::string& id) {
    Send("STOP", id, TPartyCommand::StopLines());
}
