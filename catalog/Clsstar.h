#pragma once
// TStar: the star catalogue "Star.dat", a bare array of 16-byte records read
// into memory at construction, plus the 37 stars with proper names.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include <mutex>
#include <vector>

#include "astro/Clsmjd.h"
#include "catalog/Catalogfile.h"

static_assert(std::endian::native == std::endian::little, "the catalogue files are little-endian");

struct TStarRecord {
    std::uint16_t flamsteed; // Flamsteed number, 0 = none
    std::uint16_t bayer;     // letter number x 100 + superscript, 0 = none
    float ra;                // radians, J2000
    float dec;               // radians
    std::int16_t mag;        // magnitude x 100; 9990 and above: no usable magnitude
    std::uint8_t con;        // constellation number (TConstellation rows)
    std::uint8_t spect;      // 1 M, 2 K, 3 G, 4 F, 5 A, 6 B, 7 O, other unknown
};
static_assert(sizeof(TStarRecord) == 16, "Star.dat records are 16 bytes");

// One record of the proper-motion side file beside a catalogue ("StarPm.dat"
// beside "Star.dat"): the same order as the catalogue's records, in
// milliarcseconds a year, the motion in right ascension times cos dec.
struct TStarMotion {
    float pmRa;
    float pmDec;
};
static_assert(sizeof(TStarMotion) == 8, "proper-motion records are 8 bytes");

struct TNamedStar {
    std::uint8_t con;
    std::uint16_t bayer;
    std::uint16_t flamsteed;
    std::int32_t record; // index of the matching record, -1 when none matched
    float ra;            // copied from that record (0 when none)
    float dec;
    const char* nameJpn; // UTF-8
    const char* nameSci;
};

class TStar {
public:
    static constexpr int NamedMax = 37;
    static constexpr std::int16_t MagUnusable = 9990;

    explicit TStar(const char* path);
    explicit TStar(const std::string& path) : TStar(path.c_str()) {}
    ~TStar() = default;
    TStar(const TStar&) = delete;
    TStar& operator=(const TStar&) = delete;

    // The records (nullptr when Count is 0). Valid for the object's life.
    const TStarRecord* Records = nullptr;
    std::int32_t Count = 0;
    // The largest magnitude below 9990 in the file; -9999 when there is none.
    std::int16_t MagMax = -9999;
    TNamedStar Named[NamedMax];
    std::int32_t NamedCount = NamedMax;
    // Why the catalogue is empty (missing, unreadable, damaged or implausible
    // file), for the window.
    std::string Error;

    const TStarRecord& operator[](int i) const { return Records[i]; }

    // The proper motions (nullptr without a usable side file: the stars then
    // stand still) and why a side file that exists was not used.
    const TStarMotion* Motions = nullptr;
    std::string MotionError;
    // The side file of a catalogue file: "Star.dat" -> "StarPm.dat".
    static std::string MotionPath(const std::string& catalogue);
    // Moves the records' places (and the named stars') to the UT instant mjd,
    // to the day, on the J2000 equator: the place of each star at that date.
    // Nothing to do without motions or when already there.
    void MoveTo(double mjd);
    // From this many records on, MoveTo works on two threads.
    static constexpr std::size_t kSplitFrom = 20000;
    // Works out the places at mjd (to the day) ahead, on any thread, while
    // the catalogue is read and moved on another; a later MoveTo to the same
    // day takes them instead of working them out. The places are the same.
    void Prepare(double mjd);
    // The moves that took places worked out ahead.
    std::uint32_t PreparedMoves = 0;
    // Changes whenever MoveTo moves the places, for those who keep copies.
    std::uint32_t Generation = 0;

    // type 1 Greek letter (UTF-8), 2 key of a Greek symbol font, 3 the letter's
    // name; superscript digits follow. dst must hold 16 bytes.
    static void GetBayer(int type, unsigned short code, char* dst);
    static std::string GetBayer(int type, unsigned short code);
    // Names by constellation and Flamsteed number. Achernar and Canopus have no
    // Flamsteed number: a flamsteed of 0 matches only together with the Bayer
    // code, otherwise every unnumbered star of Eridanus would be "Achernar".
    std::string GetNameJpn(int con, int flamsteed, int bayer = -1) const;
    std::string GetNameSci(int con, int flamsteed, int bayer = -1) const;
    static std::string GetSpectName(int code);
    // Can the record be a star of this catalogue at all? A place on the sky,
    // a magnitude no brighter than -30, a constellation row and a Bayer
    // letter that exist.
    static bool Plausible(const TStarRecord& r);

private:
    static double DayOf(double mjd);
    // Record i's place `years` after J2000.0.
    void Place(std::size_t i, double years, float& ra, float& dec) const;
    const TNamedStar* FindNamed(int con, int flamsteed, int bayer) const;
    void LoadMotions(const std::string& path);
    std::vector<TStarRecord> records_;
    std::vector<TStarRecord> epoch2000_; // the places of the file, J2000.0
    std::vector<TStarMotion> motions_;
    // The sines and cosines of the J2000 places of the stars that move.
    std::vector<TMjd::TPlaceTrig> trig2000_;
    // Places worked out ahead by Prepare (ra, dec by record) and their day.
    std::mutex spareLock_;
    std::vector<float> spare_;
    double spareDay_ = std::nan("");
    double day_ = 0.0; // days after J2000.0 of the current places
};
