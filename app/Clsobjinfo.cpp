#include "app/Clsobjinfo.h"

#include "plan/Clshorizon.h"
#include "plan/Clsnight.h"
#include "plan/Clsskypass.h"

#include "astro/Basicfnc.h"
#include "astro/Clsdegree.h"
#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"
#include "astro/Risesetsearch.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "minor/Minorbody.h"
#include "minor/Minorplace.h"
#include "render/Clsbodyset.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kHourAngle = kTwoPi / 24.0; // one hour of time as an angle
constexpr double kJ2000 = TMjd::J2000;
constexpr double kOneArcMinute = 0.0002908882086657213;
constexpr const char* kCrLf = "\r\n";

std::string DegText(double rad, int form, int decimals) {
    TDegrees d;
    d.SetRad(rad);
    return StrTrimLeft(d.TextDeg(form, decimals));
}

std::string HmsText(double rad, int form, int decimals) {
    TDegrees d;
    d.SetRad(rad);
    return StrTrimLeft(d.TextTime(form, decimals));
}

std::string Shortest(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

// Ecliptic longitude and signed latitude.
std::string EclipticText(double lon, double lat) {
    return DegText(lon, 1, 1) + (lat < 0 ? "-" : "+") + DegText(std::fabs(lat), 1, 1);
}

const char* NebulaType(int type) {
    switch (type) {
    case 1:
        return "Gx";
    case 2:
        return "OC";
    case 3:
        return "Gb";
    case 4:
        return "Nb";
    case 5:
        return "Pl";
    case 6:
        return "CN+Nb";
    case 7:
        return "DN";
    default:
        return "--";
    }
}

} // namespace

TObjectInfo::TObjectInfo(const TLocation& site, const TMjd& moment, TBodySet& bodies,
                         const TConstellation& constellation)
    : site_(site), moment_(moment), bodies_(bodies), constellation_(constellation) {}

std::string TObjectInfo::FormatFloat(double value, const std::string& pattern) {
    const std::size_t dot = pattern.find('.');
    const std::string intPat = pattern.substr(0, dot);
    const std::string decPat = dot == std::string::npos ? "" : pattern.substr(dot + 1);
    int intMin = 0;
    for (char c : intPat)
        intMin += c == '0';
    const int decMax = static_cast<int>(decPat.size());
    const int decMin = static_cast<int>(decPat.find_last_of('0') + 1); // npos + 1 == 0
    if (!std::isfinite(value)) return "---";

    // Round the value's first 15 significant digits, as they read in decimal,
    // so 1.005 gives 1.01 and not the binary neighbour's 1.00.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits(1, buf[0]);
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    const int keep = exponent + 1 + decMax; // digits up to the last decimal shown
    std::string n;
    if (keep <= 0) {
        n = keep == 0 && digits[0] >= '5' ? "1" : "0";
    } else {
        n = keep >= 15 ? digits + std::string(keep - 15, '0') : digits.substr(0, keep);
        if (keep < 15 && digits[keep] >= '5') {
            int i = static_cast<int>(n.size()) - 1;
            while (i >= 0 && n[i] == '9')
                n[i--] = '0';
            if (i < 0)
                n.insert(n.begin(), '1');
            else
                ++n[i];
        }
    }
    if (static_cast<int>(n.size()) < decMax + 1) n.insert(0, decMax + 1 - n.size(), '0');
    std::string whole = n.substr(0, n.size() - decMax);
    std::string frac = n.substr(n.size() - decMax);
    while (static_cast<int>(whole.size()) > std::max(intMin, 1) && whole[0] == '0')
        whole.erase(0, 1);
    if (intMin == 0 && whole == "0") whole.clear();
    while (static_cast<int>(frac.size()) > decMin && frac.back() == '0')
        frac.pop_back();
    const bool zero = n.find_first_not_of('0') == std::string::npos;
    return (value < 0 && !zero ? "-" : "") + whole + (frac.empty() ? "" : "." + frac);
}

