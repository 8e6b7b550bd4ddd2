// TPartyDiskFolder: the shared folder on disk. Another station may plant
// anything there, so an entry is opened under the folder's own descriptor
// without following a symbolic link and without waiting on a FIFO, and only
// a regular file is read.
#pragma once

#include "party/Partyfolder.h"

class TPartyDiskFolder : public TPartyFolder {
public:
    // folder: the shared folder text as stored ("" is the current directory;
    // a trailing "/" is optional).
    explicit TPartyDiskFolder(std::string folder);
    ~TPartyDiskFolder() override;
    TPartyDiskFolder(const TPartyDiskFolder&) = delete;
    TPartyDiskFolder& operator=(const TPartyDiskFolder&) = delete;

    bool List(std::vector<std::string>& names, std::string& why) override;
    bool Read(const std::string& name, std::size_t max, std::string& bytes,
              std::string& why) override;
    long long FileTimeMs(const std::string& name) override;

private:
    std::string folder_;
    int fd_ = -1; // the folder as last listed
};
