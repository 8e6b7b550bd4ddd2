#include "controls/Selgrid.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {
// Cuts a UTF-8 text to the cell size, whole characters only. The size is
// counted as the text takes it in Shift-JIS, where site names are stored:
// ASCII and half-width katakana one byte, every other character two.
std::string Fit(const std::string& s, size_t bytes) {
    size_t used = 0, i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        len = std::min(len, s.size() - i);
        // U+FF61..U+FF9F (half-width katakana) are EF BD A1..EF BE 9F.
        const bool halfKana = len == 3 && c == 0xEF &&
                              ((static_cast<unsigned char>(s[i + 1]) == 0xBD &&
                                static_cast<unsigned char>(s[i + 2]) >= 0xA1) ||
                               static_cast<unsigned char>(s[i + 1]) == 0xBE);
        const size_t width = c < 0x80 || halfKana ? 1 : 2;
        if (used + width > bytes) break;
        used += width;
        i += len;
    }
    return s.substr(0, i);
}
} // namespace

TSelGrid::TSelGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // Mode 1 follows the pointer without a press
    setFont(QFont("Arial", 9));
    SetRepeatTimer(std::make_unique<TQtRepeatTimer>());
    Clear();
    resize(300, 200);
    CalcPageSize();
}

void TSelGrid::SetRepeatTimer(std::unique_ptr<TRepeatTimer> t) {
    timer_ = std::move(t);
    timer_->OnTick = [this] { Tick(); };
}

bool TSelGrid::Valid(int row, int col) {
    return row >= 0 && row <= kMaxRows && col >= 0 && col <= kMaxCols;
}

void TSelGrid::Clear() {
    for (int r = 0; r <= kMaxRows; ++r) {
        Row& row = rows_[r];
        for (auto& t : row.text)
            t.clear();
        row.align.fill(r == 0 ? 2 : 0);
        row.tag = 0;
        row.initial = r;
    }
    colWidth_.fill(0);
    for (int c = 0; c <= kMaxCols; ++c)
        sortKey_[c] = c, colMode_[c] = 1;
    selRow_ = pagePos_ = dspTop_ = 1;
    sortCol_ = sortDir_ = 0;
    maxRows_ = 0;
    update();
}

void TSelGrid::SetTextA(int row, int col, const std::string& text) {
    if (!Valid(row, col)) return;
    rows_[row].text[col] = Fit(text, kCellBytes);
    update();
}

std::string TSelGrid::GetTextA(int row, int col) const {
    return Valid(row, col) ? rows_[row].text[col] : std::string();
}

void TSelGrid::SetColWidth(int col, int width) {
    if (!Valid(0, col)) return;
    colWidth_[col] = std::max(width, 0);
    update();
}

int TSelGrid::GetColWidth(int col) const {
    return Valid(0, col) ? colWidth_[col] : 0;
}

int TSelGrid::TextWidth(int col) const {
    if (!Valid(0, col)) return 0;
    const QFontMetrics fm(font());
    int widest = 0;
    for (int r = 0; r <= std::min(maxRows_, kMaxRows); ++r)
        widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(rows_[r].text[col])));
    // The text starts one pixel in; the cell's lines take one more on each side.
    return widest + 4;
}

void TSelGrid::SetAlign(int row, int col, int align) {
    if (!Valid(0, col)) return;
    if (row == -1) {
        for (int r = 1; r <= kMaxRows; ++r)
            rows_[r].align[col] = align;
    } else if (Valid(row, col)) {
        rows_[row].align[col] = align;
    }
    update();
}

int TSelGrid::GetAlign(int row, int col) const {
    return Valid(row, col) ? rows_[row].align[col] : 0;
}

void TSelGrid::SetSortIndex(int col, int keyCol) {
    if (Valid(0, col) && Valid(0, keyCol)) sortKey_[col] = keyCol;
}

void TSelGrid::SetColMode(int col, int mode) {
    if (Valid(0, col)) colMode_[col] = mode;
}

int TSelGrid::GetColMode(int col) const {
    return Valid(0, col) ? colMode_[col] : 1;
}

void TSelGrid::SetTag(int row, int tag) {
    if (Valid(row, 0)) rows_[row].tag = tag;
}

