#include "controls/Framelabel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

TFrameLabel::TFrameLabel(QWidget* parent) : QWidget(parent) {
    setFont(QFont("Arial", 9));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, bodyStyle_ == Qt::SolidPattern);
}

void TFrameLabel::SetCap(const std::string& text) {
    caption_ = text;
    FitSize();
    update();
}

void TFrameLabel::SetAutoSize(bool v) {
    autoSize_ = v;
    FitSize();
}

void TFrameLabel::SetLK(bool v) {
    lock_ = v;
    if (lock_) pressed_ = false;
    update();
}

void TFrameLabel::SetSYLB(Qt::BrushStyle s) {
    bodyStyle_ = s;
    setAttribute(Qt::WA_OpaquePaintEvent, bodyStyle_ == Qt::SolidPattern);
    update();
}

void TFrameLabel::SetColor(TColor& field, TColor c) {
    field = c;
    update();
}

void TFrameLabel::CurrentColors(TColor& frame, TColor& body, TColor& text) const {
    if (lock_) {
        frame = colFrameLk_, body = colBodyLk_, text = colTextLk_;
    } else if (pressed_ && pushColor_) {
        frame = colFramePs_, body = colBodyPs_, text = colTextPs_;
    } else {
        frame = colFrame_, body = colBody_, text = colText_;
    }
}

int TFrameLabel::ArrowCode() const {
    if (caption_.size() == 2 && caption_[0] == '@') {
        switch (caption_[1]) {
        case 'L':
        case 'R':
        case 'U':
        case 'D':
            return caption_[1];
        }
    }
    return 0;
}

QSize TFrameLabel::TextSize() const {
    QFontMetrics fm(font());
    if (ArrowCode()) return QSize(10, 10);
    return QSize(fm.horizontalAdvance(QString::fromStdString(caption_)), fm.height());
}

QSize TFrameLabel::sizeHint() const {
    QSize t = TextSize();
    return QSize(t.width() + mgnLeft_ + mgnRight_ + 2, t.height() + mgnTop_ + mgnBottom_ + 2);
}

void TFrameLabel::FitSize() {
    if (!autoSize_) return;
    QSize t = TextSize();
    resize(t.width() + mgnLeft_ + mgnRight_, t.height() + mgnTop_ + mgnBottom_);
}

void TFrameLabel::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) FitSize();
    QWidget::changeEvent(e);
}

void TFrameLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height();
    TColor frame, body, text;
    CurrentColors(frame, body, text);

    // Body inside the frame, right and bottom edges excluded.
    if (bodyStyle_ != Qt::NoBrush)
        p.fillRect(QRect(1, 1, w - 2, h - 2), QBrush(ToQColor(body), bodyStyle_));

    const QSize t = TextSize();
    const int tw = t.width(), th = t.height();
    const int arrow = ArrowCode();
    int x, y;
    if (alignment_ & Qt::AlignRight)
        x = arrow ? w - mgnRight_ - 11 : w - tw - mgnRight_ - 1;
    else if (alignment_ & Qt::AlignHCenter)
        x = arrow ? w / 2 + mgnLeft_ - 5 : (w - mgnLeft_ - mgnRight_) / 2 + mgnLeft_ - tw / 2;
    else
        x = mgnLeft_ + 1;
    if (alignV_ < 0)
        y = mgnTop_ + 1;
    else if (alignV_ > 0)
        y = arrow ? h - mgnBottom_ - 11 : h - th - mgnBottom_ - 1;
    else
        y = arrow ? h / 2 + mgnTop_ - 5 : (h - mgnTop_ - mgnBottom_) / 2 + mgnTop_ - th / 2;

    if (arrow) {
        // An arrowhead in a 10 x 10 box.
        QPolygon tri;
        switch (arrow) {
        case 'L':
            tri << QPoint(x + 2, y + 5) << QPoint(x + 7, y) << QPoint(x + 7, y + 10);
            break;
        case 'R':
            tri << QPoint(x + 8, y + 5) << QPoint(x + 3, y) << QPoint(x + 3, y + 10);
            break;
        case 'U':
            tri << QPoint(x + 5, y + 2) << QPoint(x, y + 7) << QPoint(x + 10, y + 7);
            break;
        default:
            tri << QPoint(x + 5, y + 8) << QPoint(x, y + 3) << QPoint(x + 10, y + 3);
            break;
        }
        p.setPen(ToQColor(text));
        p.setBrush(ToQColor(text));
        p.drawPolygon(tri);
    } else if (!caption_.empty()) {
        p.setFont(font());
        p.setPen(ToQColor(text));
        p.drawText(QPoint(x, y + QFontMetrics(font()).ascent()), QString::fromStdString(caption_));
    }

    p.setBrush(Qt::NoBrush);
    p.setPen(ToQColor(frame));
    p.drawRect(0, 0, w - 1, h - 1);
}

void TFrameLabel::mousePressEvent(QMouseEvent* e) {
    if (lock_) return;
    pressed_ = true;
    repaint();
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
}

void TFrameLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (lock_) return;
    pressed_ = false;
    repaint();
    const QPoint pt = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
}

void TFrameLabel::mouseMoveEvent(QMouseEvent* e) {
    if (lock_) return;
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
}
