// The planner window over the real catalogues: the night's times, the list
// and its sort orders and filters (kept in Planner.txt and read back by a
// new window), choosing a row and setting the clock, and the graph drawn in
// the raster with the chosen object's curve in it. QUENLIRA_SHOTS=folder
// writes the window at 1280x900 and 1024x600 there.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "app/Qvplan.h"
#include "app/Qvskylog.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;

class Planner : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(star_.Count, 0);
        ASSERT_GT(nebula_.Count, 0);
        folder_ = std::filesystem::temp_directory_path() / "quenlira_qvplan_test";
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        sky_.Site.Lat = 35.6833 * kDeg;
        sky_.Site.Lon = 139.5167 * kDeg;
        sky_.Zone = 9;
        sky_.ClockMjd = TMjd::JULIAN(2026, 12, 7.0 + 21.5 / 24.0, 9.0, 0); // 21:30 local
        sky_.Star = &star_;
        sky_.Nebula = &nebula_;
        sky_.Constellation = &con_;
        sky_.Markers.push_back({"My double", 5.2 * 15 * kDeg, 10 * kDeg, 1});
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    TStar star_{"Star.dat"};
    TNebula nebula_{"Unsta.dat"};
    TConstellation con_;
    TfrmQVPlan::TSky sky_;
    std::filesystem::path folder_;
};

// The night is worked out on the planner's own thread: wait for it.
void Settle(TfrmQVPlan& w) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Computing(); }, 120000));
}
} // namespace

TEST_F(Planner, TimesListSortFiltersAndChoosing) {
    TfrmQVPlan w;
    w.SetFilterFolder(folder_.string());
    w.resize(1024, 600);
    w.show();
    w.SetSky(sky_);
    Settle(w);
    EXPECT_NE(w.TimesText().find("Sunset 16:28"), std::string::npos) << w.TimesText();
    EXPECT_NE(w.TimesText().find("Night of 2026-12-07"), std::string::npos);
    auto* grid = w.findChild<QTableWidget*>();
    ASSERT_NE(grid, nullptr);
    ASSERT_GT(grid->rowCount(), 50);
    EXPECT_EQ(grid->rowCount(), static_cast<int>(w.Rows.size()));
    // Best time ascending is the start; a click on "Alt" sorts by altitude,
    // a second one turns it round.
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid->horizontalHeader()->sectionViewportPosition(TPlanner::Altitude) + 5, 5));
    EXPECT_EQ(w.SortColumn, TPlanner::Altitude);
    for (std::size_t i = 1; i < w.Rows.size(); ++i)
        ASSERT_LE(w.Planner.Entries[w.Rows[i - 1]].Pass.BestAlt, w.Planner.Entries[w.Rows[i]].Pass.BestAlt);
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid->horizontalHeader()->sectionViewportPosition(TPlanner::Altitude) + 5, 5));
    EXPECT_FALSE(w.Ascending);
    // A filter: galaxies only, at least 40 degrees up.
    w.Filter.MinAltDeg = 40;
    w.Filter.Groups = {"galaxy"};
    w.RefillList();
    ASSERT_FALSE(w.Rows.empty());
    for (int r : w.Rows) {
        EXPECT_EQ(w.Planner.Entries[r].Group, "galaxy");
        EXPECT_GE(w.Planner.Entries[r].Pass.BestAlt, 40 * kDeg);
    }
    // Choosing the first row hands its object over; C sets the clock to its best time.
    const TPlanEntry* chosen = nullptr;
    double clock = 0;
    w.OnChoose = [&](const TPlanEntry& e) { chosen = &e; };
    w.OnSetClock = [&](double mjd) { clock = mjd; };
    grid->setCurrentCell(0, 0);
    QTest::keyClick(&w, Qt::Key_Return);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, &w.Planner.Entries[w.Rows[0]]);
    QTest::keyClick(&w, Qt::Key_C);
    EXPECT_EQ(clock, chosen->Pass.BestMjd);
    // The graph: the chosen curve (pure red) is in the picture.
    auto* graph = w.findChildren<QLabel*>().back();
    const QImage img = graph->pixmap().toImage();
    ASSERT_FALSE(img.isNull());
    int red = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            red += img.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 200);
}

// A night asked for and overtaken before its answer is never shown: the
// window shows the latest evening only, once, and never waits for it.
TEST_F(Planner, OnlyTheLatestNightIsShown) {
    TfrmQVPlan w;
    w.show();
    w.SetSky(sky_);
    TfrmQVPlan::TSky later = sky_;
    later.ClockMjd += 3.0; // the evening of 2026-12-10
    w.SetSky(later);
    EXPECT_TRUE(w.Computing());
    Settle(w);
    EXPECT_EQ(w.ResultsShown, 1);
    EXPECT_NE(w.TimesText().find("Night of 2026-12-10"), std::string::npos) << w.TimesText();
    TNight expected;
    expected.Compute(sky_.Site, sky_.Horizon, 2026, 12, 10, 9);
    EXPECT_DOUBLE_EQ(w.Night.Darkest, expected.Darkest);
    // The window's own share of the work, for the record.
    std::printf("window thread %.1f ms, worker %.1f ms CPU\n", w.LastGatherMs, w.LastBuildMs);
}

