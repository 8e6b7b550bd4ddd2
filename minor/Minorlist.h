// The comets and asteroids the program knows: every element file of a folder (and any
// file named besides), found by the names observers type.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <string>
#include <vector>

#include "minor/Minorbody.h"

class TMinorList {
public:
    std::vector<TMinorBody> Bodies;
    std::size_t Skipped = 0;         // malformed lines of every file read
    std::vector<std::string> Errors; // refused files and the first malformed lines

    // When set and true, reading stops at the next megabyte (the window is closing).
    const std::atomic<bool>* Cancel = nullptr;

    // Adds the bodies of one file; false (with the reason in Errors) when it is refused.
    bool AddFile(const std::string& path);
    // Adds every regular file of a folder, in name order; a missing folder adds nothing.
    void AddFolder(const std::string& folder);

    // The body a name means, or -1: "1 Ceres", "(1) Ceres", "Ceres", "2024 YR4", "1P",
    // "1P/Halley", "Halley", "C/2023 A3", "12P/Pons-Brooks", a packed designation. Case,
    // spaces and punctuation do not count. Where one name fits several bodies a comet
    // comes before an asteroid ("Halley" is 1P, not (2688) Halley), then the lower number.
    int Find(const std::string& name) const;

    // Up to max bodies whose name, designation or label begins with the text (folded as
    // Find does), comets first; for the find field's suggestions.
    std::vector<int> Suggest(const std::string& text, int max) const;

    // Lower-case letters and digits only.
    static std::string Fold(const std::string& s);

    // Sorts every name a body goes by, so that Find and Suggest look up a few keys
    // instead of reading all bodies (1.4 million in the full MPCORB) at each keystroke.
    // Until it is built, and after bodies are added, they read all bodies.
    void BuildIndex();

private:
    struct TKey {
        std::uint32_t Off = 0; // in keyText_
        std::uint16_t Len = 0;
        bool Exact = false;   // Find takes it; every key starts Suggest's names
        std::int32_t Body = 0;
    };
    std::string keyText_;
    std::vector<TKey> keys_[2]; // comets, asteroids
    std::size_t indexed_ = std::size_t(-1); // Bodies.size() when built
    std::string_view KeyOf(const TKey& k) const { return {keyText_.data() + k.Off, k.Len}; }
    int FindScan(const std::string& q) const;
    std::vector<int> SuggestScan(const std::string& q, int max) const;
};
