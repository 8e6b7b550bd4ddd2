#include "catalog/Clsfind.h"

#include "astro/Clsplanet.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "catalog/Safefile.h"

#include <algorithm>
#include <cstring>

namespace {

// The Greek letters as folded text: "α" and "Alpha" both become "alpha".
const char* const kGreekFolded[24] = {"alpha", "beta",    "gamma",   "delta", "epsilon", "zeta",
                                      "eta",   "theta",   "iota",    "kappa", "lambda",  "mu",
                                      "nu",    "xi",      "omicron", "pi",    "rho",     "sigma",
                                      "tau",   "upsilon", "phi",     "chi",   "psi",     "omega"};
// The three-letter abbreviations of the Bayer letters in the public star lists.
const char* const kGreekAbbr[24] = {"alf", "bet", "gam", "del", "eps", "zet", "eta", "tet",
                                    "iot", "kap", "lam", "mu",  "nu",  "ksi", "omi", "pi",
                                    "rho", "sig", "tau", "ups", "phi", "chi", "psi", "ome"};

struct TGenitive {
    const char* abbr;
    const char* genitive;
};
const TGenitive kGenitive[] = {
    {"And", "Andromedae"},
    {"Ant", "Antliae"},
    {"Aps", "Apodis"},
    {"Aqr", "Aquarii"},
    {"Aql", "Aquilae"},
    {"Ara", "Arae"},
    {"Ari", "Arietis"},
    {"Aur", "Aurigae"},
    {"Boo", "Bootis"},
    {"Cae", "Caeli"},
    {"Cam", "Camelopardalis"},
    {"Cnc", "Cancri"},
    {"CVn", "Canum Venaticorum"},
    {"CMa", "Canis Majoris"},
    {"CMi", "Canis Minoris"},
    {"Cap", "Capricorni"},
    {"Car", "Carinae"},
    {"Cas", "Cassiopeiae"},
    {"Cen", "Centauri"},
    {"Cep", "Cephei"},
    {"Cet", "Ceti"},
    {"Cha", "Chamaeleontis"},
    {"Cir", "Circini"},
    {"Col", "Columbae"},
    {"Com", "Comae Berenices"},
    {"CrA", "Coronae Australis"},
    {"CrB", "Coronae Borealis"},
    {"Crv", "Corvi"},
    {"Crt", "Crateris"},
    {"Cru", "Crucis"},
    {"Cyg", "Cygni"},
    {"Del", "Delphini"},
    {"Dor", "Doradus"},
    {"Dra", "Draconis"},
    {"Equ", "Equulei"},
    {"Eri", "Eridani"},
    {"For", "Fornacis"},
    {"Gem", "Geminorum"},
    {"Gru", "Gruis"},
    {"Her", "Herculis"},
    {"Hor", "Horologii"},
    {"Hya", "Hydrae"},
    {"Hyi", "Hydri"},
    {"Ind", "Indi"},
    {"Lac", "Lacertae"},
    {"Leo", "Leonis"},
    {"LMi", "Leonis Minoris"},
    {"Lep", "Leporis"},
    {"Lib", "Librae"},
    {"Lup", "Lupi"},
    {"Lyn", "Lyncis"},
    {"Lyr", "Lyrae"},
    {"Men", "Mensae"},
    {"Mic", "Microscopii"},
    {"Mon", "Monocerotis"},
    {"Mus", "Muscae"},
    {"Nor", "Normae"},
    {"Oct", "Octantis"},
    {"Oph", "Ophiuchi"},
    {"Ori", "Orionis"},
    {"Pav", "Pavonis"},
    {"Peg", "Pegasi"},
    {"Per", "Persei"},
    {"Phe", "Phoenicis"},
    {"Pic", "Pictoris"},
    {"Psc", "Piscium"},
    {"PsA", "Piscis Austrini"},
    {"Pup", "Puppis"},
    {"Pyx", "Pyxidis"},
    {"Ret", "Reticuli"},
    {"Sge", "Sagittae"},
    {"Sgr", "Sagittarii"},
    {"Sco", "Scorpii"},
    {"Scl", "Sculptoris"},
    {"Sct", "Scuti"},
    {"Ser", "Serpentis"},
    {"Sex", "Sextantis"},
    {"Tau", "Tauri"},
    {"Tel", "Telescopii"},
    {"Tri", "Trianguli"},
    {"TrA", "Trianguli Australis"},
    {"Tuc", "Tucanae"},
    {"UMa", "Ursae Majoris"},
    {"UMi", "Ursae Minoris"},
    {"Vel", "Velorum"},
    {"Vir", "Virginis"},
    {"Vol", "Volantis"},
    {"Vul", "Vulpeculae"},
};

const char* GenitiveOf(const char* abbr) {
    for (const TGenitive& g : kGenitive)
        if (std::strcmp(g.abbr, abbr) == 0) return g.genitive;
    return "";
}

// What the kinds are called in the list.
const char* const kKindText[] = {"star",
                                 "planet",
                                 "dwarf planet",
                                 "sun",
                                 "moon",
                                 "moon of Jupiter",
                                 "galaxy",
                                 "open cluster",
                                 "globular cluster",
                                 "nebula",
                                 "planetary nebula",
                                 "cluster+nebula",
                                 "dark nebula",
                                 "star (NGC/IC)",
                                 "deep-sky",
                                 "constellation",
                                 "marker",
                                 "asterism"};
enum {
    kStar,
    kPlanet,
    kDwarf,
    kSun,
    kMoon,
    kJovian,
    kGalaxy,
    kOpen,
    kGlobular,
    kNebula,
    kPlanetary,
    kClusterNebula,
    kDark,
    kNgcStar,
    kDeepSky,
    kConstellation,
    kMarkerText,
    kAsterism
};

int DeepSkyText(int type) {
    switch (type) {
    case 0:
        return kNgcStar;
    case 1:
        return kGalaxy;
    case 2:
        return kOpen;
    case 3:
        return kGlobular;
    case 4:
        return kNebula;
    case 5:
        return kPlanetary;
    case 6:
        return kClusterNebula;
    case 7:
        return kDark;
    default:
        return kDeepSky;
    }
}

// Latin letters with accents from U+00C0 and U+0100 on, by their base letter
// ('\0': not a letter, a separator).
const char kLatin1[] = "aaaaaaaceeeeiiiidnooooo\0ouuuuytsaaaaaaaceeeeiiiidnooooo\0ouuuuyty";
const char kLatinA[] =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnn"
    "oooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
static_assert(sizeof kLatin1 == 65 && sizeof kLatinA == 129);

// Decodes one UTF-8 sequence at s[i]; -1 (and one byte consumed) when the
// bytes are no valid sequence.
int NextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return -1;
    }
    int cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c >> 6) != 2) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static const int minOf[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minOf[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return cp;
}

// Folds text; with starts, also the places in the result where a word of the
// original begins (after a separator, or at a capital that follows a small
// letter: the catalogues write "CorCaroli" and "NorthAmerica").
void FoldInto(std::string_view text, std::string& out, std::vector<std::size_t>* starts) {
    bool sep = true;        // a separator came before this point
    bool lastLower = false; // the last letter written was a small ASCII letter
    auto emit = [&](const char* p, std::size_t n, bool upper) {
        if (starts && !out.empty() && (sep || (upper && lastLower))) starts->push_back(out.size());
        out.append(p, n);
        sep = false;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t at = i;
        int cp = NextCodePoint(text, i);
        if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0; // full-width ASCII
        if (cp < 0) {
            sep = true;
            lastLower = false;
            continue;
        }
        if (cp < 0x80) {
            const char c = static_cast<char>(cp);
            if (c >= 'a' && c <= 'z') {
                emit(&c, 1, false);
                lastLower = true;
            } else if (c >= 'A' && c <= 'Z') {
                const char l = static_cast<char>(c - 'A' + 'a');
                emit(&l, 1, true);
                lastLower = false;
            } else if (c >= '0' && c <= '9') {
                emit(&c, 1, false);
                lastLower = false;
            } else if (c == '\'') {
                // "Bode's": no new word after an apostrophe
            } else {
                sep = true;
                lastLower = false;
            }
            continue;
        }
        lastLower = false;
        char base = 0;
        bool upper = false;
        if (cp == 0xDF) { // sharp s
            emit("ss", 2, false);
            continue;
        }
        if (cp >= 0xC0 && cp < 0x100) {
            base = kLatin1[cp - 0xC0];
            upper = cp < 0xDF;
        } else if (cp >= 0x100 && cp < 0x180) {
            base = kLatinA[cp - 0x100];
            upper = (cp & 1) == 0;
        }
        if (base != 0) {
            emit(&base, 1, upper);
            lastLower = !upper;
            continue;
        }
        if ((cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) || (cp >= 0x3B1 && cp <= 0x3C9)) {
            // No capital final sigma: the capitals after Rho sit one place lower.
            const int first = cp >= 0x3B1 ? 0x3B1 : 0x391;
            const int n = cp == 0x3C2 ? 17 : cp - first - (cp > first + 17 ? 1 : 0);
            const char* g = kGreekFolded[n];
            emit(g, std::strlen(g), false);
            continue;
        }
        if (cp == 0xB9 || cp == 0xB2 || cp == 0xB3 || (cp >= 0x2070 && cp <= 0x2079)) {
            const char d = cp == 0xB9   ? '1'
                           : cp == 0xB2 ? '2'
                           : cp == 0xB3 ? '3'
                                        : static_cast<char>('0' + cp - 0x2070);
            emit(&d, 1, false);
            continue;
        }
        if (cp == 0x2019) continue; // a typographic apostrophe, as '\''
        if ((cp >= 0x80 && cp < 0xC0) || (cp >= 0x2000 && cp <= 0x206F) || cp == 0x3000 ||
            cp == 0x30FB || (cp >= 0x3001 && cp <= 0x3003) || cp == 0xD7 || cp == 0xF7) {
            sep = true;
            continue;
        }
        // Any other character (kana, kanji, ...) stands for itself.
        emit(text.data() + at, i - at, false);
    }
}

// "CorCaroli" -> "Cor Caroli", for the names the tables write without spaces.
std::string SplitWords(const std::string& s) {
    return TNameList::Spelt(s);
}

// Bounded edit distance (insertions, deletions, substitutions).
int EditDistance(std::string_view a, std::string_view b, int limit) {
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit) return limit + 1;
    std::vector<int> row(m + 1);
    for (int j = 0; j <= m; ++j)
        row[j] = j;
    for (int i = 1; i <= n; ++i) {
        int diag = row[0], best = i;
        row[0] = i;
        for (int j = 1; j <= m; ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diag = up;
            best = std::min(best, row[j]);
        }
        if (best > limit) return limit + 1;
    }
    return row[m];
}

} // namespace

