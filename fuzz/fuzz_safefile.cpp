// The safe files' reading caps and the log's rotation: any bytes, read with
// any cap, come back whole or are refused exactly when they pass it; a log
// fed any records never passes its cap, and keeps the newest bytes.
#include "Fuzzfolder.h"
#include "catalog/Safefile.h"

#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>

namespace {

std::size_t SizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t cap = (std::size_t(data[0]) << 8 | data[1]) % 20000;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string& dir = FuzzFolder();
    const std::string path = dir + "/file";
    WriteFuzzFile(path, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());

    std::string got, error;
    const bool whole = TSafeFile::ReadAll(path, cap, got, error);
    if (whole != (bytes.size() <= cap)) std::abort();
    if (whole ? got != bytes : (!got.empty() || error.find(path) == std::string::npos))
        std::abort();
    bool more = false;
    if (!TSafeFile::ReadHead(path, cap, got, more, error)) std::abort();
    if (more != (bytes.size() > cap) || got != bytes.substr(0, cap)) std::abort();

    // The bytes as records of a log (cut at each zero byte), against a cap.
    const std::string log = dir + "/log";
    ::unlink(log.c_str());
    ::unlink((log + ".1").c_str());
    const std::size_t logCap = 1 + cap % 512;
    std::string last;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string::npos) end = bytes.size();
        last = bytes.substr(start, end - start);
        if (!TSafeFile::AppendCapped(log, last, logCap, error)) std::abort();
        if (SizeOf(log) > logCap || SizeOf(log + ".1") > logCap) std::abort();
        start = end + 1;
    }
    // The last record is at the end of the log (cut to the cap if longer).
    std::string tail;
    if (!TSafeFile::ReadAll(log, logCap, tail, error)) std::abort();
    const std::string want = last.substr(0, logCap);
    if (tail.size() < want.size() || tail.compare(tail.size() - want.size(), want.size(), want))
        std::abort();
    return 0;
}
