// TDIB: an 8-bit indexed raster with its colour table and the drawing
// surface bound to its pixels. Rows are stored top-down, each padded to a
// multiple of four bytes, as the classic device-independent bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One colour-table entry, in the byte order of the classic raster format.
struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

class TSurface;

// The raster header as the classic format writes it (height negative: top-down).
struct TDibHeader {
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 8;
    uint32_t biCompression = 0;
};

class TDIB {
public:
    TDIB();
    ~TDIB();
    TDIB(const TDIB&) = delete;
    TDIB& operator=(const TDIB&) = delete;

    void AddColor(unsigned long colour);
    void Create(int width, int height);
    int Col2Idx(unsigned long colour) const;
    unsigned long Idx2Col(int index) const;
    bool DotIdx(int x, int y, unsigned char index);
    void FillIdx(unsigned char index);
    RGBQUAD* GetColTbl() { return ColTbl; }
    const RGBQUAD* GetColTbl() const { return ColTbl; }
    void AddPalette(const TDIB* other);

    // The drawing surface bound to the pixels (null before Create).
    TSurface* GetSurface() { return Surface.get(); }
    const TSurface* GetSurface() const { return Surface.get(); }
    int GetWidth() const { return Header.biWidth; }
    int GetHeight() const { return -Header.biHeight; }
    int GetStride() const { return Stride; }
    int GetColCount() const { return ColCount; }
    const TDibHeader& GetHeader() const { return Header; }

    // Pixel memory, row 0 at the top; Stride bytes per row.
    uint8_t* GetBits() { return Bits.get(); }
    const uint8_t* GetBits() const { return Bits.get(); }
    uint8_t* Row(int y) { return Bits.get() + static_cast<size_t>(y) * Stride; }
    const uint8_t* Row(int y) const { return Bits.get() + static_cast<size_t>(y) * Stride; }
    // The index at (x, y); 0 for a point off the raster.
    unsigned char GetIdx(int x, int y) const;

    // The entry nearest to a colour among those in use when the raster was
    // created: what the drawing operations paint. Colours added after Create do
    // not reach the drawing surface, as with the classic bitmap section.
    unsigned char NearestIdx(unsigned long colour) const;

private:
    TDibHeader Header;
    RGBQUAD ColTbl[256];
    int ColCount = 0;
    RGBQUAD SurfaceTbl[256]; // the table as it was at Create
    int SurfaceCount = 0;
    int Stride = 0;
    // The pixels (a large raster in huge pages, see Create).
    struct TFree {
        void operator()(uint8_t* p) const;
    };
    std::unique_ptr<uint8_t[], TFree> Bits;
    std::unique_ptr<TSurface> Surface;
};

// Colours are 0x00BBGGRR throughout, red in the low byte.
constexpr unsigned long RGB(int r, int g, int b) {
    return static_cast<unsigned long>(r & 255) | (static_cast<unsigned long>(g & 255) << 8) |
           (static_cast<unsigned long>(b & 255) << 16);
}
constexpr int GetRValue(unsigned long c) {
    return static_cast<int>(c & 255);
}
constexpr int GetGValue(unsigned long c) {
    return static_cast<int>((c >> 8) & 255);
}
constexpr int GetBValue(unsigned long c) {
    return static_cast<int>((c >> 16) & 255);
}
