#include "astro/Clslocation.h"

#include <cmath>
#include <numbers>

#include "astro/Clsmjd.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
constexpr double kEarthRadiusKm = 6378.16;

} // namespace

TLocation::TLocation()
    : HeightR(0.0), Meter(0.0), Feet(0.0), TempC(0.0), TempF(0.0), HPA(0.0), IHG(0.0), MHG(0.0),
      Lat(0.619591884457987), Lon(2.4347343065320897) {
    SetMeter(50.0);
    SetTempC(20.0);
    SetHPA(1000.0);
}

void TLocation::SetMeter(double m) {
    Meter = m;
    HeightR = m * 1.5675298112819509e-7;
    Feet = HeightR * 20930000.0;
}

void TLocation::SetFeet(double f) {
    Feet = f;
    HeightR = f * 4.777830864787387e-8;
    Meter = HeightR * 6379464.0;
}

void TLocation::SetTempC(double c) {
    TempC = c;
    TempF = c * 1.8 + 32.0;
}

void TLocation::SetTempF(double f) {
    TempF = f;
    TempC = (f - 32.0) * 0.5555555555555556;
}

void TLocation::SetHPA(double p) {
    HPA = p;
    IHG = p * 0.029533372711163616;
    MHG = p * 0.7500637554192106;
}

void TLocation::SetIHG(double i) {
    IHG = i;
    HPA = i * 33.86;
    MHG = HPA * 0.7500637554192106;
}

void TLocation::SetMHG(double m) {
    MHG = m;
    HPA = m * 1.33322;
    IHG = HPA * 0.029533372711163616;
}

void TLocation::follow(LatCache& cache) const {
    if (cache.lat == Lat) return;
    cache.lat = Lat;
    cache.sinLat = std::sin(Lat);
    cache.cosLat = std::cos(Lat);
    cache.tanLat = std::tan(Lat);
}

double TLocation::SiderealTime(double mjd) const {
    double t = std::fmod(TMjd::MeanSiderealTime(mjd) + Lon, kTwoPi);
    if (t < 0.0) t += kTwoPi;
    if (t >= kTwoPi) t -= kTwoPi;
    return t;
}

namespace {

void horizontal(double H, double dec, double sinLat, double cosLat, double& azimuth,
                double& altitude) {
    const double sinDec = std::sin(dec);
    double sinH = sinDec * sinLat + std::cos(dec) * cosLat * std::cos(H);
    if (sinH > 1.0) sinH = 1.0;
    if (sinH < -1.0) sinH = -1.0;
    altitude = std::asin(sinH);
    double q = cosLat * std::cos(altitude);
    // In the zenith (or at a pole) the azimuth is undefined; keep it finite.
    if (std::fabs(q) < 1e-20) q = q >= 0.0 ? 1e-20 : -1e-20;
    const double c = (sinDec - sinLat * sinH) / q;
    if (c >= 1.0)
        azimuth = 0.0;
    else if (c <= -1.0)
        azimuth = kPi;
    else
        azimuth = std::acos(c);
    if (std::sin(H) > 0.0) azimuth = kTwoPi - azimuth; // west of the meridian
}

} // namespace

void TLocation::AziAlt(double mjd, double ra, double dec, double& azimuth, double& altitude) const {
    follow(aziAltCache_);
    horizontal(SiderealTime(mjd) - ra, dec, aziAltCache_.sinLat, aziAltCache_.cosLat, azimuth,
               altitude);
}

void TLocation::AziAlt2(double lst, double ra, double dec, double& azimuth,
                        double& altitude) const {
    follow(aziAlt2Cache_);
    horizontal(lst - ra, dec, aziAlt2Cache_.sinLat, aziAlt2Cache_.cosLat, azimuth, altitude);
}

void TLocation::AziAlt2RaDc(double mjd, double azimuth, double altitude, double& ra,
                            double& dec) const {
    const double theta = SiderealTime(mjd);
    const double sinLat = std::sin(Lat), cosLat = std::cos(Lat);
    const double sinH = std::sin(altitude), cosH = std::cos(altitude);
    const double x = cosLat * sinH + sinLat * cosH * std::cos(azimuth - kPi);
    const double y = cosH * std::sin(azimuth - kPi);
    // x is exactly 0 on the horizon of a site on the equator; the sign of y
    // still tells east (rising, 3pi/2) from west, which AtnEx keeps.
    const double H = AtnEx(y, x);
    ra = range(0.0, kTwoPi, theta - H);
    const double s = sinLat * sinH + cosLat * cosH * std::cos(azimuth);
    if (s > 0.9999999999)
        dec = kPi / 2.0;
    else if (s < -0.9999999999)
        dec = -kPi / 2.0;
    else
        dec = std::atan(s / std::sqrt(1.0 - s * s));
}

