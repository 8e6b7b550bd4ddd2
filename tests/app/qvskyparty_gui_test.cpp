// A commander window and a receiver's chart window in one process, sharing a
// temporary folder: the receiver's chart follows Sync, Goto and Stop within one
// look into the folder, ignores other stations' files and files older than its
// start, skips damaged files with a line in its log, and does not apply a file
// again after a restart. The clock is set by hand and the timers are stepped;
// only the look into the folder runs on a thread of its own.
#include "app/Clssearchlist.h"
#include "app/Qvsky.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "party/Partycommand.h"
#include "party/Partysettings.h"
#include "party/Qvcommander.h"
#include "render/Clsatlas.h"
#include "Fulldisk.h"
#include "Partytest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kRaTol = 0.05 / 3600 * 15 * kDeg, kDecTol = 0.05 / 3600 * kDeg;

class PartyReceiver : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("receiver_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "share");
        fs::create_directories(dir_ / "user");
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2026, 3, 20, 12, 0, 0);
        clock_ = clock.get();
        SetClock(std::move(clock));

        commanderSettings_.Mode = 3;
        commanderSettings_.Folder = (dir_ / "share").string() + "/";
        commanderSettings_.Ids[0] = "S000123";
        commanderSettings_.Ids[1] = "S00012"; // another participant, an ID's prefix
        commander_ = std::make_unique<TfrmCommander>();
        commander_->Party = &commanderSettings_;
        commander_->Beep = [] {};
        commander_->View = [this] { return view_; };
    }
    void TearDown() override {
        sky_.reset();
        commander_.reset();
        SetClock(nullptr);
        fs::remove_all(dir_);
    }
    std::string SettingsPath() const { return (dir_ / "user" / "StarParty.dat").string(); }

    // A receiver's chart window as the program makes one, its party settings
    // read from the user folder.
    void StartReceiver() {
        std::string why;
        ASSERT_TRUE(receiverSettings_.Load(SettingsPath(), why)) << why;
        sky_ = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                           QSize(1024, 768));
        sky_->UserFolder = (dir_ / "user").string();
        sky_->SetTimers([this] {
            auto t = std::make_unique<TSteppedTimer>();
            timers_.push_back(t.get());
            return t;
        });
        auto poll = std::make_unique<TSteppedTimer>();
        poll_ = poll.get();
        sky_->SetPartyTimer(std::move(poll));
        sky_->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                               std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0, n = "Tokyo";
        };
        sky_->Ask = [this](int, const std::string& t) {
            asked_.push_back(t);
            return 10003;
        };
        sky_->Party = &receiverSettings_;
        sky_->SaveParty = [this](std::string& why) {
            return receiverSettings_.Save(SettingsPath(), why);
        };
        sky_->CloseNavigation = [this] { ++closed_; };
        sky_->OpenNavigation = [this](double, double, double, const std::string& name) {
            opened_.push_back(name);
        };
        sky_->resize(1000, 800);
        sky_->show();
        QApplication::processEvents();
    }
    // One poll period: the look into the folder, and its result back on the window's thread.
    void Poll() {
        poll_->Advance(TfrmQVSKY::kPartyPoll);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !sky_->PartyPollRunning(); }, 10000));
    }
    void Pass(int ms) {
        for (TSteppedTimer* t : timers_)
            t->Advance(ms);
    }
    void Later(int seconds) { clock_->Ms += seconds * 1000LL; }
    std::string Log() const { return ReadAll(dir_ / "user" / "Receiver.log"); }

    fs::path dir_;
    TFixedClock* clock_ = nullptr;
    TPartySettings commanderSettings_, receiverSettings_;
    std::unique_ptr<TfrmCommander> commander_;
    std::unique_ptr<TfrmQVSKY> sky_;
    std::vector<TSteppedTimer*> timers_;
    TSteppedTimer* poll_ = nullptr;
    TPartyView view_;
    std::vector<std::string> asked_, opened_;
    int closed_ = 0;
};

} // namespace

