// The telescope window and the chart window's reticle, on the offscreen
// platform, against Debian's indiserver with its telescope simulator and
// against a false server: connecting, slewing and its refusal below the
// horizon, Escape stopping a slew, the lost connection, the commander's GoTo
// asked once, the settings file, and a window that stays responsive while
// the server sends rubbish.
#include "Indiserver.h"
#include "app/Qvscope.h"
#include "app/Qvsky.h"
#include "catalog/Clsstar.h"
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "render/Clsatlas.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Vega (J2000) carried to the equinox of today closely enough for a slew.
const double kVegaRa = (18 + 36 / 60.0 + 56.336 / 3600) * 15 * kDeg;
const double kVegaDec = (38 + 47 / 60.0 + 1.28 / 3600) * kDeg;

// Runs the event loop until ok() or the time is up.
bool Until(const std::function<bool()>& ok, int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (ok()) return true;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(20);
    }
    return ok();
}

std::string Text(QLabel* l) {
    return l->text().toStdString();
}

class TelescopeWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("quenlira-scopewin-" + std::to_string(getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        win = std::make_unique<TfrmScope>(folder.string());
        win->Scope.DeviceSeconds = 3;
        win->Ask = [this](int buttons, const std::string& t) {
            asked.push_back(t);
            return buttons == 1 ? answer : 10003;
        };
        win->Target = [this](std::string& name, double& ra, double& dec, double& alt) {
            name = "Vega";
            ra = kVegaRa;
            dec = kVegaDec;
            alt = altitude;
            return true;
        };
        win->MountMoved = [this] { ++moved; };
        win->show();
    }
    void TearDown() override {
        win.reset();
        std::filesystem::remove_all(folder);
    }
    bool Connected() {
        return Until(
            [&] {
                const auto s = win->Scope.GetState();
                double ra, dec;
                return (s == TScope::Tracking || s == TScope::Stopped) && win->MountPlace(ra, dec);
            },
            20000);
    }

    std::filesystem::path folder;
    std::unique_ptr<TfrmScope> win;
    std::vector<std::string> asked;
    int answer = 10002; // No
    double altitude = 50 * kDeg;
    int moved = 0;
};

TEST_F(TelescopeWindow, ConnectsSlewsAndEscapeStops) {
    indi::Server server;
    ASSERT_TRUE(server.Start());
    win->edtHost->setText("localhost");
    win->edtPort->setText(QString::number(server.Port));
    win->ConnectClick();
    ASSERT_TRUE(Connected()) << Text(win->labStatus);
    EXPECT_EQ(win->cmbDevice->count(), 1);
    EXPECT_EQ(win->cmbDevice->currentText().toStdString(), "Telescope Simulator");
    EXPECT_NE(Text(win->labStatus).find("Status: "), std::string::npos);
    EXPECT_TRUE(Until([&] { return moved > 0; }, 2000))
        << "the chart was never told of the mount's place";

    // The address went into the side file.
    std::ifstream in(folder / "Telescope.txt");
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_NE(file.str().find("port=" + std::to_string(server.Port)), std::string::npos)
        << file.str();

    // Below the horizon: refused with a message, the mount stays.
    altitude = -3 * kDeg;
    win->SlewClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("below the horizon"), std::string::npos) << asked[0];
    QTest::qWait(1000);
    EXPECT_NE(win->Scope.GetState(), TScope::Slewing);

    // Above it: slewing, and Escape in the window stops it at once.
    altitude = 50 * kDeg;
    win->SlewClick();
    ASSERT_TRUE(Until([&] { return win->Scope.GetState() == TScope::Slewing; }, 10000))
        << Text(win->labStatus);
    EXPECT_TRUE(
        Until([&] { return Text(win->labStatus).find("slewing") != std::string::npos; }, 3000))
        << Text(win->labStatus);
    QTest::keyClick(win.get(), Qt::Key_Escape);
    ASSERT_TRUE(Until([&] { return win->Scope.GetState() != TScope::Slewing; }, 3000))
        << "Escape did not stop the slew";
    double ra, dec;
    ASSERT_TRUE(win->MountPlace(ra, dec));
    const double off = std::acos(std::sin(dec) * std::sin(kVegaDec) +
                                 std::cos(dec) * std::cos(kVegaDec) * std::cos(ra - kVegaRa));
    EXPECT_GT(off, 1 * kDeg) << "the mount got to Vega although stopped";

    // The server goes: a message, the status says so, no place is left.
    server.Stop();
    ASSERT_TRUE(Until([&] { return win->Scope.GetState() == TScope::Lost; }, 10000));
    ASSERT_TRUE(Until([&] { return asked.size() >= 2; }, 2000));
    EXPECT_NE(asked.back().find("connection was lost"), std::string::npos) << asked.back();
    EXPECT_NE(Text(win->labStatus).find("connection lost"), std::string::npos)
        << Text(win->labStatus);
    EXPECT_FALSE(win->MountPlace(ra, dec));
}

