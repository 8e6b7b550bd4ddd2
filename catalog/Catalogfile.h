#pragma once
// TCatalogFile: reads a whole catalogue file of fixed-size records into memory
// once. The records are never read from a live mapping, so a file replaced or
// cut short on disk while the program runs cannot take it down; the new file
// is seen at the next start.
#include <cstddef>
#include <string>
#include <vector>

class TCatalogFile {
public:
    TCatalogFile() = default;
    ~TCatalogFile();
    TCatalogFile(const TCatalogFile&) = delete;
    TCatalogFile& operator=(const TCatalogFile&) = delete;

    // Larger than any catalogue we ship or could build from public data
    // (Star.dat is under 2 MB); a bigger file is a mistake, not a catalogue.
    static constexpr std::size_t kMaxBytes = 64u << 20;

    // Reads path into `out`, a whole number of records of recordSize bytes.
    // False, with the reason in Error(), for a file that is missing, not a
    // plain file (a FIFO or a device would block or never end), larger than
    // kMaxBytes, or not a whole number of records. An empty file gives true
    // with no records and a note in Error().
    template <class Record> bool Read(const std::string& path, std::vector<Record>& out) {
        out.clear();
        std::size_t size = 0;
        if (!Check(path, sizeof(Record), size)) return false;
        out.resize(size / sizeof(Record));
        if (size == 0) return true;
        if (!Fill(path, out.data(), size)) {
            out.clear();
            return false;
        }
        return true;
    }

    const std::string& Error() const { return error_; }

    // A file with more than this share of impossible records is not the
    // catalogue it claims to be (random bytes, another file under its name).
    static constexpr double kMaxBadShare = 0.01;
    // Keeps the records for which plausible() holds; false, with a message
    // naming the file, when more than kMaxBadShare of them fail.
    template <class Record, class Plausible>
    bool Sift(const std::string& path, std::vector<Record>& recs, Plausible plausible) {
        const std::size_t all = recs.size();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < all; ++i)
            if (plausible(recs[i])) recs[kept++] = recs[i];
        recs.resize(kept);
        const std::size_t bad = all - kept;
        if (bad == 0 || static_cast<double>(bad) <= kMaxBadShare * static_cast<double>(all))
            return true;
        error_ = path + " is not a valid catalogue: " + std::to_string(bad) + " of its " +
                 std::to_string(all) + " records are impossible";
        recs.clear();
        return false;
    }

private:
    bool Check(const std::string& path, std::size_t recordSize, std::size_t& size);
    bool Fill(const std::string& path, void* dst, std::size_t size);
    int fd_ = -1;
    std::string error_;
};