std::string TFindIndex::Fold(std::string_view text) {
    std::string out;
    FoldInto(text, out, nullptr);
    return out;
}

std::vector<std::uint32_t> TFindIndex::ParseHipNumbers(std::string_view bytes, int records,
                                                       std::string& why) {
    why.clear();
    if (records <= 0) return {};
    if (bytes.size() != static_cast<std::size_t>(records) * 4) {
        why = std::string(HipFileName) + ": " + std::to_string(bytes.size()) +
              " bytes, not 4 for each of the " + std::to_string(records) + " stars";
        return {};
    }
    std::vector<std::uint32_t> hip(records);
    std::memcpy(hip.data(), bytes.data(), bytes.size());
    for (int i = 0; i < records; ++i) {
        if (hip[i] == 0 || hip[i] > MaxHip) {
            why = std::string(HipFileName) + ": star " + std::to_string(i) + " has number " +
                  std::to_string(hip[i]) + ", no Hipparcos number";
            return {};
        }
    }
    return hip;
}

std::vector<std::uint32_t> TFindIndex::ReadHipNumbers(const std::string& path, int records,
                                                      std::string& why) {
    std::string bytes;
    // One number per star, so a longer file is no file of this catalogue.
    const std::size_t cap = records > 0 ? static_cast<std::size_t>(records) * 4 + 1 : 1;
    if (!TSafeFile::ReadAll(path, cap, bytes, why)) return {};
    return ParseHipNumbers(bytes, records, why);
}

