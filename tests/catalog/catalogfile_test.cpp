// Catalogue files that are not what they should be: changed on disk while in
// use, a FIFO, far too large, or full of impossible records. None may crash
// or hang the program; each is refused with a message that names the file.
#include <chrono>
#include <cmath>
#include <limits>
#include <fcntl.h>
#include <future>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Catalogfiles.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

namespace {

TStarRecord Star(int i) {
    TStarRecord r{};
    r.ra = 0.001f * static_cast<float>(i % 6000);
    r.dec = -1.5f + 0.0001f * static_cast<float>(i % 30000);
    r.mag = static_cast<std::int16_t>(-100 + i % 1400);
    r.con = static_cast<std::uint8_t>(1 + i % 89);
    r.bayer = static_cast<std::uint16_t>(i % 3 == 0 ? 100 * (1 + i % 24) : 0);
    r.flamsteed = static_cast<std::uint16_t>(i % 140);
    r.spect = static_cast<std::uint8_t>(i % 8);
    return r;
}

TNebulaRecord Nebula(int i) {
    TNebulaRecord r{};
    r.no = static_cast<std::uint16_t>(1 + i);
    r.ra = 0.002f * static_cast<float>(i % 3000);
    r.dec = -1.2f + 0.001f * static_cast<float>(i % 2400);
    r.mag = static_cast<std::int16_t>(i % 1600);
    r.major = 0.0001f * static_cast<float>(i % 100);
    r.minor = r.major / 2;
    r.pa = static_cast<std::uint8_t>(i % 180);
    r.con = static_cast<std::uint8_t>(1 + i % 89);
    r.type = static_cast<std::uint8_t>(1 + i % 7);
    return r;
}

template <class R> std::vector<R> Records(int n, R (*make)(int)) {
    std::vector<R> v;
    for (int i = 0; i < n; ++i)
        v.push_back(make(i));
    return v;
}

void Contains(const std::string& text, const std::string& part) {
    EXPECT_NE(text.find(part), std::string::npos) << "\"" << part << "\" not in: " << text;
}

// A file of the given length without writing its bytes (sparse).
void Resize(const std::string& path, off_t bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, bytes), 0);
    ::close(fd);
}

} // namespace

TEST(CatalogueFile, ChangesOnDiskAfterLoadingDoNotReachTheRecords) {
    // The records used to be read from a live shared mapping: cutting the
    // file short killed the program (SIGBUS) at the next look at a star.
    const auto stars = Records(5000, Star);
    const auto deep = Records(700, Nebula);
    TTempFile sf("star_live"), nf("nebula_live");
    sf.Write(stars);
    nf.Write(deep);
    TStar s(sf.Path());
    TNebula n(nf.Path());
    ASSERT_EQ(s.Count, 5000);
    ASSERT_EQ(n.Count, 700);

    Resize(sf.Path(), 0);
    Resize(nf.Path(), 0);
    nf.Write(std::vector<TNebulaRecord>{Nebula(9)}); // and something else written over it
    for (int i = 0; i < s.Count; ++i) {
        ASSERT_EQ(s[i].ra, stars[i].ra) << i;
        ASSERT_EQ(s[i].mag, stars[i].mag) << i;
    }
    for (int i = 0; i < n.Count; ++i)
        ASSERT_EQ(n[i].no, deep[i].no) << i;
}

TEST(CatalogueFile, AFifoIsRefusedAtOnce) {
    // Opening a FIFO for reading waited for a writer for ever: the window
    // never appeared.
    TTempFile fifo("star_fifo");
    ASSERT_EQ(::mkfifo(fifo.Path().c_str(), 0600), 0);
    auto load = std::async(std::launch::async, [&] {
        TStar s(fifo.Path());
        TNebula n(fifo.Path());
        return std::make_pair(s.Count == 0 ? s.Error : std::string(),
                              n.Count == 0 ? n.Error : std::string());
    });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Free the waiting reader so that the test ends, then fail.
        for (int k = 0; k < 2; ++k) {
            int w = ::open(fifo.Path().c_str(), O_WRONLY | O_NONBLOCK);
            if (w >= 0) ::close(w);
            load.wait_for(std::chrono::seconds(1));
        }
        FAIL() << "reading a FIFO as a catalogue did not return";
    }
    const auto [starError, deepError] = load.get();
    Contains(starError, fifo.Path());
    Contains(starError, "not a plain file");
    Contains(deepError, "not a plain file");
}

