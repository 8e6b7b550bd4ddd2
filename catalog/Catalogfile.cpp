#include "catalog/Catalogfile.h"

#include "catalog/Safefile.h"

#include <unistd.h>

TCatalogFile::~TCatalogFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool TCatalogFile::Check(const std::string& path, std::size_t recordSize, std::size_t& size) {
    error_.clear();
    size = 0;
    if (fd_ >= 0) ::close(fd_);
    unsigned long long bytes = 0;
    fd_ = TSafeFile::OpenRegular(path, true, bytes, error_);
    if (fd_ < 0) return false;
    if (bytes > kMaxBytes) {
        error_ = path + " is too large for a catalogue (" + std::to_string(bytes) +
                 " bytes, at most " + std::to_string(kMaxBytes) + ")";
    } else if (bytes % recordSize != 0) {
        error_ = path + " is damaged: its " + std::to_string(bytes) +
                 " bytes are not a whole number of " + std::to_string(recordSize) + "-byte records";
    } else {
        size = static_cast<std::size_t>(bytes);
        if (size == 0) {
            error_ = path + " is empty";
            ::close(fd_);
            fd_ = -1;
        }
        return true;
    }
    ::close(fd_);
    fd_ = -1;
    return false;
}

bool TCatalogFile::Fill(const std::string& path, void* dst, std::size_t size) {
    // Cut short between the size check and the reading: an error, not zeros.
    const bool ok = TSafeFile::ReadExactly(fd_, path, dst, size, error_);
    ::close(fd_);
    fd_ = -1;
    return ok;
}
