// TStar on small hand-made catalogue files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "Catalogfiles.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsstar.h"

namespace {

TStarRecord Rec(int con, int bayer, int flamsteed, int mag, float ra = 1.0f, float dec = 0.5f) {
    TStarRecord r{};
    r.con = static_cast<std::uint8_t>(con);
    r.bayer = static_cast<std::uint16_t>(bayer);
    r.flamsteed = static_cast<std::uint16_t>(flamsteed);
    r.mag = static_cast<std::int16_t>(mag);
    r.ra = ra;
    r.dec = dec;
    r.spect = 3;
    return r;
}

const TNamedStar& Named(const TStar& s, const char* name) {
    for (const TNamedStar& n : s.Named)
        if (std::string(n.nameSci) == name) return n;
    static TNamedStar none{};
    ADD_FAILURE() << name << " is not in the named-star table";
    return none;
}

} // namespace

TEST(StarFile, EmptyOrMissingFileGivesAnEmptyCatalogueWithAReason) {
    TTempFile empty("star_empty");
    empty.Write(std::vector<TStarRecord>{});
    TStar s(empty.Path());
    EXPECT_EQ(s.Count, 0);
    EXPECT_EQ(s.MagMax, -9999);
    EXPECT_FALSE(s.Error.empty());
    EXPECT_EQ(s.NamedCount, 37); // the names stay usable without a file
    for (const TNamedStar& n : s.Named)
        EXPECT_EQ(n.record, -1) << n.nameSci;

    TStar missing("/nonexistent/folder/Star.dat");
    EXPECT_EQ(missing.Count, 0);
    EXPECT_EQ(missing.Records, nullptr);
    EXPECT_NE(missing.Error.find("Star.dat"), std::string::npos) << missing.Error;

    TStar folder(std::filesystem::temp_directory_path().string());
    EXPECT_EQ(folder.Count, 0);
    EXPECT_FALSE(folder.Error.empty());
}

TEST(StarFile, RecordsAreReadAndAPartialRecordRefusesTheFile) {
    const std::vector<TStarRecord> two{Rec(1, 0, 0, 450, 0.25f, -0.5f), Rec(2, 0, 0, 510)};
    TTempFile f("star_whole");
    f.Write(two);
    TStar s(f.Path());
    ASSERT_EQ(s.Count, 2);
    EXPECT_TRUE(s.Error.empty());
    EXPECT_FLOAT_EQ(s[0].ra, 0.25f);
    EXPECT_FLOAT_EQ(s[0].dec, -0.5f);
    EXPECT_EQ(s[1].mag, 510);

    // Nine bytes more: not a star catalogue that was written whole.
    TTempFile g("star_partial");
    g.Write(two, 9);
    TStar t(g.Path());
    EXPECT_EQ(t.Count, 0);
    EXPECT_EQ(t.Records, nullptr);
    EXPECT_NE(t.Error.find(g.Path()), std::string::npos) << t.Error;
    EXPECT_NE(t.Error.find("whole number"), std::string::npos) << t.Error;
}

TEST(StarFile, FaintestMagnitudeSkipsUnusableValues) {
    TTempFile f("star_mag");
    f.Write(std::vector<TStarRecord>{Rec(1, 0, 0, 9990), Rec(1, 0, 0, 612), Rec(1, 0, 0, 12000),
                                     Rec(1, 0, 0, 9989), Rec(1, 0, 0, -144)});
    TStar s(f.Path());
    EXPECT_EQ(s.MagMax, 9989);

    TTempFile g("star_mag_none");
    g.Write(std::vector<TStarRecord>{Rec(1, 0, 0, 9990), Rec(1, 0, 0, 9999)});
    EXPECT_EQ(TStar(g.Path()).MagMax, -9999);
}

