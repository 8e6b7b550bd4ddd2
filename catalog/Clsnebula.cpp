#include "catalog/Clsnebula.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstring>

#include "catalog/Catalogtables.h"

// Entry 0 stands for "no name"; 1-110 are M1-M110 in Messier order. M24 is the
// cluster NGC 6603 inside the star cloud, M25 is IC 4725, M102 NGC 5866.
const TNebulaName TNebula::Names[TNebula::NameCount + 1] = {
    {0, "", "", ""},                                          // 0
    {1952, "M1", "かに星雲", "Crab nebula"},                  // 1
    {7089, "M2", "", ""},                                     // 2
    {5272, "M3", "", ""},                                     // 3
    {6121, "M4", "", ""},                                     // 4
    {5904, "M5", "", ""},                                     // 5
    {6405, "M6", "", "Butterfly cluster"},                    // 6
    {6475, "M7", "", "Ptolemy's cluster"},                    // 7
    {6523, "M8", "干潟星雲", "Lagoon nebula"},                // 8
    {6333, "M9", "", ""},                                     // 9
    {6254, "M10", "", ""},                                    // 10
    {6705, "M11", "", "Wild duck cluster"},                   // 11
    {6218, "M12", "", ""},                                    // 12
    {6205, "M13", "", ""},                                    // 13
    {6402, "M14", "", ""},                                    // 14
    {7078, "M15", "", ""},                                    // 15
    {6611, "M16", "わし星雲", "Eagle nebula"},                // 16
    {6618, "M17", "オメガ星雲", "Omega nebula"},              // 17
    {6613, "M18", "", ""},                                    // 18
    {6273, "M19", "", ""},                                    // 19
    {6514, "M20", "三裂星雲", "Trifid nebula"},               // 20
    {6531, "M21", "", ""},                                    // 21
    {6656, "M22", "", ""},                                    // 22
    {6494, "M23", "", ""},                                    // 23
    {6603, "M24", "スタークラウド", "Starcloud"},             // 24
    {14725, "M25", "", ""},                                   // 25
    {6694, "M26", "", ""},                                    // 26
    {6853, "M27", "あれい星雲", "Dumbbell nebula"},           // 27
    {6626, "M28", "", ""},                                    // 28
    {6913, "M29", "", ""},                                    // 29
    {7099, "M30", "", ""},                                    // 30
    {224, "M31", "アンドロメダ大星雲", "Andromeda galaxy"},   // 31
    {221, "M32", "", ""},                                     // 32
    {598, "M33", "", ""},                                     // 33
    {1039, "M34", "", ""},                                    // 34
    {2168, "M35", "", ""},                                    // 35
    {1960, "M36", "", ""},                                    // 36
    {2099, "M37", "", ""},                                    // 37
    {1912, "M38", "", ""},                                    // 38
    {7092, "M39", "", ""},                                    // 39
    {20001, "M40", "Star", "Star"},                           // 40
    {2287, "M41", "", ""},                                    // 41
    {1976, "M42", "オリオン大星雲", "Great Orion nebula"},    // 42
    {1982, "M43", "", ""},                                    // 43
    {2632, "M44", "プレセペ星団", "Praesepe"},                // 44
    {20002, "M45", "プレアデス星団", "Pleiades"},             // 45
    {2437, "M46", "", ""},                                    // 46
    {2422, "M47", "", ""},                                    // 47
    {2548, "M48", "", ""},                                    // 48
    {4472, "M49", "", ""},                                    // 49
    {2323, "M50", "", ""},                                    // 50
    {5194, "M51", "子持ち星雲", "Whirlpool galaxy"},          // 51
    {7654, "M52", "", ""},                                    // 52
    {5024, "M53", "", ""},                                    // 53
    {6715, "M54", "", ""},                                    // 54
    {6809, "M55", "", ""},                                    // 55
    {6779, "M56", "", ""},                                    // 56
    {6720, "M57", "ドーナツ星雲", "Ring nebula"},             // 57
    {4579, "M58", "", ""},                                    // 58
    {4621, "M59", "", ""},                                    // 59
    {4649, "M60", "", ""},                                    // 60
    {4303, "M61", "", ""},                                    // 61
    {6266, "M62", "", ""},                                    // 62
    {5055, "M63", "ひまわり銀河", "Sunflower galaxy"},        // 63
    {4826, "M64", "黒眼銀河", "Blackeye galaxy"},             // 64
    {3623, "M65", "", ""},                                    // 65
    {3627, "M66", "", ""},                                    // 66
    {2682, "M67", "", ""},                                    // 67
    {4590, "M68", "", ""},                                    // 68
    {6637, "M69", "", ""},                                    // 69
    {6681, "M70", "", ""},                                    // 70
    {6838, "M71", "", ""},                                    // 71
    {6981, "M72", "", ""},                                    // 72
    {6994, "M73", "", ""},                                    // 73
    {628, "M74", "", ""},                                     // 74
    {6864, "M75", "", ""},                                    // 75
    {650, "M76", "小あれい星雲", "Little Dumbbell nebula"},   // 76
    {1068, "M77", "", ""},                                    // 77
    {2068, "M78", "", ""},                                    // 78
    {1904, "M79", "", ""},                                    // 79
    {6093, "M80", "", ""},                                    // 80
    {3031, "M81", "", "Bode's galaxy"},                       // 81
    {3034, "M82", "", "Cigar galaxy"},                        // 82
    {5236, "M83", "", ""},                                    // 83
    {4374, "M84", "", ""},                                    // 84
    {4382, "M85", "", ""},                                    // 85
    {4406, "M86", "", ""},                                    // 86
    {4486, "M87", "", ""},                                    // 87
    {4501, "M88", "", ""},                                    // 88
    {4552, "M89", "", ""},                                    // 89
    {4569, "M90", "", ""},                                    // 90
    {4571, "M91", "M58？", "M58?"},                           // 91
    {6341, "M92", "", ""},                                    // 92
    {2447, "M93", "", ""},                                    // 93
    {4736, "M94", "", ""},                                    // 94
    {3351, "M95", "", ""},                                    // 95
    {3368, "M96", "", ""},                                    // 96
    {3587, "M97", "ふくろう星雲", "Owl nebula"},              // 97
    {4192, "M98", "", ""},                                    // 98
    {4254, "M99", "", ""},                                    // 99
    {4321, "M100", "", ""},                                   // 100
    {5457, "M101", "回転花火星雲", "Pinwheel galaxy"},        // 101
    {5866, "M102", "M101？", "M101?"},                        // 102
    {581, "M103", "", ""},                                    // 103
    {4594, "M104", "ソンブレロ星雲", "Sombrero galaxy"},      // 104
    {3379, "M105", "", ""},                                   // 105
    {4258, "M106", "", ""},                                   // 106
    {6171, "M107", "", ""},                                   // 107
    {3556, "M108", "", ""},                                   // 108
    {3992, "M109", "", ""},                                   // 109
    {205, "M110", "M110(未公認)", "M110(unofficial)"},        // 110
    {7000, "", "北アメリカ星雲", "NorthAmerica nebula"},      // 111
    {2237, "", "バラ星雲", "Rosette nebula"},                 // 112
    {869, "", "二重星団(h)", "h Per"},                        // 113
    {884, "", "二重星団(χ)", "x(chi) Per"},                   // 114
    {1499, "", "カリフォルニア星雲", "California nebula"},    // 115
    {10349, "", "メローペ", "Merope"},                        // 116
    {2070, "", "タランチュラ星雲", "Tarantula nebula"},       // 117
    {2261, "", "ハッブル変光星雲", "Hubble's var nebula"},    // 118
    {2264, "", "コーン星雲", "Conus nebula"},                 // 119
    {6960, "", "網状星雲", "Veil nebula"},                    // 120
    {15067, "", "ペリカン星雲", "Pelican nebula"},            // 121
    {6992, "", "網状星雲", "Veil nebula"},                    // 122
    {15146, "", "まゆ星雲", "Cocoon nebula"},                 // 123
    {10434, "", "馬頭星雲", "Horsehead Nebula"},              // 124
    {3372, "", "カリーナ星雲", "Eta Carinae nebula"},         // 125
    {5139, "", "オメガ(ω)星団", "Omega Centauri"},            // 126
    {3242, "", "木星状星雲", "Ghost of Jupiter"},             // 127
    {6543, "", "キャッツアイ星雲", "Cat's eye nebula"},       // 128
    {14606, "", "", "Antares"},                               // 129
    {6302, "", "", "Bug nebula"},                             // 130
    {20000, "LMC", "大マゼラン雲", "Large Magellanic Cloud"}, // 131
    {292, "", "小マゼラン雲", "Small Magellanic Cloud"},      // 132
    {20003, "MEL25", "ヒアデス", "Hyades"},                   // 133
    {20004, "MEL111", "かみのけ座", "ComaBerenices"},         // 134
    {20005, "", "M38近隣", "Near M38"},                       // 135
    {20006, "", "コールサック", "Coalsack"},                  // 136
    {20007, "", "コールサック近隣", "Near Coalsack"},         // 137
    {20008, "", "コーン星雲近隣", "Near Conus nebula"},       // 138
    {TNebula::EndMark, "", "", ""},
};

