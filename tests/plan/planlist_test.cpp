// What joins the planner's list besides the catalogues' objects: double stars
// found in the star catalogue (a catalogue of our own with separations worked
// by hand, then known pairs of the real one against published separations),
// the bright comets and asteroids (best time and altitude against ERFA), and
// the worker that works the night out on its own thread.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "plan/Clsdoublestars.h"
#include "plan/Clsplanner.h"
#include "plan/Clsplanworker.h"
#include "tests/plan/Ephemref.h"

namespace {

using ref::kDeg;
constexpr double kArcsec = kDeg / 3600.0;

// A star file of our own: (ra, dec, magnitude) each.
struct StarFile {
    explicit StarFile(const std::vector<std::array<double, 3>>& stars) {
        path = (std::filesystem::temp_directory_path() / "quenlira_doubles_test.dat").string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (const auto& s : stars) {
            TStarRecord r{0, 0, static_cast<float>(s[0]), static_cast<float>(s[1]),
                          static_cast<int16_t>(std::lround(s[2] * 100)), 1, 5};
            std::fwrite(&r, sizeof r, 1, f);
        }
        std::fclose(f);
    }
    ~StarFile() { std::filesystem::remove(path); }
    std::string path;
};

// The brightest record of a designation (a companion may carry it too).
int Find(const TStar& s, int con, int flamsteed, int bayer = -1) {
    int best = -1;
    for (int i = 0; i < s.Count; ++i)
        if (s[i].con == con && s[i].flamsteed == flamsteed && (bayer < 0 || s[i].bayer == bayer) &&
            (best < 0 || s[i].mag < s[best].mag))
            best = i;
    return best;
}

TLocation Tokyo() {
    TLocation s;
    s.Lat = 35.6833 * kDeg;
    s.Lon = 139.5167 * kDeg;
    return s;
}

} // namespace

TEST(DoubleStars, PairsByTheirRulesAcrossZeroHours) {
    const double dec = 30 * kDeg, c = std::cos(dec);
    StarFile file({
        {1.0, dec, 4.0},                           // 0: primary
        {1.0 + 20 * kArcsec / c, dec, 7.0},        // 1: 20" east of it
        {1.0, dec + 12 * kArcsec, 6.0},            // 2: 12" north, brighter: the companion
        {1.0 - 0.5 * kArcsec / c, dec, 8.0},       // 3: half a second away: the same star
        {2.0, dec, 6.8},                           // 4: too faint to lead a pair
        {2.0, dec + 10 * kArcsec, 7.5},            // 5
        {3.0, 0.0, 5.0},                           // 6: the companion is too faint
        {3.0, 10 * kArcsec, 9.2},                  // 7
        {4.0, 0.0, 3.0},                           // 8: 61" apart: too wide
        {4.0, 61 * kArcsec, 5.0},                  // 9
        {2 * ref::kPi - 10 * kArcsec, 0.0, 5.0},   // 10: 20" across 0 h
        {10 * kArcsec, 0.0, 5.5},                  // 11
    });
    TStar stars(file.path);
    ASSERT_EQ(stars.Count, 12);
    const auto pairs = TDoubleStars::Find(stars);
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].Primary, 0);
    EXPECT_EQ(pairs[0].Companion, 2);
    EXPECT_NEAR(pairs[0].SepArcsec, 12.0, 0.01);
    // Star 2 (6.0) leads its own pair with star 1 (7.0): 23.3" apart by hand.
    EXPECT_EQ(pairs[1].Primary, 2);
    EXPECT_EQ(pairs[1].Companion, 1);
    EXPECT_NEAR(pairs[1].SepArcsec, std::hypot(20.0, 12.0), 0.05);
    EXPECT_EQ(pairs[2].Primary, 10);
    EXPECT_EQ(pairs[2].Companion, 11);
    EXPECT_NEAR(pairs[2].SepArcsec, 20.0, 0.01);
}

TEST(DoubleStars, KnownPairsOfTheStarCatalogue) {
    TStar stars("Star.dat");
    ASSERT_GT(stars.Count, 100000);
    const auto pairs = TDoubleStars::Find(stars);
    // Separations near 2000 (Washington Double Star Catalog).
    struct Known {
        const char* name;
        int con, flamsteed, bayer;
        double sep;
    };
    // Cor Caroli is alpha-2 CVn; alpha-1, also 12 CVn, is its companion.
    const Known known[] = {{"Albireo", 31, 6, 201, 34.4}, {"Cor Caroli", 30, 12, 102, 19.4},
                           {"gamma Del", 32, 12, 302, 9.2}, {"delta Cep", 16, 27, 400, 40.9}};
    for (const Known& k : known) {
        const int rec = Find(stars, k.con, k.flamsteed, k.bayer);
        ASSERT_GE(rec, 0) << k.name;
        const TDoubleStars::TPair* found = nullptr;
        for (const auto& p : pairs)
            if (p.Primary == rec) found = &p;
        ASSERT_NE(found, nullptr) << k.name;
        EXPECT_NEAR(found->SepArcsec, k.sep, 1.0) << k.name;
        EXPECT_GT(stars[found->Companion].mag, stars[rec].mag) << k.name;
    }
    // Vega has no companion in the catalogue.
    const int vega = Find(stars, 52, 3);
    for (const auto& p : pairs)
        EXPECT_NE(p.Primary, vega);
    // Their entries in the list: group "double", the separation as the size.
    TConstellation con;
    const auto entries = TPlanner::Candidates(&stars, nullptr, &con, {}, nullptr, pairs);
    int doubles = 0;
    for (const TPlanEntry& e : entries) {
        if (e.Group != "double") continue;
        ++doubles;
        if (e.Number == Find(stars, 31, 6)) {
            EXPECT_EQ(e.Name.rfind("Star ", 0), std::string::npos); // named, not numbered
            EXPECT_NEAR(e.SizeArcmin * 60, 34.4, 1.0);
            EXPECT_EQ(e.Constellation, "Cyg");
        }
    }
    EXPECT_EQ(doubles, static_cast<int>(pairs.size()));
}

