#include "catalog/Catalogfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TCatalogFile::~TCatalogFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool TCatalogFile::Check(const std::string& path, std::size_t recordSize, std::size_t& size) {
    error_.clear();
    size = 0;
    if (fd_ >= 0) ::close(fd_);
    // Without O_NONBLOCK, opening a FIFO waits for a writer for ever.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = "Cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = path + " is not a plain file";
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    const auto bytes = static_cast<unsigned long long>(st.st_size);
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
    auto* p = static_cast<unsigned char*>(dst);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd_, p + done, size - done);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            // Cut short between the size check and the reading.
            error_ = n == 0 ? path + " changed while it was read"
                            : "Cannot read " + path + ": " + std::strerror(errno);
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd_);
    fd_ = -1;
    return done == size;
}
