// OAL exchange: a log with every field goes out, validates against the OAL
// 2.1 schema and comes back equal; a file written by hand as the format
// describes it is read; hostile files are refused with the reason.
#include "Logfixture.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsoal.h"
#include "obslog/Clsobslog.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sys/resource.h>

namespace {

constexpr double Deg = M_PI / 180;

// The OAL schema beside the source tree, as CI has it; or where
// QUENLIRA_OAL_XSD says.
std::string SchemaPath() {
    if (const char* env = std::getenv("QUENLIRA_OAL_XSD")) return env;
    return std::string(QUENLIRA_TESTS_DIR) + "/../../shared/oal/oal21.xsd";
}

// Fills db with a log that uses every field, and returns what was put in.
TLogData FillEverything(TLogDb& db) {
    TObsLog log(db);
    std::string err;
    TLogData d;
    TObserver me{0, "Hanako", "Yamada", "hanako@example.org"};
    TObserver friend_{0, "Jos\xC3\xA9", "Ortega", ""};
    me.Id = log.AddObserver(me, err);
    friend_.Id = log.AddObserver(friend_, err);
    TLogSite tokyo{0, "Musashino Park, Tokyo", 139.5167 * Deg, 35.68333 * Deg, 372.0, 540};
    TLogSite chile{0, "Las Campanas", -70.7 * Deg, -29.0 * Deg, std::nullopt, -240};
    tokyo.Id = log.AddSite(tokyo, err);
    chile.Id = log.AddSite(chile, err);
    TLogScope dob{0, "Dobson 250/1200", "N", "GSO", 254, 1200};
    dob.Id = log.AddScope(dob, err);
    TEyepiece ep{0, "Nagler 13", "TeleVue", 13, 82.0};
    TEyepiece plossl{0, "Pl\xC3\xB6ssl 25", "", 25, std::nullopt};
    ep.Id = log.AddEyepiece(ep, err);
    plossl.Id = log.AddEyepiece(plossl, err);
    TFilter oiii{0, "UltraBlock & O-III", "Lumicon", "O-III"};
    oiii.Id = log.AddFilter(oiii, err);
    TLogSession night{0,
                      TLogTime::DaysFromCivil(2026, 12, 8) * 86400 + 10 * 3600,
                      TLogTime::DaysFromCivil(2026, 12, 8) * 86400 + 16 * 3600,
                      tokyo.Id,
                      "Clear, light wind",
                      "Dobson on the lawn",
                      "Moon set at 22h"};
    night.Id = log.AddSession(night, err);

    TObservation full;
    full.SessionId = night.Id;
    full.ObserverId = me.Id;
    full.SiteId = tokyo.Id;
    full.Begin = night.Begin + 1234;
    full.UtcOffsetMin = 540;
    full.Object = {"M 42", "GN", 83.8221 * Deg, -5.3911 * Deg, 4.0, "Ori", 4, 1234};
    full.ScopeId = dob.Id;
    full.EyepieceId = ep.Id;
    full.FilterId = oiii.Id;
    full.Magnification = 92.3;
    full.Seeing = 2;
    full.Transparency = 4;
    full.FaintestStar = 6.2;
    full.SkyQuality = 21.35;
    full.Notes = "Trapezium: 6 stars <E, F> & \"wings\"\nGreen tint, \xE6\x98\x9F\xE9\x9B\xB2";
    full.Id = log.Add(full, err);
    EXPECT_GT(full.Id, 0) << err;

    TObservation planet;
    planet.ObserverId = friend_.Id;
    planet.SiteId = chile.Id;
    planet.Begin = TLogTime::DaysFromCivil(2026, 12, 20) * 86400 + 2 * 3600 + 5;
    planet.UtcOffsetMin = -240;
    planet.Object = {"Jupiter", "planet", 1.9, 0.38, -2.7, "Gem", 3, 3};
    planet.EyepieceId = plossl.Id;
    planet.Seeing = 4;
    planet.Id = log.Add(planet, err);
    EXPECT_GT(planet.Id, 0) << err;
    planet.SessionId = log.Entries().back().SessionId;

    TObservation star; // no observer, no site, no equipment
    star.Begin = planet.Begin + 3600;
    star.Object = {"Albireo", "star", std::nullopt, std::nullopt, 3.05, "", -1, -1};
    star.Notes = "Transparency is a word here";
    star.Id = log.Add(star, err);
    EXPECT_GT(star.Id, 0) << err;
    star.SessionId = log.Entries().back().SessionId;

    d.Observers = {me, friend_};
    d.Sites = {tokyo, chile};
    d.Scopes = {dob};
    d.Eyepieces = {ep, plossl};
    d.Filters = {oiii};
    d.Observations = {full, planet, star};
    return d;
}

// Equal as the user sees them: every field, references followed by content.
void ExpectSameLog(const TLogData& a, const TLogData& b) {
    ASSERT_EQ(a.Observations.size(), b.Observations.size());
    auto find = [](const auto& v, std::int64_t id) {
        for (const auto& x : v)
            if (x.Id == id) return x;
        return typename std::decay_t<decltype(v)>::value_type{};
    };
    for (std::size_t i = 0; i < a.Observations.size(); ++i) {
        TObservation x = a.Observations[i], y = b.Observations[i];
        SCOPED_TRACE(x.Object.Name);
        auto same = [](auto p, auto q) {
            p.Id = q.Id = 0;
            return p == q;
        };
        EXPECT_TRUE(same(find(a.Observers, x.ObserverId), find(b.Observers, y.ObserverId)));
        EXPECT_TRUE(same(find(a.Sites, x.SiteId), find(b.Sites, y.SiteId)));
        EXPECT_TRUE(same(find(a.Scopes, x.ScopeId), find(b.Scopes, y.ScopeId)));
        EXPECT_TRUE(same(find(a.Eyepieces, x.EyepieceId), find(b.Eyepieces, y.EyepieceId)));
        EXPECT_TRUE(same(find(a.Filters, x.FilterId), find(b.Filters, y.FilterId)));
        TLogSession sx = find(a.Sessions, x.SessionId), sy = find(b.Sessions, y.SessionId);
        sx.SiteId = sy.SiteId = 0;
        EXPECT_TRUE(same(sx, sy));
        EXPECT_EQ(x.ObserverId == 0, y.ObserverId == 0);
        x.Id = y.Id = x.SessionId = y.SessionId = x.ObserverId = y.ObserverId = x.SiteId =
            y.SiteId = x.ScopeId = y.ScopeId = x.EyepieceId = y.EyepieceId = x.FilterId =
                y.FilterId = 0;
        EXPECT_EQ(x, y);
    }
    EXPECT_EQ(a.Observers.size(), b.Observers.size());
    EXPECT_EQ(a.Sites.size(), b.Sites.size());
    EXPECT_EQ(a.Eyepieces.size(), b.Eyepieces.size());
}

} // namespace

