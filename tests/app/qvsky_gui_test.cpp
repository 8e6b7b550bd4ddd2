// The chart window on the offscreen platform, with a hand-set clock and
// stepped timers: the redraw cycle and its debounce, auto drive and stepped
// time, the view history with its moments, zoom and pan limits, the read-out
// against ERFA and hand-worked projections, the change of site, full screen,
// closing, and the navigation start's refusals.
#include "app/Qvselobj.h"
#include "app/Qvsky.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsdeepstar.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Selgrid.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

// Inverse azimuthal equidistant projection (Snyder, Map Projections 25):
// offsets in radians, x to the east, y to the north.
void InverseProjection(double x, double y, double ra0, double d0, double& ra, double& dec) {
    const double rho = std::hypot(x, y);
    dec = std::asin(std::cos(rho) * std::sin(d0) + y * std::sin(rho) * std::cos(d0) / rho);
    ra = ra0 + std::atan2(x * std::sin(rho),
                          rho * std::cos(d0) * std::cos(rho) - y * std::sin(d0) * std::sin(rho));
}

// A J2000 (ICRS) direction carried to the true equator and equinox of date.
void OfDate(double mjd, double ra, double dec, double& raDate, double& decDate) {
    double m[3][3], v[3], w[3];
    eraPnm06a(2400000.5, mjd, m);
    eraS2c(ra, dec, v);
    eraRxp(m, v, w);
    eraC2s(w, &raDate, &decDate);
}

struct Site {
    std::string name;
    double lng, lat, height, diff, summer;
};

class ChartWindow : public ::testing::Test {
protected:
    void SetUp() override {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2026, 3, 20, 12, 0, 0);
        clock_ = clock.get();
        SetClock(std::move(clock));
        sky_ = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                           QSize(1024, 768));
        sky_->SetTimers([this] {
            auto t = std::make_unique<TSteppedTimer>();
            timers_.push_back(t.get());
            return t;
        });
        sky_->clkCal->SetRepeatTimer(std::make_unique<TSteppedTimer>());
        sky_->CurrentSite = [this](double& lng, double& lat, double& h, double& d, double& s,
                                   std::string& n) {
            lng = site_.lng, lat = site_.lat, h = site_.height, d = site_.diff, s = site_.summer;
            n = site_.name;
        };
        sky_->Ask = [this](int, const std::string& t) {
            asked_.push_back(t);
            return 10003;
        };
        sky_->LoadMemories = [](TfrmQVSKY::TMemory(&m)[10]) { m[4] = {1, 1.0, 0.5, 0.0, 2000}; };
        sky_->resize(1000, 700);
        sky_->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        sky_.reset();
        SetClock(nullptr);
    }
    // Lets ms pass on every window timer.
    void Pass(int ms) {
        for (TSteppedTimer* t : timers_)
            t->Advance(ms);
    }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyPress(w, Qt::Key(key), m);
        QTest::keyRelease(w, Qt::Key(key), m);
    }
    double ClockMjd() const {
        TMjd m;
        m.SetNow(sky_->clkCal->GetYear(), sky_->clkCal->GetMonth(), sky_->clkCal->GetDay(),
                 sky_->clkCal->GetHour(), sky_->clkCal->GetMinute(), 0, site_.diff,
                 static_cast<int>(site_.summer));
        return m.GetMJD();
    }

    Site site_{"Tokyo", 139.7 * kDeg, 35.7 * kDeg, 40, 9, 0};
    TFixedClock* clock_ = nullptr;
    std::vector<TSteppedTimer*> timers_;
    std::vector<std::string> asked_;
    std::unique_ptr<TfrmQVSKY> sky_;
};

// 2026-03-20 12:00 UT is MJD 61119.5; 21:00 in Tokyo.
TEST_F(ChartWindow, StartsInAutoDriveAtTheLocalTimeOfTheSite) {
    EXPECT_TRUE(sky_->AutoDrive);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5, 1e-9);
    EXPECT_NEAR(sky_->Hayami->MJD, 61119.5, 1e-9);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2026/03/20");
    EXPECT_EQ(sky_->clkCal->GetTime(), "21:00");
    EXPECT_EQ(sky_->labTimeDiff->text(), "Auto Drive");
    EXPECT_DOUBLE_EQ(sky_->CenterRa, 1.4835);
    EXPECT_EQ(sky_->Scale, 1000);
    EXPECT_EQ(sky_->History.Index(), 1);
    EXPECT_EQ(sky_->FocusArea, 5);
    EXPECT_TRUE(sky_->fcsAtlas->hasFocus());
    EXPECT_EQ(sky_->Mem[4].Scale, 2000);
    EXPECT_EQ(sky_->NaviName, "");
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Tokyo]"));
    EXPECT_FALSE(sky_->labCommand->isVisible());
}

TEST_F(ChartWindow, ClockStepsRecomputeOnce300msAfterTheLastRelease) {
    sky_->SetFocusArea(1);
    const int before = sky_->Recomputes;
    for (int i = 0; i < 3; ++i) {
        Key(sky_->clkCal, Qt::Key_Up);
        Pass(200);
    }
    EXPECT_EQ(sky_->Recomputes, before);
    EXPECT_FALSE(sky_->AutoDrive);
    EXPECT_EQ(sky_->clkCal->GetTime(), "21:03");
    EXPECT_EQ(sky_->clkCal->GetPCol(), 0);
    EXPECT_EQ(sky_->clkCal->GetBPCol(), 64);
    EXPECT_EQ(sky_->labTimeDiff->text(), "After 03m");
    Pass(99);
    EXPECT_EQ(sky_->Recomputes, before);
    Pass(1);
    EXPECT_EQ(sky_->Recomputes, before + 1);
    EXPECT_NEAR(sky_->Hayami->MJD, 61119.5 + 3.0 / 1440, 1e-9);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5 + 3.0 / 1440, 1e-9);
    Pass(1000);
    EXPECT_EQ(sky_->Recomputes, before + 1);
    // Home on the clock goes back to now.
    Key(sky_->clkCal, Qt::Key_Home);
    EXPECT_TRUE(sky_->AutoDrive);
    EXPECT_EQ(sky_->clkCal->GetTime(), "21:00");
    EXPECT_EQ(sky_->clkCal->GetPCol(), 128);
}

