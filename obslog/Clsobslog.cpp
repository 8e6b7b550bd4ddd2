#include "obslog/Clsobslog.h"

#include "obslog/Clslogdb.h"
#include "obslog/Clsstmt.h"

#include <cmath>
#include <map>
#include <sqlite3.h>

namespace {

const char* const ObsColumns =
    "id, session_id, observer_id, site_id, begin_ut, utc_offset, name, type, ra, dec, magnitude, "
    "constellation, kind, number, scope_id, eyepiece_id, filter_id, magnification, seeing, "
    "transparency, faintest_star, sky_quality, notes";

TObservation ObsFrom(const TStmt& q) {
    TObservation o;
    o.Id = q.Int(0);
    o.SessionId = q.Int(1);
    o.ObserverId = q.Int(2);
    o.SiteId = q.Int(3);
    o.Begin = q.Int(4);
    o.UtcOffsetMin = static_cast<int>(q.Int(5));
    o.Object = q.ObjectAt(6);
    o.ScopeId = q.Int(14);
    o.EyepieceId = q.Int(15);
    o.FilterId = q.Int(16);
    o.Magnification = q.OptReal(17);
    o.Seeing = static_cast<int>(q.Int(18));
    o.Transparency = static_cast<int>(q.Int(19));
    o.FaintestStar = q.OptReal(20);
    o.SkyQuality = q.OptReal(21);
    o.Notes = q.Text(22);
    return o;
}

// Binds every field but the id from parameter 1 on (23 ... for the id).
void BindObs(TStmt& q, const TObservation& o) {
    q.BindRef(1, o.SessionId).BindRef(2, o.ObserverId).BindRef(3, o.SiteId);
    q.Bind(4, o.Begin).Bind(5, o.UtcOffsetMin).BindObject(6, o.Object);
    q.BindRef(14, o.ScopeId).BindRef(15, o.EyepieceId).BindRef(16, o.FilterId);
    q.Bind(17, o.Magnification).Bind(18, o.Seeing).Bind(19, o.Transparency);
    q.Bind(20, o.FaintestStar).Bind(21, o.SkyQuality).Bind(22, o.Notes);
}

bool CheckObs(const TObservation& o, std::string& err) {
    if (o.Object.Name.empty())
        err = "An entry needs the object's name";
    else if (o.Seeing < 0 || o.Seeing > 5)
        err = "Seeing runs from 1 (perfect) to 5 (very poor)";
    else if (o.Transparency < 0 || o.Transparency > 5)
        err = "Transparency runs from 1 (very poor) to 5 (excellent)";
    else if (o.Magnification && !(*o.Magnification >= 1))
        err = "A magnification is at least 1";
    else if (o.UtcOffsetMin < -18 * 60 || o.UtcOffsetMin > 18 * 60)
        err = "A local time more than 18 hours from UT";
    return err.empty();
}

std::int64_t LastId(TLogDb& db) {
    return sqlite3_last_insert_rowid(db.Handle());
}

// Runs one INSERT in its own transaction (or the caller's); the new id.
template <class F> std::int64_t InsertOne(TLogDb& db, std::string& error, F bindAndRun) {
    std::int64_t id = 0;
    const bool ok = db.Transact(
        [&](std::string& err) {
            if (!bindAndRun(err)) return false;
            id = LastId(db);
            return true;
        },
        error);
    return ok ? id : 0;
}

} // namespace

std::int64_t TObsLog::NightOf(std::int64_t ut, int utcOffsetMin) {
    const std::int64_t local = ut + utcOffsetMin * 60LL - 12 * 3600;
    return local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
}

std::int64_t TObsLog::AddObserver(const TObserver& o, std::string& error) {
    if (o.Name.empty() && o.Surname.empty()) {
        error = "An observer needs a name";
        return 0;
    }
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO observers(name, surname, contact) VALUES (?, ?, ?)");
        return q.Bind(1, o.Name).Bind(2, o.Surname).Bind(3, o.Contact).Exec();
    });
}

std::int64_t TObsLog::AddSite(const TLogSite& s, std::string& error) {
    if (s.Name.empty() || !std::isfinite(s.Lng) || !std::isfinite(s.Lat) ||
        std::fabs(s.Lat) > M_PI / 2 + 1e-12) {
        error = "A site needs a name, a longitude and a latitude";
        return 0;
    }
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO sites(name, longitude, latitude, elevation, timezone) "
                              "VALUES (?, ?, ?, ?, ?)");
        return q.Bind(1, s.Name)
            .Bind(2, s.Lng)
            .Bind(3, s.Lat)
            .Bind(4, s.Elevation)
            .Bind(5, s.TimezoneMin)
            .Exec();
    });
}

