// TStmt: one prepared SQLite statement, finalised with the object. Binds
// and reads by 1-based parameter and 0-based column as SQLite numbers them;
// an absent optional value is SQL NULL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Logtypes.h"

struct sqlite3;
struct sqlite3_stmt;

class TStmt {
public:
    TStmt(sqlite3* db, const char* sql);
    ~TStmt();
    TStmt(const TStmt&) = delete;
    TStmt& operator=(const TStmt&) = delete;

    bool Ok() const { return stmt_ != nullptr; }
    TStmt& Bind(int i, std::int64_t v);
    TStmt& Bind(int i, int v) { return Bind(i, static_cast<std::int64_t>(v)); }
    TStmt& Bind(int i, double v);
    TStmt& Bind(int i, const std::string& v);
    TStmt& Bind(int i, const std::optional<double>& v);
    // 0 stands for "none" in the records' references.
    TStmt& BindRef(int i, std::int64_t id);
    // An object takes eight parameters from i on, in the columns' order:
    // name, type, ra, dec, magnitude, constellation, kind, number.
    TStmt& BindObject(int i, const TLogObject& o);

    // True while a row is there; false at the end or on an error (Done()
    // then tells which).
    bool Row();
    // Runs a statement that returns no rows; false on an error.
    bool Exec();
    bool Failed() const { return failed_; }

    std::int64_t Int(int col) const;
    double Real(int col) const;
    std::string Text(int col) const;
    std::optional<double> OptReal(int col) const;
    // The object whose columns start at col, in BindObject's order.
    TLogObject ObjectAt(int col) const;
    void Reset();

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};