std::string TObjectInfo::PositionText(double ra, double dec) {
    return HmsText(ra, 2, 0) + (dec < 0 ? "-" : "+") + DegText(std::fabs(dec), 1, 1);
}

std::string TObjectInfo::SizeText(double rad) {
    return DegText(rad, rad > kOneArcMinute ? 3 : 4, 0);
}

std::string TObjectInfo::SiteText(const std::string& name, double lng, double lat, double height,
                                  double diffUT, double summer) {
    return "[" + name + "]" + " Longitude(E):" + DegText(lng, 2, 0) +
           " Latitude(N):" + DegText(lat, 2, 0) + " SeaLevel:" + Shortest(height) +
           " TimeZone:" + (diffUT >= 0 ? "+" : "") + Shortest(diffUT) +
           " SummerTime:" + Shortest(summer);
}

std::string TObjectInfo::DateLine() const {
    std::string s = DateText;
    if (Summer != 0) s += " +" + std::to_string(Summer);
    s += " " + TimeText;
    s += DiffUT >= 0 ? "(UT+" : "(UT-";
    s += FormatFloat(std::fabs(DiffUT), "0.0") + ")";
    // The bodies are computed for Terrestrial Time, this much after the clock.
    const double dt = std::round(TMjd::DeltaT(moment_.GetMJD()));
    return s + " ΔT:" + (dt >= 0 ? "+" : "-") + FormatFloat(std::fabs(dt), "0") + "s";
}

bool TObjectInfo::RiseSetTime(int which, double dec, double ra, double& time) const {
    const double mjd0 = TMjd::JULIAN(moment_.GetLyy(), moment_.GetLmm(), moment_.GetLdd(), 0.0, 0);
    int shift = 0;
    double t = 0.0, azimuth = 0.0;
    if (!site_.RiseSet(which, mjd0, DiffUT, Summer, ra, dec, 0.0, 0.0, shift, t, azimuth))
        return false;
    if (!std::isfinite(t)) return false;
    // A time of day, never negative and never 24:00.
    time = TLocation::range(0.0, kTwoPi, (DiffUT + Summer) * kHourAngle + t);
    return true;
}

bool TObjectInfo::SetBody(int body, double mjd, TBodyValues& v) {
    auto take = [&](auto& b) {
        b.SetMjd(mjd);
        v = {b.Ra, b.Dec,    b.EarthDistKm, b.EarthDist, b.SunDist, b.Elong, 0.0,
             0.0,  b.GeoLon, b.GeoLat,      b.Diam,      b.Mag,     false};
        if constexpr (requires { b.HelioLon; }) {
            v.HelioLon = b.HelioLon;
            v.HelioLat = b.HelioLat;
            v.HasHelio = true;
        }
        return true;
    };
    switch (body) {
    case 0:
        return take(bodies_.Mercury);
    case 1:
        return take(bodies_.Venus);
    case 2:
        return take(bodies_.Mars);
    case 3:
        return take(bodies_.Jupiter);
    case 4:
        return take(bodies_.Saturn);
    case 5:
        return take(bodies_.Uranus);
    case 6:
        return take(bodies_.Neptune);
    case 7:
        return take(bodies_.Pluto);
    case 8:
        return take(bodies_.Sun);
    case 9:
        return take(bodies_.Moon);
    case 11:
    case 12:
    case 13:
    case 14: {
        // A satellite: Jupiter's values with the satellite's place and magnitude.
        take(bodies_.Jupiter);
        const int i = body - 11;
        v.Ra = bodies_.Jupiter.SatRa[i];
        v.Dec = bodies_.Jupiter.SatDec[i];
        v.Mag = bodies_.Jupiter.SatMag[i];
        v.Diam = 0.0;
        return true;
    }
    default:
        return false;
    }
}

