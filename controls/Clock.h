// The computer's clock as every window reads it. One clock object serves the
// whole program; tests put a hand-set clock in its place so that "now" is
// whatever the test says and no test waits in real time.
#pragma once

#include <cstdint>
#include <memory>

// A moment of the clock in Universal Time, broken down.
struct TClockTime {
    int Year = 1970, Month = 1, Day = 1, Hour = 0, Minute = 0;
    double Second = 0.0;
};

class TClock {
public:
    virtual ~TClock() = default;
    // Milliseconds since 1970-01-01 00:00 UT.
    virtual std::int64_t NowMs() const = 0;
    // The same moment broken down in UT.
    TClockTime NowUt() const;
    // Modified Julian Date of now (UT).
    double NowMjd() const { return NowMs() / 86400000.0 + 40587.0; }
};

// The real clock of the computer.
class TSystemClock : public TClock {
public:
    std::int64_t NowMs() const override;
};

// A clock set by hand.
class TFixedClock : public TClock {
public:
    explicit TFixedClock(std::int64_t ms = 0) : Ms(ms) {}
    std::int64_t NowMs() const override { return Ms; }
    // Sets the clock to a UT date and time.
    void SetUt(int year, int month, int day, int hour, int minute, double second = 0.0);
    void Advance(std::int64_t ms) { Ms += ms; }
    std::int64_t Ms;
};

// The program's clock (the system clock unless a test set another).
TClock& Clock();
// Replaces the program's clock; null puts the system clock back.
void SetClock(std::unique_ptr<TClock> clock);
