#include "app/Clsoption.h"

#include "app/Clscsv.h"
#include "app/Textcode.h"
#include "astro/Clsdegree.h"
#include "catalog/Safefile.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace {

// Characters from 1-based position `from`, at most n of them (fewer at the end).
std::string Mid(const std::string& s, std::size_t from, std::size_t n) {
    if (from < 1 || from > s.size()) return {};
    return s.substr(from - 1, n);
}

std::string RightChars(const std::string& s, std::size_t n) {
    return s.size() <= n ? s : s.substr(s.size() - n);
}

bool IsUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        unsigned long cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            n = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        // No overlong forms, no surrogates, nothing past U+10FFFF.
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

std::string Quoted(const std::string& word) {
    // Long or odd words are cut so that one bad file cannot flood the message.
    std::size_t cut = word.size();
    if (cut > 24) {
        cut = 24;
        while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80)
            --cut; // not inside a character
    }
    std::string w = word.substr(0, cut) + (cut < word.size() ? "..." : "");
    for (char& c : w)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return "\"" + w + "\"";
}

bool EndsWithOpt(const std::string& name) {
    if (name.size() < 5) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".opt";
}

} // namespace

unsigned long TOptionFiles::ColourByName(const std::string& word) {
    static const struct {
        const char* name;
        unsigned long value;
    } table[] = {
        {"AQUA", 0xFFFF00},    {"BLACK", 0x000000},  {"BLUE", 0xFF0000},   {"DKGRAY", 0x808080},
        {"FUCHSIA", 0xFF00FF}, {"GRAY", 0x808080},   {"GREEN", 0x008000},  {"LIME", 0x00FF00},
        {"LTGRAY", 0xC0C0C0},  {"MAROON", 0x000080}, {"NAVY", 0x800000},   {"OLIVE", 0x008080},
        {"PURPLE", 0x800080},  {"RED", 0x0000FF},    {"SILVER", 0xC0C0C0}, {"TEAL", 0x808000},
        {"WHITE", 0xFFFFFF},   {"YELLOW", 0x00FFFF},
    };
    for (const auto& e : table)
        if (word == e.name) return e.value;
    return 0xFFFFFF;
}

bool TOptionFiles::ReadInteger(const std::string& word, int& value) {
    const char* b = word.data();
    const char* e = b + word.size();
    if (b != e && *b == '+') {
        ++b;
        if (b != e && *b == '-') return false;
    }
    int v = 0;
    const auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e) return false;
    value = v;
    return true;
}

double TOptionFiles::RaFromWord(const std::string& word, bool& ok) {
    const std::string text =
        Mid(word, 1, 2) + "h" + Mid(word, 3, 2) + "m" + RightChars(word, 2) + "s";
    return TDegrees::Tim2Rad(text, ok);
}

double TOptionFiles::DecFromWord(const std::string& word, bool& ok) {
    const std::string text =
        Mid(word, 1, 3) + "." + Mid(word, 4, 2) + "m" + RightChars(word, 2) + "s";
    return TDegrees::Deg2Rad(text, ok);
}

