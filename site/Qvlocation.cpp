#include "site/Qvlocation.h"
#include "controls/Look.h"

#include "controls/Framelabel.h"
#include "controls/Keyinp.h"
#include "plan/Clshorizon.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr int kYes = 10001;

// Whole number at the start of a text such as "+135", "-0" or " 7".
int IntOf(const std::string& s) {
    return static_cast<int>(std::strtol(s.c_str(), nullptr, 10));
}

double DoubleOf(const std::string& s) {
    double v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

// Degrees and minutes texts back to radians; the sign lives in the degrees
// text, so "-0" and "30.00" is half a degree west.
double AngleOf(const std::string& deg, const std::string& min) {
    double r = IntOf(deg) * kPi / 180.0;
    double m = DoubleOf(min) / 60.0 * kPi / 180.0;
    return deg.find('-') != std::string::npos ? r - m : r + m;
}

std::string Shortest(double v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string Signed1(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return v >= 0.0 ? std::string("+") + buf : std::string(buf);
}

void SetupKin(TKeyInp* k, int length, int decimals, double min, double max, bool minus, bool plus,
              bool topZero) {
    k->SetKeta(length);
    k->SetSho(decimals);
    k->SetMin(min);
    k->SetMax(max);
    k->SetMn(minus);
    k->SetPs(plus);
    k->SetTZ(topZero);
    k->SetZ(true);
    k->SetAS(true);
    k->SetCB(RGBColor(0, 0, 0));
    k->SetFontColor(kRed);
    k->setFont(QFont("Arial", 10));
}

} // namespace

TMapImage::TMapImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

void TMapImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Image);
}

void TMapImage::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown)
        OnMouseDown(e->button(), static_cast<int>(e->position().x()),
                    static_cast<int>(e->position().y()));
}

