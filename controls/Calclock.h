// TCalClock: a date and a time of day in two rounded panels; each of year,
// month, day, hour and minute steps up (upper half) or down (lower half) with
// the mouse or the arrow keys, carrying like a calendar, and repeats while held.
#pragma once

#include "controls/Ctlbase.h"

#include <QImage>
#include <QWidget>
#include <string>

class TCalClock : public QWidget {
public:
    // Field numbers of TimeAS and of the selection.
    enum { fSecond = 1, fMinute = 2, fHour = 3, fDay = 4, fMonth = 5, fYear = 6 };

    explicit TCalClock(QWidget* parent = nullptr);

    // The setters only store: no validation, no repaint.
    int GetYear() const { return year_; }
    void SetYear(int v) { year_ = v; }
    int GetMonth() const { return month_; }
    void SetMonth(int v) { month_ = v; }
    int GetDay() const { return day_; }
    void SetDay(int v) { day_ = v; }
    int GetHour() const { return hour_; }
    void SetHour(int v) { hour_ = v; }
    int GetMinute() const { return minute_; }
    void SetMinute(int v) { minute_ = v; }

    TColor GetBCol() const { return colBack_; }
    void SetBCol(TColor c) { colBack_ = c; }
    TColor GetPCol() const { return colPanel_; }
    void SetPCol(TColor c) { colPanel_ = c; }
    TColor GetBPCol() const { return colBackPanel_; }
    void SetBPCol(TColor c) { colBackPanel_ = c; }
    TColor GetFCCol() const { return colFocus_; }
    void SetFCCol(TColor c) { colFocus_ = c; }
    int Get1st() const { return time1st_; }
    void Set1st(int ms) { time1st_ = ms; }
    int GetRep() const { return timeRep_; }
    void SetRep(int ms) { timeRep_ = ms; }

    // "2001/05/09" (year without leading zeros) and "21:30".
    std::string GetDate() const;
    std::string GetTime() const;

    // The field under a control pixel: 6 year ... 2 minute in the upper half,
    // negated in the lower half, 0 outside every field.
    static int PosSts(int x, int y);
    // Adds v units of field f (1 second ... 6 year) and carries upwards.
    void TimeAS(int f, int v);

    // 0 none, 2 .. 6 a field; negative while a downward step repeats.
    int Selected() const { return selected_; }

    void SetRepeatTimer(std::unique_ptr<TRepeatTimer> t);
    TRepeatTimer& RepeatTimer() { return *timer_; }

    // The off-screen picture as last painted (262 x 42).
    QImage Picture();

    TNotifyEvent OnChange;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    QSize sizeHint() const override { return QSize(262, 42); }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void StepSelected();
    void Tick();
    void Draw();

    int year_ = 2000, month_ = 1, day_ = 1, hour_ = 0, minute_ = 0;
    int second_ = 0; // only a carry target, never shown
    TColor colBack_ = RGBColor(0, 0, 0);
    TColor colPanel_ = RGBColor(128, 0, 0);
    TColor colBackPanel_ = RGBColor(0, 0, 0);
    TColor colFocus_ = RGBColor(255, 0, 0);
    int time1st_ = 200, timeRep_ = 50;

    int selected_ = 0;
    bool firstTick_ = false;
    QImage picture_;
    std::unique_ptr<TRepeatTimer> timer_;
};
