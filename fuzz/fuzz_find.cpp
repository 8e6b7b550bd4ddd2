// The find field's matcher and the readers of Starhip.dat and Names.txt. The
// first byte chooses: odd, the rest is a Starhip.dat for as many stars as the
// next byte says; 2 or 6 modulo 8, the rest is a Names.txt, built into an
// index and searched; otherwise the rest is typed text (found, and for short
// texts the nearest names asked for). No bytes crash it, hang it or make a
// sanitizer speak.
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnames.h"

namespace {

const TFindIndex& Index() {
    static const TConstellation con;
    static const TFindIndex index = [] {
        TFindIndex i;
        i.Build(
            nullptr, nullptr, &con, {},
            {{"Comet Halley", 1.0, 0.2, 1}, {"Ｍ３１ marker", 0.2, 0.7, 2}, {"", 3.0, -0.2, 3}});
        return i;
    }();
    return index;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    if (data[0] & 1) {
        std::string why;
        const auto hip = TFindIndex::ParseHipNumbers(rest, data[1], why);
        if (!hip.empty() && !why.empty()) __builtin_trap(); // numbers and a reason: a contradiction
        return 0;
    }
    if ((data[0] & 3) == 2) {
        TNameList names;
        std::string why;
        names.Parse(rest, why);
        if (names.Skipped > 0 && why.empty()) __builtin_trap(); // skipped lines without a reason
        for (const TNameList::TPlace& p : names.Places())
            if (p.Name.empty() || TNameList::ValidPrefix(p.Name) != p.Name) __builtin_trap();
        for (std::uint32_t hip = 1; hip < 4; ++hip)
            if (const auto* n = names.OfStar(hip))
                for (const std::string& s : *n)
                    if (s.empty() || TNameList::ValidPrefix(s) != s) __builtin_trap();
        static const TConstellation con;
        TFindIndex index;
        index.Build(nullptr, nullptr, &con, {}, {}, &names);
        index.Find(std::string_view(rest).substr(0, 8), data[1] % 20);
        return 0;
    }
    const TFindIndex& index = Index();
    for (const TFindIndex::THit& h : index.Find(rest, data[1] % 20))
        if (h.Name.empty()) __builtin_trap();
    if (rest.size() < 64) index.Nearest(rest, 3);
    const std::string folded = TFindIndex::Fold(rest);
    if (TFindIndex::Fold(folded) != folded) __builtin_trap(); // folding twice changes nothing
    return 0;
}
