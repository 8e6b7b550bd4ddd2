// TKeyInp typed on a real widget. Expected texts are worked out by hand from the editing
// rules (the sign position, capacities, padding and range), not captured from a run.
#include "controls/Keyinp.h"

#include <QAction>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Types a sequence: digits, "." point, "-" minus, "<" Backspace, "k" next digit on the keypad.
void Type(TKeyInp& k, const std::string& keys) {
    bool pad = false;
    for (char c : keys) {
        Qt::KeyboardModifiers mods = pad ? Qt::KeypadModifier : Qt::NoModifier;
        pad = false;
        if (c >= '0' && c <= '9')
            QTest::keyClick(&k, Qt::Key(Qt::Key_0 + (c - '0')), mods);
        else if (c == '.')
            QTest::keyClick(&k, Qt::Key_Period, mods);
        else if (c == '-')
            QTest::keyClick(&k, Qt::Key_Minus, mods);
        else if (c == '<')
            QTest::keyClick(&k, Qt::Key_Backspace);
        else if (c == 'k')
            pad = true;
    }
}

// Enter, type, leave: the text the field shows afterwards.
std::string Finished(TKeyInp& k, const std::string& keys) {
    k.DoEnter();
    Type(k, keys);
    k.DoExit();
    return k.GetTx();
}

void Declination(TKeyInp& k) {
    k.SetKeta(5);
    k.SetSho(1);
    k.SetMin(-90);
    k.SetMax(90);
    k.SetZ(true);
    k.SetTZ(true);
    k.SetMn(true);
    k.SetPs(true);
    k.SetAS(true);
}

void Longitude(TKeyInp& k) {
    k.SetKeta(4);
    k.SetSho(0);
    k.SetMin(-180);
    k.SetMax(180);
    k.SetZ(true);
    k.SetTZ(false);
    k.SetMn(true);
    k.SetPs(true);
}

QRgb Px(QWidget& w, int x, int y) {
    return w.grab().toImage().pixel(x, y) & 0xffffff;
}

} // namespace

TEST(KeyInp, DeclinationField) {
    TKeyInp k;
    Declination(k);
    EXPECT_EQ(Finished(k, "5"), "+05.0");
    EXPECT_EQ(Finished(k, "12.5"), "+12.5");
    EXPECT_EQ(Finished(k, "-3"), "-03.0");
    EXPECT_EQ(Finished(k, "95"), "+90.0");    // above the range
    EXPECT_EQ(Finished(k, "-99.9"), "-90.0"); // below it
    EXPECT_EQ(Finished(k, "."), "+00.0");
    EXPECT_EQ(Finished(k, "-"), "-00.0");
    // While typing: the sign position is a blank.
    k.DoEnter();
    Type(k, "4");
    EXPECT_EQ(k.GetTx(), " 4");
    Type(k, "56"); // two whole digits at most
    EXPECT_EQ(k.GetTx(), " 45");
    Type(k, ".678");
    EXPECT_EQ(k.GetTx(), " 45.6");
    k.DoExit();
    EXPECT_EQ(k.GetTx(), "+45.6");
}

TEST(KeyInp, HoursAndLongitudeFields) {
    TKeyInp h;
    h.SetKeta(2);
    h.SetMin(0);
    h.SetMax(23);
    h.SetZ(true);
    h.SetTZ(true);
    EXPECT_EQ(Finished(h, "7"), "07");
    EXPECT_EQ(Finished(h, "99"), "23");
    EXPECT_EQ(Finished(h, "007"), "07");
    EXPECT_EQ(Finished(h, ""), "07"); // entered and left untouched: the text stays

    TKeyInp k;
    Longitude(k);
    EXPECT_EQ(Finished(k, "135"), "+135");
    EXPECT_EQ(Finished(k, "-35"), "-35");
    EXPECT_EQ(Finished(k, "-"), "-0");
    EXPECT_EQ(Finished(k, "1234"), "+123"); // the sign takes one of the four places
    EXPECT_EQ(Finished(k, "-200"), "-180");
    EXPECT_EQ(Finished(k, "k1k2k7"), "+127"); // number-pad digits
}