TEST(CatalogueFile, OversizedFilesAreRefusedWithTheirSize) {
    // 28 x 2^31 bytes ended the program with std::length_error; 32 GiB of
    // stars gave a negative count, no stars and no word.
    TTempFile big("star_big"), huge("nebula_huge");
    Resize(big.Path(), off_t{32} << 30);
    Resize(huge.Path(), off_t{28} << 31);
    TStar s(big.Path());
    EXPECT_EQ(s.Count, 0);
    Contains(s.Error, big.Path());
    Contains(s.Error, "too large");
    Contains(s.Error, "34359738368");
    TNebula n(huge.Path());
    EXPECT_EQ(n.Count, 0);
    Contains(n.Error, huge.Path());
    Contains(n.Error, "too large");

    // Just over the limit is refused; at the limit (all zero records, which
    // are plausible stars at 0h 0 degrees) it loads.
    TTempFile edge("star_edge");
    Resize(edge.Path(), TCatalogFile::kMaxBytes + 16);
    EXPECT_EQ(TStar(edge.Path()).Count, 0);
    Resize(edge.Path(), TCatalogFile::kMaxBytes);
    EXPECT_EQ(TStar(edge.Path()).Count, static_cast<int>(TCatalogFile::kMaxBytes / 16));
}

TEST(CatalogueFile, RandomBytesAreRefusedAndAFewImpossibleRecordsDropped) {
    std::mt19937 rng(12);
    std::vector<unsigned char> bytes(16 * 28 * 200);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(rng());
    TTempFile junk("catalog_junk");
    junk.Write(bytes);
    TStar s(junk.Path());
    EXPECT_EQ(s.Count, 0);
    Contains(s.Error, junk.Path());
    Contains(s.Error, "not a valid catalogue");
    TNebula n(junk.Path());
    EXPECT_EQ(n.Count, 0);
    Contains(n.Error, junk.Path());
    Contains(n.Error, "not a valid catalogue");

    // One impossible record in each kind of field among 1000 sound ones is
    // under the share that refuses the file: those records alone go.
    auto stars = Records(1000, Star);
    stars[10].ra = std::nanf("");
    stars[20].dec = 1.6f;
    stars[30].mag = -5000;
    stars[40].con = 90;
    stars[50].bayer = 2500;
    TTempFile sf("star_few_bad");
    sf.Write(stars);
    TStar few(sf.Path());
    EXPECT_TRUE(few.Error.empty()) << few.Error;
    ASSERT_EQ(few.Count, 995);
    EXPECT_EQ(few[10].mag, stars[11].mag); // the records after a dropped one move up

    auto deep = Records(1000, Nebula);
    deep[1].major = -1.0f;
    deep[2].minor = std::numeric_limits<float>::infinity();
    deep[3].type = 8;
    deep[4].ra = 7.0f;
    deep[5].mag = -600;
    TTempFile nf("nebula_few_bad");
    nf.Write(deep);
    TNebula fewDeep(nf.Path());
    EXPECT_TRUE(fewDeep.Error.empty()) << fewDeep.Error;
    ASSERT_EQ(fewDeep.Count, 995);
    EXPECT_EQ(fewDeep[1].no, deep[6].no);

    // Twelve bad in a thousand is too many.
    for (int i = 0; i < 7; ++i)
        stars[100 + i].con = 200;
    sf.Write(stars);
    TStar many(sf.Path());
    EXPECT_EQ(many.Count, 0);
    Contains(many.Error, "12 of its 1000 records");
}