bool TObjectInfo::BodyRiseSetTime(int which, int body, double& time) {
    TBodyValues probe;
    if (!SetBody(body, moment_.GetMJD(), probe)) return false;
    const double mjd0 = TMjd::JULIAN(moment_.GetLyy(), moment_.GetLmm(), moment_.GetLdd(), 0.0, 0);
    const TRiseSetEvent e = RiseSetSearch(site_, which, mjd0, DiffUT, Summer, [&](double mjd) {
        TBodyValues v;
        SetBody(body, mjd, v);
        return TRiseSetPlace{v.Ra, v.Dec, v.Diam, v.EarthAu};
    });
    SetBody(body, moment_.GetMJD(), probe); // back to the displayed moment
    if (!e.Found || !std::isfinite(e.LocalTime)) return false;
    time = e.LocalTime;
    return true;
}

std::string TObjectInfo::RiseSetText(bool has, double time) const {
    return has ? HmsText(time, 11, 0) : "---";
}

std::string TObjectInfo::RiseSetPart(const TResult& r) const {
    const std::string over = OverProfile() ? " (over your horizon)" : "";
    if (r.Up > 0) return " Always up" + over;
    if (r.Up < 0) return " Never rises" + over;
    return " Rise:" + RiseSetText(r.HasRise, r.Rise) + " Set:" + RiseSetText(r.HasSet, r.Set) +
           over;
}

bool TObjectInfo::OverProfile() const {
    return Horizon && !Horizon->Flat();
}

void TObjectInfo::ProfileRiseSet(const std::function<void(double, double&, double&)>& place,
                                 double semi, TResult& r) const {
    const double zone = DiffUT + Summer;
    const double midnight =
        TMjd::JULIAN(moment_.GetLyy(), moment_.GetLmm(), moment_.GetLdd(), 0.0, 0) - zone / 24.0;
    TNight day;
    day.Frame(site_, *Horizon, midnight, zone);
    TSkyPass pass;
    pass.Compute(day, place, semi);
    r.HasRise = pass.Rise.Found;
    r.HasSet = pass.Set.Found;
    r.Rise = (pass.Rise.Mjd - midnight) * kTwoPi;
    r.Set = (pass.Set.Mjd - midnight) * kTwoPi;
    r.Up = pass.Up == TSkyPass::AlwaysUp ? 1 : pass.Up == TSkyPass::NeverRises ? -1 : 0;
}

int TObjectInfo::UpState(double dec, double level) const {
    const double highest = kTwoPi / 4 - std::fabs(site_.Lat - dec);
    const double lowest = std::fabs(site_.Lat + dec) - kTwoPi / 4;
    if (lowest > level) return 1;
    if (highest < level) return -1;
    return 0;
}

std::string TObjectInfo::Tail(double dateRa, double dateDec, double ra2000, double dec2000,
                              TResult& r) const {
    site_.AziAlt(moment_.GetMJD(), dateRa, dateDec, r.Azimuth, r.Altitude);
    r.Altitude = site_.Refract(r.Altitude);
    r.Ra2000 = ra2000;
    r.Dec2000 = dec2000;
    r.NaviRa = dateRa;
    r.NaviDec = dateDec;
    return std::string(kCrLf) + "  " + DateLine() + " Date:" + PositionText(dateRa, dateDec) +
           " J2000:" + PositionText(ra2000, dec2000) + " Alt:" + DegText(r.Altitude, 0, 1) +
           " Azi(N-E):" + DegText(r.Azimuth, 0, 1);
}

