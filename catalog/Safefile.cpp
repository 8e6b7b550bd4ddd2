#include "catalog/Safefile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Reason() {
    return std::strerror(errno);
}

std::string NotRegular(unsigned mode) {
    return "it is " + TSafeFile::Kind(mode) + ", not a plain file";
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The permissions a new file gets, read without changing the process's
// umask (another thread may be creating a file meanwhile).
mode_t NewFileMode() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "Umask:") != 0) continue;
        try {
            return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        } catch (...) {
            break;
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

bool WriteFd(int fd, const char* p, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t w = ::write(fd, p + done, size - done);
        if (w < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(w);
    }
    return true;
}

// Where a replacement must land: the file itself, or, when it is a symbolic
// link, the file the links lead to, so that the link stays.
std::string ReplaceTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(target.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) break;
        std::string next(buf.data(), static_cast<std::size_t>(n));
        if (next.empty()) break;
        if (next[0] != '/') next = FolderOf(target) + next;
        target = next;
    }
    return target;
}

// Writes data to a fresh file of unpredictable name beside path, created
// exclusively so that nothing already there (a planted link) is followed.
// The temporary name, or "" with the reason in error.
std::string WriteTemporary(const std::string& path, const std::string& data, mode_t mode,
                           std::string& error) {
    const std::string dir = FolderOf(path);
    std::string tmp = dir + "." + BaseOf(path) + ".XXXXXX";
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot write " + path + ": cannot create a file in " +
                (dir.empty() ? std::string(".") : dir) + ": " + Reason();
        return {};
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteFd(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    const int saved = errno;
    if (::close(fd) != 0 && ok) ok = false;
    else errno = saved;
    if (!ok) {
        error = "Cannot write " + path + ": " + Reason();
        ::unlink(tmp.c_str());
        return {};
    }
    return tmp;
}

void SyncFolder(const std::string& path) {
    const std::string dir = FolderOf(path);
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: some file systems refuse it
    ::close(fd);
}

} // namespace

std::string TSafeFile::Kind(unsigned mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISREG(mode)) return "a regular file";
    return "an unknown kind of file";
}

int TSafeFile::OpenRegular(const std::string& path, bool followLinks, unsigned long long& size,
                           std::string& error) {
    size = 0;
    auto refuse = [&](const std::string& why, int code) {
        error = "Cannot read " + path + ": " + why;
        errno = code;
        return -1;
    };
    // Looked at before opening, so that a device is never opened at all.
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0)
        return refuse(Reason(), errno);
    if (!followLinks && S_ISLNK(st.st_mode))
        return refuse("it is a symbolic link, which is not followed here", ELOOP);
    if (!S_ISREG(st.st_mode)) return refuse(NotRegular(st.st_mode), EINVAL);
    // O_NONBLOCK: a FIFO put in its place meanwhile must not wait for a writer.
    const int fd = ::open(path.c_str(),
                          O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        if (errno == ELOOP && !followLinks)
            return refuse("it is a symbolic link, which is not followed here", ELOOP);
        return refuse(Reason(), errno);
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int code = errno;
        ::close(fd);
        return refuse(NotRegular(st.st_mode), code ? code : EINVAL);
    }
    size = static_cast<unsigned long long>(st.st_size);
    return fd;
}

bool TSafeFile::ReadExactly(int fd, const std::string& path, void* dst, std::size_t size,
                            std::string& error) {
    auto* p = static_cast<unsigned char*>(dst);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, p + done, size - done);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            error = n == 0 ? path + " changed while it was read"
                           : "Cannot read " + path + ": " + Reason();
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool TSafeFile::ReadHead(const std::string& path, std::size_t maxBytes, std::string& data,
                         bool& more, std::string& error, bool followLinks) {
    data.clear();
    more = false;
    unsigned long long size = 0;
    const int fd = OpenRegular(path, followLinks, size, error);
    if (fd < 0) return false;
    // The size is only a hint (the file may grow while it is read); reading
    // stops one byte past the cap whatever it says.
    const std::size_t want = maxBytes == static_cast<std::size_t>(-1) ? maxBytes : maxBytes + 1;
    data.reserve(static_cast<std::size_t>(std::min<unsigned long long>(size, want)));
    char buf[65536];
    bool ok = true;
    while (data.size() < want) {
        const std::size_t ask = std::min(sizeof buf, want - data.size());
        const ssize_t n = ::read(fd, buf, ask);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n < 0) {
            error = "Cannot read " + path + ": " + Reason();
            ok = false;
            break;
        }
        if (n == 0) break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    if (!ok) {
        data.clear();
        return false;
    }
    if (data.size() > maxBytes) {
        data.resize(maxBytes);
        more = true;
    }
    return true;
}