TEST_F(TelescopeWindow, CommanderGotoAsksOnceThenFollowsTheTick) {
    indi::Server server;
    ASSERT_TRUE(server.Start());
    std::string why;
    // Without a telescope the commander's GoTo moves nothing and asks nothing.
    EXPECT_FALSE(win->CommanderGoto("Vega", kVegaRa, kVegaDec, altitude, why));
    EXPECT_TRUE(asked.empty());

    win->ConnectTo("localhost", server.Port, "");
    ASSERT_TRUE(Connected()) << Text(win->labStatus);
    EXPECT_FALSE(win->chkParty->isChecked()); // off by default
    answer = 10002;                           // No
    EXPECT_FALSE(win->CommanderGoto("Vega", kVegaRa, kVegaDec, altitude, why));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(win->CommanderGoto("Vega", kVegaRa, kVegaDec, altitude, why));
    EXPECT_EQ(asked.size(), 1u) << "asked a second time";
    QTest::qWait(500);
    EXPECT_NE(win->Scope.GetState(), TScope::Slewing);

    // The box ticked: it slews, and the choice is kept in the side file.
    win->chkParty->setChecked(true);
    EXPECT_TRUE(win->CommanderGoto("Vega", kVegaRa, kVegaDec, altitude, why)) << why;
    EXPECT_TRUE(Until([&] { return win->Scope.GetState() == TScope::Slewing; }, 10000));
    win->AbortClick();
    TScopeSettings kept;
    ASSERT_TRUE(kept.Load(folder.string(), why)) << why;
    EXPECT_EQ(kept.PartyGoto, TScopeSettings::Follow);
    // Not below the horizon, even for the commander.
    EXPECT_FALSE(win->CommanderGoto("Vega", kVegaRa, kVegaDec, -1 * kDeg, why));
    EXPECT_NE(why.find("below the horizon"), std::string::npos);
}

TEST_F(TelescopeWindow, RubbishFromTheServerKeepsTheWindowResponsiveAndIsNamed) {
    // A false server: malformed XML, then a message cut off, then silence.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    listen(fd, 2);
    std::thread serve([fd] {
        const int c = accept(fd, nullptr, nullptr);
        if (c < 0) return;
        const std::string junk = "<defSwitchVector device=\"X\" <<>> & </nope>\x01\x02"
                                 "<defNumberVector device=\"X\" name=\"EQUATORIAL_EOD_COORD\" "
                                 "state=\"Ok\"><defNumber name=\"RA\">1";
        send(c, junk.data(), junk.size(), MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        close(c);
    });

    // The window's thread keeps turning: a 50 ms timer is never held up long.
    QElapsedTimer since;
    since.start();
    qint64 last = 0, longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longest = std::max(longest, since.elapsed() - last);
        last = since.elapsed();
    });
    beat.start(50);
    win->ConnectTo("127.0.0.1", ntohs(a.sin_port), "");
    ASSERT_TRUE(Until(
        [&] { return Text(win->labStatus).find("not connected") != std::string::npos; }, 10000))
        << Text(win->labStatus);
    beat.stop();
    EXPECT_LT(longest, 1000) << "the window's thread stood still for " << longest << " ms";
    EXPECT_NE(Text(win->labStatus).find("malformed"), std::string::npos) << Text(win->labStatus);
    shutdown(fd, SHUT_RDWR);
    close(fd);
    serve.join();
}

// The reticle on the chart window: where the mount points, drawn over the
// atlas without a recompute, and a click on it shows "Telescope".
class ChartReticle : public ::testing::Test {
protected:
    void SetUp() override {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2026, 8, 20, 12, 0, 0);
        SetClock(std::move(clock));
        sky = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                          QSize(1024, 768));
        sky->SetTimers([] { return std::make_unique<TSteppedTimer>(); });
        sky->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                              std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0, n = "Tokyo";
        };
        sky->Ask = [](int, const std::string&) { return 10003; };
        sky->LoadMemories = [](TfrmQVSKY::TMemory(&)[10]) {};
        sky->resize(1000, 700);
        sky->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        sky.reset();
        SetClock(nullptr);
    }
    std::unique_ptr<TfrmQVSKY> sky;
};

