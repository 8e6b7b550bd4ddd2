// TObsLog: the observing log in the log database: its entries, the
// sessions that group the entries of one night, and the observers, sites
// and equipment the entries name. Every change is one transaction; an
// import is one transaction for the whole file.
#pragma once

#include "obslog/Logtypes.h"

#include <cstdint>
#include <string>
#include <vector>

class TLogDb;

class TObsLog {
public:
    explicit TObsLog(TLogDb& db) : db_(db) {}

    // The records' ids are given back (0 with the reason on failure). The
    // equipment must name a model and have its lengths above 0.
    std::int64_t AddObserver(const TObserver& o, std::string& error);
    std::int64_t AddSite(const TLogSite& s, std::string& error);
    std::int64_t AddScope(const TLogScope& s, std::string& error);
    std::int64_t AddEyepiece(const TEyepiece& e, std::string& error);
    std::int64_t AddFilter(const TFilter& f, std::string& error);
    std::int64_t AddSession(const TLogSession& s, std::string& error);
    bool UpdateSession(const TLogSession& s, std::string& error);

    // A new entry; without a session it joins the one of its night at its
    // site (local noon to noon), opening one when there is none.
    std::int64_t Add(const TObservation& o, std::string& error);
    bool Update(const TObservation& o, std::string& error);
    bool Remove(std::int64_t id, std::string& error);

    // Entries in time order; text (when not empty) must occur in the
    // object's name, type, constellation or the notes.
    std::vector<TObservation> Entries(const std::string& text = "") const;
    std::int64_t Count() const;

    // Everything, for an export.
    TLogData ReadAll() const;
    // Adds a whole file's worth (its own ids are references within it).
    // Records equal to ones already kept are not added twice. One
    // transaction: all of it or nothing. added counts new entries.
    bool Import(const TLogData& data, int& added, int& skipped, std::string& error);

    // The local calendar night an entry belongs to: the date at local noon
    // before it, as days since 1970.
    static std::int64_t NightOf(std::int64_t ut, int utcOffsetMin);

private:
    std::int64_t Insert(const TObservation& o, std::string& err);
    std::int64_t SessionFor(const TObservation& o, std::string& err);
    TLogDb& db_;
};
