#pragma once
// THorizonSites: which horizon file belongs to which observing site, kept in
// a side file beside the settings file (whose layout stays as it is): one
// line "site name<TAB>horizon file" each, '#' lines are comments. A missing
// side file means no site has a horizon.
#include <map>
#include <string>

class THorizonSites {
public:
    static constexpr const char* kFileName = "Horizons.txt";

    // Reads folder/Horizons.txt. Lines that are not "name<TAB>path" are
    // skipped and counted in `error`; true when the file is missing or read.
    bool Load(const std::string& folder, std::string& error);
    // Writes the file whole (a new file renamed over the old).
    bool Save(const std::string& folder, std::string& error) const;

    // The site's horizon file, empty when it has none.
    std::string Get(const std::string& site) const;
    // An empty path takes the site's horizon away.
    void Set(const std::string& site, const std::string& path);

    std::map<std::string, std::string> Files;
};
