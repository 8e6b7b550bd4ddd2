// TFocusArrow: a filled triangle pointing in one of eight directions, marking
// the panel that has the keyboard.
#pragma once

#include "controls/Ctlbase.h"

#include <QPolygon>
#include <QWidget>

class TFocusArrow : public QWidget {
public:
    explicit TFocusArrow(QWidget* parent = nullptr);

    TColor GetFCol() const { return colOutline_; }
    void SetFCol(TColor c) { colOutline_ = c, update(); }
    TColor GetFBCol() const { return colFill_; }
    void SetFBCol(TColor c) { colFill_ = c, update(); }
    // 1 up, 2 up-right, 3 right, ... 8 up-left (clockwise).
    int GetDir() const { return dir_; }
    void SetDir(int d) { dir_ = d, update(); }

    // The triangle's corners for the current size and direction (empty for a
    // direction outside 1 .. 8).
    QPolygon Corners() const;

    QSize sizeHint() const override { return QSize(12, 12); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TColor colOutline_ = RGBColor(255, 255, 255);
    TColor colFill_ = RGBColor(0, 0, 0);
    int dir_ = 1;
};