std::int64_t TObsLog::AddScope(const TLogScope& s, std::string& error) {
    if (s.Model.empty() || !(s.Aperture > 0) || !(s.FocalLength > 0)) {
        error = "A telescope needs a name, an aperture and a focal length";
        return 0;
    }
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO scopes(model, type, vendor, aperture, focal_length) "
                              "VALUES (?, ?, ?, ?, ?)");
        return q.Bind(1, s.Model)
            .Bind(2, s.Type)
            .Bind(3, s.Vendor)
            .Bind(4, s.Aperture)
            .Bind(5, s.FocalLength)
            .Exec();
    });
}

std::int64_t TObsLog::AddEyepiece(const TEyepiece& e, std::string& error) {
    if (e.Model.empty() || !(e.FocalLength > 0)) {
        error = "An eyepiece needs a name and a focal length";
        return 0;
    }
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO eyepieces(model, vendor, focal_length, apparent_field) "
                              "VALUES (?, ?, ?, ?)");
        return q.Bind(1, e.Model)
            .Bind(2, e.Vendor)
            .Bind(3, e.FocalLength)
            .Bind(4, e.ApparentField)
            .Exec();
    });
}

std::int64_t TObsLog::AddFilter(const TFilter& f, std::string& error) {
    if (f.Model.empty()) {
        error = "A filter needs a name";
        return 0;
    }
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO filters(model, vendor, type) VALUES (?, ?, ?)");
        return q.Bind(1, f.Model)
            .Bind(2, f.Vendor)
            .Bind(3, f.Type.empty() ? "other" : f.Type)
            .Exec();
    });
}

std::int64_t TObsLog::AddSession(const TLogSession& s, std::string& error) {
    return InsertOne(db_, error, [&](std::string&) {
        TStmt q(db_.Handle(), "INSERT INTO sessions(begin_ut, end_ut, site_id, weather, "
                              "equipment, comments) VALUES (?, ?, ?, ?, ?, ?)");
        return q.Bind(1, s.Begin)
            .Bind(2, s.End)
            .BindRef(3, s.SiteId)
            .Bind(4, s.Weather)
            .Bind(5, s.Equipment)
            .Bind(6, s.Comments)
            .Exec();
    });
}

bool TObsLog::UpdateSession(const TLogSession& s, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "UPDATE sessions SET begin_ut = ?, end_ut = ?, site_id = ?, "
                                  "weather = ?, equipment = ?, comments = ? WHERE id = ?");
            q.Bind(1, s.Begin).Bind(2, s.End).BindRef(3, s.SiteId).Bind(4, s.Weather);
            if (!q.Bind(5, s.Equipment).Bind(6, s.Comments).Bind(7, s.Id).Exec()) return false;
            if (sqlite3_changes(db_.Handle()) == 1) return true;
            err = "No such session";
            return false;
        },
        error);
}

std::int64_t TObsLog::SessionFor(const TObservation& o, std::string& err) {
    const std::int64_t night = NightOf(o.Begin, o.UtcOffsetMin);
    TStmt q(db_.Handle(),
            "SELECT id, begin_ut, end_ut FROM sessions WHERE coalesce(site_id, 0) = ? "
            "AND begin_ut < ? AND end_ut > ? ORDER BY begin_ut");
    q.Bind(1, o.SiteId).Bind(2, o.Begin + 86400).Bind(3, o.Begin - 86400);
    while (q.Row()) {
        if (NightOf(q.Int(1), o.UtcOffsetMin) != night) continue;
        const std::int64_t id = q.Int(0);
        TStmt widen(db_.Handle(),
                    "UPDATE sessions SET begin_ut = min(begin_ut, ?1), end_ut = max(end_ut, ?1) "
                    "WHERE id = ?2");
        return widen.Bind(1, o.Begin).Bind(2, id).Exec() ? id : 0;
    }
    if (q.Failed()) return 0;
    TLogSession s;
    s.Begin = s.End = o.Begin;
    s.SiteId = o.SiteId;
    return AddSession(s, err);
}

std::int64_t TObsLog::Insert(const TObservation& in, std::string& err) {
    TObservation o = in;
    if (!o.SessionId) o.SessionId = SessionFor(o, err);
    if (!o.SessionId) return 0;
    const std::string sql = std::string("INSERT INTO observations(") + (ObsColumns + 4) +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                            "?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22)";
    TStmt q(db_.Handle(), sql.c_str());
    BindObs(q, o);
    return q.Exec() ? LastId(db_) : 0;
}

