// TAltGraph: the planner's graph of altitude against local time, drawn in the
// program's own 8-bit raster (as the charts are) so that it keeps the
// windows' black-and-red palette and needs no display to be tested. The sky
// behind is shaded by the Sun's altitude (day, civil, nautical and
// astronomical twilight, night); on it the Moon, the chosen object with its
// meridian crossing and the observer's horizon towards it, up to eight more
// objects, and a cursor with its time and altitude.
#pragma once

#include <string>
#include <vector>

#include "plan/Clsnight.h"

class TDIB;

class TAltGraph {
public:
    // One object's altitude and azimuth (radians) at each grid instant of the
    // night.
    struct TCurve {
        std::string Name;
        std::vector<double> Alt, Az;
        bool HasTransit = false;
        double Transit = 0.0; // MJD (UT)
    };
    // A fixed place of date; the Moon is taken from the night itself.
    static TCurve Fixed(const TNight& night, const std::string& name, double ra, double dec);
    static TCurve Moon(const TNight& night);

    // Draws into `dib` (created at w x h): the first curve is the chosen
    // object. The time runs from an hour before sunset to an hour after
    // sunrise, or over the whole 24 hours when the Sun does not set or rise.
    void Draw(TDIB& dib, int w, int h, const TNight& night, const std::vector<TCurve>& curves,
              bool cursor, double cursorMjd);

    // After Draw: the time at a column, and a curve's altitude at a time.
    double TimeAt(int x) const;
    int XOf(double mjd) const;
    static double AltitudeAt(const TNight& night, const std::vector<double>& alt, double mjd);

    bool Whole24 = false; // noon to noon instead of around the night
    double From = 0.0, To = 0.0; // MJD (UT) of the left and right edges of the plot
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    static constexpr double kMinAlt = -10.0, kMaxAlt = 90.0; // degrees

private:
    int YOf(double altRad) const;
};