TEST_F(PartyReceiver, ChartFollowsTheCommandersFilesOnceEach) {
    // Sent before the receiver first started: never applied.
    view_.Ra = 1.0, view_.Dec = 0.5, view_.Scale = 3375;
    commander_->SendSync("S000123");
    Later(5);
    TPartySettings first;
    first.Mode = 2;
    first.Folder = commanderSettings_.Folder;
    first.OwnId = "S000123";
    std::string why;
    ASSERT_TRUE(first.Save(SettingsPath(), why)) << why;
    StartReceiver();
    const double startRa = sky_->CenterRa;
    Poll();
    EXPECT_NEAR(sky_->CenterRa, startRa, 1e-12);
    EXPECT_EQ(sky_->labParty->text().toStdString(), "Receiver: S000123, last command ---");
    EXPECT_TRUE(sky_->labParty->isVisible());

    // Sync in stepped time, and one for another station in the same second.
    Later(1);
    view_.Ra = (5 + 35 / 60.0 + 17.3 / 3600) * 15 * kDeg;
    view_.Dec = -(5 + 23 / 60.0 + 28.4 / 3600) * kDeg;
    view_.Scale = 5062;
    view_.AutoDrive = 0;
    view_.Year = 2001, view_.Month = 5, view_.Day = 9, view_.Hour = 21, view_.Minute = 30;
    view_.Sens = -2;
    const int disp[8] = {0, 1, 1, 1, 0, 1, 0, 0};
    std::copy(disp, disp + 8, view_.Disp);
    commander_->SendSync("S000123");
    TPartyView other = view_;
    view_.Scale = 300, view_.Sens = 5;
    commander_->SendSync("S00012");
    view_ = other;
    const int historyBefore = sky_->History.Index();
    const int recomputes = sky_->Recomputes;
    Poll();
    EXPECT_NEAR(sky_->CenterRa, view_.Ra, kRaTol);
    EXPECT_NEAR(sky_->CenterDec, view_.Dec, kDecTol);
    EXPECT_EQ(sky_->Scale, 5062);
    EXPECT_EQ(sky_->Sensitivity, -2);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(sky_->Switch[k], disp[k]) << k;
    EXPECT_FALSE(sky_->AutoDrive);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2001/05/09");
    EXPECT_EQ(sky_->clkCal->GetHour() * 100 + sky_->clkCal->GetMinute(), 2130);
    // 21:30 in Tokyo (UT+9) is 12:30 UT; 2001-05-09 is MJD 51910 + 128.
    EXPECT_NEAR(sky_->Mjd.GetMJD(), 52038 + 12.5 / 24, 1e-7);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 52038 + 12.5 / 24, 1e-7);
    EXPECT_EQ(sky_->Recomputes, recomputes + 1);
    EXPECT_EQ(sky_->History.Index(), historyBefore + 1);
    const std::string stamp = TPartyCommand::LocalStamp(clock_->Ms);
    EXPECT_EQ(sky_->labParty->text().toStdString(),
              "Receiver: S000123, last command " + stamp.substr(8, 2) + ":" + stamp.substr(10, 2) +
                  ":" + stamp.substr(12, 2));

    // Goto in stepped time: selected and centred, no navigation.
    const int m42 = TSearchList::MessierRecord(*sky_->Nebula, 42);
    ASSERT_GE(m42, 0);
    view_.ObjKind = 4, view_.ObjNo = m42;
    commander_->SendGoto("S000123");
    Poll();
    EXPECT_NEAR(sky_->CenterRa, (*sky_->Nebula)[m42].ra, 1e-12);
    EXPECT_NEAR(sky_->CenterDec, (*sky_->Nebula)[m42].dec, 1e-12);
    EXPECT_EQ(sky_->PicKind, 4);
    EXPECT_EQ(sky_->PicIndex, m42);
    EXPECT_NE(sky_->PicName.find("M42"), std::string::npos) << sky_->PicName;
    Pass(200);
    EXPECT_TRUE(opened_.empty());

    // A Sync to NOW, a damaged file and a Goto to a star in one look: the
    // damage stops nothing after it.
    Later(1);
    view_.AutoDrive = 1, view_.Scale = 1500, view_.Sens = 0;
    commander_->SendSync("S000123");
    commander_->MakeCommandFileName("S000123"); // the name a hand-made file takes
    std::ofstream(commanderSettings_.Folder + "S000123-" + TPartyCommand::LocalStamp(clock_->Ms) +
                      "1.pty",
                  std::ios::binary)
        << "CENTER , 25h00m00.0s , 0.00m00.0s\r\n";
    const int star = 3;
    view_.ObjKind = 2, view_.ObjNo = star;
    commander_->SendGoto("S000123");
    Poll();
    EXPECT_TRUE(sky_->AutoDrive);
    EXPECT_EQ(sky_->Scale, 1500);
    EXPECT_NEAR(sky_->CenterRa, (*sky_->Star)[star].ra, 1e-12);
    EXPECT_NEAR(sky_->CenterDec, (*sky_->Star)[star].dec, 1e-12);
    EXPECT_EQ(sky_->PicKind, 2);
    EXPECT_EQ(sky_->PicIndex, star);
    Pass(100); // the navigation start, from the event loop
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], sky_->NaviName);
    EXPECT_NE(opened_[0], "-----");
    // An object this station lacks.
    Later(1);
    const int noStar = sky_->Star->Count + (sky_->DeepStar ? sky_->DeepStar->Count : 0);
    view_.ObjKind = 2, view_.ObjNo = noStar;
    commander_->SendGoto("S000123");
    Poll();
    EXPECT_NEAR(sky_->CenterRa, (*sky_->Star)[star].ra, 1e-12);
    const std::string log = Log();
    EXPECT_NE(log.find("0.pty: SYNC"), std::string::npos) << log;
    EXPECT_NE(log.find("1.pty: skipped, line 1: bad right ascension"), std::string::npos) << log;
    EXPECT_NE(log.find("2.pty: GOTO"), std::string::npos) << log;
    EXPECT_NE(log.find("0.pty: skipped, object 2 , " + std::to_string(noStar) +
                       " is not in this station's catalogues"),
              std::string::npos)
        << log;
    EXPECT_TRUE(asked_.empty()); // a receiver is never stopped by a message

    commander_->SendStop("S000123");
    const int closedBefore = closed_;
    Poll();
    EXPECT_EQ(closed_, closedBefore + 1);

    // A look that has not come back makes the next one wait its turn.
    poll_->Advance(TfrmQVSKY::kPartyPoll);
    poll_->Advance(TfrmQVSKY::kPartyPoll);
    EXPECT_EQ(sky_->PartyPollsSkipped, 1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !sky_->PartyPollRunning(); }, 10000));

    // A restart applies nothing again, and then the next command.
    const std::string kept = ReadAll(SettingsPath());
    sky_.reset();
    StartReceiver();
    const double restartRa = sky_->CenterRa;
    const int restartRecomputes = sky_->Recomputes;
    Poll();
    EXPECT_NEAR(sky_->CenterRa, restartRa, 1e-12);
    EXPECT_EQ(sky_->Recomputes, restartRecomputes);
    EXPECT_EQ(ReadAll(SettingsPath()), kept);
    Later(1);
    view_.Ra = 2.0, view_.Dec = -0.25;
    commander_->SendSync("S000123");
    Poll();
    EXPECT_NEAR(sky_->CenterRa, 2.0, kRaTol);
    EXPECT_NEAR(sky_->CenterDec, -0.25, kDecTol);
    // The files are left as they were for the other stations.
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_ / "share"))
        files += e.path().extension() == ".pty";
    EXPECT_EQ(files, 10);
}

