#include "party/Qvsetparty.h"
#include "controls/Look.h"

#include "catalog/Clsfolders.h"
#include "controls/Framelabel.h"
#include "party/Partyshape.h"
#include "party/Qvdir.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kDark = RGBColor(128, 0, 0);
constexpr TColor kDarker = RGBColor(64, 0, 0);
constexpr TColor kBlack = RGBColor(0, 0, 0);
constexpr int kWidth = 430, kHeight = 424;

} // namespace

TfrmSetParty::TfrmSetParty(const std::string& folder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), folder_(folder) {
    setModal(true);
    setWindowTitle("Setting Star Party");
    setFixedSize(kWidth, kHeight);
    SetWindowLook(this, 9, true);

    shpFrame = new TPartyShape(this);
    shpFrame->setGeometry(0, 0, kWidth, kHeight);
    drag_.Attach(shpFrame);

    auto button = [this](const std::string& text, int x, int y, int w) {
        auto* f = RedButton(this, text, QRect(x, y, w, 20), 9);
        f->SetCFLk(kDark);
        f->SetCTLk(kDark);
        f->SetCBLk(kBlack);
        return f;
    };
    flbControler = button("Setting Star Party", 4, 4, kWidth - 8);
    flbControler->SetCB(kDark);
    drag_.Attach(flbControler);

    const char* modes[3] = {"Disconnect", "Receiver", "Commander"};
    for (int m = 0; m < 3; ++m) {
        flbPartyMode[m] = button(modes[m], 15 + m * 135, 34, 125);
        flbPartyMode[m]->OnMouseDown = [this, m](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers,
                                                 int, int) {
            if (b == Qt::LeftButton) flbPartyModeMouseDown(m + 1);
        };
    }

    labNote1 = new QLabel("- Select network common folder.", this);
    labNote1->setGeometry(15, 62, 400, 16);
    shpFrame1 = new TPartyShape(this);
    shpFrame1->setGeometry(15, 80, 400, 58);
    flbPartyPath = button("", 22, 87, 330);
    flbPartyPath->SetAlignment(Qt::AlignLeft);
    flbPartyPath->SetML(3);
    flbSetDir = button("Set", 358, 87, 50);
    flbSetDir->SetPsE(true);
    flbSetDir->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbSetDirMouseDown();
    };

    // A receiving station finds its command files by its own ID.
    labOwnId = new QLabel("Own ID", this);
    labOwnId->setGeometry(22, 112, 50, 18);
    edtOwnId = new QLineEdit(this);
    edtOwnId->setGeometry(80, 112, 100, 18);
    edtOwnId->setMaxLength(TPartySettings::kIdLength);
    edtOwnId->setFrame(false);
    edtOwnId->setFont(QFont("Arial", 9));
    shpOwnLine = new TPartyShape(this, true);
    shpOwnLine->setGeometry(80, 130, 100, 1);

    labNote2 = new QLabel("- Enter the user IDs of the participants to command.", this);
    labNote2->setGeometry(15, 146, 400, 16);
    shpFrame2 = new TPartyShape(this);
    shpFrame2->setGeometry(15, 164, 400, 214);
    for (int k = 0; k < TPartySettings::kIds; ++k) {
        const int col = k / 10, row = k % 10;
        const int x = 25 + col * 200, y = 170 + row * 20;
        labMbr[k] = new QLabel(QString::number(k + 1) + ".", this);
        labMbr[k]->setGeometry(x, y, 24, 18);
        labMbr[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edtParty[k] = new QLineEdit(this);
        edtParty[k]->setGeometry(x + 30, y, 100, 18);
        edtParty[k]->setMaxLength(TPartySettings::kIdLength);
        edtParty[k]->setFrame(false);
        edtParty[k]->setFont(QFont("Arial", 9));
        edtParty[k]->installEventFilter(this);
        shpULine[k] = new TPartyShape(this, true);
        shpULine[k]->setGeometry(x + 30, y + 18, 100, 1);
    }
    for (int k = 0; k + 1 < TPartySettings::kIds; ++k)
        setTabOrder(edtParty[k], edtParty[k + 1]);

    flbOk = button("OK", kWidth - 150, kHeight - 36, 60);
    flbCancel = button("Cancel", kWidth - 80, kHeight - 36, 60);
    flbOk->SetPsE(true);
    flbCancel->SetPsE(true);
    flbOk->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbOkMouseDown();
    };
    flbCancel->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbCancelMouseDown();
    };
}

std::string TfrmSetParty::SettingsPath() const {
    return PathIn(folder_, TPartySettings::kFileName);
}

int TfrmSetParty::Tell(const std::string& text) {
    if (Ask) return Ask(2, text);
    QMessageBox::warning(this, "Setting Star Party", QString::fromStdString(text));
    return 10003;
}

void TfrmSetParty::LoadSettings() {
    std::string why;
    if (!Stored.Load(SettingsPath(), why)) {
        // A file that cannot be read at all names itself in why; a damaged
        // one gives the line.
        if (why.rfind("Cannot read ", 0) == 0)
            Tell(why + ".\r\nThe party settings take their start values.");
        else
            Tell(std::string(TPartySettings::kFileName) + " is damaged (" + why +
                 ").\r\nThe party settings from there on take their start values.");
    }
    if (ShowCommand) ShowCommand(Stored.Mode == 3);
}

TColor TfrmSetParty::TextColor(const QLabel* l) {
    const QColor c = l->palette().color(QPalette::WindowText);
    return RGBColor(c.red(), c.green(), c.blue());
}

