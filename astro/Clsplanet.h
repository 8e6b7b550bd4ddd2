// Analytic theory of the Sun, the Moon and the planets.
//
// TPlanet is the computing base of every solar-system body class. All angles are radians
// unless a name says otherwise; the time argument d is days from 1900 January 0.5
// (d = MJD - 15019.5 with the MJD in Terrestrial Time), T = d / 36525. body_cir takes the
// moment in Universal Time and adds Delta T (TMjd::TT).
#pragma once

#include <string>

// The result of one body_cir call. The body classes copy it into their own fields.
struct TBodyRecord {
    double Ra = 0.0;          // apparent right ascension of date, [0, 2pi)
    double Dec = 0.0;         // apparent declination of date
    double SunDistKm = 0.0;   // planet: heliocentric distance; Moon: Sun-Moon; Sun: 0
    double EarthDistKm = 0.0; // geocentric distance
    double Elong = 0.0;       // signed elongation, east of the Sun positive; Sun: 0
    double HelioLon = 0.0;    // heliocentric ecliptic longitude (Sun: the Earth's; Moon: 0)
    double HelioLat = 0.0;    // heliocentric ecliptic latitude (Sun, Moon: 0)
    double GeoLon = 0.0;      // apparent geocentric ecliptic longitude
    double GeoLat = 0.0;      // apparent geocentric ecliptic latitude
    double Diam = 0.0;        // apparent diameter
    double Phase = 0.0;       // planets: illuminated fraction x 100; Moon: |Elong|/pi x 100
    double Mag = 0.0;         // visual magnitude
};

// One row of the planet element table reduced to one instant (angles in degrees).
struct TElement {
    double L = 0.0;     // mean longitude, [0, 360)
    double n = 0.0;     // daily motion, degrees per day
    double Peri = 0.0;  // longitude of perihelion
    double e = 0.0;     // eccentricity
    double i = 0.0;     // inclination
    double Node = 0.0;  // longitude of the ascending node
    double a = 0.0;     // semi-major axis, AU
    double Diam1 = 0.0; // apparent diameter at 1 AU, arc seconds
    double V0 = 0.0;    // magnitude constant
};

class TPlanet {
public:
    // Body index of body_cir and GetName.
    enum {
        Mercury = 0,
        Venus,
        Mars,
        Jupiter,
        Saturn,
        Uranus,
        Neptune,
        Pluto,
        Sun,
        Moon,
        Galileo,
        Io,
        Europa,
        Ganymede,
        Callisto
    };
    static constexpr int PlanetCount = 8;
    static constexpr double AUKm = 149597900.0;

    TBodyRecord Result; // filled by body_cir

    TPlanet() = default;
    virtual ~TPlanet() = default;

    // Fills Result for body 0-7 (planets in table order), 8 Sun, 9 Moon at mjd (UT).
    void body_cir(int body, double mjd);

    // One planet (0-7): heliocentric l, b (rad), r (AU), geocentric distance delta (AU),
    // geocentric lambda, beta of date corrected for light time, diameter at 1 AU (arc s)
    // and V0. l, b and r are those of the planet when the light left it; delta is the
    // geometric distance at d.
    void plans(double d, int planet, double& l, double& b, double& r, double& delta, double& lambda,
               double& beta, double& diam1, double& v0);
    // The Sun's true geometric longitude (mean equinox of date) and distance (AU).
    void sunpos(double d, double& lon, double& R);
    // The Sun's mean anomaly.
    void masun(double d, double& M);
    // The Moon: geometric longitude of date [0, 2pi), latitude, horizontal parallax.
    void moon(double d, double& lambda, double& beta, double& parallax);
    // Nutation in obliquity and in longitude (cached for the last d).
    void nutation(double d, double& deps, double& dpsi);
    // Mean obliquity (cached for the last d).
    void obliquity(double d, double& eps0);
    // Ecliptic to equatorial with the true obliquity of date.
    void ecl_eq(double d, double beta, double lambda, double& ra, double& dec);
    // Equatorial to ecliptic; note the order of the outputs (latitude first).
    void eq_ecl(double d, double ra, double dec, double& beta, double& lambda);
    // The shared rotation: direction -1 ecliptic->equatorial, +1 equatorial->ecliptic.
    void ecleq_aux(int direction, double& lonOut, double d, double lon, double lat, double& latOut);
    // Signed elongation of (lambda, beta) from the Sun at longitude lsun.
    void elongation(double lsun, double beta, double lambda, double& E);
    // Kepler's equation: true anomaly nu and eccentric anomaly E for mean anomaly M.
    void anomaly(double M, double e, double& nu, double& E);
    // The working element records of all eight planets for day d.
    void pelement(double d, TElement (&el)[PlanetCount]);
    // x reduced into [0, period) by whole periods.
    static void range(double& x, double period);