TEST_F(PartyReceiver, AFolderThatCannotBeReadIsShownAndLogged) {
    TPartySettings s;
    s.Mode = 2;
    s.Folder = (dir_ / "gone").string() + "/";
    s.OwnId = "S000123";
    std::string why;
    ASSERT_TRUE(s.Save(SettingsPath(), why)) << why;
    StartReceiver();
    Poll();
    const std::string status = sky_->labParty->text().toStdString();
    EXPECT_EQ(status.rfind("Receiver: S000123, the folder cannot be read: ", 0), 0u) << status;
    Poll();
    const std::string log = Log();
    // Said once, not at every look.
    EXPECT_EQ(log.find("cannot be read"), log.rfind("cannot be read")) << log;
    // Once the folder is there, its first look takes what is there as done;
    // then commands flow.
    fs::create_directories(dir_ / "gone");
    commanderSettings_.Folder = s.Folder;
    Poll();
    EXPECT_NE(Log().find("the folder can be read again"), std::string::npos) << Log();
    Later(1);
    view_.Ra = 0.75;
    commander_->SendSync("S000123");
    Poll();
    EXPECT_NEAR(sky_->CenterRa, 0.75, kRaTol);
    EXPECT_EQ(sky_->labParty->text().toStdString().find("cannot"), std::string::npos);
    // A look that comes back after the folder was changed applies nothing:
    // the new folder's commands are judged from the new start.
    Later(1);
    view_.Ra = 1.25;
    commander_->SendSync("S000123");
    poll_->Advance(TfrmQVSKY::kPartyPoll);
    receiverSettings_.Folder = commanderSettings_.Folder + "elsewhere/";
    receiverSettings_.LastStamp.clear();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !sky_->PartyPollRunning(); }, 10000));
    EXPECT_NEAR(sky_->CenterRa, 0.75, kRaTol);
    // Out of Receiver mode the status line goes and no look is made.
    receiverSettings_.Mode = 1;
    poll_->Advance(TfrmQVSKY::kPartyPoll);
    EXPECT_FALSE(sky_->PartyPollRunning());
    EXPECT_FALSE(sky_->labParty->isVisible());
}