std::uint32_t TFindIndex::AddText(const std::string& s) {
    const auto off = static_cast<std::uint32_t>(text_.size());
    text_ += s;
    text_ += '\0';
    return off;
}

std::uint32_t TFindIndex::AddEntry(int kind, int tier, int kindText, int number, int mag100,
                                   const std::string& name, const std::string& also, bool place,
                                   double ra, double dec) {
    TEntry e{};
    e.kind = static_cast<std::uint8_t>(kind);
    e.tier = static_cast<std::uint8_t>(tier);
    e.kindText = static_cast<std::uint8_t>(kindText);
    e.hasPlace = place ? 1 : 0;
    e.number = number;
    e.mag100 = mag100;
    e.name = AddText(name);
    e.also = AddText(also);
    e.ra = static_cast<float>(ra);
    e.dec = static_cast<float>(dec);
    entries_.push_back(e);
    return static_cast<std::uint32_t>(entries_.size() - 1);
}

void TFindIndex::AddKey(std::uint32_t entry, const std::string& folded, int kind) {
    if (folded.empty() || folded.size() > MaxKey) return;
    keys_.push_back({static_cast<std::uint32_t>(keyText_.size()), entry,
                     static_cast<std::uint16_t>(folded.size()), static_cast<std::uint8_t>(kind)});
    keyText_ += folded;
}

