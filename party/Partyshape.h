// TPartyShape: a rectangle or a horizontal line in a pen and a brush colour,
// the frames and underlines of the party windows. Mouse presses, moves and
// releases go to the owner's handlers (the outer frame drags its window).
#pragma once

#include "controls/Ctlbase.h"

#include <QWidget>

class TPartyShape : public QWidget {
public:
    explicit TPartyShape(QWidget* parent = nullptr, bool line = false);

    TColor GetPen() const { return pen_; }
    void SetPen(TColor c);
    TColor GetBrush() const { return brush_; }
    // A negative brush leaves the inside unpainted.
    void SetBrush(TColor c);

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    bool line_;
    TColor pen_ = RGBColor(255, 0, 0);
    TColor brush_ = -1;
};