TObjectInfo::TResult TObjectInfo::Build(int kind, int index) {
    TResult r;
    const double mjd = moment_.GetMJD();
    auto riseSet = [&](double dec, double ra) {
        if (OverProfile()) {
            ProfileRiseSet(
                [ra, dec](double, double& a, double& d) {
                    a = ra;
                    d = dec;
                },
                0.0, r);
        } else {
            r.HasRise = RiseSetTime(0, dec, ra, r.Rise);
            r.HasSet = RiseSetTime(1, dec, ra, r.Set);
            // The refraction at the horizon the single evaluation allows for.
            if (!r.HasRise && !r.HasSet) r.Up = UpState(dec, -0.0102);
        }
        return RiseSetPart(r);
    };
    auto toDate = [&](double ra, double dec, double& dra, double& ddec) {
        TMjd::Epoch(ra, dec, kJ2000, mjd, 0.0, 0.0, dra, ddec);
    };

    switch (kind) {
    case 1: {
        double dra, ddec;
        toDate(PickRa, PickDec, dra, ddec);
        r.Text = "[ClickPoint]" + riseSet(ddec, dra);
        r.Text += Tail(dra, ddec, PickRa, PickDec, r);
        r.NaviName = "ClickPoint";
        r.PicKind = 1;
        r.PicName = "ClickPoint";
        break;
    }
    case 2: {
        const int hipCount = Star ? Star->Count : 0;
        const bool deep = index >= hipCount;
        if (index < 0 || (deep && (!DeepStar || index - hipCount >= DeepStar->Count))) return r;
        const TStarRecord& s = deep ? (*DeepStar)[index - hipCount] : (*Star)[index];
        const bool hasCon = s.con > 0 && s.con < TConstellation::RowCount;
        std::string desig;
        if (hasCon) {
            desig = constellation_.Rows[s.con].abbr;
            if (s.bayer != 0) desig += "-" + TStar::GetBayer(3, s.bayer);
            if (s.flamsteed != 0) desig += "(" + std::to_string(s.flamsteed) + ")";
        }
        // A star without letter or number goes by its Hipparcos number.
        const std::uint32_t hip = Names && !deep ? Names->HipOf(index) : 0;
        if ((!hasCon || (s.bayer == 0 && s.flamsteed == 0)) && hip != 0)
            desig = "HIP " + std::to_string(hip);
        std::string name;
        if (!deep)
            name = Names ? Names->ProperName(*Star, index)
                         : TNameList::Spelt(Star->GetNameSci(s.con, s.flamsteed, s.bayer));
        const std::string conName =
            hasCon ? TNameList::Spelt(constellation_.GetNameSciA(s.con)) : "";
        const std::string mag = FormatFloat(s.mag * 0.01, "#0.#0");
        double dra, ddec;
        toDate(s.ra, s.dec, dra, ddec);
        r.Text = "[Star]";
        if (!desig.empty()) r.Text += " " + desig;
        if (!name.empty()) r.Text += " " + name;
        r.Text += " " + conName + " Mag:" + mag + " Spectrum:" + TStar::GetSpectName(s.spect);
        r.Text += riseSet(ddec, dra);
        r.Text += Tail(dra, ddec, s.ra, s.dec, r);
        r.NaviName = desig + (name.empty() ? "" : " " + name) + " " + conName;
        // A deep star has no designation: its magnitude names it.
        if (deep || r.NaviName.find_first_not_of(' ') == std::string::npos)
            r.NaviName = "Mag:" + mag;
        r.PicKind = 2;
        r.PicName = desig.empty() ? "Star" : desig;
        break;
    }
    case 3:
    case 5: {
        const bool body = kind == 3;
        if (body ? (index < 0 || index > 9) : (index < 11 || index > 14)) return r;
        std::string name;
        TPlanet::GetNameA(index, 2, name);
        TBodyValues v;
        SetBody(index, mjd, v);
        r.Text = "[" + name + "]";
        if (index == 9) r.Text += " MoonAge:" + FormatFloat(MoonAge, "#0.0");
        r.Text += " Mag:" + FormatFloat(v.Mag, "#0.#0");
        if (body) {
            r.Text += " Size:" + SizeText(v.Diam);
            if (index != 8)
                r.Text += " Elongation:" + DegText(v.Elong, 0, 1) + (v.Elong >= 0 ? "E" : "W");
        }
        if (OverProfile()) {
            // Seen from the site (the Moon's parallax is a degree), limb first.
            ProfileRiseSet(
                [&](double m, double& a, double& d) {
                    TBodyValues w;
                    SetBody(index, m, w);
                    double km;
                    site_.Parallax(m, w.Ra, w.Dec, w.DistKm, a, d, km);
                },
                0.5 * v.Diam, r);
            SetBody(index, mjd, v);
        } else {
            r.HasRise = BodyRiseSetTime(0, index, r.Rise);
            r.HasSet = BodyRiseSetTime(1, index, r.Set);
            // Up or down all day by the declination now; a body that only
            // misses the date's event (the Moon once a month) keeps "---".
            const double parallax = v.EarthAu > 0 ? std::asin(4.26e-5 / v.EarthAu) : 0.0;
            if (!r.HasRise && !r.HasSet)
                r.Up = UpState(v.Dec, parallax - 0.0102 - 0.5 * v.Diam);
        }
        r.Text += RiseSetPart(r);
        // Seen from the site: of date, and carried back to J2000 first.
        double dra, ddec, dist, ra0, dec0, ra2000, dec2000;
        site_.Parallax(mjd, v.Ra, v.Dec, v.DistKm, dra, ddec, dist);
        TMjd::Epoch(v.Ra, v.Dec, mjd, kJ2000, 0.0, 0.0, ra0, dec0);
        site_.Parallax(mjd, ra0, dec0, v.DistKm, ra2000, dec2000, dist);
        r.Text += Tail(dra, ddec, ra2000, dec2000, r);
        if (body) {
            if (index != 9)
                r.Text += " Ecliptic λ, β(Helio):" + EclipticText(v.HelioLon, v.HelioLat);
            r.Text += " Ecliptic λ, β(Geo):" + EclipticText(v.GeoLon, v.GeoLat);
        }
        if (index != 8) r.Text += " Distance(Helio):" + FormatFloat(v.SunAu, "#0.####") + "AU";
        r.Text += " Distance(Geo):" + (index == 9 ? FormatFloat(v.DistKm, "#####0") + "Km"
                                                  : FormatFloat(v.EarthAu, "#0.####") + "AU");
        r.NaviName = name;
        r.PicKind = kind;
        r.PicName = name;
        break;
    }
    case 4: {
        if (!Nebula || index < 0 || index >= Nebula->Count) return r;
        const TNebulaRecord& n = (*Nebula)[index];
        std::string desig = Nebula->GetCatalogNo(index);
        const std::string messier = Nebula->GetMessier(index);
        // Objects known only by their designation ("M45") show it once.
        if (!messier.empty() && messier != desig) desig += "(" + messier + ")";
        std::string name = TNameList::Spelt(Nebula->GetName(index, 1));
        if (name.empty() && Names)
            if (const auto* listed = Names->OfDeepSky(n.no)) name = listed->front();
        std::string size;
        if (n.major > 0) {
            size = SizeText(n.major);
            if (n.minor > 0) size += "x" + SizeText(n.minor);
        }
        double dra, ddec;
        toDate(n.ra, n.dec, dra, ddec);
        r.Text = std::string("[") + NebulaType(n.type) + "] " + desig;
        if (!name.empty()) r.Text += "  " + name;
        r.Text += " Mag:" + (n.mag == 0 ? std::string("--.-") : FormatFloat(n.mag * 0.01, "#0.0"));
        if (!size.empty()) r.Text += " Size:" + size;
        const bool hasCon = n.con > 0 && n.con < TConstellation::RowCount;
        r.Text += " " + (hasCon ? TNameList::Spelt(constellation_.GetNameSciA(n.con)) : std::string());
        r.Text += riseSet(ddec, dra);
        r.Text += Tail(dra, ddec, n.ra, n.dec, r);
        r.NaviName = desig;
        r.PicKind = 4;
        r.PicName = desig;
        break;
    }
    default:
        return r;
    }
    r.Valid = true;
    return r;
}

