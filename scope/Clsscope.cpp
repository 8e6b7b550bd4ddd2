#include "scope/Clsscope.h"

#include <libindi/baseclient.h>
#include <libindi/basedevice.h>
#include <libindi/indiproperty.h>
#include <libindi/indipropertynumber.h>
#include <libindi/indipropertyswitch.h>
#include <libindi/indipropertytext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <csignal>
#include <exception>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kHour = kPi / 12.0;
constexpr double kDeg = kPi / 180.0;
// A slew that ends farther than this from its target is made again.
constexpr double kRefine = 15.0 / 3600.0 * kDeg;
} // namespace

// The INDI client of one connection. Its callbacks run on the library's
// listening thread and only hand values to the owner, tagged with the
// connection they belong to.
class TScopeClient : public INDI::BaseClient {
public:
    TScopeClient(TScope& owner, uint64_t generation) : owner_(owner), generation_(generation) {}

    uint64_t Generation() const { return generation_; }
    bool Closing = false;

protected:
    void newProperty(INDI::Property p) override { Look(p); }
    void updateProperty(INDI::Property p) override { Look(p); }
    void removeDevice(INDI::BaseDevice d) override {
        if (Current()) owner_.OnDeviceGone(d.getDeviceName());
    }
    void newMessage(INDI::BaseDevice d, int id) override {
        if (Current()) owner_.OnMessage(d.getDeviceName(), d.messageQueue(id));
    }
    void serverDisconnected(int code) override {
        if (!Closing && Current()) owner_.OnServerLost(code);
    }

private:
    bool Current() const {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        return owner_.generation_ == generation_;
    }
    void Look(INDI::Property p) {
        if (!p.isValid() || !Current()) return;
        const std::string device = p.getDeviceName() ? p.getDeviceName() : "";
        const std::string name = p.getName() ? p.getName() : "";
        if (name == "DRIVER_INFO" && p.getType() == INDI_TEXT) {
            INDI::PropertyText t(p);
            auto* w = t.findWidgetByName("DRIVER_INTERFACE");
            const int bits = w && w->getText() ? std::atoi(w->getText()) : 0;
            owner_.OnDevice(device, (bits & INDI::BaseDevice::TELESCOPE_INTERFACE) != 0);
        } else if (name == "EQUATORIAL_EOD_COORD" && p.getType() == INDI_NUMBER) {
            INDI::PropertyNumber n(p);
            auto* ra = n.findWidgetByName("RA");
            auto* dec = n.findWidgetByName("DEC");
            if (!ra || !dec) return;
            owner_.OnDevice(device, true);
            owner_.OnNumber(device, name, n.getState(), ra->getValue() * kHour,
                            dec->getValue() * kDeg);
        } else if (p.getType() == INDI_SWITCH &&
                   (name == "CONNECTION" || name == "TELESCOPE_PARK" ||
                    name == "TELESCOPE_TRACK_STATE" || name == "TELESCOPE_ABORT_MOTION")) {
            INDI::PropertySwitch s(p);
            auto* on = s.findOnSwitch();
            owner_.OnSwitch(device, name, s.getState(), on && on->getName() ? on->getName() : "");
        }
    }

    TScope& owner_;
    const uint64_t generation_;
};

namespace {
// libindi 1.9 can throw std::system_error from disconnectServer when its
// listening thread ended on its own (the server went away) just as we close:
// the connection is gone either way, and an exception here must not end the
// worker thread, and with it the program.
// libindi writes to its socket without MSG_NOSIGNAL: a server that goes away
// while a command is being written would end the whole program with SIGPIPE
// instead of giving a lost connection. The write's EPIPE is what we want.
// Left alone when someone already chose what SIGPIPE does.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction now {};
        if (::sigaction(SIGPIPE, nullptr, &now) == 0 && now.sa_handler == SIG_DFL)
            std::signal(SIGPIPE, SIG_IGN);
    });
}

void CloseClient(TScopeClient& client) {
    client.Closing = true;
    try {
        client.disconnectServer();
    } catch (const std::exception&) {
    }
}
} // namespace

