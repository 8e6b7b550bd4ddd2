// The observing lists and log windows on a real database in a temporary
// folder: rows with their sky texts, reordering, notes and the observed
// mark, CSV and PDF out and in, the entry form's fields, and both windows
// going on (and saying why) without a database.
#include "app/Qvlists.h"
#include "app/Qvlog.h"
#include "app/Qvlogentry.h"
#include "obslog/Clslogdb.h"
#include "obslog/Clsobslists.h"
#include "obslog/Clsobslog.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

constexpr double kDeg = M_PI / 180;

struct Folder {
    Folder() {
        char pattern[] = "/tmp/quenlira-loglists-XXXXXX";
        dir = mkdtemp(pattern);
    }
    ~Folder() { std::filesystem::remove_all(dir); }
    std::string dir;
};

std::string Slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TLogObject Object(const char* name, double raDeg, double decDeg, double mag) {
    TLogObject o;
    o.Name = name;
    o.Type = "GX";
    o.Ra = raDeg * kDeg;
    o.Dec = decDeg * kDeg;
    o.Magnitude = mag;
    o.Constellation = "UMa";
    return o;
}

} // namespace

TEST(ListsWindow, RowsCarryTheirSkyAndFollowEveryChange) {
    Folder f;
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(f.dir + "/Observing.db", err)) << err;
    TfrmLists w;
    // Tokyo at local midnight of 2026-12-08/09.
    w.Site = [](TLocation& s, double& zone) {
        s.Lon = 139.5167 * kDeg;
        s.Lat = 35.68333 * kDeg;
        zone = 9;
    };
    w.Now = [] { return 61382.0 + 15.0 / 24; };
    TLogObject chosen;
    w.OnChoose = [&](const TLogObject& o) { chosen = o; };
    w.SetDatabase(&db, "");
    // The first object makes a list.
    ASSERT_GT(w.AddObject(Object("M81", 148.888, 69.065, 6.9)), 0);
    ASSERT_GT(w.AddObject(Object("M82", 148.968, 69.680, 8.4)), 0);
    ASSERT_GT(w.AddObject(Object("Polaris", 37.95, 89.264, 2.0)), 0);
    EXPECT_EQ(w.cmbList->currentText(), "Observing list");
    ASSERT_EQ(w.grdList->rowCount(), 3);
    // Polaris stands at about the latitude: 35.7 + 0.7 at most.
    const auto polaris = w.RowTexts(2);
    EXPECT_EQ(polaris[1], "Polaris");
    EXPECT_EQ(polaris[2], "galaxy");
    EXPECT_EQ(polaris[3], "2.0");
    EXPECT_EQ(polaris[4], "UMa");
    int alt = 0;
    ASSERT_EQ(std::sscanf(polaris[5].c_str(), "%d", &alt), 1) << polaris[5];
    EXPECT_NEAR(alt, 36, 1);
    EXPECT_FALSE(polaris[6].empty());

    w.MoveRow(2, -2); // Polaris first
    w.SetNote(1, "the cigar");
    w.ToggleObserved(2);
    EXPECT_EQ(w.grdList->item(0, 1)->text(), "Polaris");
    EXPECT_EQ(w.grdList->item(1, 1)->text(), "M81");
    EXPECT_EQ(w.grdList->item(1, 8)->text(), "the cigar");
    EXPECT_EQ(w.grdList->item(2, 7)->text(), "yes");
    // What the window shows is what is stored.
    const auto stored = TObsLists(db).Entries(w.CurrentList());
    EXPECT_EQ(stored[1].Note, "the cigar");
    EXPECT_TRUE(stored[2].Observed);
    w.ChooseRow(1);
    EXPECT_EQ(chosen.Name, "M81");
    if (const char* shots = std::getenv("QUENLIRA_SHOTS"))
        w.grab().save(QString(shots) + "/lists.png");

    // CSV out, into a second list, and printed.
    std::string msg;
    ASSERT_TRUE(w.ExportCsv(f.dir + "/Spring.csv", msg)) << msg;
    ASSERT_TRUE(w.ImportCsv(f.dir + "/Spring.csv", msg)) << msg;
    EXPECT_EQ(w.cmbList->currentText(), "Spring");
    EXPECT_EQ(w.grdList->rowCount(), 3);
    EXPECT_EQ(w.grdList->item(1, 8)->text(), "the cigar");
    ASSERT_TRUE(w.PrintPdf(f.dir + "/Spring.pdf", msg)) << msg;
    EXPECT_EQ(Slurp(f.dir + "/Spring.pdf").substr(0, 5), "%PDF-");
    const std::string info = "pdfinfo '" + f.dir + "/Spring.pdf' | grep -q '^Pages: *1$'";
    EXPECT_EQ(std::system(info.c_str()), 0);
    // A broken file changes nothing and says why.
    std::ofstream(f.dir + "/bad.csv") << "name,RA,Dec\nM1,40:00:00,+10:00:00\n";
    EXPECT_FALSE(w.ImportCsv(f.dir + "/bad.csv", msg));
    EXPECT_NE(w.labStatus->text().indexOf("Line 2"), -1);
    EXPECT_EQ(TObsLists(db).Lists().size(), 2u);
}

