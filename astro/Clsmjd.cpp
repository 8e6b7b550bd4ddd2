#include "astro/Clsmjd.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kArcSec = 4.84813681109536e-6;
// Rounding allowance of the local clock fields, seconds.
constexpr double kSecondSnap = 1e-4;

// Month lengths indexed 1..12; entry 0 stands before January and is never read.
constexpr int kMonthDays[13] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Year number of an MJD: the estimate the calendar search starts from, and the
// whole year that precession works with.
int yearEstimate(double mjd) {
    double y = std::floor(mjd * 0.0027379093 + 1858.877);
    // Keep absurd instants from overflowing the integer year.
    if (!(y > -1000000.0)) y = -1000000.0;
    if (y > 1000000.0) y = 1000000.0;
    return static_cast<int>(y);
}

// Day count of the Gregorian (or Julian) calendar at day 0 of a month,
// before the zone is applied; the year runs from March.
double dayBase(int year, int month, bool gregorian) {
    if (month <= 2) {
        month += 12;
        year -= 1;
    }
    const double y = year;
    const double m = std::floor(30.59 * (month - 2));
    if (gregorian) return std::floor(365.25 * y) + (year / 400) - (year / 100) + m - 678912.0;
    // One true floor serves negative years as well: the Julian calendar is
    // uniform, and years before 0 divisible by 4 must not lose a day.
    return std::floor(365.25 * y) + m - 678914.0;
}

// The calendar reform: 1582 October 15 (Gregorian) follows October 4 (Julian).
constexpr int kReformYear = 1582;
constexpr double kReformMjd = -100840.0; // 1582-10-15 0h UT

bool leapYear(int year, bool gregorian) {
    if (!gregorian) return year % 4 == 0;
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Reads the characters [from, from + count) of a text as a number; a missing or
// non-numeric field reads as 0.
double fieldNumber(const char* text, std::size_t from, std::size_t count) {
    if (text == nullptr) return 0.0;
    const std::size_t len = std::strlen(text);
    if (from >= len) return 0.0;
    if (from + count > len) count = len - from;
    char buf[16] = {};
    std::memcpy(buf, text + from, count);
    char* end = nullptr;
    const double v = std::strtod(buf, &end);
    if (end == buf || !std::isfinite(v)) return 0.0;
    while (*end == ' ')
        ++end;
    if (*end != '\0') return 0.0; // the whole field must be a number
    return v;
}

int fieldInteger(const char* text, std::size_t from, std::size_t count) {
    const double v = fieldNumber(text, from, count);
    if (v > 1e9 || v < -1e9) return 0;
    return static_cast<int>(v);
}

} // namespace

TMjd::TMjd() : Mjd(51544.0), Zone(0.0), Summer(0) {
    MJD2Local();
}

double TMjd::JULIAN(int year, int month, double day, double zone, int summer) {
    // Gregorian from 1582 October 15 on; a non-finite day is left to the arithmetic.
    const int d = std::isfinite(day) ? static_cast<int>(std::floor(day)) : 0;
    const bool gregorian =
        year > kReformYear ||
        (year == kReformYear && (month > 10 || (month == 10 && d >= 15)));
    return dayBase(year, month, gregorian) + day - (summer + zone) / 24.0;
}

bool TMjd::LeapYear(int year) {
    return leapYear(year, year > kReformYear);
}

int TMjd::MonthDays(int year, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2 && LeapYear(year)) return 29;
    return kMonthDays[month];
}

bool TMjd::DateExists(int year, int month, int day) {
    if (day < 1 || day > MonthDays(year, month)) return false;
    return !(year == kReformYear && month == 10 && day >= 5 && day <= 14);
}

void TMjd::SetNow(int year, int month, int day, int hour, int minute, int second, double zone,
                  int summer) {
    Mjd = JULIAN(year, month, day + hour / 24.0 + (minute + second / 60.0) / 1440.0, zone, summer);
    MJD2Local();
}

void TMjd::SetNow(const char* date, const char* time, double zone, int summer) {
    const int year = fieldInteger(date, 0, 4);
    const int month = fieldInteger(date, 5, 2);
    const int day = static_cast<int>(fieldNumber(date, 8, 2));
    const int hour = fieldInteger(time, 0, 2);
    const int minute = static_cast<int>(fieldNumber(time, 3, 2));
    const int second = static_cast<int>(fieldNumber(time, 6, 2));
    SetNow(year, month, day, hour, minute, second, zone, summer);
}