TScope::TScope() {
    IgnoreBrokenPipes();
    worker_ = std::thread([this] { Run(); });
}

TScope::~TScope() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        commands_.clear();
    }
    SetWake(nullptr);
    wake_.notify_all();
    worker_.join();
}

void TScope::SetWake(std::function<void()> wake) {
    std::lock_guard<std::mutex> lock(wakeMutex_);
    wake_fn_ = std::move(wake);
}

void TScope::Notify() {
    // Held while calling, so that once SetWake(nullptr) returns no call is
    // still running into a receiver that is going away.
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (wake_fn_) wake_fn_();
}

const char* TScope::StateText(TState s) {
    switch (s) {
    case Offline:
        return "not connected";
    case Connecting:
        return "connecting";
    case Waiting:
        return "connected, waiting for the telescope";
    case Tracking:
        return "tracking";
    case Slewing:
        return "slewing";
    case Parking:
        return "parking";
    case Parked:
        return "parked";
    case Stopped:
        return "stopped";
    case Lost:
        return "connection lost";
    }
    return "";
}

void TScope::Queue(TCommand c, bool urgent) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (quit_) return;
        if (urgent)
            commands_.push_front(std::move(c));
        else
            commands_.push_back(std::move(c));
    }
    wake_.notify_all();
}

void TScope::Connect(const std::string& host, int port, const std::string& device) {
    TCommand c{TCommand::Open};
    c.Host = host;
    c.Port = port;
    c.Device = device;
    {
        // Show the attempt at once; the worker may still be busy with the last one.
        std::lock_guard<std::mutex> lock(mutex_);
        device_ = device;
        deviceAsked_ = !device.empty();
        SetState(Connecting, "");
    }
    Queue(c);
}
void TScope::Disconnect() {
    Queue({TCommand::Close});
}
void TScope::Choose(const std::string& device) {
    TCommand c{TCommand::Choose};
    c.Device = device;
    Queue(c);
}
void TScope::Slew(double ra, double dec) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = true;
        targetRa_ = ra;
        targetDec_ = dec;
        refined_ = 0;
    }
    TCommand c{TCommand::Slew};
    c.Ra = ra;
    c.Dec = dec;
    Queue(c);
}
void TScope::Sync(double ra, double dec) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = false;
    }
    TCommand c{TCommand::Sync};
    c.Ra = ra;
    c.Dec = dec;
    Queue(c);
}
void TScope::Abort() {
    {
        // A stop overrides any slew still waiting its turn.
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = false;
        std::erase_if(commands_, [](const TCommand& c) {
            return c.Kind == TCommand::Slew || c.Kind == TCommand::Sync ||
                   c.Kind == TCommand::Park || c.Kind == TCommand::Unpark;
        });
    }
    Queue({TCommand::Abort}, true);
}
void TScope::Park() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target_ = false;
    }
    Queue({TCommand::Park});
}
void TScope::Unpark() {
    Queue({TCommand::Unpark});
}

std::vector<TScope::TEvent> TScope::Take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TEvent> out(events_.begin(), events_.end());
    events_.clear();
    return out;
}

TScope::TState TScope::GetState() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}
std::string TScope::GetReason() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reason_;
}
std::string TScope::GetDevice() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return device_;
}
std::vector<std::string> TScope::GetDevices() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devices_;
}
bool TScope::HasPosition(double& ra, double& dec) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!hasPosition_) return false;
    ra = ra_;
    dec = dec_;
    return true;
}

// Callers hold mutex_.
void TScope::Post(const TEvent& e) {
    // A burst of position reports from a fast server must not grow the queue
    // without bound while the window is busy: keep the newest place only.
    if (e.Kind == TEvent::Position && !events_.empty() && events_.back().Kind == TEvent::Position)
        events_.back() = e;
    else if (events_.size() < 1000)
        events_.push_back(e);
}
void TScope::SetState(TState s, const std::string& reason) {
    if (s == state_ && reason == reason_) return;
    state_ = s;
    reason_ = reason;
    if (s == Connecting || s == Waiting) waitingSince_ = std::chrono::steady_clock::now();
    TEvent e;
    e.Kind = TEvent::State;
    e.NewState = s;
    e.Text = reason;
    Post(e);
}

