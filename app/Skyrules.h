// The chart window's rules that need no display: zoom and pan steps, the
// sensitivity step, the time-difference text, the Moon's age and the texts of
// the position read-out. The window calls these; tests check them directly.
#pragma once

#include <string>

class TLocation;

namespace skyrules {

constexpr int kMinScale = 300;
constexpr int kMaxScale = 1200000;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;

// One step in (x 1.5) or out (x 2/3), truncated and kept within the limits; a
// scale already at its limit stays.
int ZoomIn(int scale);
int ZoomOut(int scale);

// The centre declination after Up (+1) or Down (-1): a quarter of the chart's
// height in radians, stopping at the pole.
double StepDec(double dec, int direction, int atlasHeight, int scale);

// The right-ascension span measured along the chart's bottom edge from the
// sky points of its left and right pixels (the sky runs east to the left).
double RaSpan(double leftRa, double rightRa);
// The centre right ascension after Left (+1) or Right (-1): a quarter of the
// span, kept within [0, 2pi].
double StepRa(double ra, int direction, double span);

// The chart centre at which the sky point (ra, dec) lies at the offset
// (x, y) from the centre, in radians of the atlas's projection (x to the
// right, west; y down, south): what keeps a point under the pointer while
// zooming or dragging. Of the two centres that do, the one nearer `nearDec`
// in declination; a point the projection cannot bring there (beyond a pole)
// keeps the nearest declination. Right ascension in [0, 2pi).
void CentreKeeping(double ra, double dec, double x, double y, double nearDec, double& centreRa,
                   double& centreDec);

// The sensitivity after a request: -99 one fainter-limit step down (from -4
// up), 99 one up (below 5), anything else taken as it is.
int StepSensitivity(int current, int value);

// "After 1Day12h00m", "After 120Day", "Before 00m": how far the dialled
// moment lies from now, given as dialled minus now in days.
std::string TimeDifferenceText(double days);

// The Moon's age in days at an MJD: the time since the last conjunction in
// ecliptic longitude, found by stepping back.
double MoonAge(double mjd);
// The age as the label shows it: floored to a tenth, shortest decimal form.
std::string MoonAgeText(double age);

// An azimuth or altitude text right-aligned in six characters.
std::string Right6(const std::string& text);

// The four read-out texts of a sky direction (J2000): "RA:..", "Dc:..", "AZI:..",
// "ALT:..", the horizon coordinates for the moment's equinox. With refraction the
// altitude is the apparent one.
struct TReadout {
    std::string Ra, Dc, Azi, Alt;
};
TReadout Readout(const TLocation& site, double mjd, double ra, double dec, bool refraction);

} // namespace skyrules