TEST(StarFile, NamedStarsMatchByBayerOrElseByFlamsteed) {
    TTempFile f("star_named");
    f.Write(std::vector<TStarRecord>{
        Rec(83, 0, 81, 500, 3.0f, 0.9f),   // 0: another unlettered UMa star, not Alcor
        Rec(83, 0, 80, 399, 3.5f, 0.96f),  // 1: Alcor
        Rec(36, 100, 0, 45, 0.4f, -1.0f),  // 2: Achernar, no Flamsteed number
        Rec(13, 100, 0, -62, 1.7f, -0.9f), // 3: Canopus
        Rec(13, 100, 7, 300),              // 4: Bayer 100 with another Flamsteed: still Canopus
        Rec(72, 200, 21, 100),             // 5: Flamsteed 21 but the wrong letter: not Antares
        Rec(31, 201, 6, 305, 5.1f, 0.49f), // 6: Albireo
        Rec(31, 202, 6, 510),              // 7: its companion
    });
    TStar s(f.Path());
    EXPECT_EQ(Named(s, "Alcor").record, 1);
    EXPECT_FLOAT_EQ(Named(s, "Alcor").ra, 3.5f);
    EXPECT_FLOAT_EQ(Named(s, "Alcor").dec, 0.96f);
    EXPECT_EQ(Named(s, "Achernar").record, 2);
    EXPECT_EQ(Named(s, "Canopus").record, 4); // the last match in file order wins
    EXPECT_EQ(Named(s, "Antares").record, -1);
    EXPECT_EQ(Named(s, "Albireo").record, 6);
    EXPECT_EQ(Named(s, "Sirius").record, -1);
}

TEST(StarNames, BayerLettersInThreeForms) {
    EXPECT_EQ(TStar::GetBayer(3, 201), "Beta1");
    EXPECT_EQ(TStar::GetBayer(1, 0), "");
    EXPECT_EQ(TStar::GetBayer(1, 1500), "ο");
    EXPECT_EQ(TStar::GetBayer(1, 100), "α");
    EXPECT_EQ(TStar::GetBayer(1, 2412), "ω12");
    EXPECT_EQ(TStar::GetBayer(2, 803), "q3"); // theta is "q" in a Greek symbol font
    EXPECT_EQ(TStar::GetBayer(3, 1500), "Omicron");
    EXPECT_EQ(TStar::GetBayer(3, 2000), "Upsilon");
    // Out-of-range codes and types write nothing rather than reading past the tables.
    EXPECT_EQ(TStar::GetBayer(4, 100), "");
    EXPECT_EQ(TStar::GetBayer(0, 100), "");
    EXPECT_EQ(TStar::GetBayer(1, 2500), "");
    EXPECT_EQ(TStar::GetBayer(1, 99), "");
    char buf[16] = "garbage";
    TStar::GetBayer(3, 1899, buf);
    EXPECT_STREQ(buf, "Sigma99");
}

TEST(StarNames, ProperNamesByConstellationAndFlamsteedNumber) {
    TStar s("/nonexistent/Star.dat");
    EXPECT_EQ(s.GetNameSci(46, 32), "Regulus");
    EXPECT_EQ(s.GetNameJpn(46, 32), "レグルス");
    EXPECT_EQ(s.GetNameSci(46, 1), "");
    EXPECT_EQ(s.GetNameSci(83, 80), "Alcor");
    EXPECT_EQ(s.GetNameSci(8, 13), "Capella");
    EXPECT_EQ(s.GetNameJpn(84, 1), "北極星");
    // Unnumbered stars of Eridanus and Carina are not all Achernar and Canopus.
    EXPECT_EQ(s.GetNameSci(36, 0), "");
    EXPECT_EQ(s.GetNameSci(36, 0, 200), "");
    EXPECT_EQ(s.GetNameSci(36, 0, 100), "Achernar");
    EXPECT_EQ(s.GetNameJpn(13, 0, 100), "カノープス");

    EXPECT_EQ(TStar::GetSpectName(0), "");
    EXPECT_EQ(TStar::GetSpectName(8), "");
    EXPECT_EQ(TStar::GetSpectName(1), "M");
    EXPECT_EQ(TStar::GetSpectName(7), "O");
}