using Oal = LogFolder;

TEST_F(Oal, LogWithEveryFieldGoesOutValidAndComesBackEqual) {
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(path, err)) << err;
    const TLogData put = FillEverything(db);
    const TLogData kept = TObsLog(db).ReadAll();
    // What was put in is what the database gives back.
    for (std::size_t i = 0; i < put.Observations.size(); ++i)
        EXPECT_EQ(kept.Observations[i], put.Observations[i]);
    const std::string xml = TOal::Write(kept);
    Spit(dir + "/export.xml", xml);

    const std::string xsd = SchemaPath();
    if (std::filesystem::exists(xsd)) {
        const std::string cmd = "xmllint --noout --schema '" + xsd + "' '" + dir +
                                "/export.xml' 2>'" + dir + "/xmllint.txt'";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << Slurp(dir + "/xmllint.txt") << xml;
    } else {
        std::printf("OAL schema not found at %s: export not validated\n", xsd.c_str());
    }

    TLogData back;
    ASSERT_TRUE(TOal::Read(xml, back, err)) << err;
    TLogDb empty;
    ASSERT_TRUE(empty.Open(dir + "/empty.db", err)) << err;
    int added = 0, skipped = 0;
    ASSERT_TRUE(TObsLog(empty).Import(back, added, skipped, err)) << err;
    EXPECT_EQ(added, 3);
    const TLogData again = TObsLog(empty).ReadAll();
    ExpectSameLog(kept, again);
    // The same file once more adds nothing.
    ASSERT_TRUE(TObsLog(empty).Import(back, added, skipped, err)) << err;
    EXPECT_EQ(added, 0);
    EXPECT_EQ(skipped, 3);
    EXPECT_EQ(TObsLog(empty).Count(), 3);
}