std::int64_t TObsLog::Add(const TObservation& o, std::string& error) {
    if (!CheckObs(o, error)) return 0;
    std::int64_t id = 0;
    const bool ok = db_.Transact(
        [&](std::string& err) {
            id = Insert(o, err);
            return id != 0;
        },
        error);
    return ok ? id : 0;
}

bool TObsLog::Update(const TObservation& o, std::string& error) {
    if (!CheckObs(o, error)) return false;
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(),
                    "UPDATE observations SET session_id = ?1, observer_id = ?2, site_id = ?3, "
                    "begin_ut = ?4, utc_offset = ?5, name = ?6, type = ?7, ra = ?8, dec = ?9, "
                    "magnitude = ?10, constellation = ?11, kind = ?12, number = ?13, scope_id = "
                    "?14, eyepiece_id = ?15, filter_id = ?16, magnification = ?17, seeing = ?18, "
                    "transparency = ?19, faintest_star = ?20, sky_quality = ?21, notes = ?22 "
                    "WHERE id = ?23");
            BindObs(q, o);
            if (!q.Bind(23, o.Id).Exec()) return false;
            if (sqlite3_changes(db_.Handle()) == 1) return true;
            err = "No such entry";
            return false;
        },
        error);
}

bool TObsLog::Remove(std::int64_t id, std::string& error) {
    return db_.Transact(
        [&](std::string& err) {
            TStmt q(db_.Handle(), "DELETE FROM observations WHERE id = ?");
            if (!q.Bind(1, id).Exec()) return false;
            if (sqlite3_changes(db_.Handle()) == 1) return true;
            err = "No such entry";
            return false;
        },
        error);
}

std::vector<TObservation> TObsLog::Entries(const std::string& text) const {
    std::vector<TObservation> out;
    if (!db_.IsOpen()) return out;
    std::string sql = std::string("SELECT ") + ObsColumns + " FROM observations";
    if (!text.empty())
        sql += " WHERE instr(lower(name || ' ' || type || ' ' || constellation || ' ' || notes), "
               "lower(?)) > 0";
    sql += " ORDER BY begin_ut, id";
    TStmt q(db_.Handle(), sql.c_str());
    if (!text.empty()) q.Bind(1, text);
    while (q.Row())
        out.push_back(ObsFrom(q));
    return out;
}

std::int64_t TObsLog::Count() const {
    if (!db_.IsOpen()) return 0;
    TStmt q(db_.Handle(), "SELECT count(*) FROM observations");
    return q.Row() ? q.Int(0) : 0;
}

TLogData TObsLog::ReadAll() const {
    TLogData d;
    if (!db_.IsOpen()) return d;
    sqlite3* h = db_.Handle();
    for (TStmt q(h, "SELECT id, name, surname, contact FROM observers ORDER BY id"); q.Row();)
        d.Observers.push_back({q.Int(0), q.Text(1), q.Text(2), q.Text(3)});
    for (TStmt q(h, "SELECT id, name, longitude, latitude, elevation, timezone FROM sites ORDER BY "
                    "id");
         q.Row();)
        d.Sites.push_back(
            {q.Int(0), q.Text(1), q.Real(2), q.Real(3), q.OptReal(4), static_cast<int>(q.Int(5))});
    for (TStmt q(h,
                 "SELECT id, model, type, vendor, aperture, focal_length FROM scopes ORDER BY id");
         q.Row();)
        d.Scopes.push_back({q.Int(0), q.Text(1), q.Text(2), q.Text(3), q.Real(4), q.Real(5)});
    for (TStmt q(h, "SELECT id, model, vendor, focal_length, apparent_field FROM eyepieces ORDER "
                    "BY id");
         q.Row();)
        d.Eyepieces.push_back({q.Int(0), q.Text(1), q.Text(2), q.Real(3), q.OptReal(4)});
    for (TStmt q(h, "SELECT id, model, vendor, type FROM filters ORDER BY id"); q.Row();)
        d.Filters.push_back({q.Int(0), q.Text(1), q.Text(2), q.Text(3)});
    for (TStmt q(h, "SELECT id, begin_ut, end_ut, coalesce(site_id, 0), weather, equipment, "
                    "comments FROM sessions ORDER BY begin_ut, id");
         q.Row();)
        d.Sessions.push_back(
            {q.Int(0), q.Int(1), q.Int(2), q.Int(3), q.Text(4), q.Text(5), q.Text(6)});
    d.Observations = Entries();
    return d;
}

