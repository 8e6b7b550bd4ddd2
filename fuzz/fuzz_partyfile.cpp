// The command files another station writes into the shared folder: any bytes
// must give either an order within its ranges or a reason, never a crash. The
// same bytes as a file name, as a declination or right ascension text, and as
// the party settings file StarParty.dat (what it accepts it writes back alike).
#include "party/Partyreader.h"
#include "party/Partysettings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TPartyOrder order;
    std::string why;
    if (TPartyReader::Parse(bytes, order, why)) {
        const TPartyView& v = order.View;
        if (order.Kind == TPartyOrder::Sync) {
            // What the chart window takes without further checks.
            if (!(v.Ra >= 0 && v.Ra < 2 * 3.14159265358979324) ||
                !(std::fabs(v.Dec) <= 3.14159265358979324 / 2 + 1e-12) || v.Scale < 300 ||
                v.Scale > 1200000 || v.Sens < -5 || v.Sens > 5)
                std::abort();
            if (v.AutoDrive == 0 && (v.Month < 1 || v.Month > 12 || v.Day < 1 || v.Day > 31 ||
                                     v.Hour < 0 || v.Hour > 23 || v.Minute < 0 || v.Minute > 59))
                std::abort();
            for (int d : v.Disp)
                if (d != 0 && d != 1) std::abort();
        }
        if (size > TPartyReader::kMaxBytes) std::abort();
    } else if (why.empty()) {
        std::abort(); // a refusal always says why
    }
    TPartyStamp at;
    if (TPartyReader::ParseName(bytes, "S000123", at) && at.Stamp.size() != 14) std::abort();
    double rad = 0;
    TPartyReader::ParseRa(bytes, rad);
    TPartyReader::ParseDec(bytes, rad);

    TPartySettings settings, again;
    std::string problem;
    if (settings.FromText(bytes, problem)) {
        if (!again.FromText(settings.ToText(), problem) || !(again == settings)) std::abort();
    }
    return 0;
}
