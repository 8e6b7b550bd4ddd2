// Text files: any bytes read field by field through TSqFile, the same text
// split into words by TCsv, and written back through Print.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Fuzzfolder.h"
#include "app/Clscsv.h"
#include "app/Clssqfile.h"
#include "app/Textcode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = FuzzFolder() + "/Text.dat";
    WriteFuzzFile(path, data, size);
    TSqFile f;
    if (!f.Open(path, 1)) std::abort();
    bool ok = true;
    std::size_t fields = 0;
    while (ok) {
        const std::string field = f.Input(ok);
        // Every field is at least one byte of the file; more would be a loop.
        if (ok && ++fields > size + 1) std::abort();
        (void)field;
    }
    f.Close();

    std::string utf8;
    if (!LoadSjisFile(path, utf8)) std::abort();
    TCsv csv;
    csv.SetSrc(utf8);
    std::size_t words = 0;
    while (!csv.GetEos()) {
        (void)csv.GetWord();
        if (++words > utf8.size() + 1) std::abort(); // every word takes something
    }

    TSqFile out;
    if (!out.Open(path, 2)) std::abort();
    out.Print(utf8, true);
    out.Close();
    return 0;
}