TEST(LogWindows, EntryFormKeepsEveryFieldAndTheLogSearches) {
    Folder f;
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(f.dir + "/Observing.db", err)) << err;
    TObsLog log(db);
    const auto scope = log.AddScope({0, "Dobson", "N", "", 254, 1200}, err);
    const auto eye = log.AddEyepiece({0, "Plossl 25", "", 25, std::nullopt}, err);
    const auto me = log.AddObserver({0, "Ann", "Lee", ""}, err);
    TObservation o;
    o.Begin = 1796735742; // 2026-12-08 13:15:42 UT
    o.UtcOffsetMin = 540;
    o.Object = Object("M81", 148.888, 69.065, 6.9);
    o.ObserverId = me;
    o.Seeing = 2;
    o.Transparency = 5;
    o.FaintestStar = 5.8;
    o.Notes = "Bright core";

    TfrmLogEntry form;
    form.Fill(db, o);
    EXPECT_EQ(form.labLocal->text(), "local 2026-12-08 22:15:42 (UT+09:00)");
    // Choosing the telescope and eyepiece suggests their magnification.
    form.cmbScope->setCurrentIndex(form.cmbScope->findData(QVariant::fromValue<qlonglong>(scope)));
    form.cmbEyepiece->setCurrentIndex(
        form.cmbEyepiece->findData(QVariant::fromValue<qlonglong>(eye)));
    EXPECT_DOUBLE_EQ(form.edtMag->value(), 48); // 1200 / 25
    TObservation back = o;
    std::string why;
    ASSERT_TRUE(form.Take(back, why)) << why;
    TObservation expect = o;
    expect.ScopeId = scope;
    expect.EyepieceId = eye;
    expect.Magnification = 48;
    EXPECT_EQ(back, expect);
    form.edtFaintest->setText("six");
    EXPECT_FALSE(form.Take(back, why));

    ASSERT_GT(log.Add(expect, err), 0) << err;
    o.Object.Name = "M82";
    o.Notes = "Dark lanes";
    ASSERT_GT(log.Add(o, err), 0) << err;
    TfrmLog w;
    w.SetDatabase(&db, "");
    EXPECT_EQ(w.grdLog->rowCount(), 2);
    EXPECT_EQ(w.grdLog->item(0, 0)->text(), "2026-12-08"); // the night
    EXPECT_EQ(w.grdLog->item(0, 1)->text(), "2026-12-08 22:15");
    EXPECT_EQ(w.grdLog->item(0, 4)->text(), "Dobson");
    EXPECT_EQ(w.grdLog->item(0, 7)->text(), "48x");
    if (const char* shots = std::getenv("QUENLIRA_SHOTS")) {
        w.grab().save(QString(shots) + "/log.png");
        form.grab().save(QString(shots) + "/entry.png");
    }
    QTest::keyClicks(w.edtSearch, "lanes");
    ASSERT_EQ(w.grdLog->rowCount(), 1);
    EXPECT_EQ(w.grdLog->item(0, 3)->text(), "M82");

    std::string msg;
    ASSERT_TRUE(w.ExportOal(f.dir + "/log.xml", msg)) << msg;
    TLogDb other;
    ASSERT_TRUE(other.Open(f.dir + "/other.db", err)) << err;
    TfrmLog w2;
    w2.SetDatabase(&other, "");
    ASSERT_TRUE(w2.ImportOal(f.dir + "/log.xml", msg)) << msg;
    EXPECT_EQ(msg, "2 observations added, 0 already in the log");
    EXPECT_EQ(w2.grdLog->rowCount(), 2);
}

TEST(LogWindows, WithoutADatabaseTheySayWhyAndChangeNothing) {
    TfrmLists lists;
    TfrmLog log;
    const std::string why = "The observing log x is not used: it is damaged.";
    lists.SetDatabase(nullptr, why);
    log.SetDatabase(nullptr, why);
    EXPECT_EQ(lists.labStatus->text().toStdString(), why);
    EXPECT_EQ(log.labStatus->text().toStdString(), why);
    EXPECT_EQ(lists.AddObject(Object("M1", 83.6, 22.0, 8.4)), 0);
    std::string msg;
    EXPECT_FALSE(log.ImportOal("/nonexistent.xml", msg));
    EXPECT_EQ(msg, why);
}
