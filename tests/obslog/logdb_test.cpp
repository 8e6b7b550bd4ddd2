// The database: made, brought up, refused when it is not ours to write, and
// the lists and the log kept in it.
#include "Logfixture.h"
#include "obslog/Clslogtime.h"
#include "obslog/Clsobslists.h"
#include "obslog/Clsobslog.h"
#include "obslog/Clsstmt.h"

#include <cmath>
#include <sqlite3.h>
#include <sys/wait.h>

namespace {

int Pragma(TLogDb& db, const char* sql) {
    TStmt q(db.Handle(), sql);
    return q.Row() ? static_cast<int>(q.Int(0)) : -1;
}

TLogObject M31() {
    TLogObject o;
    o.Name = "M31";
    o.Type = "GX";
    o.Ra = 0.1864;
    o.Dec = 0.7201;
    o.Magnitude = 3.4;
    o.Constellation = "And";
    o.Kind = 4;
    o.Number = 112;
    return o;
}

} // namespace

using LogDb = LogFolder;

TEST_F(LogDb, NewFileIsVersionedInWalModeAndReopens) {
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(path, err)) << err;
    EXPECT_EQ(Pragma(db, "PRAGMA user_version"), TLogDb::SchemaVersion);
    EXPECT_EQ(Pragma(db, "PRAGMA application_id"), 0x514C4F47);
    {
        TStmt mode(db.Handle(), "PRAGMA journal_mode");
        ASSERT_TRUE(mode.Row());
        EXPECT_EQ(mode.Text(0), "wal");
    }
    TObsLists lists(db);
    ASSERT_GT(lists.Create("Autumn galaxies", err), 0) << err;
    db.Close();
    // The first bytes are SQLite's own header: a real database file.
    EXPECT_EQ(Slurp(path).substr(0, 16), std::string("SQLite format 3\0", 16));
    TLogDb again;
    ASSERT_TRUE(again.Open(path, err)) << err;
    ASSERT_EQ(TObsLists(again).Lists().size(), 1u);
    EXPECT_EQ(TObsLists(again).Lists()[0].Name, "Autumn galaxies");
}

TEST_F(LogDb, FilesNotOursToWriteAreRefusedAndLeftAsTheyWere) {
    std::string err;
    // Not a database at all.
    Spit(path, "name,RA,Dec\nM31,00:42:44,+41:16:09\n");
    {
        TLogDb db;
        EXPECT_FALSE(db.Open(path, err));
        EXPECT_NE(err.find("not a database"), std::string::npos) << err;
        EXPECT_EQ(Slurp(path), "name,RA,Dec\nM31,00:42:44,+41:16:09\n");
        EXPECT_FALSE(db.IsOpen());
    }
    // Another application's database.
    std::filesystem::remove(path);
    {
        sqlite3* h;
        ASSERT_EQ(sqlite3_open(path.c_str(), &h), SQLITE_OK);
        sqlite3_exec(h, "CREATE TABLE t(x); INSERT INTO t VALUES (1)", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        const std::string before = Slurp(path);
        TLogDb db;
        EXPECT_FALSE(db.Open(path, err));
        EXPECT_NE(err.find("another application"), std::string::npos) << err;
        EXPECT_EQ(Slurp(path), before);
    }
    // One of a newer version of ours.
    std::filesystem::remove(path);
    {
        TLogDb db;
        ASSERT_TRUE(db.Open(path, err)) << err;
        db.Exec("PRAGMA user_version=7", err);
        db.Close();
        const std::string before = Slurp(path);
        EXPECT_FALSE(db.Open(path, err));
        EXPECT_NE(err.find("newer version"), std::string::npos) << err;
        EXPECT_EQ(Slurp(path), before);
    }
    // A damaged one: a page of the table overwritten.
    std::filesystem::remove(path);
    {
        TLogDb db;
        ASSERT_TRUE(db.Open(path, err)) << err;
        TObsLists lists(db);
        const auto list = lists.Create("Damaged", err);
        for (int i = 0; i < 400; ++i)
            lists.Add(list, M31(), std::string(200, 'x'), err);
        db.Exec("PRAGMA wal_checkpoint(TRUNCATE)", err);
        db.Close();
        std::string bytes = Slurp(path);
        ASSERT_GT(bytes.size(), 5 * 4096u);
        for (std::size_t i = 3 * 4096; i < 5 * 4096; ++i)
            bytes[i] = static_cast<char>(i * 7);
        Spit(path, bytes);
        EXPECT_FALSE(db.Open(path, err));
        EXPECT_TRUE(err.find("damaged") != std::string::npos ||
                    err.find("malformed") != std::string::npos)
            << err;
        EXPECT_EQ(Slurp(path), bytes);
    }
    // A folder where the file should be.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    {
        TLogDb db;
        EXPECT_FALSE(db.Open(path, err));
        EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
    }
}

