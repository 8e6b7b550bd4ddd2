#pragma once

// The observing site: latitude, longitude, height, air temperature and
// pressure, and everything that depends on them: horizontal coordinates,
// refraction, the topocentric place of a near body, rising and setting.

class TLocation {
public:
    double HeightR; // height in Earth radii
    double Meter;   // height, metres
    double Feet;    // height, feet
    double TempC;   // air temperature, degrees Celsius
    double TempF;   // air temperature, degrees Fahrenheit
    double HPA;     // air pressure, hPa
    double IHG;     // air pressure, inches of mercury
    double MHG;     // air pressure, millimetres of mercury
    double Lat;     // geographic latitude, radians, north positive
    double Lon;     // longitude, radians, east positive

    TLocation();

    void SetMeter(double m);
    void SetFeet(double f);
    void SetTempC(double c);
    void SetTempF(double f);
    void SetHPA(double p);
    void SetIHG(double i);
    void SetMHG(double m);
    double GetMeter() const { return Meter; }
    double GetFeet() const { return Feet; }
    double GetTempC() const { return TempC; }
    double GetTempF() const { return TempF; }
    double GetHPA() const { return HPA; }
    double GetIHG() const { return IHG; }
    double GetMHG() const { return MHG; }

    // Azimuth (north 0, east pi/2) and altitude at the instant mjd (UT).
    void AziAlt(double mjd, double ra, double dec, double& azimuth, double& altitude) const;
    // The same with the local sidereal time given.
    void AziAlt2(double lst, double ra, double dec, double& azimuth, double& altitude) const;
    // Horizontal to equatorial at the instant mjd.
    void AziAlt2RaDc(double mjd, double azimuth, double altitude, double& ra, double& dec) const;

    // True altitude to apparent, and back.
    double Refract(double altitude) const;
    double RefractInv(double altitude) const;

    // Topocentric place of a body given geocentrically; distances in km.
    void Parallax(double mjd, double ra, double dec, double distance, double& ra2, double& dec2,
                  double& distance2) const;

    // Geocentric latitude of a site at a geographic latitude and a height (m).
    double GetChisinFai(double latitude, double height) const;
    // Geocentric distance of a site at a geographic latitude, km.
    double GetChisinDist(double latitude) const;

    // x reduced into [low, high) by whole periods.
    static double range(double low, double high, double x);

    // One evaluation of a rising (event 0) or setting (otherwise) on the civil
    // date whose 0h UT is mjd0. diameter in radians, distance in AU (0 for a
    // fixed object). dayShift is read (the day the sidereal time is taken for)
    // and written (+1/-1 when the event falls on the next/previous local day).
    // time: UT after 0h of mjd0 - dayShift as an angle (2pi = 24 h); azimuth of
    // the crossing point (north 0, east pi/2). False when the object does not
    // cross the horizon; the outputs are then left as they were.
    bool RiseSet(int event, double mjd0, double zone, int summer, double ra, double dec,
                 double diameter, double distance, int& dayShift, double& time,
                 double& azimuth) const;

    static double AtnEx(double y, double x);

    // Local mean sidereal time at the site for an MJD (UT), radians in [0, 2pi).
    double SiderealTime(double mjd) const;

private:
    // Sines and cosines of the latitude each conversion saw last; the first
    // call finds the impossible latitude -1000 and computes them.
    struct LatCache {
        double lat = -1000.0;
        double sinLat = 0.0;
        double cosLat = 0.0;
        double tanLat = 0.0;
    };
    void follow(LatCache& cache) const;
    mutable LatCache aziAltCache_;
    mutable LatCache aziAlt2Cache_;
    mutable LatCache riseSetCache_;
};
