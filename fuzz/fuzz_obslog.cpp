// The readers of files the observing log imports. The first byte chooses:
// even, the rest is an OAL document; odd, a CSV observing list. No bytes
// crash them, hang them or make a sanitizer speak.
#include <cstdint>
#include <string>

#include "obslog/Clslistcsv.h"
#include "obslog/Clsoal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string error;
    if (data[0] % 2 == 0) {
        TLogData log;
        // What was read goes out again and is read back.
        if (TOal::Read(rest, log, error)) {
            TLogData again;
            TOal::Read(TOal::Write(log), again, error);
        }
    } else {
        std::vector<TListEntry> list;
        if (TListCsv::Read(rest, list, error)) TListCsv::Read(TListCsv::Write(list), list, error);
    }
    return 0;
}