TfrmLocation::TfrmLocation(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Location(Add)");
    setFixedSize(420, 425);
    SetWindowLook(this, 8, true);

    MakeLabel("Location Name", 10, 8);
    edtName = new QLineEdit(this);
    edtName->setGeometry(10, 24, 385, 22);
    edtName->setMaxLength(50);
    edtName->setFont(QFont("Arial", 10));
    edtName->installEventFilter(this);

    MakeLabel("Longitude(E)", 10, 54);
    kinLngD = new TKeyInp(this);
    kinLngD->setGeometry(10, 70, 44, 22);
    MakeLabel("\xC2\xB0", 56, 70);
    kinLngM = new TKeyInp(this);
    kinLngM->setGeometry(66, 70, 50, 22);
    MakeLabel("Latitude(N)", 140, 54);
    kinLatD = new TKeyInp(this);
    kinLatD->setGeometry(140, 70, 44, 22);
    MakeLabel("\xC2\xB0", 186, 70);
    kinLatM = new TKeyInp(this);
    kinLatM->setGeometry(196, 70, 50, 22);

    MakeLabel("SeaLevel", 10, 100);
    kinSLevel = new TKeyInp(this);
    kinSLevel->setGeometry(10, 116, 56, 22);
    MakeLabel("TimeZone", 140, 100);
    kinDiffUT = new TKeyInp(this);
    kinDiffUT->setGeometry(140, 116, 50, 22);
    MakeLabel("SummerTime", 270, 100);
    kinSummer = new TKeyInp(this);
    kinSummer->setGeometry(270, 116, 20, 22);

    SetupKin(kinLngD, 4, 0, -180, 180, true, true, false);
    SetupKin(kinLngM, 5, 2, 0, 59.99, false, false, true);
    SetupKin(kinLatD, 4, 0, -89, 89, true, true, false);
    SetupKin(kinLatM, 5, 2, 0, 59.99, false, false, true);
    SetupKin(kinSLevel, 5, 0, -1000, 8848, true, false, false);
    SetupKin(kinDiffUT, 5, 1, -12, 12, true, true, false);
    SetupKin(kinSummer, 1, 0, 0, 3, false, false, false);
    for (TKeyInp* k : {kinLngD, kinLngM, kinLatD, kinLatM, kinSLevel, kinDiffUT, kinSummer})
        k->OnKeyDown = [this](QWidget* s, int& key, Qt::KeyboardModifiers) { KinKeyDown(s, key); };

    MakeLabel("Horizon", 10, 150);
    edtHorizon = new QLineEdit(this);
    edtHorizon->setGeometry(66, 146, 238, 22);
    edtHorizon->setReadOnly(true);
    edtHorizon->setFocusPolicy(Qt::NoFocus);
    edtHorizon->setFont(QFont("Arial", 9));

    imgMap = new TMapImage(this);
    imgMap->setGeometry(10, 176, 385, 221);
    imgMap->Image = QImage(385, 221, QImage::Format_RGB32);
    imgMap->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { imgMapMouseDown(b, x, y); };
    MakeLabel(" Left click---Scroll  Right click---Input ", 10, 400);

    auto button = [this](const char* text, int x, int w, int y = 400) {
        auto* f = RedButton(this, text, QRect(x, y, w, 18), 8);
        f->SetPsE(true);
        return f;
    };
    flbZoomIn = button("ZOOM IN", 210, 58);
    flbZoomOut = button("ZOOM OUT", 270, 64);
    flbOk = button("OK", 336, 32);
    flbCancel = button("Cancel", 370, 44);
    flbHorizon = button("File...", 310, 44, 148);
    flbFlat = button("Flat", 358, 37, 148);
    flbHorizon->setToolTip("Choose a horizon file: lines of azimuth and altitude in degrees");
    flbFlat->setToolTip("No horizon file: the flat horizon");
    flbHorizon->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbHorizonMouseDown();
    };
    flbFlat->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbFlatMouseDown();
    };
    // The hint and the buttons share the last row; the hint is short enough.
    flbZoomIn->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbZoomInMouseDown();
    };
    flbZoomOut->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbZoomOutMouseDown();
    };
    flbOk->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbOkMouseDown();
    };
    flbCancel->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbCancelMouseDown();
    };

    setTabOrder(edtName, kinLngD);
    setTabOrder(kinLngD, kinLngM);
    setTabOrder(kinLngM, kinLatD);
    setTabOrder(kinLatD, kinLatM);
    setTabOrder(kinLatM, kinSLevel);
    setTabOrder(kinSLevel, kinDiffUT);
    setTabOrder(kinDiffUT, kinSummer);
}

QLabel* TfrmLocation::MakeLabel(const char* text, int x, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->move(x, y);
    l->adjustSize();
    return l;
}

int TfrmLocation::AskUser(int buttons, const std::string& text) {
    if (Ask) return Ask(buttons, text);
    // Without the program's message window (a window used on its own).
    auto b = buttons == 1 ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    auto r = QMessageBox::question(this, "Quenlira3", QString::fromStdString(text), b);
    return r == QMessageBox::Yes ? 10001 : r == QMessageBox::No ? 10002 : 10003;
}

