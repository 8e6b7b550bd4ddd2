#include "minor/Minorlist.h"

#include <algorithm>
#include <filesystem>

#include "minor/Mpcreader.h"

std::string TMinorList::Fold(const std::string& s) {
    std::string f;
    for (char c : s) {
        if (c >= 'A' && c <= 'Z') f += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) f += c;
        else if (static_cast<unsigned char>(c) >= 0x80) f += c; // names in other scripts
    }
    return f;
}

bool TMinorList::AddFile(const std::string& path) {
    TMpcReader reader;
    reader.Cancel = Cancel;
    std::string error;
    if (!reader.ReadFile(path, error)) {
        Errors.push_back(error);
        return false;
    }
    Skipped += reader.Skipped;
    for (const std::string& e : reader.Errors)
        if (Errors.size() < 10) Errors.push_back(path + ": " + e);
    Bodies.insert(Bodies.end(), std::make_move_iterator(reader.Bodies.begin()),
                  std::make_move_iterator(reader.Bodies.end()));
    return true;
}

void TMinorList::AddFolder(const std::string& folder) {
    std::error_code ec;
    std::vector<std::string> files;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        if (name.find(".cache") != std::string::npos || name.find(".part") != std::string::npos) continue;
        files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string& f : files)
        if (!(Cancel && Cancel->load())) AddFile(f);
}

void TMinorList::BuildIndex() {
    keyText_.clear();
    keys_[0].clear();
    keys_[1].clear();
    for (int k = 0; k < int(Bodies.size()); ++k) {
        const TMinorBody& b = Bodies[k];
        const std::string num = b.Number > 0 && !b.Comet ? std::to_string(b.Number) : "";
        const std::string n = Fold(b.Name), d = Fold(b.Designation);
        auto add = [&](const std::string& key, bool exact) {
            if (key.empty() || key.size() > 0xFFFF) return;
            TKey t;
            t.Off = std::uint32_t(keyText_.size());
            t.Len = std::uint16_t(key.size());
            t.Exact = exact;
            t.Body = k;
            keyText_ += key;
            keys_[b.Comet ? 0 : 1].push_back(t);
        };
        add(n, true);
        add(d, true);
        if (!n.empty() && !num.empty()) add(num + n, true);
        if (!d.empty() && !num.empty()) add(num + d, true);
        if (!n.empty() && !d.empty()) add(d + n, true);
        if (b.Comet && b.Number == 0 && d.size() > 1) add(d.substr(1), true);
        add(Fold(b.Packed), true);
        if (!b.Comet && b.Number > 0 && n.empty() && d.empty()) add(num, false);
    }
    for (auto& keys : keys_)
        std::sort(keys.begin(), keys.end(), [this](const TKey& a, const TKey& b) {
            const int c = KeyOf(a).compare(KeyOf(b));
            return c != 0 ? c < 0 : a.Body < b.Body;
        });
    indexed_ = Bodies.size();
}

int TMinorList::Find(const std::string& name) const {
    const std::string q = Fold(name);
    if (q.empty()) return -1;
    if (indexed_ != Bodies.size()) return FindScan(q);
    // A comet before an asteroid, then the lower number.
    for (const auto& keys : keys_) {
        auto it = std::lower_bound(keys.begin(), keys.end(), q,
                                   [this](const TKey& k, const std::string& v) { return KeyOf(k) < v; });
        int best = -1, bestNo = 0;
        for (; it != keys.end() && KeyOf(*it) == q; ++it) {
            if (!it->Exact) continue;
            const int no = Bodies[it->Body].Number > 0 ? Bodies[it->Body].Number : 1 << 30;
            if (best < 0 || no < bestNo) best = it->Body, bestNo = no;
        }
        if (best >= 0) return best;
    }
    return -1;
}

int TMinorList::FindScan(const std::string& q) const {
    int best = -1;
    auto better = [&](int k) {
        if (best < 0) return true;
        const TMinorBody &a = Bodies[k], &b = Bodies[best];
        if (a.Comet != b.Comet) return a.Comet;
        const int na = a.Number > 0 ? a.Number : 1 << 30, nb = b.Number > 0 ? b.Number : 1 << 30;
        return na < nb;
    };
    for (int k = 0; k < int(Bodies.size()); ++k) {
        const TMinorBody& b = Bodies[k];
        const std::string num = b.Number > 0 ? std::to_string(b.Number) : "";
        const std::string n = Fold(b.Name), d = Fold(b.Designation);
        // A comet's designation also without its type: "2023 A3" for C/2023 A3.
        const std::string bare = b.Comet && b.Number == 0 && d.size() > 1 ? d.substr(1) : "";
        const bool hit = (!n.empty() && (q == n || (!num.empty() && !b.Comet && q == num + n))) ||
                         (!d.empty() && (q == d || q == d + n || (!num.empty() && q == num + d))) ||
                         (!bare.empty() && q == bare) || q == Fold(b.Packed);
        if (hit && better(k)) best = k;
    }
    return best;
}

std::vector<int> TMinorList::Suggest(const std::string& text, int max) const {
    const std::string q = Fold(text);
    if (q.empty() || max <= 0) return {};
    if (indexed_ != Bodies.size()) return SuggestScan(q, max);
    std::vector<int> out;
    for (const auto& keys : keys_) {
        auto it = std::lower_bound(keys.begin(), keys.end(), q,
                                   [this](const TKey& k, const std::string& v) { return KeyOf(k) < v; });
        for (; it != keys.end() && int(out.size()) < max && KeyOf(*it).substr(0, q.size()) == q; ++it)
            if (std::find(out.begin(), out.end(), it->Body) == out.end()) out.push_back(it->Body);
    }
    return out;
}

std::vector<int> TMinorList::SuggestScan(const std::string& q, int max) const {
    std::vector<int> comets, asteroids;
    auto starts = [&](const std::string& s) { return !s.empty() && Fold(s).compare(0, q.size(), q) == 0; };
    for (int k = 0; k < int(Bodies.size()); ++k) {
        const TMinorBody& b = Bodies[k];
        std::vector<int>& into = b.Comet ? comets : asteroids;
        if (int(into.size()) >= max) continue;
        if (starts(b.Name) || starts(b.Designation) || starts(b.Label()) ||
            (b.Number > 0 && !b.Comet && starts(std::to_string(b.Number) + " " + b.Name)))
            into.push_back(k);
    }
    comets.insert(comets.end(), asteroids.begin(), asteroids.end());
    if (int(comets.size()) > max) comets.resize(max);
    return comets;
}
