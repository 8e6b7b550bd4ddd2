#include "controls/Ctlbase.h"

#include <algorithm>

TQtRepeatTimer::TQtRepeatTimer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (OnTick) OnTick();
    });
}

void TQtRepeatTimer::Start(int ms) {
    timer_.start(std::max(ms, 1));
}

void TQtRepeatTimer::Stop() {
    timer_.stop();
}

void TSteppedTimer::Start(int ms) {
    active_ = true;
    interval_ = std::max(ms, 1);
    elapsed_ = 0;
}

void TSteppedTimer::Advance(int ms) {
    while (active_ && ms >= interval_ - elapsed_) {
        ms -= interval_ - elapsed_;
        elapsed_ = 0;
        ++ticks_;
        // The tick may restart (new interval) or stop the timer.
        if (OnTick) OnTick();
    }
    if (active_) elapsed_ += ms;
}