TEST_F(ChartWindow, AutoDriveMovesOnEvery20SecondsWithoutHistoryAndAClickRecords) {
    const int entries = sky_->History.Index();
    clock_->Advance(20000);
    Pass(19800);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5, 1e-9);
    Pass(200);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5 + 20.0 / 86400, 1e-9);
    EXPECT_NEAR(sky_->Hayami->MJD, 61119.5 + 20.0 / 86400, 1e-9);
    EXPECT_EQ(sky_->History.Index(), entries);
    // A click on the atlas centres it there and records the view.
    const QRect a = sky_->shpAtlas;
    QTest::mouseClick(sky_.get(), Qt::LeftButton, Qt::NoModifier,
                      a.topLeft() + QPoint(a.width() / 2 + 100, a.height() / 2));
    EXPECT_EQ(sky_->History.Index(), entries + 1);
    EXPECT_LT(sky_->CenterRa, 1.4835); // west of the old centre: less right ascension
    EXPECT_EQ(sky_->History.Current().Mjd, 0.0);
    // In stepped time the tick only refreshes the difference from now.
    sky_->SetFocusArea(1);
    Key(sky_->clkCal, Qt::Key_Left); // from the minutes to the hours
    Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    const double stepped = sky_->Atlas->GetMJD();
    clock_->Advance(3600000);
    Pass(20000);
    EXPECT_EQ(sky_->Atlas->GetMJD(), stepped);
    EXPECT_EQ(sky_->labTimeDiff->text(), "Before 00m"); // now is 20 s past the dialled minute
}

