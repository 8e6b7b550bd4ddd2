#include "controls/Calclock.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/Clsmjd.h"

namespace {

// Julian before 1582 October 15, Gregorian after: the calendar of the moment.
bool Leap(int y) {
    return TMjd::LeapYear(y);
}

// 1582 October 5-14 never happened: a step that lands there goes on to the
// 15th (forwards) or back to the 4th (backwards).
void SkipReform(int y, int m, int& d, int direction) {
    if (y != 1582 || m != 10 || d < 5 || d > 14) return;
    d = direction >= 0 ? 15 : 4;
}

// Month lengths, with December again in front of January so that "the month
// before" never needs a special case.
int MonthLength(int month, int year) {
    static const int len[13] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    month = std::clamp(month, 0, 12); // values set from outside are not validated
    if (month == 2 && Leap(year)) return 29;
    return len[month];
}

struct Cell {
    int field, left, right, mark;
};
// Field cells on the picture (right edge excluded) and the x of their marks.
const Cell kCells[] = {
    {6, 4, 73, 36}, {5, 74, 118, 92}, {4, 119, 163, 138}, {3, 174, 212, 191}, {2, 213, 257, 234}};

} // namespace

TCalClock::TCalClock(QWidget* parent) : QWidget(parent), picture_(262, 42, QImage::Format_RGB32) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetRepeatTimer(std::make_unique<TQtRepeatTimer>());
    resize(262, 42);
}

void TCalClock::SetRepeatTimer(std::unique_ptr<TRepeatTimer> t) {
    timer_ = std::move(t);
    timer_->OnTick = [this] { Tick(); };
}

std::string TCalClock::GetDate() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%d/%02d/%02d", year_, month_, day_);
    return buf;
}

std::string TCalClock::GetTime() const {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02d:%02d", hour_, minute_);
    return buf;
}

int TCalClock::PosSts(int x, int y) {
    int f = 0;
    if (x >= 4 && x <= 69)
        f = fYear;
    else if (x >= 70 && x <= 115)
        f = fMonth;
    else if (x >= 116 && x <= 161)
        f = fDay;
    else if (x >= 172 && x <= 211)
        f = fHour;
    else if (x >= 212 && x <= 257)
        f = fMinute;
    if (y >= 4 && y <= 20) return f;
    if (y >= 21 && y <= 37) return -f;
    return 0;
}

void TCalClock::TimeAS(int f, int v) {
    if (f < fSecond || f > fYear) return;
    int Y = year_, M = month_, D = day_, h = hour_, m = minute_, s = second_;
    int c = 0;
    auto wrap = [&c](int& x, int n) {
        if (x >= n)
            x -= n, c = 1;
        else if (x < 0)
            x += n, c = -1;
        else
            c = 0;
    };
    if (f == fSecond) {
        s = v % 60 + s;
        wrap(s, 60);
        v /= 60;
    }
    if (f <= fMinute) {
        m = v % 60 + m + c;
        wrap(m, 60);
        v /= 60;
    }
    if (f <= fHour) {
        h = v % 24 + h + c;
        wrap(h, 24);
        v /= 24;
    }
    int direction = v;
    if (f <= fDay) {
        v += c;
        c = 0;
        direction = v;
        // Days are counted on the day number, so that a step across 1582
        // October (21 days long) or between the Julian and Gregorian calendars
        // lands on the right date.
        M = std::clamp(M, 1, 12);
        D = std::clamp(D, 1, 31);
        const double n = TMjd::JULIAN(Y, M, D, 0.0, 0) + v;
        int y = Y, mo = M;
        double d = D;
        TMjd::MJD2DATE(n + 0.5, 0.0, 0, y, mo, d);
        Y = y, M = mo, D = static_cast<int>(std::floor(d));
        v = 0;
    }
    if (f <= fMonth) {
        M += v % 12;
        if (M > 12)
            M -= 12, c = 1;
        else if (M < 1)
            M += 12, c = -1;
        else
            c = 0;
        D = std::min(D, MonthLength(M, Y));
        v /= 12;
    }
    Y += c + v;
    // The calendar ends at years 0 and 9999. A step that would carry past an
    // end leaves the whole moment as it was, rather than pinning the year and
    // keeping the wrapped month, day and time (which would jump backwards).
    if (Y < 0 || Y > 9999) return;
    if (M == 2 && D == 29 && !Leap(Y)) D = 28;
    SkipReform(Y, M, D, direction);
    year_ = Y, month_ = M, day_ = D, hour_ = h, minute_ = m, second_ = s;
}

void TCalClock::StepSelected() {
    if (selected_ == 0) return;
    TimeAS(std::abs(selected_), selected_ > 0 ? 1 : -1);
    if (OnChange) OnChange(this);
}

void TCalClock::Tick() {
    if (firstTick_) {
        firstTick_ = false;
        timer_->Start(timeRep_);
    }
    if (selected_ == 0) {
        timer_->Stop();
        return;
    }
    StepSelected();
    repaint();
}

