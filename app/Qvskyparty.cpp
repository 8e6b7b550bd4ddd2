// The chart window as a star-party receiver: every 2 s, in Receiver mode, a
// look into the shared folder for the commander's files addressed to this
// station. The listing, the reading and the deciding run on a thread of their
// own (TPartyReceiver), so a network folder that does not answer or a flood
// of files never holds the window; only the few steps decided on come back to
// the window's thread.
#include "app/Qvsky.h"
#include "controls/Look.h"
#include "catalog/Clsfolders.h"

#include "astro/Clsmjd.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "catalog/Safefile.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partyreceiver.h"
#include "party/Partysettings.h"
#include "party/Partystatus.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"

#include <QLabel>
#include <cstdio>
#include <random>
#include <unistd.h>
#include <QTimer>
#include <QMetaObject>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// Earlier versions marked "the receiver started here" by this station's own
// clock with this sequence number; such a mark says nothing about the
// commander's stamps, so it counts as no mark at all.
constexpr unsigned long long kOldStartSeq = 999999999;

constexpr double kUnixEpochMjd = 40587.0; // 1970-01-01 0h UT

// "hh:nn:ss" of a 14-digit stamp.
std::string StampTime(const std::string& s) {
    if (s.size() != 14 || s == TPartyReceiver::kNothingYet.Stamp) return "---";
    return s.substr(8, 2) + ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
}

const char* KindWord(TPartyOrder::TKind k) {
    static const char* kinds[3] = {"SYNC", "GOTO", "STOP"};
    return kinds[k];
}

} // namespace

struct TfrmQVSKY::TPartyLink {
    std::mutex Lock;
    bool Alive = true;
};

void TfrmQVSKY::EndPartyLink() {
    if (!partyLink_) return;
    std::lock_guard<std::mutex> g(partyLink_->Lock);
    partyLink_->Alive = false;
}

void TfrmQVSKY::BuildPartyControls() {
    partyLink_ = std::make_shared<TPartyLink>();
    partyStatus_ = std::make_shared<TPartyStatus>();
    // Tells this station's status file from another's that uses the same ID.
    {
        char host[64] = {};
        gethostname(host, sizeof host - 1);
        std::random_device rd;
        char tail[16];
        std::snprintf(tail, sizeof tail, "%08x", static_cast<unsigned>(rd()));
        partyStation_ = std::string(host) + "-" + tail;
    }
    // Red Arial 8 from the window's look.
    labParty = new QLabel(this);
    // Under the object information, where the left column has room.
    labParty->setGeometry(2, 752, kLeftWidth - 4, 16);
    labParty->hide();
    SetPartyTimer(std::make_unique<TQtRepeatTimer>());
}

void TfrmQVSKY::SetPartyTimer(std::unique_ptr<TRepeatTimer> timer) {
    timParty = std::move(timer);
    timParty->OnTick = [this] { PartyPoll(); };
    timParty->Start(kPartyPoll);
}

std::string TfrmQVSKY::PartyLogPath() const {
    return PathIn(UserFolder, "Receiver.log");
}

void TfrmQVSKY::PartyLog(const std::string& lines) {
    if (lines.empty()) return;
    const std::string t = TPartyCommand::LocalStamp(Clock().NowMs());
    const std::string when = t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2) + " " +
                             t.substr(8, 2) + ":" + t.substr(10, 2) + ":" + t.substr(12, 2) + " ";
    std::string text;
    for (std::size_t start = 0; start < lines.size();) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string::npos) end = lines.size();
        text += when + lines.substr(start, end - start) + "\n";
        start = end + 1;
    }
    // Never through a link, never waiting on a FIFO; a log that cannot be
    // written is said on the status line, and the receiver goes on.
    std::string error;
    if (TSafeFile::AppendCapped(PartyLogPath(), text, PartyLogCap, error))
        partyLogWhy_.clear();
    else
        partyLogWhy_ = error;
}