// A main-belt asteroid as bright as Vesta joins the list with its night from
// its own place; the same orbit 13 magnitudes fainter does not.
TEST(Planner, BrightAsteroidJoinsTheListWithItsNight) {
    TMinorBody bright;
    bright.Name = "Brighta";
    bright.Number = 90001;
    bright.q = 2.36 * (1 - 0.089);
    bright.e = 0.089;
    bright.i = 7.1 * kDeg;
    bright.Node = 103.8 * kDeg;
    bright.Peri = 151.2 * kDeg;
    bright.T = 61200.0;
    bright.Epoch = 61400.0;
    bright.HasMag = true;
    bright.H = 3.2;
    TMinorBody faint = bright;
    faint.Name = "Fainta";
    faint.Number = 90002;
    faint.H = 16.2;
    TMinorList minor;
    minor.Bodies = {faint, bright};

    TNight night;
    night.Compute(Tokyo(), THorizon(), 2026, 12, 7, 9);
    TPlanner planner;
    planner.Build(night, {}, &minor);
    const TPlanEntry* e = nullptr;
    for (const TPlanEntry& x : planner.Entries) {
        EXPECT_NE(x.Name.find("Fainta"), 0u);
        if (x.Kind == TPlanner::kMinorKind) e = &x;
    }
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Number, 1);
    EXPECT_EQ(e->Group, "minor");
    EXPECT_EQ(e->KindText, "asteroid");
    TMinorPlace p;
    p.Compute(bright, night.Darkest);
    EXPECT_NEAR(e->Mag, p.Mag, 1e-9);
    EXPECT_LT(e->Mag, TPlanner::kMinorMag);

    // ERFA: the astrometric place carried to the date, the highest altitude
    // in the dark window.
    ASSERT_TRUE(night.HaveDark);
    ASSERT_TRUE(e->Pass.HaveBest);
    const ref::Frame frame(night.Darkest);
    double v[3];
    ref::StarOfDate(frame, p.RaJ2000, p.DecJ2000, v);
    const ref::Site site{35.6833 * kDeg, 139.5167 * kDeg};
    double bestAlt = -10, bestMjd = 0;
    for (double m = night.DarkStart; m <= night.DarkEnd; m += 0.5 / 1440.0) {
        const double a = ref::Altitude(frame, site, m, v, 0.0);
        if (a > bestAlt) {
            bestAlt = a;
            bestMjd = m;
        }
    }
    EXPECT_NEAR(e->Pass.BestAlt / kDeg, bestAlt / kDeg, 0.1);
    EXPECT_NEAR((e->Pass.BestMjd - bestMjd) * 1440.0, 0.0, 5.0);

    TPlanFilter f;
    f.MinAltDeg = -90;
    f.Groups = {"minor"};
    const auto rows = planner.Select(f);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(&planner.Entries[rows[0]], e);
}

// The worker answers with the night a request asked for, numbered as asked;
// a request overtaken while it waited is dropped, never answered late.
TEST(PlanWorker, AnswersTheLatestRequestWithItsNight) {
    TStar stars("Star.dat");
    TNebula nebula("Unsta.dat");
    TConstellation con;
    ASSERT_GT(stars.Count, 0);
    const auto candidates = TPlanner::Candidates(&stars, &nebula, &con, {});

    std::mutex m;
    std::condition_variable cv;
    std::vector<std::shared_ptr<TPlanWorker::TResult>> got;
    {
        TPlanWorker worker([&](std::shared_ptr<TPlanWorker::TResult> r) {
            std::lock_guard<std::mutex> g(m);
            got.push_back(std::move(r));
            cv.notify_all();
        });
        for (int day = 1; day <= 3; ++day) {
            TPlanWorker::TRequest r;
            r.Id = day;
            r.Site = Tokyo();
            r.Year = 2026;
            r.Month = 12;
            r.Day = day;
            r.Zone = 9;
            r.Candidates = candidates;
            worker.Submit(std::move(r));
        }
        std::unique_lock<std::mutex> g(m);
        ASSERT_TRUE(cv.wait_for(g, std::chrono::seconds(120),
                                [&] { return !got.empty() && got.back()->Id == 3; }));
        EXPECT_EQ(static_cast<int>(got.size()) + worker.Dropped(), 3);
    }
    for (std::size_t i = 1; i < got.size(); ++i)
        EXPECT_LT(got[i - 1]->Id, got[i]->Id);
    TNight night;
    night.Compute(Tokyo(), THorizon(), 2026, 12, 3, 9);
    TPlanner planner;
    planner.Build(night, candidates);
    const TPlanWorker::TResult& last = *got.back();
    EXPECT_DOUBLE_EQ(last.Night.Darkest, night.Darkest);
    ASSERT_EQ(last.Planner.Entries.size(), planner.Entries.size());
    for (std::size_t i = 0; i < planner.Entries.size(); ++i)
        ASSERT_DOUBLE_EQ(last.Planner.Entries[i].Pass.BestMjd, planner.Entries[i].Pass.BestMjd);
}
