// The chart window's Ctrl+S: the atlas, the planisphere or both side by side,
// as a PNG picture of what the window shows (or the same drawn anew larger),
// or as pages to print through the program's page writer.
#include "app/Qvsky.h"

#include "controls/Calclock.h"
#include "page/Clschartpage.h"
#include "page/Clspagewriter.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "render/Clsdib.h"
#include "render/Clsfilewrite.h"
#include "render/Clshayami.h"

#include <QBuffer>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QShortcut>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <cmath>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

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

QString Two(int v) {
    return QString("%1").arg(v, 2, 10, QChar('0'));
}

} // namespace

QStringList TfrmQVSKY::SaveFilters() {
    return {"Atlas and planisphere, PNG (*.png)", "Atlas, PNG (*.png)",
            "Planisphere, PNG (*.png)",           "Atlas and planisphere, PDF (*.pdf)",
            "Atlas, PDF (*.pdf)",                 "Planisphere, PDF (*.pdf)",
            "Atlas, SVG (*.svg)",                 "Planisphere, SVG (*.svg)"};
}

void TfrmQVSKY::BuildSave() {
    // The paper of the user's country.
    if (QLocale::system().measurementSystem() == QLocale::ImperialUSSystem)
        SaveChoice.Paper = "letter";
    ChooseSaveFile = [this](QString& filter) {
        QString start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
        const QString name = QString("quenlira-%1%2%3-%4%5")
                                 .arg(clkCal->GetYear(), 4, 10, QChar('0'))
                                 .arg(Two(clkCal->GetMonth()), Two(clkCal->GetDay()),
                                      Two(clkCal->GetHour()), Two(clkCal->GetMinute()));
        QFileDialog dialog(this, "Save charts", QDir(start).filePath(name),
                           SaveFilters().join(";;"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.selectNameFilter(filter);
        // Below the file list: how large a picture, and a page's paper.
        auto* size = new QComboBox(&dialog);
        size->addItems({"as shown", "2 times as large", "3 times as large", "4 times as large"});
        size->setCurrentIndex(std::clamp(SaveChoice.Enlarge, 1, 4) - 1);
        auto* paper = new QComboBox(&dialog);
        const QStringList papers{"a4", "letter", "a3"};
        for (const QString& p : papers)
            for (const char* turn : {"landscape", "portrait"})
                paper->addItem(p.toUpper().replace("LETTER", "Letter") + ", " + turn);
        paper->setCurrentIndex(
            std::max<int>(0, papers.indexOf(QString::fromStdString(SaveChoice.Paper))) * 2 +
            (SaveChoice.Landscape ? 0 : 1));
        auto* colours = new QComboBox(&dialog);
        colours->addItems({"print: black on white", "the screen's colours"});
        colours->setCurrentIndex(SaveChoice.ScreenColours ? 1 : 0);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            const int row = grid->rowCount();
            grid->addWidget(new QLabel("Picture:", &dialog), row, 0);
            grid->addWidget(size, row, 1);
            grid->addWidget(new QLabel("Page:", &dialog), row + 1, 0);
            grid->addWidget(paper, row + 1, 1);
            grid->addWidget(colours, row + 2, 1);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        filter = dialog.selectedNameFilter();
        SaveChoice.Enlarge = size->currentIndex() + 1;
        SaveChoice.Paper = papers[paper->currentIndex() / 2].toStdString();
        SaveChoice.Landscape = paper->currentIndex() % 2 == 0;
        SaveChoice.ScreenColours = colours->currentIndex() == 1;
        return dialog.selectedFiles().front();
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
    QString ending = QFileInfo(path).suffix().toLower();
    if (ending != "png" && ending != "pdf" && ending != "svg")
        ending = filter.contains("PDF") ? "pdf" : filter.contains("SVG") ? "svg" : "png";
    const bool atlas = !filter.startsWith("Planisphere"), planisphere = !filter.startsWith("Atlas,");
    QString file = path;
    if (!path.endsWith("." + ending, Qt::CaseInsensitive)) file += "." + ending;
    const std::string name = file.toStdString();
    // Checked before anything is drawn, so that nothing large is made for
    // a file that cannot be written.
    const QFileInfo info(file);
    if (info.isDir()) {
        why = "Can not write " + name + ": a folder has that name";
        return false;
    }

    if (ending == "png") {
        QImage shownAtlas, shownSky;
        const int k = std::clamp(SaveChoice.Enlarge, 1, 4);
        if (k == 1) {
            // Exactly what the window shows, every mark on the charts included.
            shownAtlas = grab(shpAtlas).toImage().convertToFormat(QImage::Format_RGB32);
            shownSky = grab(shpHayami).toImage().convertToFormat(QImage::Format_RGB32);
        } else {
            // Larger: the same charts drawn anew at that size, never enlarged pixels.
            const int w = Atlas->GetViewWidth() * k, h = Atlas->GetViewHeight() * k;
            if (std::max({w, h, kHayamiSize * k}) > kLargestPicture) {
                why = "Can not make a picture of " + std::to_string(w) + " x " +
                      std::to_string(h) + " pixels: the largest is " +
                      std::to_string(kLargestPicture) + " pixels a side";
                return false;
            }
            if (atlas) {
                TAtlas big(1, w, h);
                big.CopyView(*Atlas, k);
                big.Draw();
                shownAtlas = Picture(big.GetDib());
            }
            if (planisphere) {
                THayami big(1, kHayamiSize * k, kHayamiSize * k);
                big.Lng = Hayami->Lng;
                big.Lat = Hayami->Lat;
                big.MJD = Hayami->MJD;
                big.Star = Hayami->Star;
                Bodies->Hand(big);
                big.DrawHayami(0);
                shownSky = Picture(big.DIB);
            }
        }
        QImage chart;
        if (atlas && planisphere) {
            const int gap = kLeftWidth * k - shownSky.width();
            chart = QImage(shownSky.width() + gap + shownAtlas.width(),
                           std::max(shownSky.height(), shownAtlas.height()), QImage::Format_RGB32);
            chart.fill(Qt::black);
            QPainter p(&chart);
            p.drawImage(0, 0, shownSky);
            p.drawImage(shownSky.width() + gap, 0, shownAtlas);
        } else {
            chart = atlas ? shownAtlas : shownSky;
        }
        // Encoded first, so that a write that fails (a full disk) is said with
        // the system's reason rather than the encoder's "write error".
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !chart.save(&buffer, "PNG")) {
            why = "Can not write " + name + ": the picture could not be encoded";
            return false;
        }
        // Written beside the file and renamed over it when whole, as every
        // picture of the program is.
        const bool written = WriteWhole(
            name,
            [&png, &name](int fd, std::string& err) {
                const char* at = png.constData();
                qsizetype left = png.size();
                while (left > 0) {
                    const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
                    if (n < 0 && errno == EINTR) continue;
                    if (n <= 0) {
                        err = "cannot write " + name + ": " + std::strerror(n < 0 ? errno : ENOSPC);
                        return false;
                    }
                    at += n;
                    left -= n;
                }
                return true;
            },
            why);
        if (!written) {
            // "cannot write NAME: reason" as the window's messages say it.
            if (why.rfind("cannot", 0) == 0) why.replace(0, 6, "Can not");
            return false;
        }
        return true;
    }

    // Pages: the charts drawn anew as vectors, the atlas at its scale over
    // the whole page.
    TPaper paper;
    paper.Name = SaveChoice.Paper;
    paper.Landscape = SaveChoice.Landscape;
    const bool print = !SaveChoice.ScreenColours;
    double lng = 0, lat = 0, height = 0, diff = DiffUT, summer = Summer;
    std::string site;
    if (CurrentSite) CurrentSite(lng, lat, height, diff, summer, site);
    const int zone = static_cast<int>(std::lround(diff + summer));
    const QString where = QString::fromStdString(site) + "  " + Degrees(lng, "E", "W") + " " +
                          Degrees(lat, "N", "S");
    const double mjd = Mjd.GetMJD();
    int uy, um;
    double ud;
    TMjd::MJD2DATE(mjd, 0, 0, uy, um, ud);
    const int uday = static_cast<int>(std::floor(ud));
    const int umin = std::min(1439, static_cast<int>(std::floor((ud - uday) * 1440 + 1e-6)));
    const QString when = QString("%1-%2-%3 %4:%5 local time (UTC%6%7),  %8-%9-%10 %11:%12 UT")
                             .arg(clkCal->GetYear(), 4, 10, QChar('0'))
                             .arg(Two(clkCal->GetMonth()), Two(clkCal->GetDay()),
                                  Two(clkCal->GetHour()), Two(clkCal->GetMinute()))
                             .arg(zone < 0 ? "-" : "+")
                             .arg(std::abs(zone))
                             .arg(uy, 4, 10, QChar('0'))
                             .arg(Two(um), Two(uday), Two(umin / 60), Two(umin % 60));
    const long m = std::lround(CenterRa * 12 / kPi * 60);
    const long am = std::lround(std::fabs(CenterDec) * 180 / kPi * 60);
    const QString centre = QString("centre RA %1h%2m  Dec %3%4\u00b0%5'")
                               .arg((m / 60) % 24)
                               .arg(Two(m % 60))
                               .arg(CenterDec < 0 && am > 0 ? "\u2212" : "+")
                               .arg(am / 60)
                               .arg(Two(am % 60));

    std::vector<TPageContent> pages;
    std::unique_ptr<TAtlas> pageAtlas;
    std::unique_ptr<THayami> pageSky;
    if (atlas) {
        int w, h;
        PageChartPixels(paper, false, w, h);
        pageAtlas = std::make_unique<TAtlas>(1, w, h);
        pageAtlas->CopyView(*Atlas, 1);
        pageAtlas->SetViewWidth(w);
        pageAtlas->SetViewHeight(h);
        // Drawn once for the limit and the symbols the legend names.
        pageAtlas->Draw();
        TPageContent c = AtlasPage(*pageAtlas, print);
        c.Title = (where + "  \u00b7  " + when + "  \u00b7  " + centre +
                   QString("  \u00b7  scale %1").arg(Scale))
                      .toStdString();
        c.Lines = {where.toStdString(), when.toStdString(), "C" + centre.mid(1).toStdString()};
        pages.push_back(std::move(c));
    }
    if (planisphere && (ending == "pdf" || !atlas)) {
        int w, h;
        PageChartPixels(paper, true, w, h);
        pageSky = std::make_unique<THayami>(1, w, h);
        pageSky->Lng = Hayami->Lng;
        pageSky->Lat = Hayami->Lat;
        pageSky->MJD = Hayami->MJD;
        pageSky->Star = Hayami->Star;
        Bodies->Hand(*pageSky);
        TPageContent c = PlanispherePage(*pageSky, 0, print);
        c.Title = (where + "  \u00b7  " + when + "  \u00b7  whole sky, zenith at the centre")
                      .toStdString();
        c.Lines = {where.toStdString(), when.toStdString(),
                   "Whole sky: zenith at the centre, horizon at the rim"};
        pages.push_back(std::move(c));
    }
    if (!WritePage(name, ending == "svg" ? TPageFormat::Svg : TPageFormat::Pdf, paper, pages, why)) {
        if (!why.empty()) why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
        return false;
    }
    return true;
}