namespace {
// The mount's state from its properties' states (IPState: 0 idle, 1 ok,
// 2 busy, 3 alert).
TScope::TState Derive(int coordState, int parkState, bool parked, bool tracking) {
    // A busy park switch is a mount on its way: INDI turns PARK on as the
    // motion starts and reports OK only when the mount is there.
    if (parkState == 2) return TScope::Parking;
    if (parked) return TScope::Parked;
    if (coordState == 2) return TScope::Slewing;
    return tracking ? TScope::Tracking : TScope::Stopped;
}
} // namespace

void TScope::OnDevice(const std::string& name, bool isTelescope) {
    bool adopt = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!isTelescope) return;
        for (const auto& d : devices_)
            if (d == name) return;
        devices_.push_back(name);
        TEvent e;
        e.Kind = TEvent::Devices;
        Post(e);
        if (device_.empty() && !deviceAsked_) device_ = name;
        adopt = name == device_;
    }
    if (adopt) {
        // Its connection switch may have come before we knew it for a telescope.
        TCommand c{TCommand::Choose};
        c.Device = name;
        Queue(c);
    }
    Notify();
}

void TScope::OnDeviceGone(const std::string& name) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::erase(devices_, name);
        TEvent e;
        e.Kind = TEvent::Devices;
        Post(e);
        if (name == device_ && state_ != Offline && state_ != Lost) {
            hasPosition_ = false;
            deviceConnected_ = false;
            SetState(Waiting, "the telescope " + name + " left the server");
        }
    }
    Notify();
}

void TScope::OnNumber(const std::string& device, const std::string&, int state, double ra,
                      double dec) {
    bool again = false;
    double againRa = 0.0, againDec = 0.0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (device != device_ || state_ == Offline || state_ == Lost) return;
        if (!std::isfinite(ra) || !std::isfinite(dec)) return;
        coordState_ = state;
        // A driver may report the hour past 24 or a wrapped negative one.
        ra_ = std::fmod(ra, 2 * kPi);
        if (ra_ < 0) ra_ += 2 * kPi;
        dec_ = std::fmax(-kPi / 2, std::fmin(kPi / 2, dec));
        hasPosition_ = true;
        TEvent e;
        e.Kind = TEvent::Position;
        e.Ra = ra_;
        e.Dec = dec_;
        Post(e);
        const TState was = state_;
        if (deviceConnected_) SetState(Derive(coordState_, parkState_, parked_, tracking_), "");
        // Many mounts (the simulator among them) move the axes one after the
        // other and arrive short by the sky's turn in the meantime: go again
        // from close by, which takes a moment, at most twice.
        if (was == Slewing && state_ != Slewing && target_) {
            const double c = std::sin(dec_) * std::sin(targetDec_) +
                             std::cos(dec_) * std::cos(targetDec_) * std::cos(ra_ - targetRa_);
            const double off = std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
            if (off > kRefine && refined_ < 2 && (state_ == Tracking || state_ == Stopped)) {
                ++refined_;
                again = true;
                againRa = targetRa_;
                againDec = targetDec_;
            } else {
                target_ = false;
            }
        }
    }
    if (again) {
        TCommand c{TCommand::Slew};
        c.Ra = againRa;
        c.Dec = againDec;
        Queue(c);
    }
    Notify();
}