namespace {

// A receiver following S000123 in a folder of its own, its first look done.
class HostileFolder : public PartyReceiver {
protected:
    void SetUp() override {
        PartyReceiver::SetUp();
        TPartySettings s;
        s.Mode = 2;
        s.Folder = commanderSettings_.Folder;
        s.OwnId = "S000123";
        std::string why;
        ASSERT_TRUE(s.Save(SettingsPath(), why)) << why;
    }
    void Start() {
        StartReceiver();
        Poll();
    }
    std::string Status() const { return sky_->labParty->text().toStdString(); }
    std::string Named(int seq) const {
        return commanderSettings_.Folder + "S000123-" + TPartyCommand::LocalStamp(clock_->Ms) +
               std::to_string(seq) + ".pty";
    }
};

} // namespace

// A FIFO named like this station's next command file, and one as
// Receiver.log: the look neither blocks nor holds the window, the status line
// says the log cannot be written, and a Sync 5 s later is applied.
TEST_F(HostileFolder, FifosNeitherBlockTheLookNorTheWindow) {
    ASSERT_EQ(mkfifo((dir_ / "user" / "Receiver.log").c_str(), 0600), 0);
    Start();
    Later(1);
    ASSERT_EQ(mkfifo(Named(0).c_str(), 0600), 0);
    Poll();
    // Each failure it logs is named on the line, until a command is applied.
    EXPECT_EQ(Status(), "Receiver: S000123, last command ---; Receiver.log cannot be written; "
                        "skipped " + fs::path(Named(0)).filename().string());
    Later(5);
    view_.Ra = 1.5;
    commander_->SendSync("S000123");
    Poll();
    EXPECT_NEAR(sky_->CenterRa, 1.5, kRaTol);
    const std::string stamp = TPartyCommand::LocalStamp(clock_->Ms);
    EXPECT_EQ(Status(), "Receiver: S000123, last command " + stamp.substr(8, 2) + ":" +
                            stamp.substr(10, 2) + ":" + stamp.substr(12, 2) +
                            "; Receiver.log cannot be written");
    EXPECT_NE(sky_->labParty->toolTip().toStdString().find("Receiver.log"), std::string::npos);
}

