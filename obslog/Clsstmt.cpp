#include "obslog/Clsstmt.h"

#include <sqlite3.h>

TStmt::TStmt(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        stmt_ = nullptr;
        failed_ = true;
    }
}

TStmt::~TStmt() {
    sqlite3_finalize(stmt_);
}

TStmt& TStmt::Bind(int i, std::int64_t v) {
    if (stmt_) sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

TStmt& TStmt::Bind(int i, double v) {
    if (stmt_) sqlite3_bind_double(stmt_, i, v);
    return *this;
}

TStmt& TStmt::Bind(int i, const std::string& v) {
    if (stmt_) sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
}

TStmt& TStmt::Bind(int i, const std::optional<double>& v) {
    if (!stmt_) return *this;
    if (v)
        sqlite3_bind_double(stmt_, i, *v);
    else
        sqlite3_bind_null(stmt_, i);
    return *this;
}

TStmt& TStmt::BindRef(int i, std::int64_t id) {
    if (!stmt_) return *this;
    if (id > 0)
        sqlite3_bind_int64(stmt_, i, id);
    else
        sqlite3_bind_null(stmt_, i);
    return *this;
}

bool TStmt::Row() {
    if (!stmt_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) failed_ = true;
    return false;
}

bool TStmt::Exec() {
    if (!stmt_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) failed_ = true;
    sqlite3_reset(stmt_);
    return !failed_;
}

std::int64_t TStmt::Int(int col) const {
    return sqlite3_column_int64(stmt_, col);
}

double TStmt::Real(int col) const {
    return sqlite3_column_double(stmt_, col);
}

std::string TStmt::Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col))) : "";
}

std::optional<double> TStmt::OptReal(int col) const {
    if (sqlite3_column_type(stmt_, col) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(stmt_, col);
}

void TStmt::Reset() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

TStmt& TStmt::BindObject(int i, const TLogObject& o) {
    Bind(i, o.Name).Bind(i + 1, o.Type).Bind(i + 2, o.Ra).Bind(i + 3, o.Dec);
    Bind(i + 4, o.Magnitude).Bind(i + 5, o.Constellation);
    return Bind(i + 6, o.Kind).Bind(i + 7, o.Number);
}

TLogObject TStmt::ObjectAt(int col) const {
    TLogObject o;
    o.Name = Text(col);
    o.Type = Text(col + 1);
    o.Ra = OptReal(col + 2);
    o.Dec = OptReal(col + 3);
    o.Magnitude = OptReal(col + 4);
    o.Constellation = Text(col + 5);
    o.Kind = static_cast<int>(Int(col + 6));
    o.Number = static_cast<int>(Int(col + 7));
    return o;
}