namespace {

// Catalogue number -> first name entry (-1 when none) and first outline (0
// when none); the tables are constant, so this is built once per program.
struct Lookup {
    std::int16_t entry[65536];
    std::uint8_t outline[65536];
};

const Lookup& NumberLookup() {
    static const Lookup* look = [] {
        auto* l = new Lookup;
        std::fill(std::begin(l->entry), std::end(l->entry), std::int16_t{-1});
        std::fill(std::begin(l->outline), std::end(l->outline), std::uint8_t{0});
        for (int e = 0; e < TNebula::NameCount && TNebula::Names[e].no != TNebula::EndMark; ++e)
            if (l->entry[TNebula::Names[e].no] < 0) l->entry[TNebula::Names[e].no] = e;
        for (int k = TNebula::OutlineCount; k >= 1; --k)
            l->outline[catalogtables::kOutlines[k - 1].no] = static_cast<std::uint8_t>(k);
        return l;
    }();
    return *look;
}

} // namespace

TNebula::TNebula(const char* path) {
    for (int k = 1; k <= OutlineCount; ++k) {
        const catalogtables::TOutlineSource& s = catalogtables::kOutlines[k - 1];
        int n = 0;
        while (s.ra[n] != 0.0)
            ++n;
        Outlines[k] = {s.no, s.ra, s.dec, n, s.kind};
    }
    if (path == nullptr) {
        Error = "No catalogue file given";
        return;
    }
    TCatalogFile file;
    if (!file.Read(path, records_) || !file.Sift(path, records_, Plausible)) {
        Error = file.Error();
        return;
    }
    Error = file.Error();
    if (records_.empty()) {
        if (Error.empty()) Error = std::string(path) + " holds no deep-sky records";
        return;
    }
    Records = records_.data();
    // At most kMaxBytes / 28 records: the count fits.
    Count = static_cast<int>(records_.size());
    int indexed = Count < IndexMax ? Count : IndexMax;
    NameIndex.assign(indexed, 0);
    OutlineIndex.assign(indexed, 0);
    const Lookup& look = NumberLookup();
    for (int i = 0; i < indexed; ++i) {
        std::uint16_t no = Records[i].no;
        int e = look.entry[no];
        if (e >= 0) {
            NameIndex[i] = e;
            EntryRecord[e] = i;
        }
        OutlineIndex[i] = look.outline[no];
    }
}

