// TListPage: an observing list printed as a plain table on A4 pages of a
// PDF (cairo): a title line, a header row and one row per object, as many
// pages as it takes. No Qt.
#pragma once

#include <string>
#include <vector>

class TListPage {
public:
    // widths: the columns' shares of the line (any positive numbers).
    static bool WritePdf(const std::string& path, const std::string& title,
                         const std::vector<std::string>& header, const std::vector<double>& widths,
                         const std::vector<std::vector<std::string>>& rows, std::string& error);
    static constexpr double kRowHeight = 16; // points
};
