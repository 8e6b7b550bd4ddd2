#include "app/Clssearchlist.h"

#include "catalog/Clsnames.h"

#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

#include <algorithm>

std::vector<std::string> TSearchList::MenuCaptions(int tab) {
    switch (tab) {
    case 1:
        return {"Planet", "", "", "", "", "", "", "", ""};
    case 2:
        return {"M",        "NGC   0-", "NGC1000-", "NGC2000-", "NGC3000-",
                "NGC4000-", "NGC5000-", "NGC6000-", "NGC7000-"};
    case 3:
        return {"IC   0-", "IC1000-", "IC2000-", "IC3000-", "IC4000-", "IC5000-", "Name", "", ""};
    case 4:
        return {"Constellation", "Star", "Option", "", "", "", "", "", ""};
    default:
        return std::vector<std::string>(9);
    }
}

bool TSearchList::HasList(int tab, int menu) {
    static const int menus[5] = {0, 1, 9, 7, 3};
    return tab >= 1 && tab <= 4 && menu >= 1 && menu <= menus[tab];
}

std::string TSearchList::TypeCode(int type, const std::string& other) {
    static const char* codes[8] = {"", "Gx", "OC", "Gb", "Nb", "Pl", "CN", "DN"};
    return type >= 1 && type <= 7 ? codes[type] : other;
}

int TSearchList::MessierRecord(const TNebula& nebula, int n) {
    const std::string desig = "M" + std::to_string(n);
    for (int e = 1; e < TNebula::NameCount; ++e) {
        if (desig != TNebula::Names[e].desig) continue;
        const int r = nebula.EntryRecord[e];
        // An entry whose object is not in the file keeps record 0.
        if (r >= 0 && r < nebula.Count && r < static_cast<int>(nebula.NameIndex.size()) &&
            nebula.NameIndex[r] == e)
            return r;
        return -1;
    }
    return -1;
}

void TSearchList::Build(int tab, int menu, const TNebula& nebula, const TStar& star,
                        const TConstellation& constellation,
                        const std::vector<std::string>& optionTitles) {
    Columns.clear();
    Rows.clear();
    SortColumn = 0;
    if (!HasList(tab, menu)) return;

    // A deep-sky row: catalogue number, type, Messier designation and name.
    auto deepSky = [&](int r, const std::string& other) {
        std::string name = nebula.GetMessier(r);
        const std::string common = TNameList::Spelt(nebula.GetName(r, 1));
        if (!common.empty()) name += name.empty() ? common : " " + common;
        return Row{{nebula.GetCatalogNo(r), TypeCode(nebula[r].type, other), name}, r};
    };
    const std::vector<Column> deepSkyColumns{{"No.", 30}, {"Type", 30}, {"Name", 121}};

    if (tab == 1) {
        Columns = {{"Planet,Satellite", 181}};
        const char* names[14] = {"Sun",     "Mercury", "Venus",    "Moon",    "Mars",
                                 "Jupiter", "Saturn",  "Uranus",   "Neptune", "Pluto",
                                 "Io",      "Europa",  "Ganymede", "Callisto"};
        for (int i = 0; i < 14; ++i)
            Rows.push_back({{names[i]}, i});
    } else if (tab == 2 && menu == 1) {
        Columns = deepSkyColumns;
        for (int n = 1; n <= 110; ++n) {
            const int r = MessierRecord(nebula, n);
            const std::string m = "M" + std::to_string(n);
            if (r < 0) {
                Rows.push_back({{m, "", ""}, n});
                continue;
            }
            const std::string common = TNameList::Spelt(nebula.GetName(r, 1));
            Rows.push_back({{m, TypeCode(nebula[r].type, ""),
                             nebula.GetCatalogNo(r) + (common.empty() ? "" : " " + common)},
                            n});
        }
    } else if (tab == 2 || (tab == 3 && menu <= 6)) {
        // NGC thousands 0..7 (menus 2..9); IC numbers are stored from 10000.
        const int low = tab == 2 ? (menu - 2) * 1000 : 10000 + (menu - 1) * 1000;
        Columns = deepSkyColumns;
        for (int r = 0; r < nebula.Count; ++r) {
            const int n = nebula[r].no;
            if (n >= low && n < low + 1000) Rows.push_back(deepSky(r, ""));
        }
    } else if (tab == 3) {
        Columns = deepSkyColumns;
        for (int r = 0; r < nebula.Count; ++r)
            if (!nebula.GetName(r, 1).empty()) Rows.push_back(deepSky(r, "--"));
    } else if (menu == 1) {
        Columns = {{"Code", 37}, {"Name", 144}, {"", 0}};
        for (int c = 1; c < TConstellation::RowCount; ++c)
            Rows.push_back(
                {{constellation.Rows[c].abbr, TNameList::Spelt(constellation.GetNameSciA(c)), std::to_string(c)}, c});
        std::stable_sort(Rows.begin(), Rows.end(),
                         [](const Row& a, const Row& b) { return a.Cells[0] < b.Cells[0]; });
        SortColumn = 1;
    } else if (menu == 2) {
        Columns = {{"Name", 181}};
        for (int i = 0; i < star.NamedCount && i < TStar::NamedMax; ++i)
            Rows.push_back({{star.Named[i].nameSci ? star.Named[i].nameSci : ""}, i});
        std::stable_sort(Rows.begin(), Rows.end(),
                         [](const Row& a, const Row& b) { return a.Cells[0] < b.Cells[0]; });
        SortColumn = 1;
    } else {
        Columns = {{"Disp", 28}, {"Option", 153}};
        for (std::size_t i = 0; i < optionTitles.size(); ++i)
            Rows.push_back({{"", " " + optionTitles[i]}, static_cast<int>(i + 1)});
    }
}
