#include "render/Clsfont.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <mutex>
#include <tuple>

namespace {

std::mutex& FontMutex() {
    static std::mutex m;
    return m;
}

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

} // namespace

char32_t SymbolKey(char32_t c) {
    static const char32_t upper[26] = {
        0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399, 0x3D1, 0x39A, 0x39B, 0x39C,
        0x39D, 0x39F, 0x3A0, 0x398, 0x3A1, 0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
    static const char32_t lower[26] = {
        0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9, 0x3D5, 0x3BA, 0x3BB, 0x3BC,
        0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1, 0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};
    if (c >= 'A' && c <= 'Z') return upper[c - 'A'];
    if (c >= 'a' && c <= 'z') return lower[c - 'a'];
    return c;
}

namespace {

struct Found {
    std::string file, family;
    int index = 0;
};

// Asks Fontconfig for the installed face standing in for a requested one.
Found Resolve(const std::string& family, bool japanese, int weight, bool italic) {
    Found out;
    if (!FcInit()) return out;
    FcPattern* pat = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    else
        FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    // Japanese face names have no installed namesake: the language picks a face
    // that carries the glyphs instead.
    if (japanese) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(pat, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    if (match) {
        FcChar8* file = nullptr;
        FcChar8* fam = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            out.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
            out.family = reinterpret_cast<const char*>(fam);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) out.index = index;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return out;
}

} // namespace

struct TFont::Face {
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
    }
    bool Open(const std::string& file, int index, int height) {
        if (file.empty() || !Library()) return false;
        if (FT_New_Face(Library(), file.c_str(), index, &face) != 0) {
            face = nullptr;
            return false;
        }
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) != 0) {
            FT_Done_Face(face);
            face = nullptr;
            return false;
        }
        return true;
    }
};

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int len = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            len = 4;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (i + len > n) {
            out.push_back(0xFFFD);
            break;
        }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += len;
    }
    return out;
}

std::shared_ptr<TFont> TFont::Make(const TFontDesc& desc) {
    std::lock_guard<std::mutex> lock(FontMutex());
    using Key = std::tuple<std::string, int, int, bool, bool, bool, int>;
    static std::map<Key, std::shared_ptr<TFont>> cache;
    TFontDesc s = desc;
    if (s.Height < 1) s.Height = 1;
    if (s.Height > 1000) s.Height = 1000;
    const Key key{s.Face, s.Height, s.Weight, s.Italic, s.Underline, s.StrikeOut, s.CharSet};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;

    std::shared_ptr<TFont> font(new TFont());
    font->FDesc = s;
    font->FSymbol = (s.Face == "Symbol");
    // The Greek letters come from a Unicode face; the old symbol encoding is
    // mapped in Decode.
    const std::string family = font->FSymbol ? std::string("DejaVu Sans") : s.Face;
    const bool japanese = HasNonAscii(s.Face) || (s.CharSet == 128 && s.Face.empty());
    const Found f = Resolve(family, japanese, s.Weight, s.Italic);
    font->FFile = f.file;
    font->FFamily = f.family;
    font->FMain = std::make_unique<Face>();
    if (font->FMain->Open(f.file, f.index, s.Height)) {
        const FT_Size_Metrics& m = font->FMain->face->size->metrics;
        font->FAscent = static_cast<int>((m.ascender + 63) >> 6);
        font->FDescent = static_cast<int>((-m.descender + 63) >> 6);
    } else {
        font->FMain.reset();
        font->FAscent = s.Height * 9 / 10;
        font->FDescent = s.Height - font->FAscent;
    }
    cache[key] = font;
    return font;
}

TFont::~TFont() = default;

std::u32string TFont::Decode(const std::string& text) const {
    std::u32string cps = DecodeUtf8(text);
    if (FSymbol)
        for (char32_t& c : cps)
            c = SymbolKey(c);
    return cps;
}

