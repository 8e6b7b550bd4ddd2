// The chart window's object information on the offscreen platform: the memo
// and selection for each kind, the pictures (written as PNG files to look at,
// with key pixels whose places follow from the geometry), the click on the
// picture, and the catalogue problem in the site's text.
#include "app/Qvsky.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Clock.h"
#include "render/Clsatlas.h"
#include "render/Clspng.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

class ObjectPanel : public ::testing::Test {
protected:
    void Open(const std::string& folder, int y, int mo, int d, int h) {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(y, mo, d, h, 0, 0);
        SetClock(std::move(clock));
        sky_ = std::make_unique<TfrmQVSKY>(folder, QSize(1024, 768));
        sky_->SetTimers([this] {
            auto t = std::make_unique<TSteppedTimer>();
            timers_.push_back(t.get());
            return t;
        });
        sky_->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                               std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0;
            n = "Tokyo";
        };
        sky_->resize(1000, 760);
        sky_->show();
        QApplication::processEvents();
    }
    void OpenHere(int y, int mo, int d, int h) {
        Open(QCoreApplication::applicationDirPath().toStdString(), y, mo, d, h);
    }
    void TearDown() override {
        sky_.reset();
        SetClock(nullptr);
    }
    unsigned long Pixel(int x, int y) {
        const int idx = sky_->ObjDib.GetBits()[y * sky_->ObjDib.GetStride() + x];
        const RGBQUAD& q = sky_->ObjDib.GetColTbl()[idx];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    int Lit(int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                n += Pixel(x, y) != 0;
        return n;
    }
    // Writes the picture where the developer looks at it (QUENLIRA_PICTURES),
    // else into a temporary folder.
    void Export(const std::string& name) {
        const char* dir = std::getenv("QUENLIRA_PICTURES");
        const std::string path = (dir ? std::string(dir) : tmp_.path().toStdString()) + "/" + name;
        std::string error;
        EXPECT_TRUE(WritePng(sky_->ObjDib, path, error)) << error;
    }
    int FindStar(const char* abbr, int flamsteed) {
        TConstellation con;
        for (int i = 0; i < sky_->Star->Count; ++i)
            if ((*sky_->Star)[i].flamsteed == flamsteed &&
                std::strcmp(con.Rows[(*sky_->Star)[i].con].abbr, abbr) == 0)
                return i;
        return -1;
    }
    int FindNebula(int no) {
        for (int i = 0; i < sky_->Nebula->Count; ++i)
            if ((*sky_->Nebula)[i].no == no) return i;
        return -1;
    }

    // The north mark is in every picture: its vertical stroke x = 84, y 15..34.
    void ExpectNorthMark() {
        for (int y = 16; y < 35; y += 6)
            EXPECT_EQ(Pixel(84, y), RGB(128, 0, 0)) << y;
    }

    QTemporaryDir tmp_;
    std::vector<TSteppedTimer*> timers_;
    std::unique_ptr<TfrmQVSKY> sky_;
};

