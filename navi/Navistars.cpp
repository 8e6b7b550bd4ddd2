#include "navi/Navistars.h"

#include "astro/Clssphere.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.28318530717958;
const std::string kClick = "ClickPoint";
// Two clicked points closer than this (radians) are the same point.
constexpr double kSamePoint = 1e-5;
// A pair whose two directions are closer than this to parallel (sine of the
// angle between them) fixes no plane, so it says nothing about the axis.
constexpr double kParallel = 1e-4;

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    const auto e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

struct Vec {
    double x, y, z;
};

Vec Unit(double ra, double dec) {
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}

// Sine of the angle between two unit vectors.
double SinBetween(const Vec& a, const Vec& b) {
    const Vec c{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    return std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
    const Vec a = Unit(ra1, dec1), b = Unit(ra2, dec2);
    const double cosD = a.x * b.x + a.y * b.y + a.z * b.z;
    return std::atan2(SinBetween(a, b), cosD);
}

} // namespace

double TNaviStars::Wrap(double x) {
    if (!std::isfinite(x)) return 0.0;
    while (x < 0.0)
        x += kTwoPi;
    while (x > kTwoPi)
        x -= kTwoPi;
    return x;
}

void TNaviStars::Apparent(const TLocation& site, double t, double ra, double dec, double& ra2,
                          double& dec2) {
    double azimuth, altitude;
    site.AziAlt(t, ra, dec, azimuth, altitude);
    site.AziAlt2RaDc(t, azimuth, site.Refract(altitude), ra2, dec2);
}

bool TNaviStars::IsDuplicate(const std::string& name, double ra, double dec,
                             int& clickCount) const {
    const std::string trimmed = Trim(name);
    clickCount = 0;
    if (trimmed == kClick) {
        // A clicked point has no name of its own: it is the same point when it
        // lies where an earlier entry was handed in (both places of date,
        // neither refracted, so like is compared with like).
        bool same = false;
        for (int i = 0; i < Count; ++i) {
            if (Stars[i].Name.find(kClick) != std::string::npos) ++clickCount;
            if (Separation(Stars[i].CatRa, Stars[i].CatDc, ra, dec) < kSamePoint) same = true;
        }
        return same;
    }
    for (int i = 0; i < Count; ++i)
        if (Trim(Stars[i].Name) == trimmed) return true;
    return false;
}

TNaviStars::TAddResult TNaviStars::Add(const TLocation& site, std::string& name, double ra,
                                       double dec, double refTime, double cirRa, double cirDc) {
    int clicks = 0;
    if (IsDuplicate(name, ra, dec, clicks)) return Duplicate;
    if (Count >= kMax) return Full;
    if (Trim(name) == kClick) {
        // Numbered after the clicked points listed; a number still in use after
        // a deletion is skipped so that no two rows carry the same name.
        int number = clicks + 1;
        auto used = [this](const std::string& n) {
            for (int i = 0; i < Count; ++i)
                if (Trim(Stars[i].Name) == n) return true;
            return false;
        };
        while (used(kClick + std::to_string(number)))
            ++number;
        name = kClick + std::to_string(number);
    }
    TNaviStar& s = Stars[Count];
    s.Name = name;
    s.Time = refTime;
    Apparent(site, refTime, ra, dec, s.SkyRa, s.SkyDc);
    s.CirRa = cirRa;
    s.CirDc = cirDc;
    s.CatRa = ra;
    s.CatDc = dec;
    ++Count;
    return Added;
}

bool TNaviStars::Delete(int index) {
    if (index < 0 || index >= Count) return false;
    for (int i = index; i + 1 < Count; ++i)
        Stars[i] = Stars[i + 1];
    Stars[Count - 1] = TNaviStar();
    --Count;
    return true;
}

bool TNaviStars::PairUsable(int j, int k) const {
    const TNaviStar& a = Stars[j];
    const TNaviStar& b = Stars[k];
    // Star k's sky place moved back to the instant of star j, as the pole
    // solution sees it.
    const double raK = b.SkyRa - (b.Time - a.Time) * kOmega;
    const bool sky = SinBetween(Unit(a.SkyRa, a.SkyDc), Unit(raK, b.SkyDc)) > kParallel;
    const bool circle = SinBetween(Unit(a.CirRa, a.CirDc), Unit(b.CirRa, b.CirDc)) > kParallel;
    return sky && circle;
}

bool TNaviStars::Pole(double t, double& P, double& Pdec, double& Q, double& R) const {
    bool have = false;
    for (int j = 0; j < Count; ++j) {
        for (int k = j + 1; k < Count; ++k) {
            if (!PairUsable(j, k)) continue;
            const TNaviStar& a = Stars[j];
            const TNaviStar& b = Stars[k];
            double p, pd, q, r;
            TSphere::PolePosition(a.CirRa, a.CirDc, b.CirRa, b.CirDc, a.SkyRa, a.SkyDc, b.SkyRa,
                                  b.SkyDc, a.Time, b.Time, t, p, pd, q, r);
            if (!std::isfinite(p) || !std::isfinite(pd) || !std::isfinite(q) || !std::isfinite(r))
                continue;
            if (!have) {
                P = p, Pdec = pd, Q = q, R = r;
                have = true;
                continue;
            }
            // Half-way from the running value to this pair's: the last pair
            // weighs one half, the one before a quarter, and so on.
            TSphere::Devide(P, Pdec, p, pd, 1.0, 2.0, P, Pdec);
            TSphere::Devide(Q, R, q, r, 1.0, 2.0, Q, R);
        }
    }
    return have && std::isfinite(P) && std::isfinite(Pdec) && std::isfinite(Q) && std::isfinite(R);
}

bool TNaviStars::Dial(const TLocation& site, double ra, double dec, double t, double& cirRa,
                      double& cirDc) const {
    if (Count == 0) return false;
    if (Count == 1) {
        // One star: the polar axis is taken as aligned, so only the zero of
        // the hour circle is learned, and the sky turns under it.
        const TNaviStar& s = Stars[0];
        cirRa = Wrap(ra - s.SkyRa + s.CirRa - (t - s.Time) * kOmega);
        cirDc = dec;
        return true;
    }
    double P, Pdec, Q, R;
    if (!Pole(t, P, Pdec, Q, R)) return false;
    double ra2, dec2;
    Apparent(site, t, ra, dec, ra2, dec2);
    double a, d;
    TSphere::RDobj(ra2, dec2, P, Q, R, a, d);
    if (!std::isfinite(a) || !std::isfinite(d)) return false;
    cirRa = Wrap(a);
    cirDc = d;
    return true;
}
