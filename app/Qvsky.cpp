#include "app/Qvsky.h"

#include "app/Forms.h"
#include "app/Qvopen.h"
#include "render/Clsbodyset.h"
#include "astro/Clsdegree.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "render/Clsdib.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 1000, kHeight = 640;

// A copy of the raster as a picture with its own colour table.
QImage ToImage(const TDIB& dib) {
    QImage img(dib.GetBits(), dib.GetWidth(), dib.GetHeight(), dib.GetStride(),
               QImage::Format_Indexed8);
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = dib.GetColTbl()[i];
        table[i] = qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    img.setColorTable(table);
    return img.copy();
}

std::string PathIn(const std::string& folder, const char* name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace

TfrmQVSKY::TfrmQVSKY(const std::string& folder, QWidget* parent)
    : QWidget(parent), folder_(folder), bodies_(std::make_unique<TBodySet>()) {
    setWindowTitle("Quenlira III");
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(QFont("Arial", 9));

    star_ = std::make_unique<TStar>(PathIn(folder, "Star.dat"));
    nebula_ = std::make_unique<TNebula>(PathIn(folder, "Unsta.dat"));
    if (star_->Count == 0)
        problem_ = "Star.dat: " + (star_->Error.empty() ? std::string("no stars") : star_->Error);
    hayami_ = std::make_unique<THayami>(1, kHayamiSize, kHayamiSize);
    hayami_->Star = star_.get();
    bodies_->Hand(*hayami_);
    atlas_ = std::make_unique<TAtlas>(1, kWidth - kAtlasLeft, kHeight);
    atlas_->Star[0] = star_.get();
    atlas_->Nebula = nebula_->Count > 0 ? nebula_.get() : nullptr;
    bodies_->Hand(*atlas_);
}

TfrmQVSKY::~TfrmQVSKY() = default;

void TfrmQVSKY::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    TakeSite();
}

void TfrmQVSKY::TakeSite() {
    Redraw();
    update();
}

void TfrmQVSKY::Redraw() {
    hayamiImage_ = QImage();
    atlasImage_ = QImage();
    if (!frmQVOpen || star_->Count == 0) return;
    const TSite& s = frmQVOpen->CurrentSite;
    // Now, as a Modified Julian Date of Universal Time.
    const double mjd = QDateTime::currentMSecsSinceEpoch() / 86400000.0 + 40587.0;
    hayami_->SetLng(s.Lng);
    hayami_->SetLat(s.Lat);
    hayami_->SetMJD(mjd);
    hayami_->DrawHayami(1);
    hayamiImage_ = ToImage(hayami_->DIB);

    // The atlas as the chart window starts: centre 1.4835 rad, 0; scale 1000.
    const int w = std::max(1, width() - kAtlasLeft), h = std::max(1, height());
    atlas_->SetLng(s.Lng);
    atlas_->SetLat(s.Lat);
    atlas_->SetMJD(mjd);
    atlas_->SetViewWidth(std::min(w, kWidth - kAtlasLeft));
    atlas_->SetViewHeight(std::min(h, kHeight));
    atlas_->SetScale(1000);
    atlas_->SetSensitivity(0);
    const int switches[8] = {1, 1, 0, 0, 1, 0, 1, 1};
    for (int n = 1; n <= 8; ++n)
        atlas_->SetSwitch(n, switches[n - 1]);
    atlas_->SetCenterRa(1.4835);
    atlas_->SetCenterDec(0.0);
    atlas_->Draw();
    atlasImage_ =
        ToImage(atlas_->GetDib()).copy(0, 0, atlas_->GetViewWidth(), atlas_->GetViewHeight());
}

void TfrmQVSKY::Setting() {
    if (!frmQVOpen) return;
    if (frmQVOpen->exec() == QDialog::Accepted) TakeSite();
}

void TfrmQVSKY::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!hayamiImage_.isNull()) p.drawImage(0, 0, hayamiImage_);
    if (!atlasImage_.isNull()) p.drawImage(kAtlasLeft, 0, atlasImage_);
    if (!frmQVOpen) return;
    const TSite& s = frmQVOpen->CurrentSite;
    TDegrees lng, lat;
    lng.SetRad(s.Lng);
    lat.SetRad(s.Lat);
    const QDateTime ut = QDateTime::currentDateTimeUtc();
    const QDateTime local = ut.addSecs(static_cast<qint64>((s.DiffUT + s.Summer) * 3600.0));
    QStringList lines = {
        QString::fromStdString(s.Name),
        QString("Longitude(E) %1").arg(QString::fromStdString(lng.TextDeg(1, 2))),
        QString("Latitude(N) %1").arg(QString::fromStdString(lat.TextDeg(1, 2))),
        QString("SeaLevel %1 m  TimeZone %2 h").arg(s.Height).arg(s.DiffUT, 0, 'f', 1),
        "Local " + local.toString("yyyy/MM/dd hh:mm"),
        "UT " + ut.toString("yyyy/MM/dd hh:mm"),
        "F3 Setting",
    };
    if (!problem_.empty()) lines << QString::fromStdString(problem_);
    p.setPen(QColor(255, 0, 0));
    int y = kHayamiSize + 24;
    for (const QString& l : lines) {
        p.drawText(10, y, l);
        y += 18;
    }
}

void TfrmQVSKY::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F3) {
        Setting();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfrmQVSKY::closeEvent(QCloseEvent* e) {
    // Closing the chart ends the program: keep the settings, close the opening window.
    if (frmQVOpen) {
        frmQVOpen->SaveRecord();
        frmQVOpen->close();
    }
    QWidget::closeEvent(e);
    qApp->quit();
}
