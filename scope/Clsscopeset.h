// TScopeSettings: the telescope settings, kept in "Telescope.txt" beside the
// settings file (whose layout stays as it is). A missing file means the
// defaults: localhost:7624, the first telescope offered, and the commander's
// GoTo not followed until the user agrees.
#pragma once

#include <string>

class TScopeSettings {
public:
    static constexpr const char* kFileName = "Telescope.txt";
    static constexpr int kDefaultPort = 7624;

    // Whether a receiving station lets the commander's GoTo slew the mount.
    enum TPartyGoto { Ask = 0, Follow = 1, Ignore = 2 };

    std::string Host = "localhost";
    int Port = kDefaultPort;
    std::string Device; // empty: the first telescope the server offers
    int PartyGoto = Ask;

    // Reads the file in folder; false with the reason when it exists but
    // cannot be used (the settings are then left at the defaults). A missing
    // file is no error.
    bool Load(const std::string& folder, std::string& why);
    // The settings as the file's text, and back.
    std::string Text() const;
    bool FromText(const std::string& text, std::string& why);
    // Writes the file through a temporary one renamed over it.
    bool Save(const std::string& folder, std::string& why) const;

    // "HOST:PORT[/DEVICE]" or "HOST" (the default port); false with the
    // reason when it is not one.
    static bool ParseTarget(const std::string& text, std::string& host, int& port,
                            std::string& device, std::string& why);
};