TEST_F(ChartReticle, FollowsTheMountWithoutARecomputeAndAClickShowsTelescope) {
    // Vega's record, found by its place and brightness.
    int vega = -1;
    for (int i = 0; i < sky->Star->Count; ++i) {
        const TStarRecord& s = (*sky->Star)[i];
        if (std::fabs(s.ra - kVegaRa) < 0.001 && std::fabs(s.dec - kVegaDec) < 0.001 && s.mag < 10)
            vega = i;
    }
    ASSERT_GE(vega, 0);
    sky->ShowObjectInfo(2, vega);
    std::string name;
    double ra = 0, dec = 0, alt = 0;
    ASSERT_TRUE(sky->TelescopeTarget(name, ra, dec, alt));
    EXPECT_NE(name.find("Vega"), std::string::npos) << name;
    // The place of date is within a few arc minutes of J2000 in 2026
    // (precession of about 50" a year), and not the same.
    const double moved = std::hypot((ra - kVegaRa) * std::cos(dec), dec - kVegaDec);
    EXPECT_GT(moved, 5.0 / 60 * kDeg);
    EXPECT_LT(moved, 30.0 / 60 * kDeg);

    // No telescope: no reticle.
    sky->UpdateMountMark();
    EXPECT_FALSE(sky->MountOnAtlas);

    // The mount on Vega's place of date, the atlas centred on Vega's J2000
    // place: the reticle sits at the atlas's centre.
    bool connected = true;
    double mountRa = ra, mountDec = dec;
    sky->MountPlace = [&](double& r, double& d) {
        r = mountRa, d = mountDec;
        return connected;
    };
    sky->MountName = [] { return std::string("Telescope Simulator"); };
    sky->CenterRa = (*sky->Star)[vega].ra;
    sky->CenterDec = (*sky->Star)[vega].dec;
    sky->RedrawAtlas(false);
    ASSERT_TRUE(sky->MountOnAtlas);
    const QPoint centre =
        sky->shpAtlas.topLeft() + QPoint(sky->shpAtlas.width() / 2, sky->shpAtlas.height() / 2);
    EXPECT_LE((sky->MountAtlasAt - centre).manhattanLength(), 2)
        << sky->MountAtlasAt.x() << "," << sky->MountAtlasAt.y();

    // The mount moves by a degree in declination: the reticle follows, and
    // no chart was recomputed for it.
    const int recomputes = sky->Recomputes;
    mountDec = dec + 1 * kDeg;
    sky->UpdateMountMark();
    EXPECT_LT(sky->MountAtlasAt.y(), centre.y() - 5); // north is up
    EXPECT_EQ(sky->Recomputes, recomputes);

    // The reticle is drawn in red over the atlas.
    const QImage shot = sky->grab().toImage();
    const QPoint top = sky->MountAtlasAt - QPoint(0, TfrmQVSKY::kReticle);
    int red = 0;
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            red += shot.pixelColor(top + QPoint(dx, dy)) == QColor(255, 0, 0);
    EXPECT_GT(red, 0) << "no red reticle at its top";

    // A click on it: "Telescope" in the memo with its altitude and azimuth.
    QTest::mouseClick(sky.get(), Qt::LeftButton, Qt::NoModifier, sky->MountAtlasAt);
    const std::string memo = sky->memInfo->toPlainText().toStdString();
    EXPECT_NE(memo.find("[Telescope] Telescope Simulator"), std::string::npos) << memo;
    EXPECT_NE(memo.find("Alt:"), std::string::npos) << memo;
    EXPECT_NE(memo.find("Azi(N-E):"), std::string::npos) << memo;
    EXPECT_EQ(sky->labObjName->text().toStdString(), "Telescope");
    EXPECT_FALSE(sky->TelescopeTarget(name, ra, dec, alt)); // nothing to slew to

    // Connection gone: the reticle goes.
    connected = false;
    sky->UpdateMountMark();
    EXPECT_FALSE(sky->MountOnAtlas);
    EXPECT_FALSE(sky->MountOnHayami);
}

} // namespace
