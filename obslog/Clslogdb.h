// TLogDb: the database of the observing lists and the log, one SQLite file
// in the user's data folder. The schema carries a version (user_version)
// and is brought up from any older version by the migrations in order;
// the file is in write-ahead-log mode and every change runs in one
// immediate transaction, so two programs never write at once and a crash
// leaves the last committed state.
//
// A file that is not a database, is damaged, is locked by another program
// for longer than the wait, belongs to another application, or was made by
// a newer version is refused with the reason and left exactly as it was.
#pragma once

#include <functional>
#include <string>

struct sqlite3;

class TLogDb {
public:
    static constexpr int SchemaVersion = 1;
    // PRAGMA application_id of our files ("QLOG").
    static constexpr int ApplicationId = 0x514C4F47;

    TLogDb() = default;
    ~TLogDb();
    TLogDb(const TLogDb&) = delete;
    TLogDb& operator=(const TLogDb&) = delete;

    // Opens (and, when missing or empty, creates) the file; waits up to
    // busyMs for another program's lock. False with the reason otherwise,
    // the file untouched.
    bool Open(const std::string& path, std::string& error, int busyMs = 3000);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    const std::string& Path() const { return path_; }
    sqlite3* Handle() const { return db_; }

    // Runs work inside BEGIN IMMEDIATE .. COMMIT; work returning false (or
    // a failed commit) rolls everything back. Inside a transaction already
    // work just runs, so operations compose into one.
    bool Transact(const std::function<bool(std::string&)>& work, std::string& error);

    // The last error of the connection, in words.
    std::string LastError() const;
    // The file's name in the user's data folder.
    static std::string FileIn(const std::string& userFolder);

    // A statement without rows (schema, pragmas); false with the reason.
    bool Exec(const char* sql, std::string& error);

private:
    bool Refuse(const std::string& why, std::string& error);
    bool Migrate(std::string& error);
    std::string Describe(int code) const;
    sqlite3* db_ = nullptr;
    std::string path_;
};
