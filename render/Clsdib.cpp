#include "render/Clsdib.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "render/Clssurface.h"

TDIB::TDIB() {
    std::memset(ColTbl, 0, sizeof ColTbl);
    std::memset(SurfaceTbl, 0, sizeof SurfaceTbl);
}

TDIB::~TDIB() = default;

void TDIB::TFree::operator()(uint8_t* p) const {
    std::free(p);
}

void TDIB::AddColor(unsigned long colour) {
    const uint8_t r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    for (int i = 0; i < ColCount; ++i) {
        if (ColTbl[i].rgbRed == r && ColTbl[i].rgbGreen == g && ColTbl[i].rgbBlue == b) return;
    }
    if (ColCount >= 256) return;
    ColTbl[ColCount] = RGBQUAD{b, g, r, 0};
    ++ColCount;
}

void TDIB::Create(int width, int height) {
    // The surface refers to the old pixels: drop it before they go.
    Surface.reset();
    Bits.reset();
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    Header.biWidth = width;
    Header.biHeight = -height;
    Stride = (width + 3) / 4 * 4;
    const size_t size = static_cast<size_t>(Stride) * height;
    // From a megabyte up (a full-screen chart) the pixels go in huge pages:
    // a drawing writes all over them, and with small pages nearly every
    // scattered write would need its own address lookup.
    constexpr size_t kHuge = size_t{2} << 20;
    if (size >= kHuge / 2) {
        const size_t rounded = (size + kHuge - 1) / kHuge * kHuge;
        Bits.reset(static_cast<uint8_t*>(std::aligned_alloc(kHuge, rounded)));
        if (Bits) madvise(Bits.get(), rounded, MADV_HUGEPAGE);
    } else if (size > 0) {
        Bits.reset(static_cast<uint8_t*>(std::malloc(size)));
    }
    if (!Bits && size > 0) throw std::bad_alloc();
    if (Bits) std::memset(Bits.get(), 0, size);
    std::memcpy(SurfaceTbl, ColTbl, sizeof ColTbl);
    SurfaceCount = ColCount;
    Surface = std::make_unique<TSurface>(*this);
}

int TDIB::Col2Idx(unsigned long colour) const {
    const uint8_t r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    for (int i = 0; i < ColCount; ++i) {
        if (ColTbl[i].rgbRed == r && ColTbl[i].rgbGreen == g && ColTbl[i].rgbBlue == b) return i;
    }
    return 255;
}

unsigned long TDIB::Idx2Col(int index) const {
    if (index < 0 || index > 255) return 0;
    const RGBQUAD& q = ColTbl[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

bool TDIB::DotIdx(int x, int y, unsigned char index) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return false;
    Row(y)[x] = index;
    return true;
}

void TDIB::FillIdx(unsigned char index) {
    if (Bits) std::memset(Bits.get(), index, static_cast<size_t>(Stride) * GetHeight());
}

void TDIB::AddPalette(const TDIB* other) {
    if (!other) return;
    for (int i = 0; i < other->ColCount; ++i)
        AddColor(other->Idx2Col(i));
}

unsigned char TDIB::GetIdx(int x, int y) const {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return 0;
    return Row(y)[x];
}

unsigned char TDIB::NearestIdx(unsigned long colour) const {
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < SurfaceCount; ++i) {
        const RGBQUAD& q = SurfaceTbl[i];
        const long dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0) break;
        }
    }
    return static_cast<unsigned char>(best);
}
