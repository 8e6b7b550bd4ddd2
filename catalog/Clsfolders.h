// TFolders: where the program finds its catalogues and where it keeps the
// files it writes. A copy run from its build folder or an unpacked folder
// (writable, with the catalogues beside it) keeps everything beside the
// program. An installed copy reads the catalogues from ../share/quenlira
// and writes its settings, party file, error log and option folder into the
// user's data folder ($XDG_DATA_HOME/quenlira, by default
// ~/.local/share/quenlira), which it creates.
#pragma once

#include <string>

// A file of a folder ("" is the working directory).
std::string PathIn(const std::string& folder, const std::string& name);

struct TFolders {
    std::string Catalogs; // Star.dat, Unsta.dat
    std::string User;     // Sysinfo.dat, StarParty.dat, Err3.Log, Option/
    bool Installed = false;
    std::string Error; // why the user folder could not be made (then User is empty)

    // exeFolder: the folder of the executable. xdgDataHome and home as the
    // environment gives them (null or empty when unset).
    static TFolders Decide(const std::string& exeFolder, const char* xdgDataHome, const char* home);

    // The user folder an installed copy uses ($XDG_DATA_HOME/quenlira or
    // ~/.local/share/quenlira), without making it; empty when neither is set.
    static std::string UserData(const char* xdgDataHome, const char* home);
};
