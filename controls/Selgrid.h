// TSelGrid: a read-only table of text cells with a title row and one selected
// row; title clicks sort, check-mark columns toggle, and every row carries a
// tag for the caller to find its own record again after sorting.
#pragma once

#include "controls/Ctlbase.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <string>

class TSelGrid : public QWidget {
public:
    static constexpr int kMaxRows = 1000; // data rows 1 .. 1000, row 0 is the title
    static constexpr int kMaxCols = 10;   // columns 0 .. 10, column 0 normally hidden
    static constexpr int kCellBytes = 79;

    explicit TSelGrid(QWidget* parent = nullptr);

    // Empties everything and forgets sort and selection.
    void Clear();
    void SetTextA(int row, int col, const std::string& text);
    std::string GetTextA(int row, int col) const;
    void SetColWidth(int col, int width);
    int GetColWidth(int col) const;
    // The width a column needs for its widest text (title and rows) in the
    // grid's font, with the cell's margin and lines.
    int TextWidth(int col) const;
    // 0 left, 1 right, 2 centred; row -1 sets the column in every data row.
    void SetAlign(int row, int col, int align);
    int GetAlign(int row, int col) const;
    // The column whose text sorts this column; 0 sorts by the tags.
    void SetSortIndex(int col, int keyCol);
    // 1 normal, 2 check marks ("*" or empty, toggled by a click).
    void SetColMode(int col, int mode);
    int GetColMode(int col) const;
    void SetTag(int row, int tag);
    int GetTag(int row) const;

    int GetSelRow() const { return selRow_; }
    void SetSelRow(int row);
    void SetSelRowByTag(int tag);
    int GetDspTop() const { return dspTop_; }
    void SetDspTop(int row);
    int GetPs() const { return pageSize_; }
    // 1-based place of the selected row on the page.
    int PagePos() const { return pagePos_; }
    void SelUp(int n);
    void SelDown(int n);

    void RowSort(int col);
    void RowSortEx(int col, int dir);
    int SortCol() const { return sortCol_; }
    int SortDir() const { return sortDir_; }
    void DeleteRow(int row);
    // Sort, selection and scroll position packed into one integer.
    int GetAppearance() const;
    void SetAppearance(int v);

    int Get1st() const { return time1st_; }
    void Set1st(int ms) { time1st_ = ms; }
    int GetRep() const { return timeRep_; }
    void SetRep(int ms) { timeRep_ = ms; }
    int GetMaxRow() const { return maxRows_; }
    void SetMaxRow(int n);
    int GetMaxCol() const { return maxCols_; }
    void SetMaxCol(int n);
    int GetRowHei() const { return rowHeight_; }
    void SetRowHei(int h);
    bool GetTilEbl() const { return titleEnabled_; }
    void SetTilEbl(bool v);
    // 0 select while the button is held, 1 the selection follows the pointer.
    int GetMode() const { return mode_; }
    void SetMode(int m) { mode_ = m; }
    bool GetLock() const { return lock_; }
    void SetLock(bool v) { lock_ = v; }
    bool GetSJump() const { return sortJump_; }
    void SetSJump(bool v) { sortJump_ = v; }
    bool GetSrtEn() const { return sortEnabled_; }
    void SetSrtEn(bool v) { sortEnabled_ = v; }

    TColor GetBCol() const { return colBody_; }
    void SetBCol(TColor c) { colBody_ = c; }
    TColor GetHCol() const { return colHead_; }
    void SetHCol(TColor c) { colHead_ = c; }
    TColor GetGCol() const { return colGrid_; }
    void SetGCol(TColor c) { colGrid_ = c; }
    TColor GetFCol() const { return colFrame_; }
    void SetFCol(TColor c) { colFrame_ = c; }
    TColor GetTCol() const { return colText_; }
    void SetTCol(TColor c) { colText_ = c; }
    TColor GetSCol() const { return colSelBar_; }
    void SetSCol(TColor c) { colSelBar_ = c; }
    TColor GetVCol() const { return colSelText_; }
    void SetVCol(TColor c) { colSelText_ = c; }

    // Column under x (-1 beyond the last), row under y (0 title or none).
    int ColAt(int x) const;
    int RowAt(int y) const;

    void SetRepeatTimer(std::unique_ptr<TRepeatTimer> t);
    TRepeatTimer& RepeatTimer() { return *timer_; }

    TNotifyEvent OnChange;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;

    QSize sizeHint() const override { return QSize(300, 200); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;

private:
    struct Row {
        std::array<std::string, kMaxCols + 1> text;
        std::array<int, kMaxCols + 1> align{};
        int tag = 0;
        int initial = 0;
    };
    void UpdatePos();
    void CalcPageSize();
    // Selection sort by a column's key (key column 0: the tags), or by the
    // initial positions when byInitial.
    void Srt(int col, int dir, bool byInitial);
    void SwapRows(int a, int b);
    void SortBy(int col, int dir, bool explicitDir);
    bool SelectAt(int y);
    void Tick();
    static bool Valid(int row, int col);

    std::array<Row, kMaxRows + 1> rows_;
    std::array<int, kMaxCols + 1> colWidth_{};
    std::array<int, kMaxCols + 1> sortKey_{};
    std::array<int, kMaxCols + 1> colMode_{};

    int maxRows_ = 0, maxCols_ = 0;
    int selRow_ = 1, pagePos_ = 1, dspTop_ = 1, pageSize_ = 1;
    int sortCol_ = 0, sortDir_ = 0;
    bool tracking_ = false;
    int autoScroll_ = 0;
    int time1st_ = 200, timeRep_ = 30;
    int rowHeight_ = 22;
    bool titleEnabled_ = true;
    int mode_ = 0;
    bool lock_ = false, sortJump_ = true, sortEnabled_ = true;
    TColor colBody_ = RGBColor(0, 0, 0);
    TColor colHead_ = RGBColor(128, 0, 0);
    TColor colGrid_ = RGBColor(128, 0, 0);
    TColor colFrame_ = RGBColor(255, 0, 0);
    TColor colText_ = RGBColor(255, 0, 0);
    TColor colSelBar_ = RGBColor(255, 0, 0);
    TColor colSelText_ = RGBColor(255, 255, 255);
    QImage picture_;
    std::unique_ptr<TRepeatTimer> timer_;
};