TEST(KeyInp, AutoSelectReplacesOtherwiseAppends) {
    TKeyInp k;
    Longitude(k);
    k.SetAS(true);
    k.SetTx("+135");
    k.DoEnter();
    Type(k, "4");
    EXPECT_EQ(k.GetTx(), " 4");
    k.DoExit();

    TKeyInp w;
    w.SetKeta(4);
    w.SetMax(9999);
    w.SetAS(false);
    w.SetTx("13");
    w.DoEnter();
    Type(w, "5");
    EXPECT_EQ(w.GetTx(), "135");
    Type(w, "79");
    EXPECT_EQ(w.GetTx(), "1357");
    Type(w, "<<");
    EXPECT_EQ(w.GetTx(), "13");
    // Without AutoSelect, after Finish the edit goes on from the formatted text.
    w.Finish();
    Type(w, "2");
    EXPECT_EQ(w.GetTx(), "132");
}

TEST(KeyInp, LeadingZerosPointAndSign) {
    TKeyInp k;
    k.SetKeta(6);
    k.SetSho(2);
    k.SetMax(999);
    k.DoEnter();
    Type(k, "007");
    EXPECT_EQ(k.GetTx(), "7");
    Type(k, "<.");
    EXPECT_EQ(k.GetTx(), "0.");
    Type(k, ".-12"); // a second point and a late minus are ignored
    EXPECT_EQ(k.GetTx(), "0.12");
    Type(k, "3"); // two decimals at most
    EXPECT_EQ(k.GetTx(), "0.12");
    Type(k, "<<<");
    EXPECT_EQ(k.GetTx(), "");
    Type(k, "-5"); // no Minus: the minus key does nothing
    EXPECT_EQ(k.GetTx(), "5");
    k.DoExit();
    EXPECT_EQ(k.GetTx(), "5.00");

    TKeyInp m;
    Declination(m);
    m.SetTZ(false);
    m.SetPs(false);
    m.DoEnter();
    Type(m, "00.");
    EXPECT_EQ(m.GetTx(), " 0.");
    Type(m, "<");
    EXPECT_EQ(m.GetTx(), "");
    Type(m, "-.");
    EXPECT_EQ(m.GetTx(), "-0.");
    Type(m, "<");
    EXPECT_EQ(m.GetTx(), "-");
    Type(m, "05");
    EXPECT_EQ(m.GetTx(), "-5");
    Type(m, "<<");
    EXPECT_EQ(m.GetTx(), "");
    m.DoExit();
    EXPECT_EQ(m.GetTx(), "0.0");
}

TEST(KeyInp, ZeroAndRangeFormatting) {
    TKeyInp k;
    k.SetKeta(4);
    k.SetSho(1);
    k.SetMax(50);
    k.SetZ(false);
    EXPECT_EQ(Finished(k, "0"), "");
    k.SetTZ(true); // padding must not bring back the hidden zero
    EXPECT_EQ(Finished(k, "0"), "");
    k.SetZ(true);
    k.SetTZ(false);
    EXPECT_EQ(Finished(k, "<"), "0.0");
    // The "#" picture has no digit before the point.
    k.SetMin(0.5);
    EXPECT_EQ(Finished(k, "0"), ".5");
    k.SetTZ(true);
    EXPECT_EQ(Finished(k, "0"), "00.5");
    EXPECT_EQ(Finished(k, "77"), "50.0");
}

TEST(KeyInp, FinishAndCancel) {
    TKeyInp k;
    Declination(k);
    k.SetTx("+12.5");
    k.Finish(); // not focused: nothing happens
    k.Cancel();
    EXPECT_EQ(k.GetTx(), "+12.5");
    k.DoEnter();
    Type(k, "3");
    k.Finish();
    EXPECT_TRUE(k.Focused());
    EXPECT_EQ(k.GetTx(), "+03.0");
    Type(k, "77");
    EXPECT_EQ(k.GetTx(), " 77");
    k.Cancel(); // back to the text at the last start of an edit
    EXPECT_EQ(k.GetTx(), "+03.0");
    EXPECT_TRUE(k.Focused());
    k.DoExit();
    EXPECT_FALSE(k.Focused());
}

TEST(KeyInp, TextSetWhileFocusedStartsANewEdit) {
    TKeyInp k;
    Longitude(k);
    k.SetAS(false);
    k.DoEnter();
    Type(k, "12");
    k.SetTx("-5"); // e.g. a position picked on a map while the field is focused
    Type(k, "7<<");
    EXPECT_EQ(k.GetTx(), "-");
    Type(k, "3");
    k.DoExit();
    EXPECT_EQ(k.GetTx(), "-3");
}

