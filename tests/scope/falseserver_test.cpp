// The telescope connection against false servers on a local socket: one that
// sends malformed XML, one that stops in the middle of a message, one that
// says nothing at all, and a port where nobody listens. The caller's thread
// never waits on any of them, and the state names what went wrong.
#include "Indiserver.h"
#include "scope/Clsscope.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntil(const std::function<bool()>& ok, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (ok()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ok();
}

// Listens on a free loopback port; each client gets the bytes given, then
// the connection stays open and silent until the server goes.
class FalseServer {
public:
    explicit FalseServer(std::string bytes, bool accept = true) : bytes_(std::move(bytes)) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        Port = ntohs(a.sin_port);
        listen(fd_, 4);
        if (accept) thread_ = std::thread([this] { Serve(); });
    }
    ~FalseServer() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        if (thread_.joinable()) thread_.join();
        for (int c : clients_)
            close(c);
    }
    int Port = 0;
    std::atomic<int> Accepted{0};

private:
    void Serve() {
        while (!stop_) {
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0) return;
            ++Accepted;
            clients_.push_back(c);
            if (!bytes_.empty()) send(c, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
        }
    }
    std::string bytes_;
    int fd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::vector<int> clients_;
};

// Every call the window makes returns at once, whatever the server does.
void CallsReturnAtOnce(TScope& scope) {
    const auto start = Clock::now();
    scope.Slew(1.0, 0.5);
    scope.Sync(1.0, 0.5);
    scope.Abort();
    scope.Park();
    scope.Take();
    scope.GetState();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
}

struct Case {
    const char* name;
    std::string bytes;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class FalseServers : public ::testing::TestWithParam<Case> {};

TEST_P(FalseServers, EndOfflineWithAReasonAndNeverBlockTheCaller) {
    FalseServer server(GetParam().bytes);
    TScope scope;
    scope.DeviceSeconds = 2;
    const auto start = Clock::now();
    scope.Connect("127.0.0.1", server.Port, "");
    CallsReturnAtOnce(scope);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto s = scope.GetState();
            return s == TScope::Offline || s == TScope::Lost;
        },
        10))
        << TScope::StateText(scope.GetState());
    EXPECT_GE(server.Accepted.load(), 1);
    EXPECT_FALSE(scope.GetReason().empty());
    double ra, dec;
    EXPECT_FALSE(scope.HasPosition(ra, dec));
    EXPECT_TRUE(scope.GetDevices().empty());
    std::printf("%s: %s: %s\n", GetParam().name, TScope::StateText(scope.GetState()),
                scope.GetReason().c_str());
    // The commands sent meanwhile were turned down with a message.
    bool told = false;
    for (const auto& e : scope.Take())
        told |= e.Kind == TScope::TEvent::Message;
    EXPECT_TRUE(told);
}

INSTANTIATE_TEST_SUITE_P(
    Scope, FalseServers,
    ::testing::Values(
        Case{"malformed", "<defSwitchVector device=\"Tel\" name=\"CONNECTION\" <<< >>> & </x>\n"
                          "</defNumberVector>\x01\x02 junk <<"},
        Case{"midmessage",
             "<defTextVector device=\"Tel\" name=\"DRIVER_INFO\" state=\"Idle\" perm=\"ro\">"
             "<defText name=\"DRIVER_INTERFACE\">5</defText></defTextVector>"
             "<defNumberVector device=\"Tel\" name=\"EQUATORIAL_EOD_COORD\" state=\"Ok\" "
             "perm=\"rw\"><defNumber name=\"RA\" format=\"%g\" min=\"0\" max=\"24\" step=\"0\">3"},
        Case{"silent", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FalseServer, NobodyListeningIsReportedAndTheObjectGoesAtOnce) {
    const int port = indi::FreePort();
    TScope scope;
    scope.Connect("127.0.0.1", port, "");
    ASSERT_TRUE(WaitUntil([&] { return scope.GetState() == TScope::Offline; }, 10));
    EXPECT_NE(scope.GetReason().find("no INDI server answers at 127.0.0.1:" + std::to_string(port)),
              std::string::npos)
        << scope.GetReason();
}

// libindi writes its commands without MSG_NOSIGNAL. A server that goes away
// under a write must give a lost connection, not a SIGPIPE that ends the
// program: checked here with the plain write libindi makes, on a socket whose
// other end is gone, once a connection object exists.
TEST(FalseServer, AWriteToAServerThatWentAwayIsAnErrorNotTheEndOfTheProgram) {
    TScope scope;
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    close(ends[1]);
    const char command[] = "<newNumberVector device=\"Tel\" name=\"EQUATORIAL_EOD_COORD\">";
    errno = 0;
    EXPECT_EQ(write(ends[0], command, sizeof command), -1);
    EXPECT_EQ(errno, EPIPE);
    close(ends[0]);
}

TEST(FalseServer, DestroyedWhileAServerKeepsItWaiting) {
    FalseServer server("", false); // takes the connection into its backlog, never accepts
    const auto start = Clock::now();
    {
        TScope scope;
        scope.Connect("127.0.0.1", server.Port, "");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}

} // namespace