// L (or "Add to list") hands the row to the observing list as the list names
// objects: M42 by its Messier number, a bright nebula in Orion at its
// published J2000 place (SEDS: 5h35m17.3s, -5 23' 28"); a planet as a planet.
TEST_F(Planner, AddToListHandsTheRowAsTheListNamesIt) {
    TfrmQVPlan w;
    w.Filter.MinAltDeg = -90;
    w.show();
    w.SetSky(sky_);
    Settle(w);
    std::vector<TLogObject> added;
    w.OnAddToList = [&](const TPlanEntry& e) { added.push_back(PlanLogObject(e, &nebula_)); };
    auto select = [&](const std::string& start) {
        for (std::size_t r = 0; r < w.Rows.size(); ++r)
            if (w.Planner.Entries[w.Rows[r]].Name.rfind(start, 0) == 0) {
                w.findChild<QTableWidget*>()->setCurrentCell(static_cast<int>(r), 0);
                return true;
            }
        return false;
    };
    ASSERT_TRUE(select("M42 "));
    QTest::keyClick(&w, Qt::Key_L);
    ASSERT_TRUE(select("Jupiter"));
    QTest::keyClick(&w, Qt::Key_L);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[0].Name, "M42");
    EXPECT_EQ(added[0].Type, "GN");
    EXPECT_EQ(added[0].Constellation, "Ori");
    EXPECT_EQ(added[0].Kind, 4);
    ASSERT_TRUE(added[0].Ra && added[0].Dec);
    EXPECT_NEAR(*added[0].Ra / kDeg, (5 + 35 / 60.0 + 17.3 / 3600.0) * 15, 0.05);
    EXPECT_NEAR(*added[0].Dec / kDeg, -(5 + 23 / 60.0 + 28 / 3600.0), 0.05);
    EXPECT_EQ(added[1].Name, "Jupiter");
    EXPECT_EQ(added[1].Type, "planet");
    EXPECT_EQ(added[1].Kind, 3);
}

TEST_F(Planner, FiltersAreKeptBesideTheSettings) {
    {
        // A new window shows the default filter in its controls.
        TfrmQVPlan fresh;
        EXPECT_EQ(fresh.findChild<QSpinBox*>()->value(), 20);
    }
    {
        TfrmQVPlan w;
        w.SetFilterFolder(folder_.string());
        w.SetSky(sky_);
        Settle(w);
        auto* grid = w.findChild<QTableWidget*>();
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(grid->horizontalHeader()->sectionViewportPosition(TPlanner::Mag) + 5, 5));
        auto* spin = w.findChild<QSpinBox*>();
        spin->setValue(35);
    }
    std::ifstream in(folder_ / TPlanFilter::kFileName);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("min-alt=35"), std::string::npos) << text;
    TfrmQVPlan again;
    again.SetFilterFolder(folder_.string());
    EXPECT_EQ(again.Filter.MinAltDeg, 35);
    EXPECT_EQ(again.SortColumn, TPlanner::Mag);
    // A damaged file leaves the defaults where it cannot be read.
    { std::ofstream(folder_ / TPlanFilter::kFileName) << "min-alt=banana\nsort=99\nkinds=galaxy,comet\n"; }
    TfrmQVPlan third;
    third.SetFilterFolder(folder_.string());
    EXPECT_EQ(third.Filter.MinAltDeg, 20);
    EXPECT_EQ(third.SortColumn, TPlanner::Best);
    EXPECT_EQ(third.Filter.Groups, std::vector<std::string>{"galaxy"});
}

TEST_F(Planner, Screenshots) {
    const char* shots = std::getenv("QUENLIRA_SHOTS");
    if (!shots) GTEST_SKIP() << "QUENLIRA_SHOTS not set";
    for (auto [wd, ht] : {std::pair{1280, 900}, std::pair{1024, 600}}) {
        TfrmQVPlan w;
        w.resize(wd, ht);
        w.show();
        w.SetSky(sky_);
        Settle(w);
        w.Pinned = {};
        for (std::size_t i = 0; i < w.Planner.Entries.size() && w.Pinned.size() < 4; ++i) {
            const std::string& n = w.Planner.Entries[i].Name;
            if (n == "Jupiter" || n == "Moon" || n.rfind("M42", 0) == 0 || n.rfind("M31 ", 0) == 0)
                w.Pinned.push_back(static_cast<int>(i));
        }
        QTest::qWait(50);
        w.RedrawGraph();
        w.grab().save(QString("%1/planner-%2x%3.png").arg(shots).arg(wd).arg(ht));
    }
}