void TMjd::SetLocal(double zone, int summer) {
    Zone = zone;
    Summer = summer;
    MJD2Local();
}

void TMjd::SetMJD(double mjd) {
    Mjd = mjd;
    MJD2Local();
}

void TMjd::MJD2Local() {
    double f = 0.0;
    MJD2DATE(Mjd, Zone, Summer, Lyy, Lmm, f);
    if (!std::isfinite(f)) {
        Ldd = 1;
        Lhh = 0;
        Lms = 0;
        Lss = 0.0;
        return;
    }
    Ldd = static_cast<int>(std::floor(f));
    // Split the day in seconds. An instant set as a whole second comes back a
    // few microseconds short after the round trip through the MJD; read it as
    // that second, not as 59.99999 s of the minute before. Any real fraction of
    // a second stays as it is.
    double sec = (f - Ldd) * 86400.0;
    if (sec - std::floor(sec) > 1.0 - kSecondSnap) sec = std::ceil(sec);
    if (sec >= 86400.0) sec = 86400.0 - kSecondSnap;
    Lhh = static_cast<int>(std::floor(sec / 3600.0));
    sec -= Lhh * 3600.0;
    Lms = static_cast<int>(std::floor(sec / 60.0));
    Lss = sec - Lms * 60.0;
}

void TMjd::MJD2DATE(double mjd, double zone, int summer, int& year, int& month, double& day) {
    int y = yearEstimate(mjd);
    if (!std::isfinite(mjd)) {
        year = y;
        month = 1;
        day = mjd;
        return;
    }
    // Local 0h of day 0 of January in the calendar in force on that date: in
    // the reform year the days after the switch count from the Gregorian start.
    const double tz = (summer + zone) / 24.0;
    auto january0 = [&](int yy) {
        if (yy == kReformYear) {
            const bool greg = mjd >= kReformMjd - tz;
            return dayBase(yy, 1, greg) - tz;
        }
        return dayBase(yy, 1, yy > kReformYear) - tz;
    };
    auto yearLength = [&](int yy) {
        if (yy == kReformYear) return 365.0; // counted from its own January 0 either side
        return leapYear(yy, yy > kReformYear) ? 366.0 : 365.0;
    };
    double d = mjd - january0(y);
    // The same allowance at midnight, so that 0h local is not the last
    // moment of the day before.
    auto snap = [](double x) {
        const double up = std::ceil(x);
        return (up - x) * 86400.0 < kSecondSnap ? up : x;
    };
    d = snap(d);
    // The estimate follows the tropical year; far from the present the Julian
    // calendar drifts from it by weeks, so step the year until d lies in it.
    for (int i = 0; i < 8 && d < 1.0; ++i) {
        --y;
        d = snap(mjd - january0(y));
    }
    for (int i = 0; i < 8 && std::floor(d) > yearLength(y); ++i) {
        ++y;
        d = snap(mjd - january0(y));
    }

    int len[13];
    for (int i = 0; i < 13; ++i)
        len[i] = kMonthDays[i];
    if (leapYear(y, y > kReformYear)) len[2] = 29;

    double sum = 0.0;
    int m = 1;
    while (m <= 12 && std::floor(d) - sum - len[m] > 0) {
        sum += len[m];
        ++m;
    }
    if (m > 12) {
        ++y;
        m = 1;
    }
    year = y;
    month = m;
    day = d - sum;
}