// A command file that is a link to a local file is not followed: what the
// log says is that it is a link, not the linked file's first line.
TEST_F(HostileFolder, ALinkAsCommandFileIsNotFollowed) {
    const fs::path local = dir_ / "user" / "passwd";
    std::ofstream(local, std::ios::binary) << "root:x:0:0:root:/root:/bin/bash\n";
    Start();
    Later(1);
    fs::create_symlink(local, Named(0));
    Poll();
    const std::string log = Log();
    EXPECT_NE(log.find("0.pty: skipped, a symbolic link, not followed"), std::string::npos) << log;
    EXPECT_EQ(log.find("root"), std::string::npos) << log;
}

// A user pressing a key every 10 ms, whatever the window is doing: a thread
// of its own posts the keys while probing is on, and the window's own filter
// notes how long each waited before the window had it.
class TKeyProbe : public QObject {
public:
    explicit TKeyProbe(QWidget* window) : window_(window) {
        clock_.start();
        window_->installEventFilter(this);
        typist_ = std::thread([this] {
            while (!end_) {
                {
                    std::lock_guard<std::mutex> g(lock_);
                    if (on_ && waiting_ < 3) {
                        ++waiting_;
                        auto* key = new QKeyEvent(QEvent::KeyPress, Qt::Key_F24, Qt::NoModifier);
                        key->setTimestamp(static_cast<quint64>(clock_.elapsed()));
                        QCoreApplication::postEvent(window_, key);
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~TKeyProbe() override {
        end_ = true;
        typist_.join();
        Off();
        window_->removeEventFilter(this);
    }
    void On() {
        std::lock_guard<std::mutex> g(lock_);
        on_ = true;
    }
    // No key left waiting once the test goes on with work of its own.
    void Off() {
        {
            std::lock_guard<std::mutex> g(lock_);
            on_ = false;
        }
        EXPECT_TRUE(QTest::qWaitFor([this] { return waiting_ == 0; }, 10000));
    }
    qint64 Longest() const { return longest_; }
    int Answered() const { return answered_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o != window_ || e->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent*>(e)->key() != Qt::Key_F24)
            return false;
        const qint64 sent = static_cast<qint64>(static_cast<QKeyEvent*>(e)->timestamp());
        longest_ = std::max(longest_, clock_.elapsed() - sent);
        ++answered_;
        --waiting_;
        return true; // the probe's own key, not the chart's
    }

private:
    QWidget* window_;
    QElapsedTimer clock_;
    std::mutex lock_;
    bool on_ = false;
    std::atomic<int> waiting_{0};
    std::atomic<bool> end_{false};
    std::thread typist_;
    qint64 longest_ = 0;
    int answered_ = 0;
};

// 2000 Sync files, each on a day of its own (so each moves the stars), come
// in four batches, with a look after each: every look applies the newest
// alone, the stars' places for its date worked out during the look, the window has every key a user presses meanwhile within a fraction
// of a second, the receiver ends on the very newest Sync, and Receiver.log
// stays under its cap with one previous file kept.
TEST_F(HostileFolder, AFloodEndsOnTheNewestSyncWithoutHoldingTheWindow) {
    Start();
    sky_->PartyLogCap = 1024;
    Later(1);
    TPartyCommand flood;
    TPartyView v = view_;
    v.AutoDrive = 0;
    TKeyProbe keys(sky_.get());
    int recomputes = sky_->Recomputes;
    ASSERT_NE(sky_->Star->Motions, nullptr) << sky_->Star->MotionError;
    const std::uint32_t prepared = sky_->Star->PreparedMoves;
    for (int batch = 0, k = 0; batch < 4; ++batch) {
        for (int end = k + 500; k < end; ++k) {
            v.Ra = 0.001 * k;
            v.Scale = 300 + k;
            v.Year = 2000 + k / 336, v.Month = 1 + k / 28 % 12, v.Day = 1 + k % 28;
            v.Hour = 21, v.Minute = k % 60;
            std::string bytes;
            for (const std::string& l : TPartyCommand::SyncLines(v))
                bytes += l + "\r\n";
            std::ofstream(flood.MakeCommandFileName(commanderSettings_.Folder, "S000123",
                                                    clock_->Ms + k * 10),
                          std::ios::binary)
                << bytes;
        }
        keys.On();
        Poll();
        QTest::qWait(50); // keys between the looks as well
        keys.Off();
        EXPECT_EQ(sky_->Scale, 300 + k - 1);
        EXPECT_EQ(sky_->Recomputes, ++recomputes);
    }
    // Each Sync's date moved the stars by places worked out during the look,
    // not on the window's thread.
    EXPECT_EQ(sky_->Star->PreparedMoves, prepared + 4);
    EXPECT_NEAR(sky_->CenterRa, 1.999, kRaTol);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2005/12/12");
    EXPECT_EQ(sky_->clkCal->GetHour() * 100 + sky_->clkCal->GetMinute(), 2119);
    // A freeze check, not a speed measurement (bench/party_bench measures
    // what a Sync costs): room for a loaded machine.
    EXPECT_GT(keys.Answered(), 8);
    EXPECT_LT(keys.Longest(), 300);
    std::cout << "longest wait of a key during the flood: " << keys.Longest() << " ms ("
              << keys.Answered() << " keys)\n";
    for (int k = 0; k < 3; ++k) {
        Later(1);
        commander_->SendStop("S000123");
        Poll();
    }
    EXPECT_LE(fs::file_size(dir_ / "user" / "Receiver.log"), 1024u);
    EXPECT_TRUE(fs::exists(dir_ / "user" / "Receiver.log.1"));
}

// A receiver that cannot save its mark or write its log says so on its
// status line, and goes on following from memory.
TEST_F(HostileFolder, CannotSaveOrLogIsShownAndFollowingGoesOn) {
    StartReceiver();
    sky_->SaveParty = [this](std::string& why) {
        return receiverSettings_.Save((dir_ / "user" / "full" / "StarParty.dat").string(), why);
    };
    Poll();
    EXPECT_EQ(Status(), "Receiver: S000123, last command ---; StarParty.dat cannot be saved");
    std::ofstream(dir_ / "user" / "Receiver.log", std::ios::binary | std::ios::app)
        << std::string(5000, 'x') << "\n";
    {
        TFullDisk full;
        ASSERT_TRUE(full.Full());
        sky_->PartyLogCap = 1 << 20; // no rotation to make room
        Later(1);
        view_.Ra = 2.5;
        commander_->SendSync("S000123");
        Poll();
    }
    EXPECT_NEAR(sky_->CenterRa, 2.5, kRaTol);
    const std::string status = Status();
    EXPECT_NE(status.find("; StarParty.dat cannot be saved; Receiver.log cannot be written"),
              std::string::npos)
        << status;
    // Room again: the next look saves and logs, and the line is clear.
    sky_->SaveParty = [this](std::string& why) {
        return receiverSettings_.Save(SettingsPath(), why);
    };
    Later(1);
    commander_->SendStop("S000123");
    Poll();
    EXPECT_EQ(Status().find("cannot"), std::string::npos) << Status();
}

// The receiver's status file reaches the commander's row: the last applied
// command and its age while it follows, and a mark once it falls behind.
TEST_F(HostileFolder, CommanderRowShowsWhatTheReceiverApplied) {
    commander_->show();
    auto rows = [this] {
        commander_->RefreshRows();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !commander_->RowsRunning(); }, 10000));
        return commander_->labState[0]->text().toStdString();
    };
    EXPECT_EQ(rows(), "not seen");
    EXPECT_EQ(commander_->labState[1]->text().toStdString(), "not seen");
    Start();
    Later(1);
    commander_->SendSync("S000123");
    const std::string sent = TPartyCommand::LocalStamp(clock_->Ms);
    Poll();
    Later(6); // the status file is rewritten at most every 5 s
    Poll();
    const std::string hms = sent.substr(8, 2) + ":" + sent.substr(10, 2) + ":" + sent.substr(12, 2);
    EXPECT_EQ(rows(), "SYNC " + hms + ", 6 s");
    EXPECT_NE(commander_->labState[0]->toolTip().toStdString().find("S000123: following"),
              std::string::npos)
        << commander_->labState[0]->toolTip().toStdString();
    // The receiver goes away; the commander sends on.
    sky_.reset();
    Later(1);
    commander_->SendGoto("S000123");
    commander_->SendStop("S000123");
    EXPECT_EQ(rows(), "! 2 behind, SYNC " + hms + ", 7 s");
    // A command that is not written says so on the row.
    commanderSettings_.Folder = (dir_ / "gone").string() + "/";
    commander_->SendStop("S000123");
    EXPECT_EQ(commander_->labState[0]->text().toStdString(),
              "! not written: No such file or directory");
}

// The status file deleted, made impossible to write, or written by another
// station under this ID: each is found within one poll, written anew where it
// can be, said in the log once and named on the status line; the commander's
// row tells of the second station.
TEST_F(HostileFolder, StatusFileLostFailedOrTakenIsFoundWithinOnePoll) {
    const fs::path status = dir_ / "share" / "Receiver-S000123.txt";
    auto count = [](const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    Start();
    Later(6);
    Poll();
    ASSERT_TRUE(fs::exists(status));
    fs::remove(status);
    Poll();
    EXPECT_TRUE(fs::exists(status));
    EXPECT_NE(Log().find("Receiver-S000123.txt was missing: written anew"), std::string::npos)
        << Log();

    fs::remove(status);
    fs::create_directory(status);
    Poll();
    Poll();
    EXPECT_NE(Status().find("; the status file cannot be written"), std::string::npos) << Status();
    EXPECT_EQ(count(Log(), "Receiver-S000123.txt cannot be written: "), 1u) << Log();
    fs::remove(status);
    Poll();
    EXPECT_TRUE(fs::is_regular_file(status));
    EXPECT_EQ(Status().find("status file"), std::string::npos) << Status();
    EXPECT_NE(Log().find("Receiver-S000123.txt can be written again"), std::string::npos);

    std::ofstream(status, std::ios::binary | std::ios::trunc)
        << "ID=S000123\nStation=garden-2\nState=following\n";
    Poll();
    EXPECT_NE(Log().find("another station (garden-2) also receives as S000123"), std::string::npos)
        << Log();
    EXPECT_NE(Status().find("; another station uses this ID"), std::string::npos) << Status();
    Later(6);
    Poll();
    commander_->show();
    commander_->RefreshRows();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !commander_->RowsRunning(); }, 10000));
    EXPECT_EQ(commander_->labState[0]->text().toStdString().substr(0, 16), "! two stations, ");
    EXPECT_NE(commander_->labState[0]->toolTip().toStdString().find(
                  "another station receives as this ID: garden-2"),
              std::string::npos)
        << commander_->labState[0]->toolTip().toStdString();
}

