// TCalClock on a real widget: stepping each field with the mouse and the
// keys across month, year and leap-year edges, holding a button on a stepped
// clock, and the painted look. Long carries are checked against the C++20
// calendar in <chrono>.
#include "controls/Calclock.h"

#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace std::chrono;

// Points in the upper (step up) and lower (step down) half of each field.
QPoint Up(int field) {
    static const int x[] = {0, 0, 230, 190, 140, 90, 40};
    return QPoint(x[field], 10);
}
QPoint Down(int field) {
    return Up(field) + QPoint(0, 20);
}

struct CalClockTest : ::testing::Test {
    TCalClock clk;
    TSteppedTimer* clock = nullptr;
    int changes = 0;
    void SetUp() override {
        auto t = std::make_unique<TSteppedTimer>();
        clock = t.get();
        clk.SetRepeatTimer(std::move(t));
        clk.OnChange = [this](QWidget*) { ++changes; };
        clk.show();
        clk.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&clk));
    }
    void Set(int y, int mo, int d, int h = 12, int mi = 0) {
        clk.SetYear(y), clk.SetMonth(mo), clk.SetDay(d), clk.SetHour(h), clk.SetMinute(mi);
    }
    void Click(QPoint p) {
        QTest::mousePress(&clk, Qt::LeftButton, {}, p);
        QTest::mouseRelease(&clk, Qt::LeftButton, {}, p);
    }
    std::string Now() const { return clk.GetDate() + " " + clk.GetTime(); }
};

