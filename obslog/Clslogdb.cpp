#include "obslog/Clslogdb.h"

#include "catalog/Clsfolders.h"
#include "obslog/Clsstmt.h"

#include <sqlite3.h>
#include <sys/stat.h>

namespace {

// Migrations[i] brings the schema from version i to i + 1. Only ever
// append: a user's file of any earlier version must come up whole.
const char* const Migrations[] = {
    // 1: lists, log, equipment, sites, observers, sessions.
    R"(CREATE TABLE lists (
         id INTEGER PRIMARY KEY,
         name TEXT NOT NULL UNIQUE);
       CREATE TABLE list_entries (
         id INTEGER PRIMARY KEY,
         list_id INTEGER NOT NULL REFERENCES lists(id) ON DELETE CASCADE,
         position INTEGER NOT NULL,
         name TEXT NOT NULL, type TEXT NOT NULL DEFAULT '',
         ra REAL, dec REAL, magnitude REAL, constellation TEXT NOT NULL DEFAULT '',
         kind INTEGER NOT NULL DEFAULT -1, number INTEGER NOT NULL DEFAULT -1,
         note TEXT NOT NULL DEFAULT '', observed INTEGER NOT NULL DEFAULT 0);
       CREATE INDEX list_entries_order ON list_entries(list_id, position);
       CREATE TABLE observers (
         id INTEGER PRIMARY KEY,
         name TEXT NOT NULL, surname TEXT NOT NULL DEFAULT '', contact TEXT NOT NULL DEFAULT '');
       CREATE TABLE sites (
         id INTEGER PRIMARY KEY,
         name TEXT NOT NULL, longitude REAL NOT NULL, latitude REAL NOT NULL,
         elevation REAL, timezone INTEGER NOT NULL DEFAULT 0);
       CREATE TABLE scopes (
         id INTEGER PRIMARY KEY,
         model TEXT NOT NULL, type TEXT NOT NULL DEFAULT '', vendor TEXT NOT NULL DEFAULT '',
         aperture REAL NOT NULL, focal_length REAL NOT NULL);
       CREATE TABLE eyepieces (
         id INTEGER PRIMARY KEY,
         model TEXT NOT NULL, vendor TEXT NOT NULL DEFAULT '',
         focal_length REAL NOT NULL, apparent_field REAL);
       CREATE TABLE filters (
         id INTEGER PRIMARY KEY,
         model TEXT NOT NULL, vendor TEXT NOT NULL DEFAULT '', type TEXT NOT NULL DEFAULT 'other');
       CREATE TABLE sessions (
         id INTEGER PRIMARY KEY,
         begin_ut INTEGER NOT NULL, end_ut INTEGER NOT NULL,
         site_id INTEGER REFERENCES sites(id),
         weather TEXT NOT NULL DEFAULT '', equipment TEXT NOT NULL DEFAULT '',
         comments TEXT NOT NULL DEFAULT '');
       CREATE TABLE observations (
         id INTEGER PRIMARY KEY,
         session_id INTEGER REFERENCES sessions(id),
         observer_id INTEGER REFERENCES observers(id),
         site_id INTEGER REFERENCES sites(id),
         begin_ut INTEGER NOT NULL, utc_offset INTEGER NOT NULL DEFAULT 0,
         name TEXT NOT NULL, type TEXT NOT NULL DEFAULT '',
         ra REAL, dec REAL, magnitude REAL, constellation TEXT NOT NULL DEFAULT '',
         kind INTEGER NOT NULL DEFAULT -1, number INTEGER NOT NULL DEFAULT -1,
         scope_id INTEGER REFERENCES scopes(id),
         eyepiece_id INTEGER REFERENCES eyepieces(id),
         filter_id INTEGER REFERENCES filters(id),
         magnification REAL, seeing INTEGER NOT NULL DEFAULT 0,
         transparency INTEGER NOT NULL DEFAULT 0,
         faintest_star REAL, sky_quality REAL, notes TEXT NOT NULL DEFAULT '');
       CREATE INDEX observations_time ON observations(begin_ut);)",
};
static_assert(sizeof(Migrations) / sizeof(Migrations[0]) == TLogDb::SchemaVersion);

} // namespace

TLogDb::~TLogDb() {
    Close();
}

std::string TLogDb::FileIn(const std::string& userFolder) {
    return PathIn(userFolder, "Observing.db");
}

void TLogDb::Close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

std::string TLogDb::LastError() const {
    return db_ ? sqlite3_errmsg(db_) : "no database";
}