TEST_F(ChartWindow, ZoomAndPanKeysKeepTheirLimits) {
    QWidget* atlas = sky_->fcsAtlas;
    std::vector<int> seen;
    for (int i = 0; i < 4; ++i) {
        Key(atlas, Qt::Key_PageUp);
        seen.push_back(sky_->Scale);
    }
    EXPECT_EQ(seen, (std::vector<int>{1500, 2250, 3375, 5062}));
    EXPECT_EQ(sky_->Atlas->GetScale(), 5062);
    for (int i = 0; i < 40; ++i)
        Key(atlas, Qt::Key_PageUp);
    EXPECT_EQ(sky_->Scale, 1200000);
    sky_->Scale = 400;
    Key(atlas, Qt::Key_PageDown);
    EXPECT_EQ(sky_->Scale, 300);
    Key(atlas, Qt::Key_PageDown);
    EXPECT_EQ(sky_->Scale, 300);

    // An atlas 400 pixels high at scale 1000: Up from 1.5 rad stops at the pole.
    sky_->resize(1600, 400 + TfrmQVSKY::kStripHeight); // wide enough for a one-row strip
    ASSERT_EQ(sky_->shpAtlas.height(), 400) << sky_->height();
    sky_->Scale = 1000;
    sky_->CenterDec = 1.5;
    Key(atlas, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(sky_->CenterDec, kPi / 2);
    const int entries = sky_->History.Index();
    Key(atlas, Qt::Key_Up);
    EXPECT_EQ(sky_->History.Index(), entries); // nothing moved, nothing recorded
    // Left moves a quarter of the bottom edge's span to the east (more RA).
    sky_->CenterDec = 0.0;
    sky_->CenterRa = 0.1;
    Key(atlas, Qt::Key_Left);
    // The bottom corners' right ascensions, pixel edges as the chart counts them.
    const int w = sky_->shpAtlas.width(), h = sky_->shpAtlas.height();
    double raL = 0, raR = 0, dec = 0;
    InverseProjection((w / 2) / 1000.0, -(h - 1 - h / 2) / 1000.0, 0.1, 0.0, raL, dec);
    InverseProjection(-(w - 1 - w / 2) / 1000.0, -(h - 1 - h / 2) / 1000.0, 0.1, 0.0, raR, dec);
    EXPECT_NEAR(sky_->CenterRa, 0.1 + (raL - raR) / 4, 1e-9);
    Key(atlas, Qt::Key_Right);
    Key(atlas, Qt::Key_Right);
    EXPECT_GT(sky_->CenterRa, 6.0); // wrapped below 0
    // The sensitivity from the keypad, within -5..5.
    for (int i = 0; i < 8; ++i)
        Key(atlas, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(sky_->Sensitivity, 5);
    EXPECT_EQ(sky_->Atlas->GetSensitivity(), 5);
    EXPECT_EQ(sky_->labSens[10]->GetCB(), 128);
    EXPECT_EQ(sky_->labSens[5]->GetCB(), 0);
}

TEST_F(ChartWindow, HistoryRestoresViewsAndTheirTimeModes) {
    QWidget* atlas = sky_->fcsAtlas;
    Key(atlas, Qt::Key_PageUp); // entry 2, auto drive
    // Entry 3 in stepped time, one day on.
    sky_->SetFocusArea(1);
    Key(sky_->clkCal, Qt::Key_Left);
    Key(sky_->clkCal, Qt::Key_Left); // from the minutes to the days
    Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    sky_->SetFocusArea(5);
    Key(atlas, Qt::Key_PageUp);
    ASSERT_EQ(sky_->History.Index(), 3);
    EXPECT_NEAR(sky_->History.Current().Mjd, 61120.5, 1e-9);
    EXPECT_EQ(sky_->labBack->GetFontColor(), 255);
    EXPECT_EQ(sky_->labForward->GetFontColor(), 128);

    Key(atlas, Qt::Key_Left, Qt::AltModifier); // back to entry 2: auto drive, now
    EXPECT_TRUE(sky_->AutoDrive);
    EXPECT_EQ(sky_->Scale, 1500);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2026/03/20");
    EXPECT_EQ(sky_->labTimeDiff->text(), "Auto Drive");
    EXPECT_EQ(sky_->labForward->GetFontColor(), 255);
    Key(atlas, Qt::Key_Right, Qt::AltModifier); // forward to entry 3: stepped time
    EXPECT_FALSE(sky_->AutoDrive);
    EXPECT_EQ(sky_->Scale, 2250);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2026/03/21");
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61120.5, 1e-9);
    EXPECT_EQ(sky_->labTimeDiff->text(), "After 1Day00h00m");
    EXPECT_EQ(sky_->labForward->GetFontColor(), 128);
    // Back twice, a new view: forward is gone.
    sky_->HistoryBack();
    sky_->HistoryBack();
    EXPECT_EQ(sky_->History.Index(), 1);
    EXPECT_EQ(sky_->labBack->GetFontColor(), 128);
    Key(atlas, Qt::Key_Down);
    EXPECT_EQ(sky_->History.Index(), 2);
    EXPECT_FALSE(sky_->History.CanForward());
    EXPECT_EQ(sky_->labForward->GetFontColor(), 128);
}

// The Moon picture lit as the Moon is: full, first quarter (the western half,
// right on a chart with east to the left) and new, at published phase times.
TEST_F(ChartWindow, MoonPictureFollowsThePhase) {
    auto lit = [&](int& right) {
        const QImage& m = sky_->MoonPicture();
        int n = 0;
        right = 0;
        for (int y = 0; y < m.height(); ++y)
            for (int x = 0; x < m.width(); ++x)
                if (m.pixel(x, y) == qRgb(102, 102, 0)) ++n, right += x > 22;
        return n;
    };
    int right = 0;
    clock_->SetUt(2024, 4, 23, 23, 49); // full moon
    sky_->GoNow();
    EXPECT_GT(lit(right), 1300);                  // a disc of radius 22 has about 1520 pixels
    EXPECT_NEAR(sky_->MoonAgeDays, 15.228, 0.05); // since the new moon of Apr 8 18:21
    clock_->SetUt(2024, 4, 15, 19, 13);           // first quarter
    sky_->GoNow();
    const int half = lit(right);
    EXPECT_NEAR(half, 760, 80);
    EXPECT_GT(right, half * 0.95);
    EXPECT_EQ(sky_->labMoonAge->text(), "7"); // 7.036 days, floored to a tenth
    clock_->SetUt(2024, 4, 8, 18, 21);        // new moon
    sky_->GoNow();
    EXPECT_LT(lit(right), 60);
}

// The read-out of one atlas pixel, worked out with the inverse azimuthal
// equidistant projection and ERFA's horizon coordinates; and of one
// planisphere pixel, whose altitude and azimuth follow from its place alone.
TEST_F(ChartWindow, ReadOutOfBothChartsAgreesWithIndependentPositions) {
    auto number = [](const QString& s, int skip) {
        return QString(s).mid(skip).remove(QChar(0xB0)).trimmed().toDouble();
    };
    auto raOf = [](const QString& s) { // "RA:05h35m17s"
        return (s.mid(3, 2).toDouble() + s.mid(6, 2).toDouble() / 60 +
                s.mid(9, 2).toDouble() / 3600) *
               15.0;
    };
    auto decOf = [](const QString& s) { // "Dc: 5°23.5'" or "Dc:-5°23.5'"
        const QString t = s.mid(3);
        const int mark = t.indexOf(QChar(0xB0));
        const double d = std::fabs(t.left(mark).toDouble());
        const double m = t.mid(mark + 1, t.size() - mark - 2).toDouble();
        return (t.trimmed().startsWith('-') ? -1 : 1) * (d + m / 60);
    };
    const QRect a = sky_->shpAtlas;
    const int px = a.width() / 2 + 120, py = a.height() / 2 - 80;
    QTest::mouseMove(sky_.get(), a.topLeft() + QPoint(px, py));
    // East is to the left and north up; 1000 pixels per radian.
    const double x = -(px - a.width() / 2) / 1000.0, y = -(py - a.height() / 2) / 1000.0;
    double ra = 0, dec = 0;
    InverseProjection(x, y, 1.4835, 0.0, ra, dec);
    EXPECT_NEAR(raOf(sky_->labRA->text()), ra / kDeg, 2.0 / 240);
    EXPECT_NEAR(decOf(sky_->labDc->text()), dec / kDeg, 0.1 / 60 + 1e-9);
    // ERFA: the J2000 direction carried to the date, local mean sidereal time, then the
    // horizon; Bennett's refraction.
    const double lst = eraGmst06(2400000.5, 61119.5, 2400000.5, 61119.5) + site_.lng;
    double az = 0, el = 0;
    OfDate(61119.5, ra, dec, ra, dec);
    eraHd2ae(lst - ra, dec, site_.lat, &az, &el);
    const double eld = el / kDeg;
    const double refr = 1.0 / std::tan((eld + 7.31 / (eld + 4.4)) * kDeg) / 60.0;
    EXPECT_NEAR(number(sky_->labAZI->text(), 4), az / kDeg, 0.06);
    EXPECT_NEAR(number(sky_->labALT->text(), 4), eld + refr, 0.07);
    EXPECT_EQ(sky_->labAZI->text().size(), 10); // "AZI:" and six characters

    // Planisphere pixel 40 right and 30 up of the centre: 50 pixels from the
    // zenith of a 280-pixel chart is 50/140 of 90 degrees; to the north-west.
    QTest::mouseMove(sky_.get(), QPoint(140 + 40, 140 - 30));
    EXPECT_EQ(sky_->cursor().shape(), Qt::CrossCursor);
    EXPECT_NEAR(number(sky_->labALT->text(), 4), 90.0 - 50.0 / 140 * 90, 0.06);
    EXPECT_NEAR(number(sky_->labAZI->text(), 4), 360.0 - std::atan2(40, 30) / kDeg, 0.06);
    QTest::mouseMove(sky_.get(), QPoint(278, 2)); // outside the circle
    EXPECT_EQ(sky_->cursor().shape(), Qt::ArrowCursor);
}

// In the year 1000 the sky of date is turned by 14 degrees against the J2000 atlas: a
// click on Sirius in the planisphere centres the atlas on Sirius's J2000 place, the
// pointer mark comes back onto the clicked pixel, and the read-out gives Sirius's altitude
// and azimuth of that night (ERFA).
TEST_F(ChartWindow, PlanisphereClickPointerAndReadOutAgreeWithTheAtlasInTheYear1000) {
    sky_->AutoDrive = false;
    sky_->clkCal->SetYear(1000);
    sky_->clkCal->SetMonth(3);
    sky_->clkCal->SetDay(20);
    sky_->clkCal->SetHour(21);
    sky_->clkCal->SetMinute(0);
    sky_->RecomputeFromClock(true);
    const double mjd = ClockMjd();
    const double siriusRa = 101.287155 * kDeg, siriusDec = -16.716116 * kDeg;
    double ra, dec, az, el;
    OfDate(mjd, siriusRa, siriusDec, ra, dec);
    const double lst = eraGmst06(2400000.5, mjd, 2400000.5, mjd) + site_.lng;
    eraHd2ae(lst - ra, dec, site_.lat, &az, &el);
    ASSERT_GT(el, 10 * kDeg);
    const QRect h = sky_->shpHayami;
    const double r = (kPi / 2 - el) / kPi * h.width();
    const QPoint pixel(int(h.width() / 2.0 - r * std::sin(az)),
                       int(h.height() / 2.0 - r * std::cos(az)));
    QTest::mouseClick(sky_.get(), Qt::LeftButton, Qt::NoModifier, h.topLeft() + pixel);
    // A pixel of the 280-pixel chart is 0.64 degree.
    EXPECT_LT(eraSeps(sky_->CenterRa, sky_->CenterDec, siriusRa, siriusDec), 1.0 * kDeg);
    ASSERT_TRUE(sky_->PointerShown);
    EXPECT_LE((sky_->PointerAt - (h.topLeft() + pixel)).manhattanLength(), 2);

    const QRect a = sky_->shpAtlas;
    QTest::mouseMove(sky_.get(), a.topLeft() + QPoint(a.width() / 2, a.height() / 2));
    OfDate(mjd, sky_->CenterRa, sky_->CenterDec, ra, dec);
    eraHd2ae(lst - ra, dec, site_.lat, &az, &el);
    const double eld = el / kDeg;
    const double refr = 1.0 / std::tan((eld + 7.31 / (eld + 4.4)) * kDeg) / 60.0;
    auto number = [](const QString& t) {
        return QString(t).mid(4).remove(QChar(0xB0)).trimmed().toDouble();
    };
    EXPECT_NEAR(number(sky_->labAZI->text()), az / kDeg, 0.06);
    EXPECT_NEAR(number(sky_->labALT->text()), eld + refr, 0.07);
}

TEST_F(ChartWindow, F3ChangesTheSiteAndTheChartsFollow) {
    sky_->ChooseSite = [this] {
        site_ = {"Sydney", 151.2 * kDeg, -33.9 * kDeg, 10, 10, 1};
        return true;
    };
    clock_->Advance(600000);
    const int entries = sky_->History.Index();
    Key(sky_->fcsAtlas, Qt::Key_F3);
    EXPECT_DOUBLE_EQ(sky_->Hayami->Lat, -33.9 * kDeg);
    EXPECT_DOUBLE_EQ(sky_->Location.Lat, -33.9 * kDeg);
    EXPECT_EQ(sky_->Summer, 1);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5 + 10.0 / 1440, 1e-9);
    EXPECT_EQ(sky_->clkCal->GetTime(), "23:10"); // UT + 10 h + 1 h summer time
    EXPECT_EQ(sky_->History.Index(), entries + 1);
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Sydney]"));
    // F10 opens the party settings from any area, the clock's too.
    int party = 0;
    sky_->ShowPartySettings = [&] { ++party; };
    sky_->SetFocusArea(1);
    Key(sky_->clkCal, Qt::Key_F10);
    sky_->SetFocusArea(5);
    Key(sky_->fcsAtlas, Qt::Key_F10);
    EXPECT_EQ(party, 2);
    // A cancelled choice changes nothing.
    sky_->ChooseSite = [] { return false; };
    sky_->SetFocusArea(3); // F3 works from another area too
    Key(sky_->fcsDisp, Qt::Key_F3);
    EXPECT_EQ(sky_->History.Index(), entries + 1);
}

