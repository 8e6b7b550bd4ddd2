// Readers of the Minor Planet Center's one-line element formats: MPCORB.DAT and its
// subsets (asteroids) and CometEls.txt (comets), told apart line by line. Lines that are
// neither are skipped and counted; the first few are named in Errors.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "minor/Minorbody.h"

class TMpcReader {
public:
    std::vector<TMinorBody> Bodies;
    std::size_t Skipped = 0;         // malformed lines
    std::vector<std::string> Errors; // the first few of them, "line 12: ..."
    static constexpr std::size_t MaxErrors = 5;
    // The largest file taken: the full MPCORB.DAT is about 300 MB.
    static constexpr unsigned long long MaxFileBytes = 1ULL << 30;
    // When set and true, ReadFile stops at its next piece and fails ("cancelled").
    const std::atomic<bool>* Cancel = nullptr;

    // One asteroid line; false (and why) when it is not one.
    static bool ParseAsteroid(const std::string& line, TMinorBody& b, std::string& why);
    // One comet line.
    static bool ParseComet(const std::string& line, TMinorBody& b, std::string& why);

    // Every line of text (MPCORB's header, up to its row of dashes, is passed over).
    void ParseText(const std::string& text);
    // A file through the safe-file unit: anything but a regular file, or one larger than
    // MaxFileBytes, is refused with the reason (false). Read in pieces, so memory holds
    // the bodies, never the whole file.
    bool ReadFile(const std::string& path, std::string& error);

private:
    std::size_t line_ = 0;
    bool inHeader_ = false;
    void Line(const std::string& line);
};