void TFindIndex::AddName(std::uint32_t entry, std::string_view name, bool words, bool alias) {
    std::string folded;
    std::vector<std::size_t> starts;
    FoldInto(name, folded, words ? &starts : nullptr);
    AddKey(entry, folded, alias ? kAlias : kMain);
    for (std::size_t s : starts)
        AddKey(entry, folded.substr(s), kWord);
}

void TFindIndex::Build(const TStar* star, const TNebula* nebula, const TConstellation* con,
                       const std::vector<std::uint32_t>& hip,
                       const std::vector<TMarkerName>& markers, const TNameList* names) {
    *this = TFindIndex();
    star_ = star;

    // The solar system: the Sun, the Moon, the planets in order of brightness
    // (a fixed order: their brightness changes), Pluto, Jupiter's moons.
    struct TBodyRow {
        int kind, number, text, order;
    };
    static const TBodyRow bodies[] = {
        {Body, 8, kSun, -2670},        {Body, 9, kMoon, -1270},       {Body, 1, kPlanet, -440},
        {Body, 3, kPlanet, -270},      {Body, 2, kPlanet, -100},      {Body, 0, kPlanet, -40},
        {Body, 4, kPlanet, 50},        {Body, 5, kPlanet, 570},       {Body, 6, kPlanet, 780},
        {Body, 7, kDwarf, 1430},       {Satellite, 13, kJovian, 460}, {Satellite, 11, kJovian, 500},
        {Satellite, 12, kJovian, 530}, {Satellite, 14, kJovian, 570},
    };
    for (const TBodyRow& b : bodies) {
        std::string latin, jpn;
        TPlanet::GetNameA(b.number, 2, latin);
        TPlanet::GetNameA(b.number, 0, jpn);
        const std::uint32_t e =
            AddEntry(b.kind, 0, b.text, b.number, b.order, latin, "", false, 0, 0);
        AddName(e, latin, true);
        AddName(e, jpn, false, true);
    }

    auto abbrOf = [con](int row) -> const char* {
        return con && row > 0 && row < TConstellation::RowCount ? con->Rows[row].abbr : "";
    };

    // Stars with a name or a designation.
    if (star && star->Count > 0) {
        recordEntry_.assign(star->Count, -1);
        if (static_cast<int>(hip.size()) == star->Count) {
            hipOf_ = hip;
            hipRecord_.assign(MaxHip + 1, -1);
            for (int i = 0; i < star->Count; ++i)
                if (hip[i] <= static_cast<std::uint32_t>(MaxHip)) hipRecord_[hip[i]] = i;
        }
        std::vector<const TNamedStar*> named(star->Count, nullptr);
        for (int k = 0; k < star->NamedCount; ++k)
            if (star->Named[k].record >= 0 && star->Named[k].record < star->Count)
                named[star->Named[k].record] = &star->Named[k];
        for (int i = 0; i < star->Count; ++i) {
            const TStarRecord& r = (*star)[i];
            const std::vector<std::string>* listed =
                names && !hipOf_.empty() ? names->OfStar(hipOf_[i]) : nullptr;
            if (named[i] == nullptr && listed == nullptr && r.bayer == 0 && r.flamsteed == 0)
                continue;
            const std::string abbr = abbrOf(r.con);
            const std::string gen = GenitiveOf(abbr.c_str());
            const int letter = r.bayer / 100, sup = r.bayer % 100;
            std::string bayer, flam;
            if (letter >= 1 && letter <= 24 && !abbr.empty())
                bayer = TStar::GetBayer(1, r.bayer) + " " + abbr;
            if (r.flamsteed != 0 && !abbr.empty()) flam = std::to_string(r.flamsteed) + " " + abbr;
            std::string name, also;
            auto addAlso = [&also](const std::string& s) {
                if (s.empty()) return;
                if (!also.empty()) also += ", ";
                also += s;
            };
            int tier = 1;
            if (named[i]) {
                name = SplitWords(named[i]->nameSci);
                addAlso(bayer);
                addAlso(flam);
            } else if (listed) {
                // Ranked by its designation: a named component must not pass
                // the brighter one when the designation is typed (61 Cyg).
                name = listed->front();
                tier = !bayer.empty() ? 2 : 3;
                addAlso(bayer);
                addAlso(flam);
            } else if (!bayer.empty()) {
                name = bayer;
                tier = 2;
                addAlso(flam);
            } else if (!flam.empty()) {
                name = flam;
                tier = 3;
            } else {
                continue;
            }
            if (!hipOf_.empty()) addAlso("HIP " + std::to_string(hipOf_[i]));
            const int mag = r.mag >= TStar::MagUnusable ? kNoMag : r.mag;
            const std::uint32_t e =
                AddEntry(Star, tier, kStar, i, mag, name, also, true, r.ra, r.dec);
            recordEntry_[i] = static_cast<std::int32_t>(e);
            if (named[i]) {
                AddName(e, name, true);
                AddName(e, named[i]->nameSci, false);
                AddName(e, named[i]->nameJpn, false, true);
            }
            if (listed) {
                // The first name is the one the list shows unless the built-in
                // table names the star; the others are other writings.
                for (std::size_t k = 0; k < listed->size(); ++k)
                    AddName(e, (*listed)[k], true, named[i] != nullptr || k > 0);
            }
            if (!bayer.empty()) {
                // Letter as a symbol or name, its abbreviation, with and
                // without the component's number; the constellation's
                // abbreviation or genitive.
                // abbreviation, with and without the component's number;
                // the constellation's abbreviation or genitive. The name the
                // list shows is the main one.
                const std::string folded[2] = {kGreekFolded[letter - 1], kGreekAbbr[letter - 1]};
                const std::string cons[2] = {Fold(abbr), Fold(gen)};
                for (int li = 0; li < 2; ++li)
                    for (int ci = 0; ci < 2; ++ci) {
                        const std::string& l = folded[li];
                        const std::string& c = cons[ci];
                        if (c.empty()) continue;
                        const int kind = tier == 2 && li == 0 && ci == 0 ? kMain : kAlias;
                        if (sup != 0) AddKey(e, l + std::to_string(sup) + c, kind);
                        AddKey(e, l + c, sup != 0 ? kAlias : kind);
                    }
            }
            if (!flam.empty()) {
                AddKey(e, std::to_string(r.flamsteed) + Fold(abbr), tier == 3 ? kMain : kAlias);
                if (!gen.empty()) AddKey(e, std::to_string(r.flamsteed) + Fold(gen), kAlias);
            }
        }
    }

    // Deep-sky objects: catalogue numbers, Messier designations, names.
    if (nebula) {
        for (int i = 0; i < nebula->Count; ++i) {
            const TNebulaRecord& r = (*nebula)[i];
            std::string catalog;
            if (r.no < 10000)
                catalog = "NGC " + std::to_string(r.no);
            else if (r.no < 20000)
                catalog = "IC " + std::to_string(r.no - 10000);
            std::string desig = nebula->GetMessier(i);
            std::string eng = nebula->GetName(i, 1), jpn = nebula->GetName(i, 0);
            // Notes in the name table ("M58?", "Star") name nothing.
            auto isNote = [](const std::string& s) {
                return s == "Star" || s.find('?') != std::string::npos ||
                       s.find("？") != std::string::npos;
            };
            if (isNote(eng)) eng.clear();
            if (isNote(jpn)) jpn.clear();
            eng = SplitWords(eng);
            const std::vector<std::string>* listed = names ? names->OfDeepSky(r.no) : nullptr;
            if (eng.empty() && listed) eng = listed->front();
            std::string desigShown = desig;
            if (desig.rfind("MEL", 0) == 0) desigShown = "Melotte " + desig.substr(3);
            const bool messier =
                desig.size() > 1 && desig[0] == 'M' && desig[1] >= '0' && desig[1] <= '9';
            std::string name, also;
            if (!desigShown.empty()) {
                name = desigShown;
                if (!eng.empty()) name += " " + eng;
                also = catalog;
            } else if (!catalog.empty()) {
                name = catalog;
                if (!eng.empty()) name += " " + eng;
            } else if (!eng.empty()) {
                name = eng;
            } else if (!jpn.empty()) {
                name = jpn;
            } else {
                continue; // an area without any name
            }
            const int tier = messier || !eng.empty() || !desig.empty() ? 1 : 4;
            const int mag = r.mag != 0 ? r.mag : kNoMag;
            const std::uint32_t e =
                AddEntry(DeepSky, tier, DeepSkyText(r.type), i, mag, name, also, true, r.ra, r.dec);
            if (!catalog.empty()) AddKey(e, Fold(catalog), kMain);
            if (!desig.empty()) AddKey(e, Fold(desig), kMain);
            if (desigShown != desig) AddKey(e, Fold(desigShown), kMain);
            if (messier) AddKey(e, "messier" + desig.substr(1), kAlias);
            if (!eng.empty()) AddName(e, eng, true);
            if (!jpn.empty()) AddName(e, jpn, false, true);
            if (listed)
                for (const std::string& n : *listed)
                    if (n != eng) AddName(e, n, true, true);
        }
    }

    // Asterisms that no catalogue holds.
    if (names) {
        for (const TNameList::TPlace& p : names->Places()) {
            const std::uint32_t e =
                AddEntry(Asterism, 1, kAsterism, 0, kNoMag, p.Name, "", true, p.Ra, p.Dec);
            AddName(e, p.Name, true);
        }
    }

    // Constellations: abbreviation, Latin name, genitive, Japanese name.
    if (con) {
        for (int row = 1; row < TConstellation::RowCount; ++row) {
            const TConstellationRow& c = con->Rows[row];
            std::string latin = SplitWords(c.nameSci);
            if (row == TConstellation::SerpensHead) latin += " Caput";
            if (row == TConstellation::SerpensTail) latin += " Cauda";
            const std::uint32_t e = AddEntry(Constellation, 1, kConstellation, row, kNoMag, latin,
                                             c.abbr, true, c.ra, c.dec);
            AddName(e, latin, true);
            AddKey(e, Fold(c.abbr), kAlias);
            AddName(e, GenitiveOf(c.abbr), false, true);
            AddName(e, c.nameJpn, false, true);
            AddName(e, con->GetNameJpnA(row), false, true);
        }
    }

    // The user's option-file objects, once per object (a track has several
    // records of one number).
    std::vector<int> seen;
    for (const TMarkerName& m : markers) {
        if (std::find(seen.begin(), seen.end(), m.Id) != seen.end()) continue;
        seen.push_back(m.Id);
        const std::string name = m.Name.empty() ? "#" + std::to_string(m.Id) : m.Name;
        const std::uint32_t e =
            AddEntry(Marker, 1, kMarkerText, m.Id, kNoMag, name, "", true, m.Ra, m.Dec);
        AddName(e, name, true);
    }

    std::sort(keys_.begin(), keys_.end(), [this](const TKey& a, const TKey& b) {
        const int c = KeyText(a).compare(KeyText(b));
        if (c != 0) return c < 0;
        if (a.entry != b.entry) return a.entry < b.entry;
        return a.kind < b.kind;
    });
    // One name can give the same key twice (the Latin name with and without
    // spaces): keep one.
    keys_.erase(std::unique(keys_.begin(), keys_.end(),
                            [this](const TKey& a, const TKey& b) {
                                return a.entry == b.entry && KeyText(a) == KeyText(b);
                            }),
                keys_.end());
    keys_.shrink_to_fit();
    entries_.shrink_to_fit();
    text_.shrink_to_fit();
    keyText_.shrink_to_fit();
}

