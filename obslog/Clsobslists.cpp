#include "obslog/Clsobslists.h"

#include "obslog/Clslogdb.h"
#include "obslog/Clsstmt.h"

#include <sqlite3.h>

namespace {

const char* const EntryColumns = "id, list_id, position, name, type, ra, dec, magnitude, "
                                 "constellation, kind, number, note, observed";

TListEntry EntryFrom(const TStmt& q) {
    TListEntry e;
    e.Id = q.Int(0);
    e.ListId = q.Int(1);
    e.Position = static_cast<int>(q.Int(2));
    e.Object = q.ObjectAt(3);
    e.Note = q.Text(11);
    e.Observed = q.Int(12) != 0;
    return e;
}

bool ChangedOne(TLogDb& db, std::string& error, const char* what) {
    if (sqlite3_changes(db.Handle()) == 1) return true;
    error = std::string("No such ") + what;
    return false;
}

} // namespace

std::vector<TObsList> TObsLists::Lists() const {
    std::vector<TObsList> out;
    if (!db_.IsOpen()) return out;
    TStmt q(db_.Handle(), "SELECT id, name FROM lists ORDER BY name COLLATE NOCASE, id");
    while (q.Row())
        out.push_back({q.Int(0), q.Text(1)});
    return out;
}

std::int64_t TObsLists::Create(const std::string& name, std::string& error) {
    if (name.empty()) {
        error = "A list needs a name";
        return 0;
    }
    std::int64_t id = 0;
    const bool ok = db_.Transact(
        [&](std::string& err) {
            TStmt find(db_.Handle(), "SELECT id FROM lists WHERE name = ?");
            find.Bind(1, name);
            if (find.Row()) {
                id = find.Int(0);
                return true;
            }
            TStmt add(db_.Handle(), "INSERT INTO lists(name) VALUES (?)");
            if (!add.Bind(1, name).Exec()) return false;
            id = sqlite3_last_insert_rowid(db_.Handle());
            (void)err;
            return true;
        },
        error);
    return ok ? id : 0;
}

bool TObsLists::Rename(std::int64_t list, const std::string& name, std::string& error) {
    if (name.empty()) {
        error = "A list needs a name";
        return false;
    }
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "UPDATE lists SET name = ? WHERE id = ?");
            if (!q.Bind(1, name).Bind(2, list).Exec()) {
                err = "There is a list named " + name + " already";
                return false;
            }
            return ChangedOne(db_, err, "list");
        },
        error);
}

bool TObsLists::Remove(std::int64_t list, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "DELETE FROM lists WHERE id = ?");
            return q.Bind(1, list).Exec() && ChangedOne(db_, err, "list");
        },
        error);
}

std::vector<TListEntry> TObsLists::Entries(std::int64_t list) const {
    std::vector<TListEntry> out;
    if (!db_.IsOpen()) return out;
    const std::string sql = std::string("SELECT ") + EntryColumns +
                            " FROM list_entries WHERE list_id = ? ORDER BY position";
    TStmt q(db_.Handle(), sql.c_str());
    q.Bind(1, list);
    while (q.Row())
        out.push_back(EntryFrom(q));
    return out;
}

std::int64_t TObsLists::Add(std::int64_t list, const TLogObject& o, const std::string& note,
                            std::string& error) {
    if (o.Name.empty()) {
        error = "An object without a name cannot be listed";
        return 0;
    }
    std::int64_t id = 0;
    const bool ok = db_.Transact(
        [&](std::string& err) {
            TStmt has(db_.Handle(), "SELECT count(*) FROM lists WHERE id = ?");
            has.Bind(1, list);
            if (!has.Row() || has.Int(0) != 1) {
                err = "No such list";
                return false;
            }
            TStmt q(db_.Handle(),
                    "INSERT INTO list_entries(list_id, position, name, type, ra, dec, magnitude, "
                    "constellation, kind, number, note, observed) VALUES (?1, "
                    "(SELECT coalesce(max(position), 0) + 1 FROM list_entries WHERE list_id = ?1), "
                    "?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, 0)");
            q.Bind(1, list).BindObject(2, o);
            if (!q.Bind(10, note).Exec()) return false;
            id = sqlite3_last_insert_rowid(db_.Handle());
            return true;
        },
        error);
    return ok ? id : 0;
}

bool TObsLists::RemoveEntry(std::int64_t entry, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt at(db_.Handle(), "SELECT list_id, position FROM list_entries WHERE id = ?");
            at.Bind(1, entry);
            if (!at.Row()) {
                err = "No such entry";
                return false;
            }
            const std::int64_t list = at.Int(0), pos = at.Int(1);
            TStmt del(db_.Handle(), "DELETE FROM list_entries WHERE id = ?");
            TStmt up(db_.Handle(), "UPDATE list_entries SET position = position - 1 "
                                   "WHERE list_id = ? AND position > ?");
            return del.Bind(1, entry).Exec() && up.Bind(1, list).Bind(2, pos).Exec();
        },
        error);
}

bool TObsLists::Move(std::int64_t entry, int position, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt at(db_.Handle(), "SELECT list_id, position, (SELECT count(*) FROM list_entries e "
                                   "WHERE e.list_id = list_entries.list_id) FROM list_entries "
                                   "WHERE id = ?");
            at.Bind(1, entry);
            if (!at.Row()) {
                err = "No such entry";
                return false;
            }
            const std::int64_t list = at.Int(0), from = at.Int(1), count = at.Int(2);
            std::int64_t to = position < 1 ? 1 : position;
            if (to > count) to = count;
            if (to == from) return true;
            // Those between close up towards the old place.
            TStmt shift(db_.Handle(), to > from
                                          ? "UPDATE list_entries SET position = position - 1 WHERE "
                                            "list_id = ?1 AND position > ?2 AND position <= ?3"
                                          : "UPDATE list_entries SET position = position + 1 WHERE "
                                            "list_id = ?1 AND position >= ?3 AND position < ?2");
            TStmt set(db_.Handle(), "UPDATE list_entries SET position = ? WHERE id = ?");
            return shift.Bind(1, list).Bind(2, from).Bind(3, to).Exec() &&
                   set.Bind(1, to).Bind(2, entry).Exec();
        },
        error);
}

bool TObsLists::SetNote(std::int64_t entry, const std::string& note, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "UPDATE list_entries SET note = ? WHERE id = ?");
            return q.Bind(1, note).Bind(2, entry).Exec() && ChangedOne(db_, err, "entry");
        },
        error);
}

bool TObsLists::SetObserved(std::int64_t entry, bool observed, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "UPDATE list_entries SET observed = ? WHERE id = ?");
            return q.Bind(1, observed ? 1 : 0).Bind(2, entry).Exec() &&
                   ChangedOne(db_, err, "entry");
        },
        error);
}
