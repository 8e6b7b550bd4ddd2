#include "controls/Flatscroll.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// A rectangle given by its edges, right and bottom excluded, outlined with
// the pen and filled with the brush.
void EdgeRect(QPainter& p, int l, int t, int r, int b) {
    if (r - l < 1 || b - t < 1) return;
    p.drawRect(l, t, r - l - 1, b - t - 1);
}
} // namespace

TFlatScroll::TFlatScroll(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetRepeatTimer(std::make_unique<TQtRepeatTimer>());
    resize(16, 200);
    CalcThumb();
}

void TFlatScroll::SetRepeatTimer(std::unique_ptr<TRepeatTimer> t) {
    timer_ = std::move(t);
    timer_->OnTick = [this] { Tick(); };
}

void TFlatScroll::SetMin(int v) {
    min_ = v, CalcThumb(), update();
}
void TFlatScroll::SetMax(int v) {
    max_ = v, CalcThumb(), update();
}
void TFlatScroll::SetValue(int v) {
    value_ = v, CalcThumb(), update();
}
void TFlatScroll::SetPS(int v) {
    pageSize_ = v, CalcThumb(), update();
}
void TFlatScroll::SetSC(int v) {
    scHeight_ = v, CalcThumb(), update();
}

void TFlatScroll::CalcThumb() {
    const int h = height();
    const int len = TrackLength();
    const int range = max_ - min_;
    // An empty or inverted range has nothing to scroll: the thumb fills the
    // track (and no division by a zero range happens).
    if (range > 0 && pageSize_ < range + 1) {
        thumbTop_ = static_cast<int>(double(len) * (value_ - min_) / range + scHeight_);
        thumbSize_ = static_cast<int>(double(len) * pageSize_ / (range + 1));
    } else {
        thumbTop_ = scHeight_;
        thumbSize_ = len;
    }
    thumbSize_ = std::min(std::max(thumbSize_, 6), len);
    if (thumbTop_ + thumbSize_ >= h - scHeight_ + 1) thumbTop_ = h - thumbSize_ - scHeight_ + 1;
}

int TFlatScroll::PosSts(int y) const {
    if (y > 0 && y <= scHeight_) return -1;
    if (y <= 0 || y > height() - scHeight_ + 1) return 1;
    if (y < thumbTop_) return -2;
    if (y <= thumbTop_ + thumbSize_ - 1) return 0;
    return 2;
}

void TFlatScroll::SetValueQuiet(int v) {
    value_ = std::clamp(v, min_, std::max(min_, max_));
    CalcThumb();
}

void TFlatScroll::upDown(int step) {
    const int before = value_;
    SetValueQuiet(value_ + step);
    if (value_ != before && OnChange) OnChange(this);
}

void TFlatScroll::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
    pressedPart_ = PosSts(pt.y());
    switch (pressedPart_) {
    case -1:
        step_ = -smallChange_;
        break;
    case -2:
        step_ = -largeChange_;
        break;
    case 1:
        step_ = smallChange_;
        break;
    case 2:
        step_ = largeChange_;
        break;
    default:
        step_ = 0;
        break;
    }
    held_ = true;
    lastY_ = tickY_ = pt.y();
    if (pressedPart_ != 0) {
        firstTick_ = true;
        timer_->Start(time1st_);
    } else {
        // Only the thumb drags; a held arrow or track repeats instead.
        dragging_ = true;
        dragY0_ = pt.y();
        dragTop0_ = thumbTop_;
    }
    if (step_ != 0) upDown(step_);
    repaint();
}

void TFlatScroll::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
    if (dragging_) {
        const int free = TrackLength() - thumbSize_;
        if (free != 0) {
            const double f = double(pt.y() + dragTop0_ - dragY0_ - scHeight_) / free;
            const double v = min_ + std::trunc(f * (max_ - min_));
            SetValueQuiet(static_cast<int>(std::clamp<double>(v, min_, std::max(min_, max_))));
        }
    }
    lastY_ = pt.y();
    if (held_) {
        if (OnChange) OnChange(this);
        update();
    }
}

void TFlatScroll::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
    timer_->Stop();
    dragging_ = false;
    held_ = false;
    pressedPart_ = 0;
    update();
}

void TFlatScroll::resizeEvent(QResizeEvent*) {
    CalcThumb();
}

void TFlatScroll::Tick() {
    if (firstTick_) {
        firstTick_ = false;
        timer_->Start(timeRep_);
    }
    // Which side of the thumb is the pointer on?
    int side = 0;
    if (lastY_ < thumbTop_)
        side = -1;
    else if (lastY_ > thumbTop_ + thumbSize_ - 1)
        side = 1;
    const int dir = step_ < 0 ? -1 : (step_ > 0 ? 1 : 0);
    if (side != 0 && dir != 0) {
        if (side == dir) {
            upDown(step_);
        } else if (lastY_ != tickY_) {
            // The pointer went over to the other side: page back towards it.
            // A thumb that merely jumped past a resting pointer stays put.
            step_ = -step_;
            upDown(step_);
        }
    }
    tickY_ = lastY_;
    CalcThumb();
    repaint();
}

void TFlatScroll::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height(), sc = scHeight_;
    p.setPen(ToQColor(colFrame_));
    p.setBrush(ToQColor(colBack_));
    EdgeRect(p, 0, 0, w, h);
    EdgeRect(p, 0, 0, w, sc);
    EdgeRect(p, 0, h - sc + 1, w, h);

    p.setPen(ToQColor(colArrow_));
    p.setBrush(ToQColor(colArrowB_));
    QPolygon up, down;
    up << QPoint(w / 2, sc / 5) << QPoint(w / 5, sc / 6 * 5) << QPoint(w - w / 5, sc / 6 * 5);
    down << QPoint(w / 2, h - sc / 5 - 1) << QPoint(w - w / 5, h - sc / 6 * 5 - 1)
         << QPoint(w / 5, h - sc / 6 * 5 - 1);
    p.drawPolygon(up);
    p.drawPolygon(down);

    p.setPen(ToQColor(colBar_));
    p.setBrush(ToQColor(colBarB_));
    EdgeRect(p, 1, thumbTop_, w - 1, thumbTop_ + thumbSize_);
}