std::size_t TFindIndex::MemoryBytes() const {
    return entries_.capacity() * sizeof(TEntry) + keys_.capacity() * sizeof(TKey) +
           text_.capacity() + keyText_.capacity() + hipRecord_.capacity() * sizeof(std::int32_t) +
           hipOf_.capacity() * sizeof(std::uint32_t) +
           recordEntry_.capacity() * sizeof(std::int32_t);
}

bool TFindIndex::Before(const TEntry& a, int rankA, const TEntry& b, int rankB) {
    if (rankA != rankB) return rankA < rankB;
    if (a.tier != b.tier) return a.tier < b.tier;
    return a.mag100 < b.mag100;
}

TFindIndex::THit TFindIndex::MakeHit(std::uint32_t entry, int rank) const {
    const TEntry& e = entries_[entry];
    THit h;
    h.Kind = e.kind;
    h.Number = e.number;
    h.Name = text_.c_str() + e.name;
    h.Also = text_.c_str() + e.also;
    h.KindText = kKindText[e.kindText];
    h.HasMag = e.kind != Body && e.kind != Satellite && e.mag100 != kNoMag;
    h.Mag = e.mag100 * 0.01;
    h.HasPlace = e.hasPlace != 0;
    h.Ra = e.ra;
    h.Dec = e.dec;
    h.Rank = rank;
    return h;
}

