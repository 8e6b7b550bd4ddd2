#include "app/Skyrules.h"

#include "astro/Clsdegree.h"
#include "astro/Clsmjd.h"
#include "astro/Clslocation.h"
#include "astro/Clsmoon.h"
#include "astro/Clssun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace skyrules {

int ZoomIn(int scale) {
    if (scale > kMaxScale - 1) return scale;
    return static_cast<int>(std::min<double>(std::trunc(scale * 1.5), kMaxScale));
}

int ZoomOut(int scale) {
    if (scale <= kMinScale) return scale;
    return static_cast<int>(std::max<double>(std::trunc(scale * 2.0 / 3.0), kMinScale));
}

void CentreKeeping(double ra, double dec, double x, double y, double nearDec, double& centreRa,
                   double& centreDec) {
    const double rho = std::hypot(x, y);
    if (rho < 1e-15) {
        centreRa = ra;
        centreDec = dec;
        return;
    }
    // The point's direction from the centre: north and east parts of the
    // unit bearing (the chart has north up and east to the left).
    const double un = -y / rho, ue = -x / rho;
    const double c = std::cos(rho), s = std::sin(rho);
    // Its height above the equator: sin dec = cos rho sin dc + s un cos dc
    // = A sin(dc + phi).
    const double a = std::hypot(c, s * un), phi = std::atan2(s * un, c);
    const double q = std::asin(std::clamp(std::sin(dec) / a, -1.0, 1.0));
    double best = 0.0, bestOff = 1e9;
    for (double d : {q - phi, kHalfPi * 2 - q - phi, -kHalfPi * 2 - q - phi}) {
        // A root beyond a pole counts only when no other is within them.
        const double held = std::clamp(d, -kHalfPi, kHalfPi);
        const double off = 100 * std::fabs(d - held) + std::fabs(held - nearDec);
        if (off < bestOff) {
            bestOff = off;
            best = held;
        }
    }
    centreDec = best;
    // The point as seen from a centre at right ascension 0: its right
    // ascension there is the offset of the true centre's.
    const double sd = std::sin(best), cd = std::cos(best);
    const double vx = c * cd - s * un * sd, vy = s * ue;
    double r = ra - std::atan2(vy, vx);
    r = std::fmod(r, kTwoPi);
    if (r < 0) r += kTwoPi;
    centreRa = r;
}

double StepDec(double dec, int direction, int atlasHeight, int scale) {
    const double step = (static_cast<double>(atlasHeight) / std::max(scale, 1)) / 4.0;
    if (direction > 0) {
        if (dec >= kHalfPi) return dec;
        return std::min(dec + step, kHalfPi);
    }
    if (dec <= -kHalfPi) return dec;
    return std::max(dec - step, -kHalfPi);
}

double RaSpan(double leftRa, double rightRa) {
    double span = leftRa - rightRa;
    if (span < 0) span += kTwoPi;
    return span;
}

double StepRa(double ra, int direction, double span) {
    if (direction > 0) {
        ra += span / 4.0;
        if (ra > kTwoPi) ra -= kTwoPi;
    } else {
        ra -= span / 4.0;
        if (ra < 0) ra += kTwoPi;
    }
    return ra;
}

int StepSensitivity(int current, int value) {
    if (value == -99) return current >= -4 ? current - 1 : current;
    if (value == 99) return current < 5 ? current + 1 : current;
    return value;
}

std::string TimeDifferenceText(double d) {
    std::string text = "After ";
    if (d < 0) {
        text = "Before ";
        d = -d;
    }
    // Whole seconds first: a difference of exactly three minutes must not
    // read 02m because 3/1440 of a day is not exact in binary.
    const long long total = std::llround(d * 86400.0);
    const long long days = total / 86400;
    std::string body;
    if (days > 0) body = std::to_string(days) + "Day";
    if (days < 100) {
        const int hours = static_cast<int>(total % 86400 / 3600);
        const int minutes = static_cast<int>(total % 3600 / 60);
        char buf[16];
        if (hours > 0 || !body.empty()) {
            std::snprintf(buf, sizeof buf, "%02dh", hours);
            body += buf;
        }
        std::snprintf(buf, sizeof buf, "%02dm", minutes);
        body += buf;
    }
    return text + body;
}

double MoonAge(double mjd) {
    TSun sun;
    TMoon moon;
    double t = mjd;
    for (int i = 0; i < 10; ++i) {
        sun.SetMjd(t);
        moon.SetMjd(t);
        double e = std::fmod(moon.GeoLon - sun.GeoLon, kTwoPi);
        if (e < 0) e += kTwoPi;
        t -= e / kTwoPi * 20.0;
        if (e < 0.0001) break;
    }
    return mjd - t;
}

std::string MoonAgeText(double age) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", std::floor(age * 10.0) / 10.0);
    return buf;
}

std::string Right6(const std::string& text) {
    const std::string padded = "   " + text;
    // Count from the end in characters, not bytes: the degree mark is two bytes.
    std::size_t pos = padded.size();
    for (int n = 0; n < 6 && pos > 0; ++n) {
        --pos;
        while (pos > 0 && (static_cast<unsigned char>(padded[pos]) & 0xC0) == 0x80)
            --pos;
    }
    return padded.substr(pos);
}

TReadout Readout(const TLocation& site, double mjd, double ra, double dec, bool refraction) {
    TReadout r;
    TDegrees deg;
    deg.SetRad(ra);
    r.Ra = "RA:" + deg.TextTime(2, 0);
    deg.SetRad(dec);
    r.Dc = "Dc:" + deg.TextDeg(1, 1);
    // The charts' directions are J2000 ones; the horizon is that of the moment.
    double raDate = 0, decDate = 0;
    TMjd::Epoch(ra, dec, TMjd::J2000, mjd, 0.0, 0.0, raDate, decDate);
    double azi = 0, alt = 0;
    site.AziAlt(mjd, raDate, decDate, azi, alt);
    if (refraction) alt = site.Refract(alt);
    deg.SetRad(azi);
    r.Azi = "AZI:" + Right6(deg.TextDeg(0, 1));
    deg.SetRad(alt);
    r.Alt = "ALT:" + Right6(deg.TextDeg(0, 1));
    return r;
}

} // namespace skyrules
