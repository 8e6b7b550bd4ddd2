#include "controls/Clock.h"

#include <chrono>
#include <cmath>

namespace {

std::unique_ptr<TClock>& Current() {
    static std::unique_ptr<TClock> clock = std::make_unique<TSystemClock>();
    return clock;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil-date algorithms).
std::int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = static_cast<int>(y - era * 400);
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

} // namespace

TClockTime TClock::NowUt() const {
    const std::int64_t ms = NowMs();
    std::int64_t days = ms / 86400000;
    std::int64_t rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    TClockTime t;
    CivilFromDays(days, t.Year, t.Month, t.Day);
    t.Hour = static_cast<int>(rest / 3600000);
    t.Minute = static_cast<int>(rest / 60000 % 60);
    t.Second = (rest % 60000) / 1000.0;
    return t;
}

std::int64_t TSystemClock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void TFixedClock::SetUt(int year, int month, int day, int hour, int minute, double second) {
    Ms = DaysFromCivil(year, month, day) * 86400000 + hour * 3600000LL + minute * 60000LL +
         static_cast<std::int64_t>(std::llround(second * 1000.0));
}

TClock& Clock() {
    return *Current();
}

void SetClock(std::unique_ptr<TClock> clock) {
    Current() = clock ? std::move(clock) : std::make_unique<TSystemClock>();
}