void TfrmQVSKY::PartyStatus() {
    const bool on = Party && Party->Mode == 2;
    labParty->setVisible(on);
    if (!on) return;
    std::string text = "Receiver: " + Party->OwnId + ", ";
    if (!partyFolderWhy_.empty())
        text += "the folder cannot be read: " + partyFolderWhy_;
    else
        text += "last command " + StampTime(partyStatus_->Applied.Stamp);
    // What it cannot keep, it still follows from memory.
    if (!partySaveWhy_.empty()) text += "; StarParty.dat cannot be saved";
    if (!partyLogWhy_.empty()) text += "; Receiver.log cannot be written";
    if (!partyStatusWhy_.empty()) text += "; the status file cannot be written";
    if (!partyOther_.empty()) text += "; another station uses this ID";
    if (!partySkipped_.empty()) text += "; skipped " + partySkipped_.substr(0, partySkipped_.find(": "));
    labParty->setText(QString::fromStdString(text));
    // The whole line, in case it is cut, and what could not be kept.
    std::string tip = text;
    if (!partySaveWhy_.empty()) tip += "\n" + partySaveWhy_;
    if (!partyLogWhy_.empty()) tip += "\n" + partyLogWhy_;
    if (!partyStatusWhy_.empty()) tip += "\n" + partyStatusWhy_;
    if (!partyOther_.empty()) tip += "\nanother station receives as " + Party->OwnId + ": " + partyOther_;
    if (!partySkipped_.empty()) tip += "\n" + partySkipped_;
    labParty->setToolTip(QString::fromStdString(tip));
}

std::vector<std::string> TfrmQVSKY::PartyTrouble() const {
    std::vector<std::string> t;
    if (!partyClock_.empty()) t.push_back("clock: " + partyClock_);
    if (!partyOther_.empty()) t.push_back("another station receives as this ID: " + partyOther_);
    if (!partyStatusWhy_.empty()) t.push_back("files: the status file could not be written: " + partyStatusWhy_);
    if (!partyLogWhy_.empty()) t.push_back("files: Receiver.log cannot be written");
    if (!partySaveWhy_.empty()) t.push_back("files: StarParty.dat cannot be saved");
    return t;
}