int TSelGrid::GetTag(int row) const {
    return Valid(row, 0) ? rows_[row].tag : 0;
}

void TSelGrid::SetMaxRow(int n) {
    maxRows_ = std::clamp(n, 0, int(kMaxRows));
}
void TSelGrid::SetMaxCol(int n) {
    maxCols_ = std::clamp(n, 0, int(kMaxCols));
}

void TSelGrid::SetRowHei(int h) {
    rowHeight_ = std::max(h, 1);
    CalcPageSize();
}

void TSelGrid::SetTilEbl(bool v) {
    titleEnabled_ = v;
    CalcPageSize();
}

void TSelGrid::CalcPageSize() {
    // Every data row that is at least partly on the control counts; a row
    // that would lie wholly below the bottom edge does not, so the selection
    // can never be scrolled out of sight.
    const int h = height(), rh = rowHeight_;
    int n = (h + rh - 1) / rh;
    if (titleEnabled_) --n;
    pageSize_ = std::max(n, 1);
}

void TSelGrid::resizeEvent(QResizeEvent*) {
    if (OnResize) OnResize(this);
    CalcPageSize();
}

void TSelGrid::UpdatePos() {
    if (selRow_ == 0 && maxRows_ > 0) selRow_ = 1, dspTop_ = 1;
    if (selRow_ < dspTop_) dspTop_ = std::max(selRow_, 1);
    if (selRow_ > dspTop_ + pageSize_ - 1) dspTop_ = selRow_ - pageSize_ + 1;
    dspTop_ = std::max(dspTop_, 1);
    pagePos_ = selRow_ - dspTop_ + 1;
}

void TSelGrid::SetSelRow(int row) {
    selRow_ = std::clamp(row, 0, int(kMaxRows));
    UpdatePos();
    update();
}

void TSelGrid::SetSelRowByTag(int tag) {
    int found = 1;
    for (int r = 1; r <= maxRows_; ++r)
        if (rows_[r].tag == tag) {
            found = r;
            break;
        }
    SetSelRow(found);
}

void TSelGrid::SetDspTop(int row) {
    dspTop_ = std::clamp(row, 1, int(kMaxRows));
    if (selRow_ < dspTop_) selRow_ = dspTop_;
    if (selRow_ > dspTop_ + pageSize_ - 1) selRow_ = dspTop_ + pageSize_ - 1;
    pagePos_ = selRow_ - dspTop_ + 1;
    update();
}

void TSelGrid::SelUp(int n) {
    const int before = selRow_;
    for (int i = 0; i < n; ++i) {
        if (selRow_ <= 1) break;
        if (pagePos_ == 1)
            --dspTop_;
        else
            --pagePos_;
        --selRow_;
    }
    if (selRow_ != before && OnChange) OnChange(this);
    update();
}

void TSelGrid::SelDown(int n) {
    const int before = selRow_;
    for (int i = 0; i < n; ++i) {
        if (selRow_ >= maxRows_) break;
        if (pagePos_ == pageSize_)
            ++dspTop_;
        else
            ++pagePos_;
        ++selRow_;
    }
    if (selRow_ != before && OnChange) OnChange(this);
    update();
}

void TSelGrid::SwapRows(int a, int b) {
    if (a == b) return;
    Row& x = rows_[a];
    Row& y = rows_[b];
    for (int c = 1; c <= maxCols_; ++c) {
        std::swap(x.text[c], y.text[c]);
        std::swap(x.align[c], y.align[c]);
    }
    std::swap(x.tag, y.tag);
    std::swap(x.initial, y.initial);
}

void TSelGrid::Srt(int col, int dir, bool byInitial) {
    const int key = byInitial ? -1 : sortKey_[col];
    // Does row a's key come strictly before row b's?
    auto before = [&](int a, int b) {
        int cmp;
        if (key < 0)
            cmp = (rows_[a].initial > rows_[b].initial) - (rows_[a].initial < rows_[b].initial);
        else if (key == 0)
            cmp = (rows_[a].tag > rows_[b].tag) - (rows_[a].tag < rows_[b].tag);
        else
            cmp = rows_[a].text[key].compare(rows_[b].text[key]); // unsigned bytes
        return dir < 0 ? cmp > 0 : cmp < 0;
    };
    for (int i = 1; i < maxRows_; ++i) {
        int cand = i;
        for (int j = i + 1; j <= maxRows_; ++j)
            if (before(j, cand)) cand = j;
        SwapRows(i, cand);
    }
}

