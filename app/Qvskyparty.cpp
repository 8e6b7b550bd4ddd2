// The chart window as a star-party receiver: every 2 s, in Receiver mode, a
// look into the shared folder for the commander's files addressed to this
// station; each new one is applied once, in the order the commander sent them.
// The listing and reading run on a thread of their own, so a network folder
// that does not answer never holds the window; only the result comes back to
// the window's thread.
#include "app/Qvsky.h"
#include "controls/Look.h"
#include "catalog/Clsfolders.h"

#include "astro/Clsmjd.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Partycommand.h"
#include "party/Partyreader.h"
#include "party/Partysettings.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"

#include <QLabel>
#include <QMetaObject>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

// The mark of "the receiver started here", stored in place of the last
// sequence number: every file of the start's second counts as older (no
// commander reaches this number within one second).
constexpr unsigned long long kStartSeq = 999999999;

// "hh:nn:ss" of a 14-digit stamp.
std::string StampTime(const std::string& s) {
    if (s.size() != 14) return "---";
    return s.substr(8, 2) + ":" + s.substr(10, 2) + ":" + s.substr(12, 2);
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

void TfrmQVSKY::PartyLog(const std::string& line) {
    std::FILE* f = std::fopen(PartyLogPath().c_str(), "ab");
    if (!f) return; // the status line still tells the latest state
    const std::string t = TPartyCommand::LocalStamp(Clock().NowMs());
    std::fprintf(f, "%s-%s-%s %s:%s:%s %s\n", t.substr(0, 4).c_str(), t.substr(4, 2).c_str(),
                 t.substr(6, 2).c_str(), t.substr(8, 2).c_str(), t.substr(10, 2).c_str(),
                 t.substr(12, 2).c_str(), line.c_str());
    std::fclose(f);
}

void TfrmQVSKY::PartyStatus() {
    const bool on = Party && Party->Mode == 2;
    labParty->setVisible(on);
    if (!on) return;
    std::string text = "Receiver: " + Party->OwnId + ", ";
    if (!partyFolderWhy_.empty())
        text += "the folder cannot be read: " + partyFolderWhy_;
    else
        text += "last command " +
                (Party->LastSeq == kStartSeq ? std::string("---") : StampTime(Party->LastStamp));
    labParty->setText(QString::fromStdString(text));
    labParty->setToolTip(labParty->text());
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
    if (Party->LastStamp.empty()) {
        // The first look in Receiver mode: only what is sent from now on.
        Party->LastStamp = TPartyCommand::LocalStamp(Clock().NowMs());
        Party->LastSeq = kStartSeq;
        std::string why;
        if (SaveParty && !SaveParty(why)) PartyLog("StarParty.dat could not be saved: " + why);
        PartyLog("receiving as " + Party->OwnId + " from \"" + Party->Folder +
                 "\", commands after " + Party->LastStamp);
    }
    partyBusy_ = true;
    const std::string folder = Party->Folder, id = Party->OwnId;
    TPartyStamp after{Party->LastStamp, Party->LastSeq};
    std::shared_ptr<TPartyLink> link = partyLink_;
    std::thread([this, link, folder, id, after] {
        TPartyScan scan = TPartyReader::Scan(folder, id, after);
        std::lock_guard<std::mutex> g(link->Lock);
        if (link->Alive)
            QMetaObject::invokeMethod(
                this, [this, scan] { PartyApply(scan); }, Qt::QueuedConnection);
    }).detach();
}

void TfrmQVSKY::PartyApply(const TPartyScan& scan) {
    partyBusy_ = false;
    // The mode, the folder or the ID may have changed while the look was
    // out: then what it found is no longer this station's to apply.
    if (!Party || Party->Mode != 2 || scan.Folder != Party->Folder || scan.Id != Party->OwnId ||
        Party->LastStamp.empty()) {
        PartyStatus();
        return;
    }
    if (!scan.FolderOk) {
        if (partyFolderWhy_ != scan.FolderWhy)
            PartyLog("the folder \"" + Party->Folder + "\" cannot be read: " + scan.FolderWhy);
        partyFolderWhy_ = scan.FolderWhy.empty() ? "unknown reason" : scan.FolderWhy;
        PartyStatus();
        return;
    }
    partyFolderWhy_.clear();
    bool moved = false;
    for (const TPartyFile& f : scan.Files) {
        // A file already applied (the look started before the last one came back).
        if (!(TPartyStamp{Party->LastStamp, Party->LastSeq} < f.At)) continue;
        Party->LastStamp = f.At.Stamp;
        Party->LastSeq = f.At.Seq;
        moved = true;
        std::string why;
        TPartyOrder order;
        if (!f.Read) {
            PartyLog(f.Name + ": skipped, " + f.Why);
        } else if (!TPartyReader::Parse(f.Bytes, order, why)) {
            PartyLog(f.Name + ": skipped, " + why);
        } else if (!PartyApplyOrder(order, why)) {
            PartyLog(f.Name + ": skipped, " + why);
        } else {
            static const char* kinds[3] = {"SYNC", "GOTO", "STOP"};
            PartyLog(f.Name + ": " + kinds[order.Kind]);
        }
    }
    if (moved) {
        std::string why;
        if (SaveParty && !SaveParty(why)) PartyLog("StarParty.dat could not be saved: " + why);
    }
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
    return true;
}
