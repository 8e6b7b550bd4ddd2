#include "catalog/Clsfolders.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

std::string PathIn(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

TFolders TFolders::Decide(const std::string& exeFolder, const char* xdgDataHome, const char* home) {
    TFolders f;
    std::error_code ec;
    const fs::path exe(exeFolder);
    const bool catalogsBeside = fs::is_regular_file(exe / "Star.dat", ec);
    if (catalogsBeside && access(exeFolder.c_str(), W_OK) == 0) {
        f.Catalogs = f.User = exeFolder;
        return f;
    }
    f.Installed = true;
    const fs::path shared = exe.parent_path() / "share" / "quenlira";
    f.Catalogs = (catalogsBeside || !fs::is_directory(shared, ec) ? exe : shared).string();
    const std::string where = UserData(xdgDataHome, home);
    if (where.empty()) {
        f.Error = "Neither XDG_DATA_HOME nor HOME is set: no folder for the settings";
        return f;
    }
    const fs::path user = where;
    fs::create_directories(user, ec);
    if (ec || !fs::is_directory(user)) {
        f.Error = "Cannot create " + user.string() + ": " + ec.message();
        return f;
    }
    f.User = user.string();
    return f;
}

std::string TFolders::UserData(const char* xdgDataHome, const char* home) {
    // The XDG base directory rule: a relative $XDG_DATA_HOME is ignored.
    fs::path data;
    if (xdgDataHome && *xdgDataHome && fs::path(xdgDataHome).is_absolute())
        data = xdgDataHome;
    else if (home && *home)
        data = fs::path(home) / ".local" / "share";
    if (data.empty()) return "";
    return (data / "quenlira").string();
}