TEST_F(ObjectPanel, PicturesOfEachKindAndTheClickThatCentresTheAtlas) {
    // 2026-12-17 09:00 UT, 18:00 in Tokyo: the Moon a day after first quarter.
    OpenHere(2026, 12, 17, 9);
    ASSERT_GT(sky_->Star->Count, 0);
    EXPECT_EQ(sky_->labObjName->text(), "---");
    EXPECT_EQ(sky_->PicKind, 99);

    // The Moon: lit on its west side (the picture's right, east is left).
    sky_->ShowObjectInfo(3, 9);
    EXPECT_EQ(sky_->labObjName->text(), "Moon");
    EXPECT_EQ(sky_->NaviName, "Moon");
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Moon] MoonAge:"));
    EXPECT_EQ(sky_->memInfo->toPlainText().count('\n'), 1);
    Export("moon.png");
    ExpectNorthMark();
    EXPECT_GT(Lit(50, 60, 30, 44), 100); // west of the centre
    EXPECT_EQ(Lit(28, 38, 30, 44), 0);   // east: dark
    // The Sun: its disc fills a radius of about 16' x 6000 = 28 pixels.
    sky_->ShowObjectInfo(3, 8);
    Export("sun.png");
    EXPECT_EQ(Pixel(45, 37), RGB(192, 48, 32));
    EXPECT_EQ(Pixel(45 + 24, 37), RGB(192, 48, 32));
    EXPECT_EQ(Pixel(45 + 31, 37), 0u);

    sky_->ShowObjectInfo(3, 4);
    Export("saturn.png");
    EXPECT_EQ(Pixel(45, 37), RGB(208, 144, 80));

    sky_->ShowObjectInfo(5, 12);
    Export("jupiter_moons.png");
    EXPECT_EQ(sky_->PicKind, 5);
    EXPECT_EQ(sky_->NaviName, "Europa");
    EXPECT_GT(Lit(0, 80, 20, 74), 20); // four moons and their names

    sky_->ShowObjectInfo(3, 3);
    Export("jupiter.png");
    EXPECT_EQ(Pixel(45, 37), RGB(192, 112, 48));

    const int vega = FindStar("Lyr", 3);
    ASSERT_GE(vega, 0);
    sky_->ShowObjectInfo(2, vega);
    Export("vega.png");
    EXPECT_EQ(sky_->labObjName->text(), "Lyr-Alpha(3)");
    EXPECT_NE(Pixel(45, 37), 0u);
    EXPECT_EQ(Pixel(45 + 9, 37), 0u); // the sprite is 17 pixels across

    const int m51 = FindNebula(5194);
    ASSERT_GE(m51, 0);
    sky_->ShowObjectInfo(4, m51);
    Export("m51.png");
    EXPECT_EQ(sky_->labObjName->text(), "NGC5194(M51)");
    EXPECT_GT(Lit(30, 60, 25, 50), 10);
    // The realistic switch off: outlines only.
    sky_->Switch[7] = 0;
    sky_->ShowObjectInfo(3, 4);
    Export("saturn_plain.png");
    EXPECT_EQ(Pixel(45, 37), 0u);
    sky_->Switch[7] = 1;

    // A click on the picture: the information again, the atlas on the object,
    // one history entry.
    const int m31 = FindNebula(224);
    ASSERT_GE(m31, 0);
    sky_->ShowObjectInfo(4, m31);
    sky_->memInfo->clear();
    const int before = sky_->History.Index();
    QTest::mouseClick(sky_.get(), Qt::RightButton, Qt::NoModifier, sky_->shpObjInfo.center());
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Gx] NGC224(M31)"));
    EXPECT_FLOAT_EQ(static_cast<float>(sky_->CenterRa), (*sky_->Nebula)[m31].ra);
    EXPECT_FLOAT_EQ(static_cast<float>(sky_->CenterDec), (*sky_->Nebula)[m31].dec);
    EXPECT_EQ(sky_->History.Index(), before + 1);
    EXPECT_FLOAT_EQ(static_cast<float>(sky_->Atlas->GetCenterRa()), (*sky_->Nebula)[m31].ra);

    // Jupiter's moons: the centre goes to Jupiter where the atlas draws it.
    sky_->ShowObjectInfo(5, 11);
    QTest::mouseClick(sky_.get(), Qt::LeftButton, Qt::NoModifier, sky_->shpObjInfo.center());
    const TAtlas::BodyPlace j = sky_->Atlas->PlaceBody(3);
    EXPECT_DOUBLE_EQ(sky_->CenterRa, j.ra);
    EXPECT_DOUBLE_EQ(sky_->CenterDec, j.dec);
    EXPECT_EQ(sky_->History.Index(), before + 2);

    if (const char* dir = std::getenv("QUENLIRA_PICTURES")) {
        sky_->ShowObjectInfo(3, 3);
        sky_->grab(QRect(0, 600, 300, 160)).save(QString(dir) + "/panel.png");
        sky_->ShowObjectInfo(5, 11);
    }

    // The site: the navigation object cleared, the picture and centre kept.
    sky_->ShowObjectInfo(0, 0);
    EXPECT_EQ(sky_->NaviName, "");
    EXPECT_EQ(sky_->PicKind, 5);
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith(
        "[Tokyo] Longitude(E):139°42'00\" Latitude(N):35°42'00\" SeaLevel:40 TimeZone:+9 "
        "SummerTime:0"));
}

// At the window's size on a 1600x1000 screen (one column) and on a 1024x600
// one (two columns): every kind of object has its whole name beside or
// under its picture, clear of the picture and the memo, and its whole text
// in the memo without scrolling.
TEST_F(ObjectPanel, NameAndTextOfEveryKindFitAtTheOpeningSizes) {
    OpenHere(2026, 12, 17, 9);
    const int betelgeuse = FindStar("Ori", 58), m6 = FindNebula(6405);
    ASSERT_GE(betelgeuse, 0);
    ASSERT_GE(m6, 0);
    const std::pair<int, int> kinds[] = {{0, 0}, {3, 9}, {3, 3}, {2, betelgeuse},
                                         {4, m6}, {5, 12}};
    for (const QSize size : {QSize(1280, 900), QSize(1016, 568)}) {
        sky_->resize(size);
        QApplication::processEvents();
        const QRect name = sky_->labObjName->geometry(), memo = sky_->memInfo->geometry();
        EXPECT_TRUE(sky_->rect().contains(name)) << size.height();
        EXPECT_FALSE(name.intersects(sky_->shpObjInfo)) << size.height();
        EXPECT_FALSE(name.intersects(memo)) << size.height();
        for (const auto& [kind, index] : kinds) {
            sky_->ShowObjectInfo(kind, index);
            QApplication::processEvents();
            const QString text = sky_->labObjName->text();
            EXPECT_LE(sky_->labObjName->fontMetrics().horizontalAdvance(text), name.width())
                << text.toStdString() << " at height " << size.height();
            EXPECT_EQ(sky_->memInfo->verticalScrollBar()->maximum(), 0)
                << sky_->memInfo->toPlainText().toStdString() << " at height " << size.height();
        }
    }
}

TEST_F(ObjectPanel, MissingCataloguesAreNamedInTheSiteText) {
    Open(tmp_.path().toStdString(), 2026, 12, 7, 12);
    const QString text = sky_->memInfo->toPlainText();
    EXPECT_TRUE(text.startsWith("[Tokyo] Longitude(E):")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nStar.dat: ")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nUnsta.dat: ")) << text.toStdString();
    // Without catalogues a star or deep-sky request changes nothing.
    sky_->ShowObjectInfo(2, 0);
    sky_->ShowObjectInfo(4, 0);
    EXPECT_EQ(sky_->memInfo->toPlainText(), text);
    EXPECT_EQ(sky_->NaviName, "");
    // Bodies need no catalogue.
    sky_->ShowObjectInfo(3, 2);
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Mars] Mag:"));
}

} // namespace
