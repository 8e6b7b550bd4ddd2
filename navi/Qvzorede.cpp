#include "navi/Qvzorede.h"
#include "controls/Look.h"

#include "astro/Clsmjd.h"
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "controls/Keyinp.h"
#include "controls/Selgrid.h"
#include "navi/Naviaccuracy.h"
#include "navi/Navitext.h"

#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QShowEvent>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr int kYes = 10001;
constexpr int kPanel = 292; // left edge of the reference-star panel

double NumberOf(const std::string& s) {
    const double v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

void SetupKin(TKeyInp* k, int length, int decimals, double min, double max, bool sign) {
    k->SetKeta(length);
    k->SetSho(decimals);
    k->SetMin(min);
    k->SetMax(max);
    k->SetMn(sign);
    k->SetPs(sign);
    k->SetTZ(true);
    k->SetZ(true);
    k->SetAS(true);
    k->SetCB(RGBColor(0, 0, 0));
    k->SetFontColor(kRed);
    k->setFont(QFont("Arial", 12));
}

} // namespace

TfrmZorede::TfrmZorede(QWidget* parent) : QDialog(parent) {
    setWindowTitle("ZOREDE - Semi Auto Navigation");
    setFixedSize(kNarrow, kHeight);
    SetWindowLook(this, 9);

    // The readings.
    MakeLabel("Setting Circles Coordinates", 12, 10, 10);
    MakeLabel("R.A", 12, 46, 12);
    labRaV = MakeLabel("", 60, 36, 22);
    labRaV->setFixedSize(208, 36);
    MakeLabel("Dc", 12, 90, 12);
    labDcV = MakeLabel("", 60, 80, 22);
    labDcV->setFixedSize(208, 36);
    labObjName = MakeLabel("", 12, 134, 12);
    labObjName->setFixedSize(256, 22);
    labCap6 = MakeLabel("", 12, 160, 10);
    labCap6->setFixedSize(256, 20);
    labAccuracy = MakeLabel("", 12, 182, 9);
    labAccuracy->setFixedSize(256, 64);
    labAccuracy->setWordWrap(true);
    labAccuracy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labStandard = MakeButton("Std Star", 12, 250, 80);
    flbClose = MakeButton("Close", 188, 250, 80);

    // The reference-star panel, seen while the window is widened.
    MakeLabel("Input setting circles coordinates", kPanel, 10, 9);
    MakeLabel("of standard star.", kPanel, 26, 9);
    kinRaHV = new TKeyInp(this);
    kinRaHV->setGeometry(kPanel, 48, 26, 22);
    MakeLabel("h", kPanel + 28, 50, 10);
    kinRaMV = new TKeyInp(this);
    kinRaMV->setGeometry(kPanel + 42, 48, 26, 22);
    MakeLabel("m", kPanel + 70, 50, 10);
    kinDcV = new TKeyInp(this);
    kinDcV->setGeometry(kPanel + 96, 48, 54, 22);
    MakeLabel("\xC2\xB0", kPanel + 152, 48, 10);
    SetupKin(kinRaHV, 2, 0, 0, 23, false);
    SetupKin(kinRaMV, 2, 0, 0, 59, false);
    SetupKin(kinDcV, 5, 1, -90, 90, true);
    for (TKeyInp* k : {kinRaHV, kinRaMV, kinDcV})
        k->OnKeyDown = [this](QWidget* s, int& key, Qt::KeyboardModifiers) { KinKeyDown(s, key); };

    grdStandard = new TSelGrid(this);
    grdStandard->setGeometry(kPanel, 80, 183, 162);
    grdStandard->setFont(QFont("Arial", 9));
    grdStandard->SetRowHei(14);
    grdStandard->SetMaxCol(1);
    grdStandard->SetColWidth(0, 0);
    grdStandard->SetColWidth(1, 181);
    grdStandard->SetTextA(0, 1, "Standard Stars");
    // The rows stand for the stored records in their order: no sorting.
    grdStandard->SetSrtEn(false);
    grdStandard->SetMaxRow(0);

    flbAdd = MakeButton("Add", kPanel, 250, 56);
    flbDelete = MakeButton("Delete", kPanel + 62, 250, 58);
    flbCancel = MakeButton("Cancel", kPanel + 126, 250, 58);

    labStandard->OnMouseUp = [this](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
        if (b == Qt::LeftButton) labStandardClick();
    };
    flbAdd->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbAddMouseDown();
    };
    flbDelete->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbDeleteMouseDown();
    };
    flbCancel->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbCancelMouseDown();
    };
    flbClose->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbCloseMouseDown();
    };

    SetTimer(std::make_unique<TQtRepeatTimer>());
}

TfrmZorede::~TfrmZorede() = default;

QLabel* TfrmZorede::MakeLabel(const char* text, int x, int y, int points) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setFont(QFont("Arial", points));
    l->move(x, y);
    l->adjustSize();
    return l;
}

TFrameLabel* TfrmZorede::MakeButton(const char* text, int x, int y, int w) {
    auto* f = RedButton(this, text, QRect(x, y, w, 22), 9);
    f->SetPsE(true);
    return f;
}

void TfrmZorede::SetTimer(std::unique_ptr<TRepeatTimer> timer) {
    const bool running = timZorede && timZorede->Active();
    if (timZorede) timZorede->Stop();
    timZorede = std::move(timer);
    timZorede->OnTick = [this] { timZoredeTimer(); };
    if (running) timZorede->Start(kRefresh);
}

