#include "catalog/Clsstar.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <mutex>
#include <thread>

#include "astro/Clsmjd.h"

namespace {

struct TNamedSource {
    std::uint8_t con;
    std::uint16_t bayer;
    std::uint16_t flamsteed;
    const char* jpn;
    const char* sci;
};

// Cor Caroli is alpha-2 CVn (code 102); alpha-1 is its 5.6 mag companion.
// Rastaban keeps the older use of the name for gamma Draconis (33 Dra).
const TNamedSource kNamed[TStar::NamedMax] = {
    {36, 100, 0, "アケルナル", "Achernar"},
    {42, 100, 30, "アルファード", "Alphard"},
    {83, 0, 80, "アルコル", "Alcor"},
    {78, 700, 25, "アルキオーネ", "Alcyone"},
    {78, 100, 87, "アルデバラン", "Aldebaran"},
    {63, 200, 26, "アルゴル", "Algol"},
    {31, 201, 6, "アルビレオ", "Albireo"},
    {26, 100, 5, "アルフェッカ", "Alphecca"},
    {4, 100, 53, "アルタイル", "Altair"},
    {72, 100, 21, "アンタレス", "Antares"},
    {9, 100, 16, "アークトゥルス", "Arcturus"},
    {13, 100, 0, "カノープス", "Canopus"},
    {8, 100, 13, "カペラ", "Capella"},
    {38, 100, 66, "カストル", "Castor"},
    {30, 102, 12, "コールカロリ", "CorCaroli"},
    {14, 100, 18, "シェダル", "Schedar"},
    {20, 100, 9, "シリウス", "Sirius"},
    {86, 100, 67, "スピカ", "Spica"},
    {31, 100, 50, "デネブ", "Deneb"},
    {46, 200, 94, "デネボラ", "Denebola"},
    {83, 100, 50, "ドゥーベ", "Dubhe"},
    {34, 100, 11, "トゥバーン", "Thuban"},
    {7, 100, 13, "ハマル", "Hamal"},
    {66, 100, 24, "フォーマルハウト", "Fomalhaut"},
    {21, 100, 10, "プロキオン", "Procyon"},
    {52, 100, 3, "ベガ", "Vega"},
    {60, 100, 58, "ベテルギウス", "Betelgeuse"},
    {60, 300, 24, "ベラトリックス", "Bellatrix"},
    {84, 100, 1, "北極星", "Polaris"},
    {38, 200, 78, "ポルックス", "Pollux"},
    {17, 1500, 68, "ミラ", "Mira"},
    {83, 600, 79, "ミザール", "Mizar"},
    {40, 101, 64, "ラスアルゲティ", "RasAlgethi"},
    {59, 100, 55, "ラスアルハゲ", "RasAlhague"},
    {34, 300, 33, "ラスタバン", "Rastaban"},
    {60, 200, 19, "リゲル", "Rigel"},
    {46, 100, 32, "レグルス", "Regulus"},
};

const char* const kGreek[24] = {"α", "β", "γ", "δ", "ε", "ζ", "η", "θ", "ι", "κ", "λ", "μ",
                                "ν", "ξ", "ο", "π", "ρ", "σ", "τ", "υ", "φ", "χ", "ψ", "ω"};
const char* const kSymbolKey[24] = {"a", "b", "g", "d", "e", "z", "h", "q", "i", "k", "l", "m",
                                    "n", "x", "o", "p", "r", "s", "t", "u", "f", "c", "y", "w"};
const char* const kGreekName[24] = {"Alpha", "Beta",    "Gamma",   "Delta", "Epsilon", "Zeta",
                                    "Eta",   "Theta",   "Iota",    "Kappa", "Lambda",  "Mu",
                                    "Nu",    "Xi",      "Omicron", "Pi",    "Rho",     "Sigma",
                                    "Tau",   "Upsilon", "Phi",     "Chi",   "Psi",     "Omega"};
const char* const kSpect[7] = {"M", "K", "G", "F", "A", "B", "O"};

} // namespace