    // Perturbations of the inner planets. M holds the mean anomalies (rad) of all eight
    // planets, msun the Earth's (Sun's) mean anomaly. dl in degrees, dr in AU, dlp and dM
    // in radians.
    void p_mercury(const double (&M)[PlanetCount], double& dl, double& dr);
    void p_venus(double T, double msun, const double (&M)[PlanetCount], double& dl, double& dr,
                 double& dlp, double& dM);
    void p_mars(double msun, const double (&M)[PlanetCount], double& dl, double& dr, double& dlp,
                double& dM);

    // Common arguments of the outer-planet series (rad, reduced by whole turns).
    void aux_jsun(double T, double& nu, double& P, double& Q, double& S, double& V, double& W);
    // Outer planets: dlp, dM, db in radians, dl in degrees, de plain, da and dr in AU.
    void p_jupiter(double T, double e, double& dlp, double& de, double& dM, double& da);
    void p_saturn(double T, double e, double& dlp, double& de, double& dM, double& da, double& db);
    void p_uranus(double T, double e, double& dl, double& dr, double& dlp, double& de, double& dM,
                  double& da, double& db);
    void p_neptune(double T, double e, double& dl, double& dr, double& dlp, double& de, double& dM,
                   double& da, double& db);

    // Name of body 0-14 (UTF-8). form 0 Japanese, 1 upper case, 2 mixed case, 3 three-letter
    // code (bodies 0-9 only). Anything outside the table gives "".
    static const char* GetName(int body, int form);
    static void GetNameA(int body, int form, std::string& text);

    // Direction angle of (x, y) in (0, 2pi].
    static double AtnEx(double y, double x);

protected:
    // Computes body `body` for `mjd` and copies the record into a body class's
    // published fields, adding the distances in AU.
    template <class Body> void Publish(Body& b, int body, double mjd) {
        constexpr double kAUPerKm = 6.684585813036146e-9;
        body_cir(body, mjd);
        b.Ra = Result.Ra;
        b.Dec = Result.Dec;
        b.SunDistKm = Result.SunDistKm;
        b.EarthDistKm = Result.EarthDistKm;
        b.SunDist = Result.SunDistKm * kAUPerKm;
        b.EarthDist = Result.EarthDistKm * kAUPerKm;
        b.Elong = Result.Elong;
        if constexpr (requires { b.HelioLon; }) {
            b.HelioLon = Result.HelioLon;
            b.HelioLat = Result.HelioLat;
        }
        b.GeoLon = Result.GeoLon;
        b.GeoLat = Result.GeoLat;
        b.Diam = Result.Diam;
        b.Phase = Result.Phase;
        b.Mag = Result.Mag;
    }

private:
    // One-entry caches, shared by all bodies (one user-interface thread).
    static thread_local double obl_d, obl_val;
    static thread_local bool obl_set;
    static thread_local double nut_d, nut_eps, nut_psi;
    static thread_local bool nut_set;
    static thread_local double rot_d, rot_sin, rot_cos;
    static thread_local bool rot_set;
};