void TCalClock::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
    setFocus(Qt::MouseFocusReason);
    selected_ = PosSts(pt.x(), pt.y());
    if (selected_ != 0) {
        TimeAS(std::abs(selected_), selected_ > 0 ? 1 : -1);
        firstTick_ = true;
        timer_->Start(time1st_);
        if (OnChange) OnChange(this);
    }
    repaint();
}

void TCalClock::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
    timer_->Stop();
}

void TCalClock::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
    setCursor(PosSts(pt.x(), pt.y()) != 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TCalClock::keyPressEvent(QKeyEvent* e) {
    e->accept();
    // Our own timer repeats a held key; the system's auto-repeat would add
    // extra steps at its own pace.
    if (e->isAutoRepeat()) return;
    int key = e->key();
    if (OnKeyDown) OnKeyDown(this, key, e->modifiers());
    switch (key) {
    case Qt::Key_Left:
        selected_ = std::abs(selected_);
        if (selected_ == 0) selected_ = 1;
        selected_ = std::min(selected_ + 1, int(fYear));
        break;
    case Qt::Key_Right:
        selected_ = std::max(std::abs(selected_) - 1, int(fMinute));
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // The keys are ours, so a field is chosen: after a modal window the
        // focus can come back without a focus-in, which would leave none.
        if (selected_ == 0) selected_ = fMinute;
        selected_ = key == Qt::Key_Up ? std::abs(selected_) : -std::abs(selected_);
        TimeAS(std::abs(selected_), selected_ > 0 ? 1 : -1);
        firstTick_ = true;
        timer_->Start(time1st_);
        if (OnChange) OnChange(this);
        break;
    default:
        e->ignore(); // not ours: let the window see it
        return;
    }
    repaint();
}

void TCalClock::keyReleaseEvent(QKeyEvent* e) {
    e->accept();
    if (e->isAutoRepeat()) return;
    int key = e->key();
    if (OnKeyUp) OnKeyUp(this, key, e->modifiers());
    timer_->Stop();
}

void TCalClock::focusInEvent(QFocusEvent*) {
    if (OnEnter) OnEnter(this);
    selected_ = fMinute;
    repaint();
}

void TCalClock::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    // Back from another window with the keyboard still ours: the field marks
    // show again, as a focus-in would have done.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && hasFocus() &&
        selected_ == 0) {
        selected_ = fMinute;
        repaint();
    }
}

void TCalClock::focusOutEvent(QFocusEvent*) {
    if (OnExit) OnExit(this);
    selected_ = 0;
    timer_->Stop();
    repaint();
}

void TCalClock::Draw() {
    QPainter p(&picture_);
    p.fillRect(picture_.rect(), ToQColor(colBack_));
    p.setPen(ToQColor(RGBColor(255, 0, 0)));
    p.setBrush(ToQColor(colBackPanel_));
    p.drawRoundedRect(QRect(0, 0, 167, 40), 4, 4);
    p.drawRoundedRect(QRect(170, 0, 91, 40), 4, 4);

    // Three-line triangles above and below the selected field.
    const int sel = std::abs(selected_);
    for (const Cell& c : kCells) {
        if (c.field != sel) continue;
        p.setPen(ToQColor(colFocus_));
        for (int i = 0; i < 3; ++i) {
            p.drawLine(c.mark - 2 + i, 1 + i, c.mark + 2 - i, 1 + i);
            p.drawLine(c.mark - 2 + i, 39 - i, c.mark + 2 - i, 39 - i);
        }
    }

    QFont font("Arial");
    font.setPointSize(22);
    p.setFont(font);
    p.setPen(ToQColor(RGBColor(255, 0, 0)));
    char buf[16];
    for (const Cell& c : kCells) {
        const QRect cell(c.left, 4, c.right - c.left, 33);
        p.fillRect(cell, ToQColor(colPanel_));
        switch (c.field) {
        case fYear:
            std::snprintf(buf, sizeof buf, "%d", year_);
            break;
        case fMonth:
            std::snprintf(buf, sizeof buf, ".%02d", month_);
            break;
        case fDay:
            std::snprintf(buf, sizeof buf, ".%02d", day_);
            break;
        case fHour:
            std::snprintf(buf, sizeof buf, "%02d", hour_);
            break;
        default:
            std::snprintf(buf, sizeof buf, ":%02d", minute_);
            break;
        }
        p.drawText(QRect(c.left, 4, c.right - c.left, 40), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromLatin1(buf));
    }

    // Upper half steps up, lower half steps down.
    p.setPen(ToQColor(colBackPanel_));
    p.drawLine(4, 20, 163, 20);
    p.drawLine(174, 20, 257, 20);
}

QImage TCalClock::Picture() {
    Draw();
    return picture_;
}

void TCalClock::paintEvent(QPaintEvent*) {
    Draw();
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), picture_);
}
