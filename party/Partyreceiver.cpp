#include "party/Partyreceiver.h"

#include "party/Partycommand.h"

#include <algorithm>
#include <ctime>
#include <set>

const TPartyStamp TPartyReceiver::kNothingYet{"00000000000000", 0};

TPartyReceiver::TPartyReceiver(std::string id, TPartyStamp mark)
    : id_(std::move(id)), mark_(std::move(mark)) {}

void TPartyReceiver::Read(TPartyFolder& folder, TEntry& e, std::int64_t nowMs) {
    std::string bytes, why;
    if (!folder.Read(e.Name, TPartyReader::kMaxBytes, bytes, why)) {
        e.State = TEntry::Bad;
        e.Why = why.empty() ? "cannot be read" : why;
        return;
    }
    if (TPartyReader::Parse(bytes, e.Order, why)) {
        e.State = TEntry::Valid;
        truncatedSince_.erase(e.Name);
        return;
    }
    e.Why = why;
    e.State = TEntry::Bad;
    if (why.find("(truncated)") == std::string::npos) return;
    const auto since = truncatedSince_.emplace(e.Name, nowMs).first->second;
    if (nowMs - since < kTruncatedMs)
        e.State = TEntry::Truncated;
    else
        e.Why += ", still after " + std::to_string((nowMs - since) / 1000) + " s";
}

void TPartyReceiver::Done(const TEntry& e, bool moveMark) {
    handled_[e.Name] = e.FileMs;
    arrived_.erase(e.Name);
    truncatedSince_.erase(e.Name);
    if (plan_) plan_->Handled.push_back(e.Name);
    if (moveMark && mark_ < e.At) mark_ = e.At;
}

void TPartyReceiver::Skip(TPartyPlan& plan, const TEntry& e) {
    plan.Skipped = e.Name + ": " + e.Why;
    plan.Log.push_back(e.Name + ": skipped, " + e.Why);
    // Damage never moves the mark: a restart still applies what follows it.
    Done(e, false);
}

bool TPartyReceiver::ParseCopy(const std::string& name, const std::string& id, TPartyStamp& at) {
    const std::string mid = ".sync-conflict-";
    const std::size_t m = name.find(mid);
    if (m == std::string::npos || name.size() < 4 || name.compare(name.size() - 4, 4, ".pty") != 0)
        return false;
    // "yyyymmdd-hhmmss-" and a device's short name of capitals and digits.
    const std::string tail = name.substr(m + mid.size(), name.size() - 4 - m - mid.size());
    if (tail.size() < 17 || tail[8] != '-' || tail[15] != '-') return false;
    for (std::size_t k = 0; k < tail.size(); ++k) {
        const char c = tail[k];
        const bool digit = c >= '0' && c <= '9';
        if (k == 8 || k == 15) continue;
        if (k < 15 ? !digit : !(digit || (c >= 'A' && c <= 'Z'))) return false;
    }
    return TPartyReader::ParseName(name.substr(0, m) + ".pty", id, at);
}

namespace {

// Milliseconds between two stamps, read as times of one clock.
std::int64_t StampGapMs(const TPartyStamp& earlier, const TPartyStamp& later) {
    auto ms = [](const std::string& s) {
        std::tm tm = TPartyCommand::StampFields(s);
        return static_cast<std::int64_t>(timegm(&tm)) * 1000;
    };
    return ms(later.Stamp) - ms(earlier.Stamp);
}

} // namespace