const TFont::Glyph& TFont::GetGlyph(char32_t cp) {
    if (cp < kQuick)
        if (const Glyph* q = FQuick[cp].load(std::memory_order_acquire)) return *q;
    std::lock_guard<std::mutex> lock(FontMutex());
    auto it = FGlyphs.find(cp);
    if (it != FGlyphs.end()) return it->second;
    Glyph g;
    FT_Face face = FMain ? FMain->face : nullptr;
    FT_UInt gi = face ? FT_Get_Char_Index(face, cp) : 0;
    if (gi == 0 && cp > 0x7F) {
        // A glyph the face lacks (kana in a Latin face) comes from a face
        // that has it, so that names never turn into empty boxes.
        if (!FFallbackTried) {
            FFallbackTried = true;
            const bool cjk = cp >= 0x2E80;
            const Found f = Resolve(cjk ? std::string() : std::string("DejaVu Sans"), cjk,
                                    FDesc.Weight, FDesc.Italic);
            FFallback = std::make_unique<Face>();
            if (!FFallback->Open(f.file, f.index, FDesc.Height)) FFallback.reset();
        }
        if (FFallback) {
            const FT_UInt fgi = FT_Get_Char_Index(FFallback->face, cp);
            if (fgi != 0) {
                face = FFallback->face;
                gi = fgi;
            }
        }
    }
    std::vector<uint8_t> bits; // Width x Rows, 1 = ink
    if (face && FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0 &&
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.Left = slot->bitmap_left;
        g.Top = slot->bitmap_top;
        g.Advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.Width = static_cast<int>(bm.width);
        g.Rows = static_cast<int>(bm.rows);
        bits.assign(static_cast<size_t>(g.Width) * g.Rows, 0);
        for (int r = 0; r < g.Rows; ++r) {
            const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(r) * bm.pitch;
            for (int c = 0; c < g.Width; ++c) {
                const bool on = bm.pixel_mode == FT_PIXEL_MODE_MONO
                                    ? (src[c >> 3] >> (7 - (c & 7))) & 1
                                    : src[c] >= 128;
                bits[static_cast<size_t>(r) * g.Width + c] = on ? 1 : 0;
            }
        }
    } else {
        g.Advance = FDesc.Height / 2;
    }
    for (int r = 0; r < g.Rows; ++r)
        for (int c = 0; c < g.Width;) {
            if (!bits[static_cast<size_t>(r) * g.Width + c]) {
                ++c;
                continue;
            }
            int e = c;
            while (e < g.Width && bits[static_cast<size_t>(r) * g.Width + e])
                ++e;
            g.Runs.insert(g.Runs.end(), {static_cast<int16_t>(r), static_cast<int16_t>(c),
                                         static_cast<int16_t>(e - c)});
            c = e;
        }
    if (g.Width <= 32) {
        g.Masks.assign(static_cast<size_t>(g.Rows), 0);
        for (int r = 0; r < g.Rows; ++r)
            for (int c = 0; c < g.Width; ++c)
                if (bits[static_cast<size_t>(r) * g.Width + c]) g.Masks[r] |= uint32_t{1} << c;
    }
    if (g.Width <= 8) {
        for (int r = 0; r < g.Rows; ++r) {
            uint8_t row[8] = {};
            for (int c = 0; c < g.Width; ++c)
                row[c] = bits[static_cast<size_t>(r) * g.Width + c] ? 0xFF : 0;
            uint64_t m;
            std::memcpy(&m, row, 8);
            g.Bytes8.push_back(m);
        }
    }
    const Glyph& made = FGlyphs.emplace(cp, std::move(g)).first->second;
    // Map nodes stay where they are, so the quick table may point at them.
    if (cp < kQuick) FQuick[cp].store(&made, std::memory_order_release);
    return made;
}

int TFont::TextWidth(const std::string& text) {
    int w = 0;
    ForEachGlyph(text, [&](const Glyph& g) { w += g.Advance; });
    return w;
}
