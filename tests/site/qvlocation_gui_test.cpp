// The site editor on a real window: what each mode shows, the keyboard order
// of the inputs, picking on the map, OK and Cancel. Expected texts and angles
// are worked out by hand from the map's projection and the input formats.
#include "controls/Framelabel.h"
#include "controls/Keyinp.h"
#include "site/Qvlocation.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
double Rad(double deg) {
    return deg * kPi / 180.0;
}

struct Asked {
    int buttons;
    std::string text;
};

class SiteEditor : public ::testing::Test {
protected:
    void SetUp() override {
        frm.Ask = [this](int b, const std::string& t) {
            asked.push_back({b, t});
            return answer;
        };
    }
    void Open(int mode) {
        frm.Mode = mode;
        frm.show();
        frm.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frm));
    }
    std::vector<std::string> Texts() const {
        return {frm.edtName->text().toStdString(),
                frm.kinLngD->GetTx(),
                frm.kinLngM->GetTx(),
                frm.kinLatD->GetTx(),
                frm.kinLatM->GetTx(),
                frm.kinSLevel->GetTx(),
                frm.kinDiffUT->GetTx(),
                frm.kinSummer->GetTx()};
    }
    void Key(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }
    void Type(const std::string& keys) {
        for (char c : keys) {
            if (c == '-')
                Key(Qt::Key_Minus);
            else if (c == '.')
                Key(Qt::Key_Period);
            else
                Key(Qt::Key_0 + (c - '0'));
        }
    }
    void Press(QWidget* w, Qt::MouseButton b = Qt::LeftButton, QPoint at = QPoint(5, 5)) {
        QTest::mousePress(w, b, {}, at);
        QTest::mouseRelease(w, b, {}, at);
    }

    TfrmLocation frm;
    std::vector<Asked> asked;
    int answer = 10001;
};

} // namespace

TEST_F(SiteEditor, AddModeShowsTheDefaultSite) {
    frm.Name = "left over";
    frm.Lng = 2.0;
    Open(1);
    EXPECT_EQ(frm.windowTitle().toStdString(), "Location(Add)");
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"", "+0", "06.00", "+52", "13.00", "30", "+0.0", "0"}));
    EXPECT_DOUBLE_EQ(frm.Lng, 0.0017453292519943279);
    EXPECT_DOUBLE_EQ(frm.Lat, 0.9113528159273465);
    // Centred on 0 deg 06 min E, 52 deg 13 min N: x 87.54, y 481.41.
    EXPECT_EQ(frm.Map.Cx, 87);
    EXPECT_EQ(frm.Map.Cy, 481);
    EXPECT_DOUBLE_EQ(frm.Map.Zoom, 0.8);
    EXPECT_EQ(QApplication::focusWidget(), frm.edtName);
}

TEST_F(SiteEditor, EditModeShowsTheSiteAndOkHandsItBack) {
    frm.Name = "Top of Mt.LasCampanas";
    frm.Lng = -1.2339477811599897; // 70 deg 42 min W
    frm.Lat = -0.506145483078355;  // 29 deg S
    frm.Height = 228.0;
    frm.DiffUT = -4.0;
    frm.Summer = 1.0;
    Open(2);
    EXPECT_EQ(frm.windowTitle().toStdString(), "Location(Edit)");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Top of Mt.LasCampanas", "-70", "42.00", "-29",
                                                 "00.00", "228", "-4.0", "1"}));
    EXPECT_EQ(frm.Map.Cx, 1657); // 87 - 296.6 wrapped
    EXPECT_EQ(frm.Map.Cy, 979);  // 815 - 716.32 * log10(tan(30.5 deg)) = 979.65

    Press(frm.flbOk);
    EXPECT_EQ(frm.Result, 1);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.Name, "Top of Mt.LasCampanas");
    EXPECT_NEAR(frm.Lng, Rad(-70.7), 1e-12);
    EXPECT_NEAR(frm.Lat, Rad(-29.0), 1e-12);
    EXPECT_DOUBLE_EQ(frm.Height, 228.0);
    EXPECT_DOUBLE_EQ(frm.DiffUT, -4.0);
    EXPECT_DOUBLE_EQ(frm.Summer, 1.0);
}

