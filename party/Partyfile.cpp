#include "party/Partyfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

std::string SystemReason() {
    return std::strerror(errno);
}

bool WriteFileInPlace(const std::string& path, const std::string& temp, const std::string& bytes,
                      bool sync, std::string& why) {
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        why = SystemReason();
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() &&
              std::fflush(f) == 0 && (!sync || fsync(fileno(f)) == 0);
    if (!ok) why = SystemReason();
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        why = SystemReason();
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        why = SystemReason();
    }
    if (!ok) std::remove(temp.c_str());
    return ok;
}