void TSelGrid::SortBy(int col, int dir, bool explicitDir) {
    if (!Valid(0, col)) return;
    if (explicitDir || col != sortCol_) {
        sortCol_ = col;
        sortDir_ = dir < 0 ? -1 : 1;
    } else {
        sortDir_ = sortDir_ < 0 ? 1 : -1;
    }
    Srt(0, 1, true); // back to the initial order first
    Srt(col, sortDir_, false);
    if (sortJump_) update();
}

void TSelGrid::RowSort(int col) {
    SortBy(col, 1, false);
}

void TSelGrid::RowSortEx(int col, int dir) {
    SortBy(col, dir, true);
}

void TSelGrid::DeleteRow(int row) {
    if (row < 1 || row > maxRows_) return;
    for (int r = row; r < maxRows_; ++r)
        rows_[r] = std::move(rows_[r + 1]);
    Row& last = rows_[maxRows_];
    for (auto& t : last.text)
        t.clear();
    last.align.fill(0);
    last.tag = 0;
    last.initial = maxRows_;
    --maxRows_;
    if (selRow_ > maxRows_) selRow_ = std::max(selRow_ - 1, 0);
    UpdatePos();
    update();
}

int TSelGrid::GetAppearance() const {
    const int v = sortCol_ * 100000000 + pagePos_ * 10000 + selRow_;
    return sortDir_ < 0 ? -v : v;
}

void TSelGrid::SetAppearance(int v) {
    const long long a = std::llabs(static_cast<long long>(v));
    sortCol_ = sortDir_ = 0;
    const int c = static_cast<int>(a / 100000000);
    if (c != 0 && Valid(0, c)) {
        RowSort(c);
        if (v < 0) RowSort(c);
    }
    pagePos_ = static_cast<int>((a % 100000000) / 10000);
    selRow_ = static_cast<int>(std::min<long long>(a % 10000, kMaxRows));
    dspTop_ = std::max(selRow_ - pagePos_ + 1, 1);
    UpdatePos();
    update();
}

int TSelGrid::ColAt(int x) const {
    int right = 0;
    for (int c = 0; c <= kMaxCols; ++c) {
        right += colWidth_[c];
        if (x < right) return c;
    }
    return -1;
}

int TSelGrid::RowAt(int y) const {
    if (y < 0) return 0;
    const int row = titleEnabled_ ? y / rowHeight_ + dspTop_ - 1 : y / rowHeight_ + dspTop_;
    if (titleEnabled_ && y < rowHeight_) return 0;
    return std::min(row, maxRows_);
}

// Selects the row under y; true when the selection changed.
bool TSelGrid::SelectAt(int y) {
    const int row = RowAt(y);
    if (row < 1 || row == selRow_) return false;
    selRow_ = row;
    pagePos_ = selRow_ - dspTop_ + 1;
    if (OnChange) OnChange(this);
    return true;
}

void TSelGrid::mousePressEvent(QMouseEvent* e) {
    if (lock_) return;
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
    setFocus(Qt::MouseFocusReason);
    const int col = ColAt(pt.x());
    if (titleEnabled_ && pt.y() < rowHeight_) {
        if (sortEnabled_ && pt.y() >= 1 && col >= 0) {
            RowSort(col);
            repaint();
        }
        return;
    }
    if (pt.y() >= height()) return;
    SelectAt(pt.y());
    if (col >= 0 && colMode_[col] == 2 && selRow_ >= 1 && selRow_ <= maxRows_ &&
        RowAt(pt.y()) == selRow_) {
        std::string& cell = rows_[selRow_].text[col];
        if (cell == "*")
            cell.clear();
        else
            cell.assign(1, '*');
    }
    tracking_ = true;
    repaint();
}