// Written from the format's description, as another program would: degrees
// and arc minutes, a deep-sky finding, two results, ISO-8859-1.
TEST_F(Oal, HandWrittenFileIsRead) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<oal:observations version=\"2.1\" "
        "xmlns:oal=\"http://groups.google.com/group/openastronomylog\"\n"
        "   xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        " <observers><observer id=\"obs1\"><name>J\xFCrgen</name><surname>Schmidt</surname>\n"
        "   <contact>js@example.de</contact><account "
        "name=\"aavso\">SJU</account></observer></observers>\n"
        " <sites><site id=\"s1\"><name>Sternwarte B\xE4renfels</name>\n"
        "   <longitude unit=\"deg\">13.75</longitude><latitude unit=\"deg\">50.8</latitude>\n"
        "   <elevation>630</elevation><timezone>60</timezone></site></sites>\n"
        " <sessions><session id=\"n1\"><begin>2010-04-10T21:00:00+02:00</begin>\n"
        "   "
        "<end>2010-04-11T01:30:00+02:00</end><site>s1</site><weather>clear</weather></session></"
        "sessions>\n"
        " <targets><target id=\"t1\" xsi:type=\"oal:deepSkyGX\"><datasource>NGC/IC</datasource>\n"
        "   <name>NGC 4565</name><alias>Needle Galaxy</alias>\n"
        "   <position><ra unit=\"deg\">189.0866</ra><dec unit=\"arcmin\">1558.8</dec></position>\n"
        "   <constellation>Com</constellation><largeDiameter unit=\"arcmin\">16</largeDiameter>\n"
        "   <visMag>9.6</visMag><hubbleType>Sb</hubbleType></target></targets>\n"
        " <scopes><scope id=\"sc1\" xsi:type=\"oal:scopeType\"><model>C8</model><type>S</type>\n"
        "   <aperture>203</aperture><focalLength>2032</focalLength></scope>\n"
        "   <scope id=\"b1\" xsi:type=\"oal:fixedMagnificationOpticsType\"><model>10x50</model>\n"
        "   <aperture>50</aperture><magnification>10</magnification></scope></scopes>\n"
        " <eyepieces><eyepiece id=\"e1\"><model>Hyperion</model><focalLength>8</focalLength>\n"
        "   <maxFocalLength>24</maxFocalLength><apparentFOV "
        "unit=\"arcmin\">4080</apparentFOV></eyepiece></eyepieces>\n"
        " <lenses/><filters/><imagers/>\n"
        " <observation id=\"o1\"><observer>obs1</observer><site>s1</site><session>n1</session>\n"
        "   <target>t1</target><begin>2010-04-10T22:05:00+02:00</begin>\n"
        "   <faintestStar>5.9</faintestStar><sky-quality "
        "unit=\"mags-per-squarearcmin\">12.5</sky-quality>\n"
        "   "
        "<seeing>3</seeing><scope>sc1</scope><eyepiece>e1</eyepiece><magnification>254</"
        "magnification>\n"
        "   <result xsi:type=\"oal:findingsDeepSkyType\" lang=\"en\"><description>Thin edge-on, "
        "dust lane</description>\n"
        "   <rating>2</rating></result>\n"
        "   <result lang=\"de\"><description>Staubband "
        "deutlich</description></result></observation>\n"
        "</oal:observations>\n";
    TLogData d;
    std::string err;
    ASSERT_TRUE(TOal::Read(xml, d, err)) << err;
    ASSERT_EQ(d.Observers.size(), 1u);
    EXPECT_EQ(d.Observers[0].Name, "J\xC3\xBCrgen"); // now UTF-8
    EXPECT_EQ(d.Observers[0].Contact, "js@example.de");
    ASSERT_EQ(d.Sites.size(), 1u);
    EXPECT_EQ(d.Sites[0].Name, "Sternwarte B\xC3\xA4renfels");
    EXPECT_DOUBLE_EQ(d.Sites[0].Lng, 13.75 * Deg);
    EXPECT_DOUBLE_EQ(d.Sites[0].Lat, 50.8 * Deg);
    EXPECT_EQ(d.Sites[0].TimezoneMin, 60);
    ASSERT_EQ(d.Scopes.size(), 2u);
    EXPECT_DOUBLE_EQ(d.Scopes[1].FocalLength, 500); // 50 mm x 10
    ASSERT_EQ(d.Eyepieces.size(), 1u);
    EXPECT_DOUBLE_EQ(*d.Eyepieces[0].ApparentField, 68);
    ASSERT_EQ(d.Observations.size(), 1u);
    const TObservation& o = d.Observations[0];
    EXPECT_EQ(o.Begin, 1270929900); // 2010-04-10 20:05:00 UT, from date(1)
    EXPECT_EQ(o.UtcOffsetMin, 120);
    EXPECT_EQ(o.Object.Name, "NGC 4565");
    EXPECT_EQ(o.Object.Type, "GX");
    EXPECT_DOUBLE_EQ(*o.Object.Ra, 189.0866 * Deg);
    EXPECT_DOUBLE_EQ(*o.Object.Dec, 25.98 * Deg);
    EXPECT_DOUBLE_EQ(*o.Object.Magnitude, 9.6);
    EXPECT_EQ(o.Object.Constellation, "Com");
    EXPECT_EQ(o.Object.Kind, -1);
    EXPECT_EQ(o.Seeing, 3);
    EXPECT_EQ(o.Transparency, 0);
    EXPECT_DOUBLE_EQ(*o.FaintestStar, 5.9);
    EXPECT_NEAR(*o.SkyQuality, 12.5 + 8.890756, 1e-6); // 2.5 lg 3600: per arcmin^2 to arcsec^2
    EXPECT_DOUBLE_EQ(*o.Magnification, 254);
    EXPECT_EQ(o.Notes, "Thin edge-on, dust lane\nStaubband deutlich");

    // Into a database: the session keeps its night, the entry its equipment.
    TLogDb db;
    ASSERT_TRUE(db.Open(path, err)) << err;
    int added, skipped;
    ASSERT_TRUE(TObsLog(db).Import(d, added, skipped, err)) << err;
    const TLogData kept = TObsLog(db).ReadAll();
    ASSERT_EQ(kept.Sessions.size(), 1u);
    EXPECT_EQ(kept.Sessions[0].Begin, 1270926000); // 19:00 UT
    EXPECT_EQ(kept.Sessions[0].Weather, "clear");
    EXPECT_EQ(kept.Observations[0].SessionId, kept.Sessions[0].Id);
    EXPECT_EQ(kept.Observations[0].ScopeId, kept.Scopes[0].Id);
}