std::string TLogDb::Describe(int code) const {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "it is in use by another program (locked)";
    case SQLITE_NOTADB:
        return "it is not a database";
    case SQLITE_CORRUPT:
        return "it is damaged";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return "it cannot be written (" + LastError() + ")";
    default:
        return LastError();
    }
}

bool TLogDb::Refuse(const std::string& why, std::string& error) {
    error = "The observing log " + path_ + " is not used: " + why +
            ". The file is left as it was; lists and log are off for this run.";
    Close();
    return false;
}

bool TLogDb::Exec(const char* sql, std::string& error) {
    char* msg = nullptr;
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &msg);
    if (rc == SQLITE_OK) return true;
    error = Describe(rc);
    if (msg && (rc & 0xff) != SQLITE_BUSY) error = msg;
    sqlite3_free(msg);
    return false;
}

bool TLogDb::Open(const std::string& path, std::string& error, int busyMs) {
    Close();
    path_ = path;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return Refuse("it is not a regular file", error);
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (!exists) flags |= SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK)
        return Refuse(db_ ? Describe(sqlite3_errcode(db_)) : "out of memory", error);
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyMs);

    // Only reads until the file is known to be ours and not newer.
    int version = 0, appId = 0, tables = 0;
    {
        TStmt q(db_, "PRAGMA user_version");
        if (!q.Row()) return Refuse(Describe(sqlite3_errcode(db_)), error);
        version = static_cast<int>(q.Int(0));
    }
    {
        TStmt q(db_, "PRAGMA application_id");
        if (!q.Row()) return Refuse(Describe(sqlite3_errcode(db_)), error);
        appId = static_cast<int>(q.Int(0));
    }
    {
        TStmt q(db_, "SELECT count(*) FROM sqlite_master");
        if (!q.Row()) return Refuse(Describe(sqlite3_errcode(db_)), error);
        tables = static_cast<int>(q.Int(0));
    }
    if (appId != 0 && appId != ApplicationId)
        return Refuse("it is another application's database", error);
    if (appId == 0 && tables > 0) return Refuse("it is another application's database", error);
    if (version > SchemaVersion)
        return Refuse("it was written by a newer version of Quenlira (log version " +
                          std::to_string(version) + ", this one knows " +
                          std::to_string(SchemaVersion) + ")",
                      error);
    if (tables > 0) {
        TStmt q(db_, "PRAGMA quick_check");
        if (!q.Row()) return Refuse(Describe(sqlite3_errcode(db_)), error);
        if (q.Text(0) != "ok") return Refuse("it is damaged (" + q.Text(0) + ")", error);
    }
    std::string why;
    {
        TStmt q(db_, "PRAGMA journal_mode=WAL");
        if (!q.Row()) return Refuse(Describe(sqlite3_errcode(db_)), error);
    }
    // A kill must never cost a committed entry, nor a power cut.
    if (!Exec("PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON", why)) return Refuse(why, error);
    if (!Migrate(why)) return Refuse(why, error);
    return true;
}

bool TLogDb::Migrate(std::string& error) {
    // Up to date: no write lock needed (another program may hold it now).
    {
        TStmt q(db_, "PRAGMA user_version");
        if (q.Row() && q.Int(0) == SchemaVersion) return true;
    }
    return Transact(
        [this](std::string& err) {
            // Read again under the write lock: another program may have
            // brought the file up meanwhile.
            int version = 0;
            {
                TStmt q(db_, "PRAGMA user_version");
                if (!q.Row()) return false;
                version = static_cast<int>(q.Int(0));
            }
            if (version > SchemaVersion) {
                err = "it was written by a newer version of Quenlira";
                return false;
            }
            if (version == SchemaVersion) return true;
            for (int v = version; v < SchemaVersion; ++v)
                if (!Exec(Migrations[v], err)) return false;
            const std::string set = "PRAGMA user_version=" + std::to_string(SchemaVersion) +
                                    "; PRAGMA application_id=" + std::to_string(ApplicationId);
            return Exec(set.c_str(), err);
        },
        error);
}

bool TLogDb::Transact(const std::function<bool(std::string&)>& work, std::string& error) {
    if (!db_) {
        error = "The observing log is not open";
        return false;
    }
    if (!sqlite3_get_autocommit(db_)) return work(error);
    if (!Exec("BEGIN IMMEDIATE", error)) {
        error = "The observing log cannot be changed: " + error;
        return false;
    }
    std::string why;
    bool ok = work(why);
    if (ok && !Exec("COMMIT", why)) ok = false;
    if (!ok) {
        if (why.empty()) why = LastError();
        std::string ignored;
        if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK", ignored);
        error = why;
    }
    return ok;
}