void TfrmLocation::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfrmLocation::FormShow() {
    closing_ = false;
    std::string d, m;
    if (Mode == 1) {
        setWindowTitle("Location(Add)");
        edtName->setMaxLength(50);
        edtName->setText("");
        kinLngD->SetTx("+0");
        kinLngM->SetTx("06.00");
        kinLatD->SetTx("+52");
        kinLatM->SetTx("13.00");
        kinSLevel->SetTx("30");
        kinDiffUT->SetTx("+0.0");
        kinSummer->SetTx("0");
        Lng = 0.0017453292519943279;
        Lat = 0.9113528159273465;
        Height = 30.0;
        DiffUT = 0.0;
        Summer = 0.0;
        horizon_.clear();
    } else {
        setWindowTitle("Location(Edit)");
        // The limit is for typing: a longer name kept in the file is shown
        // whole, or OK would store it cut.
        const QString name = QString::fromStdString(Name);
        edtName->setMaxLength(std::max(50, static_cast<int>(name.size())));
        edtName->setText(name);
        TWorldMap::DegreeTexts(Lng, d, m);
        kinLngD->SetTx(d);
        kinLngM->SetTx(m);
        TWorldMap::DegreeTexts(Lat, d, m);
        kinLatD->SetTx(d);
        kinLatM->SetTx(m);
        kinSLevel->SetTx(Shortest(Height));
        kinDiffUT->SetTx(Signed1(DiffUT));
        kinSummer->SetTx(std::to_string(static_cast<int>(Summer)));
        horizon_ = HorizonFile;
    }
    ShowHorizon();
    for (TKeyInp* k : {kinLngD, kinLngM, kinLatD, kinLatM, kinSLevel, kinDiffUT, kinSummer})
        k->update();
    Map.Zoom = TWorldMap::kStartZoom;
    Map.Centre(Lng, Lat);
    edtName->setFocus();
    DrawMap();
}

void TfrmLocation::DrawMap() {
    Map.Draw(imgMap->Image);
    imgMap->update();
}

void TfrmLocation::imgMapMouseDown(Qt::MouseButton button, int x, int y) {
    const int W = imgMap->width(), H = imgMap->height();
    if (button == Qt::LeftButton) {
        Map.Scroll(x, y, W, H);
    } else if (button == Qt::RightButton) {
        double lng, lat;
        Map.Pick(x, y, W, H, lng, lat);
        std::string d, m;
        TWorldMap::DegreeTexts(lng, d, m);
        kinLngD->SetTx(d);
        kinLngM->SetTx(m);
        TWorldMap::DegreeTexts(lat, d, m);
        kinLatD->SetTx(d);
        kinLatM->SetTx(m);
        for (TKeyInp* k : {kinLngD, kinLngM, kinLatD, kinLatM})
            k->update();
    }
    DrawMap();
}

void TfrmLocation::flbZoomInMouseDown() {
    Map.ZoomIn();
    DrawMap();
}

void TfrmLocation::flbZoomOutMouseDown() {
    Map.ZoomOut();
    DrawMap();
}

void TfrmLocation::flbOkMouseDown() {
    // An input still being typed in is finished first, so its range applies.
    for (TKeyInp* k : {kinLngD, kinLngM, kinLatD, kinLatM, kinSLevel, kinDiffUT, kinSummer})
        k->Finish();
    std::string name = edtName->text().toStdString();
    if (NameFits && !NameFits(name)) {
        AskUser(2, "The name is too long or has characters that can not be saved");
        edtName->setFocus();
        return;
    }
    // The inputs keep typed values within their ranges, but a value handed
    // in from the settings file (or set by a program) is taken as it is:
    // nothing outside the ranges leaves the editor.
    struct Range {
        TKeyInp* kin;
        const char* label;
        double lo, hi;
    };
    const Range ranges[] = {
        {kinLngD, "Longitude(E)", -180, 180}, {kinLngM, "Longitude(E)", 0, 59.99},
        {kinLatD, "Latitude(N)", -89, 89},    {kinLatM, "Latitude(N)", 0, 59.99},
        {kinSLevel, "SeaLevel", -1000, 8848}, {kinDiffUT, "TimeZone", -12, 12},
        {kinSummer, "SummerTime", 0, 3},
    };
    for (const Range& r : ranges) {
        const double v = std::strtod(r.kin->GetTx().c_str(), nullptr);
        if (!(v >= r.lo && v <= r.hi)) {
            AskUser(2, std::string(r.label) + " must be between " + Shortest(r.lo) + " and " +
                           Shortest(r.hi));
            r.kin->setFocus();
            return;
        }
        // Degrees and minutes together: at most 180 degrees east or west.
        if (r.kin == kinLngM && std::abs(AngleOf(kinLngD->GetTx(), r.kin->GetTx())) > kPi + 1e-12) {
            AskUser(2, "Longitude(E) must be between -180 and 180");
            kinLngD->setFocus();
            return;
        }
    }
    Name = name;
    Lng = AngleOf(kinLngD->GetTx(), kinLngM->GetTx());
    Lat = AngleOf(kinLatD->GetTx(), kinLatM->GetTx());
    Height = DoubleOf(kinSLevel->GetTx());
    DiffUT = DoubleOf(kinDiffUT->GetTx());
    Summer = DoubleOf(kinSummer->GetTx());
    HorizonFile = horizon_;
    Result = 1;
    closing_ = true;
    accept();
}