bool TNebula::Plausible(const TNebulaRecord& r) {
    constexpr float kPi = 3.1415927f, kTwoPi = 6.2831855f, kHalfPi = 1.5707964f;
    if (!(r.ra >= 0.0f && r.ra <= kTwoPi && r.dec >= -kHalfPi && r.dec <= kHalfPi)) return false;
    if (r.mag < -500 || r.mag > 3000) return false;
    if (!(r.major >= 0.0f && r.major <= kPi && r.minor >= 0.0f && r.minor <= kPi)) return false;
    return r.con <= 89 && r.type <= 7;
}

std::string TNebula::GetMessier(int record) const {
    if (!Valid(record) || record >= static_cast<int>(NameIndex.size())) return "";
    return Names[NameIndex[record]].desig;
}

bool TNebula::GetMessier(int record, char* out) const {
    std::string d = GetMessier(record);
    std::snprintf(out, 8, "%s", d.c_str());
    return !d.empty();
}

std::string TNebula::GetName(int record, int form) const {
    if (!Valid(record) || record >= static_cast<int>(NameIndex.size())) return "";
    const TNebulaName& n = Names[NameIndex[record]];
    if (form == 0) return n.nameJpn;
    if (form == 1) return n.nameEng;
    return "";
}

std::string TNebula::GetCatalogNo(int record) const {
    if (!Valid(record)) return "";
    int no = Records[record].no;
    if (no >= 20000) return GetMessier(record);
    if (no < 10000) return "NGC" + std::to_string(no);
    return "IC" + std::to_string(no - 10000);
}
