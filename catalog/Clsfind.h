#pragma once
// TFindIndex: every object the program knows by name, for the find field of
// the chart window and the chart tool's --center. Built once from the
// catalogues. Names and queries are folded the same way (case, accents,
// Greek letters spelt out, spaces, hyphens and punctuation dropped), so
// "NGC7000", "ngc 7000", "α Ori" and "alpha-ori" each meet their object.
// A query matches a whole name, a prefix of it, or a prefix of one of its
// words; within each of those ranks the better-known and brighter objects
// come first.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TStar;
class TNebula;
class TConstellation;
class TNameList;

class TFindIndex {
public:
    // Object kinds, as the chart window's selected object counts them, plus
    // the constellations and the option-file objects.
    // Asterism: a named place that no catalogue record holds (Names.txt).
    enum Kind {
        Star = 2,
        Body = 3,
        DeepSky = 4,
        Satellite = 5,
        Constellation = 6,
        Marker = 7,
        Asterism = 9 // 8: the window's comets and asteroids
    };
    enum Rank { Exact = 0, Prefix = 1, WordPrefix = 2 };
    static constexpr int MaxHip = 120416; // the highest Hipparcos number

    struct THit {
        int Kind = 0;
        // star record, body 0-9, deep-sky record, satellite 11-14,
        // constellation row 1-89, option object's number
        int Number = 0;
        std::string Name;     // "Betelgeuse", "M31 Andromeda galaxy"
        std::string Also;     // other designations: "α Ori, 58 Ori, HIP 27989"
        std::string KindText; // "star", "galaxy", "constellation", ...
        bool HasMag = false;  // bodies move: their magnitude is the caller's
        double Mag = 0.0;
        bool HasPlace = false; // J2000 radians; bodies and satellites have none
        double Ra = 0.0, Dec = 0.0;
        int Rank = Exact;
    };

    // An option-file object.
    struct TMarkerName {
        std::string Name;
        double Ra = 0.0, Dec = 0.0;
        int Id = 0;
    };

    // Any source may be missing (null or empty). hip: the Hipparcos number of
    // each record of star (see ParseHipNumbers); without it HIP names and the
    // star names of the name list are off.
    void Build(const TStar* star, const TNebula* nebula, const TConstellation* con,
               const std::vector<std::uint32_t>& hip, const std::vector<TMarkerName>& markers,
               const TNameList* names = nullptr);

    // Up to max suggestions, best first. Any text is a query; one that folds to
    // nothing, or to more than MaxKey bytes, matches nothing.
    std::vector<THit> Find(std::string_view query, int max = 12) const;
    // The names of up to max objects whose names are nearest to the query (by
    // edit distance on the folded names), nearest first; for "did you mean".
    std::vector<std::string> Nearest(std::string_view query, int max = 3) const;

    // The folded form of a text (what names and queries are compared in).
    static std::string Fold(std::string_view text);

    // The side file beside Star.dat: one little-endian uint32 Hipparcos number
    // per star record. Empty with why set when its size does not fit records
    // or a number is out of range.
    static std::vector<std::uint32_t> ParseHipNumbers(std::string_view bytes, int records,
                                                      std::string& why);
    static std::vector<std::uint32_t> ReadHipNumbers(const std::string& path, int records,
                                                     std::string& why);
    static constexpr const char* HipFileName = "Starhip.dat";

    int EntryCount() const { return static_cast<int>(entries_.size()); }
    int KeyCount() const { return static_cast<int>(keys_.size()); }
    std::size_t MemoryBytes() const; // what the index holds on the heap

    static constexpr int MaxKey = 200; // folded bytes; longer than any name

private:
    struct TEntry {
        std::uint8_t kind;
        std::uint8_t tier; // 0 solar system, 1 named, 2 Bayer, 3 Flamsteed, 4 NGC/IC, 5 HIP
        std::uint8_t kindText;
        std::uint8_t hasPlace;
        std::int32_t number;
        std::int32_t mag100;      // kNoMag when none
        std::uint32_t name, also; // offsets into text_, zero-terminated
        float ra, dec;
    };
    struct TKey {
        std::uint32_t off; // into keyText_
        std::uint32_t entry;
        std::uint16_t len;
        // kMain: the object's name or its main designation; kAlias: another
        // writing (genitive, Japanese, other designations), ranked after the
        // main ones within a rank; kWord: a word inside a name.
        std::uint8_t kind;
    };
    enum { kMain = 0, kAlias = 1, kWord = 2 };
    static constexpr std::int32_t kNoMag = 99999;

    std::uint32_t AddText(const std::string& s);
    std::uint32_t AddEntry(int kind, int tier, int kindText, int number, int mag100,
                           const std::string& name, const std::string& also, bool place, double ra,
                           double dec);
    // Keys of one name: its whole folded form and, with words, each word on.
    void AddName(std::uint32_t entry, std::string_view name, bool words, bool alias = false);
    void AddKey(std::uint32_t entry, const std::string& folded, int kind);
    std::string_view KeyText(const TKey& k) const { return {keyText_.data() + k.off, k.len}; }
    THit MakeHit(std::uint32_t entry, int rank) const;
    THit StarHit(int record, int rank) const;
    // rank: Rank x 2, plus 1 when found through an alias.
    static bool Before(const TEntry& a, int rankA, const TEntry& b, int rankB);

    std::vector<TEntry> entries_;
    std::vector<TKey> keys_;
    std::string text_;                      // display texts
    std::string keyText_;                   // folded keys
    std::vector<std::int32_t> hipRecord_;   // Hipparcos number -> star record, -1 none
    std::vector<std::uint32_t> hipOf_;      // star record -> Hipparcos number
    std::vector<std::int32_t> recordEntry_; // star record -> entry, -1 none
    const TStar* star_ = nullptr;
};
