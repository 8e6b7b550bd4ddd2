#include "party/Partyshape.h"

#include <QMouseEvent>
#include <QPainter>

TPartyShape::TPartyShape(QWidget* parent, bool line) : QWidget(parent), line_(line) {
    if (line_) setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPartyShape::SetPen(TColor c) {
    pen_ = c;
    update();
}

void TPartyShape::SetBrush(TColor c) {
    brush_ = c;
    update();
}

void TPartyShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(ToQColor(pen_));
    if (line_) {
        p.drawLine(0, 0, width() - 1, 0);
        return;
    }
    if (brush_ >= 0) p.fillRect(rect(), ToQColor(brush_));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
}

void TPartyShape::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), pt.x(), pt.y());
}

void TPartyShape::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
}

void TPartyShape::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
}