double TLocation::Refract(double altitude) const {
    double r = 0.0;
    if (altitude >= 0.2617993877991494) {
        r = 7.888888e-5 * HPA / ((273.0 + TempC) * std::tan(altitude));
    } else if (altitude > -0.08726646259971647) {
        const double a = altitude / kDeg;
        r = HPA * (0.1594 + 0.0196 * a + 0.00002 * a * a) /
            ((273.0 + TempC) * (1.0 + 0.505 * a + 0.0845 * a * a)) * kDeg;
    }
    return altitude + r;
}

double TLocation::RefractInv(double altitude) const {
    // Walk down from the apparent altitude, refining the step tenfold each time
    // it overshoots, to 1e-8 of a degree.
    double x = altitude;
    double step = 0.0017453292519943296;
    int refinements = 0;
    int guard = 0;
    while (refinements < 8) {
        if (Refract(x - step) >= altitude && ++guard < 100000) {
            x -= step;
        } else {
            step *= 0.1;
            ++refinements;
        }
    }
    return x;
}

double TLocation::GetChisinFai(double latitude, double height) const {
    return std::atan(std::tan(latitude) * (0.9933055 + 1.1e-9 * height));
}

double TLocation::GetChisinDist(double latitude) const {
    return (0.99832707 + 0.00167644 * std::cos(2.0 * latitude) -
            3.52e-6 * std::cos(4.0 * latitude)) *
           kEarthRadiusKm;
}

void TLocation::Parallax(double mjd, double ra, double dec, double distance, double& ra2,
                         double& dec2, double& distance2) const {
    const double theta = SiderealTime(mjd);
    const double rho = GetChisinDist(Lat) / kEarthRadiusKm;
    const double r = distance / kEarthRadiusKm;
    const double phi = GetChisinFai(Lat, Meter);
    const double x = r * std::cos(dec) * std::cos(ra) - rho * std::cos(phi) * std::cos(theta);
    const double y = r * std::cos(dec) * std::sin(ra) - rho * std::cos(phi) * std::sin(theta);
    const double z = r * std::sin(dec) - rho * std::sin(phi);
    distance2 = std::sqrt(x * x + y * y + z * z) * kEarthRadiusKm;
    ra2 = AtnEx(y, x);
    // The length of the equatorial component, taken directly so that a body
    // at right ascension 0 or 12h keeps its declination.
    dec2 = std::atan2(z, std::hypot(x, y));
}

double TLocation::range(double low, double high, double x) {
    const double p = high - low;
    if (!(p > 0.0) || !std::isfinite(x)) return x;
    double r = x - p * std::floor((x - low) / p);
    if (r >= high) r -= p;
    if (r < low) r += p;
    if (r >= high) r = low; // rounding left it on the upper edge
    return r;
}

bool TLocation::RiseSet(int event, double mjd0, double zone, int summer, double ra, double dec,
                        double diameter, double distance, int& dayShift, double& time,
                        double& azimuth) const {
    double P = 0.0, S = 0.0;
    if (distance > 0.0) {
        const double sp = 4.26e-5 / distance;
        P = std::asin(sp < 1.0 ? sp : 1.0);
        S = diameter / 2.0;
    }
    const double R = 0.0102; // standard refraction at the horizon, 35.065'

    follow(riseSetCache_);
    const double cosLat = riseSetCache_.cosLat;
    const double cosDec = std::cos(dec), sinDec = std::sin(dec);

    const double c = -std::tan(dec) * riseSetCache_.tanLat;
    if (!(std::fabs(c) <= 1.0)) return false; // circumpolar or never rising

    // First-order shift of the hour angle for the horizon depressed by R + S - P.
    double H0 = kPi / 2.0;
    if (std::fabs(c) >= 1e-14) {
        H0 = std::atan(std::sqrt(1.0 - c * c) / c);
        if (H0 < 0.0) H0 += kPi;
    }
    const double dH = (R + S - P) / (cosLat * cosDec * std::sin(H0));
    // The horizon lowered by refraction and the disc (or raised by parallax)
    // can lift the whole daily circle above it, or sink it below: then there is
    // no crossing, and an hour angle past the meridian would be meaningless.
    const double H = H0 + dH;
    if (!(H > 0.0 && H < kPi)) return false;

    const double theta0 = SiderealTime(mjd0 - dayShift);

    double t = event == 0 ? ra - H - theta0 : ra + H - theta0;
    t = range(0.0, kTwoPi, t);
    t *= 0.997269476174235; // sidereal to solar
    if (t > kTwoPi) t -= kTwoPi;
    time = t;

    const double zr = (zone + summer) * 15.0 * kDeg;
    if (zr > 0.0)
        dayShift = t > kTwoPi - zr ? 1 : 0;
    else
        dayShift = t < -zr ? -1 : 0;

    // Angle between north and the crossing point; east for a rising, west for
    // a setting.
    const double fromNorth = std::atan2(cosDec * std::sin(H0), sinDec / cosLat);
    azimuth = event == 0 ? fromNorth : kTwoPi - fromNorth;
    return true;
}

double TLocation::AtnEx(double y, double x) {
    return TMjd::AtnEx(y, x);
}