void TSelGrid::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
    if (lock_) return;
    if (mode_ == 1) tracking_ = true;
    if (!tracking_) return;
    const int top = titleEnabled_ ? rowHeight_ : 0;
    if (pt.y() < top || pt.y() >= height()) {
        autoScroll_ = pt.y() < top ? -1 : 1;
        if (!timer_->Active()) timer_->Start(timeRep_);
    } else {
        timer_->Stop();
        autoScroll_ = 0;
        if (SelectAt(pt.y())) repaint();
    }
}

void TSelGrid::mouseReleaseEvent(QMouseEvent* e) {
    if (lock_) return;
    const QPoint pt = e->position().toPoint();
    const bool inTitle = titleEnabled_ && pt.y() >= 0 && pt.y() < rowHeight_;
    if (!inTitle && OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
    timer_->Stop();
    autoScroll_ = 0;
    tracking_ = false;
}

void TSelGrid::Tick() {
    if (autoScroll_ < 0)
        SelUp(1);
    else if (autoScroll_ > 0)
        SelDown(1);
    repaint();
}

void TSelGrid::keyPressEvent(QKeyEvent* e) {
    int key = e->key();
    if (OnKeyDown) OnKeyDown(this, key, e->modifiers());
    e->accept();
    if (lock_) return;
    switch (key) {
    case Qt::Key_PageUp:
        SelUp(10);
        break;
    case Qt::Key_PageDown:
        SelDown(10);
        break;
    case Qt::Key_Home:
        SelUp(maxRows_);
        break;
    case Qt::Key_End:
        SelDown(maxRows_);
        break;
    case Qt::Key_Up:
        SelUp(1);
        break;
    case Qt::Key_Down:
        SelDown(1);
        break;
    default:
        e->ignore();
        return; // not ours: let the window see it
    }
    repaint();
}

void TSelGrid::focusInEvent(QFocusEvent*) {
    if (OnEnter) OnEnter(this);
}

void TSelGrid::focusOutEvent(QFocusEvent*) {
    if (OnExit) OnExit(this);
}

void TSelGrid::paintEvent(QPaintEvent*) {
    UpdatePos();
    const int w = width(), h = height(), rh = rowHeight_;
    if (picture_.size() != size()) picture_ = QImage(size(), QImage::Format_RGB32);
    QPainter p(&picture_);
    p.fillRect(picture_.rect(), ToQColor(colBody_));
    p.setFont(font());
    const QFontMetrics fm(font());

    auto drawRow = [&](int y, int r, bool title) {
        const bool sel = !title && r == selRow_;
        const QColor fill = ToQColor(title ? colHead_ : sel ? colSelBar_ : colBody_);
        const QColor ink = title || sel ? InkOver(colSelText_, title ? colHead_ : colSelBar_)
                                        : ToQColor(colText_);
        int x = 0;
        for (int c = 0; c <= kMaxCols && x < w; ++c) {
            const int cw = colWidth_[c];
            if (cw <= 0) continue;
            // One pixel wider and higher than the cell, so neighbours share lines.
            p.setPen(ToQColor(colGrid_));
            p.setBrush(fill);
            p.drawRect(x, y, cw, rh);
            if (r <= kMaxRows && (title || r <= maxRows_)) {
                const QString text = QString::fromStdString(rows_[r].text[c]);
                const int tw = fm.horizontalAdvance(text);
                int tx;
                switch (rows_[r].align[c]) {
                case 1:
                    tx = x + cw - tw - 1;
                    break;
                case 2:
                    tx = x + (cw - tw) / 2;
                    break;
                default:
                    tx = x + 1;
                    break;
                }
                p.setPen(ink);
                p.setClipRect(x, y, cw, rh);
                p.drawText(tx, y + (rh - fm.height()) / 2 + fm.ascent(), text);
                p.setClipping(false);
            }
            x += cw;
        }
    };

    int y = 0;
    if (titleEnabled_) {
        drawRow(0, 0, true);
        y = rh;
    }
    for (int r = dspTop_; y < h && r <= kMaxRows; ++r, y += rh)
        drawRow(y, r, false);

    p.setPen(ToQColor(colFrame_));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, w - 1, h - 1);
    p.end();

    QPainter screen(this);
    screen.drawImage(0, 0, picture_);
}
