#include "plan/Clshorizonsites.h"

#include <filesystem>

#include "catalog/Safefile.h"

bool THorizonSites::Load(const std::string& folder, std::string& error) {
    Files.clear();
    error.clear();
    const std::string path = folder + "/" + kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    std::string text;
    if (!TSafeFile::ReadAll(path, 1u << 20, text, error)) return false;
    int bad = 0, lineNo = 0, firstBad = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        std::string line = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        at = nl == std::string::npos ? text.size() : nl + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string::npos || tab + 1 == line.size()) {
            if (!bad++) firstBad = lineNo;
            continue;
        }
        Files[line.substr(0, tab)] = line.substr(tab + 1);
    }
    if (bad)
        error = path + ":" + std::to_string(firstBad) + ": " + std::to_string(bad) +
                " line(s) not \"site<TAB>horizon file\", skipped";
    return true;
}

bool THorizonSites::Save(const std::string& folder, std::string& error) const {
    std::string text = "# Quenlira: the horizon file of each observing site (name, a tab, the file)\n";
    for (const auto& [site, path] : Files)
        text += site + "\t" + path + "\n";
    return TSafeFile::WriteAtomic(folder + "/" + kFileName, text, error);
}

std::string THorizonSites::Get(const std::string& site) const {
    const auto it = Files.find(site);
    return it == Files.end() ? std::string() : it->second;
}

void THorizonSites::Set(const std::string& site, const std::string& path) {
    // Names and paths with line breaks or tabs would not come back as they were.
    if (site.empty() || site.find_first_of("\t\r\n") != std::string::npos ||
        path.find_first_of("\t\r\n") != std::string::npos)
        return;
    if (path.empty())
        Files.erase(site);
    else
        Files[site] = path;
}