namespace {

// Delta T of Espenak and Meeus at the decimal year y, seconds, as published
// (their tidal acceleration, -26"/cy^2).
double espenakMeeus(double y) {
    auto far = [](double yy) {
        const double u = (yy - 1820.0) / 100.0;
        return -20.0 + 32.0 * u * u;
    };
    if (y < -500.0 || y >= 2150.0) return far(y);
    if (y < 500.0) {
        const double u = y / 100.0;
        return 10583.6 +
               u * (-1014.41 +
                    u * (33.78311 +
                         u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
    }
    if (y < 1600.0) {
        const double u = (y - 1000.0) / 100.0;
        return 1574.2 +
               u * (-556.01 +
                    u * (71.23472 +
                         u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
    }
    if (y < 1700.0) {
        const double t = y - 1600.0;
        return 120.0 + t * (-0.9808 + t * (-0.01532 + t / 7129.0));
    }
    if (y < 1800.0) {
        const double t = y - 1700.0;
        return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000.0)));
    }
    if (y < 1860.0) {
        const double t = y - 1800.0;
        return 13.72 +
               t * (-0.332447 +
                    t * (0.0068612 +
                         t * (0.0041116 +
                              t * (-0.00037436 +
                                   t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900.0) {
        const double t = y - 1860.0;
        return 7.62 +
               t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174.0))));
    }
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + t * (0.407 + t * (-1.0 / 233.0 + t / 2547.0));
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + t * (1.067 + t * (-1.0 / 260.0 - t / 718.0));
    }
    if (y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 +
               t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + t * (0.32217 + t * 0.005589);
    }
    return far(y) - 0.5628 * (2150.0 - y);
}

// Rotation matrices in the convention of the IAU SOFA routines: r = R * r.
using TMatrix = double[3][3];

void multiply(const TMatrix& a, const TMatrix& b, TMatrix& out) {
    TMatrix t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out[i][j] = t[i][j];
}

void aboutZ(double a, TMatrix& r) {
    const double c = std::cos(a), s = std::sin(a);
    const TMatrix m = {{c, s, 0.0}, {-s, c, 0.0}, {0.0, 0.0, 1.0}};
    std::memcpy(r, m, sizeof m);
}

void aboutY(double a, TMatrix& r) {
    const double c = std::cos(a), s = std::sin(a);
    const TMatrix m = {{c, 0.0, -s}, {0.0, 1.0, 0.0}, {s, 0.0, c}};
    std::memcpy(r, m, sizeof m);
}

// Precession from the mean equator and equinox of J2000.0 to those of the UT
// instant mjd: the equatorial angles zeta, z and theta of the IAU 2006 (P03)
// model, which hold to well under an arc second over several thousand years.
void precessionMatrix(double mjd, TMatrix& r) {
    // Charts precess thousands of stars to one or two dates per drawing.
    struct Entry {
        double mjd;
        TMatrix m;
        bool set;
    };
    static thread_local Entry cache[2] = {};
    static thread_local int next = 0;
    for (const Entry& e : cache)
        if (e.set && e.mjd == mjd) {
            std::memcpy(r, e.m, sizeof e.m);
            return;
        }
    const double t = (TMjd::TT(mjd) - TMjd::J2000) / 36525.0;
    const double zeta =
        (2.650545 +
         t * (2306.083227 +
              t * (0.2988499 + t * (0.01801828 + t * (-0.000005971 + t * -0.0000003173))))) *
        kArcSec;
    const double z =
        (-2.650545 +
         t * (2306.077181 +
              t * (1.0927348 + t * (0.01826837 + t * (-0.000028596 + t * -0.0000002904))))) *
        kArcSec;
    const double theta =
        t * (2004.191903 + t * (-0.4294934 + t * (-0.04182264 + t * (-0.000007089 + t * -0.0000001274)))) *
        kArcSec;
    TMatrix a, b;
    aboutZ(-zeta, a);
    aboutY(theta, b);
    multiply(b, a, r);
    aboutZ(-z, a);
    multiply(a, r, r);
    Entry& e = cache[next];
    next = 1 - next;
    e.mjd = mjd;
    std::memcpy(e.m, r, sizeof e.m);
    e.set = true;
}

void toVector(double ra, double dec, double v[3]) {
    const double c = std::cos(dec);
    v[0] = c * std::cos(ra);
    v[1] = c * std::sin(ra);
    v[2] = std::sin(dec);
}

void toAngles(const double v[3], double& ra, double& dec) {
    const double xy = std::hypot(v[0], v[1]);
    ra = xy == 0.0 ? 0.0 : std::atan2(v[1], v[0]);
    if (ra < 0.0) ra += kTwoPi;
    if (ra >= kTwoPi) ra -= kTwoPi;
    dec = std::atan2(v[2], xy);
}

} // namespace

