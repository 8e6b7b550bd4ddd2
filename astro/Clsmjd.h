#pragma once

// One instant of time as a Modified Julian Date of Universal Time, with its
// local civil calendar fields for the observing site, the local mean sidereal
// time and the precession of equatorial coordinates between two dates.
//
// Universal Time is what the user types and reads and what turns the sky
// (sidereal time, horizon, rise and set). The theories of the bodies run on
// Terrestrial Time, TT = UT + Delta T (DeltaT, TT).

#include <cmath>

class TMjd {
public:
    double Mjd;  // the instant, MJD (UT), days
    double Zone; // time zone of the site, hours east of Greenwich
    int Summer;  // summer-time offset, whole hours, added to Zone
    int Lyy;     // local civil year (astronomical numbering)
    int Lmm;     // local month 1..12
    int Ldd;     // local day of month
    int Lhh;     // local hour 0..23
    int Lms;     // local minute 0..59
    double Lss;  // local second with its fraction

    // The standard epoch J2000.0, 2000 January 1 12h, as an MJD: the equinox of
    // the catalogues and of the atlas.
    static constexpr double J2000 = 51544.5;

    TMjd();

    // Local civil date and time in the given zone and summer time; the zone and
    // summer time are used for the conversion only, not stored.
    void SetNow(int year, int month, int day, int hour, int minute, int second, double zone,
                int summer);
    // Date "yyyy?mm?dd" and time "hh?mm?ss" read at fixed character positions.
    void SetNow(const char* date, const char* time, double zone, int summer);

    // MJD (UT) of a local calendar instant; day carries the fraction of the day.
    // Julian calendar before 1582 October 15, Gregorian from that day; the
    // days 1582 October 5-14, which do not exist, count on in the Julian one.
    static double JULIAN(int year, int month, double day, double zone, int summer);

    // The calendar of every date the user types or steps through: Julian before
    // 1582 October 15 (any year, 0 = 1 BC, -1000 = 1001 BC), Gregorian from it.
    static bool LeapYear(int year);
    // Days of a month, 1..12 (October 1582 counts to 31; ten of them are missing).
    static int MonthDays(int year, int month);
    // False for the days the reform dropped (1582 October 5-14) and for days
    // that are not in the month.
    static bool DateExists(int year, int month, int day);

    void SetLocal(double zone, int summer);
    void SetMJD(double mjd);
    double GetMJD() const { return Mjd; }

    int GetLyy() const { return Lyy; }
    int GetLmm() const { return Lmm; }
    int GetLdd() const { return Ldd; }
    int GetLhh() const { return Lhh; }
    int GetLms() const { return Lms; }
    double GetLss() const { return Lss; }

    // Recomputes Lyy..Lss from Mjd, Zone and Summer.
    void MJD2Local();
    // Local calendar date of any MJD; day carries the fraction (1.0 = 0h on the 1st).
    static void MJD2DATE(double mjd, double zone, int summer, int& year, int& month, double& day);

    // Delta T = TT - UT in seconds at the UT instant mjd: the polynomials of
    // Espenak and Meeus (after Morrison and Stephenson 2004) from -1999 to 3000,
    // their parabola outside, with the correction for a lunar tidal acceleration
    // of -25.858"/cy^2 (that of the modern lunar ephemerides the Moon theory is
    // fitted to) outside 1955-2005.
    static double DeltaT(double mjd);
    // The Terrestrial Time of the UT instant mjd, as an MJD.
    static double TT(double mjd) { return mjd + DeltaT(mjd) / 86400.0; }

    // Greenwich mean sidereal time of the UT instant mjd (IAU 2006: the Earth
    // rotation angle and the precession polynomial in TT), radians in [0, 2pi).
    static double MeanSiderealTime(double mjd);
    // Local mean sidereal time of Mjd at an east longitude (radians), in [0, 2pi).
    double GetLSTime(double longitude) const;

    // Precession of (ra, dec) from the mean equinox of the instant fromMjd to that
    // of toMjd (IAU 2006, continuous in time; both UT). Proper motions in arc
    // seconds per century of right ascension (d ra / dt, not times cos dec) and
    // declination, carried over the same interval first. raOut in [0, 2pi).
    static void Epoch(double ra, double dec, double fromMjd, double toMjd, double pmRa,
                      double pmDec, double& raOut, double& decOut);
    // A star's place after `years` Julian years of uniform motion in space
    // across the line of sight (pmRaCosDec = d ra / dt x cos dec and pmDec in
    // milliarcseconds per year; no radial velocity): the place eraStarpm gives
    // with zero radial velocity. Equator and equinox stay those of the input.
    static void ProperMotion(double ra, double dec, double pmRaCosDec, double pmDec, double years,
                             double& raOut, double& decOut);
    // The same from the sines and cosines of the place, for a caller that
    // moves the same stars again and again; the result is the same to the bit.
    struct TPlaceTrig {
        double SinRa, CosRa, SinDec, CosDec;
    };
    static TPlaceTrig PlaceTrig(double ra, double dec) {
        return {std::sin(ra), std::cos(ra), std::sin(dec), std::cos(dec)};
    }
    static void ProperMotion(const TPlaceTrig& place, double pmRaCosDec, double pmDec,
                             double years, double& raOut, double& decOut);
    // The same from the equinox of this object's Mjd.
    void Epoch(double ra, double dec, double toMjd, double pmRa, double pmDec, double& raOut,
               double& decOut) const;

    // Direction angle of the point (x, y), in (0, 2pi].
    static double AtnEx(double y, double x);
};