bool TObsLog::Import(const TLogData& data, int& added, int& skipped, std::string& error) {
    added = skipped = 0;
    int newEntries = 0, sameEntries = 0;
    const bool ok = db_.Transact(
        [&](std::string& err) {
            sqlite3* h = db_.Handle();
            // A record equal to one kept is taken for it; otherwise added.
            auto findOrAdd = [&](const char* find, auto bind, auto add) -> std::int64_t {
                TStmt q(h, find);
                bind(q);
                if (q.Row()) return q.Int(0);
                if (q.Failed()) return 0;
                return add();
            };
            std::map<std::int64_t, std::int64_t> obs, site, scope, eye, filt, sess;
            for (const TObserver& o : data.Observers)
                if (!(obs[o.Id] = findOrAdd(
                          "SELECT id FROM observers WHERE name = ? AND surname = ?",
                          [&](TStmt& q) { q.Bind(1, o.Name).Bind(2, o.Surname); },
                          [&] { return AddObserver(o, err); })))
                    return false;
            for (const TLogSite& s : data.Sites)
                if (!(site[s.Id] = findOrAdd(
                          "SELECT id FROM sites WHERE name = ? AND abs(longitude - ?) < 1e-9 AND "
                          "abs(latitude - ?) < 1e-9",
                          [&](TStmt& q) { q.Bind(1, s.Name).Bind(2, s.Lng).Bind(3, s.Lat); },
                          [&] { return AddSite(s, err); })))
                    return false;
            for (const TLogScope& s : data.Scopes)
                if (!(scope[s.Id] = findOrAdd(
                          "SELECT id FROM scopes WHERE model = ? AND aperture = ? AND "
                          "focal_length = ?",
                          [&](TStmt& q) {
                              q.Bind(1, s.Model).Bind(2, s.Aperture).Bind(3, s.FocalLength);
                          },
                          [&] { return AddScope(s, err); })))
                    return false;
            for (const TEyepiece& e : data.Eyepieces)
                if (!(eye[e.Id] = findOrAdd(
                          "SELECT id FROM eyepieces WHERE model = ? AND focal_length = ?",
                          [&](TStmt& q) { q.Bind(1, e.Model).Bind(2, e.FocalLength); },
                          [&] { return AddEyepiece(e, err); })))
                    return false;
            for (const TFilter& f : data.Filters)
                if (!(filt[f.Id] = findOrAdd(
                          "SELECT id FROM filters WHERE model = ? AND type = ?",
                          [&](TStmt& q) { q.Bind(1, f.Model).Bind(2, f.Type); },
                          [&] { return AddFilter(f, err); })))
                    return false;
            auto mapped = [](const std::map<std::int64_t, std::int64_t>& m, std::int64_t id) {
                const auto it = m.find(id);
                return it == m.end() ? std::int64_t(0) : it->second;
            };
            for (TLogSession s : data.Sessions) {
                s.SiteId = mapped(site, s.SiteId);
                if (!(sess[s.Id] = findOrAdd(
                          "SELECT id FROM sessions WHERE begin_ut = ? AND end_ut = ? AND "
                          "coalesce(site_id, 0) = ?",
                          [&](TStmt& q) { q.Bind(1, s.Begin).Bind(2, s.End).Bind(3, s.SiteId); },
                          [&] { return AddSession(s, err); })))
                    return false;
            }
            for (TObservation o : data.Observations) {
                o.ObserverId = mapped(obs, o.ObserverId);
                o.SiteId = mapped(site, o.SiteId);
                o.SessionId = mapped(sess, o.SessionId);
                o.ScopeId = mapped(scope, o.ScopeId);
                o.EyepieceId = mapped(eye, o.EyepieceId);
                o.FilterId = mapped(filt, o.FilterId);
                if (!CheckObs(o, err)) return false;
                TStmt same(h, "SELECT count(*) FROM observations WHERE begin_ut = ? AND name = ? "
                              "AND coalesce(observer_id, 0) = ? AND coalesce(site_id, 0) = ?");
                same.Bind(1, o.Begin)
                    .Bind(2, o.Object.Name)
                    .Bind(3, o.ObserverId)
                    .Bind(4, o.SiteId);
                if (!same.Row()) return false;
                if (same.Int(0) > 0) {
                    ++sameEntries;
                    continue;
                }
                if (!Insert(o, err)) return false;
                ++newEntries;
            }
            return true;
        },
        error);
    if (ok) {
        added = newEntries;
        skipped = sameEntries;
    }
    return ok;
}
