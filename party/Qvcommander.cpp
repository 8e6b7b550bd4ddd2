#include "party/Qvcommander.h"
#include "controls/Look.h"

#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Partyshape.h"

#include <QApplication>
#include <QLabel>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kDark = RGBColor(128, 0, 0);
constexpr TColor kBlack = RGBColor(0, 0, 0);
constexpr int kWidth = 430, kHeight = 330;

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
        const int x = 10 + (k / 10) * 210, y = 32 + (k % 10) * 22;
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
        // Every mouse button sends.
        flbSync[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendSync(labParty[k]->text().toStdString()); };
        flbGoto[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendGoto(labParty[k]->text().toStdString()); };
        flbStop[k]->OnMouseDown = [this, k](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int,
                                            int) { SendStop(labParty[k]->text().toStdString()); };
    }

    labNaviMes = new QLabel(this);
    labNaviMes->setGeometry(12, 256, 320, 60);
    labNaviMes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    flbClose = button("Close", kWidth - 74, kHeight - 28, 60, 9);
    flbClose->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        accept();
    };
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
    QDialog::showEvent(e);
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
    std::string why = TPartySettings::IdProblem(id);
    if (Blank(id)) why = "no ID";
    if (!why.empty()) {
        why = "the ID cannot be used in a file name: " + why;
    } else if (std::string path;
               command_.Create(Party ? Party->Folder : std::string(), id, Clock().NowMs(), lines,
                               path, why)) {
        why.clear();
    } else if (why.empty()) {
        why = "not written";
    }
    // A command that did not reach the folder says so in the log.
    AddCommandLog(why.empty() ? line : line + " failed: " + why);
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