void TfrmSetParty::ShowFolder(const std::string& folder) {
    shownFolder_ = folder;
    const QFontMetrics fm(flbPartyPath->font());
    flbPartyPath->SetCap(
        TfrmDir::ShortPath(folder, flbPartyPath->width() - 8, [&](const std::string& t) {
            return fm.horizontalAdvance(QString::fromStdString(t));
        }));
}

void TfrmSetParty::FormShow() {
    for (int k = 0; k < TPartySettings::kIds; ++k)
        edtParty[k]->setText(QString::fromStdString(Stored.Ids[k]));
    edtOwnId->setText(QString::fromStdString(Stored.OwnId));
    dialogMode_ = Stored.Mode;
    SelectMode(dialogMode_);
    ShowFolder(Stored.Folder);
}

void TfrmSetParty::showEvent(QShowEvent* e) {
    FormShow();
    QDialog::showEvent(e);
}

void TfrmSetParty::SelectMode(int mode) {
    for (int m = 0; m < 3; ++m) {
        const bool on = m + 1 == mode;
        flbPartyMode[m]->SetCB(on ? kDark : kBlack);
        flbPartyMode[m]->SetFontColor(on ? kRed : kDark);
        flbPartyMode[m]->SetCF(on ? kRed : kDark);
    }
    const bool folderOn = mode >= 2, idsOn = mode == 3;
    SetTextColor(labNote1, folderOn ? kRed : kDark);
    shpFrame1->SetPen(folderOn ? kRed : kDark);
    shpFrame1->SetBrush(folderOn ? kDarker : kBlack);
    flbPartyPath->SetLK(!folderOn);
    flbSetDir->SetLK(!folderOn);
    const bool ownOn = mode == 2;
    edtOwnId->setVisible(ownOn);
    SetTextColor(labOwnId, ownOn ? kRed : kDark);
    shpOwnLine->SetPen(ownOn ? kRed : kDark);

    SetTextColor(labNote2, idsOn ? kRed : kDark);
    shpFrame2->SetPen(idsOn ? kRed : kDark);
    shpFrame2->SetBrush(idsOn ? kDarker : kBlack);
    for (int k = 0; k < TPartySettings::kIds; ++k) {
        edtParty[k]->setVisible(idsOn);
        SetTextColor(labMbr[k], idsOn ? kRed : kDark);
        shpULine[k]->SetPen(idsOn ? kRed : kDark);
    }
}

void TfrmSetParty::flbPartyModeMouseDown(int mode) {
    if (mode == dialogMode_) return;
    dialogMode_ = mode;
    SelectMode(mode);
}

void TfrmSetParty::flbSetDirMouseDown() {
    if (!Dir) return;
    // Open at the folder shown, unless its volume does not answer.
    if (!shownFolder_.empty()) Dir->SetFolder(shownFolder_);
    Dir->exec();
    std::string f = Dir->Folder();
    if (f.empty() || f.back() != '/') f += "/";
    ShowFolder(f);
}

void TfrmSetParty::flbOkMouseDown() {
    // An ID is the front of a file name in the shared folder: refuse one that
    // would write elsewhere or could not be written at all.
    for (int k = 0; k < TPartySettings::kIds; ++k) {
        const std::string problem = TPartySettings::IdProblem(edtParty[k]->text().toStdString());
        if (!problem.empty()) {
            Tell("The ID of participant " + std::to_string(k + 1) +
                 " cannot be used in a file name: " + problem + ".");
            if (edtParty[k]->isVisible()) edtParty[k]->setFocus();
            return;
        }
    }
    const std::string own = edtOwnId->text().toStdString();
    const std::string ownProblem = TPartySettings::IdProblem(own);
    if (!ownProblem.empty()) {
        Tell("This station's own ID cannot be used in a file name: " + ownProblem + ".");
        if (edtOwnId->isVisible()) edtOwnId->setFocus();
        return;
    }
    if (dialogMode_ == 2 && own.find_first_not_of(' ') == std::string::npos) {
        Tell("A receiving station needs its own ID: the commander's files for it begin with it.");
        edtOwnId->setFocus();
        return;
    }
    for (int k = 0; k < TPartySettings::kIds; ++k)
        Stored.Ids[k] = edtParty[k]->text().toStdString();
    // A new ID or folder is a new stream of commands: its files are judged
    // from now on, not from the last one applied under the old ones.
    if (own != Stored.OwnId || shownFolder_ != Stored.Folder) {
        Stored.LastStamp.clear();
        Stored.LastSeq = 0;
    }
    Stored.OwnId = own;
    if (ShowCommand) ShowCommand(dialogMode_ == 3);
    Stored.Mode = dialogMode_;
    Stored.Folder = shownFolder_;
    std::string why;
    if (!Stored.Save(SettingsPath(), why))
        Tell("The party settings could not be saved. " + why +
             ". They hold until the program ends.");
    accept();
}

void TfrmSetParty::flbCancelMouseDown() {
    reject();
}

bool TfrmSetParty::eventFilter(QObject* obj, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(obj, e);
    for (int k = 0; k < TPartySettings::kIds; ++k) {
        if (obj != edtParty[k]) continue;
        const int n = TPartySettings::kIds;
        switch (static_cast<QKeyEvent*>(e)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            edtParty[(k + 1) % n]->setFocus();
            return true;
        case Qt::Key_Up:
            edtParty[(k + n - 1) % n]->setFocus();
            return true;
        case Qt::Key_Escape:
            flbCancelMouseDown(); // closes without a change
            return true;
        default:
            return false;
        }
    }
    return QDialog::eventFilter(obj, e);
}
