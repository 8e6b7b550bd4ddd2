#include "catalog/Clsconstellation.h"

#include <cstring>

#include "catalog/Catalogtables.h"

namespace {

struct TConstellationSource {
    const char* abbr;
    const char* jpn;
    const char* sci;
    int hhmm; // label right ascension
    int deg;  // label declination
    int jorder;
};

const TConstellationSource kRows[TConstellation::RowCount] = {
    {"", "", "", 0, 0, 0},                                            // 0
    {"And", "アンドロメダ", "Andromeda", 100, 37, 1},                 // 1
    {"Ant", "ポンプ", "Antlia", 1008, -33, 72},                       // 2
    {"Aps", "ふうちょう", "Apus", 1700, -74, 61},                     // 3
    {"Aql", "わし", "Aquila", 1940, 3, 89},                           // 4
    {"Aqr", "みずがめ", "Aquarius", 2230, -16, 73},                   // 5
    {"Ara", "さいだん", "Ara", 1750, -48, 42},                        // 6
    {"Ari", "おひつじ", "Aries", 240, 24, 16},                        // 7
    {"Aur", "ぎょしゃ", "Auriga", 535, 43, 27},                       // 8
    {"Boo", "うしかい", "Bootes", 1445, 35, 8},                       // 9
    {"Cae", "ちょうこくぐ", "Caelum", 435, -43, 48},                  // 10
    {"Cam", "きりん", "Camelopardalis", 530, 68, 28},                 // 11
    {"Cap", "やぎ", "Capricornus", 2050, -23, 80},                    // 12
    {"Car", "りゅうこつ", "Carina", 730, -57, 84},                    // 13
    {"Cas", "カシオペア", "Cassiopeia", 29, 55, 19},                  // 14
    {"Cen", "ケンタウルス", "Centaurus", 1400, -56, 32},              // 15
    {"Cep", "ケフェウス", "Cepheus", 2230, 68, 31},                   // 16
    {"Cet", "くじら", "Cetus", 240, -2, 30},                          // 17
    {"Cha", "カメレオン", "Chamaeleon", 930, -77, 23},                // 18
    {"Cir", "コンパス", "Circinus", 1500, -58, 41},                   // 19
    {"CMa", "おおいぬ", "CanisMajor", 640, -22, 12},                  // 20
    {"CMi", "こいぬ", "CanisMinor", 725, 7, 34},                      // 21
    {"Cnc", "かに", "Cancer", 835, 24, 21},                           // 22
    {"Col", "はと", "Columba", 525, -32, 60},                         // 23
    {"Com", "かみのけ", "ComaBerenices", 1310, 23, 22},               // 24
    {"CrA", "みなみのかんむり", "CoronaAustrina", 1830, -42, 77},     // 25
    {"CrB", "かんむり", "CoronaBorealis", 1555, 32, 25},              // 26
    {"Crt", "コップ", "Crater", 1130, -14, 39},                       // 27
    {"Cru", "みなみじゅうじ", "Crux", 1240, -58, 75},                 // 28
    {"Crv", "からす", "Corvus", 1245, -16, 24},                       // 29
    {"CVn", "りょうけん", "CanesVenatici", 1320, 42, 85},             // 30
    {"Cyg", "はくちょう", "Cygnus", 1945, 40, 58},                    // 31
    {"Del", "いるか", "Delphinus", 2040, 6, 4},                       // 32
    {"Dor", "かじき", "Dorado", 503, -60, 20},                        // 33
    {"Dra", "りゅう", "Draco", 1900, 62, 83},                         // 34
    {"Equ", "こうま", "Equuleus", 2110, 9, 35},                       // 35
    {"Eri", "エリダヌス", "Eridanus", 330, -13, 10},                  // 36
    {"For", "ろ", "Fornax", 310, -34, 87},                            // 37
    {"Gem", "ふたご", "Gemini", 700, 26, 62},                         // 38
    {"Gru", "つる", "Grus", 2150, -46, 50},                           // 39
    {"Her", "ヘルクレス", "Hercules", 1725, 21, 67},                  // 40
    {"Hor", "とけい", "Horologium", 240, -57, 54},                    // 41
    {"Hya", "うみへび", "Hydra", 1020, -22, 9},                       // 42
    {"Hyi", "みずへび", "Hydrus", 240, -72, 74},                      // 43
    {"Ind", "インデアン", "Indus", 2135, -53, 5},                     // 44
    {"Lac", "とかげ", "Lacerta", 2220, 42, 53},                       // 45
    {"Leo", "しし", "Leo", 1030, 17, 45},                             // 46
    {"Lep", "うさぎ", "Lepus", 530, -15, 7},                          // 47
    {"Lib", "てんびん", "Libra", 1545, -11, 52},                      // 48
    {"LMi", "こじし", "LeoMinor", 950, 38, 38},                       // 49
    {"Lup", "おおかみ", "Lupus", 1535, -34, 13},                      // 50
    {"Lyn", "やまねこ", "Lynx", 720, 57, 81},                         // 51
    {"Lyr", "こと", "Lyra", 1850, 31, 40},                            // 52
    {"Men", "テーブル山", "Mensa", 540, -72, 51},                     // 53
    {"Mic", "けんびきょう", "Microscopium", 2045, -37, 33},           // 54
    {"Mon", "いっかくじゅう", "Monoceros", 740, -3, 2},               // 55
    {"Mus", "はえ", "Musca", 1300, -73, 57},                          // 56
    {"Nor", "じょうぎ", "Norma", 1618, -46, 46},                      // 57
    {"Oct", "はちぶんぎ", "Octans", 1940, -77, 59},                   // 58
    {"Oph", "へびつかい", "Ophiuchus", 1710, 2, 66},                  // 59
    {"Ori", "オリオン", "Orion", 535, 5, 17},                         // 60
    {"Pav", "くじゃく", "Pavo", 1945, -62, 29},                       // 61
    {"Peg", "ペガスス", "Pegasus", 2330, 21, 63},                     // 62
    {"Per", "ペルセウス", "Perseus", 320, 37, 68},                    // 63
    {"Phe", "ほうおう", "Phoenix", 135, -45, 71},                     // 64
    {"Pic", "がか", "Pictor", 555, -54, 18},                          // 65
    {"PsA", "みなみのうお", "PiscisAustrinus", 2225, -33, 76},        // 66
    {"Psc", "うお", "Pisces", 40, 13, 6},                             // 67
    {"Pup", "とも", "Puppis", 805, -21, 56},                          // 68
    {"Pyx", "らしんばん", "Pyxis", 905, -33, 82},                     // 69
    {"Ret", "レチクル", "Reticulum", 335, -58, 86},                   // 70
    {"Scl", "ちょうこくしつ", "Sculptor", 32, -35, 49},               // 71
    {"Sco", "さそり", "Scorpius", 1630, -29, 43},                     // 72
    {"Sct", "たて", "Scutum", 1840, -12, 47},                         // 73
    {"Ser", "へび", "Serpens", 1535, 15, 64},                         // 74
    {"Sex", "ろくぶんぎ", "Sextans", 1025, 2, 88},                    // 75
    {"Sge", "や", "Sagitta", 1925, 18, 79},                           // 76
    {"Sgr", "いて", "Sagittarius", 1850, -31, 3},                     // 77
    {"Tau", "おうし", "Taurus", 405, 18, 11},                         // 78
    {"Tel", "ぼうえんきょう", "Telescopium", 1940, -52, 70},          // 79
    {"TrA", "みなみのさんかく", "TriangulumAustrale", 1620, -67, 78}, // 80
    {"Tri", "さんかく", "Triangulum", 150, 32, 44},                   // 81
    {"Tuc", "きょしちょう", "Tucana", 29, -61, 26},                   // 82
    {"UMa", "おおぐま", "UrsaMajor", 1035, 49, 14},                   // 83
    {"UMi", "こぐま", "UrsaMinor", 1435, 82, 37},                     // 84
    {"Vel", "ほ", "Vela", 930, -47, 69},                              // 85
    {"Vir", "おとめ", "Virgo", 1310, -2, 15},                         // 86
    {"Vol", "とびうお", "Volans", 730, -66, 55},                      // 87
    {"Vul", "こぎつね", "Vulpecula", 2100, 24, 36},                   // 88
    {"Ser", "へび", "Serpens", 1815, -5, 65},                         // 89
};

const double kDegree = 0.017453292519943277848;

} // namespace

