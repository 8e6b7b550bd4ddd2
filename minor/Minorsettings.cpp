#include "minor/Minorsettings.h"

#include <sstream>

std::string TMinorSettings::ToText() const {
    return "show=" + std::string(Show ? "1" : "0") + "\nurl=" + Url +
           "\ntrack-days=" + std::to_string(TrackDays) + "\n";
}

void TMinorSettings::FromText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "show" && (value == "0" || value == "1")) {
            Show = value == "1";
        } else if (key == "url") {
            // Only what the downloader can fetch, and nothing that would break a line.
            const bool web = value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0;
            if (web && value.size() < 2048 && value.find_first_of(" \t") == std::string::npos)
                Url = value;
        } else if (key == "track-days") {
            try {
                std::size_t used = 0;
                const int d = std::stoi(value, &used);
                if (used == value.size() && d >= 1 && d <= 365) TrackDays = d;
            } catch (...) {
            }
        }
    }
}
