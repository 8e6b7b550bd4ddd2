#include "plan/Clsnight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "astro/Clsmjd.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;

const char* const kLevelName[3] = {"civil", "nautical", "astronomical"};

void First(const std::vector<TCrossing>& cs, bool rising, TNight::TEvent& e) {
    e = {};
    for (const TCrossing& c : cs)
        if (c.Rising == rising) {
            e = {true, c.Mjd};
            return;
        }
}
} // namespace

void TNight::SunAt(double mjd, double& ra, double& dec, double& diam) {
    theory_.body_cir(TPlanet::Sun, mjd);
    ra = theory_.Result.Ra;
    dec = theory_.Result.Dec;
    diam = theory_.Result.Diam;
}

void TNight::MoonAt(double mjd, double& ra, double& dec, double& semi) {
    theory_.body_cir(TPlanet::Moon, mjd);
    const double km = theory_.Result.EarthDistKm;
    double topoKm = km;
    Site.Parallax(mjd, theory_.Result.Ra, theory_.Result.Dec, km, ra, dec, topoKm);
    semi = 0.5 * theory_.Result.Diam * km / std::max(topoKm, 1.0);
}

double TNight::SunAltitude(double mjd) {
    double ra, dec, diam, az, alt;
    SunAt(mjd, ra, dec, diam);
    Site.AziAlt(mjd, ra, dec, az, alt);
    return alt;
}

void TNight::Compute(const TLocation& site, const THorizon& horizon, int year, int month, int day,
                     double zoneHours) {
    Site = site;
    Horizon = horizon;
    Zone = zoneHours;
    Notes.clear();
    Grid.Set(Site, TMjd::JULIAN(year, month, day + 0.5, zoneHours, 0));
    const int n = static_cast<int>(Grid.Mjd.size());

    // The Sun: altitude, and its rise level over the horizon (upper limb).
    SunAlt.assign(n, 0.0);
    std::vector<double> sunRise(n), sunRa(n);
    auto sunRiseF = [this](double m) {
        double ra, dec, diam, az, alt;
        SunAt(m, ra, dec, diam);
        Site.AziAlt(m, ra, dec, az, alt);
        return alt - (Horizon.RiseAltitude(az) - 0.5 * diam);
    };
    for (int i = 0; i < n; ++i) {
        double ra, dec, diam, az, alt;
        SunAt(Grid.Mjd[i], ra, dec, diam);
        Site.AziAlt2(Grid.Lst[i], ra, dec, az, alt);
        SunAlt[i] = alt;
        sunRa[i] = ra;
        sunRise[i] = alt - (Horizon.RiseAltitude(az) - 0.5 * diam);
    }
    const auto rs = Grid.Crossings(sunRise, sunRiseF);
    First(rs, false, Sunset);
    First(rs, true, Sunrise);
    const double sunMin = *std::min_element(SunAlt.begin(), SunAlt.end());
    const double sunMax = *std::max_element(SunAlt.begin(), SunAlt.end());
    if (rs.empty()) {
        Notes.push_back(sunRise[0] > 0.0 ? "polar day: the Sun does not set this night"
                                         : "polar night: the Sun does not rise this day");
    }

    // Twilight: the Sun's centre 6, 12 and 18 degrees down.
    TEvent* dusk[3] = {&CivilDusk, &NauticalDusk, &AstroDusk};
    TEvent* dawn[3] = {&CivilDawn, &NauticalDawn, &AstroDawn};
    for (int k = 0; k < 3; ++k) {
        const double level = -6.0 * (k + 1) * kDeg;
        std::vector<double> s(n);
        for (int i = 0; i < n; ++i)
            s[i] = SunAlt[i] - level;
        const auto cs = Grid.Crossings(s, [&](double m) { return SunAltitude(m) - level; });
        First(cs, false, *dusk[k]);
        First(cs, true, *dawn[k]);
        char buf[160];
        if (cs.empty() && sunMin > level) {
            std::snprintf(buf, sizeof buf,
                          "no %s darkness: the Sun stays above -%d degrees all night",
                          kLevelName[k], 6 * (k + 1));
            Notes.push_back(buf);
        } else if (cs.empty() && sunMax < level) {
            std::snprintf(buf, sizeof buf, "the Sun stays below -%d degrees all day",
                          6 * (k + 1));
            Notes.push_back(buf);
        }
    }

    // The darkest moment: the Sun's hour angle passing 180 degrees.
    std::vector<double> sinH(n);
    for (int i = 0; i < n; ++i)
        sinH[i] = std::sin(Grid.Lst[i] - sunRa[i]);
    const auto lower = Grid.Crossings(sinH, [this](double m) {
        double ra, dec, diam;
        SunAt(m, ra, dec, diam);
        return std::sin(Site.SiderealTime(m) - ra);
    });
    Darkest = Grid.Mjd[std::min_element(SunAlt.begin(), SunAlt.end()) - SunAlt.begin()];
    for (const TCrossing& c : lower)
        if (!c.Rising && std::cos(Site.SiderealTime(c.Mjd) - sunRa[0]) < 0.0) Darkest = c.Mjd;
    DarkestSunAlt = SunAltitude(Darkest);

    // The dark window.
    HaveDark = false;
    DarkKind.clear();
    for (int k = 2; k >= 0 && !HaveDark; --k) {
        const double level = -6.0 * (k + 1) * kDeg;
        if (sunMin >= level) continue;
        DarkStart = dusk[k]->Found ? dusk[k]->Mjd : Grid.Start;
        DarkEnd = dawn[k]->Found && dawn[k]->Mjd > DarkStart ? dawn[k]->Mjd : Grid.End;
        HaveDark = true;
        DarkKind = kLevelName[k];
    }
    if (!HaveDark) Notes.push_back("no dark window: the Sun stays above -6 degrees");
    else if (DarkKind != "astronomical")
        Notes.push_back("the dark window is " + DarkKind + " twilight at its darkest");

    // The Moon, topocentric, its upper limb on the horizon profile.
    MoonAlt.assign(n, 0.0);
    MoonRa.assign(n, 0.0);
    MoonDec.assign(n, 0.0);
    std::vector<double> moonRise(n);
    auto moonRiseF = [this](double m) {
        double ra, dec, semi, az, alt;
        MoonAt(m, ra, dec, semi);
        Site.AziAlt(m, ra, dec, az, alt);
        return alt - (Horizon.RiseAltitude(az) - semi);
    };
    for (int i = 0; i < n; ++i) {
        double ra, dec, semi, az, alt;
        MoonAt(Grid.Mjd[i], ra, dec, semi);
        Site.AziAlt2(Grid.Lst[i], ra, dec, az, alt);
        MoonAlt[i] = alt;
        MoonRa[i] = ra;
        MoonDec[i] = dec;
        moonRise[i] = alt - (Horizon.RiseAltitude(az) - semi);
    }
    const auto ms = Grid.Crossings(moonRise, moonRiseF);
    First(ms, true, Moonrise);
    First(ms, false, Moonset);
    if (!Moonrise.Found && !Moonset.Found)
        Notes.push_back(moonRise[0] > 0.0 ? "the Moon stays up all night"
                                          : "the Moon stays below the horizon all night");
    else if (!Moonrise.Found)
        Notes.push_back("the Moon does not rise between noon and noon");
    else if (!Moonset.Found)
        Notes.push_back("the Moon does not set between noon and noon");

    theory_.body_cir(TPlanet::Moon, Darkest);
    const double elong = theory_.Result.Elong;
    MoonIllumination = 0.5 * (1.0 - std::cos(elong));
    const bool waxing = elong > 0.0;
    if (MoonIllumination < 0.03) MoonPhase = "new";
    else if (MoonIllumination > 0.97) MoonPhase = "full";
    else if (std::fabs(MoonIllumination - 0.5) < 0.06)
        MoonPhase = waxing ? "first quarter" : "last quarter";
    else
        MoonPhase = std::string(waxing ? "waxing " : "waning ") +
                    (MoonIllumination < 0.5 ? "crescent" : "gibbous");

    // Moonless hours: the pieces of the dark window between the Moon's
    // crossings with the Moon below.
    MoonlessHours = 0.0;
    if (HaveDark) {
        std::vector<double> cuts{DarkStart};
        for (const TCrossing& c : ms)
            if (c.Mjd > DarkStart && c.Mjd < DarkEnd) cuts.push_back(c.Mjd);
        cuts.push_back(DarkEnd);
        for (std::size_t i = 0; i + 1 < cuts.size(); ++i)
            if (moonRiseF(0.5 * (cuts[i] + cuts[i + 1])) < 0.0)
                MoonlessHours += (cuts[i + 1] - cuts[i]) * 24.0;
    }
}