TEST_F(ChartWindow, FullScreenAndBackRestoresTheBounds) {
    const QRect before = sky_->geometry();
    Key(sky_->fcsAtlas, Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_TRUE(sky_->FullScreen);
    EXPECT_TRUE(sky_->isFullScreen());
    // While maximised the way back does nothing.
    sky_->IsMaximized = [] { return true; };
    Key(sky_->fcsAtlas, Qt::Key_F2);
    EXPECT_TRUE(sky_->FullScreen);
    sky_->IsMaximized = [] { return false; };
    Key(sky_->fcsAtlas, Qt::Key_F2);
    QApplication::processEvents();
    EXPECT_FALSE(sky_->FullScreen);
    EXPECT_EQ(sky_->geometry(), before);
    // The resize redraws the atlas 200 ms after the last size change.
    const int w = sky_->shpAtlas.width();
    sky_->resize(900, 600);
    sky_->resize(800, 600);
    EXPECT_EQ(sky_->Atlas->GetViewWidth(), w);
    Pass(200);
    // 600 pixels are too short for one column: the left side takes two.
    EXPECT_EQ(sky_->Atlas->GetViewWidth(), 800 - 2 * TfrmQVSKY::kLeftWidth);
}

TEST_F(ChartWindow, NavigationRefusesWithoutAutoDriveOrObjectAndClosingSavesMemories) {
    // An object, then the site again: the site is nothing to navigate to.
    sky_->ShowObjectInfo(3, 9);
    ASSERT_FALSE(sky_->NaviName.empty());
    sky_->ShowObjectInfo(0, 0);
    Key(sky_->fcsAtlas, Qt::Key_F4);
    EXPECT_TRUE(asked_.empty()); // 100 ms later
    Pass(100);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], "Select an object");
    sky_->AutoDrive = false;
    sky_->StartNavigation();
    EXPECT_EQ(asked_.back(), "Only AutoDrive Mode([NOW]Button)");
    std::string opened;
    sky_->OpenNavigation = [&](double, double, double, const std::string& n) { opened = n; };
    sky_->AutoDrive = true;
    sky_->NaviName = "Sirius";
    sky_->StartNavigation();
    EXPECT_EQ(opened, "Sirius");

    TfrmQVSKY::TMemory saved[10];
    bool ended = false;
    sky_->OnClosed = [&] { ended = true; };
    sky_->SaveMemories = [&](const TfrmQVSKY::TMemory(&m)[10], std::string& why) {
        std::copy(m, m + 10, saved);
        why = "Read-only file system";
        return false;
    };
    sky_->Mem[7] = {1, 2.0, -0.5, 60000.25, 3000};
    sky_->close();
    EXPECT_EQ(saved[7].Scale, 3000);
    EXPECT_EQ(saved[4].Scale, 2000);
    EXPECT_TRUE(ended); // the program still ends
    EXPECT_NE(asked_.back().find("Read-only file system"), std::string::npos);
}

