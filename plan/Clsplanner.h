#pragma once
// TPlanner: what is worth looking at in one night's dark window: the
// planets and the Moon, the Messier objects and the bright NGC/IC objects,
// the named and double stars, the user's option-file objects and the bright
// comets and asteroids, each with its best
// time, its altitude then, its rising and setting over the observer's
// horizon and its distance from the Moon; with the filters and the sort
// orders of the planner's list.
#include <memory>
#include <string>
#include <vector>

#include "plan/Clsdoublestars.h"
#include "plan/Clsnight.h"
#include "plan/Clsskypass.h"

class TStar;
class TNebula;
class TConstellation;
class TNameList;
class TMinorList;

struct TPlanEntry {
    // As the chart window selects: 2 star, 3 body, 4 deep-sky, 7 option
    // object, 8 comet or asteroid.
    int Kind = 0;
    int Number = 0; // star record, body 0-9, deep-sky record, option object's, minor body's
    std::string Name;
    std::string KindText;      // "planet", "galaxy", "globular cluster" ...
    // Filter group: planet, moon, minor, galaxy, cluster, nebula, star, double, marker.
    std::string Group;
    std::string Constellation; // abbreviation, empty when not known
    bool HasMag = false;
    double Mag = 0.0;
    double SizeArcmin = 0.0; // 0: none given
    double Ra = 0.0, Dec = 0.0; // J2000, radians (bodies: at the darkest moment)
    TSkyPass Pass;
    double MoonDist = 0.0; // degrees, at the best time
};

struct TPlanFilter {
    double MinAltDeg = 20.0;  // at the best time
    double MagLimit = 10.0;   // objects without a magnitude pass
    std::vector<std::string> Groups; // empty: every group
    std::string Constellation;       // abbreviation, any case; empty: all
    bool Accepts(const TPlanEntry& e) const;

    // The planner window keeps its filters in a side file of "key=value"
    // lines (min-alt, mag-limit, kinds, constellation, sort, ascending).
    // Unknown keys and values out of range are skipped.
    std::string ToText(int column, bool ascending) const;
    void FromText(const std::string& text, int& column, bool& ascending);
    static constexpr const char* kFileName = "Planner.txt";
};

class TPlanner {
public:
    struct TMarker {
        std::string Name;
        double Ra = 0.0, Dec = 0.0; // J2000, radians
        int Id = 0;
    };
    // The deep-sky objects taken besides the Messier and named ones: those
    // this bright.
    static constexpr double kDeepSkyMag = 10.0;
    // The comets and asteroids taken: those this bright at the darkest moment.
    static constexpr double kMinorMag = 11.0;
    static constexpr int kMinorKind = 8;

    // The objects of the catalogues with their J2000 places, ready for any
    // night; copies, so that the night can be worked out on another thread
    // while the catalogues move on. Any catalogue may be null; the pairs are
    // TDoubleStars::Find's of stars.
    static std::vector<TPlanEntry> Candidates(const TStar* stars, const TNebula* nebula,
                                              const TConstellation* con,
                                              const std::vector<TMarker>& markers,
                                              const TNameList* names = nullptr,
                                              const std::vector<TDoubleStars::TPair>& doubles = {});
    // The night of each candidate, and of the planets, the Moon and the
    // bright bodies of minor (may be null).
    void Build(const TNight& night, std::vector<TPlanEntry> candidates,
               const TMinorList* minor = nullptr);
    // Both at once. Any catalogue may be null.
    void Build(const TNight& night, const TStar* stars, const TNebula* nebula,
               const TConstellation* con, const std::vector<TMarker>& markers);

    std::vector<TPlanEntry> Entries;

    enum Column { Name, Kind, Mag, Size, Constellation, Best, Altitude, Rise, Set, MoonDist };
    static constexpr int ColumnCount = 10;
    static const char* const ColumnNames[ColumnCount];
    // The rows the filter lets through, in the column's order (rows without
    // a value last either way).
    std::vector<int> Select(const TPlanFilter& filter, int column = Best,
                            bool ascending = true) const;
};