void TNight::Frame(const TLocation& site, const THorizon& horizon, double start,
                   double zoneHours) {
    Site = site;
    Horizon = horizon;
    Zone = zoneHours;
    Grid.Set(Site, start);
    HaveDark = false;
    const std::size_t n = Grid.Mjd.size();
    MoonRa.assign(n, 0.0);
    MoonDec.assign(n, 0.0);
}

void TNight::MoonPlace(double mjd, double& ra, double& dec) const {
    const double x = std::clamp((mjd - Grid.Start) / TNightGrid::kStep, 0.0,
                                static_cast<double>(TNightGrid::kSteps));
    const int i = std::min(static_cast<int>(x), TNightGrid::kSteps - 1);
    const double f = x - i;
    const double dra = std::remainder(MoonRa[i + 1] - MoonRa[i], kTwoPi);
    ra = TLocation::range(0.0, kTwoPi, MoonRa[i] + f * dra);
    dec = MoonDec[i] + f * (MoonDec[i + 1] - MoonDec[i]);
}

std::string TNight::LocalText(double mjd) const {
    // Rounded to the minute before the calendar is worked out, so 23:59:40
    // becomes the next day's 00:00.
    const double m = std::round(mjd * 1440.0) / 1440.0 + 1e-7;
    int y, mo;
    double d;
    TMjd::MJD2DATE(m, Zone, 0, y, mo, d);
    const int day = static_cast<int>(std::floor(d));
    const int minutes = static_cast<int>(std::floor((d - day) * 1440.0 + 1e-6));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", y, mo, day, minutes / 60,
                  minutes % 60);
    return buf;
}
