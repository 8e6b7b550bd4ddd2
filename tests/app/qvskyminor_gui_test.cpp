// Comets and asteroids in the chart window: read once the first charts are drawn and then
// on both charts, picked under the pointer, a target for the telescope, their switch kept
// in Minor.txt, and the track of the one shown.
#include "app/Qvselobj.h"
#include "app/Qvsky.h"
#include "catalog/Clsstar.h"
#include "controls/Clock.h"
#include "controls/Selgrid.h"
#include "minor/Minorplace.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

const char* const kCeres =
    "00001    3.34  0.12 K2555 188.70269   73.27343   80.25221   10.58780  0.0794013  0.21424651 "
    "  2.7660512  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres        "
    "           20241101\n";

class MinorWindow : public ::testing::Test {
protected:
    std::string dir_ = testing::TempDir() + "quenlira-minor-window";
    void SetUp() override {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/Minor");
        std::ofstream(dir_ + "/Minor/MPCORB.DAT") << kCeres;
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2025, 10, 2, 15, 0, 0); // Ceres at opposition, magnitude 7.6
        SetClock(std::move(clock));
        Open();
    }
    void Open() {
        sky_ = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                           QSize(1024, 768));
        sky_->UserFolder = dir_;
        sky_->SetTimers([] { return std::make_unique<TSteppedTimer>(); });
        sky_->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                               std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0;
            n = "Tokyo";
        };
        sky_->resize(1000, 760);
        sky_->show();
        sky_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sky_.get()));
        sky_->BuildFindIndex(); // starts the read, as the first drawing's end does
        // Read, the charts are drawn again with the bodies.
        for (int k = 0; k < 500; ++k) {
            QApplication::processEvents();
            if (sky_->MinorBodies() && (!sky_->MinorSet.Show || sky_->Atlas->MinorMarks)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_NE(sky_->MinorBodies(), nullptr);
        ASSERT_EQ(sky_->MinorBodies()->Bodies.size(), 1u);
    }
    void TearDown() override {
        sky_.reset();
        SetClock(nullptr);
        std::filesystem::remove_all(dir_);
    }
    std::unique_ptr<TfrmQVSKY> sky_;
};

} // namespace

TEST_F(MinorWindow, OnTheChartsPickedAndATargetForTheTelescope) {
    // Read, the charts were drawn again with it: the atlas's limit (8.7 at the start)
    // takes Ceres in.
    ASSERT_NE(sky_->Atlas->MinorMarks, nullptr);
    ASSERT_EQ(sky_->Atlas->MinorMarks->size(), 1u);
    EXPECT_EQ(sky_->Hayami->MinorMarks, sky_->Atlas->MinorMarks);
    TMinorPlace p;
    p.Compute(sky_->MinorBodies()->Bodies[0], sky_->Mjd.GetMJD());
    EXPECT_NEAR(p.Mag, 7.6, 0.2);

    // Centred on it, it is under the middle of the atlas and the pop-up lists it.
    sky_->CenterRa = p.RaJ2000;
    sky_->CenterDec = p.DecJ2000;
    sky_->RedrawAtlas(false);
    const int cx = sky_->shpAtlas.width() / 2, cy = sky_->shpAtlas.height() / 2;
    sky_->PickObjects(cx, cy);
    int row = 0;
    for (int r = 1; r <= sky_->SelObj->grdSelObj->GetMaxRow(); ++r)
        if (sky_->SelObj->grdSelObj->GetTextA(r, 1) == "(1) Ceres") row = r;
    ASSERT_GT(row, 0);
    sky_->SelObj->Chosen = row;
    sky_->ShowPickedObject();
    sky_->SelObj->hide();
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Asteroid] (1) Ceres Mag:"))
        << sky_->memInfo->toPlainText().toStdString();

    // The telescope goes to its apparent place of date seen from the site: within its
    // parallax (under 4" at 1.9 AU) of the geocentric place.
    std::string name;
    double ra = 0, dec = 0, alt = 0;
    ASSERT_TRUE(sky_->TelescopeTarget(name, ra, dec, alt));
    EXPECT_EQ(name, "(1) Ceres");
    EXPECT_NEAR(ra, p.Ra, 2e-5);
    EXPECT_NEAR(dec, p.Dec, 2e-5);

    // Its track: the points of 15 days either way with their ticks.
    sky_->ToggleTrack();
    ASSERT_NE(sky_->Atlas->MinorTrack, nullptr);
    int ticks = 0;
    for (const auto& q : *sky_->Atlas->MinorTrack) ticks += !q.Tick.empty();
    EXPECT_EQ(ticks, 15);
    sky_->ToggleTrack();
    EXPECT_EQ(sky_->Atlas->MinorTrack, nullptr);
}

TEST_F(MinorWindow, TheSwitchIsKeptForTheNextStart) {
    QTest::keyClick(sky_.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(sky_->MinorSet.Show);
    EXPECT_EQ(sky_->Atlas->MinorMarks, nullptr);
    EXPECT_EQ(sky_->Hayami->MinorMarks, nullptr);
    sky_.reset();
    Open();
    EXPECT_FALSE(sky_->MinorSet.Show);
    EXPECT_EQ(sky_->Atlas->MinorMarks, nullptr);
    sky_->ToggleMinor(); // as the menu's entry does
    EXPECT_TRUE(sky_->MinorSet.Show);
    EXPECT_NE(sky_->Atlas->MinorMarks, nullptr);
}
