#pragma once
// TNebula: the deep-sky catalogue "Unsta.dat" (28-byte records read into memory)
// joined with the built-in name table (Messier designations, common names) and
// the outlines of extended nebulae and clouds.
//
// Catalogue numbers: n < 10000 is NGC n, 10000 <= n < 20000 is IC n - 10000,
// 20000 and above an object known only by its name entry.
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/Catalogfile.h"

struct TNebulaRecord {
    std::uint16_t no; // catalogue number
    std::uint16_t unused1;
    float ra; // radians, J2000
    float dec;
    std::int16_t mag; // magnitude x 100, 0 = not given
    std::uint16_t unused2;
    float major; // radians, 0 = not given
    float minor;
    std::uint8_t pa; // position angle of the major axis, degrees, 0 = none
    std::uint8_t unused3;
    std::uint8_t con;  // constellation number (TConstellation rows)
    std::uint8_t type; // 1 galaxy, 2 open cluster, 3 globular, 4 bright nebula,
                       // 5 planetary, 6 cluster with nebula, 7 dark nebula
};
static_assert(sizeof(TNebulaRecord) == 28, "Unsta.dat records are 28 bytes");

struct TNebulaName {
    std::uint16_t no;    // 65000 ends the table
    const char* desig;   // "M31", "LMC", "MEL25" or ""
    const char* nameJpn; // UTF-8
    const char* nameEng;
};

struct TNebulaOutline {
    std::uint16_t no;
    const double* ra; // positions, radians; (10, 10) separates polygons
    const double* dec;
    int count; // positions before the first RA of exactly 0.0
    int kind;  // 1 bright nebula, 2 galaxy cloud, 3 dark nebula
};

class TNebula {
public:
    static constexpr int NameCount = 139;   // entries 0-138; entry 139 is the end mark
    static constexpr int OutlineCount = 24; // outlines 1-24; entry 0 unused
    static constexpr int IndexMax = 15000;  // records beyond are not indexed
    static constexpr std::uint16_t EndMark = 65000;
    static const TNebulaName Names[NameCount + 1];

    explicit TNebula(const char* path);
    explicit TNebula(const std::string& path) : TNebula(path.c_str()) {}
    TNebula(const TNebula&) = delete;
    TNebula& operator=(const TNebula&) = delete;

    const TNebulaRecord* Records = nullptr;
    int Count = 0;
    std::string Error; // why the catalogue is empty

    std::vector<int> NameIndex;    // per record: name entry, 0 when none
    std::vector<int> OutlineIndex; // per record: outline 1-24, 0 when none
    // Per name entry: the last record that matched it. An entry whose object is
    // not in the file keeps 0, so check NameIndex[EntryRecord[e]] == e.
    int EntryRecord[NameCount] = {};
    TNebulaOutline Outlines[OutlineCount + 1] = {};

    const TNebulaRecord& operator[](int i) const { return Records[i]; }

    std::string GetMessier(int record) const;
    bool GetMessier(int record, char* out) const; // out must hold 8 bytes
    std::string GetName(int record, int form) const;
    std::string GetCatalogNo(int record) const;
    void extraInfo(int) const {}
    // Can the record be a deep-sky object at all? A place on the sky, a
    // magnitude between -5 and 30 (0 = none), axes of 0 to 180 degrees, a
    // constellation row and a type that exist.
    static bool Plausible(const TNebulaRecord& r);

private:
    bool Valid(int record) const { return record >= 0 && record < Count; }
    std::vector<TNebulaRecord> records_;
};
