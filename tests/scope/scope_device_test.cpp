// The telescope connection against Debian's INDI server and its telescope
// simulator, started on a free local port for each test.
#include "Indiserver.h"
#include "astro/Clsmjd.h"
#include "scope/Clsscope.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcmin = kDeg / 60.0;

double Hms(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * kPi / 12;
}
double Dms(double d, double m, double s) {
    return (d + m / 60 + s / 3600) * kDeg;
}

// J2000 places (Hipparcos) of the stars the tests point at.
const double kVegaRa = Hms(18, 36, 56.336), kVegaDec = Dms(38, 47, 1.28);
const double kAltairRa = Hms(19, 50, 46.999), kAltairDec = Dms(8, 52, 5.96);
const double kPolluxRa = Hms(7, 45, 18.95), kPolluxDec = Dms(28, 1, 34.3);

double NowMjd() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0 + 40587.0;
}

// The place of date the program shows, from the J2000 place.
void OfDate(double ra, double dec, double& ra2, double& dec2) {
    TMjd::Epoch(ra, dec, 51544.5, NowMjd(), 0.0, 0.0, ra2, dec2);
}

// Angle between two places, radians.
double Apart(double ra1, double dec1, double ra2, double dec2) {
    const double c =
        std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

bool WaitUntil(const std::function<bool()>& ok, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ok();
}

class ScopeDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << "indiserver with indi_simulator_telescope did not start";
        scope.SetWake([this] { ++wakes; });
    }
    // Connected, with the mount reporting its place.
    void Ready() {
        scope.Connect("localhost", server.Port, "");
        ASSERT_TRUE(WaitUntil(
            [&] {
                double ra, dec;
                const auto s = scope.GetState();
                return scope.HasPosition(ra, dec) && s != TScope::Waiting &&
                       s != TScope::Connecting;
            },
            20))
            << TScope::StateText(scope.GetState()) << ": " << scope.GetReason();
    }
    double Distance(double ra, double dec) {
        double r, d;
        if (!scope.HasPosition(r, d)) return 1e9;
        return Apart(r, d, ra, dec);
    }
    indi::Server server;
    TScope scope;
    std::atomic<int> wakes{0};
};

TEST_F(ScopeDevice, ConnectsListsTheSimulatorAndReportsItsPlace) {
    Ready();
    ASSERT_EQ(scope.GetDevices().size(), 1u);
    EXPECT_EQ(scope.GetDevices()[0], "Telescope Simulator");
    EXPECT_EQ(scope.GetDevice(), "Telescope Simulator");
    EXPECT_GT(wakes.load(), 0);
    // Events reached the queue: the device list, states and at least one place.
    bool devices = false, place = false;
    for (const auto& e : scope.Take()) {
        devices |= e.Kind == TScope::TEvent::Devices;
        place |= e.Kind == TScope::TEvent::Position;
    }
    EXPECT_TRUE(devices);
    EXPECT_TRUE(place);
    scope.Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Offline; }, 5));
    double ra, dec;
    EXPECT_FALSE(scope.HasPosition(ra, dec));
    EXPECT_TRUE(scope.GetDevices().empty());
}

TEST_F(ScopeDevice, SlewsToVegaThenSyncsOnAltairThenParks) {
    Ready();
    double ra, dec;
    OfDate(kVegaRa, kVegaDec, ra, dec);
    scope.Slew(ra, dec);
    EXPECT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Slewing; }, 10));
    ASSERT_TRUE(WaitUntil(
        [&] { return scope.GetState() == TScope::Tracking && Distance(ra, dec) < kArcmin; }, 60))
        << TScope::StateText(scope.GetState()) << ", " << Distance(ra, dec) / kArcmin
        << "' from Vega";

    // Sync: the mount now believes it points at Altair, some 30 degrees away.
    double ra2, dec2;
    OfDate(kAltairRa, kAltairDec, ra2, dec2);
    scope.Sync(ra2, dec2);
    ASSERT_TRUE(WaitUntil([&] { return Distance(ra2, dec2) < kArcmin; }, 10))
        << Distance(ra2, dec2) / kArcmin << "' from Altair";
    EXPECT_NE(scope.GetState(), TScope::Slewing);

    scope.Park();
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Parked; }, 60))
        << TScope::StateText(scope.GetState());
    scope.Unpark();
    EXPECT_TRUE(WaitUntil([&] { return scope.GetState() != TScope::Parked; }, 10));
}

TEST_F(ScopeDevice, AbortStopsTheMountShortOfItsTarget) {
    Ready();
    double ra, dec;
    OfDate(kPolluxRa, kPolluxDec, ra, dec);
    const double start = Distance(ra, dec);
    scope.Slew(ra, dec);
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Slewing; }, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    scope.Abort();
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() != TScope::Slewing; }, 5))
        << "still slewing after the abort";
    // Left alone for longer than the whole slew would take, it stays short.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double left = Distance(ra, dec);
    EXPECT_GT(left, 5 * kDeg) << "reached " << left / kDeg << " deg from the target, started "
                              << start / kDeg;
    EXPECT_NE(scope.GetState(), TScope::Slewing);
}

TEST_F(ScopeDevice, ServerStoppedUnderTheClientGivesLostConnection) {
    Ready();
    server.Stop();
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Lost; }, 10))
        << TScope::StateText(scope.GetState());
    EXPECT_FALSE(scope.GetReason().empty());
    double ra, dec;
    EXPECT_FALSE(scope.HasPosition(ra, dec));
    // Commands now fail with a message, and a new attempt reports that no
    // server answers, all without blocking the caller.
    scope.Slew(0.0, 0.0);
    scope.Connect("localhost", server.Port, "");
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Offline; }, 10));
    EXPECT_NE(scope.GetReason().find("no INDI server"), std::string::npos) << scope.GetReason();
}

TEST_F(ScopeDevice, AskedDeviceMissingFromTheServerIsNamed) {
    scope.DeviceSeconds = 3;
    scope.Connect("localhost", server.Port, "Mount That Is Not There");
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Offline; }, 15));
    EXPECT_NE(scope.GetReason().find("Mount That Is Not There"), std::string::npos)
        << scope.GetReason();
}

} // namespace