// Another commander's bytes turn up under the name of this commander's latest
// command (a sync engine settled a conflict for the other): the command goes
// again under a new name and the row says so. A station that has not handled
// the latest command after a few polls is shown behind.
TEST_F(HostileFolder, ReplacedCommandIsSentAgainAndALaggingStationIsShown) {
    commander_->show();
    auto rows = [this] {
        commander_->RefreshRows();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !commander_->RowsRunning(); }, 10000));
        return commander_->labState[0]->text().toStdString();
    };
    Start();
    Later(1);
    view_.ObjKind = 3, view_.ObjNo = 4;
    commander_->SendGoto("S000123");
    const std::string first = Named(0);
    std::ofstream(first, std::ios::binary | std::ios::trunc) << "STOP\r\n";
    EXPECT_EQ(rows().substr(0, 14), "! sent again, ");
    EXPECT_EQ(ReadAll(Named(1)), "OBJECT , 3 , 4\r\nGOTO\r\n");
    EXPECT_EQ(commander_->Log().Lines().back(),
              "AGAIN S000123: " + fs::path(first).filename().string() + " was replaced");
    Later(11);
    EXPECT_EQ(rows().substr(0, 27), "! sent again, ! 11 s behind");
    Poll();
    Later(6); // its status file, at the next poll
    Poll();
    const std::string row = rows();
    EXPECT_EQ(row.find("behind"), std::string::npos) << row;
    EXPECT_NE(row.find("GOTO"), std::string::npos) << row;
}
