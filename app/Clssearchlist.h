// TSearchList: the contents of the chart window's search lists, built from
// the catalogues in memory: for each tab (1 solar system, 2 Messier and NGC,
// 3 IC and named objects, 4 constellations, named stars and option files)
// and menu, the columns and the rows with the tag that names each row's object.
#pragma once

#include <string>
#include <vector>

class TConstellation;
class TNebula;
class TStar;

class TSearchList {
public:
    struct Column {
        std::string Header;
        int Width = 0;
    };
    struct Row {
        std::vector<std::string> Cells;
        int Tag = 0;
    };
    std::vector<Column> Columns;
    std::vector<Row> Rows;
    int SortColumn = 0; // 1-based column the list is shown sorted by; 0 none

    // The menu captions of a tab (nine, blank where the tab has no menu).
    static std::vector<std::string> MenuCaptions(int tab);
    // Whether a tab's menu has a list.
    static bool HasList(int tab, int menu);
    // Type code of a deep-sky type byte ("Gx", "OC", ...), or `other`.
    static std::string TypeCode(int type, const std::string& other);
    // The Messier record of Messier number n (-1 when the catalogue lacks it).
    static int MessierRecord(const TNebula& nebula, int n);

    // Fills the list of a tab's menu. Catalogues may be empty; option titles
    // are the user's option files in their order (file number = place + 1).
    void Build(int tab, int menu, const TNebula& nebula, const TStar& star,
               const TConstellation& constellation, const std::vector<std::string>& optionTitles);
};
