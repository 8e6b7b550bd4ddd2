#include "astro/Risesetsearch.h"

#include <cmath>
#include <numbers>

#include "astro/Clslocation.h"

TRiseSetEvent RiseSetSearch(const TLocation& site, int event, double mjd0, double zone, int summer,
                            const TRiseSetPlaceAt& placeAt) {
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    constexpr int kMaxCalls = 7;
    constexpr double kSettled = 0.0005;  // radians of time, about 7 s
    constexpr double kGoodEnough = 0.08; // accepted after the last call, about 18 min

    TRiseSetEvent out;
    if (!placeAt) return out;

    double t = 0.0;
    int dayShift = 0;
    double change = 0.0;
    for (int call = 1; call <= kMaxCalls; ++call) {
        // The body is taken where it stands at the estimated instant of the event.
        const int dayUsed = dayShift;
        const TRiseSetPlace place = placeAt(mjd0 - dayUsed + t / kTwoPi);
        out.Calls = call;
        double tNew = t;
        double azimuth = out.Azimuth;
        if (!site.RiseSet(event, mjd0, zone, summer, place.Ra, place.Dec, place.Diameter,
                          place.Distance, dayShift, tNew, azimuth)) {
            out.Found = false;
            return out;
        }
        change = std::fabs(tNew - t);
        t = tNew;
        out.Time = t;
        out.DayShift = dayUsed;
        out.Azimuth = azimuth;
        out.Mjd = mjd0 - dayUsed + t / kTwoPi;
        out.LocalTime = TLocation::range(0.0, kTwoPi, t + (zone + summer) * kTwoPi / 24.0);
        if (change < kSettled) {
            out.Found = true;
            return out;
        }
    }
    out.Found = change <= kGoodEnough;
    return out;
}