// The name, selected as the editor opens, is marked in the windows' red,
// not in the desktop's light-blue selection colour.
TEST_F(SiteEditor, SelectedNameIsMarkedInRed) {
    frm.Name = "Old Greenwich Observatory";
    Open(2);
    frm.edtName->selectAll();
    const QImage field = frm.edtName->grab().toImage();
    int red = 0, other = 0;
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x) {
            const QColor c = field.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                ++red;
            else if (c.blue() > 120 && c.green() < 220) // a blue or grey selection,
                ++other;                                  // not the cyan text cursor
        }
    EXPECT_GT(red, 500);
    EXPECT_EQ(other, 0);
}

TEST_F(SiteEditor, KeyboardWalksTheInputsInOrder) {
    Open(1);
    QWidget* order[] = {frm.edtName,   frm.kinLngD,   frm.kinLngM,   frm.kinLatD, frm.kinLatM,
                        frm.kinSLevel, frm.kinDiffUT, frm.kinSummer, frm.edtName};
    // Enter and the right arrow alternate (the name takes Enter first); after
    // the summer time the order comes back to the name.
    for (int i = 1; i < 9; ++i) {
        Key(i % 2 ? Qt::Key_Return : Qt::Key_Right);
        ASSERT_EQ(QApplication::focusWidget(), order[i]) << i;
    }
    // Back with the left arrow: summer time ... longitude degrees, then the name.
    frm.kinLngM->setFocus();
    Key(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), frm.kinLngD);
    Key(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), frm.edtName);
    // Escape closes the editor without a change, from the name or a number.
    QTest::keyClicks(frm.edtName, "Changed");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.Result, 0);
    EXPECT_NE(frm.Name, "Changed");
    Open(1);
    frm.kinLatD->setFocus();
    Type("12");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.Result, 0);
}

TEST_F(SiteEditor, TypedValuesAreFormattedClampedAndRead) {
    Open(1);
    QTest::keyClicks(frm.edtName, "Nobeyama");
    Key(Qt::Key_Return);
    Type("135"); // replaces "+0"
    Key(Qt::Key_Return);
    EXPECT_EQ(frm.kinLngD->GetTx(), "+135");
    Type("53.5");
    Key(Qt::Key_Return);
    EXPECT_EQ(frm.kinLngM->GetTx(), "53.50");
    Type("99"); // beyond 89, left unfinished: OK still applies the range
    Press(frm.flbOk);
    EXPECT_EQ(frm.kinLatD->GetTx(), "+89");
    EXPECT_EQ(frm.Result, 1);
    EXPECT_EQ(frm.Name, "Nobeyama");
    EXPECT_NEAR(frm.Lng, Rad(135.0 + 53.5 / 60.0), 1e-12);
    EXPECT_NEAR(frm.Lat, Rad(89.0 + 13.0 / 60.0), 1e-12);
}

TEST_F(SiteEditor, PickingOnTheMapFillsThePosition) {
    Open(1);
    frm.Map.Cx = 87;
    frm.Map.Cy = 815;
    // Exactly on Greenwich and the equator.
    Press(frm.imgMap, Qt::RightButton, QPoint(192, 110));
    EXPECT_EQ(frm.kinLngD->GetTx(), "+0");
    EXPECT_EQ(frm.kinLngM->GetTx(), "00.00");
    EXPECT_EQ(frm.kinLatD->GetTx(), "+0");
    EXPECT_EQ(frm.kinLatM->GetTx(), "00.00");
    // One pixel west: 0 deg 13.82 min W; OK turns "-0" and "13.82" into a western longitude.
    Press(frm.imgMap, Qt::RightButton, QPoint(191, 110));
    EXPECT_EQ(frm.kinLngD->GetTx(), "-0");
    EXPECT_EQ(frm.kinLngM->GetTx(), "13.82");
    EXPECT_EQ(frm.Map.Cx, 87); // picking does not scroll
    // Left click scrolls: the clicked point becomes the centre.
    Press(frm.imgMap, Qt::LeftButton, QPoint(192 + 80, 110 - 40));
    EXPECT_EQ(frm.Map.Cx, 187);
    EXPECT_EQ(frm.Map.Cy, 765);
    Press(frm.flbOk);
    EXPECT_NEAR(frm.Lng, -Rad(13.82 / 60.0), 1e-15);
    EXPECT_LT(frm.Lng, 0.0);
    EXPECT_NEAR(frm.Lat, 0.0, 1e-15);
}

