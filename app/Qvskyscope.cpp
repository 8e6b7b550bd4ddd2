// The chart window's side of the telescope: the mount's red reticle on the
// atlas and the planisphere, the click on it, and the selected object as a
// target. The reticle is painted over the charts' rasters, so following the
// mount costs a repaint of a few pixels, never a chart recompute.
#include "app/Clsobjinfo.h"
#include "app/Qvsky.h"

#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kJ2000 = 51544.5;
// The planisphere's edge: 95 degrees from the zenith, as its pointer uses.
constexpr double kHayamiEdge = 1.6580627893946114;

std::string Deg(double rad) {
    char b[32];
    std::snprintf(b, sizeof b, "%+.1f\xC2\xB0", rad * 180.0 / kPi);
    return b;
}

} // namespace

void TfrmQVSKY::UpdateMountMark() {
    const int r = kReticle + 2;
    auto dirty = [&](QPoint at) { update(QRect(at - QPoint(r, r), QSize(2 * r + 1, 2 * r + 1))); };
    if (MountOnAtlas) dirty(MountAtlasAt);
    if (MountOnHayami) dirty(MountHayamiAt);
    MountOnAtlas = MountOnHayami = false;
    double ra = 0, dec = 0;
    if (!MountPlace || !MountPlace(ra, dec) || !Atlas || !Hayami) return;

    // The atlas is a J2000 chart; the mount reports the place of date.
    double ra0 = 0, dec0 = 0;
    TMjd::Epoch(ra, dec, Mjd.GetMJD(), kJ2000, 0.0, 0.0, ra0, dec0);
    int x = 0, y = 0;
    if (Atlas->ToPixel(ra0, dec0, x, y) && x >= 0 && y >= 0 && x < shpAtlas.width() &&
        y < shpAtlas.height()) {
        MountAtlasAt = shpAtlas.topLeft() + QPoint(x, y);
        MountOnAtlas = true;
        dirty(MountAtlasAt);
    }
    double zd = 0;
    const int w = Hayami->Width > 0 ? Hayami->Width : kHayamiSize;
    const int h = Hayami->Height > 0 ? Hayami->Height : kHayamiSize;
    Hayami->HeightG(static_cast<float>(ra), static_cast<float>(dec), Location.Lat,
                    Mjd.GetLSTime(Location.Lon), w, h, zd, x, y);
    if (zd < kHayamiEdge) {
        MountHayamiAt = shpHayami.topLeft() + QPoint(x, y);
        MountOnHayami = true;
        dirty(MountHayamiAt);
    }
}

void TfrmQVSKY::PaintMountMark(QPainter& p) {
    if (!MountOnAtlas && !MountOnHayami) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.setBrush(Qt::NoBrush);
    auto reticle = [&](QPoint c, const QRect& clip) {
        p.setClipRect(clip);
        const int r = kReticle;
        p.drawEllipse(c, r, r);
        // Cross hairs with a gap in the middle, so the star stays visible.
        p.drawLine(c.x() - r - 2, c.y(), c.x() - 3, c.y());
        p.drawLine(c.x() + 3, c.y(), c.x() + r + 2, c.y());
        p.drawLine(c.x(), c.y() - r - 2, c.x(), c.y() - 3);
        p.drawLine(c.x(), c.y() + 3, c.x(), c.y() + r + 2);
    };
    if (MountOnAtlas) reticle(MountAtlasAt, shpAtlas);
    if (MountOnHayami) reticle(MountHayamiAt, shpHayami);
    p.restore();
}

bool TfrmQVSKY::MountMarkClick(QPoint p) {
    auto near = [&](QPoint c) {
        const QPoint d = p - c;
        return d.x() * d.x() + d.y() * d.y() <= kReticle * kReticle;
    };
    if ((MountOnAtlas && shpAtlas.contains(p) && near(MountAtlasAt)) ||
        (MountOnHayami && shpHayami.contains(p) && near(MountHayamiAt))) {
        ShowMountInfo();
        return true;
    }
    return false;
}

void TfrmQVSKY::ShowMountInfo() {
    MemoKind = -1; // the telescope's text is not an object's
    double ra = 0, dec = 0;
    if (!MountPlace || !MountPlace(ra, dec)) return;
    double ra0 = 0, dec0 = 0, azi = 0, alt = 0;
    TMjd::Epoch(ra, dec, Mjd.GetMJD(), kJ2000, 0.0, 0.0, ra0, dec0);
    Location.AziAlt(Mjd.GetMJD(), ra, dec, azi, alt);
    alt = Location.Refract(alt);
    const std::string device = MountName ? MountName() : "";
    std::string text = "[Telescope]";
    if (!device.empty()) text += " " + device;
    text += "\n  Date:" + TObjectInfo::PositionText(ra, dec) +
            " J2000:" + TObjectInfo::PositionText(ra0, dec0) + " Alt:" + Deg(alt) +
            " Azi(N-E):" + Deg(azi).substr(1);
    memInfo->setPlainText(QString::fromStdString(text));
    // The telescope is no object of the catalogues: nothing to navigate to.
    NaviName.clear();
    labObjName->setText("Telescope");
}

bool TfrmQVSKY::TelescopeTarget(std::string& name, double& ra, double& dec, double& altitude) {
    if (NaviName.empty() || NaviName == "-----") return false;
    double azi = 0;
    Location.AziAlt(Mjd.GetMJD(), NaviRa, NaviDec, azi, altitude);
    altitude = Location.Refract(altitude);
    name = NaviName;
    ra = NaviRa;
    dec = NaviDec;
    return true;
}