TStar::TStar(const char* path) {
    for (int i = 0; i < NamedMax; ++i) {
        const TNamedSource& s = kNamed[i];
        Named[i] = {s.con, s.bayer, s.flamsteed, -1, 0.0f, 0.0f, s.jpn, s.sci};
    }
    NamedCount = NamedMax;

    if (path == nullptr) {
        Error = "No catalogue file given";
        return;
    }
    TCatalogFile file;
    if (!file.Read(path, records_)) {
        Error = file.Error();
        return;
    }
    const std::size_t inFile = records_.size();
    if (!file.Sift(path, records_, Plausible)) {
        Error = file.Error();
        return;
    }
    Error = file.Error(); // an empty file is an empty catalogue, not a failure
    // At most kMaxBytes / 16 records: the count fits.
    Count = static_cast<std::int32_t>(records_.size());
    if (Count == 0) {
        if (Error.empty()) Error = std::string(path) + " holds no star records";
        return;
    }
    Records = records_.data();

    // Named rows by constellation, so that each record is compared with the
    // few rows of its own constellation only.
    std::uint64_t rowsOf[256] = {};
    for (int k = 0; k < NamedMax; ++k)
        rowsOf[Named[k].con] |= std::uint64_t{1} << k;

    for (std::int32_t i = 0; i < Count; ++i) {
        const TStarRecord& r = Records[i];
        if (r.mag > MagMax && r.mag < MagUnusable) MagMax = r.mag;
        for (std::uint64_t rows = rowsOf[r.con]; rows != 0; rows &= rows - 1) {
            TNamedStar& n = Named[std::countr_zero(rows)];
            if (r.bayer != n.bayer) continue;
            // Without a Bayer letter only the Flamsteed number tells stars apart
            // (Alcor is 80 UMa); the last match in file order wins.
            if (n.bayer == 0 && r.flamsteed != n.flamsteed) continue;
            n.record = i;
            n.ra = r.ra;
            n.dec = r.dec;
        }
    }
    // The side file lines up with the file's records; once a damaged record
    // has been left out it no longer does.
    if (records_.size() == inFile) LoadMotions(MotionPath(path));
}

std::string TStar::MotionPath(const std::string& catalogue) {
    const std::string ext = ".dat";
    if (catalogue.size() >= ext.size() &&
        catalogue.compare(catalogue.size() - ext.size(), ext.size(), ext) == 0)
        return catalogue.substr(0, catalogue.size() - ext.size()) + "Pm" + ext;
    return catalogue + "Pm";
}

