#include "controls/Focusarrow.h"

#include <QPainter>

TFocusArrow::TFocusArrow(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(12, 12);
}

QPolygon TFocusArrow::Corners() const {
    const int w = width() - 1, h = height() - 1;
    QPolygon c;
    switch (dir_) {
    case 1:
        c << QPoint(0, h - h / 3) << QPoint(w / 2, 0) << QPoint(w, h - h / 3);
        break;
    case 2:
        c << QPoint(w / 5, 0) << QPoint(w, 0) << QPoint(w, h - h / 5);
        break;
    case 3:
        c << QPoint(w / 3, 0) << QPoint(w, h / 2) << QPoint(w / 3, h);
        break;
    case 4:
        c << QPoint(w, h / 5) << QPoint(w, h) << QPoint(w / 5, h);
        break;
    case 5:
        c << QPoint(w, h / 3) << QPoint(w / 2, h) << QPoint(0, h / 3);
        break;
    case 6:
        c << QPoint(w - w / 5, h) << QPoint(0, h) << QPoint(0, h / 5);
        break;
    case 7:
        c << QPoint(w - w / 3, h) << QPoint(0, h / 2) << QPoint(w - w / 3, 0);
        break;
    case 8:
        c << QPoint(0, h - h / 5) << QPoint(0, 0) << QPoint(w - w / 5, 0);
        break;
    }
    return c;
}

void TFocusArrow::paintEvent(QPaintEvent*) {
    QPolygon c = Corners();
    if (c.isEmpty()) return;
    QPainter p(this);
    p.setPen(ToQColor(colOutline_));
    p.setBrush(ToQColor(colFill_));
    p.drawPolygon(c);
}