TObjectInfo::TResult TObjectInfo::BuildMinor(const TMinorBody& b) {
    TResult r;
    const double mjd = moment_.GetMJD();
    TMinorPlace p;
    p.Compute(b, mjd);
    const std::string label = b.Label();
    r.Text = std::string(b.Comet ? "[Comet] " : "[Asteroid] ") + label;
    r.NaviName = label;
    r.PicKind = 0;
    r.PicName = label;
    r.Valid = true;
    if (!p.Valid) {
        r.Text += kCrLf + std::string("  ") + DateLine() + " the place is not computable";
        return r;
    }
    r.Text += " Mag:" + (std::isfinite(p.Mag) ? FormatFloat(p.Mag, "#0.#0") : std::string("--.-")) +
              " Elongation:" + DegText(p.Elong, 0, 1) + (p.Elong >= 0 ? "E" : "W") +
              " Phase:" + DegText(p.PhaseAngle, 0, 1);
    // Rise and set follow the body through the day, over the site's horizon.
    if (OverProfile()) {
        ProfileRiseSet(
            [&b](double t, double& a, double& d) {
                TMinorPlace q;
                q.Compute(b, t);
                a = q.Ra;
                d = q.Dec;
            },
            0.0, r);
    } else {
        const double mjd0 =
            TMjd::JULIAN(moment_.GetLyy(), moment_.GetLmm(), moment_.GetLdd(), 0.0, 0);
        for (int which = 0; which < 2; ++which) {
            const TRiseSetEvent e = RiseSetSearch(site_, which, mjd0, DiffUT, Summer, [&](double t) {
                TMinorPlace q;
                q.Compute(b, t);
                return TRiseSetPlace{q.Ra, q.Dec, 0.0, q.EarthDist};
            });
            const bool has = e.Found && std::isfinite(e.LocalTime);
            (which == 0 ? r.HasRise : r.HasSet) = has;
            if (has) (which == 0 ? r.Rise : r.Set) = e.LocalTime;
        }
        if (!r.HasRise && !r.HasSet) r.Up = UpState(p.Dec, -0.0102);
    }
    r.Text += RiseSetPart(r);
    double dra, ddec, dist, ra2000, dec2000;
    const double km = p.EarthDist * 149597870.7;
    site_.Parallax(mjd, p.Ra, p.Dec, km, dra, ddec, dist);
    site_.Parallax(mjd, p.RaJ2000, p.DecJ2000, km, ra2000, dec2000, dist);
    r.Text += Tail(dra, ddec, ra2000, dec2000, r);
    r.Text += " Distance(Helio):" + FormatFloat(p.SunDist, "#0.####") + "AU" +
              " Distance(Geo):" + FormatFloat(p.EarthDist, "#0.####") + "AU";
    // The elements, as the file gives them.
    constexpr double kDeg = 3.14159265358979323846 / 180.0;
    int y, m;
    double d;
    TMjd::MJD2DATE(b.T, 0.0, 0, y, m, d);
    char buf[200];
    std::snprintf(buf, sizeof buf, "q=%.6fAU e=%.6f i=%.4f° Node=%.4f° Peri=%.4f° T=%04d/%02d/%07.4f",
                  b.q, b.e, b.i / kDeg, b.Node / kDeg, b.Peri / kDeg, y, m, d);
    r.Text += std::string(kCrLf) + "  Elements(J2000): " + buf;
    TMjd::MJD2DATE(b.Epoch, 0.0, 0, y, m, d);
    std::snprintf(buf, sizeof buf, " Epoch=%04d/%02d/%02d", y, m, int(d));
    r.Text += buf;
    if (b.HasMag) {
        if (b.Comet) std::snprintf(buf, sizeof buf, " M1=%.1f K1=%.1f", b.M1, b.K1);
        else std::snprintf(buf, sizeof buf, " H=%.2f G=%.2f", b.H, b.G);
        r.Text += buf;
    }
    // Two-body motion drifts from the truth the further it is carried from the epoch.
    const double years = std::fabs(mjd - b.Epoch) / 365.25;
    if (years > 1.0) {
        std::snprintf(buf, sizeof buf, "%.1f", years);
        r.Text += std::string(kCrLf) + "  Warning: the elements' epoch is " + buf +
                  " years from this date; the place may be far off (newer elements: "
                  "the Minor Planet Center's files)";
    }
    return r;
}