void TfrmLocation::ShowHorizon() {
    edtHorizon->setText(horizon_.empty() ? QString("flat")
                                         : QString::fromStdString(horizon_));
    edtHorizon->setCursorPosition(0);
    edtHorizon->setToolTip(QString::fromStdString(horizon_));
}

void TfrmLocation::flbHorizonMouseDown() {
    std::string path;
    if (PickHorizonFile) {
        path = PickHorizonFile(horizon_);
    } else {
        path = QFileDialog::getOpenFileName(this, "Horizon file", QString::fromStdString(horizon_),
                                            "Horizon files (*.txt *.hzn *.csv);;All files (*)")
                   .toStdString();
    }
    if (path.empty()) return;
    // A file that is no profile is refused here, while the user can still
    // choose another; the site keeps the one it had.
    THorizon probe;
    std::string why;
    if (!probe.Load(path, why)) {
        const std::string flat = "; the flat horizon is used";
        if (why.size() > flat.size() && why.ends_with(flat)) why.resize(why.size() - flat.size());
        AskUser(2, why + "\nThe site keeps the horizon it had.");
        return;
    }
    if (path.find_first_of("\t\r\n") != std::string::npos) {
        AskUser(2, "A horizon file name with a tab or a line break can not be kept");
        return;
    }
    horizon_ = path;
    ShowHorizon();
}

void TfrmLocation::flbFlatMouseDown() {
    horizon_.clear();
    ShowHorizon();
}

void TfrmLocation::flbCancelMouseDown() {
    if (AskUser(1, "Cancel ?") != kYes) return;
    Result = 0;
    closing_ = true;
    reject();
}

void TfrmLocation::closeEvent(QCloseEvent* e) {
    // The close box counts as Cancel (no question: closing is the answer).
    if (!closing_) Result = 0;
    QDialog::closeEvent(e);
}

void TfrmLocation::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        Dismiss();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfrmLocation::Dismiss() {
    // Escape is the answer itself: closed without a change and without asking.
    Result = 0;
    closing_ = true;
    reject();
}

QWidget* TfrmLocation::NextInput(QWidget* w, int step) const {
    QWidget* order[] = {edtName, kinLngD,   kinLngM,   kinLatD,
                        kinLatM, kinSLevel, kinDiffUT, kinSummer};
    const int n = 8;
    for (int i = 0; i < n; ++i)
        if (order[i] == w) return order[((i + step) % n + n) % n];
    return edtName;
}

bool TfrmLocation::eventFilter(QObject* obj, QEvent* e) {
    if (obj == edtName && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            kinLngD->setFocus();
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            Dismiss();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

void TfrmLocation::KinKeyDown(QWidget* sender, int& key) {
    auto* kin = static_cast<TKeyInp*>(sender);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        kin->Finish();
        NextInput(kin, 1)->setFocus();
        key = 0;
        break;
    case Qt::Key_Left:
        kin->Finish();
        NextInput(kin, -1)->setFocus();
        key = 0;
        break;
    case Qt::Key_Escape:
        kin->Cancel();
        key = 0;
        Dismiss();
        break;
    default:
        break;
    }
}
