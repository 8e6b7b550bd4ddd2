// TSelGrid with real clicks, drags and keys: sorting by title clicks, the
// exchange order of equal keys, check-mark cells, deleting rows, the packed
// appearance value, keyboard paging and auto-scrolling on a stepped timer.
#include "controls/Selgrid.h"

#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Three columns of 60, 50 and 40 pixels after a hidden column 0; rows 22 high.
struct SelGridTest : ::testing::Test {
    TSelGrid grid;
    TSteppedTimer* clock = nullptr;
    int changes = 0;
    void SetUp() override {
        auto t = std::make_unique<TSteppedTimer>();
        clock = t.get();
        grid.SetRepeatTimer(std::move(t));
        grid.OnChange = [this](QWidget*) { ++changes; };
        grid.resize(160, 242); // title + 10 data rows
        grid.SetMaxCol(3);
        grid.SetColWidth(1, 60);
        grid.SetColWidth(2, 50);
        grid.SetColWidth(3, 40);
        grid.SetTextA(0, 1, "Name");
        grid.SetTextA(0, 2, "No.");
        grid.SetTextA(0, 3, "Mark");
        grid.show();
    }
    void Fill(const std::vector<std::pair<std::string, std::string>>& rows) {
        grid.SetMaxRow(int(rows.size()));
        for (int r = 1; r <= int(rows.size()); ++r) {
            grid.SetTextA(r, 1, rows[r - 1].first);
            grid.SetTextA(r, 2, rows[r - 1].second);
            grid.SetTag(r, 100 + r);
        }
    }
    void Numbered(int n) {
        grid.SetMaxRow(n);
        for (int r = 1; r <= n; ++r) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "%03d", r);
            grid.SetTextA(r, 1, buf);
            grid.SetTextA(r, 2, buf);
            grid.SetTag(r, r);
        }
    }
    std::string Column(int col) const {
        std::string s;
        for (int r = 1; r <= grid.GetMaxRow(); ++r)
            s += (r > 1 ? "," : "") + grid.GetTextA(r, col);
        return s;
    }
    std::vector<int> Tags() const {
        std::vector<int> t;
        for (int r = 1; r <= grid.GetMaxRow(); ++r)
            t.push_back(grid.GetTag(r));
        return t;
    }
    void Click(int x, int y) {
        QTest::mousePress(&grid, Qt::LeftButton, {}, QPoint(x, y));
        QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(x, y));
    }
    // Centre of data row k on the page (1-based).
    static int RowY(int k) { return 22 * k + 11; }
};

TEST_F(SelGridTest, TitleClicksSortAscendingThenReverseAndAnotherColumnStartsAscending) {
    Fill({{"Vega", "12"}, {"Deneb", "03"}, {"Altair", "27"}, {"deneb", "09"}, {"Zeta", "01"}});
    Click(30, 10);
    EXPECT_EQ(Column(1), "Altair,Deneb,Vega,Zeta,deneb") << "plain byte order: capitals first";
    EXPECT_EQ(grid.SortCol(), 1);
    EXPECT_EQ(grid.SortDir(), 1);
    Click(30, 10);
    EXPECT_EQ(Column(1), "deneb,Zeta,Vega,Deneb,Altair");
    EXPECT_EQ(grid.SortDir(), -1);
    Click(80, 10);
    EXPECT_EQ(Column(2), "01,03,09,12,27");
    EXPECT_EQ(grid.SortDir(), 1);
    // Every cell, tag and alignment travels with its row.
    EXPECT_EQ(Column(1), "Zeta,Deneb,deneb,Vega,Altair");
    EXPECT_EQ(Tags(), (std::vector<int>{105, 102, 104, 101, 103}));

    grid.SetSrtEn(false);
    Click(30, 10);
    EXPECT_EQ(Column(2), "01,03,09,12,27") << "sorting switched off";
    Click(155, 10);
    EXPECT_EQ(grid.SortCol(), 2) << "a title click right of the last column does nothing";
}

TEST_F(SelGridTest, EqualKeysAreExchangedNotKeptInOrder) {
    Fill({{"B", "first"}, {"B", "second"}, {"A", "third"}});
    grid.RowSort(1);
    EXPECT_EQ(Column(2), "third,second,first");
    EXPECT_EQ(Tags(), (std::vector<int>{103, 102, 101}));
}