TEST(KeyInp, HidingTheWindowEndsTheEdit) {
    QWidget w;
    TKeyInp a(&w);
    a.setGeometry(0, 0, 60, 20);
    Longitude(a);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    a.setFocus();
    ASSERT_TRUE(a.Focused());
    Type(a, "12");
    w.hide();
    EXPECT_FALSE(a.Focused());
    EXPECT_EQ(a.GetTx(), "+12");
}

TEST(KeyInp, HandlersRunFirst) {
    TKeyInp k;
    k.SetKeta(4);
    k.SetMax(9999);
    std::vector<std::string> seen;
    k.OnKeyDown = [&](QWidget*, int& key, Qt::KeyboardModifiers) {
        seen.push_back(k.GetTx());
        if (key == Qt::Key_9) key = 0; // the window keeps this key for itself
    };
    k.OnEnter = [&](QWidget*) { seen.push_back(k.Focused() ? "in" : "out"); };
    k.OnExit = [&](QWidget*) { seen.push_back(k.Focused() ? "in" : "out"); };
    k.SetTx("88");
    k.DoEnter();
    Type(k, "192");
    k.DoExit();
    EXPECT_EQ(seen, (std::vector<std::string>{"out", "88", "1", "1", "in"}));
    EXPECT_EQ(k.GetTx(), "12");
}

TEST(KeyInp, TakesTheKeyboardInAWindow) {
    QWidget w;
    TKeyInp a(&w), b(&w);
    a.setGeometry(0, 0, 60, 20);
    b.setGeometry(0, 30, 60, 20);
    a.SetKeta(3);
    a.SetMax(999);
    a.SetTZ(true);
    int shortcutFired = 0;
    QAction act(&w);
    act.setShortcut(QKeySequence(Qt::Key_5));
    QObject::connect(&act, &QAction::triggered, [&] { ++shortcutFired; });
    w.addAction(&act);
    int arrows = 0;
    a.OnKeyDown = [&](QWidget*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Down || key == Qt::Key_Right) ++arrows;
    };
    bool focusedInHandler = true;
    a.OnMouseDown = [&](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        focusedInHandler = a.hasFocus();
    };
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    b.setFocus();
    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(focusedInHandler) << "the user's handler runs before the focus is taken";
    ASSERT_TRUE(a.hasFocus());
    EXPECT_TRUE(a.Focused());
    QTest::keyClick(&a, Qt::Key_5);
    QTest::keyClick(&a, Qt::Key_Down);
    QTest::keyClick(&a, Qt::Key_Right);
    EXPECT_EQ(shortcutFired, 0);
    EXPECT_EQ(arrows, 2);
    EXPECT_TRUE(a.hasFocus()) << "arrow keys must not move the focus";
    QTest::keyClick(&a, Qt::Key_Tab);
    EXPECT_TRUE(b.hasFocus());
    EXPECT_FALSE(a.Focused());
    EXPECT_EQ(a.GetTx(), "005"); // leaving formats
}

TEST(KeyInp, PaintsRightAlignedInTheStateColours) {
    TKeyInp k;
    k.resize(80, 20);
    k.SetCB(RGBColor(0, 0, 0));
    k.SetFontColor(RGBColor(255, 0, 0));
    k.SetCIB(RGBColor(0, 0, 255));
    k.SetCIT(RGBColor(255, 255, 0));
    k.SetTx("1");
    k.show();
    // Columns holding text pixels: near the given colour (glyph edges may be smoothed).
    auto columnsWith = [&](QRgb colour, int& first, int& last) {
        QImage img = k.grab().toImage();
        first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (std::abs(qRed(img.pixel(x, y)) - qRed(colour)) < 60 &&
                    std::abs(qGreen(img.pixel(x, y)) - qGreen(colour)) < 60 &&
                    std::abs(qBlue(img.pixel(x, y)) - qBlue(colour)) < 60) {
                    if (first < 0) first = x;
                    last = x;
                }
    };
    int first = 0, last = 0;
    columnsWith(0xff0000, first, last);
    EXPECT_GE(first, 60) << "a one-digit text sits at the right edge";
    EXPECT_LE(last, 78);
    EXPECT_EQ(Px(k, 0, 0), 0x000000u);
    EXPECT_EQ(Px(k, 79, 19), 0x000000u);
    k.DoEnter();
    EXPECT_EQ(Px(k, 0, 0), 0x0000ffu);
    EXPECT_EQ(Px(k, 79, 19), 0x0000ffu);
    columnsWith(0xffff00, first, last);
    EXPECT_GE(first, 60);
    columnsWith(0xff0000, first, last);
    EXPECT_EQ(first, -1);
}
