// A real INDI server with Debian's telescope simulator for the device tests,
// on a free port of the loopback interface, with its own HOME so the
// simulator's saved configuration and park data stay out of the user's.
// Stopped (with its driver) when the object goes.
#pragma once

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace indi {

// A port nobody listens on now (the kernel's choice for an ephemeral bind).
inline int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

inline bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

class Server {
public:
    // Starts indiserver with the given drivers; false when it does not
    // listen within a few seconds.
    bool Start(const std::string& drivers = "indi_simulator_telescope") {
        home_ = std::filesystem::temp_directory_path() /
                ("quenlira-indi-" + std::to_string(getpid()) + "-" + std::to_string(++count_));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        for (int tries = 0; tries < 5; ++tries) {
            Port = FreePort();
            pid_ = fork();
            if (pid_ == 0) {
                setpgid(0, 0); // the server and its drivers in one group, stopped together
                setenv("HOME", home_.c_str(), 1);
                const std::string log = (home_ / "server.log").string();
                freopen(log.c_str(), "w", stdout);
                freopen(log.c_str(), "a", stderr);
                const std::string port = std::to_string(Port);
                // Its local socket is one name for the whole machine unless given:
                // a second server would give up at once.
                const std::string local = (home_ / "indiserver").string();
                execlp("indiserver", "indiserver", "-p", port.c_str(), "-u", local.c_str(),
                       drivers.c_str(), nullptr);
                _exit(127);
            }
            setpgid(pid_, pid_);
            // A loaded machine may take a while to start the server.
            for (int i = 0; i < 300; ++i) {
                if (Accepts(Port)) return true;
                int status;
                if (waitpid(pid_, &status, WNOHANG) == pid_) break; // port taken: try another
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Stop();
        }
        return false;
    }
    // Ends the server and its drivers at once, as a crash or a pulled cable would.
    void Stop() {
        if (pid_ <= 0) return;
        const pid_t group = pid_;
        pid_ = 0;
        kill(-group, SIGTERM);
        bool gone = false;
        for (int i = 0; i < 50 && !gone; ++i) {
            int status;
            gone = waitpid(group, &status, WNOHANG) == group;
            if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(-group, SIGKILL); // the server if it hung, and any driver left behind
        if (!gone) waitpid(group, nullptr, 0);
    }
    ~Server() {
        Stop();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    int Port = 0;

private:
    pid_t pid_ = 0;
    std::filesystem::path home_;
    static inline int count_ = 0;
};

} // namespace indi