TEST_F(CalClockTest, ClicksCarryAcrossMonthsYearsAndLeapDays) {
    Set(2000, 12, 31, 23, 59);
    Click(Up(TCalClock::fMinute));
    EXPECT_EQ(Now(), "2001/01/01 00:00");
    Click(Down(TCalClock::fMinute));
    EXPECT_EQ(Now(), "2000/12/31 23:59");
    Click(Up(TCalClock::fHour));
    EXPECT_EQ(Now(), "2001/01/01 00:59");

    Set(2001, 3, 1, 7, 45);
    Click(Down(TCalClock::fDay));
    EXPECT_EQ(Now(), "2001/02/28 07:45") << "the day never touches the time";
    Set(2000, 3, 1);
    Click(Down(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "2000/02/29");
    Set(2100, 2, 28);
    Click(Up(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "2100/03/01") << "2100 is not a leap year";
    Set(2001, 1, 1);
    Click(Down(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "2000/12/31");

    Set(2001, 1, 31);
    Click(Up(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "2001/02/28");
    Set(2000, 1, 31);
    Click(Up(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "2000/02/29");
    Set(2000, 12, 15);
    Click(Up(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "2001/01/15");
    Click(Down(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "2000/12/15");

    Set(2000, 2, 29);
    Click(Up(TCalClock::fYear));
    EXPECT_EQ(clk.GetDate(), "2001/02/28");
    Set(2004, 2, 29);
    Click(Down(TCalClock::fYear));
    EXPECT_EQ(clk.GetDate(), "2003/02/28");
    EXPECT_EQ(changes, 13);
}

// The calendar of the moment: Julian before 1582 October 15 (every fourth
// year a leap year, 1500 and 1000 too), the ten days of the reform stepped over
// both ways, whether a day, a month or a year is stepped.
TEST_F(CalClockTest, JulianBeforeTheReformAndTheTenDaysSteppedOver) {
    Set(1500, 2, 28);
    Click(Up(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "1500/02/29");
    Set(1000, 1, 29);
    Click(Up(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "1000/02/29");
    Set(1004, 2, 29);
    Click(Down(TCalClock::fYear));
    EXPECT_EQ(clk.GetDate(), "1003/02/28");
    Set(1700, 2, 28);
    Click(Up(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "1700/03/01");

    Set(1582, 10, 4, 23, 59);
    Click(Up(TCalClock::fMinute));
    EXPECT_EQ(Now(), "1582/10/15 00:00");
    Click(Down(TCalClock::fMinute));
    EXPECT_EQ(Now(), "1582/10/04 23:59");
    Set(1582, 10, 15);
    Click(Down(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "1582/10/04");
    Click(Up(TCalClock::fDay));
    EXPECT_EQ(clk.GetDate(), "1582/10/15");
    Set(1582, 9, 10);
    Click(Up(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "1582/10/15");
    Set(1582, 11, 10);
    Click(Down(TCalClock::fMonth));
    EXPECT_EQ(clk.GetDate(), "1582/10/04");
    Set(1581, 10, 8);
    Click(Up(TCalClock::fYear));
    EXPECT_EQ(clk.GetDate(), "1582/10/15");
}

TEST_F(CalClockTest, TheCalendarStopsAtYearsZeroAnd9999) {
    Set(9999, 6, 15);
    Click(Up(TCalClock::fYear));
    EXPECT_EQ(clk.GetYear(), 9999);
    Set(0, 6, 15);
    Click(Down(TCalClock::fYear));
    EXPECT_EQ(clk.GetYear(), 0);
    // A carry that would run past the end leaves the moment alone instead of
    // wrapping the month and time while the year stays.
    Set(9999, 12, 31, 23, 59);
    Click(Up(TCalClock::fMinute));
    EXPECT_EQ(Now(), "9999/12/31 23:59");
    Set(0, 1, 1, 0, 0);
    Click(Down(TCalClock::fDay));
    EXPECT_EQ(Now(), "0/01/01 00:00");
}

TEST_F(CalClockTest, APressBetweenThePanelsOrOffTheFieldsSelectsNothing) {
    Set(2001, 5, 9, 21, 30);
    for (QPoint p : {QPoint(165, 10), QPoint(165, 30), QPoint(40, 2), QPoint(40, 39), QPoint(2, 10),
                     QPoint(260, 10)}) {
        Click(p);
        EXPECT_EQ(clk.Selected(), 0);
    }
    EXPECT_EQ(Now(), "2001/05/09 21:30");
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(clock->Active());
    // Field edges: 69 is still the year, 70 the month; 20 the upper half, 21 the lower.
    EXPECT_EQ(TCalClock::PosSts(69, 20), 6);
    EXPECT_EQ(TCalClock::PosSts(70, 21), -5);
    EXPECT_EQ(TCalClock::PosSts(171, 10), 0);
    EXPECT_EQ(TCalClock::PosSts(257, 37), -2);
}

TEST_F(CalClockTest, HoldingTheButtonStepsAtOnceThenAfter200msThenEvery50ms) {
    Set(2001, 5, 9, 21, 30);
    QTest::mousePress(&clk, Qt::LeftButton, {}, Up(TCalClock::fMinute));
    EXPECT_EQ(clk.GetMinute(), 31);
    clock->Advance(199);
    EXPECT_EQ(clk.GetMinute(), 31);
    clock->Advance(1);
    EXPECT_EQ(clk.GetMinute(), 32);
    clock->Advance(49);
    EXPECT_EQ(clk.GetMinute(), 32);
    clock->Advance(1);
    EXPECT_EQ(clk.GetMinute(), 33);
    clock->Advance(500);
    EXPECT_EQ(clk.GetMinute(), 43);
    QTest::mouseRelease(&clk, Qt::LeftButton, {}, Up(TCalClock::fMinute));
    clock->Advance(1000);
    EXPECT_EQ(clk.GetMinute(), 43);
    EXPECT_EQ(changes, 13);

    // Held on the lower half of the hour the repetition runs downwards.
    QTest::mousePress(&clk, Qt::LeftButton, {}, Down(TCalClock::fHour));
    EXPECT_EQ(clk.Selected(), -3);
    clock->Advance(200 + 50 * 3);
    QTest::mouseRelease(&clk, Qt::LeftButton, {}, Down(TCalClock::fHour));
    EXPECT_EQ(Now(), "2001/05/09 16:43");
}

TEST_F(CalClockTest, KeysMoveTheSelectionAndStepWithRepetition) {
    clk.clearFocus();
    clk.setFocus();
    EXPECT_EQ(clk.Selected(), 2) << "entering selects the minute";
    Set(2001, 5, 9, 21, 30);
    for (int want : {3, 4, 5, 6, 6}) {
        QTest::keyClick(&clk, Qt::Key_Left);
        EXPECT_EQ(clk.Selected(), want);
    }
    QTest::keyClick(&clk, Qt::Key_Right);
    QTest::keyClick(&clk, Qt::Key_Right);
    EXPECT_EQ(clk.Selected(), 4);
    QTest::keyClick(&clk, Qt::Key_Down);
    EXPECT_EQ(clk.GetDate(), "2001/05/08");
    EXPECT_EQ(clk.Selected(), -4);
    QTest::keyClick(&clk, Qt::Key_Left);
    EXPECT_EQ(clk.Selected(), 5) << "left goes on from the field, whatever the direction";

    // Held up arrow on the month; the system's auto-repeat presses add nothing.
    QTest::keyPress(&clk, Qt::Key_Up);
    EXPECT_EQ(clk.GetMonth(), 6);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent rel(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QKeyEvent rep(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&clk, &rel);
        QApplication::sendEvent(&clk, &rep);
    }
    EXPECT_EQ(clk.GetMonth(), 6);
    clock->Advance(200 + 50 * 6); // 7 .. 12, then January of the next year
    QTest::keyRelease(&clk, Qt::Key_Up);
    clock->Advance(500);
    EXPECT_EQ(clk.GetDate(), "2002/01/08");

    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&clk, Qt::Key_Right);
    EXPECT_EQ(clk.Selected(), 2) << "the minute is as far right as it goes";
    clk.clearFocus();
    EXPECT_EQ(clk.Selected(), 0);
}

TEST_F(CalClockTest, KeysStepAfterAModalWindowTookTheFocusWithoutGivingItBack) {
    clk.setFocus();
    Set(2001, 5, 9, 21, 30);
    // A modal window takes the keyboard; when it closes, no window manager
    // (or a slow one) hands the focus back with a focus-in.
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&clk, &out);
    ASSERT_EQ(clk.Selected(), 0);
    QTest::keyClick(&clk, Qt::Key_Up);
    EXPECT_EQ(clk.GetTime(), "21:31") << "Up steps the minute";
    EXPECT_EQ(clk.Selected(), 2);
    EXPECT_EQ(changes, 1);
    // Activation with the keyboard still on the clock shows the marks again.
    QApplication::sendEvent(&clk, &out);
    QEvent act(QEvent::ActivationChange);
    QApplication::sendEvent(&clk, &act);
    EXPECT_EQ(clk.Selected(), 2);
}

TEST(CalClockText, DateAndTimeTexts) {
    TCalClock clk;
    EXPECT_EQ(clk.GetDate(), "2000/01/01");
    EXPECT_EQ(clk.GetTime(), "00:00");
    clk.SetYear(33);
    clk.SetMonth(5);
    clk.SetDay(9);
    clk.SetHour(7);
    clk.SetMinute(3);
    EXPECT_EQ(clk.GetDate(), "33/05/09");
    EXPECT_EQ(clk.GetTime(), "07:03");
}

// Any number of minutes or days, forwards or backwards, lands where the
// proleptic Gregorian calendar of <chrono> says; a month step keeps the day
// or takes the month's last.
// The Gregorian calendar of std::chrono from 1600 on (long steps back reach
// 1588 at the most, after the reform).
TEST(CalClockCarry, LongStepsAgreeWithTheChronoCalendar) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> year(1600, 9990), month(1, 12), day(1, 31), hour(0, 23),
        minute(0, 59), sign(0, 1);
    std::uniform_int_distribution<int> mins(0, 3'000'000), dayCount(0, 4000);
    TCalClock clk;
    for (int i = 0; i < 3000; ++i) {
        year_month_day ymd{::year{year(rng)} / month(rng) / day(rng)};
        if (!ymd.ok()) ymd = ymd.year() / ymd.month() / last;
        const int h = hour(rng), mi = minute(rng);
        auto set = [&] {
            clk.SetYear(int(ymd.year())), clk.SetMonth(unsigned(ymd.month()));
            clk.SetDay(unsigned(ymd.day())), clk.SetHour(h), clk.SetMinute(mi);
        };
        auto got = [&] {
            return std::to_string(clk.GetYear()) + "-" + std::to_string(clk.GetMonth()) + "-" +
                   std::to_string(clk.GetDay()) + " " + std::to_string(clk.GetHour()) + ":" +
                   std::to_string(clk.GetMinute());
        };
        auto text = [](sys_time<minutes> t) {
            const sys_days d = floor<days>(t);
            const year_month_day y{d};
            const hh_mm_ss<minutes> tod{t - d};
            return std::to_string(int(y.year())) + "-" + std::to_string(unsigned(y.month())) + "-" +
                   std::to_string(unsigned(y.day())) + " " + std::to_string(tod.hours().count()) +
                   ":" + std::to_string(tod.minutes().count());
        };
        const sys_time<minutes> start = sys_days{ymd} + hours{h} + minutes{mi};

        set();
        const int m = sign(rng) ? mins(rng) : -mins(rng);
        clk.TimeAS(TCalClock::fMinute, m);
        ASSERT_EQ(got(), text(start + minutes{m})) << m << " minutes";

        set();
        const int d = sign(rng) ? dayCount(rng) : -dayCount(rng);
        clk.TimeAS(TCalClock::fDay, d);
        ASSERT_EQ(got(), text(start + days{d})) << d << " days";

        set();
        const int step = sign(rng) ? 1 : -1;
        clk.TimeAS(TCalClock::fMonth, step);
        year_month_day want = ymd + months{step};
        if (!want.ok()) want = want.year() / want.month() / last;
        ASSERT_EQ(got(), text(sys_days{want} + hours{h} + minutes{mi})) << step << " month";
    }
}

// The picture: red-outlined panels on the back colour, dark red cells with
// red digits, a dividing line at y 20, and the marks of the selected field.
TEST_F(CalClockTest, LookOfPanelsCellsDigitsAndMarks) {
    clk.SetBCol(RGBColor(0, 0, 255));
    clk.clearFocus();
    clk.setFocus(); // minute selected
    QImage img = clk.grab().toImage();
    ASSERT_EQ(img.size(), QSize(262, 42));
    auto px = [&](int x, int y) { return img.pixel(x, y) & 0xffffff; };
    EXPECT_EQ(px(168, 20), 0x0000ffu) << "back colour between the panels";
    EXPECT_EQ(px(0, 20), 0xff0000u) << "date panel outline";
    EXPECT_EQ(px(261, 20), 0xff0000u) << "time panel outline";
    EXPECT_EQ(px(80, 0), 0xff0000u);
    EXPECT_EQ(px(80, 40), 0xff0000u);
    EXPECT_EQ(px(2, 20), 0x000000u) << "panel fill";
    EXPECT_EQ(px(5, 35), 0x800000u) << "cell colour below the digits";
    EXPECT_EQ(px(5, 20), 0x000000u) << "dividing line";
    EXPECT_EQ(px(234, 1), 0xff0000u) << "mark above the minute";
    EXPECT_EQ(px(234, 39), 0xff0000u) << "mark below the minute";
    EXPECT_EQ(px(36, 1), 0x000000u) << "no mark over the year";
    auto redIn = [&](int l, int r) {
        int n = 0;
        for (int x = l; x < r; ++x)
            for (int y = 5; y < 37; ++y)
                if (px(x, y) == 0xff0000u) ++n;
        return n;
    };
    for (auto [l, r] : {std::pair{5, 72}, {75, 117}, {120, 162}, {175, 211}, {214, 256}})
        EXPECT_GT(redIn(l, r), 40) << "digits in the cell from x " << l;

    QTest::keyClick(&clk, Qt::Key_Left);
    img = clk.grab().toImage();
    EXPECT_EQ(px(191, 1), 0xff0000u) << "the mark moves to the hour";
    EXPECT_EQ(px(234, 1), 0x000000u);

    // The picture keeps its 262 x 42 layout and is stretched to the control.
    clk.resize(524, 84);
    img = clk.grab().toImage();
    EXPECT_EQ(px(337, 40), 0x0000ffu) << "the gap between the panels, doubled";
    EXPECT_EQ(px(10, 70), 0x800000u) << "year cell below the digits, doubled";
}

} // namespace

// Before the reform the clock keeps the Julian calendar, and a long step
// across it counts the days that really passed. The reference is Meeus's
// Julian-day arithmetic (Astronomical Algorithms, chapter 7), Julian calendar
// up to JD 2299160.5 and Gregorian from it.
TEST(CalClockCarry, LongStepsAcrossTheJulianCalendarAndTheReform) {
    auto toJd = [](int y, int m, int d) {
        const bool greg = y > 1582 || (y == 1582 && (m > 10 || (m == 10 && d >= 15)));
        if (m <= 2) y -= 1, m += 12;
        const int a = y / 100;
        const int b = greg ? 2 - a + a / 4 : 0;
        return std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d + b - 1524.5;
    };
    auto fromJd = [](double jd, int& y, int& m, int& d) {
        const double z = std::floor(jd + 0.5);
        double a = z;
        if (z >= 2299161) {
            const double al = std::floor((z - 1867216.25) / 36524.25);
            a = z + 1 + al - std::floor(al / 4);
        }
        const double b = a + 1524, c = std::floor((b - 122.1) / 365.25);
        const double dd = std::floor(365.25 * c), e = std::floor((b - dd) / 30.6001);
        d = int(b - dd - std::floor(30.6001 * e));
        m = int(e < 14 ? e - 1 : e - 13);
        y = int(m > 2 ? c - 4716 : c - 4715);
    };
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> year(1, 1600), month(1, 12), day(1, 28), dayCount(-4000, 4000);
    TCalClock clk;
    for (int i = 0; i < 3000; ++i) {
        const int y = year(rng), m = month(rng), d = day(rng), n = dayCount(rng);
        if (y == 1582 && m == 10 && d >= 5 && d <= 14) continue;
        clk.SetYear(y), clk.SetMonth(m), clk.SetDay(d), clk.SetHour(6), clk.SetMinute(0);
        clk.TimeAS(TCalClock::fDay, n);
        int wy, wm, wd;
        fromJd(toJd(y, m, d) + n, wy, wm, wd);
        if (wy < 0) continue; // the clock stops at year 0
        ASSERT_EQ(clk.GetYear() * 10000 + clk.GetMonth() * 100 + clk.GetDay(), wy * 10000 + wm * 100 + wd)
            << y << "-" << m << "-" << d << " + " << n << " days";
    }
}
