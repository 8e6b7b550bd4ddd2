// TFont: a face found through Fontconfig and rendered by FreeType as
// monochrome glyphs, the way the charts' labels have always looked.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The Greek letter the classic "Symbol" face draws for a Latin key.
char32_t SymbolKey(char32_t c);

// Whether a text has bytes beyond ASCII (UTF-8 sequences).
inline bool HasNonAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

struct TFontDesc {
    std::string Face; // empty: the default face
    int Height = 16;  // character (em) height in pixels
    int Weight = 400; // 100..900; 0 leaves the default
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    uint8_t CharSet = 0; // 128: Japanese texts expected
};

class TFont {
public:
    struct Glyph {
        int Left = 0;    // from the pen position to the first column
        int Top = 0;     // from the baseline up to the first row
        int Advance = 0; // pen movement in pixels
        int Width = 0;
        int Rows = 0;
        // The ink as runs along the rows: row, first column, length.
        std::vector<int16_t> Runs;
        // The ink of each row as bits (column c is bit c), for glyphs up to
        // 32 pixels wide; empty for wider ones.
        std::vector<uint32_t> Masks;
        // For glyphs up to 8 pixels wide, each row's ink as eight bytes of
        // 0xFF or 0, in memory order, for writing a row at once.
        std::vector<uint64_t> Bytes8;
    };

    // Fonts are shared and kept: charts make the same few fonts on every drawing.
    static std::shared_ptr<TFont> Make(const TFontDesc& desc);

    const TFontDesc& Desc() const { return FDesc; }
    int Ascent() const { return FAscent; }
    int Descent() const { return FDescent; }
    const std::string& File() const { return FFile; }
    const std::string& Family() const { return FFamily; }

    // Code points of a UTF-8 text as this face draws them ("Symbol" maps the
    // Latin keys to Greek letters).
    std::u32string Decode(const std::string& text) const;
    const Glyph& GetGlyph(char32_t cp);
    int TextWidth(const std::string& text);
    // Calls f(glyph) for each character of a UTF-8 text, in order, as
    // Decode and GetGlyph would give them, without building the decoded text.
    template <class F> void ForEachGlyph(const std::string& text, F&& f);

    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

private:
    TFont() = default;
    struct Face;
    TFontDesc FDesc;
    std::string FFile, FFamily;
    int FAscent = 0, FDescent = 0;
    bool FSymbol = false;
    std::unique_ptr<Face> FMain, FFallback;
    bool FFallbackTried = false;
    std::map<char32_t, Glyph> FGlyphs;
    // Latin and Greek glyphs once made, read without the lock: labels are
    // drawn by the thousand on every redraw.
    static constexpr char32_t kQuick = 0x400;
    std::array<std::atomic<const Glyph*>, kQuick> FQuick{};
};

template <class F> void TFont::ForEachGlyph(const std::string& text, F&& f) {
    if (HasNonAscii(text)) {
        for (char32_t c : Decode(text))
            f(GetGlyph(c));
        return;
    }
    for (unsigned char c : text)
        f(GetGlyph(FSymbol ? SymbolKey(c) : c));
}

// Decodes UTF-8; malformed bytes become U+FFFD rather than being dropped silently.
std::u32string DecodeUtf8(const std::string& text);
