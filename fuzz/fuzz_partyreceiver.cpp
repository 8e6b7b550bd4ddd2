// The receiver's decisions over any sequence of arrivals, names and stamps in
// a folder another station fills at will: files appear (also as a sync
// engine's conflict copies), are replaced, vanish and are not regular files;
// the folder drops out; the clock moves on, and file times may run against
// the stamps. Every command file seen must be decided once (applied, or named
// in the log with the reason; beyond a bound, counted), again only when its
// bytes were replaced, and once the folder has settled every command file in
// it must have been decided. Each look stays within its bounds: at most a
// Sync and then a Goto or Stop, the mark never going back.
#include "party/Partycommand.h"
#include "party/Partyreceiver.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class TMemFolder : public TPartyFolder {
public:
    bool List(std::vector<std::string>& names, std::string& why) override {
        names.clear();
        if (Down) {
            why = "gone";
            return false;
        }
        for (const auto& f : Files)
            names.push_back(f.first);
        return true;
    }
    bool Read(const std::string& name, std::size_t max, std::string& bytes,
              std::string& why) override {
        const auto it = Files.find(name);
        if (it == Files.end() || Fifos.count(name)) {
            why = it == Files.end() ? "gone" : "a FIFO, not a regular file";
            return false;
        }
        bytes = it->second.substr(0, max + 1);
        return true;
    }
    long long FileTimeMs(const std::string& name) override {
        const auto it = Times.find(name);
        return it == Times.end() ? kNoTime : it->second;
    }
    std::map<std::string, std::string> Files;
    std::map<std::string, long long> Times;
    std::set<std::string> Fifos;
    bool Down = false;
};

std::string Bytes(const std::vector<std::string>& lines) {
    std::string b;
    for (const std::string& l : lines)
        b += l + "\r\n";
    return b;
}

bool Command(const std::string& name, const std::string& id) {
    TPartyStamp at;
    return TPartyReader::ParseName(name, id, at) || TPartyReceiver::ParseCopy(name, id, at);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string id = "S000002";
    std::int64_t now = 1796665606000LL; // 2026-12-07
    TMemFolder folder;
    TPartyReceiver receiver(id, in.ConsumeBool() ? TPartyStamp() : TPartyReceiver::kNothingYet);
    // Each version of a file (its name and its time) is decided at most once.
    std::map<std::string, long long> decided;
    long long version = 0;

    auto look = [&] {
        const TPartyStamp before = receiver.Mark();
        const TPartyPlan plan = receiver.Look(folder, now);
        if (plan.Steps.size() > 2) std::abort();
        if (plan.Steps.size() == 2 && (plan.Steps[0].Order.Kind != TPartyOrder::Sync ||
                                       plan.Steps[1].Order.Kind == TPartyOrder::Sync))
            std::abort();
        if (!before.Empty() && plan.Mark < before) std::abort();
        if (!plan.MarkMoved && !(plan.Mark == before)) std::abort();
        if (plan.Log.size() > 1000) std::abort();
        bool counted = false;
        for (const std::string& line : plan.Log)
            if (line.find(" more ") != std::string::npos) counted = true;
        std::set<std::string> handled(plan.Handled.begin(), plan.Handled.end());
        if (handled.size() != plan.Handled.size()) std::abort();
        for (const std::string& name : plan.Handled) {
            if (!folder.Files.count(name) || !Command(name, id)) std::abort();
            const long long t = folder.FileTimeMs(name);
            const auto d = decided.find(name);
            if (d != decided.end() && d->second == t) std::abort(); // decided twice
            decided[name] = t;
            bool step = false, named = false;
            for (const TPartyStep& s : plan.Steps)
                step = step || s.Name == name;
            for (const std::string& line : plan.Log)
                named = named || line.compare(0, name.size() + 1, name + ":") == 0;
            if (!step && !named && !counted) std::abort();
        }
        for (const TPartyStep& s : plan.Steps) {
            if (!handled.count(s.Name)) std::abort();
            TPartyOrder order;
            std::string why;
            if (!TPartyReader::Parse(folder.Files[s.Name], order, why) || order.Kind != s.Order.Kind)
                std::abort();
        }
    };

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0:
        case 1: { // a file arrives, new or in the place of one
            std::string name;
            switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
            case 1: {
                const std::int64_t at = now + in.ConsumeIntegralInRange<std::int64_t>(
                                                  -400000000LL, 400000000LL);
                name = id + "-" + TPartyCommand::LocalStamp(at) +
                       std::to_string(in.ConsumeIntegralInRange(0, 12));
                name += in.ConsumeBool() ? ".pty" : ".sync-conflict-20261207-174700-ABCDEF7.pty";
                break;
            }
            case 2:
                name = in.ConsumeRandomLengthString(60);
                break;
            default:
                if (folder.Files.empty()) continue;
                name = std::next(folder.Files.begin(),
                                 in.ConsumeIntegralInRange<std::size_t>(0, folder.Files.size() - 1))
                           ->first;
            }
            TPartyView v;
            v.Scale = in.ConsumeIntegralInRange(300, 1200000);
            v.ObjNo = in.ConsumeIntegralInRange(0, 100);
            std::string bytes;
            switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0: bytes = Bytes(TPartyCommand::SyncLines(v)); break;
            case 1: bytes = Bytes(TPartyCommand::GotoLines(v)); break;
            case 2: bytes = Bytes(TPartyCommand::StopLines()); break;
            default: bytes = in.ConsumeRandomLengthString(200); break;
            }
            if (in.ConsumeBool())
                bytes = bytes.substr(0, in.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
            folder.Files[name] = bytes;
            // The writer's clock in UT: any time around now, distinct per version.
            folder.Times[name] = now + in.ConsumeIntegralInRange<std::int64_t>(-7200000, 7200000) * 4 +
                                 (++version % 4);
            if (in.ConsumeIntegralInRange(0, 7) == 0) folder.Fifos.insert(name);
            break;
        }
        case 2: // one goes
            if (!folder.Files.empty()) {
                auto it = folder.Files.begin();
                std::advance(it, in.ConsumeIntegralInRange<std::size_t>(0, folder.Files.size() - 1));
                folder.Times.erase(it->first);
                folder.Fifos.erase(it->first);
                folder.Files.erase(it);
            }
            break;
        case 3:
            folder.Down = !folder.Down;
            break;
        case 4:
            now += in.ConsumeIntegralInRange<std::int64_t>(0, 20000);
            break;
        default:
            look();
            break;
        }
    }
    // The folder settles: every command file in it has been decided.
    folder.Down = false;
    look();
    now += TPartyReceiver::kTruncatedMs + 1;
    look();
    look();
    for (const auto& f : folder.Files) {
        if (!Command(f.first, id)) continue;
        const auto d = decided.find(f.first);
        if (d == decided.end() || d->second != folder.FileTimeMs(f.first)) std::abort();
    }
    return 0;
}
