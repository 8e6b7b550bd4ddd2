#include "party/Partydiskfolder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TPartyDiskFolder::TPartyDiskFolder(std::string folder) : folder_(std::move(folder)) {}

TPartyDiskFolder::~TPartyDiskFolder() {
    if (fd_ >= 0) close(fd_);
}

bool TPartyDiskFolder::List(std::vector<std::string>& names, std::string& why) {
    names.clear();
    if (fd_ >= 0) close(fd_);
    const std::string path = folder_.empty() ? "." : folder_;
    fd_ = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        why = std::strerror(errno);
        return false;
    }
    // The listing gets a descriptor of its own; fd_ stays for the reads.
    const int listFd = dup(fd_);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        why = std::strerror(errno);
        if (listFd >= 0) close(listFd);
        return false;
    }
    errno = 0;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
        errno = 0;
    }
    const int err = errno;
    closedir(dir);
    if (err != 0) {
        why = std::strerror(err);
        return false;
    }
    return true;
}

bool TPartyDiskFolder::Read(const std::string& name, std::size_t max, std::string& bytes,
                            std::string& why) {
    bytes.clear();
    if (fd_ < 0 || name.empty() || name.find('/') != std::string::npos) {
        why = "not in the folder";
        return false;
    }
    const int fd = openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ELOOP ? "a symbolic link, not followed" : std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = S_ISFIFO(st.st_mode)  ? "a FIFO, not a regular file"
              : S_ISDIR(st.st_mode) ? "a folder, not a regular file"
                                    : "not a regular file";
        close(fd);
        return false;
    }
    bytes.resize(max + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::strerror(errno);
            close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    close(fd);
    return true;
}

long long TPartyDiskFolder::FileTimeMs(const std::string& name) {
    struct stat st {};
    if (fd_ < 0 || name.find('/') != std::string::npos ||
        fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return kNoTime;
    return static_cast<long long>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}
