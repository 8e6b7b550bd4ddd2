#include "render/Clsfilewrite.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}
} // namespace

bool WriteWhole(const std::string& path, const std::function<bool(int, std::string&)>& encode,
                std::string& error) {
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device or a pipe (/dev/stdout, /dev/null) is written as it is:
        // there is nothing to replace, and it must never be removed.
        if (S_ISDIR(st.st_mode)) {
            error = "cannot write " + path + ": it is a folder";
            return false;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            error = Reason("cannot write", path);
            return false;
        }
        const bool ok = encode(fd, error);
        if (::close(fd) != 0 && ok) {
            error = Reason("cannot write", path);
            return false;
        }
        return ok;
    }

    // A file: the picture goes to a new file beside it, which replaces it
    // only when whole. A link is followed, so the picture lands where the
    // link leads and the link stays.
    std::string target = path;
    if (exists) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const std::size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = dir + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        error = Reason("cannot write", path);
        return false;
    }
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = encode(fd, error);
    if (ok && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)) {
        error = Reason("cannot write", path);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = Reason("cannot write", path);
        ok = false;
    }
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) {
        error = Reason("cannot replace", path);
        ok = false;
    }
    // Only the file made here is ever removed.
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}
