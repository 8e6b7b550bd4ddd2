// The settings record "Sysinfo.dat": ten view memories and up to 100
// observing sites in one block of exactly 13096 bytes (little-endian int32
// and IEEE doubles). The record keeps the bytes as they are on disk, so the
// reserved areas and anything we do not interpret survive a load and save
// unchanged; the accessors below read and write the fields in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// One observing site as the program uses it (name in UTF-8).
struct TSite {
    std::string Name;
    double Lng = 0.0;    // radians, east positive
    double Lat = 0.0;    // radians, north positive
    double Height = 0.0; // metres above sea level
    double DiffUT = 0.0; // hours
    double Summer = 0.0; // summer time, a whole number of hours
};

class TSysInfo {
public:
    static constexpr std::size_t kSize = 13096;
    static constexpr int kMemories = 10;
    static constexpr int kMaxSites = 100;
    static constexpr std::size_t kNameField = 80; // bytes, Shift-JIS with the zero

    // Byte offsets of the fields.
    static constexpr std::size_t kOffMemUse = 0x0000;
    static constexpr std::size_t kOffMemRa = 0x0028;
    static constexpr std::size_t kOffMemDec = 0x0078;
    static constexpr std::size_t kOffMemMjd = 0x00C8;
    static constexpr std::size_t kOffMemScale = 0x0118;
    static constexpr std::size_t kOffReserved1 = 0x0140;
    static constexpr std::size_t kOffSiteCount = 0x01EC;
    static constexpr std::size_t kOffName = 0x01F0;
    static constexpr std::size_t kOffLng = 0x2130;
    static constexpr std::size_t kOffLat = 0x2450;
    static constexpr std::size_t kOffHeight = 0x2770;
    static constexpr std::size_t kOffDiffUT = 0x2A90;
    static constexpr std::size_t kOffSummer = 0x2DB0;
    static constexpr std::size_t kOffReserved2 = 0x2F40;
    static constexpr std::size_t kOffLastSite = 0x2F50;
    static constexpr std::size_t kOffReserved3 = 0x2F54;

    static constexpr const char* kFileName = "Sysinfo.dat";

    TSysInfo(); // all zero

    // The record of a new settings file: three default sites.
    void NewFile();

    // Reads "Sysinfo.dat" from the folder. A short file fills only the leading
    // part of the record (the rest keeps what it held); a long one is read up
    // to the record's size; a site count outside 0..100 is clamped. Each of
    // these returns true with a message for the user in `message`. So does
    // something that is not a plain file under the name (a FIFO, a device, a
    // folder): it is not read, and the record takes the values of NewFile. A
    // file that cannot be opened returns false.
    // Site values that cannot be (not a number, outside the ranges below) are
    // replaced by safe ones (0, or the nearest end of the range) with a
    // message naming the sites.
    bool Load(const std::string& folder, std::string& message);

    // The ranges of the site values, as the site editor offers them.
    static constexpr double kMaxHeight = 8848.0, kMinHeight = -1000.0;
    static constexpr double kMaxDiffUT = 12.0;
    static constexpr int kMaxSummer = 3;

    // Writes the record to a new temporary file (a unique name, created
    // exclusively) in the folder and renames it over "Sysinfo.dat", so a
    // crash never leaves half a file. When "Sysinfo.dat" is a symbolic link
    // the file it leads to is replaced and the link kept. False with a
    // message saying why when the file cannot be written; the old file is
    // then untouched.
    bool Save(const std::string& folder, std::string& message) const;

    // The whole record, byte-exact.
    const std::array<unsigned char, kSize>& Bytes() const { return raw_; }
    std::array<unsigned char, kSize>& Bytes() { return raw_; }

    // View memories, slot 0..9.
    int GetMemUse(int slot) const;
    void SetMemUse(int slot, int v);
    double GetMemRa(int slot) const;
    void SetMemRa(int slot, double v);
    double GetMemDec(int slot) const;
    void SetMemDec(int slot, double v);
    double GetMemMjd(int slot) const;
    void SetMemMjd(int slot, double v);
    int GetMemScale(int slot) const;
    void SetMemScale(int slot, int v);

    // Sites, numbered 1..100.
    int GetSiteCount() const; // as stored, clamped to 0..100 on reading
    void SetSiteCount(int n);
    TSite GetSite(int no) const;
    // False (nothing changed) when the name cannot be written in Shift-JIS
    // within 79 bytes; the other values are stored with the name.
    bool SetSite(int no, const TSite& site);
    // Appends a site; false when there are 100 already or the name does not fit.
    bool AddSite(const TSite& site);
    // Removes site no; the following sites move up by one.
    void DeleteSite(int no);
    std::string GetSiteName(int no) const;

    int GetLastSite() const;
    void SetLastSite(int row);

    // Does the UTF-8 name fit the name field (Shift-JIS, at most 79 bytes)?
    static bool NameFits(const std::string& utf8);

    int32_t GetInt(std::size_t off) const;
    void SetInt(std::size_t off, int32_t v);
    double GetDouble(std::size_t off) const;
    void SetDouble(std::size_t off, double v);

private:
    bool PutName(int no, const std::string& utf8);
    std::string RepairSites();
    std::array<unsigned char, kSize> raw_{};
};
