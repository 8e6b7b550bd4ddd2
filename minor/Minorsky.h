// The comets and asteroids a chart shows at one moment: those brighter than its limit,
// placed once per moment and limit however often the chart is drawn (panning and zooming
// in keep them), and the selected body's track over days or weeks.
#pragma once

#include <string>
#include <vector>

class TMinorList;
struct TMinorBody;

class TMinorSky {
public:
    struct TMark {
        int Index = 0; // in the list's Bodies
        bool Comet = false;
        double Ra = 0.0, Dec = 0.0; // apparent geocentric place of date, radians
        double EarthAu = 0.0;
        double Mag = 0.0;
        double TailRa = 0.0, TailDec = 0.0; // a comet's tail end; the head's place when none
        std::string Label;                  // short: "Ceres", "1P", "C/2023 A3"
    };
    struct TTrackPoint {
        double Mjd = 0.0;
        double Ra = 0.0, Dec = 0.0; // apparent geocentric place of date
        double EarthAu = 0.0;
        std::string Tick;           // "12-08": the date ticked there; empty between ticks
    };

    // The bodies of list brighter than limit at mjd (UT), brightest first. Worked out
    // anew only when the list, the moment or the limit changes; a lower limit than the
    // last one filters the last marks instead.
    const std::vector<TMark>& Update(const TMinorList* list, double mjd, double limit);
    std::vector<TMark> Marks;
    int Placed = 0; // bodies placed by the last work-out (those the bound let through)

    // The body's places from mjd - days to mjd + days (UT) in `steps` steps, a date tick
    // every tickDays days (at 0h UT); places that are not computable are left out.
    static std::vector<TTrackPoint> Track(const TMinorBody& b, double mjd, double days,
                                          int steps, int tickDays);
    // Days between ticks for a track of that half length: 1, 2, 5, 10 or 30.
    static int TickDays(double days);
    // The name a chart writes beside a body.
    static std::string ShortLabel(const TMinorBody& b);

private:
    const TMinorList* list_ = nullptr;
    std::size_t count_ = 0;
    double mjd_ = -1e300, limit_ = -1e300;
    std::vector<TMark> all_; // at limit_
};
