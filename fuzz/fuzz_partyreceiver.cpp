// The receiver's look into the shared folder and what it decides to apply,
// over a folder another station fills at will: files appear, change, vanish
// and are not regular files; the folder drops out; the clock moves on. Each
// look must stay within its bounds: at most a Sync and then a Goto or Stop,
// every step after the old mark, the mark never going back and only ever
// moving to a well-formed file dated less than a day ahead.
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
    std::map<std::string, std::string> Files;
    std::set<std::string> Fifos;
    bool Down = false;
};

std::string Bytes(const std::vector<std::string>& lines) {
    std::string b;
    for (const std::string& l : lines)
        b += l + "\r\n";
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string id = "S000002";
    std::int64_t now = 1796665606000LL; // 2026-12-07
    TMemFolder folder;
    TPartyReceiver receiver(id, in.ConsumeBool() ? TPartyStamp() : TPartyReceiver::kNothingYet);
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0:
        case 1: { // a file
            std::string name;
            if (in.ConsumeBool()) {
                const std::int64_t at = now + in.ConsumeIntegralInRange<std::int64_t>(
                                                  -400000000LL, 400000000LL);
                name = id + "-" + TPartyCommand::LocalStamp(at) +
                       std::to_string(in.ConsumeIntegralInRange(0, 12)) + ".pty";
            } else {
                name = in.ConsumeRandomLengthString(40);
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
            if (in.ConsumeBool()) bytes = bytes.substr(0, in.ConsumeIntegralInRange<std::size_t>(0, bytes.size()));
            folder.Files[name] = bytes;
            if (in.ConsumeIntegralInRange(0, 7) == 0) folder.Fifos.insert(name);
            break;
        }
        case 2: // one goes
            if (!folder.Files.empty()) {
                auto it = folder.Files.begin();
                std::advance(it, in.ConsumeIntegralInRange<std::size_t>(0, folder.Files.size() - 1));
                folder.Files.erase(it);
            }
            break;
        case 3:
            folder.Down = !folder.Down;
            break;
        case 4:
            now += in.ConsumeIntegralInRange<std::int64_t>(0, 20000);
            break;
        default: { // a look
            const TPartyStamp before = receiver.Mark();
            const TPartyPlan plan = receiver.Look(folder, now);
            if (plan.Steps.size() > 2) std::abort();
            if (plan.Steps.size() == 2 && (plan.Steps[0].Order.Kind != TPartyOrder::Sync ||
                                           plan.Steps[1].Order.Kind == TPartyOrder::Sync))
                std::abort();
            if (!before.Empty() && plan.Mark < before) std::abort();
            if (!plan.MarkMoved && !(plan.Mark == before)) std::abort();
            for (const TPartyStep& s : plan.Steps) {
                if (plan.Mark < s.At) std::abort();
                TPartyOrder order;
                std::string why;
                if (!TPartyReader::Parse(folder.Files[s.Name], order, why) || order.Kind != s.Order.Kind)
                    std::abort();
            }
            if (plan.MarkMoved && !plan.First) {
                if (plan.Mark.Stamp > TPartyCommand::LocalStamp(now + TPartyReceiver::kFutureMs))
                    std::abort();
                bool wellFormed = false;
                for (const auto& f : folder.Files) {
                    TPartyStamp at;
                    TPartyOrder order;
                    std::string why;
                    if (TPartyReader::ParseName(f.first, id, at) && at == plan.Mark &&
                        !folder.Fifos.count(f.first) && TPartyReader::Parse(f.second, order, why))
                        wellFormed = true;
                }
                if (!wellFormed) std::abort();
            }
            if (plan.Log.size() > 1000) std::abort();
            break;
        }
        }
    }
    return 0;
}
