#include "party/Partyreceiver.h"

#include "party/Partycommand.h"

#include <algorithm>

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

void TPartyReceiver::Skip(TPartyPlan& plan, const TEntry& e) {
    plan.Skipped = e.Name + ": " + e.Why;
    plan.Log.push_back(e.Name + ": skipped, " + e.Why);
    settled_.insert(e.Name);
    truncatedSince_.erase(e.Name);
}

TPartyPlan TPartyReceiver::Look(TPartyFolder& folder, std::int64_t nowMs) {
    TPartyPlan plan;
    plan.Mark = mark_;
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

    // Stamps are local times of the commanders; one far ahead of any clock
    // that may differ from ours by a time zone or a wrong setting is damage.
    const std::string latest = TPartyCommand::LocalStamp(nowMs + kFutureMs);
    std::vector<TEntry> all;
    for (std::string& name : names) {
        TEntry e;
        if (!TPartyReader::ParseName(name, id_, e.At)) continue;
        e.Name = std::move(name);
        if (e.At.Stamp > latest) {
            if (settled_.insert(e.Name).second) {
                plan.Skipped = e.Name + ": dated more than a day ahead";
                plan.Log.push_back(e.Name + ": skipped, dated more than a day ahead of this "
                                            "station's clock");
            }
            continue;
        }
        all.push_back(std::move(e));
    }
    std::sort(all.begin(), all.end(), [](const TEntry& a, const TEntry& b) { return a.At < b.At; });

    if (mark_.Empty()) {
        // The first look: what is already there was meant for earlier.
        plan.First = true;
        mark_ = all.empty() ? kNothingYet : all.back().At;
        plan.Mark = mark_;
        plan.MarkMoved = true;
        truncatedSince_.clear();
        return plan;
    }

    std::vector<TEntry> pending;
    for (TEntry& e : all)
        if (mark_ < e.At && !settled_.count(e.Name)) pending.push_back(std::move(e));
    // Names at or before the mark never come up again.
    for (auto it = settled_.begin(); it != settled_.end();) {
        TPartyStamp at;
        it = TPartyReader::ParseName(*it, id_, at) && !(mark_ < at) ? settled_.erase(it)
                                                                     : std::next(it);
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
    TPartyStamp mark = mark_;
    if (sync >= 0) {
        std::size_t passed = 0;
        for (std::ptrdiff_t k = 0; k < sync; ++k, ++passed) {
            truncatedSince_.erase(pending[k].Name);
            if (passed < kNamedPassed)
                plan.Log.push_back(pending[k].Name + ": passed over, a newer Sync follows");
        }
        if (passed > kNamedPassed)
            plan.Log.push_back(std::to_string(passed - kNamedPassed) + " more passed over, up to " +
                               pending[sync - 1].Name);
        plan.Steps.push_back({pending[sync].Name, pending[sync].At, pending[sync].Order});
        mark = pending[sync].At;
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
        }
        last = &e;
        mark = e.At;
    }
    if (skipped > kNamedPassed)
        plan.Log.push_back(std::to_string(skipped - kNamedPassed) + " more skipped, up to " +
                           lastSkipped);
    if (passed > kNamedPassed)
        plan.Log.push_back(std::to_string(passed - kNamedPassed) + " more passed over, up to " +
                           lastPassed);
    if (last) plan.Steps.push_back({last->Name, last->At, last->Order});
    if (mark_ < mark) {
        mark_ = mark;
        plan.Mark = mark;
        plan.MarkMoved = true;
    }
    // Forget truncated files that are gone or behind the mark.
    for (auto it = truncatedSince_.begin(); it != truncatedSince_.end();) {
        const bool still = std::any_of(pending.begin(), pending.end(), [&](const TEntry& e) {
            return e.Name == it->first && mark_ < e.At;
        });
        it = still ? std::next(it) : truncatedSince_.erase(it);
    }
    return plan;
}
