#pragma once

// One instant of time as a Modified Julian Date of Universal Time, with its
// local civil calendar fields for the observing site, the local mean sidereal
// time and the precession of equatorial coordinates between two dates.

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

    TMjd();

    // Local civil date and time in the given zone and summer time; the zone and
    // summer time are used for the conversion only, not stored.
    void SetNow(int year, int month, int day, int hour, int minute, int second, double zone,
                int summer);
    // Date "yyyy?mm?dd" and time "hh?mm?ss" read at fixed character positions.
    void SetNow(const char* date, const char* time, double zone, int summer);

    // MJD (UT) of a local calendar instant; day carries the fraction of the day.
    static double JULIAN(int year, int month, double day, double zone, int summer);

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

    // Local mean sidereal time of Mjd at an east longitude (radians), in [0, 2pi).
    double GetLSTime(double longitude) const;

    // Precession of (ra, dec) from the equinox of fromMjd to that of toMjd; proper
    // motions in arc seconds per century.
    static void Epoch(double ra, double dec, double fromMjd, double toMjd, double pmRa,
                      double pmDec, double& raOut, double& decOut);
    // The same from the equinox of this object's Mjd.
    void Epoch(double ra, double dec, double toMjd, double pmRa, double pmDec, double& raOut,
               double& decOut) const;

    // Direction angle of the point (x, y), in (0, 2pi].
    static double AtnEx(double y, double x);
};