TPartyPlan TPartyReceiver::Look(TPartyFolder& folder, std::int64_t nowMs) {
    TPartyPlan plan;
    plan.Mark = mark_;
    plan_ = &plan;
    struct TEnd {
        TPartyPlan*& p;
        ~TEnd() { p = nullptr; }
    } end{plan_};
    std::vector<std::string> names;
    std::string why;
    if (!folder.List(names, why)) {
        plan.FolderWhy = why.empty() ? "unknown reason" : why;
        if (!folderDown_) plan.Log.push_back("the folder cannot be read: " + plan.FolderWhy);
        folderDown_ = true;
        return plan;
    }
    plan.FolderOk = true;
    if (folderDown_) plan.Log.push_back("the folder can be read again");
    folderDown_ = false;
    const TPartyStamp markBefore = mark_;

    // Stamps are local times of the commanders; one far ahead of any clock
    // that may differ from ours by a time zone or a wrong setting is damage.
    const std::string latest = TPartyCommand::LocalStamp(nowMs + kFutureMs);
    std::vector<TEntry> fresh;
    std::set<std::string> present;
    for (std::string& name : names) {
        TEntry e;
        if (!TPartyReader::ParseName(name, id_, e.At) && !ParseCopy(name, id_, e.At)) continue;
        e.Name = std::move(name);
        present.insert(e.Name);
        e.FileMs = folder.FileTimeMs(e.Name);
        const auto h = handled_.find(e.Name);
        if (h != handled_.end()) {
            if (h->second == e.FileMs) continue;
            // A sync engine put another commander's file in its place.
            plan.Log.push_back(e.Name + ": replaced by another file of that name, read anew");
            handled_.erase(h);
        }
        e.ArrivedMs = arrived_.emplace(e.Name, nowMs).first->second;
        if (e.At.Stamp > latest) {
            e.Why = "dated more than a day ahead of this station's clock";
            Skip(plan, e);
            plan.Skipped = e.Name + ": dated more than a day ahead";
            continue;
        }
        fresh.push_back(std::move(e));
    }
    for (auto it = arrived_.begin(); it != arrived_.end();)
        it = present.count(it->first) ? std::next(it) : arrived_.erase(it);
    std::sort(fresh.begin(), fresh.end(), [](const TEntry& a, const TEntry& b) {
        return a.At == b.At ? a.Name < b.Name : a.At < b.At;
    });

    if (!started_) {
        // What lies at or before the mark (everything, on a first look) was
        // meant for earlier.
        started_ = true;
        std::vector<TEntry> after;
        std::size_t taken = 0;
        for (auto it = fresh.rbegin(); it != fresh.rend(); ++it) {
            if (!mark_.Empty() && mark_ < it->At) {
                after.insert(after.begin(), std::move(*it));
                continue;
            }
            if (++taken <= kNamedPassed)
                plan.Log.push_back(it->Name + ": taken as done, there before this receiver started");
            handled_[it->Name] = it->FileMs;
            arrived_.erase(it->Name);
            plan.Handled.push_back(it->Name);
        }
        if (taken > kNamedPassed)
            plan.Log.push_back(std::to_string(taken - kNamedPassed) +
                               " more taken as done, there before this receiver started");
        if (mark_.Empty()) {
            plan.First = true;
            mark_ = fresh.empty() ? kNothingYet : fresh.back().At;
            plan.Mark = mark_;
            plan.MarkMoved = true;
            truncatedSince_.clear();
            return plan;
        }
        fresh = std::move(after);
    }

    // A file dated at or before the command applied last: delivered out of
    // order, late, or written after a commander's clock went back.
    std::vector<TEntry> pending;
    for (TEntry& e : fresh) {
        if (hasLast_ && !(last_.At < e.At)) {
            const bool burst = e.ArrivedMs - last_.ArrivedMs <= kBurstMs;
            const bool earlierFile = e.FileMs != TPartyFolder::kNoTime &&
                                     last_.FileMs != TPartyFolder::kNoTime &&
                                     e.FileMs < last_.FileMs;
            if (burst && (StampGapMs(e.At, last_.At) <= kOutOfOrderMs || earlierFile)) {
                plan.Log.push_back(e.Name + ": passed over, it arrived after the newer " +
                                   last_.Name + ", already applied");
                Done(e);
                continue;
            }
            if (earlierFile && nowMs - e.FileMs > kLateMs) {
                plan.Log.push_back(e.Name + ": not applied, it arrived late: written before " +
                                   last_.Name + ", already applied");
                Done(e);
                continue;
            }
        }
        pending.push_back(std::move(e));
    }

    // From the newest back to the newest Sync that can be applied: what lies
    // before it is superseded and need not even be read.
    std::ptrdiff_t sync = -1;
    for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(pending.size()) - 1; k >= 0; --k) {
        Read(folder, pending[k], nowMs);
        if (pending[k].State == TEntry::Valid && pending[k].Order.Kind == TPartyOrder::Sync) {
            sync = k;
            break;
        }
    }
    std::vector<const TEntry*> steps;
    if (sync >= 0) {
        std::size_t passed = 0;
        for (std::ptrdiff_t k = 0; k < sync; ++k, ++passed) {
            if (passed < kNamedPassed)
                plan.Log.push_back(pending[k].Name + ": passed over, a newer Sync follows");
            Done(pending[k]);
        }
        if (passed > kNamedPassed)
            plan.Log.push_back(std::to_string(passed - kNamedPassed) + " more passed over, up to " +
                               pending[sync - 1].Name);
        steps.push_back(&pending[sync]);
    }
    // After it, in order: the last Goto or Stop is the present state. A file
    // still being written holds back everything after it. What is passed over
    // or skipped is named up to a bound, as before a Sync, and counted beyond.
    const TEntry* last = nullptr;
    std::size_t skipped = 0, passed = 0;
    std::string lastSkipped, lastPassed;
    for (std::size_t k = static_cast<std::size_t>(sync + 1); k < pending.size(); ++k) {
        TEntry& e = pending[k];
        if (e.State == TEntry::Truncated) break;
        if (e.State == TEntry::Bad) {
            const std::size_t lines = plan.Log.size();
            Skip(plan, e);
            if (++skipped > kNamedPassed) plan.Log.resize(lines);
            lastSkipped = e.Name;
            continue;
        }
        if (last) {
            if (++passed <= kNamedPassed)
                plan.Log.push_back(last->Name + ": passed over, a newer command follows");
            lastPassed = last->Name;
            Done(*last);
        }
        last = &e;
    }
    if (skipped > kNamedPassed)
        plan.Log.push_back(std::to_string(skipped - kNamedPassed) + " more skipped, up to " +
                           lastSkipped);
    if (passed > kNamedPassed)
        plan.Log.push_back(std::to_string(passed - kNamedPassed) + " more passed over, up to " +
                           lastPassed);
    if (last) steps.push_back(last);
    for (const TEntry* e : steps) {
        if (hasLast_ && e->At < last_.At) {
            plan.ClockBack = e->Name + " is dated before " + last_.Name;
            plan.Log.push_back(e->Name + ": dated before " + last_.Name +
                               ", applied as it comes (a commander's clock went back or is "
                               "behind)");
        }
        plan.Steps.push_back({e->Name, e->At, e->Order});
        Done(*e);
        last_ = *e;
        hasLast_ = true;
    }
    if (markBefore < mark_) {
        plan.Mark = mark_;
        plan.MarkMoved = true;
    }
    // Forget truncated files that are gone or handled.
    for (auto it = truncatedSince_.begin(); it != truncatedSince_.end();)
        it = present.count(it->first) && !handled_.count(it->first) ? std::next(it)
                                                                    : truncatedSince_.erase(it);
    return plan;
}