TEST_F(SelGridTest, SortKeysTagsAndRestoringTheInitialOrder) {
    Fill({{"c", "x"}, {"a", "z"}, {"b", "y"}});
    grid.SetTag(1, 30);
    grid.SetTag(2, -5);
    grid.SetTag(3, 7);
    grid.SetSortIndex(3, 0); // the mark column sorts by tag
    grid.SetSortIndex(2, 1); // the second column sorts by the names
    grid.RowSort(3);
    EXPECT_EQ(Column(1), "a,b,c");
    grid.RowSortEx(2, -1);
    EXPECT_EQ(Column(1), "c,b,a");
    grid.RowSortEx(2, 0);
    EXPECT_EQ(Column(1), "a,b,c") << "0 is ascending";
    // Numbers written without leading zeros sort as texts.
    Fill({{"10", ""}, {"9", ""}, {"100", ""}});
    grid.RowSortEx(1, 1);
    EXPECT_EQ(Column(1), "10,100,9");
    // Bytes compare unsigned: a UTF-8 letter sorts after every ASCII one.
    Fill({{"\xC3\xA9t\xC3\xA9", ""}, {"zoo", ""}, {"Abc", ""}});
    grid.RowSortEx(1, 1);
    EXPECT_EQ(Column(1), "Abc,zoo,\xC3\xA9t\xC3\xA9");
}

