// The atlas's star index after the stars moved: mended where it stands, it
// must be the index a fresh build gives, entry for entry, with the same
// places, whether a step of days changed a few places, years reordered stars
// within their zones, or centuries carried them into other zones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/Clsmjd.h"
#include "catalog/Clsstar.h"
#include "render/Clsstarindex.h"
#include "tests/catalog/Catalogfiles.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TStarRecord Star(float ra, float dec, int mag) {
    TStarRecord r{};
    r.con = 1;
    r.mag = static_cast<std::int16_t>(mag);
    r.ra = ra;
    r.dec = dec;
    r.spect = 3;
    return r;
}

// Random stars with fast motions, and pairs and ties made to change places
// inside their zone within a few years without leaving it.
struct TCatalogue {
    TTempFile file{"starindex"};
    std::string side;

    TCatalogue() {
        std::vector<TStarRecord> recs;
        std::vector<TStarMotion> motions;
        std::uint32_t seed = 777;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / 16777216.0;
        };
        for (int i = 0; i < 3000; ++i) {
            recs.push_back(Star(static_cast<float>(next() * 2 * kPi),
                                static_cast<float>(std::asin(2 * next() - 1)), 100 + i % 900));
            motions.push_back({static_cast<float>((next() - 0.5) * 40000 * next()),
                               static_cast<float>((next() - 0.5) * 40000 * next())});
        }
        // In the middle of a half-degree zone, 0.2" apart in right ascension,
        // closing at 1"/year: they pass each other after a few months.
        const double zone = kPi / TStarIndex::Zones;
        for (int k = 0; k < 40; ++k) {
            const float dec = static_cast<float>(-kPi / 2 + (k * 4 + 100.5) * zone);
            const float ra = static_cast<float>(0.15 * k + 0.01);
            recs.push_back(Star(ra, dec, 500));
            motions.push_back({-1000.0f, 0.0f});
            recs.push_back(Star(ra - 1e-6f, dec, 500));
            motions.push_back({1000.0f, 0.0f});
            // Two stars at one place: the one first in the file comes first.
            recs.push_back(Star(ra + 1e-3f, dec, 700));
            motions.push_back({0.0f, 0.0f});
            recs.push_back(Star(ra + 1e-3f, dec, 600));
            motions.push_back({0.0f, 0.0f});
        }
        file.Write(recs);
        side = TStar::MotionPath(file.Path());
        std::FILE* out = std::fopen(side.c_str(), "wb");
        std::fwrite(motions.data(), sizeof(TStarMotion), motions.size(), out);
        std::fclose(out);
    }
    ~TCatalogue() { std::remove(side.c_str()); }
};

// Differences between two indexes of the same catalogue (0: the same).
int Differences(const TStarIndex& a, const TStarIndex& b, const TStar& star) {
    int diff = 0;
    for (int z = 0; z < TStarIndex::Zones; ++z) {
        if (a.End(z) - a.Begin(z) != b.End(z) - b.Begin(z)) {
            ++diff;
            continue;
        }
        for (const TStarIndex::Entry *p = a.Begin(z), *q = b.Begin(z); p < a.End(z); ++p, ++q)
            if (p->ra != q->ra || p->dec != q->dec || p->record != q->record || p->mag != q->mag)
                ++diff;
    }
    for (int i = 0; i < star.Count; ++i) {
        const TStarIndex::Place p = a.PlaceOf(i, star[i].ra, star[i].dec);
        const TStarIndex::Place q = b.PlaceOf(i, star[i].ra, star[i].dec);
        if (p.SinDec != q.SinDec || p.CosDec != q.CosDec || p.UnitX != q.UnitX ||
            p.UnitY != q.UnitY)
            ++diff;
    }
    return diff;
}

} // namespace

TEST(StarIndex, AfterTheStarsMoveItIsTheIndexAFreshBuildGives) {
    TCatalogue cat;
    TStar star(cat.file.Path());
    ASSERT_NE(star.Motions, nullptr) << star.MotionError << star.Error;
    for (const bool keepTrig : {true, false}) {
        star.MoveTo(TMjd::J2000);
        TStarIndex kept;
        kept.Build(star, keepTrig);
        // Days, months (the pairs pass each other), years, centuries (stars
        // change zones), and back.
        for (double days : {1.0, 2.0, 30.0, 200.0, 201.0, 3000.0, 36524.0, 36525.0, -36524.0,
                            0.0, 400.0}) {
            star.MoveTo(TMjd::J2000 + days);
            // Asked again for places already known (the deep catalogue keeps
            // those it worked out).
            for (int i = 0; i < star.Count; i += 7)
                kept.PlaceOf(i, star[i].ra, star[i].dec);
            kept.Build(star, keepTrig);
            TStarIndex fresh;
            fresh.Build(star, keepTrig);
            EXPECT_EQ(Differences(kept, fresh, star), 0) << "day " << days << ", keepTrig "
                                                         << keepTrig;
        }
    }
}

// The pairs really did change places: the index reflects the new order.
TEST(StarIndex, PairsThatPassEachOtherSwapInTheIndex) {
    TCatalogue cat;
    TStar star(cat.file.Path());
    star.MoveTo(TMjd::J2000);
    TStarIndex index;
    index.Build(star);
    const int first = 3000; // the first pair's records
    auto order = [&] {
        const int z = TStarIndex::ZoneOf(star[first].dec);
        for (const TStarIndex::Entry* e = index.Begin(z); e < index.End(z); ++e) {
            if (e->record == first) return 1;
            if (e->record == first + 1) return -1;
        }
        return 0;
    };
    EXPECT_EQ(order(), -1);
    star.MoveTo(TMjd::J2000 + 200);
    index.Build(star);
    EXPECT_EQ(order(), 1);
}
