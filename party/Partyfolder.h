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
};
