// The chart window's Ctrl+S: the atlas, the planisphere or both side by side,
// as a PNG picture or as a PDF page to print.
#include "app/Qvsky.h"

#include "controls/Calclock.h"
#include "render/Clsatlas.h"
#include "render/Clsdib.h"
#include "render/Clshayami.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// A printed chart never has fewer dots per inch than this: each pixel of
// the chart becomes a square of whole dots.
constexpr int kPrintDpi = 300;

QImage Picture(const TDIB& dib) {
    QImage img(dib.GetWidth(), dib.GetHeight(), QImage::Format_RGB32);
    const RGBQUAD* tbl = dib.GetColTbl();
    for (int y = 0; y < dib.GetHeight(); ++y) {
        const uint8_t* from = dib.Row(y);
        auto* to = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < dib.GetWidth(); ++x)
            to[x] = qRgb(tbl[from[x]].rgbRed, tbl[from[x]].rgbGreen, tbl[from[x]].rgbBlue);
    }
    return img;
}

QString Degrees(double rad, const char* plus, const char* minus) {
    return QString("%1\u00b0%2").arg(std::fabs(rad) * 180 / kPi, 0, 'f', 2).arg(rad < 0 ? minus : plus);
}

} // namespace

QStringList TfrmQVSKY::SaveFilters() {
    return {"Atlas and planisphere, PNG (*.png)", "Atlas, PNG (*.png)",
            "Planisphere, PNG (*.png)",           "Atlas and planisphere, PDF (*.pdf)",
            "Atlas, PDF (*.pdf)",                 "Planisphere, PDF (*.pdf)"};
}

void TfrmQVSKY::BuildSave() {
    ChooseSaveFile = [this](QString& filter) {
        QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
        const QString name = QString("quenlira-%1%2%3-%4%5")
                                 .arg(clkCal->GetYear(), 4, 10, QChar('0'))
                                 .arg(clkCal->GetMonth(), 2, 10, QChar('0'))
                                 .arg(clkCal->GetDay(), 2, 10, QChar('0'))
                                 .arg(clkCal->GetHour(), 2, 10, QChar('0'))
                                 .arg(clkCal->GetMinute(), 2, 10, QChar('0'));
        return QFileDialog::getSaveFileName(this, "Save charts", QDir(start).filePath(name),
                                            SaveFilters().join(";;"), &filter,
                                            QFileDialog::DontUseNativeDialog);
    };
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this] { SaveChartsKey(); });
}

void TfrmQVSKY::SaveChartsKey() {
    if (!ChooseSaveFile || !Atlas || !Hayami) return;
    QString filter = SaveFilters().front();
    const QString path = ChooseSaveFile(filter);
    if (path.isEmpty()) return;
    std::string why;
    if (!SaveCharts(path, filter, why) && Ask) Ask(2, why);
}

bool TfrmQVSKY::SaveCharts(const QString& path, const QString& filter, std::string& why) {
    // A name typed with its ending chooses the format; without one the type
    // chosen in the list does, and its ending is added.
    const bool typedPdf = path.endsWith(".pdf", Qt::CaseInsensitive);
    const bool typedPng = path.endsWith(".png", Qt::CaseInsensitive);
    const bool pdf = typedPdf || (!typedPng && filter.contains("PDF"));
    const bool atlas = !filter.startsWith("Planisphere"), planisphere = !filter.startsWith("Atlas,");
    QString file = path;
    if (!typedPdf && !typedPng) file += pdf ? ".pdf" : ".png";

    QImage chart;
    if (atlas && planisphere) {
        const TDIB& a = Atlas->GetDib();
        chart = QImage(kLeftWidth + a.GetWidth(), std::max(kHayamiSize, a.GetHeight()),
                       QImage::Format_RGB32);
        chart.fill(Qt::black);
        QPainter p(&chart);
        p.drawImage(0, 0, Picture(Hayami->DIB));
        p.drawImage(kLeftWidth, 0, Picture(a));
    } else {
        chart = Picture(atlas ? Atlas->GetDib() : Hayami->DIB);
    }

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        why = "Can not write " + file.toStdString() + ": " + out.errorString().toStdString();
        return false;
    }
    if (!pdf) {
        if (!chart.save(&out, "PNG") || !out.commit()) {
            why = "Can not write " + file.toStdString() + ": " + out.errorString().toStdString();
            return false;
        }
        return true;
    }

    // One page: the paper of the user's country, turned to suit the chart,
    // a title line, and the chart as large as the page allows.
    double lng = 0, lat = 0, height = 0, diff = DiffUT, summer = Summer;
    std::string site;
    if (CurrentSite) CurrentSite(lng, lat, height, diff, summer, site);
    const int zone = static_cast<int>(std::lround(diff + summer));
    QString title = QString::fromStdString(site) + "  " + Degrees(lng, "E", "W") + " " +
                    Degrees(lat, "N", "S") +
                    QString("  \u00b7  %1-%2-%3 %4:%5 local time (UTC%6%7)")
                        .arg(clkCal->GetYear(), 4, 10, QChar('0'))
                        .arg(clkCal->GetMonth(), 2, 10, QChar('0'))
                        .arg(clkCal->GetDay(), 2, 10, QChar('0'))
                        .arg(clkCal->GetHour(), 2, 10, QChar('0'))
                        .arg(clkCal->GetMinute(), 2, 10, QChar('0'))
                        .arg(zone < 0 ? "-" : "+")
                        .arg(std::abs(zone));
    if (atlas) {
        const long m = std::lround(CenterRa * 12 / kPi * 60);
        const long am = std::lround(std::fabs(CenterDec) * 180 / kPi * 60);
        title += QString("  \u00b7  centre RA %1h%2m  Dec %3%4\u00b0%5'  \u00b7  scale %6")
                     .arg((m / 60) % 24)
                     .arg(m % 60, 2, 10, QChar('0'))
                     .arg(CenterDec < 0 && am > 0 ? "\u2212" : "+")
                     .arg(am / 60)
                     .arg(am % 60, 2, 10, QChar('0'))
                     .arg(Scale);
    } else {
        title += "  \u00b7  whole sky, zenith at the centre";
    }
    QPdfWriter writer(&out);
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    writer.setResolution(kPrintDpi);
    writer.setPageLayout(QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4),
                                     chart.width() > chart.height() ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait,
                                     QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator("Quenlira");
    QPainter p;
    if (!p.begin(&writer)) {
        why = "Can not write " + file.toStdString();
        return false;
    }
    const QRect area = writer.pageLayout().paintRectPixels(kPrintDpi);
    QFont font("Liberation Sans");
    font.setPointSizeF(10);
    p.setFont(font);
    const QFontMetrics fm(font, &writer);
    const int top = fm.height() * 3 / 2;
    p.drawText(QRect(0, 0, area.width(), fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(title, Qt::ElideRight, area.width()));
    const double fit = std::min(double(area.width()) / chart.width(),
                                double(area.height() - top) / chart.height());
    const int k = std::max(1, static_cast<int>(std::ceil(fit - 0.01)));
    const QImage dots = chart.scaled(chart.width() * k, chart.height() * k, Qt::IgnoreAspectRatio,
                                     Qt::FastTransformation);
    p.drawImage(QRectF((area.width() - chart.width() * fit) / 2, top, chart.width() * fit,
                       chart.height() * fit),
                dots);
    p.end();
    if (!out.commit()) {
        why = "Can not write " + file.toStdString() + ": " + out.errorString().toStdString();
        return false;
    }
    return true;
}