int TfrmZorede::AskUser(int buttons, const std::string& text) {
    if (Ask) return Ask(buttons, text);
    // Without the program's message window (the window used on its own).
    auto b = buttons == 1 ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    auto r = QMessageBox::question(this, "Quenlira3", QString::fromStdString(text), b);
    return r == QMessageBox::Yes ? 10001 : r == QMessageBox::No ? 10002 : 10003;
}

void TfrmZorede::SetTarget(const TLocation& site, double ra, double dec, double mjd,
                           const std::string& name) {
    Site = site;
    TargetRa = ra;
    TargetDc = dec;
    TargetName = name;
    NowMjd = mjd;
    RefMjd = mjd;
}

void TfrmZorede::Navigate(const TLocation& site, double ra, double dec, double mjd,
                          const std::string& name) {
    SetTarget(site, ra, dec, mjd, name);
    exec();
}

void TfrmZorede::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfrmZorede::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) FormClose();
}

void TfrmZorede::FormShow() {
    ClosePanel();
    labCap6->setText(Stars.Count == 1 ? "[SynchronizePolarAxis]" : "");
    labObjName->setText(QString::fromStdString(TargetName));
    kinRaHV->SetTx("00");
    kinRaMV->SetTx("00");
    kinDcV->SetTx("+00.0");
    for (TKeyInp* k : {kinRaHV, kinRaMV, kinDcV})
        k->update();
    UpdateNavigation();
    timZorede->Start(kRefresh);
}

void TfrmZorede::FormClose() {
    timZorede->Stop();
}

void TfrmZorede::timZoredeTimer() {
    const TClockTime now = Clock().NowUt();
    TMjd mjd;
    mjd.SetNow(now.Year, now.Month, now.Day, now.Hour, now.Minute,
               static_cast<int>(std::floor(now.Second)), 0.0, 0);
    NowMjd = mjd.GetMJD();
    UpdateNavigation();
}

void TfrmZorede::labStandardClick() {
    RefMjd = ChartMjd ? ChartMjd() : NowMjd;
    setFixedSize(kWide, kHeight);
    kinRaHV->setFocus(Qt::OtherFocusReason);
}

void TfrmZorede::ClosePanel() {
    setFixedSize(kNarrow, kHeight);
}

void TfrmZorede::KinKeyDown(QWidget* sender, int& key) {
    auto* kin = static_cast<TKeyInp*>(sender);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        kin->Finish();
        TKeyInp* next = kin == kinRaHV ? kinRaMV : kin == kinRaMV ? kinDcV : kinRaHV;
        next->setFocus(Qt::OtherFocusReason);
        key = 0;
    } else if (key == Qt::Key_Escape) {
        // Escape belongs to the input: it takes the edit back and never
        // closes the window.
        kin->Cancel();
        key = 0;
    }
}

void TfrmZorede::flbAddMouseDown() {
    for (TKeyInp* k : {kinRaHV, kinRaMV, kinDcV})
        k->Finish();
    const double hours = NumberOf(kinRaHV->GetTx());
    const double minutes = NumberOf(kinRaMV->GetTx());
    const double cirRa = (hours * 15.0 + minutes / 60.0 * 15.0) * kPi / 180.0;
    const double cirDc = NumberOf(kinDcV->GetTx()) * kPi / 180.0;
    // Asked before the star is taken (not for one that would be dropped
    // anyway): a star that cannot have been centred, or one too close to
    // another to tell where the polar axis points.
    if (!Stars.Listed(TargetName, TargetRa, TargetDc) && Stars.Count < TNaviStars::kMax) {
        const std::string warnings =
            TNaviAccuracy::Warnings(Stars, Site, TargetName, TargetRa, TargetDc, RefMjd);
        if (!warnings.empty() && AskUser(1, warnings + "\r\nTake it all the same?") != kYes)
            return;
    }
    std::string name = TargetName;
    switch (Stars.Add(Site, name, TargetRa, TargetDc, RefMjd, cirRa, cirDc)) {
    case TNaviStars::Duplicate:
        return; // already listed: nothing to do
    case TNaviStars::Full:
        AskUser(2, "Can not add");
        return;
    case TNaviStars::Added:
        break;
    }
    grdStandard->SetMaxRow(Stars.Count);
    grdStandard->SetTextA(Stars.Count, 1, name);
    grdStandard->SetSelRow(Stars.Count);
    AskUser(2, "Added");
    ClosePanel();
    accept();
}

void TfrmZorede::flbDeleteMouseDown() {
    if (Stars.Count == 0) return;
    if (AskUser(1, "Delete Ok?") != kYes) return;
    const int row = grdStandard->GetSelRow();
    if (row < 1 || row > Stars.Count) return;
    grdStandard->DeleteRow(row);
    Stars.Delete(row - 1);
    AskUser(2, "Deleted");
    ClosePanel();
    accept();
}

void TfrmZorede::flbCancelMouseDown() {
    ClosePanel();
}

void TfrmZorede::flbCloseMouseDown() {
    ClosePanel();
    accept();
}

void TfrmZorede::UpdateNavigation() {
    HasDial = Stars.Dial(Site, TargetRa, TargetDc, NowMjd, DialRa, DialDc);
    if (HasDial) {
        labRaV->setText(QString::fromStdString(TNaviText::Ra(DialRa)));
        labDcV->setText(QString::fromStdString(TNaviText::Dc(DialDc)));
    } else {
        labRaV->setText(QString::fromStdString(TNaviText::NoRa()));
        labDcV->setText(QString::fromStdString(TNaviText::NoDc()));
    }
    std::string note;
    HasBound = TNaviAccuracy::Estimate(Stars, Site, TargetRa, TargetDc, NowMjd, Bound, note);
    labAccuracy->setText(QString::fromStdString(TNaviAccuracy::Text(HasBound, Bound, note)));
}