void TScope::OnSwitch(const std::string& device, const std::string& property, int state,
                      const std::string& on) {
    bool connectDevice = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (device != device_ || state_ == Offline || state_ == Lost) return;
        if (property == "CONNECTION") {
            const bool was = deviceConnected_;
            deviceConnected_ = on == "CONNECT" && state != 3;
            if (!deviceConnected_ && state != 2) connectDevice = true;
            if (was && !deviceConnected_) {
                hasPosition_ = false;
                SetState(Waiting, "the telescope was disconnected at the server");
            }
        } else if (property == "TELESCOPE_PARK") {
            parkState_ = state;
            parked_ = on == "PARK";
        } else if (property == "TELESCOPE_TRACK_STATE") {
            tracking_ = on == "TRACK_ON";
        }
        if (deviceConnected_ && hasPosition_)
            SetState(Derive(coordState_, parkState_, parked_, tracking_), "");
    }
    if (connectDevice) {
        TCommand c{TCommand::Choose};
        c.Device = device;
        Queue(c);
    }
    Notify();
}

void TScope::OnMessage(const std::string& device, const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!device_.empty() && device != device_) return;
        TEvent e;
        e.Kind = TEvent::Message;
        e.Text = text;
        Post(e);
    }
    Notify();
}

void TScope::OnServerLost(int code) {
    uint64_t generation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = generation_;
    }
    TCommand c{TCommand::Stop};
    c.Generation = generation;
    c.Port = code;
    Queue(c, true);
}

void TScope::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        wake_.wait_for(lock, std::chrono::milliseconds(250),
                       [this] { return quit_ || !commands_.empty(); });
        if (quit_) break;
        if (commands_.empty()) {
            lock.unlock();
            WatchdogCheck();
            lock.lock();
            continue;
        }
        TCommand c = std::move(commands_.front());
        commands_.pop_front();
        lock.unlock();
        Execute(c);
        lock.lock();
    }
    lock.unlock();
    if (client_) {
        CloseClient(*client_);
        client_.reset();
    }
}

void TScope::WatchdogCheck() {
    std::string why;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ != Waiting) return;
        const auto waited = std::chrono::steady_clock::now() - waitingSince_;
        if (waited < std::chrono::seconds(DeviceSeconds)) return;
        const std::string s = std::to_string(DeviceSeconds) + " s";
        if (devices_.empty())
            why = "the server offers no telescope within " + s +
                  " (not an INDI server, or what it sends is malformed)";
        else if (std::find(devices_.begin(), devices_.end(), device_) == devices_.end())
            why = "the server has no telescope named " + device_;
        else
            why = "the telescope " + device_ + " did not answer within " + s;
    }
    Close(false, why);
}

void TScope::Close(bool lost, const std::string& reason) {
    std::unique_ptr<TScopeClient> old;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++generation_; // callbacks of the old connection are ignored from now on
        old = std::move(client_);
        connectSent_.clear();
        devices_.clear();
        hasPosition_ = false;
        deviceConnected_ = false;
        parked_ = false;
        parkState_ = coordState_ = 0;
        tracking_ = true;
        target_ = false;
        TEvent e;
        e.Kind = TEvent::Devices;
        Post(e);
        SetState(lost ? Lost : Offline, reason);
    }
    if (old) {
        CloseClient(*old);
        old.reset();
    }
    Notify();
}

