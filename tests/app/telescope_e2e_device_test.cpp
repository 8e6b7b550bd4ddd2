// The real program in Xvfb with a real INDI server and its telescope
// simulator: started with --telescope, Vega found with Ctrl+F, the telescope
// window opened with F11 and Slew pressed; when the simulator reports Vega's
// place of date the red reticle sits on Vega at the atlas's centre, and a
// click on it shows "Telescope" in the memo.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "Indiserver.h"
#include "Program.h"
#include "astro/Clsmjd.h"

#include <chrono>
#include <cmath>

namespace {

using namespace e2e;

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// What the simulator reports now: RA hours and Dec degrees, false when it
// does not answer.
bool Reported(int port, double& raHours, double& decDeg, QString& state) {
    QProcess p;
    p.start("indi_getprop", {"-p", QString::number(port), "-t", "2", "-1",
                             "Telescope Simulator.EQUATORIAL_EOD_COORD._STATE",
                             "Telescope Simulator.EQUATORIAL_EOD_COORD.RA",
                             "Telescope Simulator.EQUATORIAL_EOD_COORD.DEC"});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    const QStringList lines = QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n');
    if (lines.size() < 3) return false;
    // Lines "device.property.element=value".
    auto value = [&](int i) { return lines[i].section('=', 1).trimmed(); };
    bool okRa = false, okDec = false;
    state = value(0);
    raHours = value(1).toDouble(&okRa);
    decDeg = value(2).toDouble(&okDec);
    return okRa && okDec;
}


bool PureRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 40 && qBlue(p) < 40;
}

TEST(TelescopeProgram, SlewsToVegaAndTheReticleSitsOnIt) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    indi::Server server;
    ASSERT_TRUE(server.Start()) << "indiserver with indi_simulator_telescope did not start";
    XServer x;
    ASSERT_TRUE(x.Start("1600x1000")) << "Xvfb did not start";

    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    ASSERT_TRUE(program.Start({"--telescope", "localhost:" + QString::number(server.Port)}));

    // The first site, Greenwich: at latitude 52 degrees Vega never sets.
    const QString chart = program.OpenChart();
    ASSERT_FALSE(chart.isEmpty()) << "no chart window; output: " << program.Errors();
    const QRect bounds = x.Geometry(chart);
    ASSERT_FALSE(bounds.isEmpty());

    // Vega through the find field: the memo shows it and the atlas centres it.
    x.Run({"windowfocus", "--sync", chart});
    x.Run({"key", "ctrl+f"});
    QThread::msleep(300);
    x.Run({"type", "--delay", "50", "Vega"});
    QThread::msleep(300);
    x.Run({"key", "Return"});
    QThread::msleep(800);

    // F11: the telescope window, moved beside the chart window.
    x.Run({"windowfocus", "--sync", chart});
    x.Run({"key", "F11"});
    QStringList scope;
    ASSERT_TRUE(WaitFor([&] { return !(scope = x.Visible("^Telescope$")).isEmpty(); }, 10000))
        << "F11 opened no telescope window";
    const int scopeX = std::min(bounds.right() + 20, 1600 - 340);
    x.Run({"windowmove", "--sync", scope[0], QString::number(scopeX), "560"});
    QThread::msleep(500);
    QRect win = x.Geometry(scope[0]);

    // Connected by --telescope: the simulator reports a place, the status
    // line says so.
    double raH = 0, decD = 0;
    QString state;
    ASSERT_TRUE(WaitFor([&] { return Reported(server.Port, raH, decD, state); }, 20000));

    // Slew.
    x.Run({"mousemove", "--sync", QString::number(win.left() + 45),
           QString::number(win.top() + 161), "click", "1"});

    // Vega's place of date now, as the program computes it; the simulator
    // reports arrival within 1'.
    const double ra0 = (18 + 36 / 60.0 + 56.336 / 3600) * 15 * kDeg;
    const double dec0 = (38 + 47 / 60.0 + 1.28 / 3600) * kDeg;
    double off = 1e9;
    const bool arrived = WaitFor(
        [&] {
            using namespace std::chrono;
            const double mjd =
                duration<double>(system_clock::now().time_since_epoch()).count() / 86400 + 40587;
            double ra = 0, dec = 0;
            TMjd::Epoch(ra0, dec0, 51544.5, mjd, 0, 0, ra, dec);
            if (!Reported(server.Port, raH, decD, state)) return false;
            const double r = raH * 15 * kDeg, d = decD * kDeg;
            off = std::acos(std::min(1.0, std::sin(d) * std::sin(dec) +
                                              std::cos(d) * std::cos(dec) * std::cos(r - ra)));
            return off < kDeg / 60 && state == "Ok";
        },
        90000);
    QThread::msleep(1000); // the reticle follows within a quarter of a second
    const QImage shot = x.Shoot();
    const QString png = QCoreApplication::applicationDirPath() + "/telescope_e2e.png";
    shot.save(png);
    ASSERT_TRUE(arrived) << "the mount is " << off / kDeg * 60 << "' from Vega, state "
                         << state.toStdString() << "; screenshot " << png.toStdString();

    // The atlas is centred on Vega: the reticle's ring crosses the centre's
    // row and column 9 pixels out, in pure red.
    const int w = bounds.width() - 281, h = bounds.height() - 20;
    const QPoint centre(bounds.left() + 281 + w / 2, bounds.top() + h / 2);
    auto redNear = [&](QPoint p) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (PureRed(shot.pixel(p + QPoint(dx, dy)))) return true;
        return false;
    };
    for (QPoint d : {QPoint(9, 0), QPoint(-9, 0), QPoint(0, 9), QPoint(0, -9)})
        EXPECT_TRUE(redNear(centre + d))
            << "no reticle at " << d.x() << "," << d.y() << " from the atlas centre; screenshot "
            << png.toStdString();

    // The status line in the telescope window says it is tracking.
    win = x.Geometry(scope[0]);
    const QString status =
        ReadRed(shot, QRect(win.left() + 8, win.top() + 100, 320, 22), program.Folder());
    EXPECT_TRUE(status.contains("tracking", Qt::CaseInsensitive)) << status.toStdString();

    // A click on the reticle: "Telescope" in the memo.
    x.Run({"mousemove", "--sync", QString::number(centre.x() + 4), QString::number(centre.y()),
           "click", "1"});
    QThread::msleep(800);
    const QImage after = x.Shoot();
    after.save(QCoreApplication::applicationDirPath() + "/telescope_e2e_memo.png");
    const QString memo =
        ReadRed(after, QRect(bounds.left() + 17, bounds.top() + 690, 166, 60), program.Folder());
    EXPECT_TRUE(memo.contains("Telescope")) << "memo read as: " << memo.toStdString();
}

} // namespace
