// Shared pieces of the custom controls: colours as 24-bit values, the event
// handler types, and the repeat timer that the stepping controls use.
#pragma once

#include <QColor>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

class QWidget;

// red + 256 * green + 65536 * blue, the colour form every window uses.
using TColor = int;

constexpr TColor RGBColor(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}
// Night vision: every colour a control paints becomes a red as bright as its
// brightest part (faint stays faint, nothing keeps green or blue).
inline bool& NightColours() {
    static bool on = false;
    return on;
}
inline QColor ToQColor(TColor c) {
    const int r = c & 0xff, g = (c >> 8) & 0xff, b = (c >> 16) & 0xff;
    if (NightColours()) return QColor(std::max({r, g, b}), 0, 0);
    return QColor(r, g, b);
}
// A text over a fill: at night, white on red would come out red on red, so
// a text about as bright as its fill is black instead.
inline QColor InkOver(TColor ink, TColor fill) {
    const QColor i = ToQColor(ink), f = ToQColor(fill);
    if (NightColours() && std::abs(i.red() - f.red()) < 64) return QColor(0, 0, 0);
    return i;
}

// Handlers run before the control's own work. A key handler may set the key
// to 0 to keep the control from acting on it.
using TNotifyEvent = std::function<void(QWidget* sender)>;
using TMouseEvent = std::function<void(QWidget* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(QWidget* sender, Qt::KeyboardModifiers shift, int x, int y)>;
using TKeyEvent = std::function<void(QWidget* sender, int& key, Qt::KeyboardModifiers shift)>;

// The timer behind press-and-hold repetition. Controls own one and only call
// Start/Stop; tests swap in TSteppedTimer so that holding a button can be
// checked without waiting in real time.
class TRepeatTimer {
public:
    virtual ~TRepeatTimer() = default;
    // (Re)starts counting the interval from now.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
    virtual int Interval() const = 0;
    std::function<void()> OnTick;
};

// The real thing: a message-loop timer.
class TQtRepeatTimer : public TRepeatTimer {
public:
    TQtRepeatTimer();
    void Start(int ms) override;
    void Stop() override;
    bool Active() const override { return timer_.isActive(); }
    int Interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

// A timer driven by hand: Advance(ms) lets that much time pass and fires every
// tick that falls due, in order, exactly as a message-loop timer would.
class TSteppedTimer : public TRepeatTimer {
public:
    void Start(int ms) override;
    void Stop() override { active_ = false; }
    bool Active() const override { return active_; }
    int Interval() const override { return interval_; }
    void Advance(int ms);
    int Ticks() const { return ticks_; }

private:
    bool active_ = false;
    int interval_ = 0;
    int elapsed_ = 0;
    int ticks_ = 0;
};
