// TPartyFolder: the shared folder as a receiver sees it, a listing and the
// bytes of one entry. The real folder is TPartyDiskFolder; tests and the
// fuzz target hand the receiver folders held in memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TPartyFolder {
public:
    virtual ~TPartyFolder() = default;
    // The names in the folder; false with the reason when it cannot be listed.
    virtual bool List(std::vector<std::string>& names, std::string& why) = 0;
    // Up to max + 1 bytes of the entry `name` of the last listing (one byte
    // past the limit tells an oversized file); false with the reason when it
    // is not a regular file or cannot be read.
    virtual bool Read(const std::string& name, std::size_t max, std::string& bytes,
                      std::string& why) = 0;
    // The entry's modification time in ms since 1970 UT, or kNoTime. It is
    // the writer's clock in UT, which sync engines carry over with the file.
    static constexpr long long kNoTime = -(1LL << 62);
    virtual long long FileTimeMs(const std::string& name) {
        (void)name;
        return kNoTime;
    }
};
