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
    // The calendar test is made in single precision, which places the switch
    // late on 1582 October 10 (dates typed for the days the reform dropped
    // fall on one side or the other).
    const float c = static_cast<float>(year) + static_cast<float>(month - 1) / 12.0f +
                    static_cast<float>(day) / 365.25f;
    const bool gregorian = c >= 1582.78f;
    return dayBase(year, month, gregorian) + day - (summer + zone) / 24.0;
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

double TMjd::GetLSTime(double longitude) const {
    const double x = (Mjd - 40000.0) * 1.002737909 + 0.671262 + longitude / kTwoPi;
    double t = (x - std::floor(x)) * kTwoPi;
    if (t >= kTwoPi) t -= kTwoPi;
    return t;
}

void TMjd::Epoch(double ra, double dec, double fromMjd, double toMjd, double pmRa, double pmDec,
                 double& raOut, double& decOut) {
    const int y0 = yearEstimate(fromMjd);
    const int y1 = yearEstimate(toMjd);
    const double T0 = (y0 - 1900) / 100.0;
    const double t = (y1 - y0) / 100.0;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double zeta = ((2304.25 + 1.396 * T0) * t + 0.302 * t2 + 0.018 * t3) * kArcSec;
    const double z = zeta + 0.791 * t2 * kArcSec;
    const double theta = ((2004.682 - 0.853 * T0) * t - 0.426 * t2 - 0.042 * t3) * kArcSec;

    const double A = ra + pmRa * t * kArcSec;
    const double D = dec + pmDec * t * kArcSec;

    const double cosD = std::cos(D), sinD = std::sin(D);
    const double cosTh = std::cos(theta), sinTh = std::sin(theta);
    const double cosAz = std::cos(A + zeta), sinAz = std::sin(A + zeta);

    const double s = cosD * sinAz;
    const double c = cosTh * cosD * cosAz - sinTh * sinD;
    const double a = AtnEx(s, c);
    // cos D' is the length of the two components (s / sin a in exact
    // arithmetic); the quotient fails on the colure, where s and sin a are both
    // (nearly) zero, and turned a star at ra 0 into the pole.
    const double cosD1 = std::hypot(s, c);
    const double sinD1 = sinTh * cosD * cosAz + cosTh * sinD;

    raOut = a + z;
    decOut = std::atan(sinD1 / cosD1);
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