void TScope::Execute(const TCommand& c) {
    auto fail = [this](const std::string& why) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            TEvent e;
            e.Kind = TEvent::Message;
            e.Text = why;
            Post(e);
        }
        Notify();
    };
    std::string device;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        device = device_;
    }

    switch (c.Kind) {
    case TCommand::Open: {
        if (client_) Close(false, "");
        uint64_t generation;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            generation = generation_;
            device_ = c.Device;
            deviceAsked_ = !c.Device.empty();
            SetState(Connecting, "");
        }
        Notify();
        auto client = std::make_unique<TScopeClient>(*this, generation);
        client->setServer(c.Host.c_str(), static_cast<unsigned>(c.Port));
        client->setConnectionTimeout(static_cast<uint32_t>(ConnectSeconds), 0);
        client->setVerbose(false);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            client_ = std::move(client);
        }
        const bool ok = client_->connectServer();
        if (!ok) {
            Close(false, "no INDI server answers at " + c.Host + ":" + std::to_string(c.Port));
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (generation_ == generation && state_ == Connecting) SetState(Waiting, "");
        }
        Notify();
        return;
    }
    case TCommand::Close:
        Close(false, "");
        return;
    case TCommand::Stop: {
        bool current;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            current = c.Generation == generation_ && client_;
        }
        if (!current) return;
        Close(true, c.Port == 0 ? "the server closed the connection"
                                : "the connection to the server broke off (the server stopped, or "
                                  "it sent something that is not INDI)");
        return;
    }
    case TCommand::Choose: {
        if (!client_) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (c.Device != device_) {
                device_ = c.Device;
                deviceAsked_ = true;
                hasPosition_ = false;
                deviceConnected_ = false;
                parked_ = false;
                parkState_ = coordState_ = 0;
                tracking_ = true;
                SetState(Waiting, "");
            }
        }
        INDI::BaseDevice d = client_->getDevice(c.Device.c_str());
        if (!d.isValid()) return;
        if (d.isConnected()) {
            // Already running at the server: take its properties as they stand.
            for (const char* name : {"CONNECTION", "TELESCOPE_PARK", "TELESCOPE_TRACK_STATE"}) {
                INDI::PropertySwitch s = d.getSwitch(name);
                if (!s.isValid()) continue;
                auto* on = s.findOnSwitch();
                OnSwitch(c.Device, name, s.getState(), on && on->getName() ? on->getName() : "");
            }
            INDI::PropertyNumber n = d.getNumber("EQUATORIAL_EOD_COORD");
            auto* ra = n.isValid() ? n.findWidgetByName("RA") : nullptr;
            auto* dec = n.isValid() ? n.findWidgetByName("DEC") : nullptr;
            if (ra && dec)
                OnNumber(c.Device, "EQUATORIAL_EOD_COORD", n.getState(), ra->getValue() * kHour,
                         dec->getValue() * kDeg);
        } else if (connectSent_ != c.Device) {
            // Once per connection: a driver that fails to connect says so,
            // and asking again at its own pace would only repeat that.
            connectSent_ = c.Device;
            client_->connectDevice(c.Device.c_str());
        }
        return;
    }
    default:
        break;
    }

    // Commands to the telescope.
    if (!client_ || device.empty()) {
        fail("no telescope is connected");
        return;
    }
    INDI::BaseDevice d = client_->getDevice(device.c_str());
    if (!d.isValid() || !d.isConnected()) {
        fail("the telescope " + device + " is not ready");
        return;
    }
    auto press = [&](const char* property, const char* element) {
        INDI::PropertySwitch s = d.getSwitch(property);
        if (!s.isValid() || !s.findWidgetByName(element)) {
            fail(std::string("the telescope ") + device + " has no " + property + "." + element);
            return false;
        }
        s.reset();
        s.findWidgetByName(element)->setState(ISS_ON);
        client_->sendNewSwitch(s);
        return true;
    };
    switch (c.Kind) {
    case TCommand::Slew:
    case TCommand::Sync: {
        if (!press("ON_COORD_SET", c.Kind == TCommand::Sync ? "SYNC" : "TRACK")) return;
        INDI::PropertyNumber n = d.getNumber("EQUATORIAL_EOD_COORD");
        auto* ra = n.isValid() ? n.findWidgetByName("RA") : nullptr;
        auto* dec = n.isValid() ? n.findWidgetByName("DEC") : nullptr;
        if (!ra || !dec) {
            fail("the telescope " + device + " takes no equatorial coordinates");
            return;
        }
        double hours = std::fmod(c.Ra / kHour, 24.0);
        if (hours < 0) hours += 24.0;
        ra->setValue(hours);
        dec->setValue(c.Dec / kDeg);
        client_->sendNewNumber(n);
        return;
    }
    case TCommand::Abort:
        press("TELESCOPE_ABORT_MOTION", "ABORT");
        return;
    case TCommand::Park:
        press("TELESCOPE_PARK", "PARK");
        return;
    case TCommand::Unpark:
        press("TELESCOPE_PARK", "UNPARK");
        return;
    default:
        return;
    }
}
