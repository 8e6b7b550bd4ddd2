// Opening the deep star layer: what it refuses and why, and the declination
// band its bisection cuts out.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/Clsdeepstar.h"

namespace {

std::string Write(const std::string& name, const std::vector<TStarRecord>& recs, int extra = 0) {
    const auto path = std::filesystem::temp_directory_path() / ("quenlira_deep_" + name);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(recs.data()),
            static_cast<std::streamsize>(recs.size() * sizeof(TStarRecord)));
    for (int i = 0; i < extra; ++i)
        f.put('x');
    return path.string();
}

std::vector<TStarRecord> Sorted(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> ra(0.0f, 6.28f), dec(-1.57f, 1.57f);
    std::vector<TStarRecord> v(n);
    for (TStarRecord& r : v)
        r = {0, 0, ra(rng), dec(rng), 1000, 78, 3};
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.dec < b.dec; });
    return v;
}

} // namespace

TEST(DeepStarFile, RefusesMissingShortAndDamagedFilesWithTheReason) {
    std::string why;
    EXPECT_EQ(TDeepStar::Open("/nonexistent/Tycho.dat", why), nullptr);
    EXPECT_NE(why.find("/nonexistent/Tycho.dat"), std::string::npos) << why;

    auto good = Sorted(50, 1);
    const std::string ok = Write("ok", good);
    auto cat = TDeepStar::Open(ok, why);
    ASSERT_NE(cat, nullptr) << why;
    EXPECT_EQ(cat->Count, 50);
    EXPECT_TRUE(why.empty());

    const std::string torn = Write("torn", good, 7);
    EXPECT_EQ(TDeepStar::Open(torn, why), nullptr);
    EXPECT_NE(why.find("807 bytes"), std::string::npos) << why;
    EXPECT_EQ(TDeepStar::Open(Write("empty", {}), why), nullptr);

    struct Fault {
        const char* name;
        void (*spoil)(std::vector<TStarRecord>&);
        const char* says;
    };
    const Fault faults[] = {
        {"order", [](auto& v) { std::swap(v[10], v[40]); }, "out of order"},
        {"nan", [](auto& v) { v[3].ra = std::nanf(""); }, "off the sky"},
        {"pole", [](auto& v) { v[49].dec = 1.6f; }, "off the sky"},
        {"mag", [](auto& v) { v[5].mag = 9990; }, "magnitude"},
        {"con", [](auto& v) { v[6].con = 90; }, "constellation"},
        {"spect", [](auto& v) { v[7].spect = 8; }, "spectral"},
        {"bayer", [](auto& v) { v[8].bayer = 100; }, "designation"},
    };
    for (const Fault& f : faults) {
        auto v = good;
        f.spoil(v);
        EXPECT_EQ(TDeepStar::Open(Write(f.name, v), why), nullptr) << f.name;
        // Places off the sky and unknown constellations are already refused by
        // the star file's own check, which counts the impossible records.
        const bool counted = why.find("records are impossible") != std::string::npos;
        EXPECT_TRUE(why.find(f.says) != std::string::npos || counted) << f.name << ": " << why;
        EXPECT_TRUE(why.find("record ") != std::string::npos || counted) << why;
    }
}

TEST(DeepStarFile, DeclinationBandMatchesAFullScan) {
    std::string why;
    auto cat = TDeepStar::Open(Write("band", Sorted(2000, 7)), why);
    ASSERT_NE(cat, nullptr) << why;
    const double bands[][2] = {{-2.0, 2.0}, {0.1, 0.2}, {-0.5, -0.49}, {1.5, 3.0}, {0.3, 0.3}};
    for (const auto& b : bands) {
        const auto [first, last] = TDeepStar::DecBand(*cat, b[0], b[1]);
        int inside = 0;
        for (int i = 0; i < cat->Count; ++i) {
            const bool in = (*cat)[i].dec > b[0] && (*cat)[i].dec < b[1];
            inside += in;
            EXPECT_EQ(in, i >= first && i < last) << b[0] << ".." << b[1] << " record " << i;
        }
        EXPECT_EQ(last - first, inside);
    }
}