TEST_F(LogDb, SecondProgramWaitsForTheFirstsWriteLockAndNeverWritesAtOnce) {
    std::string err;
    TLogDb first;
    ASSERT_TRUE(first.Open(path, err)) << err;
    TObsLists lists(first);
    const auto list = lists.Create("Shared", err);
    ASSERT_TRUE(first.Exec("BEGIN IMMEDIATE", err));
    TStmt(first.Handle(), "INSERT INTO lists(name) VALUES ('held')").Exec();

    // Another process (a second program) tries to write meanwhile.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TLogDb second;
        std::string e;
        if (!second.Open(path, e, 300)) _exit(3);
        const bool added = TObsLists(second).Add(list, M31(), "", e) != 0;
        const bool said = e.find("in use by another program") != std::string::npos;
        _exit(!added && said ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(first.Exec("COMMIT", err));
    EXPECT_TRUE(lists.Entries(list).empty());

    // A whole file held by another program when it is opened: refused.
    ASSERT_TRUE(first.Exec("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", err)) << err;
    TLogDb third;
    EXPECT_FALSE(third.Open(path, err, 200));
    EXPECT_NE(err.find("in use by another program"), std::string::npos) << err;
}

TEST_F(LogDb, ListsKeepTheirOrderThroughMovesAndRemovals) {
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(path, err)) << err;
    TObsLists lists(db);
    const auto a = lists.Create("Messier marathon", err);
    EXPECT_EQ(lists.Create("Messier marathon", err), a);
    const auto b = lists.Create("Doubles", err);
    std::vector<std::int64_t> ids;
    for (const char* name : {"M1", "M2", "M3", "M4", "M5"}) {
        TLogObject o = M31();
        o.Name = name;
        ids.push_back(lists.Add(a, o, "", err));
    }
    TLogObject albireo;
    albireo.Name = "Albireo";
    lists.Add(b, albireo, "", err);
    ASSERT_TRUE(lists.Move(ids[4], 2, err)) << err;     // M5 up to second
    ASSERT_TRUE(lists.Move(ids[0], 99, err)) << err;    // M1 to the end
    ASSERT_TRUE(lists.RemoveEntry(ids[2], err)) << err; // M3 out
    ASSERT_TRUE(lists.SetNote(ids[1], "low in the west", err));
    ASSERT_TRUE(lists.SetObserved(ids[3], true, err));
    const auto e = lists.Entries(a);
    ASSERT_EQ(e.size(), 4u);
    const char* order[] = {"M5", "M2", "M4", "M1"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e[i].Object.Name, order[i]);
        EXPECT_EQ(e[i].Position, i + 1);
    }
    EXPECT_EQ(e[1].Note, "low in the west");
    EXPECT_TRUE(e[2].Observed);
    EXPECT_FALSE(e[0].Observed);
    EXPECT_EQ(e[3].Object, [] {
        TLogObject o = M31();
        o.Name = "M1";
        return o;
    }());
    EXPECT_EQ(lists.Entries(b).size(), 1u);
    EXPECT_FALSE(lists.Rename(b, "Messier marathon", err));
    ASSERT_TRUE(lists.Remove(a, err));
    EXPECT_TRUE(lists.Entries(a).empty());
    EXPECT_EQ(lists.Lists().size(), 1u);
    EXPECT_EQ(lists.Add(a, M31(), "", err), 0);
}

TEST_F(LogDb, EntriesOfOneNightShareASessionAndSearchFindsThem) {
    TLogDb db;
    std::string err;
    ASSERT_TRUE(db.Open(path, err)) << err;
    TObsLog log(db);
    TLogSite site;
    site.Name = "Tokyo";
    site.Lng = 139.5 * M_PI / 180;
    site.Lat = 35.7 * M_PI / 180;
    site.TimezoneMin = 540;
    const auto s = log.AddSite(site, err);
    ASSERT_GT(s, 0) << err;
    // Local 2026-12-08 19:00, 23:30, then 03:10 the next morning: one night;
    // 20:00 of the 9th: the next.
    auto at = [](int day, int h, int m) {
        return TLogTime::DaysFromCivil(2026, 12, day) * 86400 + (h * 60 + m - 540) * 60;
    };
    TObservation o;
    o.SiteId = s;
    o.UtcOffsetMin = 540;
    o.Object = M31();
    std::vector<std::int64_t> ids;
    for (auto t : {at(8, 19, 0), at(8, 23, 30), at(9, 3, 10), at(9, 20, 0)}) {
        o.Begin = t;
        ids.push_back(log.Add(o, err));
        ASSERT_GT(ids.back(), 0) << err;
    }
    const auto all = log.Entries();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].SessionId, all[1].SessionId);
    EXPECT_EQ(all[0].SessionId, all[2].SessionId);
    EXPECT_NE(all[0].SessionId, all[3].SessionId);
    const TLogData d = log.ReadAll();
    ASSERT_EQ(d.Sessions.size(), 2u);
    EXPECT_EQ(d.Sessions[0].Begin, at(8, 19, 0));
    EXPECT_EQ(d.Sessions[0].End, at(9, 3, 10));

    TObservation edited = all[1];
    edited.Notes = "Dust lane seen with averted vision";
    edited.Seeing = 2;
    edited.Transparency = 4;
    ASSERT_TRUE(log.Update(edited, err)) << err;
    ASSERT_EQ(log.Entries("DUST LANE").size(), 1u);
    EXPECT_EQ(log.Entries("dust lane")[0], edited);
    EXPECT_EQ(log.Entries("and").size(), 4u); // constellation
    edited.Seeing = 6;
    EXPECT_FALSE(log.Update(edited, err));
    ASSERT_TRUE(log.Remove(ids[0], err));
    EXPECT_EQ(log.Count(), 3);
    EXPECT_FALSE(log.Remove(ids[0], err));
}