void TStar::LoadMotions(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return; // no side file: no motions
    TCatalogFile file;
    std::vector<TStarMotion> m;
    if (!file.Read(path, m)) {
        MotionError = file.Error();
        return;
    }
    if (m.size() != records_.size()) {
        MotionError = path + " does not match its catalogue: " + std::to_string(m.size()) +
                      " motions for " + std::to_string(records_.size()) + " stars";
        return;
    }
    // Barnard's star, the fastest, moves 10.4" a year.
    constexpr float kFastest = 20000.0f;
    for (const TStarMotion& x : m)
        if (!(std::fabs(x.pmRa) <= kFastest && std::fabs(x.pmDec) <= kFastest)) {
            MotionError = path + " is not a proper-motion file: it holds impossible motions";
            return;
        }
    motions_ = std::move(m);
    epoch2000_ = records_;
    // Worked out once, and never changed after: Prepare reads them from
    // another thread.
    trig2000_.resize(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (motions_[i].pmRa != 0.0f || motions_[i].pmDec != 0.0f)
            trig2000_[i] = TMjd::PlaceTrig(epoch2000_[i].ra, epoch2000_[i].dec);
    Motions = motions_.data();
}

double TStar::DayOf(double mjd) {
    // To the day: Barnard's star moves 0.03" a day. Beyond a few hundred
    // thousand years straight-line motion means nothing.
    return std::clamp(std::round(mjd - TMjd::J2000), -1e8, 1e8);
}

void TStar::Place(std::size_t i, double years, float& ra, float& dec) const {
    const TStarMotion& m = motions_[i];
    if (m.pmRa == 0.0f && m.pmDec == 0.0f) {
        ra = epoch2000_[i].ra;
        dec = epoch2000_[i].dec;
        return;
    }
    double r, d;
    TMjd::ProperMotion(trig2000_[i], m.pmRa, m.pmDec, years, r, d);
    ra = static_cast<float>(r);
    dec = static_cast<float>(d);
}

void TStar::Prepare(double mjd) {
    if (!Motions || !std::isfinite(mjd)) return;
    const double day = DayOf(mjd);
    {
        std::lock_guard<std::mutex> g(spareLock_);
        if (spareDay_ == day) return;
    }
    const double years = day / 365.25;
    std::vector<float> places(2 * records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i)
        Place(i, years, places[2 * i], places[2 * i + 1]);
    std::lock_guard<std::mutex> g(spareLock_);
    spare_.swap(places);
    spareDay_ = day;
}

void TStar::MoveTo(double mjd) {
    if (!Motions || !std::isfinite(mjd)) return;
    const double day = DayOf(mjd);
    if (day == day_) return;
    day_ = day;
    const double years = day / 365.25;
    auto move = [this, years](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            Place(i, years, records_[i].ra, records_[i].dec);
    };
    bool prepared = false;
    {
        std::lock_guard<std::mutex> g(spareLock_);
        if (spareDay_ == day && spare_.size() == 2 * records_.size()) {
            for (std::size_t i = 0; i < records_.size(); ++i) {
                records_[i].ra = spare_[2 * i];
                records_[i].dec = spare_[2 * i + 1];
            }
            prepared = true;
            ++PreparedMoves;
        }
    }
    // Each star on its own: a large catalogue in two halves at once, as a
    // change of date waits for it on the window's thread.
    const std::size_t count = prepared ? 0 : records_.size(), half = count / 2;
    std::thread other;
    if (count >= kSplitFrom) {
        try {
            other = std::thread(move, half, count);
        } catch (const std::system_error&) {
            // No thread to be had: all of it here.
        }
    }
    move(0, other.joinable() ? half : count);
    if (other.joinable()) other.join();
    for (TNamedStar& n : Named)
        if (n.record >= 0) {
            n.ra = records_[n.record].ra;
            n.dec = records_[n.record].dec;
        }
    ++Generation;
}

bool TStar::Plausible(const TStarRecord& r) {
    constexpr float kTwoPi = 6.2831855f, kHalfPi = 1.5707964f;
    if (!(r.ra >= 0.0f && r.ra <= kTwoPi && r.dec >= -kHalfPi && r.dec <= kHalfPi)) return false;
    if (r.mag < -3000) return false;
    if (r.con > 89) return false;
    if (r.bayer != 0 && (r.bayer / 100 < 1 || r.bayer / 100 > 24)) return false;
    return true;
}

void TStar::GetBayer(int type, unsigned short code, char* dst) {
    dst[0] = '\0';
    int letter = code / 100;
    if (code == 0 || letter < 1 || letter > 24) return;
    const char* const* table = type == 1   ? kGreek
                               : type == 2 ? kSymbolKey
                               : type == 3 ? kGreekName
                                           : nullptr;
    if (table == nullptr) return;
    int sup = code % 100;
    if (sup != 0)
        std::snprintf(dst, 16, "%s%d", table[letter - 1], sup);
    else
        std::snprintf(dst, 16, "%s", table[letter - 1]);
}

std::string TStar::GetBayer(int type, unsigned short code) {
    char buf[16];
    GetBayer(type, code, buf);
    return buf;
}

const TNamedStar* TStar::FindNamed(int con, int flamsteed, int bayer) const {
    for (const TNamedStar& n : Named) {
        if (n.con != con || n.flamsteed != flamsteed) continue;
        if (flamsteed == 0 && n.bayer != bayer) continue;
        return &n;
    }
    return nullptr;
}

std::string TStar::GetNameJpn(int con, int flamsteed, int bayer) const {
    const TNamedStar* n = FindNamed(con, flamsteed, bayer);
    return n != nullptr ? n->nameJpn : "";
}

std::string TStar::GetNameSci(int con, int flamsteed, int bayer) const {
    const TNamedStar* n = FindNamed(con, flamsteed, bayer);
    return n != nullptr ? n->nameSci : "";
}

std::string TStar::GetSpectName(int code) {
    if (code < 1 || code > 7) return "";
    return kSpect[code - 1];
}
