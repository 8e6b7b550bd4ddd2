#include "navi/Naviaccuracy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
// The error of each reading alone is followed exactly; this covers the
// errors of several readings acting together where the solution is not
// linear in them.
constexpr double kTogether = 1.25;

std::string Degrees(double rad, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f\xC2\xB0", decimals, rad / TNaviAccuracy::kDeg);
    return buf;
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// How much further the readings can be off with one star, where the polar
// axis is taken to be on the pole: the tilt itself, and the zero of the hour
// circle learned wrongly at the star by as much as the tilt turns the star's
// hour angle (more the nearer the star is to the pole).
double AlignmentError(double starDec) {
    const double e = TNaviAccuracy::kRoughAlignment;
    const double reach = std::fabs(starDec) + e;
    if (reach >= TNaviAccuracy::kPi / 2) return kInf;
    return e + std::asin(std::min(1.0, std::sin(e) / std::cos(reach)));
}

} // namespace

double TNaviAccuracy::Separation(double ra1, double dec1, double ra2, double dec2) {
    const double x1 = std::cos(dec1) * std::cos(ra1), y1 = std::cos(dec1) * std::sin(ra1),
                 z1 = std::sin(dec1);
    const double x2 = std::cos(dec2) * std::cos(ra2), y2 = std::cos(dec2) * std::sin(ra2),
                 z2 = std::sin(dec2);
    const double cx = y1 * z2 - z1 * y2, cy = z1 * x2 - x1 * z2, cz = x1 * y2 - y1 * x2;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), x1 * x2 + y1 * y2 + z1 * z2);
}

bool TNaviAccuracy::Estimate(const TNaviStars& stars, const TLocation& site, double ra, double dec,
                             double t, double& bound, std::string& note) {
    bound = 0.0;
    note.clear();
    if (stars.Count == 0) {
        note = "No reference star yet: centre a bright star, press \"Std Star\" and type what "
               "the circles read.";
        return false;
    }
    double cRa = 0.0, cDc = 0.0;
    if (!stars.Dial(site, ra, dec, t, cRa, cDc)) {
        bool usable = false;
        for (int j = 0; j < stars.Count; ++j)
            for (int k = j + 1; k < stars.Count; ++k)
                usable = usable || stars.PairUsable(j, k);
        note = usable ? "The readings of the reference stars fit no polar axis: check them, or "
                        "delete the one typed wrongly."
                      : "The reference stars are too close together (or opposite each other) to "
                        "find the polar axis: add one at least " +
                            Degrees(kUsefulSeparation, 0) + " from the others.";
        return false;
    }
    // Each reading put off by half a step either way, the solution done again.
    TNaviStars moved = stars;
    double sum = 0.0;
    for (int i = 0; i < stars.Count && sum < kInf; ++i) {
        for (int field = 0; field < 2; ++field) {
            double& reading = field == 0 ? moved.Stars[i].CirRa : moved.Stars[i].CirDc;
            const double kept = reading;
            double worst = 0.0;
            for (double sign : {1.0, -1.0}) {
                reading = kept + sign * (field == 0 ? kRaHalfStep : kDcHalfStep);
                double a, d;
                worst = moved.Dial(site, ra, dec, t, a, d)
                            ? std::max(worst, Separation(a, d, cRa, cDc))
                            : kInf;
            }
            reading = kept;
            sum += worst;
        }
    }
    bound = kTogether * sum + kRaHalfStep * std::cos(cDc) + kShownDcHalfStep;
    if (stars.Count == 1) {
        // The target is taken as it is, without the lift of refraction.
        double seenRa, seenDc;
        TNaviStars::Apparent(site, t, ra, dec, seenRa, seenDc);
        bound += AlignmentError(stars.Stars[0].SkyDc) + Separation(ra, dec, seenRa, seenDc);
        note = "One reference star: the polar axis is taken to be within " +
               Degrees(kRoughAlignment, 0) + " of the pole. A second star far from it finds "
                                             "the axis.";
    }
    else if (!std::isfinite(bound) || bound > kUseless)
        note = "Too uncertain to find the object: add a reference star at least " +
               Degrees(kUsefulSeparation, 0) + " from the others.";
    if (!std::isfinite(bound)) bound = kInf;
    return true;
}

std::string TNaviAccuracy::Text(bool known, double bound, const std::string& note) {
    if (!known) return note;
    std::string text = !std::isfinite(bound) || bound > kPi ? std::string("Off by any amount")
                                                             : "Off by up to " +
                                                                   Degrees(bound, bound < kDeg ? 2 : 1);
    if (!note.empty()) text += "\n" + note;
    return text;
}

std::string TNaviAccuracy::Warnings(const TNaviStars& stars, const TLocation& site,
                                    const std::string& name, double ra, double dec, double t) {
    std::string out;
    const std::string who = Trim(name).empty() ? std::string("The object") : Trim(name);
    double az, alt;
    site.AziAlt(t, ra, dec, az, alt);
    if (alt < 0.0)
        out += who + " is " + Degrees(-alt, 0) +
               " below the horizon at the chart's time: it cannot have been centred. Is the "
               "chart set to now?";
    for (int i = 0; i < stars.Count; ++i) {
        const TNaviStar& s = stars.Stars[i];
        if (Trim(s.Name) == Trim(name)) continue; // the same star: not taken twice anyway
        const double apart = Separation(s.CatRa, s.CatDc, ra, dec);
        if (apart >= kUsefulSeparation) continue;
        if (!out.empty()) out += "\r\n";
        out += who + " is only " + Degrees(apart, apart < kDeg ? 2 : 1) + " from " + Trim(s.Name) +
               ": reference stars closer than " + Degrees(kUsefulSeparation, 0) +
               " find the polar axis poorly.";
    }
    return out;
}
