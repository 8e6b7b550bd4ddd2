// TObsLists: the user's named observing lists in the log database. Every
// change is one transaction; positions within a list stay 1, 2, 3, ...
// without gaps whatever is added, moved or removed.
#pragma once

#include "obslog/Logtypes.h"

#include <cstdint>
#include <string>
#include <vector>

class TLogDb;

class TObsLists {
public:
    explicit TObsLists(TLogDb& db) : db_(db) {}

    std::vector<TObsList> Lists() const;
    // The list of that name, made when there is none; its id, or 0 with the reason.
    std::int64_t Create(const std::string& name, std::string& error);
    bool Rename(std::int64_t list, const std::string& name, std::string& error);
    bool Remove(std::int64_t list, std::string& error);

    std::vector<TListEntry> Entries(std::int64_t list) const;
    // Appends to the list; the new entry's id, or 0 with the reason.
    std::int64_t Add(std::int64_t list, const TLogObject& object, const std::string& note,
                     std::string& error);
    bool RemoveEntry(std::int64_t entry, std::string& error);
    // Moves the entry to position (clamped to the list), the others close up.
    bool Move(std::int64_t entry, int position, std::string& error);
    bool SetNote(std::int64_t entry, const std::string& note, std::string& error);
    bool SetObserved(std::int64_t entry, bool observed, std::string& error);

private:
    TLogDb& db_;
};
