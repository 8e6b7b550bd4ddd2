#pragma once
// TNameList: the side file "Names.txt" beside the catalogues, the names of
// stars (by Hipparcos number) and deep-sky objects (by catalogue number) that
// the built-in tables lack, in English first and in other languages, and a
// few asterisms that no catalogue record holds. The file is text anyone can
// edit, so any bytes are read: a name is kept as far as it is valid UTF-8,
// lines that make no sense are skipped and counted.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStar;

class TNameList {
public:
    static constexpr const char* FileName = "Names.txt";
    static constexpr std::size_t MaxBytes = 8u << 20;
    static constexpr std::size_t MaxName = 120; // bytes kept of one name
    static constexpr std::size_t MaxNamesPerObject = 40;

    struct TPlace {
        std::string Name;
        double Ra = 0.0, Dec = 0.0; // J2000, radians
    };

    // Replaces the list with the file's names. Skipped lines are counted in
    // Skipped; why names the first of them (empty when none).
    void Parse(std::string_view bytes, std::string& why);
    // A missing file is no error (no names); an unreadable one is.
    bool Read(const std::string& path, std::string& why);

    // The names of a star or a deep-sky object, the one to show first; null
    // when it has none.
    const std::vector<std::string>* OfStar(std::uint32_t hip) const;
    const std::vector<std::string>* OfDeepSky(int number) const;
    const std::vector<TPlace>& Places() const { return places_; }
    int Skipped = 0;

    // Star records to Hipparcos numbers (Starhip.dat), so that a record finds
    // its name. Empty: no star names.
    std::vector<std::uint32_t> Hip;
    // The name shown for star record i: its first name, or "".
    const std::string& StarName(int record) const;
    std::uint32_t HipOf(int record) const;
    // The proper name of star record i of star: the built-in table's, else
    // the list's first; "" when it has none.
    std::string ProperName(const TStar& star, int record) const;
    // What a star of star is called in a short list: its proper name, else its
    // Bayer letter or Flamsteed number with the constellation's abbreviation
    // ("α CMa", "7 Cnc"), else "HIP n"; "" when none of them is known. A
    // record past star's (a deep star) has none.
    std::string StarLabel(const TStar& star, int record, const char* abbr) const;

    // A name of the built-in tables as it is written: words apart
    // ("CanisMinor" -> "Canis Minor") and the kind of object with a capital
    // ("NorthAmerica nebula" -> "North America Nebula").
    static std::string Spelt(std::string_view name);

    // The longest start of text that is valid UTF-8 without control characters.
    static std::string ValidPrefix(std::string_view text);

private:
    std::unordered_map<std::uint32_t, std::vector<std::string>> stars_;
    std::unordered_map<int, std::vector<std::string>> deep_;
    std::vector<TPlace> places_;
};