bool TSafeFile::ReadAll(const std::string& path, std::size_t maxBytes, std::string& data,
                        std::string& error, bool followLinks) {
    bool more = false;
    if (!ReadHead(path, maxBytes, data, more, error, followLinks)) return false;
    if (!more) return true;
    data.clear();
    error = "Cannot read " + path + ": it is larger than " + std::to_string(maxBytes) + " bytes";
    errno = EFBIG;
    return false;
}

bool TSafeFile::WriteAtomic(const std::string& path, const std::string& data, std::string& error,
                            bool followLinks) {
    const std::string target = followLinks ? ReplaceTarget(path) : path;
    struct stat old {};
    const mode_t mode = ::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)
                            ? (old.st_mode & 07777)
                            : NewFileMode();
    const std::string tmp = WriteTemporary(target, data, mode, error);
    if (tmp.empty()) return false;
    if (std::rename(tmp.c_str(), target.c_str()) != 0) {
        error = "Cannot replace " + target + ": " + Reason();
        ::unlink(tmp.c_str());
        return false;
    }
    SyncFolder(target);
    return true;
}

bool TSafeFile::CreateNew(const std::string& path, const std::string& data, std::string& error,
                          bool& taken) {
    taken = false;
    const std::string tmp = WriteTemporary(path, data, NewFileMode(), error);
    if (tmp.empty()) return false;
    auto done = [&](bool ok, const std::string& why) {
        const int saved = errno;
        ::unlink(tmp.c_str());
        errno = saved;
        if (!ok) error = why;
        if (ok) SyncFolder(path);
        return ok;
    };
    auto takenName = [&]() {
        taken = true;
        return done(false, "Cannot create " + path + ": the name is taken");
    };
    // link(2) never follows a link at the new name and never replaces.
    if (::link(tmp.c_str(), path.c_str()) == 0) return done(true, "");
    if (errno == EEXIST) return takenName();
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
        return done(false, "Cannot create " + path + ": " + Reason());
    // File systems without hard links (FAT, some network shares).
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
        SyncFolder(path);
        return true;
    }
    if (errno == EEXIST) return takenName();
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return done(false, "Cannot create " + path + ": " + Reason());
    // Last resort: create the name itself exclusively and write into it.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          NewFileMode());
    if (fd < 0) {
        if (errno == EEXIST) return takenName();
        return done(false, "Cannot create " + path + ": " + Reason());
    }
    bool ok = WriteFd(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    const int saved = errno;
    if (::close(fd) != 0 && ok) ok = false;
    else errno = saved;
    if (!ok) {
        const std::string why = "Cannot write " + path + ": " + Reason();
        ::unlink(path.c_str());
        return done(false, why);
    }
    return done(true, "");
}

bool TSafeFile::AppendCapped(const std::string& path, const std::string& data,
                             std::size_t capBytes, std::string& error) {
    const std::size_t len = std::min(data.size(), capBytes);
    auto fail = [&](const std::string& why) {
        error = "Cannot write " + path + ": " + why;
        return false;
    };
    auto open = [&](struct stat& st) {
        // Looked at first, so that a device is never opened for writing.
        if (::lstat(path.c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) {
                fail("it is a symbolic link, which is not followed here");
                return -1;
            }
            if (!S_ISREG(st.st_mode)) {
                fail(NotRegular(st.st_mode));
                return -1;
            }
        }
        const int fd = ::open(path.c_str(),
                              O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                              0666);
        if (fd < 0) {
            fail(errno == ELOOP ? "it is a symbolic link, which is not followed here"
                 : errno == ENXIO ? "it is a FIFO (named pipe), not a plain file"
                                  : Reason());
            return -1;
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            fail(NotRegular(st.st_mode));
            ::close(fd);
            return -1;
        }
        return fd;
    };
    struct stat st {};
    int fd = open(st);
    if (fd < 0) return false;
    if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) + len > capBytes) {
        ::close(fd);
        const std::string previous = path + ".1";
        if (std::rename(path.c_str(), previous.c_str()) != 0)
            return fail("cannot move it to " + previous + ": " + Reason());
        fd = open(st);
        if (fd < 0) return false;
    }
    const bool ok = WriteFd(fd, data.data(), len);
    const std::string why = ok ? std::string() : Reason();
    if (::close(fd) != 0 && ok) return fail(Reason());
    return ok || fail(why);
}