TFindIndex::THit TFindIndex::StarHit(int record, int rank) const {
    if (recordEntry_[record] >= 0) {
        THit h = MakeHit(static_cast<std::uint32_t>(recordEntry_[record]), rank);
        // Found by its number: show the number first.
        const std::string hip = "HIP " + std::to_string(hipOf_[record]);
        std::string also = h.Name;
        const std::size_t at = h.Also.find(hip);
        std::string rest = h.Also.substr(0, at == std::string::npos ? h.Also.size() : at);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == ','))
            rest.pop_back();
        if (!rest.empty()) also += ", " + rest;
        h.Name = hip;
        h.Also = also;
        return h;
    }
    const TStarRecord& r = (*star_)[record];
    THit h;
    h.Kind = Star;
    h.Number = record;
    h.Name = "HIP " + std::to_string(hipOf_[record]);
    h.KindText = kKindText[kStar];
    h.HasMag = r.mag < TStar::MagUnusable;
    h.Mag = r.mag * 0.01;
    h.HasPlace = true;
    h.Ra = r.ra;
    h.Dec = r.dec;
    h.Rank = rank;
    return h;
}

std::vector<TFindIndex::THit> TFindIndex::Find(std::string_view query, int max) const {
    std::vector<THit> hits;
    if (max <= 0 || query.size() > 16 * MaxKey) return hits; // no name is that long
    const std::string q = Fold(query);
    if (q.empty() || q.size() > MaxKey) return hits;

    // Best rank per entry among the keys that begin with the query.
    struct TCand {
        std::uint32_t entry;
        int rank;
    };
    std::vector<TCand> cands;
    auto first = std::lower_bound(
        keys_.begin(), keys_.end(), q,
        [this](const TKey& k, const std::string& v) { return KeyText(k) < std::string_view(v); });
    for (auto it = first; it != keys_.end(); ++it) {
        const std::string_view k = KeyText(*it);
        if (k.size() < q.size() || k.compare(0, q.size(), q) != 0) break;
        const int rank = it->kind == kWord ? WordPrefix : k.size() == q.size() ? Exact : Prefix;
        cands.push_back({it->entry, rank * 2 + (it->kind == kAlias ? 1 : 0)});
    }
    std::sort(cands.begin(), cands.end(), [](const TCand& a, const TCand& b) {
        return a.entry != b.entry ? a.entry < b.entry : a.rank < b.rank;
    });
    cands.erase(std::unique(cands.begin(), cands.end(),
                            [](const TCand& a, const TCand& b) { return a.entry == b.entry; }),
                cands.end());
    auto better = [this](const TCand& a, const TCand& b) {
        const TEntry &ea = entries_[a.entry], &eb = entries_[b.entry];
        if (Before(ea, a.rank, eb, b.rank)) return true;
        if (Before(eb, b.rank, ea, a.rank)) return false;
        return a.entry < b.entry;
    };
    const std::size_t keep = std::min<std::size_t>(cands.size(), max);
    std::partial_sort(cands.begin(), cands.begin() + keep, cands.end(), better);
    cands.resize(keep);

    // Hipparcos numbers are not keys: the query's number and the numbers it
    // begins, found through the number table.
    struct THipCand {
        int record, rank;
        std::int16_t mag;
    };
    std::vector<THipCand> hipCands;
    if (!hipRecord_.empty() && q.size() > 3 && q.size() <= 9 && q.compare(0, 3, "hip") == 0 &&
        q[3] != '0' &&
        std::all_of(q.begin() + 3, q.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const long n = std::stol(q.substr(3));
        auto better = [](const THipCand& a, const THipCand& b) {
            return a.rank != b.rank ? a.rank < b.rank : a.mag < b.mag;
        };
        bool full = false; // hipCands holds max and its last is the worst kept
        auto consider = [&](long h, int rank) {
            const int rec = hipRecord_[h];
            if (rec < 0) return;
            const THipCand c{rec, rank, (*star_)[rec].mag};
            if (full && !better(c, hipCands.back())) return;
            hipCands.push_back(c);
            // Keep the list short while it grows: only the brightest can show.
            if (hipCands.size() >= static_cast<std::size_t>(4 * max)) {
                std::sort(hipCands.begin(), hipCands.end(), better);
                hipCands.resize(max);
                full = true;
            }
        };
        if (n <= MaxHip) consider(n, Exact);
        for (long lo = n * 10, span = 10; lo <= MaxHip; lo *= 10, span *= 10)
            for (long h = lo; h < lo + span && h <= MaxHip; ++h)
                consider(h, Prefix);
        std::sort(hipCands.begin(), hipCands.end(), better);
        if (hipCands.size() > static_cast<std::size_t>(max)) hipCands.resize(max);
    }

    // Merge: a number found through the table ranks after a key of the same rank.
    std::size_t a = 0, b = 0;
    while (static_cast<int>(hits.size()) < max && (a < cands.size() || b < hipCands.size())) {
        const bool takeHip =
            a >= cands.size() || (b < hipCands.size() && hipCands[b].rank * 2 + 1 < cands[a].rank);
        if (takeHip)
            hits.push_back(StarHit(hipCands[b].record, hipCands[b].rank)), ++b;
        else
            hits.push_back(MakeHit(cands[a].entry, cands[a].rank / 2)), ++a;
    }
    return hits;
}

std::vector<std::string> TFindIndex::Nearest(std::string_view query, int max) const {
    std::vector<std::string> names;
    if (max <= 0 || query.size() > 16 * MaxKey) return names;
    const std::string q = Fold(query);
    if (q.empty() || q.size() > MaxKey) return names;
    const int limit = std::max<int>(2, static_cast<int>(q.size()) / 3);
    struct TNear {
        int dist;
        std::uint32_t entry;
    };
    std::vector<TNear> near;
    for (const TKey& k : keys_) {
        if (k.kind == kWord) continue;
        const int d = EditDistance(q, KeyText(k), limit);
        if (d <= limit) near.push_back({d, k.entry});
    }
    std::sort(near.begin(), near.end(), [this](const TNear& a, const TNear& b) {
        if (a.dist != b.dist) return a.dist < b.dist;
        return Before(entries_[a.entry], 0, entries_[b.entry], 0);
    });
    std::vector<std::uint32_t> taken;
    for (const TNear& n : near) {
        if (static_cast<int>(names.size()) >= max) break;
        if (std::find(taken.begin(), taken.end(), n.entry) != taken.end()) continue;
        taken.push_back(n.entry);
        names.push_back(text_.c_str() + entries_[n.entry].name);
    }
    return names;
}
