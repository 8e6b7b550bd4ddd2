#include "app/Qvkeyhelp.h"

#include "controls/Framelabel.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kRowHeight = 18;
constexpr int kKeyHeight = 16;
constexpr int kMargin = 8;
constexpr int kEntryIndent = 48;
constexpr int kKeysLeft = 150;
constexpr int kColumnGap = 24;
// Tall enough for most sections in one column, short enough for a 600-pixel-high screen.
constexpr int kMaxHeight = 560;

const char* const kUp = "@U";
const char* const kDown = "@D";
const char* const kLeft = "@L";
const char* const kRight = "@R";

QFont ChartFont() {
    return QFont("Arial", 8);
}

} // namespace

TfrmKeyHelp::TfrmKeyHelp(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setWindowTitle("KeyHelp");
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    using K = std::vector<std::string>;
    rows_ = {
        {"F1", "KeyHelp", {}},
        {"F2", "FullScreen", {}},
        {"F3", "Setting", {}},
        {"F4", "Navigation", {}},
        {"F5", "Clock", {}},
        {"", "Change", K{kUp, kDown, kLeft, kRight}},
        {"", "Now", K{"Home"}},
        {"F6", "Search", {}},
        {"", "Tab", K{"-", "+"}},
        {"", "Category", K{kLeft, kRight}},
        {"", "Select", K{kUp, kDown, "PageUp", "PageDown", "Home", "End"}},
        {"", "OK", K{"Enter"}},
        {"F7", "Display", {}},
        {"", "Select", K{kUp, kDown}},
        {"", "Change", K{"Enter"}},
        {"F8", "Information", {}},
        {"F9", "Atlas", {}},
        {"", "Move", K{kUp, kDown, kLeft, kRight}},
        {"", "Zoom", K{"PageUp", "PageDown"}},
        {"", "Sensitivity", K{"-", "+"}},
        {"", "Jump Set Reset", K{"Insert", "Delete"}},
        {"", "Jump", K{"0", "~", "9"}},
        {"", "REW FF", K{"<", ">"}},
        {"", "Find", K{"/", "Ctrl+F"}},
        {"", "Horizon on/off", K{"Ctrl+H"}},
        {"", "Rings on/off", K{"Ctrl+R"}},
        {"", "Comets asteroids", K{"Ctrl+M"}},
        {"", "Track on/off", K{"Ctrl+K"}},
        {"", "Save charts", K{"Ctrl+S"}},
        {"F10", "Party", {}},
        {"F11", "Telescope", K{"Ctrl+T"}},
        {"", "To the list", K{"Ctrl+L"}},
        {"", "Log it", K{"Ctrl+J"}},
        {"", "Lists Log", K{"Ctrl+Shift+L", "Ctrl+Shift+J"}},
        {"", "Stop", K{"Esc"}},
        {"", "Tonight: planner", K{"Ctrl+Shift+T"}},
        {"F12", "Night vision", {}},
    };
    Build();
}

TFrameLabel* TfrmKeyHelp::KeyLabel(const std::string& caption, int x, int y) {
    auto* k = new TFrameLabel(this);
    k->setFont(ChartFont());
    k->SetCap(caption);
    k->SetAlignment(Qt::AlignHCenter);
    k->SetAV(0);
    k->SetCF(RGBColor(255, 0, 0));
    k->SetFontColor(RGBColor(255, 0, 0));
    const int w =
        caption.size() == 2 && caption[0] == '@'
            ? 18
            : std::max(
                  18,
                  QFontMetrics(ChartFont()).horizontalAdvance(QString::fromStdString(caption)) + 8);
    k->setGeometry(x, y, w, kKeyHeight);
    // A chart, not buttons: the mouse goes to the window (for dragging it).
    k->setAttribute(Qt::WA_TransparentForMouseEvents);
    keyLabels_.push_back(k);
    return k;
}

QLabel* TfrmKeyHelp::Text(const std::string& text, int x, int y, bool heading) {
    auto* l = new QLabel(QString::fromStdString(text), this);
    QFont f = ChartFont();
    f.setBold(heading);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    l->setPalette(p);
    l->adjustSize();
    l->move(x, y + (kKeyHeight - l->height()) / 2);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

void TfrmKeyHelp::Build() {
    // A function key and the keys under it stay together; when the next one would reach
    // below kMaxHeight, a new column starts to the right.
    int left = 0, y = kMargin, right = 0, bottom = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (!row.key.empty()) {
            std::size_t n = 1;
            while (i + n < rows_.size() && rows_[i + n].key.empty()) ++n;
            if (y > kMargin && y + int(n) * kRowHeight + kMargin > kMaxHeight) {
                left = right + kColumnGap - kMargin;
                y = kMargin;
            }
            right = std::max(right, KeyLabel(row.key, left + kMargin, y)->geometry().right());
            right = std::max(right, Text(row.text, left + kMargin + 30, y, true)->geometry().right());
        } else {
            right = std::max(right, Text(row.text, left + kEntryIndent, y, false)->geometry().right());
        }
        // A function key's own other keys (F11's Ctrl+T) go where the entries' keys go.
        if (!row.keys.empty()) {
            int x = left + kKeysLeft;
            for (const std::string& key : row.keys) {
                // The '~' between two keys is a range mark, not a key.
                QWidget* w = key == "~" ? static_cast<QWidget*>(Text(key, x, y, false))
                                        : KeyLabel(key, x, y);
                x = w->geometry().right() + 4;
            }
            right = std::max(right, x);
        }
        y += kRowHeight;
        bottom = std::max(bottom, y);
    }
    setFixedSize(right + kMargin, bottom + kMargin);
}

void TfrmKeyHelp::showEvent(QShowEvent* e) {
    // The top-left corner of the screen's free area (not under a panel), so
    // the whole chart is inside it. Told to the native window itself: a move
    // to where the widget already thinks it is never reaches it, and a window
    // manager then places the window wherever it finds room, even at the
    // screen's bottom edge.
    const QScreen* s = screen();
    const QRect room = s ? s->availableGeometry() : QRect(0, 0, width(), height());
    move(room.topLeft());
    if (QWindow* w = windowHandle()) w->setPosition(room.topLeft());
    QWidget::showEvent(e);
    activateWindow();
    setFocus();
}

void TfrmKeyHelp::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_F1) {
        close();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfrmKeyHelp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QColor(255, 0, 0));
    p.drawRect(0, 0, width() - 1, height() - 1);
}

// Borderless: the window moves by dragging it.
void TfrmKeyHelp::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TfrmKeyHelp::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - dragOffset_);
}