TEST_F(Oal, BrokenOrHostileFilesAreRefusedWithTheReason) {
    TLogData d;
    std::string err;
    const std::string head = "<oal:observations version=\"2.1\" xmlns:oal=\"x\">";
    auto refused = [&](const std::string& xml, const std::string& why) {
        err.clear();
        EXPECT_FALSE(TOal::Read(xml, d, err)) << why;
        EXPECT_NE(err.find(why), std::string::npos) << err;
        EXPECT_TRUE(d.Observations.empty());
    };
    const auto t0 = std::chrono::steady_clock::now();
    // A billion laughs.
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i < 10; ++i) {
        const std::string prev = "&lol" + (i > 1 ? std::to_string(i - 1) : std::string()) + ";";
        bomb += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            bomb += prev;
        bomb += "\">\n";
    }
    bomb += "]>\n" + head +
            "<observers><observer "
            "id=\"a\"><name>&lol9;</name></observer></observers></oal:observations>";
    refused(bomb, "DTD");
    // An external entity reading a local file.
    refused("<?xml version=\"1.0\"?><!DOCTYPE o [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
                head + "&x;</oal:observations>",
            "DTD");
    // Deep nesting.
    std::string deep = head;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    refused(deep, "nested deeper");
    refused(head + "<observers>", "line");
    refused("<observations version=\"1.4\"/>", "version");
    refused("<html/>", "root element");
    // Well-formed, but an entry names nobody in the file.
    refused(head +
                "<observers/><sites/><sessions/><targets/><scopes/><eyepieces/><lenses/><filters/>"
                "<imagers/><observation><observer>ghost</observer><target>t</target>"
                "<begin>2010-01-01T00:00:00Z</begin><result><description/></result></observation>"
                "</oal:observations>",
            "unknown observer");
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(20));

    // 100 MB: refused from its size, without being read.
    const std::string big = dir + "/big.xml";
    {
        std::ofstream f(big);
        f << head;
    }
    std::filesystem::resize_file(big, 100u << 20);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    err.clear();
    EXPECT_FALSE(TOal::ReadFile(big, d, err));
    EXPECT_NE(err.find("larger than"), std::string::npos) << err;
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 20 * 1024); // kB
}
