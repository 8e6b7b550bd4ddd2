// TScope: one connection to an INDI server and one telescope on it.
//
// Every network operation (connecting, sending, waiting for the server) runs
// on the unit's own worker thread or on the INDI client's listening thread;
// the caller's thread only queues commands and takes events. After each new
// event the unit calls Wake (from one of its own threads), which a window
// turns into a queued call of its own that then drains Take().
//
// Coordinates are radians of the equator and equinox of date, as INDI's
// EQUATORIAL_EOD_COORD carries them (in hours and degrees).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TScopeClient;

class TScope {
public:
    enum TState {
        Offline,    // not connected (Reason says why, when there is one)
        Connecting, // reaching the server
        Waiting,    // connected to the server, the telescope not ready yet
        Tracking,   // pointing, following the sky
        Slewing,    // moving to a target
        Parking,
        Parked,
        Stopped, // pointing, not tracking
        Lost     // the connection broke under us
    };

    struct TEvent {
        enum TKind {
            State,    // State and Reason changed
            Devices,  // the list of telescope devices changed
            Position, // the mount reported its place (Ra, Dec)
            Message   // a text from the server or its driver
        } Kind = State;
        TState NewState = Offline;
        std::string Text; // the reason or the message
        double Ra = 0.0, Dec = 0.0;
    };

    TScope();
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

    // The call made from the unit's threads after an event was queued; it
    // must not block nor call back into this object. After SetWake(nullptr)
    // returns, it is not running and will not be called again.
    void SetWake(std::function<void()> wake);
    // Seconds allowed for reaching the server, and for a telescope device to
    // show up and answer after that, before the attempt counts as failed.
    int ConnectSeconds = 4;
    int DeviceSeconds = 8;

    // Queue a connection to host:port; device empty takes the first
    // telescope the server offers. Any connection before is closed first.
    void Connect(const std::string& host, int port, const std::string& device);
    void Disconnect();
    // Switch to another telescope of the same server.
    void Choose(const std::string& device);
    void Slew(double ra, double dec);
    void Sync(double ra, double dec);
    // Stop any motion; goes ahead of every queued command.
    void Abort();
    void Park();
    void Unpark();

    // Events since the last call, oldest first.
    std::vector<TEvent> Take();

    // Snapshot of what the unit knows now (safe from any thread).
    TState GetState() const;
    std::string GetReason() const;
    std::string GetDevice() const;
    std::vector<std::string> GetDevices() const;
    bool HasPosition(double& ra, double& dec) const;

    static const char* StateText(TState s);

private:
    friend class TScopeClient;
    struct TCommand {
        enum TKind { Open, Close, Choose, Slew, Sync, Abort, Park, Unpark, Stop } Kind;
        TCommand(TKind kind) : Kind(kind) {}
        std::string Host, Device;
        int Port = 0;
        double Ra = 0.0, Dec = 0.0;
        uint64_t Generation = 0;
    };

    void Queue(TCommand c, bool urgent = false);
    void Run();
    void Execute(const TCommand& c);
    void Close(bool lost, const std::string& reason);
    void Post(const TEvent& e);
    void SetState(TState s, const std::string& reason);
    void WatchdogCheck();
    void Notify();

    // Called on the client's listening thread.
    void OnDevice(const std::string& name, bool isTelescope);
    void OnDeviceGone(const std::string& name);
    void OnNumber(const std::string& device, const std::string& property, int state, double ra,
                  double dec);
    void OnSwitch(const std::string& device, const std::string& property, int state,
                  const std::string& on);
    void OnMessage(const std::string& device, const std::string& text);
    void OnServerLost(int code);

    std::mutex wakeMutex_;
    std::function<void()> wake_fn_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<TCommand> commands_;
    std::deque<TEvent> events_;
    std::thread worker_;
    bool quit_ = false;

    // Guarded by mutex_.
    TState state_ = Offline;
    std::string reason_;
    std::string device_;       // the telescope in use (or wanted)
    bool deviceAsked_ = false; // device_ was named by the caller
    std::vector<std::string> devices_;
    bool hasPosition_ = false;
    double ra_ = 0.0, dec_ = 0.0;
    int coordState_ = 0, parkState_ = 0, trackState_ = 0;
    bool parked_ = false, tracking_ = true;
    bool deviceConnected_ = false;
    bool target_ = false; // a slew in progress, made again if it ends short
    double targetRa_ = 0.0, targetDec_ = 0.0;
    int refined_ = 0;
    uint64_t generation_ = 0; // one per connection; stale callbacks are ignored
    std::chrono::steady_clock::time_point waitingSince_;

    // Worker thread only.
    std::unique_ptr<TScopeClient> client_;
    std::string connectSent_; // the device asked to connect on this connection
};
