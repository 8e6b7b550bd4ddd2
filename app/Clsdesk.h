// TDesk: how the user likes the desk, kept in "Desk.txt" beside the settings
// file (whose layout stays as it is): for now whether night vision is on. A
// missing file means the defaults. Lines are "key=value", '#' lines are
// comments; keys a later version adds are left alone, but a file that says
// it comes from a later version is not trusted at all.
#pragma once

#include <string>

class TDesk {
public:
    static constexpr const char* kFileName = "Desk.txt";
    static constexpr int kVersion = 1;

    bool Night = false;

    // Reads folder/Desk.txt. False with the reason, and the defaults kept,
    // when the file exists but is damaged or from a later version.
    bool Load(const std::string& folder, std::string& why);
    // The settings as the file's text, and back (false: defaults and why).
    std::string Text() const;
    bool FromText(const std::string& text, std::string& why);
    // Writes the file whole (a new file renamed over the old).
    bool Save(const std::string& folder, std::string& why) const;
};