TEST_F(SelGridTest, ClickingAMarkColumnTogglesTheCellOfTheRowItSelects) {
    Fill({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    grid.SetColMode(3, 2);
    Click(130, RowY(2));
    EXPECT_EQ(grid.GetSelRow(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(grid.GetTextA(2, 3), "*");
    Click(130, RowY(2));
    EXPECT_EQ(grid.GetTextA(2, 3), "");
    EXPECT_EQ(changes, 1) << "same row: no change event";
    Click(130, RowY(3));
    EXPECT_EQ(grid.GetTextA(3, 3), "*");
    Click(80, RowY(1)); // a normal column only selects
    EXPECT_EQ(grid.GetSelRow(), 1);
    EXPECT_EQ(grid.GetTextA(1, 2), "1");
    EXPECT_EQ(Column(3), ",,*");
    // A press below the last row selects the last row.
    Click(30, RowY(8));
    EXPECT_EQ(grid.GetSelRow(), 3);
}

TEST_F(SelGridTest, DeletingRows) {
    Fill({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
    grid.SetSelRow(4);
    grid.DeleteRow(4);
    EXPECT_EQ(grid.GetMaxRow(), 3);
    EXPECT_EQ(grid.GetSelRow(), 3) << "the new last row";
    grid.DeleteRow(2);
    EXPECT_EQ(Column(1), "a,c");
    EXPECT_EQ(Tags(), (std::vector<int>{101, 103}));
    EXPECT_EQ(grid.GetTextA(3, 1), "") << "the vacated row is empty";
    EXPECT_EQ(grid.GetSelRow(), 2);
    grid.DeleteRow(0);
    grid.DeleteRow(3);
    grid.DeleteRow(-7);
    EXPECT_EQ(Column(1), "a,c");
    // The initial order after deletions is the remaining rows' own order.
    grid.RowSortEx(1, -1);
    EXPECT_EQ(Column(1), "c,a");
}

TEST_F(SelGridTest, AppearanceOfTheWorkedExampleRoundTrips) {
    Numbered(60);
    EXPECT_EQ(grid.GetPs(), 10);
    grid.RowSortEx(2, -1);
    grid.SetDspTop(33);
    grid.SetSelRow(37);
    EXPECT_EQ(grid.PagePos(), 5);
    EXPECT_EQ(grid.GetAppearance(), -200050037);

    TSelGrid other;
    other.resize(160, 242);
    other.SetMaxCol(3);
    other.SetMaxRow(60);
    for (int r = 1; r <= 60; ++r) {
        other.SetTextA(r, 2, grid.GetTextA(61 - r, 2)); // ascending again
        other.SetTag(r, r);
    }
    other.SetAppearance(-200050037);
    EXPECT_EQ(other.SortCol(), 2);
    EXPECT_EQ(other.SortDir(), -1);
    EXPECT_EQ(other.GetSelRow(), 37);
    EXPECT_EQ(other.PagePos(), 5);
    EXPECT_EQ(other.GetDspTop(), 33);
    EXPECT_EQ(other.GetTextA(1, 2), "060");
    EXPECT_EQ(other.GetTextA(37, 2), "024");
    EXPECT_EQ(other.GetAppearance(), -200050037);

    other.SetAppearance(70012); // no sort column, row 12 at place 7
    EXPECT_EQ(other.SortCol(), 0);
    EXPECT_EQ(other.GetDspTop(), 6);
}

// 30 rows, 10 to a page.
TEST_F(SelGridTest, KeysPageAndJumpAndALockedGridIgnoresKeysAndClicks) {
    Numbered(30);
    grid.SetSelRow(1);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.GetSelRow(), 2);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(grid.GetSelRow(), 12);
    EXPECT_EQ(grid.GetDspTop(), 3);
    EXPECT_EQ(grid.PagePos(), 10);
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(grid.GetSelRow(), 30);
    EXPECT_EQ(grid.GetDspTop(), 21);
    QTest::keyClick(&grid, Qt::Key_PageUp);
    EXPECT_EQ(grid.GetSelRow(), 20);
    EXPECT_EQ(grid.GetDspTop(), 20) << "page place 1 reached after nine steps, then the top moves";
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.GetSelRow(), 19);
    EXPECT_EQ(grid.GetDspTop(), 19);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(grid.GetSelRow(), 1);
    EXPECT_EQ(grid.GetDspTop(), 1);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(changes, 6) << "no change event at the first row";

    int userKeys = 0;
    grid.OnKeyDown = [&](QWidget*, int&, Qt::KeyboardModifiers) { ++userKeys; };
    grid.SetLock(true);
    QTest::keyClick(&grid, Qt::Key_End);
    Click(30, RowY(5));
    Click(30, 10);
    EXPECT_EQ(grid.GetSelRow(), 1);
    EXPECT_EQ(grid.SortCol(), 0);
    EXPECT_EQ(userKeys, 1) << "the user's handler still hears the key";
}

TEST_F(SelGridTest, DraggingSelectsAndScrollsBeyondTheEdgesEveryTimeRep) {
    Numbered(30);
    grid.SetSelRow(1);
    QTest::mousePress(&grid, Qt::LeftButton, {}, QPoint(30, RowY(2)));
    EXPECT_EQ(grid.GetSelRow(), 2);
    QTest::mouseMove(&grid, QPoint(30, RowY(6)));
    EXPECT_EQ(grid.GetSelRow(), 6);
    // Below the control (as a pressed button keeps delivering the pointer).
    QMouseEvent below(QEvent::MouseMove, QPointF(30, 260), QPointF(30, 260), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&grid, &below);
    EXPECT_EQ(grid.GetSelRow(), 6);
    clock->Advance(30);
    EXPECT_EQ(grid.GetSelRow(), 7);
    clock->Advance(29);
    EXPECT_EQ(grid.GetSelRow(), 7);
    clock->Advance(1 + 30 * 5);
    EXPECT_EQ(grid.GetSelRow(), 13);
    EXPECT_EQ(grid.GetDspTop(), 4);
    // Into the title row: scrolls back up.
    QTest::mouseMove(&grid, QPoint(30, 10));
    clock->Advance(60);
    EXPECT_EQ(grid.GetSelRow(), 11);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_FALSE(clock->Active());
    EXPECT_EQ(grid.SortCol(), 0) << "releasing over the title does not sort";
    QTest::mouseMove(&grid, QPoint(30, RowY(2)));
    EXPECT_EQ(grid.GetSelRow(), 11) << "no tracking after the release in mode 0";
}

TEST_F(SelGridTest, InMode1TheSelectionFollowsThePointerWithoutAPress) {
    Numbered(30);
    grid.SetSelRow(1);
    grid.SetMode(1);
    QTest::mouseMove(&grid, QPoint(30, RowY(4)));
    EXPECT_EQ(grid.GetSelRow(), 4);
    QTest::mouseMove(&grid, QPoint(30, RowY(9)));
    EXPECT_EQ(grid.GetSelRow(), 9);
    QMouseEvent below(QEvent::MouseMove, QPointF(30, 250), QPointF(30, 250), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&grid, &below);
    clock->Advance(30 * 3);
    EXPECT_EQ(grid.GetSelRow(), 12);
    QTest::mouseMove(&grid, QPoint(30, RowY(1)));
    EXPECT_FALSE(clock->Active());
    EXPECT_EQ(grid.GetSelRow(), 3) << "top is 3 after scrolling; page place 1 is row 3";
}

// Rows are 22 pixels: title 0..22, page place k from 22 k.
TEST_F(SelGridTest, PaintShowsTitleSelectionBarAndEmptyRowsPastTheLast) {
    Numbered(3);
    grid.SetHCol(RGBColor(0, 0, 128));
    grid.SetSCol(RGBColor(0, 128, 0));
    grid.SetBCol(RGBColor(0, 0, 0));
    grid.SetTCol(RGBColor(255, 0, 0));
    grid.SetAlign(-1, 2, 1);
    grid.SetSelRow(2);
    QImage img = grid.grab().toImage();
    auto px = [&](int x, int y) { return img.pixel(x, y) & 0xffffff; };
    EXPECT_EQ(px(150, 0), 0xff0000u) << "frame";
    EXPECT_EQ(px(3, 3), 0x000080u) << "title row";
    EXPECT_EQ(px(3, 22 * 2 + 3), 0x008000u) << "selected row at place 2";
    EXPECT_EQ(px(3, 22 * 1 + 3), 0x000000u);
    EXPECT_EQ(px(60, 30), 0x800000u) << "grid line between columns 1 and 2";
    // Right-aligned texts end just inside the cell (x 60 .. 110).
    int lastRed = -1, firstRed = 1000;
    for (int x = 61; x < 110; ++x)
        for (int y = 23; y < 44; ++y)
            if (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 80) {
                lastRed = std::max(lastRed, x);
                firstRed = std::min(firstRed, x);
            }
    EXPECT_GE(lastRed, 104);
    EXPECT_LE(lastRed, 109);
    EXPECT_GT(firstRed, 80);
    for (int x = 61; x < 110; ++x)
        for (int y = 22 * 5 + 1; y < 22 * 6; ++y)
            ASSERT_EQ(px(x, y), 0u) << "row 5 is empty";
}

TEST(SelGridLimits, OutOfRangeCellsAndOverlongTextsAreSafe) {
    TSelGrid grid;
    grid.SetTextA(1001, 1, "x");
    grid.SetTextA(1, 11, "x");
    grid.SetTextA(-1, 1, "x");
    EXPECT_EQ(grid.GetTextA(1001, 1), "");
    grid.SetTextA(1, 1, std::string(100, 'a'));
    EXPECT_EQ(grid.GetTextA(1, 1).size(), 79u);
    // 39 two-byte letters fill 78 bytes; the 40th would be split, so it goes.
    std::string greek;
    for (int i = 0; i < 45; ++i)
        greek += "\xCE\xB1";
    grid.SetTextA(1, 2, greek);
    EXPECT_EQ(grid.GetTextA(1, 2).size(), 78u);
    grid.SetMaxRow(5000);
    EXPECT_EQ(grid.GetMaxRow(), 1000);
    grid.SetAppearance(std::numeric_limits<int>::min());
    grid.SetSelRowByTag(42);
    EXPECT_EQ(grid.GetSelRow(), 1);
    grid.grab(); // paints without touching rows out of range
}

} // namespace

TEST(SelGridLimits, CellLimitCountsShiftJisBytes) {
    // A cell holds 79 bytes of Shift-JIS text, as a site name does. A
    // kanji takes two bytes there (three in UTF-8), so a site name of 39
    // kanji (78 bytes, storable) must show whole in the site list.
    TSelGrid grid;
    std::string kanji;
    for (int i = 0; i < 39; ++i)
        kanji += "\xE6\x9D\xB1"; // 東
    grid.SetTextA(1, 1, kanji);
    EXPECT_EQ(grid.GetTextA(1, 1), kanji);
    // A 40th would pass 79 bytes and goes whole, never half of it.
    grid.SetTextA(1, 1, kanji + "\xE6\x9D\xB1");
    EXPECT_EQ(grid.GetTextA(1, 1), kanji);
    // Half-width katakana are one byte each: 79 of them fit.
    std::string kana;
    for (int i = 0; i < 80; ++i)
        kana += "\xEF\xBD\xB1"; // ｱ
    grid.SetTextA(1, 2, kana);
    EXPECT_EQ(grid.GetTextA(1, 2), kana.substr(0, 79 * 3));
}
