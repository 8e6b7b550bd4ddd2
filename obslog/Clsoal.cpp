#include "obslog/Clsoal.h"

#include "catalog/Safefile.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsxmlread.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <unistd.h>

namespace {

const char* const Ns = "http://groups.google.com/group/openastronomylog";
const char* const UnknownObserver = "observer_unknown";
const char* const Datasource = "Quenlira";
const std::string TransparencyTag = "Transparency: ";
const std::string MagnitudeTag = "Magnitude: ";
// Deep-sky types as OAL names them (deepSkyXX); a group of stars (MS)
// needs its components listed and goes out as "not known".
const std::set<std::string> DeepSkyTypes = {"AS", "CG", "DN", "DS", "GC", "GN", "GX",
                                            "NA", "OC", "PN", "QS", "SC", "MS"};

std::string Num(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string Esc(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            // Control characters have no place in XML 1.0.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

struct TOut {
    std::string s;
    void El(const std::string& name, const std::string& text, int indent,
            const std::string& attrs = "") {
        s.append(indent, ' ');
        s += "<" + name + attrs + ">" + Esc(text) + "</" + name + ">\n";
    }
    void Open(const std::string& tag, int indent) { s.append(indent, ' '), s += "<" + tag + ">\n"; }
    void Close(const std::string& name, int indent) {
        s.append(indent, ' '), s += "</" + name + ">\n";
    }
};

std::string Ref(const char* kind, std::int64_t id) {
    return std::string(kind) + "_" + std::to_string(id);
}

std::string TargetType(const std::string& t) {
    if (t == "star") return "oal:starTargetType";
    if (t == "sun") return "oal:SunTargetType";
    if (t == "moon") return "oal:MoonTargetType";
    if (t == "planet") return "oal:PlanetTargetType";
    if (t == "comet") return "oal:CometTargetType";
    if (t == "minor") return "oal:MinorPlanetTargetType";
    if (DeepSkyTypes.count(t)) return "oal:deepSky" + std::string(t == "MS" ? "NA" : t);
    return "";
}

void WriteTarget(TOut& o, const std::string& id, const TLogObject& t) {
    const std::string type = TargetType(t.Type);
    o.Open("target id=\"" + id + "\"" + (type.empty() ? "" : " xsi:type=\"" + type + "\""), 6);
    std::string source = Datasource;
    if (t.Kind >= 0) source += " chart " + std::to_string(t.Kind) + " " + std::to_string(t.Number);
    o.El("datasource", source, 8);
    o.El("name", t.Name, 8);
    if (t.Ra && t.Dec) {
        o.Open("position", 8);
        o.El("ra", Num(*t.Ra), 10, " unit=\"rad\"");
        o.El("dec", Num(*t.Dec), 10, " unit=\"rad\"");
        o.Close("position", 8);
    }
    if (!t.Constellation.empty()) o.El("constellation", t.Constellation, 8);
    const bool star = t.Type == "star", deep = type.rfind("oal:deepSky", 0) == 0;
    if (t.Magnitude && !star && !deep) o.El("notes", MagnitudeTag + Num(*t.Magnitude), 8);
    if (t.Magnitude && star) o.El("apparentMag", Num(*t.Magnitude), 8);
    if (t.Magnitude && deep) o.El("visMag", Num(*t.Magnitude), 8);
    o.Close("target", 6);
}

} // namespace

std::string TOal::Write(const TLogData& d) {
    TOut o;
    o.s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    o.s += std::string("<oal:observations xmlns:oal=\"") + Ns +
           "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" version=\"2.1\" "
           "xsi:schemaLocation=\"" +
           Ns + " http://observation.sourceforge.net/openastronomylog/oal21.xsd\">\n";

    bool unknownObserver = false;
    for (const TObservation& x : d.Observations)
        if (!x.ObserverId) unknownObserver = true;
    o.Open("observers", 2);
    for (const TObserver& x : d.Observers) {
        o.Open("observer id=\"" + Ref("observer", x.Id) + "\"", 4);
        o.El("name", x.Name, 6);
        o.El("surname", x.Surname, 6);
        if (!x.Contact.empty()) o.El("contact", x.Contact, 6);
        o.Close("observer", 4);
    }
    if (unknownObserver) {
        // OAL wants an observer for each entry; ours may have none.
        o.Open(std::string("observer id=\"") + UnknownObserver + "\"", 4);
        o.El("name", "", 6);
        o.El("surname", "", 6);
        o.Close("observer", 4);
    }
    o.Close("observers", 2);

    o.Open("sites", 2);
    for (const TLogSite& x : d.Sites) {
        o.Open("site id=\"" + Ref("site", x.Id) + "\"", 4);
        o.El("name", x.Name, 6);
        o.El("longitude", Num(x.Lng), 6, " unit=\"rad\"");
        o.El("latitude", Num(x.Lat), 6, " unit=\"rad\"");
        if (x.Elevation) o.El("elevation", Num(*x.Elevation), 6);
        o.El("timezone", std::to_string(x.TimezoneMin), 6);
        o.Close("site", 4);
    }
    o.Close("sites", 2);

    // A session must name its site; one without cannot be written.
    std::set<std::int64_t> sessions;
    o.Open("sessions", 2);
    for (const TLogSession& x : d.Sessions) {
        if (!x.SiteId) continue;
        sessions.insert(x.Id);
        o.Open("session id=\"" + Ref("session", x.Id) + "\"", 4);
        o.El("begin", TLogTime::Format(x.Begin, 0, true), 6);
        o.El("end", TLogTime::Format(x.End, 0, true), 6);
        o.El("site", Ref("site", x.SiteId), 6);
        if (!x.Weather.empty()) o.El("weather", x.Weather, 6);
        if (!x.Equipment.empty()) o.El("equipment", x.Equipment, 6);
        if (!x.Comments.empty()) o.El("comments", x.Comments, 6);
        o.Close("session", 4);
    }
    o.Close("sessions", 2);

    // One target per distinct object.
    std::vector<const TLogObject*> targets;
    std::vector<std::size_t> targetOf;
    for (const TObservation& x : d.Observations) {
        std::size_t k = 0;
        while (k < targets.size() && !(*targets[k] == x.Object))
            ++k;
        if (k == targets.size()) targets.push_back(&x.Object);
        targetOf.push_back(k + 1);
    }
    o.Open("targets", 2);
    for (std::size_t k = 0; k < targets.size(); ++k)
        WriteTarget(o, Ref("target", static_cast<std::int64_t>(k + 1)), *targets[k]);
    o.Close("targets", 2);

    o.Open("scopes", 2);
    for (const TLogScope& x : d.Scopes) {
        o.Open("scope id=\"" + Ref("scope", x.Id) + "\" xsi:type=\"oal:scopeType\"", 4);
        o.El("model", x.Model, 6);
        if (!x.Type.empty()) o.El("type", x.Type, 6);
        if (!x.Vendor.empty()) o.El("vendor", x.Vendor, 6);
        o.El("aperture", Num(x.Aperture), 6);
        o.El("focalLength", Num(x.FocalLength), 6);
        o.Close("scope", 4);
    }
    o.Close("scopes", 2);

    o.Open("eyepieces", 2);
    for (const TEyepiece& x : d.Eyepieces) {
        o.Open("eyepiece id=\"" + Ref("eyepiece", x.Id) + "\"", 4);
        o.El("model", x.Model, 6);
        if (!x.Vendor.empty()) o.El("vendor", x.Vendor, 6);
        o.El("focalLength", Num(x.FocalLength), 6);
        if (x.ApparentField) o.El("apparentFOV", Num(*x.ApparentField), 6, " unit=\"deg\"");
        o.Close("eyepiece", 4);
    }
    o.Close("eyepieces", 2);
    o.s += "  <lenses/>\n";

    o.Open("filters", 2);
    for (const TFilter& x : d.Filters) {
        o.Open("filter id=\"" + Ref("filter", x.Id) + "\"", 4);
        o.El("model", x.Model, 6);
        if (!x.Vendor.empty()) o.El("vendor", x.Vendor, 6);
        o.El("type", x.Type.empty() ? "other" : x.Type, 6);
        o.Close("filter", 4);
    }
    o.Close("filters", 2);
    o.s += "  <imagers/>\n";

    for (std::size_t k = 0; k < d.Observations.size(); ++k) {
        const TObservation& x = d.Observations[k];
        o.Open("observation id=\"" + Ref("observation", x.Id) + "\"", 2);
        o.El("observer", x.ObserverId ? Ref("observer", x.ObserverId) : UnknownObserver, 4);
        if (x.SiteId) o.El("site", Ref("site", x.SiteId), 4);
        if (x.SessionId && sessions.count(x.SessionId))
            o.El("session", Ref("session", x.SessionId), 4);
        o.El("target", Ref("target", static_cast<std::int64_t>(targetOf[k])), 4);
        o.El("begin", TLogTime::Format(x.Begin, x.UtcOffsetMin), 4);
        if (x.FaintestStar) o.El("faintestStar", Num(*x.FaintestStar), 4);
        if (x.SkyQuality)
            o.El("sky-quality", Num(*x.SkyQuality), 4, " unit=\"mags-per-squarearcsec\"");
        if (x.Seeing) o.El("seeing", std::to_string(x.Seeing), 4);
        if (x.ScopeId) o.El("scope", Ref("scope", x.ScopeId), 4);
        if (x.EyepieceId) o.El("eyepiece", Ref("eyepiece", x.EyepieceId), 4);
        if (x.FilterId) o.El("filter", Ref("filter", x.FilterId), 4);
        if (x.Magnification) o.El("magnification", Num(*x.Magnification), 4);
        std::string text = x.Notes;
        if (x.Transparency)
            text += (text.empty() ? "" : "\n") + TransparencyTag + std::to_string(x.Transparency) +
                    "/5";
        o.Open("result", 4);
        o.El("description", text, 6);
        o.Close("result", 4);
        o.Close("observation", 2);
    }
    o.s += "</oal:observations>\n";
    return o.s;
}

namespace {

bool ToNum(const std::string& in, double& v) {
    std::size_t a = in.find_first_not_of(" \t\r\n"), b = in.find_last_not_of(" \t\r\n");
    if (a == std::string::npos) return false;
    const char* p = in.data() + a;
    if (*p == '+') ++p;
    const char* end = in.data() + b + 1;
    const auto r = std::from_chars(p, end, v);
    return r.ec == std::errc() && r.ptr == end && std::isfinite(v);
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string LocalName(const std::string& qname) {
    const auto colon = qname.rfind(':');
    return colon == std::string::npos ? qname : qname.substr(colon + 1);
}

// Reads one record's fields; the first problem is kept with where it was.
struct TIn {
    std::string error;
    bool Fail(const std::string& where, const std::string& why) {
        if (error.empty()) error = where + ": " + why;
        return false;
    }
    std::optional<double> OptNum(const TXmlNode& n, const std::string& name,
                                 const std::string& where) {
        const TXmlNode* c = n.Child(name);
        if (!c) return std::nullopt;
        double v;
        if (!ToNum(c->Text, v)) {
            Fail(where, name + " is not a number");
            return std::nullopt;
        }
        return v;
    }
    double Num(const TXmlNode& n, const std::string& name, const std::string& where) {
        if (!n.Child(name)) {
            Fail(where, "no " + name);
            return 0;
        }
        return OptNum(n, name, where).value_or(0);
    }
    std::optional<double> OptAngle(const TXmlNode& n, const std::string& name,
                                   const std::string& where) {
        const TXmlNode* c = n.Child(name);
        if (!c) return std::nullopt;
        double v;
        if (!ToNum(c->Text, v)) {
            Fail(where, name + " is not a number");
            return std::nullopt;
        }
        const std::string unit = c->Attr("unit");
        if (unit == "rad") return v;
        if (unit == "deg") return v * M_PI / 180;
        if (unit == "arcmin") return v * M_PI / (180 * 60);
        if (unit == "arcsec") return v * M_PI / (180 * 3600);
        Fail(where, name + " has no known unit");
        return std::nullopt;
    }
    std::int64_t Id(std::map<std::string, std::int64_t>& ids, const std::string& ref,
                    const std::string& where, const char* what) {
        const auto it = ids.find(Trim(ref));
        if (it != ids.end()) return it->second;
        Fail(where, std::string("refers to an unknown ") + what + " \"" + ref + "\"");
        return 0;
    }
    std::int64_t OptId(std::map<std::string, std::int64_t>& ids, const TXmlNode& n,
                       const std::string& name, const std::string& where, const char* what) {
        const TXmlNode* c = n.Child(name);
        return c ? Id(ids, c->Text, where, what) : 0;
    }
    // Registers an element's id; duplicates are refused.
    std::int64_t NewId(std::map<std::string, std::int64_t>& ids, const TXmlNode& n,
                       const std::string& where) {
        const std::string id = n.Attr("id");
        if (id.empty()) return Fail(where, "has no id"), 0;
        if (ids.count(id)) return Fail(where, "id \"" + id + "\" appears twice"), 0;
        const std::int64_t k = static_cast<std::int64_t>(ids.size()) + 1;
        ids[id] = k;
        return k;
    }
};

std::string TypeFromOal(const std::string& xsiType) {
    const std::string t = LocalName(xsiType);
    if (t == "starTargetType") return "star";
    if (t == "SunTargetType") return "sun";
    if (t == "MoonTargetType") return "moon";
    if (t == "PlanetTargetType") return "planet";
    if (t == "CometTargetType") return "comet";
    if (t == "MinorPlanetTargetType") return "minor";
    if (t.rfind("deepSky", 0) == 0 && DeepSkyTypes.count(t.substr(7))) return t.substr(7);
    return "";
}

TLogObject ReadTarget(TIn& in, const TXmlNode& t, const std::string& where) {
    TLogObject o;
    o.Name = Trim(t.ChildText("name"));
    if (o.Name.empty()) in.Fail(where, "no name");
    o.Type = TypeFromOal(t.Attr("type"));
    if (const TXmlNode* p = t.Child("position")) {
        o.Ra = in.OptAngle(*p, "ra", where);
        o.Dec = in.OptAngle(*p, "dec", where);
        if (!o.Ra || !o.Dec) o.Ra = o.Dec = std::nullopt;
    }
    o.Constellation = Trim(t.ChildText("constellation"));
    o.Magnitude = in.OptNum(t, o.Type == "star" ? "apparentMag" : "visMag", where);
    const std::string notes = t.ChildText("notes");
    double m;
    if (!o.Magnitude && notes.rfind(MagnitudeTag, 0) == 0 &&
        ToNum(notes.substr(MagnitudeTag.size()), m))
        o.Magnitude = m;
    // Our own chart identity, when the file came from us.
    const std::string source = Trim(t.ChildText("datasource"));
    const std::string mark = std::string(Datasource) + " chart ";
    if (source.rfind(mark, 0) == 0) {
        int kind = -1, number = -1;
        const char* p = source.c_str() + mark.size();
        const char* end = source.c_str() + source.size();
        auto r = std::from_chars(p, end, kind);
        if (r.ec == std::errc() && r.ptr < end && *r.ptr == ' ') {
            auto r2 = std::from_chars(r.ptr + 1, end, number);
            if (r2.ec == std::errc() && r2.ptr == end && kind >= 0) {
                o.Kind = kind;
                o.Number = number;
            }
        }
    }
    return o;
}

} // namespace

bool TOal::Read(const std::string& text, TLogData& d, std::string& error) {
    d = TLogData();
    std::string why;
    const auto root = TXmlRead::Parse(text, why);
    if (!root) {
        error = "Not a readable XML file: " + why;
        return false;
    }
    if (root->Name != "observations") {
        error = "Not an OpenAstronomyLog file: its root element is <" + root->Name + ">";
        return false;
    }
    const std::string version = root->Attr("version");
    if (version.rfind("2.", 0) != 0) {
        error = "An OpenAstronomyLog file of version \"" + version + "\"; version 2.x is read";
        return false;
    }
    TIn in;
    std::map<std::string, std::int64_t> obsIds, siteIds, sessIds, targetIds, scopeIds, eyeIds,
        filterIds, lensIds, imagerIds;
    auto section = [&](const char* name, const char* item) {
        const TXmlNode* s = root->Child(name);
        return s ? s->All(item) : std::vector<const TXmlNode*>();
    };
    for (const TXmlNode* n : section("observers", "observer")) {
        const std::string where = "observer \"" + n->Attr("id") + "\"";
        TObserver o;
        o.Id = in.NewId(obsIds, *n, where);
        if (n->Attr("id") == UnknownObserver) continue;
        o.Name = Trim(n->ChildText("name"));
        o.Surname = Trim(n->ChildText("surname"));
        o.Contact = Trim(n->ChildText("contact"));
        if (o.Name.empty() && o.Surname.empty()) o.Name = n->Attr("id");
        d.Observers.push_back(o);
    }
    for (const TXmlNode* n : section("sites", "site")) {
        const std::string where = "site \"" + n->Attr("id") + "\"";
        TLogSite s;
        s.Id = in.NewId(siteIds, *n, where);
        s.Name = Trim(n->ChildText("name"));
        if (s.Name.empty()) in.Fail(where, "no name");
        const auto lng = in.OptAngle(*n, "longitude", where),
                   lat = in.OptAngle(*n, "latitude", where);
        if (!lng || !lat) in.Fail(where, "no longitude or latitude");
        s.Lng = lng.value_or(0);
        s.Lat = lat.value_or(0);
        if (std::fabs(s.Lat) > M_PI / 2 + 1e-9) in.Fail(where, "latitude beyond a pole");
        s.Elevation = in.OptNum(*n, "elevation", where);
        if (const auto tz = in.OptNum(*n, "timezone", where)) {
            if (std::fabs(*tz) > 18 * 60) in.Fail(where, "time zone beyond 18 hours");
            s.TimezoneMin = static_cast<int>(std::lround(std::fabs(*tz) > 18 * 60 ? 0 : *tz));
        }
        d.Sites.push_back(s);
    }
    for (const TXmlNode* n : section("sessions", "session")) {
        const std::string where = "session \"" + n->Attr("id") + "\"";
        TLogSession s;
        s.Id = in.NewId(sessIds, *n, where);
        int off;
        if (!TLogTime::Parse(Trim(n->ChildText("begin")), s.Begin, off)) in.Fail(where, "no begin");
        if (!TLogTime::Parse(Trim(n->ChildText("end")), s.End, off)) s.End = s.Begin;
        s.SiteId = in.OptId(siteIds, *n, "site", where, "site");
        s.Weather = n->ChildText("weather");
        s.Equipment = n->ChildText("equipment");
        s.Comments = n->ChildText("comments");
        d.Sessions.push_back(s);
    }
    std::vector<TLogObject> targets;
    for (const TXmlNode* n : section("targets", "target")) {
        const std::string where = "target \"" + n->Attr("id") + "\"";
        in.NewId(targetIds, *n, where);
        targets.push_back(ReadTarget(in, *n, where));
    }
    for (const TXmlNode* n : section("scopes", "scope")) {
        const std::string where = "scope \"" + n->Attr("id") + "\"";
        TLogScope s;
        s.Id = in.NewId(scopeIds, *n, where);
        s.Model = Trim(n->ChildText("model"));
        s.Type = Trim(n->ChildText("type"));
        s.Vendor = Trim(n->ChildText("vendor"));
        s.Aperture = in.Num(*n, "aperture", where);
        // Binoculars and finders have a magnification instead of a focal length.
        s.FocalLength = n->Child("focalLength") ? in.Num(*n, "focalLength", where)
                                                : s.Aperture * in.Num(*n, "magnification", where);
        if (s.Model.empty() || !(s.Aperture > 0) || !(s.FocalLength > 0))
            in.Fail(where, "needs a model, an aperture and a focal length above 0");
        d.Scopes.push_back(s);
    }
    for (const TXmlNode* n : section("eyepieces", "eyepiece")) {
        const std::string where = "eyepiece \"" + n->Attr("id") + "\"";
        TEyepiece e;
        e.Id = in.NewId(eyeIds, *n, where);
        e.Model = Trim(n->ChildText("model"));
        e.Vendor = Trim(n->ChildText("vendor"));
        e.FocalLength = in.Num(*n, "focalLength", where);
        if (const auto f = in.OptAngle(*n, "apparentFOV", where)) e.ApparentField = *f * 180 / M_PI;
        if (e.Model.empty() || !(e.FocalLength > 0))
            in.Fail(where, "needs a model and a focal length above 0");
        d.Eyepieces.push_back(e);
    }
    for (const TXmlNode* n : section("lenses", "lens"))
        in.NewId(lensIds, *n, "lens \"" + n->Attr("id") + "\"");
    for (const TXmlNode* n : section("imagers", "imager"))
        in.NewId(imagerIds, *n, "imager \"" + n->Attr("id") + "\"");
    for (const TXmlNode* n : section("filters", "filter")) {
        const std::string where = "filter \"" + n->Attr("id") + "\"";
        TFilter f;
        f.Id = in.NewId(filterIds, *n, where);
        f.Model = Trim(n->ChildText("model"));
        f.Vendor = Trim(n->ChildText("vendor"));
        f.Type = Trim(n->ChildText("type"));
        if (f.Type.empty()) f.Type = "other";
        if (f.Model.empty()) in.Fail(where, "no model");
        d.Filters.push_back(f);
    }
    int count = 0;
    for (const TXmlNode* n : root->All("observation")) {
        ++count;
        const std::string where = "observation " + std::to_string(count);
        TObservation o;
        o.Id = count;
        const std::string observer = Trim(n->ChildText("observer"));
        o.ObserverId = observer == UnknownObserver ? 0 : in.Id(obsIds, observer, where, "observer");
        o.SiteId = in.OptId(siteIds, *n, "site", where, "site");
        o.SessionId = in.OptId(sessIds, *n, "session", where, "session");
        const std::int64_t target = in.Id(targetIds, n->ChildText("target"), where, "target");
        if (target > 0) o.Object = targets[static_cast<std::size_t>(target - 1)];
        if (!TLogTime::Parse(Trim(n->ChildText("begin")), o.Begin, o.UtcOffsetMin))
            in.Fail(where, "no begin, or not a date and time");
        o.FaintestStar = in.OptNum(*n, "faintestStar", where);
        if (const TXmlNode* q = n->Child("sky-quality")) {
            o.SkyQuality = in.OptNum(*n, "sky-quality", where);
            if (o.SkyQuality && q->Attr("unit") == "mags-per-squarearcmin")
                *o.SkyQuality += 2.5 * std::log10(3600.0);
        }
        if (const auto s = in.OptNum(*n, "seeing", where)) {
            if (*s < 1 || *s > 5 || *s != std::floor(*s))
                in.Fail(where, "seeing is not 1 to 5");
            else
                o.Seeing = static_cast<int>(*s);
        }
        o.ScopeId = in.OptId(scopeIds, *n, "scope", where, "scope");
        o.EyepieceId = in.OptId(eyeIds, *n, "eyepiece", where, "eyepiece");
        o.FilterId = in.OptId(filterIds, *n, "filter", where, "filter");
        o.Magnification = in.OptNum(*n, "magnification", where);
        if (o.Magnification && *o.Magnification < 1) in.Fail(where, "magnification below 1");
        // Several results (in several languages) are kept one after another.
        for (const TXmlNode* r : n->All("result")) {
            const std::string text = r->ChildText("description");
            if (text.empty()) continue;
            o.Notes += (o.Notes.empty() ? "" : "\n") + text;
        }
        const auto at = o.Notes.rfind(TransparencyTag);
        if (at != std::string::npos && (at == 0 || o.Notes[at - 1] == '\n') &&
            o.Notes.size() == at + TransparencyTag.size() + 3 &&
            o.Notes.compare(at + TransparencyTag.size() + 1, 2, "/5") == 0) {
            const char c = o.Notes[at + TransparencyTag.size()];
            if (c >= '1' && c <= '5') {
                o.Transparency = c - '0';
                o.Notes.erase(at ? at - 1 : 0);
            }
        }
        d.Observations.push_back(o);
        if (!in.error.empty()) break;
    }
    if (!in.error.empty()) {
        d = TLogData();
        error = "Not imported: " + in.error;
        return false;
    }
    return true;
}

bool TOal::ReadFile(const std::string& path, TLogData& data, std::string& error) {
    data = TLogData();
    unsigned long long size = 0;
    const int fd = TSafeFile::OpenRegular(path, true, size, error);
    if (fd < 0) return false;
    ::close(fd);
    if (size > TXmlRead::MaxBytes) {
        error = "Not imported: " + path + " is larger than " +
                std::to_string(TXmlRead::MaxBytes >> 20) + " MB";
        return false;
    }
    std::string text;
    if (!TSafeFile::ReadAll(path, TXmlRead::MaxBytes, text, error)) return false;
    return Read(text, data, error);
}