TConstellation::TConstellation() {
    for (int n = 0; n < RowCount; ++n) {
        const TConstellationSource& s = kRows[n];
        TConstellationRow& r = Rows[n];
        std::memset(r.abbr, 0, sizeof r.abbr);
        std::strncpy(r.abbr, s.abbr, sizeof r.abbr - 1);
        r.nameJpn = s.jpn;
        r.nameSci = s.sci;
        r.ra = tim2deg(s.hhmm);
        r.dec = s.deg * kDegree;
        r.jorder = s.jorder;
    }
    LineCount = catalogtables::kLineCount;
    Lines.reserve(LineCount);
    for (int i = 0; i < LineCount; ++i) {
        const double* l = catalogtables::kLines[i];
        Lines.push_back({l[0], l[1], l[2], l[3]});
    }
}

double TConstellation::tim2deg(int hhmm) {
    return ((hhmm / 100) * 15.0 + (hhmm % 100) / 60.0 * 15.0) * kDegree;
}

std::string TConstellation::GetNameJpnA(int n) const {
    if (n < 0 || n >= RowCount) return "";
    std::string s = Rows[n].nameJpn;
    if (n == SerpensHead) s += "(頭部)";
    if (n == SerpensTail) s += "(尾部)";
    return s;
}

std::string TConstellation::GetNameSciA(int n) const {
    if (n < 0 || n >= RowCount) return "";
    std::string s = Rows[n].nameSci;
    if (n == SerpensHead) s += "(Caput)";
    if (n == SerpensTail) s += "(Cauda)";
    return s;
}

const char* TConstellation::GetNameJpnC(int n) const {
    static std::string buffer;
    buffer = GetNameJpnA(n);
    return buffer.c_str();
}

const char* TConstellation::GetNameSciC(int n) const {
    static std::string buffer;
    buffer = GetNameSciA(n);
    return buffer.c_str();
}

int TConstellation::GetJOrder(int n) const {
    if (n < 0 || n >= RowCount) return 0;
    return Rows[n].jorder;
}