// The search lists from the keyboard: tabs and menus stop at their ends, a
// list comes back scrolled as it was left, and choosing a row centres the
// atlas on the catalogue place with one history entry; a constellation moves
// the chart but leaves the selected object alone.
TEST_F(ChartWindow, SearchListsChooseCentreAndStopAtTheirEnds) {
    sky_->SetFocusArea(2);
    QWidget* list = sky_->grdSearch;
    EXPECT_EQ(sky_->labMenu[0]->GetCap(), "Planet");
    EXPECT_EQ(sky_->grdSearch->GetMaxRow(), 14);
    Key(list, Qt::Key_Minus, Qt::KeypadModifier);
    Key(list, Qt::Key_Left);
    EXPECT_EQ(sky_->SearchTab, 1);
    EXPECT_EQ(sky_->SearchMenu[0], 1);
    Key(list, Qt::Key_Right); // tab 1 has one menu
    EXPECT_EQ(sky_->SearchMenu[0], 1);

    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(sky_->SearchTab, 2);
    EXPECT_EQ(sky_->grdSearch->GetMaxRow(), 110);
    EXPECT_EQ(sky_->labTab[1]->GetFontColor(), 255);
    EXPECT_EQ(sky_->labTab[1]->height(), 14);
    EXPECT_EQ(sky_->shpTabDsp->x(), sky_->labTab[1]->x());
    sky_->grdSearch->SetSelRowByTag(42);
    const int entries = sky_->History.Index();
    Key(list, Qt::Key_Return);
    const int m42 = TSearchList::MessierRecord(*sky_->Nebula, 42);
    ASSERT_GE(m42, 0);
    EXPECT_DOUBLE_EQ(sky_->CenterRa, (*sky_->Nebula)[m42].ra);
    EXPECT_DOUBLE_EQ(sky_->CenterDec, (*sky_->Nebula)[m42].dec);
    EXPECT_EQ(sky_->History.Index(), entries + 1);

    for (int i = 0; i < 10; ++i)
        Key(list, Qt::Key_Right);
    EXPECT_EQ(sky_->SearchMenu[1], 9);
    EXPECT_EQ(sky_->labMenu[8]->GetFontColor(), 255);
    sky_->grdSearch->SetDspTop(50);
    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    Key(list, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(sky_->SearchMenu[1], 9);
    EXPECT_EQ(sky_->grdSearch->GetDspTop(), 50);

    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    ASSERT_EQ(sky_->SearchTab, 4);
    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(sky_->SearchTab, 4);
    const std::string navi = sky_->NaviName;
    const QString memo = sky_->memInfo->toPlainText();
    int orion = 0;
    for (int c = 1; c < TConstellation::RowCount; ++c)
        if (std::string(sky_->Constellation->Rows[c].abbr) == "Ori") orion = c;
    sky_->grdSearch->SetSelRowByTag(orion);
    Key(list, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(sky_->CenterRa, sky_->Constellation->Rows[orion].ra);
    EXPECT_EQ(sky_->NaviName, navi);
    EXPECT_EQ(sky_->memInfo->toPlainText(), memo);
}

// The pick pop-up: nothing on empty sky; beside the click inside the atlas,
// on the other side near its right edge; a click outside closes it without a
// choice.
TEST_F(ChartWindow, PickPopupOpensOnlyOnObjectsAndStaysBesideTheClick) {
    sky_->resize(1000, 700);
    Pass(200);
    TAtlas& atlas = *sky_->Atlas;
    TPickEntry list[TAtlas::MaxPick];
    // Empty sky: a pixel where the atlas finds nothing but the point itself.
    QPoint empty(-1, -1);
    for (int y = 20; y < 400 && empty.x() < 0; y += 7)
        for (int x = 20; x < 400 && empty.x() < 0; x += 7)
            if (atlas.Pick(x, y, 2, list) == 1) empty = QPoint(x, y);
    ASSERT_GE(empty.x(), 0);
    QTest::mouseRelease(sky_.get(), Qt::RightButton, Qt::NoModifier,
                        sky_->shpAtlas.topLeft() + empty);
    EXPECT_FALSE(sky_->SelObj->isVisible());

    // Betelgeuse in the default view.
    int betelgeuse = -1;
    for (int i = 0; i < sky_->Star->NamedCount; ++i)
        if (std::string(sky_->Star->Named[i].nameSci) == "Betelgeuse")
            betelgeuse = sky_->Star->Named[i].record;
    ASSERT_GE(betelgeuse, 0);
    int px = 0, py = 0;
    ASSERT_TRUE(atlas.ToPixel((*sky_->Star)[betelgeuse].ra, (*sky_->Star)[betelgeuse].dec, px, py));
    QTest::mouseRelease(sky_.get(), Qt::RightButton, Qt::NoModifier,
                        sky_->shpAtlas.topLeft() + QPoint(px, py));
    ASSERT_TRUE(sky_->SelObj->isVisible());
    TSelGrid* g = sky_->SelObj->grdSelObj;
    bool found = false;
    for (int r = 1; r <= g->GetMaxRow(); ++r)
        if (g->GetTextA(r, 1) == "Betelgeuse") {
            found = true;
            EXPECT_EQ(g->GetTextA(r, 2), "0.45Mag");
            EXPECT_EQ(sky_->SelObj->KindOf(r), 2);
            EXPECT_EQ(sky_->SelObj->IndexOf(r), betelgeuse);
        }
    EXPECT_TRUE(found);
    const QPoint atlasOnScreen = sky_->mapToGlobal(sky_->shpAtlas.topLeft());
    EXPECT_EQ(sky_->SelObj->x(), atlasOnScreen.x() + px + 5);
    // Every name and magnitude whole, and no dead space right of the columns.
    const QFontMetrics fm(g->font());
    for (int r = 1; r <= g->GetMaxRow(); ++r)
        for (int c = 1; c <= 2; ++c)
            EXPECT_LE(fm.horizontalAdvance(QString::fromStdString(g->GetTextA(r, c))) + 1,
                      g->GetColWidth(c) - 1)
                << g->GetTextA(r, c);
    EXPECT_EQ(sky_->SelObj->width(), g->GetColWidth(1) + g->GetColWidth(2) + 1);
    // Releasing on Betelgeuse's row shows its information; the centre stays.
    const double ra = sky_->CenterRa;
    for (int r = 1; r <= g->GetMaxRow(); ++r)
        if (g->GetTextA(r, 1) == "Betelgeuse") g->SetSelRow(r);
    const int y = (g->GetSelRow() - g->GetDspTop() + 1) * g->GetRowHei() + 3;
    QTest::mouseRelease(g, Qt::LeftButton, Qt::NoModifier, QPoint(10, y));
    QApplication::processEvents();
    EXPECT_FALSE(sky_->SelObj->isVisible());
    EXPECT_TRUE(sky_->memInfo->toPlainText().contains("Betelgeuse"))
        << sky_->memInfo->toPlainText().toStdString();
    EXPECT_EQ(sky_->CenterRa, ra);
    // Released on the header: no choice.
    sky_->PickObjects(px, py);
    const QString before = sky_->memInfo->toPlainText();
    QTest::mouseRelease(g, Qt::LeftButton, Qt::NoModifier, QPoint(10, 3));
    QApplication::processEvents();
    EXPECT_FALSE(sky_->SelObj->isVisible());
    EXPECT_EQ(sky_->memInfo->toPlainText(), before);
    sky_->PickObjects(px, py);
    // A click elsewhere closes it with no choice.
    QTest::mouseClick(sky_->SelObj, Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
    QApplication::processEvents();
    EXPECT_FALSE(sky_->SelObj->isVisible());
    EXPECT_EQ(sky_->SelObj->Chosen, 0);

    // A star near the right edge: the pop-up opens to the left of the click.
    const int w = sky_->shpAtlas.width();
    bool edge = false;
    for (int i = 0; i < sky_->Star->Count; ++i) {
        int x = 0, y = 0;
        const TStarRecord& r = (*sky_->Star)[i];
        if (!atlas.ToPixel(r.ra, r.dec, x, y) || x < w - 60 || x >= w - 3 || y < 30 || y > 300 ||
            atlas.Pick(x, y, 2, list) < 2)
            continue;
        sky_->PickObjects(x, y);
        ASSERT_TRUE(sky_->SelObj->isVisible());
        EXPECT_EQ(sky_->SelObj->x(), atlasOnScreen.x() + x + 5 - sky_->SelObj->width());
        sky_->SelObj->hide();
        edge = true;
        break;
    }
    EXPECT_TRUE(edge) << "no star near the right edge to try";
}

} // namespace

TEST_F(ChartWindow, DeepStarsArePickedListedAndShownAndADamagedLayerIsLeftOut) {
    ASSERT_NE(sky_->DeepStar, nullptr) << sky_->DeepStarProblem;
    EXPECT_TRUE(sky_->DeepStarProblem.empty());
    EXPECT_EQ(sky_->Atlas->Star[1], sky_->DeepStar.get());
    const TStar& deep = *sky_->DeepStar;

    // The Pleiades at scale 20000: the deep star nearest the cluster's centre.
    sky_->CenterRa = (3 + 47.4 / 60) * 15 * kDeg;
    sky_->CenterDec = 24.117 * kDeg;
    sky_->Scale = 20000;
    sky_->RedrawAtlas(true);
    TAtlas& atlas = *sky_->Atlas;
    ASSERT_GT(atlas.StarsDrawn[1], 40);
    int rec = -1, px = 0, py = 0;
    double best = 1e9;
    for (int i = 0; i < deep.Count; ++i) {
        const double d = std::hypot(deep[i].ra - sky_->CenterRa, deep[i].dec - sky_->CenterDec);
        if (d < best && deep[i].mag <= 1000) best = d, rec = i;
    }
    ASSERT_GE(rec, 0);
    ASSERT_TRUE(atlas.ToPixel(deep[rec].ra, deep[rec].dec, px, py));
    const int number = sky_->Star->Count + rec;
    QTest::mouseRelease(sky_.get(), Qt::RightButton, Qt::NoModifier,
                        sky_->shpAtlas.topLeft() + QPoint(px, py));
    ASSERT_TRUE(sky_->SelObj->isVisible());
    TSelGrid* g = sky_->SelObj->grdSelObj;
    int row = -1;
    for (int r = 1; r <= g->GetMaxRow(); ++r)
        if (sky_->SelObj->KindOf(r) == 2 && sky_->SelObj->IndexOf(r) == number) row = r;
    ASSERT_GT(row, 0);
    char mag[16];
    std::snprintf(mag, sizeof mag, "%.2fMag", deep[rec].mag * 0.01);
    EXPECT_EQ(g->GetTextA(row, 1), "Tau");
    EXPECT_EQ(g->GetTextA(row, 2), mag);
    QTest::mouseClick(sky_->SelObj, Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
    QApplication::processEvents();

    // Its information: no Bayer letter or Flamsteed number, so the magnitude
    // is its name for the navigation window.
    sky_->ShowObjectInfo(2, number);
    const std::string text = sky_->memInfo->toPlainText().toStdString();
    char head[64];
    std::snprintf(head, sizeof head, "[Star] Tau Taurus Mag:%.2f Spectrum:", deep[rec].mag * 0.01);
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_NE(text.find(" Rise:"), std::string::npos) << text;
    EXPECT_EQ(sky_->NaviName, "Mag:" + std::string(mag, std::strlen(mag) - 3));
    EXPECT_EQ(sky_->PicIndex, number);
    // A click on its picture centres the atlas on it.
    sky_->CenterRa = 0;
    sky_->ObjectPictureClick();
    EXPECT_FLOAT_EQ(static_cast<float>(sky_->CenterRa), deep[rec].ra);

    // A torn Tycho.dat beside the catalogues: the atlas stays on Star.dat and
    // the reason waits for the error log.
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "quenlira_torn_deep";
    fs::create_directories(dir);
    const fs::path exe(QCoreApplication::applicationDirPath().toStdString());
    for (const char* f : {"Star.dat", "Unsta.dat"})
        fs::copy_file(exe / f, dir / f, fs::copy_options::overwrite_existing);
    std::ofstream(dir / "Tycho.dat", std::ios::binary) << std::string(37, 'x');
    TfrmQVSKY torn(dir.string(), QSize(1024, 768));
    EXPECT_EQ(torn.DeepStar, nullptr);
    EXPECT_EQ(torn.Atlas->Star[1], nullptr);
    EXPECT_GT(torn.Star->Count, 100000);
    EXPECT_NE(torn.DeepStarProblem.find("Tycho.dat"), std::string::npos) << torn.DeepStarProblem;
    EXPECT_NE(torn.DeepStarProblem.find("37 bytes"), std::string::npos) << torn.DeepStarProblem;
    fs::remove_all(dir);
}

// The wheel zooms about the pointer: the sky point under it stays under it
// (where the atlas now draws it, by its own projection); a burst of notches
// makes one drawing and one history entry; turning on at a limit does nothing.
TEST_F(ChartWindow, WheelZoomsAboutThePointerInOneDrawingAndStopsAtTheLimits) {
    const QRect a = sky_->shpAtlas;
    const QPoint at = a.topLeft() + QPoint(a.width() / 2 + 150, a.height() / 2 - 90);
    double ra = 0, dec = 0;
    sky_->Atlas->Unproject(1, at.x() - a.left(), at.y() - a.top(), &dec, &ra, sky_->CenterDec,
                           sky_->CenterRa);
    auto wheel = [&](int delta) {
        QWheelEvent e(at, sky_->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(sky_.get(), &e);
    };
    const int drawings = sky_->AtlasDrawings, entries = sky_->History.Index();
    for (int k = 0; k < 3; ++k)
        wheel(120);
    EXPECT_EQ(sky_->AtlasDrawings, drawings); // not yet: the burst is still coming
    QApplication::processEvents();
    EXPECT_EQ(sky_->AtlasDrawings, drawings + 1);
    EXPECT_EQ(sky_->History.Index(), entries + 1);
    EXPECT_EQ(sky_->Scale, 3375);
    double x = 0, y = 0;
    ASSERT_TRUE(sky_->Atlas->Project(1, &x, &y, sky_->CenterDec, sky_->CenterRa, dec, ra));
    EXPECT_NEAR(3375 * x + a.width() / 2, at.x() - a.left(), 1.0);
    EXPECT_NEAR(3375 * y + a.height() / 2, at.y() - a.top(), 1.0);
    // Half notches add up; out past the widest scale it stops there.
    wheel(-60);
    QApplication::processEvents();
    EXPECT_EQ(sky_->Scale, 3375);
    wheel(-60);
    for (int k = 0; k < 12; ++k)
        wheel(-120);
    QApplication::processEvents();
    EXPECT_EQ(sky_->Scale, 300);
    const double ra300 = sky_->CenterRa;
    const int atLimit = sky_->AtlasDrawings;
    wheel(-120);
    QApplication::processEvents();
    EXPECT_EQ(sky_->AtlasDrawings, atLimit);
    EXPECT_EQ(sky_->CenterRa, ra300);
}

// Dragging carries the sky point pressed on with the pointer, with one
// history entry at the end; a click without moving still centres there.
TEST_F(ChartWindow, DragMovesTheSkyWithThePointerAndAClickStillCentres) {
    const QRect a = sky_->shpAtlas;
    const QPoint from = a.center(), to = a.center() + QPoint(-120, 70);
    double ra = 0, dec = 0;
    sky_->Atlas->Unproject(1, from.x() - a.left(), from.y() - a.top(), &dec, &ra, sky_->CenterDec,
                           sky_->CenterRa);
    const int entries = sky_->History.Index();
    QTest::mousePress(sky_.get(), Qt::LeftButton, Qt::NoModifier, from);
    for (int k = 1; k <= 6; ++k) {
        QMouseEvent move(QEvent::MouseMove, from + (to - from) * k / 6,
                         sky_->mapToGlobal(from + (to - from) * k / 6), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(sky_.get(), &move);
    }
    QApplication::processEvents();
    QTest::mouseRelease(sky_.get(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(sky_->History.Index(), entries + 1);
    double x = 0, y = 0;
    ASSERT_TRUE(sky_->Atlas->Project(1, &x, &y, sky_->CenterDec, sky_->CenterRa, dec, ra));
    EXPECT_NEAR(1000 * x + a.width() / 2, to.x() - a.left(), 1.0);
    EXPECT_NEAR(1000 * y + a.height() / 2, to.y() - a.top(), 1.0);
    // The drag went left and down: the centre moved west (less right
    // ascension) and north.
    EXPECT_LT(sky_->CenterRa, 1.4835);
    EXPECT_GT(sky_->CenterDec, 0.0);
}

// The menu names every function key of the key chart and does what the key does.
TEST_F(ChartWindow, MenuListsEveryFunctionKeyAndActsLikeTheKeys) {
    QStringList keys;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
        for (QAction* act : m->actions()) {
            if (act->menu()) walk(act->menu());
            const QString t = act->text();
            if (t.contains('\t')) keys << t.section('\t', 1).split(", ");
        }
    };
    walk(sky_->mnuMain);
    for (int f = 1; f <= 11; ++f)
        EXPECT_TRUE(keys.contains(QString("F%1").arg(f))) << f;
    for (const char* k : {"PageUp", "PageDown", "Alt+Left", "Alt+Right", "Insert", "Delete",
                          "Keypad +", "Keypad -", "Keypad 0", "Keypad 9", "Ctrl+S", "Ctrl+F"})
        EXPECT_TRUE(keys.contains(k)) << k;
    auto trigger = [&](const QString& menu, const QString& start) {
        for (QAction* act : sky_->MenuNamed(menu)->actions())
            if (act->text().startsWith(start)) {
                act->trigger();
                return true;
            }
        return false;
    };
    ASSERT_TRUE(trigger("View", "Zoom in"));
    EXPECT_EQ(sky_->Scale, 1500);
    ASSERT_TRUE(trigger("View", "More stars"));
    EXPECT_EQ(sky_->Sensitivity, 1);
    ASSERT_TRUE(trigger("View", "Grid"));
    EXPECT_EQ(sky_->Switch[6], 0);
    ASSERT_TRUE(trigger("Areas", "Clock"));
    EXPECT_EQ(sky_->FocusArea, 1);
    // The button under the atlas opens it.
    QTest::mousePress(sky_->flbMenu, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(sky_->mnuMain->isVisible());
    sky_->mnuMain->hide();
    EXPECT_FALSE(sky_->flbMenu->toolTip().isEmpty());
    EXPECT_EQ(sky_->ToolTipAt(sky_->labMoonAge->geometry().center()), "");
    EXPECT_FALSE(sky_->labMoonAge->toolTip().isEmpty());
    EXPECT_FALSE(sky_->ToolTipAt(sky_->labRA->geometry().center()).isEmpty());
}

// The memo follows the displayed moment: a planet's time and altitude after
// the clock was stepped, a star's rise and set once the date changed.
TEST_F(ChartWindow, TheMemoFollowsTheClock) {
    sky_->ShowObjectInfo(3, 2); // Mars
    const QString before = sky_->memInfo->toPlainText();
    ASSERT_TRUE(before.contains("21:00")) << before.toStdString();
    sky_->SetFocusArea(1);
    Key(sky_->clkCal, Qt::Key_Left); // to the hours
    for (int i = 0; i < 3; ++i)
        Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    const QString after = sky_->memInfo->toPlainText();
    EXPECT_TRUE(after.contains("2026/03/21") && after.contains("00:00")) << after.toStdString();
    EXPECT_FALSE(after.contains("21:00"));
    auto alt = [](const QString& t) { return t.section(" Alt:", 1).section(' ', 0, 0); };
    EXPECT_NE(alt(after), alt(before));

    // A star's text is rewritten when the date changes, not within a day.
    sky_->ShowObjectInfo(2, 0);
    const QString star = sky_->memInfo->toPlainText();
    Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    EXPECT_EQ(sky_->memInfo->toPlainText(), star);
    for (int i = 0; i < 24; ++i)
        Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    EXPECT_TRUE(sky_->memInfo->toPlainText().contains("2026/03/22"))
        << sky_->memInfo->toPlainText().toStdString();
}

// F12: both charts, the object picture and the Moon in reds only; again: the
// day's colours back.
TEST_F(ChartWindow, NightVisionTurnsTheChartsRed) {
    auto colours = [&](int& reds, int& others) {
        const QImage shot = sky_->grab().toImage();
        reds = others = 0;
        for (const QRect& r : {sky_->shpAtlas, sky_->shpHayami, sky_->shpMoon, sky_->shpObjInfo})
            for (int y = r.top(); y <= r.bottom(); y += 2)
                for (int x = r.left(); x <= r.right(); x += 2) {
                    const QRgb p = shot.pixel(x, y);
                    reds += qRed(p) > 40;
                    others += qGreen(p) > 8 || qBlue(p) > 8;
                }
    };
    int reds = 0, others = 0;
    colours(reds, others);
    EXPECT_GT(others, 1000); // white and blue stars, green names by day
    Key(sky_->fcsAtlas, Qt::Key_F12);
    EXPECT_TRUE(sky_->NightVision);
    colours(reds, others);
    EXPECT_EQ(others, 0);
    EXPECT_GT(reds, 1000);
    Key(sky_->fcsAtlas, Qt::Key_F12);
    colours(reds, others);
    EXPECT_GT(others, 1000);
}

// The opening size follows the screen: 1280 x 900 at most on a small one,
// within it on a short one, four fifths of a 4K screen.
TEST(ChartWindowSize, OpensToTheScreen) {
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    EXPECT_EQ(TfrmQVSKY(folder, QSize(1600, 1000)).size(), QSize(1280, 900));
    EXPECT_EQ(TfrmQVSKY(folder, QSize(1024, 600)).size(), QSize(1024, 600));
    EXPECT_EQ(TfrmQVSKY(folder, QSize(3840, 2160)).size(), QSize(3072, 1728));
}