double TMjd::DeltaT(double mjd) {
    if (!std::isfinite(mjd)) return 0.0;
    // Decimal year: close enough to the calendar's for a curve that changes
    // by seconds a year at most.
    const double y = 2000.0 + (mjd - J2000) / 365.25;
    double dt = espenakMeeus(y);
    // The polynomials assume a lunar tidal acceleration of -26"/cy^2; the
    // Moon theory's mean longitude follows -25.858 like the modern ephemerides.
    // The observed span needs no correction.
    if (y < 1955.0 || y > 2005.0) dt += -0.000012932 * (y - 1955.0) * (y - 1955.0);
    return dt;
}

double TMjd::MeanSiderealTime(double mjd) {
    if (!std::isfinite(mjd)) return 0.0;
    // Earth rotation angle (UT1), the day's fraction kept apart for precision.
    const double du = mjd - J2000;
    const double f = (mjd - std::floor(mjd)) + 0.5;
    const double era = kTwoPi * (f + 0.7790572732640 + 0.00273781191135448 * du);
    const double t = (TT(mjd) - J2000) / 36525.0;
    const double poly =
        (0.014506 +
         t * (4612.156534 + t * (1.3915817 + t * (-0.00000044 + t * (-0.000029956 + t * -0.0000000368))))) *
        kArcSec;
    double g = std::fmod(era + poly, kTwoPi);
    if (g < 0.0) g += kTwoPi;
    if (g >= kTwoPi) g -= kTwoPi;
    return g;
}

double TMjd::GetLSTime(double longitude) const {
    double t = std::fmod(MeanSiderealTime(Mjd) + longitude, kTwoPi);
    if (t < 0.0) t += kTwoPi;
    if (t >= kTwoPi) t -= kTwoPi;
    return t;
}

void TMjd::ProperMotion(double ra, double dec, double pmRaCosDec, double pmDec, double years,
                        double& raOut, double& decOut) {
    // Straight-line motion in space: the unit vector plus the tangential
    // velocity (radians a year along east and north) times the years, made a
    // unit vector again.
    ProperMotion(PlaceTrig(ra, dec), pmRaCosDec, pmDec, years, raOut, decOut);
}

void TMjd::ProperMotion(const TPlaceTrig& place, double pmRaCosDec, double pmDec, double years,
                        double& raOut, double& decOut) {
    const double sa = place.SinRa, ca = place.CosRa, sd = place.SinDec, cd = place.CosDec;
    const double k = years * kArcSec / 1000.0;
    const double e = pmRaCosDec * k, n = pmDec * k;
    const double v[3] = {cd * ca - e * sa - n * sd * ca, cd * sa + e * ca - n * sd * sa,
                         sd + n * cd};
    toAngles(v, raOut, decOut);
}

void TMjd::Epoch(double ra, double dec, double fromMjd, double toMjd, double pmRa, double pmDec,
                 double& raOut, double& decOut) {
    if (pmRa != 0.0 || pmDec != 0.0)
        ProperMotion(ra, dec, pmRa * std::cos(dec) * 10.0, pmDec * 10.0, (toMjd - fromMjd) / 365.25,
                     ra, dec);
    TMatrix from, to;
    precessionMatrix(fromMjd, from);
    precessionMatrix(toMjd, to);
    double v[3], j[3], w[3];
    toVector(ra, dec, v);
    for (int i = 0; i < 3; ++i)
        j[i] = from[0][i] * v[0] + from[1][i] * v[1] + from[2][i] * v[2]; // back to J2000
    for (int i = 0; i < 3; ++i)
        w[i] = to[i][0] * j[0] + to[i][1] * j[1] + to[i][2] * j[2];
    toAngles(w, raOut, decOut);
}

void TMjd::Epoch(double ra, double dec, double toMjd, double pmRa, double pmDec, double& raOut,
                 double& decOut) const {
    Epoch(ra, dec, Mjd, toMjd, pmRa, pmDec, raOut, decOut);
}

double TMjd::AtnEx(double y, double x) {
    if (x == 0.0) return y < 0.0 ? 1.5 * kPi : 0.5 * kPi;
    const double r = std::atan(y / x);
    if (x < 0.0) return r + kPi;
    if (y <= 0.0) return r + kTwoPi;
    return r;
}