void TfrmQVSKY::PartyPoll() {
    if (!Party || Party->Mode != 2 || !isVisible()) {
        labParty->setVisible(false);
        return;
    }
    if (partyBusy_) {
        // The last look has not come back (a slow network folder): this one
        // is skipped rather than piled up behind it.
        ++PartyPollsSkipped;
        return;
    }
    if (Party->OwnId.find_first_not_of(' ') == std::string::npos) {
        partyFolderWhy_ = "this station has no ID";
        PartyStatus();
        return;
    }
    if (Party->LastSeq == kOldStartSeq) Party->LastStamp.clear();
    const TPartyStamp mark{Party->LastStamp, Party->LastSeq};
    // A new folder, a new ID or a mark set back (the settings changed): a
    // receiver of its own.
    if (!partyReceiver_ || partyReceiver_->Id() != Party->OwnId ||
        partyStatus_->Id != Party->OwnId || partyFolder_ != Party->Folder ||
        !(partyReceiver_->Mark() == mark)) {
        partyReceiver_ = std::make_shared<TPartyReceiver>(Party->OwnId, mark);
        partyFolder_ = Party->Folder;
        *partyStatus_ = TPartyStatus();
        partyStatus_->Id = Party->OwnId;
        partyStatus_->Mark = mark;
        // A saved mark is the last command this station handled before.
        if (!(mark == TPartyReceiver::kNothingYet)) partyStatus_->Applied = mark;
        partyStatus_->State = "starting";
        partyStatusWritten_.clear();
        partyHandled_.clear();
        partyOther_.clear();
        partyClock_.clear();
        partySkipped_.clear();
    }
    partyStatus_->Station = partyStation_;
    partyStatus_->Trouble = PartyTrouble();
    partyStatus_->Handled = partyHandled_;
    partyBusy_ = true;
    const std::string folder = Party->Folder, id = Party->OwnId;
    const std::int64_t now = Clock().NowMs();
    // The status file, when it has news and the last one is a few seconds
    // old; at once when the one in the folder is not what was written last
    // (deleted, a folder made anew, another station's).
    const bool due = partyStatus_->ToText() != partyStatusWritten_ &&
                     (partyStatusWritten_.empty() || now - partyStatusAt_ >= kPartyStatusEvery ||
                      now < partyStatusAt_);
    auto status = std::make_shared<TPartyStatus>(*partyStatus_);
    status->Written = TPartyCommand::UtcStamp(now);
    if (due) {
        partyStatusAt_ = now;
        partyStatusWritten_ = partyStatus_->ToText();
    }
    const std::string lastText = due ? std::string() : partyStatusDisk_;
    const std::string station = partyStation_;
    std::shared_ptr<TPartyLink> link = partyLink_;
    std::shared_ptr<TPartyReceiver> receiver = partyReceiver_;
    const std::shared_ptr<TStar> stars[2] = {Star, DeepStar};
    const double diffUt = DiffUT;
    const int summer = Summer;
    // Without a thread to look with (the system has none to give) this poll
    // is passed over and said on the status line; the next one tries again.
    try {
        std::thread([this, link, receiver, folder, id, now, status, stars, diffUt, summer, due,
                     lastText, station] {
            TPartyDiskFolder disk(folder);
            auto plan = std::make_shared<TPartyPlan>(receiver->Look(disk, now));
            // A Sync to another date moves every star: worked out here, the
            // window's thread only takes the places when it applies the Sync.
            for (const TPartyStep& step : plan->Steps) {
                if (step.Order.Kind != TPartyOrder::Sync) continue;
                const TPartyView& v = step.Order.View;
                TMjd at;
                if (v.AutoDrive)
                    at.SetMJD(kUnixEpochMjd + static_cast<double>(now) / 86400000.0);
                else
                    at.SetNow(v.Year, v.Month, v.Day, v.Hour, v.Minute, 0, diffUt, summer);
                // Without room for them the window works them out as before.
                try {
                    for (const std::shared_ptr<TStar>& star : stars)
                        if (star) star->Prepare(at.GetMJD());
                } catch (const std::exception&) {
                }
            }
            std::string why;
            if (plan->FolderOk) {
                TPartyStatus disk;
                bool missing = false;
                const bool read = disk.Read(folder, id, missing, why);
                if (read && !disk.Station.empty() && disk.Station != station)
                    plan->OtherStation = disk.Station;
                if (due || !read || disk.ToText() != lastText) {
                    if (!due) plan->StatusAnew = missing ? "missing" : !read ? why : "not the one written last";
                    if (status->Write(folder, why))
                        plan->StatusText = status->ToText();
                    else
                        plan->StatusWhy = why.empty() ? "unknown reason" : why;
                }
            }
            std::lock_guard<std::mutex> g(link->Lock);
            if (link->Alive)
                QMetaObject::invokeMethod(
                    this, [this, plan, folder, id] { PartyApply(*plan, folder, id); },
                    Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error& e) {
        partyBusy_ = false;
        partyFolderWhy_ = std::string("no thread to look with (") + e.what() + ")";
        PartyStatus();
    }
}

void TfrmQVSKY::PartyApply(const TPartyPlan& plan, const std::string& folder,
                           const std::string& id) {
    partyBusy_ = false;
    // The mode, the folder or the ID may have changed while the look was
    // out: then what it found is no longer this station's to apply.
    if (!Party || Party->Mode != 2 || folder != Party->Folder || id != Party->OwnId) {
        PartyStatus();
        return;
    }
    std::string log;
    for (const std::string& line : plan.Log)
        log += line + "\n";
    if (plan.First)
        log += "receiving as " + id + " from \"" + folder + "\", commands after " +
               (plan.Mark == TPartyReceiver::kNothingYet
                    ? std::string("none")
                    : plan.Mark.Stamp + " " + std::to_string(plan.Mark.Seq)) +
               "\n";
    if (!plan.FolderOk) {
        partyFolderWhy_ = plan.FolderWhy;
        partyStatus_->State = "folder unreadable: " + plan.FolderWhy;
        PartyLog(log);
        PartyStatus();
        return;
    }
    partyFolderWhy_.clear();
    const std::int64_t now = Clock().NowMs();
    if (!plan.StatusText.empty()) partyStatusDisk_ = plan.StatusText;
    if (!plan.OtherStation.empty()) {
        if (partyOther_.empty())
            log += "another station (" + plan.OtherStation + ") also receives as " + id +
                   ": both follow the commands and overwrite each other's status file\n";
        partyOther_ = plan.OtherStation;
        partyOtherAt_ = now;
    } else if (!partyOther_.empty() && (now - partyOtherAt_ > 60000 || now < partyOtherAt_)) {
        partyOther_.clear();
    }
    if (!plan.StatusAnew.empty() && plan.OtherStation.empty() && plan.StatusWhy.empty())
        log += "the status file " + TPartyStatus::FileName(id) + " was " + plan.StatusAnew +
               ": written anew\n";
    if (!plan.StatusWhy.empty()) {
        if (partyStatusWhy_.empty())
            log += "the status file " + TPartyStatus::FileName(id) +
                   " cannot be written: " + plan.StatusWhy + "\n";
        partyStatusWhy_ = plan.StatusWhy;
        // Tried again at the next poll.
        partyStatusWritten_.clear();
        partyStatusDisk_.clear();
    } else if (!plan.StatusText.empty() && !partyStatusWhy_.empty()) {
        log += "the status file " + TPartyStatus::FileName(id) + " can be written again\n";
        partyStatusWhy_.clear();
    }
    for (const std::string& name : plan.Handled)
        partyHandled_.push_back(name);
    if (partyHandled_.size() > TPartyStatus::kHandled)
        partyHandled_.erase(partyHandled_.begin(),
                            partyHandled_.end() - static_cast<std::ptrdiff_t>(TPartyStatus::kHandled));
    if (!plan.Steps.empty()) {
        partyClock_ = plan.ClockBack.empty() ? std::string()
                                             : "a commander's clock went back: " + plan.ClockBack;
        partySkipped_.clear();
    }
    if (!plan.Skipped.empty()) {
        partySkipped_ = plan.Skipped;
        if (plan.Skipped.find("dated more than a day ahead") != std::string::npos)
            partyClock_ = "command files dated more than a day ahead of this station's clock";
    }
    partyStatus_->State =
        plan.Skipped.empty() ? std::string("following") : "command skipped: " + plan.Skipped;
    // At most a Sync and a Goto or Stop: what a look hands back is bounded,
    // however many files lie in the folder.
    for (const TPartyStep& step : plan.Steps) {
        std::string why;
        if (!PartyApplyOrder(step.Order, why)) {
            log += step.Name + ": skipped, " + why + "\n";
            partyStatus_->State = "command skipped: " + step.Name + ": " + why;
            partySkipped_ = step.Name + ": " + why;
            continue;
        }
        log += step.Name + ": " + KindWord(step.Order.Kind) + "\n";
        partyStatus_->Applied = step.At;
        partyStatus_->Command = KindWord(step.Order.Kind);
        partyStatus_->AppliedAt = TPartyCommand::UtcStamp(Clock().NowMs());
    }
    if (plan.MarkMoved) {
        Party->LastStamp = plan.Mark.Stamp;
        Party->LastSeq = plan.Mark.Seq;
        partyStatus_->Mark = plan.Mark;
        std::string why;
        if (SaveParty && !SaveParty(why)) {
            if (partySaveWhy_.empty()) log += "StarParty.dat could not be saved: " + why + "\n";
            partySaveWhy_ = why;
        } else {
            partySaveWhy_.clear();
        }
    }
    PartyLog(log);
    PartyStatus();
}

bool TfrmQVSKY::PartyApplyOrder(const TPartyOrder& order, std::string& why) {
    switch (order.Kind) {
    case TPartyOrder::Sync:
        PartySync(order.View);
        return true;
    case TPartyOrder::Goto:
        return PartyGoto(order.View.ObjKind, order.View.ObjNo, why);
    case TPartyOrder::Stop:
        if (CloseNavigation) CloseNavigation();
        return true;
    }
    return false;
}

void TfrmQVSKY::PartySync(const TPartyView& v) {
    CenterRa = v.Ra;
    CenterDec = v.Dec;
    Scale = v.Scale;
    SetSensitivity(v.Sens, false);
    for (int k = 0; k < 8; ++k) {
        Switch[k] = v.Disp[k] ? 1 : 0;
        labCNTL[k]->SetFontColor(Switch[k] ? kCaptionOn : kCaptionOff);
    }
    timRedraw->Stop();
    if (v.AutoDrive) {
        AutoDrive = true;
        ShowNow();
    } else {
        // The commander's local date and time, as the local time of this site.
        clkCal->SetYear(v.Year);
        clkCal->SetMonth(v.Month);
        clkCal->SetDay(v.Day);
        clkCal->SetHour(v.Hour);
        clkCal->SetMinute(v.Minute);
        clkCal->update();
        AutoDrive = false;
        SetClockColours(false);
        ShowTimeDifference();
    }
    RecomputeFromClock(true);
}

bool TfrmQVSKY::PartyGoto(int kind, int number, std::string& why) {
    // Stars are numbered through Star.dat and then the deep star layer, as
    // the atlas picks them.
    const TStarRecord* star = kind == 2 ? Atlas->StarRecordOf(number) : nullptr;
    if (kind == 2 ? star == nullptr : !TPartyReader::ObjectExists(kind, number, 0, Nebula->Count)) {
        why = "object " + std::to_string(kind) + " , " + std::to_string(number) +
              " is not in this station's catalogues";
        return false;
    }
    ShowObjectInfo(kind, number);
    double ra = CenterRa, dec = CenterDec;
    if (kind == 2) {
        ra = star->ra;
        dec = star->dec;
    } else if (kind == 4) {
        ra = (*Nebula)[number].ra;
        dec = (*Nebula)[number].dec;
    } else if (kind == 3) {
        const TAtlas::BodyPlace p = Atlas->PlaceBody(number);
        if (p.present) ra = p.ra, dec = p.dec;
    } else {
        // A satellite of Jupiter, as the search list centres it.
        SatellitePlace(number, ra, dec);
    }
    CenterRa = ra;
    CenterDec = dec;
    RedrawAtlas(true);
    UpdatePointer(CenterRa, CenterDec);
    if (!AutoDrive) {
        PartyLog("GOTO: the chart is in stepped time, so the navigation window stays closed");
    } else if (!NaviName.empty()) {
        // A navigation window open for an earlier object closes first; the
        // new one opens from the event loop, not from inside this look.
        if (CloseNavigation) CloseNavigation();
        timGoNavi->Start(100);
    }
    // A connected telescope may follow as well; it may ask first, so from
    // the event loop too.
    std::string name;
    double tra = 0, tdec = 0, talt = 0;
    if (TelescopeGoto && TelescopeTarget(name, tra, tdec, talt))
        QTimer::singleShot(0, this, [this, name, tra, tdec, talt] {
            if (TelescopeGoto) TelescopeGoto(name, tra, tdec, talt);
        });
    return true;
}