std::string TOptionFiles::DecodeText(const std::string& bytes) {
    const std::string raw = bytes.substr(0, bytes.find('\0'));
    // Text that reads as UTF-8 is taken as UTF-8: Japanese in UTF-8 often
    // passes as Shift-JIS too (as half-width kana), while Shift-JIS Japanese
    // almost never passes as UTF-8.
    const std::string text = IsUtf8(raw) ? raw : SjisToUtf8(raw);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

void TOptionFiles::ReadFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<TSource> files;
    Problems.clear();
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (EndsWithOpt(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> problems;
    int beyond = 0;
    std::size_t total = 0;
    for (const std::string& name : names) {
        if (static_cast<int>(files.size()) >= MaxFiles) {
            ++beyond;
            continue;
        }
        const std::string path = (fs::path(folder) / name).string();
        std::string bytes, why;
        if (!TSafeFile::ReadAll(path, MaxFileBytes, bytes, why)) {
            // The reason alone: the file's name leads the line.
            const std::string lead = "Cannot read " + path + ": ";
            if (why.compare(0, lead.size(), lead) == 0) why.erase(0, lead.size());
            problems.push_back(name + ": cannot be read (" + why + ")");
            continue;
        }
        if (total + bytes.size() > MaxTotalBytes) {
            problems.push_back(name + ": not read, the option files together pass " +
                               std::to_string(MaxTotalBytes >> 20) + " MB");
            continue;
        }
        total += bytes.size();
        files.push_back({name, std::move(bytes)});
    }
    Read(files);
    Problems.insert(Problems.begin(), problems.begin(), problems.end());
    if (beyond > 0)
        Problems.push_back(std::to_string(beyond) + " files beyond the first " +
                           std::to_string(MaxFiles) + " were not read");
}

void TOptionFiles::Read(const std::vector<TSource>& files) {
    Titles.clear();
    Objects.clear();
    Problems.clear();
    overLimit_ = 0;
    const int n = std::min<int>(static_cast<int>(files.size()), MaxFiles);
    std::vector<std::string> texts(n);
    std::vector<long> leftover(n, 0);
    TCsv csv;
    // First pass: the titles, and how many whole objects follow each.
    for (int i = 0; i < n; ++i) {
        texts[i] = DecodeText(files[i].Bytes);
        csv.SetSrc(texts[i]);
        Titles.push_back(csv.GetWord());
        long words = 0;
        while (!csv.GetEos()) {
            csv.GetWord();
            ++words;
        }
        leftover[i] = words % GroupWords;
    }
    // Second pass: the objects.
    std::vector<std::string> group;
    for (int i = 0; i < n; ++i) {
        csv.SetSrc(texts[i]);
        csv.GetWord();
        int g = 0;
        for (;;) {
            group.clear();
            while (!csv.GetEos() && static_cast<int>(group.size()) < GroupWords)
                group.push_back(csv.GetWord());
            if (static_cast<int>(group.size()) < GroupWords) break;
            ReadObject(files[i].Name, i + 1, ++g, group);
        }
        const long left = leftover[i];
        if (left != 0)
            Problems.push_back(files[i].Name + ": " + std::to_string(left) +
                               (left == 1 ? " word" : " words") +
                               " after the last whole object not read (an object takes 15 "
                               "words; does the last line end with a line break?)");
    }
    if (overLimit_ > 0)
        Problems.push_back(std::to_string(overLimit_) + " objects beyond the first " +
                           std::to_string(MaxObjects) + " were not read");
}

void TOptionFiles::ReadObject(const std::string& file, int fileNo, int group,
                              const std::vector<std::string>& w) {
    TMarker m;
    int* ints[5] = {&m.seq, &m.shape, &m.filled, &m.next, &m.lineStyle};
    const int intWord[5] = {1, 2, 3, 8, 9};
    int number = 0;
    const bool numbered = ReadInteger(w[0], number);
    const std::string which = file + ": object " + std::to_string(group) +
                              (numbered ? " (no. " + std::to_string(number) + ")" : "") +
                              " left out: word ";
    for (int k = 0; k < 5; ++k) {
        if (!ReadInteger(w[intWord[k] - 1], *ints[k])) {
            Problems.push_back(which + std::to_string(intWord[k]) + " " +
                               Quoted(w[intWord[k] - 1]) + " is not a whole number");
            return;
        }
    }
    bool ok = false;
    m.ra = RaFromWord(w[3], ok);
    if (!ok) {
        Problems.push_back(which + "4 " + Quoted(w[3]) + " is not a right ascension hhmmss");
        return;
    }
    m.dec = DecFromWord(w[4], ok);
    if (!ok) {
        Problems.push_back(which + "5 " + Quoted(w[4]) + " is not a declination sddmmss");
        return;
    }
    if (static_cast<int>(Objects.size()) >= MaxObjects) {
        ++overLimit_;
        return;
    }
    m.id = fileNo;
    m.colour = ColourByName(w[5]);
    m.name = w[6];
    m.lineColour = ColourByName(w[9]);
    Objects.push_back(m);
}