TEST_F(SiteEditor, ZoomButtons) {
    Open(1);
    Press(frm.flbZoomIn);
    EXPECT_NEAR(frm.Map.Zoom, 1.2, 1e-12);
    Press(frm.flbZoomIn);
    Press(frm.flbZoomIn);
    EXPECT_DOUBLE_EQ(frm.Map.Zoom, 1.5);
    for (int i = 0; i < 6; ++i)
        Press(frm.flbZoomOut);
    EXPECT_DOUBLE_EQ(frm.Map.Zoom, 0.2);
    // Showing again starts from 0.8.
    frm.hide();
    Open(1);
    EXPECT_DOUBLE_EQ(frm.Map.Zoom, 0.8);
}

TEST_F(SiteEditor, CancelIsConfirmedAndTheCloseBoxCancels) {
    frm.Result = 1;
    Open(1);
    answer = 10002; // "No": nothing changes
    Press(frm.flbCancel);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 1);
    EXPECT_EQ(asked[0].text, "Cancel ?");
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.Result, 1);
    answer = 10001;
    Press(frm.flbCancel);
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.Result, 0);

    // The close box after an earlier OK leaves no stale OK behind.
    Open(1);
    Press(frm.flbOk);
    EXPECT_EQ(frm.Result, 1);
    Open(1);
    frm.close();
    EXPECT_FALSE(frm.isVisible());
    EXPECT_EQ(frm.Result, 0);
}

TEST_F(SiteEditor, NameThatCannotBeStoredIsRefused) {
    frm.NameFits = [](const std::string& n) { return n.size() <= 10; };
    frm.Result = 0;
    Open(1);
    frm.edtName->setText("A name much too long");
    Press(frm.flbOk);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 2);
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.Result, 0);
    frm.edtName->setText("Short");
    Press(frm.flbOk);
    EXPECT_EQ(frm.Result, 1);
    EXPECT_EQ(frm.Name, "Short");
}

TEST_F(SiteEditor, EditingKeepsAStoredNameLongerThanTheTypingLimit) {
    // The settings file holds names of up to 79 bytes, the input lets the
    // user type 50 characters. Changing only the height of such a site must
    // not cut its name behind the user's back.
    const std::string longName(70, 'N');
    frm.Name = longName;
    frm.Height = 10.0;
    Open(2);
    EXPECT_EQ(frm.edtName->text().toStdString(), longName);
    Press(frm.flbOk);
    EXPECT_EQ(frm.Result, 1);
    EXPECT_EQ(frm.Name, longName);

    // A new name is still limited to 50 typed characters.
    Open(1);
    QTest::keyClicks(frm.edtName, QString(60, 'x'));
    EXPECT_EQ(frm.edtName->text().size(), 50);
}

TEST_F(SiteEditor, OkRefusesValuesOutsideTheirRanges) {
    // Values handed in from a settings file: a summer time of -2147483648
    // used to pass OK unchanged; so did 180 degrees 30 minutes east.
    frm.Name = "Odd";
    frm.Lng = Rad(180.5);
    frm.Lat = Rad(10.0);
    frm.Height = 9000.0;
    frm.DiffUT = 13.0;
    frm.Summer = -2147483648.0;
    frm.Result = 0;
    Open(2);
    const std::vector<std::pair<TKeyInp*, std::string>> mends = {
        {frm.kinSLevel, "8848"}, {frm.kinDiffUT, "+12.0"}, {frm.kinSummer, "3"}};
    std::vector<std::string> said;
    for (int round = 0; round < 5 && frm.Result == 0; ++round) {
        asked.clear();
        Press(frm.flbOk);
        if (frm.Result == 1) break;
        ASSERT_EQ(asked.size(), 1u);
        said.push_back(asked[0].text);
        EXPECT_TRUE(frm.isVisible());
        // Mend the field the message named.
        if (asked[0].text.rfind("Longitude", 0) == 0) frm.kinLngD->SetTx("+179");
        for (const auto& [kin, text] : mends)
            if (QApplication::focusWidget() == kin) kin->SetTx(text);
    }
    EXPECT_EQ(said, (std::vector<std::string>{"Longitude(E) must be between -180 and 180",
                                              "SeaLevel must be between -1000 and 8848",
                                              "TimeZone must be between -12 and 12",
                                              "SummerTime must be between 0 and 3"}));
    EXPECT_EQ(frm.Result, 1);
    EXPECT_NEAR(frm.Lng, Rad(179.5), 1e-12);
    EXPECT_DOUBLE_EQ(frm.Height, 8848.0);
    EXPECT_DOUBLE_EQ(frm.DiffUT, 12.0);
    EXPECT_DOUBLE_EQ(frm.Summer, 3.0);
}
