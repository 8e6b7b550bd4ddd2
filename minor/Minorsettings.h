// What the chart window keeps of comets and asteroids between runs, in a side file of
// "key=value" lines beside the settings: whether the charts show them, the address the
// element files are fetched from, and how many days each way a track reaches.
#pragma once

#include <string>

struct TMinorSettings {
    bool Show = true;
    std::string Url = "https://www.minorplanetcenter.net/iau/MPCORB/CometEls.txt";
    int TrackDays = 15;

    static constexpr const char* kFileName = "Minor.txt";
    std::string ToText() const;
    // Unknown keys and values out of range are skipped (the default stays).
    void FromText(const std::string& text);
};