// The proper-motion side file: used only when it lines up with the catalogue,
// moving the records and the named stars with the date; anything else leaves
// the stars where the catalogue has them, with the reason.
TEST(StarMotion, SideFileMovesTheStarsOrIsLeftOutWithAReason) {
    // Sirius (9 CMa) and a still star.
    const std::vector<TStarRecord> recs{Rec(20, 100, 9, -146, 1.767791f, -0.291751f),
                                        Rec(2, 0, 0, 510)};
    TTempFile f("star_pm");
    f.Write(recs);
    TStar none(f.Path());
    EXPECT_EQ(none.Motions, nullptr); // no side file: no motion, no complaint
    EXPECT_TRUE(none.MotionError.empty());
    none.MoveTo(TMjd::J2000 + 365250.0);
    EXPECT_FLOAT_EQ(none[0].ra, 1.767791f);

    const std::string side = TStar::MotionPath(f.Path());
    EXPECT_EQ(TStar::MotionPath("/a/Star.dat"), "/a/StarPm.dat");
    {
        std::FILE* out = std::fopen(side.c_str(), "wb");
        const TStarMotion m[2] = {{-546.01f, -1223.07f}, {0.0f, 0.0f}};
        std::fwrite(m, sizeof m, 1, out);
        std::fclose(out);
    }
    TStar s(f.Path());
    ASSERT_NE(s.Motions, nullptr) << s.MotionError;
    const std::uint32_t g = s.Generation;
    // A thousand years on: Sirius 1340" further along, to the south-west.
    s.MoveTo(TMjd::J2000 + 365250.0);
    EXPECT_NE(s.Generation, g);
    const double ddec = (s[0].dec - recs[0].dec) * 206264.806;
    const double dra = (s[0].ra - recs[0].ra) * std::cos(recs[0].dec) * 206264.806;
    EXPECT_NEAR(ddec, -1223.07, 2.0);
    EXPECT_NEAR(dra, -546.01, 2.0);
    EXPECT_FLOAT_EQ(s[1].ra, recs[1].ra);
    EXPECT_FLOAT_EQ(Named(s, "Sirius").dec, s[0].dec);
    // The same day again moves nothing; back at J2000 the file's places return.
    const std::uint32_t g2 = s.Generation;
    s.MoveTo(TMjd::J2000 + 365250.2);
    EXPECT_EQ(s.Generation, g2);
    s.MoveTo(TMjd::J2000);
    EXPECT_FLOAT_EQ(s[0].ra, recs[0].ra);
    EXPECT_FLOAT_EQ(s[0].dec, recs[0].dec);

    // Wrong length, impossible values, a catalogue with a record left out.
    auto refused = [&](const std::vector<TStarMotion>& m, const std::vector<TStarRecord>& cat) {
        TTempFile c("star_pm_bad");
        c.Write(cat);
        const std::string p = TStar::MotionPath(c.Path());
        std::FILE* out = std::fopen(p.c_str(), "wb");
        std::fwrite(m.data(), sizeof(TStarMotion), m.size(), out);
        std::fclose(out);
        TStar t(c.Path());
        std::remove(p.c_str());
        t.MoveTo(TMjd::J2000 + 3e5);
        EXPECT_FLOAT_EQ(t[0].ra, cat[0].ra);
        return t.Motions == nullptr;
    };
    EXPECT_TRUE(refused({{1.0f, 1.0f}}, recs));
    EXPECT_TRUE(refused({{1.0f, 1.0f}, {std::nanf(""), 0.0f}}, recs));
    EXPECT_TRUE(refused({{1.0f, 1.0f}, {3e4f, 0.0f}}, recs));
    std::vector<TStarRecord> withBad = recs;
    withBad.resize(200, Rec(2, 0, 0, 510));
    withBad.push_back(Rec(2, 0, 0, 500, 1.0f, 7.0f)); // declination past the pole
    EXPECT_TRUE(refused(std::vector<TStarMotion>(withBad.size(), {1.0f, 1.0f}), withBad));
    std::remove(side.c_str());
}

namespace {

// A catalogue of n stars spread over the sky with motions of every size up
// to the fastest allowed (one in eight standing still), and its side file.
struct TMovingCatalogue {
    TTempFile file{"star_moving"};
    std::string side;
    std::vector<TStarRecord> recs;
    std::vector<TStarMotion> motions;

