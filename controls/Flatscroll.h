// TFlatScroll: a flat vertical scroll bar with arrow boxes, paging, a draggable
// thumb and press-and-hold repetition.
#pragma once

#include "controls/Ctlbase.h"

#include <QWidget>

class TFlatScroll : public QWidget {
public:
    explicit TFlatScroll(QWidget* parent = nullptr);

    TColor GetFrCol() const { return colFrame_; }
    void SetFrCol(TColor c) { colFrame_ = c, update(); }
    TColor GetBkCol() const { return colBack_; }
    void SetBkCol(TColor c) { colBack_ = c, update(); }
    TColor GetArCol() const { return colArrow_; }
    void SetArCol(TColor c) { colArrow_ = c, update(); }
    TColor GetABCol() const { return colArrowB_; }
    void SetABCol(TColor c) { colArrowB_ = c, update(); }
    TColor GetBrCol() const { return colBar_; }
    void SetBrCol(TColor c) { colBar_ = c, update(); }
    TColor GetBBCol() const { return colBarB_; }
    void SetBBCol(TColor c) { colBarB_ = c, update(); }

    int GetLCng() const { return largeChange_; }
    void SetLCng(int v) { largeChange_ = v; }
    int GetSCng() const { return smallChange_; }
    void SetSCng(int v) { smallChange_ = v; }
    int GetMin() const { return min_; }
    void SetMin(int v);
    int GetMax() const { return max_; }
    void SetMax(int v);
    // Setting the value moves the thumb but does not fire OnChange: that
    // event reports the user's scrolling.
    int GetValue() const { return value_; }
    void SetValue(int v);
    int GetPS() const { return pageSize_; }
    void SetPS(int v);
    // Height of each arrow box.
    int GetSC() const { return scHeight_; }
    void SetSC(int v);
    int Get1st() const { return time1st_; }
    void Set1st(int ms) { time1st_ = ms; }
    int GetRep() const { return timeRep_; }
    void SetRep(int ms) { timeRep_ = ms; }

    int ThumbTop() const { return thumbTop_; }
    int ThumbSize() const { return thumbSize_; }
    // Track length between the arrow boxes.
    int TrackLength() const { return height() - 2 * scHeight_ + 2; }
    // The part under y: -1 up arrow, -2 track above the thumb, 0 thumb,
    // +2 track below the thumb, +1 down arrow.
    int PosSts(int y) const;
    // Value += step within Min .. Max.
    void upDown(int step);

    // Replaces the repetition timer (tests use a stepped one).
    void SetRepeatTimer(std::unique_ptr<TRepeatTimer> t);
    TRepeatTimer& RepeatTimer() { return *timer_; }

    TNotifyEvent OnChange;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    QSize sizeHint() const override { return QSize(16, 200); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void CalcThumb();
    void Tick();
    void SetValueQuiet(int v);

    TColor colFrame_ = RGBColor(255, 255, 255);
    TColor colBack_ = RGBColor(0, 0, 0);
    TColor colArrow_ = RGBColor(255, 255, 255);
    TColor colArrowB_ = RGBColor(255, 255, 255);
    TColor colBar_ = RGBColor(255, 255, 255);
    TColor colBarB_ = RGBColor(0, 0, 0);
    int largeChange_ = 10, smallChange_ = 1;
    int min_ = 0, max_ = 32000, value_ = 0;
    int pageSize_ = 1000, scHeight_ = 14;
    int time1st_ = 200, timeRep_ = 50;

    int thumbTop_ = 0, thumbSize_ = 0;
    int pressedPart_ = 0; // 0 none
    int step_ = 0;
    bool held_ = false;
    bool firstTick_ = false;
    bool dragging_ = false;
    int dragY0_ = 0, dragTop0_ = 0;
    int lastY_ = 0, tickY_ = 0;
    std::unique_ptr<TRepeatTimer> timer_;
};