    explicit TMovingCatalogue(int n) {
        std::uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return (seed >> 8) / 16777216.0;
        };
        for (int i = 0; i < n; ++i) {
            recs.push_back(Rec(1 + i % 88, 0, 0, 600 + i % 700,
                               static_cast<float>(next() * 6.2831), static_cast<float>(
                                                                        std::asin(2 * next() - 1))));
            const bool still = i % 8 == 0;
            motions.push_back({still ? 0.0f : static_cast<float>((next() - 0.5) * 40000 * next()),
                               still ? 0.0f : static_cast<float>((next() - 0.5) * 40000 * next())});
        }
        file.Write(recs);
        side = TStar::MotionPath(file.Path());
        std::FILE* out = std::fopen(side.c_str(), "wb");
        std::fwrite(motions.data(), sizeof(TStarMotion), motions.size(), out);
        std::fclose(out);
    }
    ~TMovingCatalogue() { std::remove(side.c_str()); }
};

} // namespace

// A catalogue large enough to be moved on two threads: every star, whichever
// half it is in, stands where the motion of that star alone puts it, to the
// bit, at the first move and at every later one (forth and back).
TEST(StarMotion, ALargeCatalogueMovesEachStarAsItsOwnMotionSays) {
    const int n = static_cast<int>(TStar::kSplitFrom) * 2 + 7;
    TMovingCatalogue cat(n);
    TStar s(cat.file.Path());
    ASSERT_NE(s.Motions, nullptr) << s.MotionError;
    ASSERT_EQ(s.Count, n);
    for (double days : {9131.0, 9132.0, -365250.0, 0.0, 36524.0, 9131.0}) {
        s.MoveTo(TMjd::J2000 + days);
        int wrong = 0;
        for (int i = 0; i < n; ++i) {
            const TStarMotion& m = cat.motions[i];
            float ra = cat.recs[i].ra, dec = cat.recs[i].dec;
            if (m.pmRa != 0.0f || m.pmDec != 0.0f) {
                double r, d;
                TMjd::ProperMotion(cat.recs[i].ra, cat.recs[i].dec, m.pmRa, m.pmDec,
                                   days / 365.25, r, d);
                ra = static_cast<float>(r);
                dec = static_cast<float>(d);
            }
            if (std::memcmp(&ra, &s[i].ra, sizeof ra) != 0 ||
                std::memcmp(&dec, &s[i].dec, sizeof dec) != 0) {
                if (++wrong <= 3) ADD_FAILURE() << "star " << i << " at day " << days;
            }
        }
        EXPECT_EQ(wrong, 0) << "day " << days;
    }
}

// Places worked out ahead on another thread, while the catalogue is moved on
// this one, are the places a move works out itself; they are taken only by a
// move to their own day.
TEST(StarMotion, PlacesWorkedOutAheadAreTheSameAndOnlyForTheirDay) {
    const int n = static_cast<int>(TStar::kSplitFrom) + 11;
    TMovingCatalogue cat(n);
    TStar ahead(cat.file.Path()), plain(cat.file.Path());
    ASSERT_NE(ahead.Motions, nullptr) << ahead.MotionError;
    auto same = [&] {
        return std::memcmp(&ahead[0], &plain[0], sizeof(TStarRecord) * n) == 0;
    };
    for (double days : {9131.2, -36524.0, 400.0}) {
        std::thread worker([&] { ahead.Prepare(TMjd::J2000 + days + 0.2); });
        // Meanwhile the window moves the catalogue to dates of its own.
        ahead.MoveTo(TMjd::J2000 + days - 40);
        ahead.MoveTo(TMjd::J2000 + days + 40);
        worker.join();
        const std::uint32_t taken = ahead.PreparedMoves;
        ahead.MoveTo(TMjd::J2000 + days);
        plain.MoveTo(TMjd::J2000 + days);
        EXPECT_EQ(ahead.PreparedMoves, taken + 1) << days;
        EXPECT_TRUE(same()) << days;
        // Another day: worked out on the spot.
        ahead.MoveTo(TMjd::J2000 + days + 1);
        plain.MoveTo(TMjd::J2000 + days + 1);
        EXPECT_EQ(ahead.PreparedMoves, taken + 1) << days;
        EXPECT_TRUE(same()) << days;
    }
    EXPECT_EQ(plain.PreparedMoves, 0u);
}
