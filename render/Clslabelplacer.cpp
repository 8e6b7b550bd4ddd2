#include "render/Clslabelplacer.h"

#include <algorithm>

void TLabelPlacer::Reset(int w, int h) {
    W = std::max(w, 0);
    H = std::max(h, 0);
    Cols = (W >> kShift) + 1;
    Rows = (H >> kShift) + 1;
    Symbols.clear();
    Arranged = false;
    Labels_.clear();
    Words = (W + 63) / 64;
    Taken.assign(static_cast<size_t>(Words) * H, 0);
}

void TLabelPlacer::Block(const TBox& b, int rank) {
    if (b.x1 <= 0 || b.y1 <= 0 || b.x0 >= W || b.y0 >= H || b.x1 <= b.x0 || b.y1 <= b.y0) return;
    if (rank == INT_MIN) {
        // Kept off by everything, as a label is.
        Take(b);
        return;
    }
    Symbols.push_back({b, rank});
    Arranged = false;
}

void TLabelPlacer::Arrange() {
    const size_t cells = static_cast<size_t>(Cols) * Rows;
    CellStart.assign(cells + 1, 0);
    CellMin.assign(cells, INT_MAX);
    auto each = [&](const TEntry& e, auto&& f) {
        const int c0 = std::max(e.box.x0, 0) >> kShift, c1 = (std::min(e.box.x1, W) - 1) >> kShift;
        const int r0 = std::max(e.box.y0, 0) >> kShift, r1 = (std::min(e.box.y1, H) - 1) >> kShift;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                f(static_cast<size_t>(r) * Cols + c);
    };
    for (const TEntry& e : Symbols)
        each(e, [&](size_t k) {
            ++CellStart[k + 1];
            CellMin[k] = std::min(CellMin[k], e.rank);
        });
    for (size_t k = 0; k < cells; ++k)
        CellStart[k + 1] += CellStart[k];
    CellEntries.resize(static_cast<size_t>(CellStart[cells]));
    std::vector<int> fill(CellStart.begin(), CellStart.end() - 1);
    for (const TEntry& e : Symbols)
        each(e, [&](size_t k) { CellEntries[static_cast<size_t>(fill[k]++)] = e; });
    Arranged = true;
}

namespace {
// The bits of columns lo..hi-1 of a word (0 <= lo < hi <= 64).
unsigned long long Bits(int lo, int hi) {
    return (hi == 64 ? ~0ULL : (1ULL << hi) - 1) & ~((1ULL << lo) - 1);
}
} // namespace

bool TLabelPlacer::AnyTaken(const TBox& b) const {
    // A label spans at most a few words of a row: their masks once, then
    // the rows.
    const int w0 = b.x0 >> 6, w1 = (b.x1 - 1) >> 6;
    if (w1 - w0 > 3) {
        for (int y = b.y0; y < b.y1; ++y)
            for (int w = w0; w <= w1; ++w)
                if (Taken[static_cast<size_t>(y) * Words + w] &
                    Bits(std::max(b.x0 - w * 64, 0), std::min(b.x1 - w * 64, 64)))
                    return true;
        return false;
    }
    unsigned long long mask[4] = {0, 0, 0, 0};
    for (int w = w0; w <= w1; ++w)
        mask[w - w0] = Bits(std::max(b.x0 - w * 64, 0), std::min(b.x1 - w * 64, 64));
    const int n = w1 - w0 + 1;
    const unsigned long long* row = Taken.data() + static_cast<size_t>(b.y0) * Words + w0;
    for (int y = b.y0; y < b.y1; ++y, row += Words) {
        unsigned long long any = row[0] & mask[0];
        for (int k = 1; k < n; ++k)
            any |= row[k] & mask[k];
        if (any) return true;
    }
    return false;
}

void TLabelPlacer::Take(const TBox& b) {
    const int x0 = std::max(b.x0, 0), x1 = std::min(b.x1, W);
    const int y0 = std::max(b.y0, 0), y1 = std::min(b.y1, H);
    if (x0 >= x1 || y0 >= y1) return;
    for (int y = y0; y < y1; ++y) {
        unsigned long long* row = Taken.data() + static_cast<size_t>(y) * Words;
        for (int w = x0 >> 6; w <= (x1 - 1) >> 6; ++w) {
            row[w] |= Bits(std::max(x0 - w * 64, 0), std::min(x1 - w * 64, 64));
        }
    }
}

bool TLabelPlacer::Free(const TBox& b, int rank) {
    // Only boxes on the chart are asked about.
    if (AnyTaken(b)) return false;
    if (!Arranged) Arrange();
    const int c0 = b.x0 >> kShift, c1 = (b.x1 - 1) >> kShift;
    const int r0 = b.y0 >> kShift, r1 = (b.y1 - 1) >> kShift;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const size_t k = static_cast<size_t>(r) * Cols + c;
            if (CellMin[k] >= rank) continue;
            for (int i = CellStart[k]; i < CellStart[k + 1]; ++i) {
                const TEntry& e = CellEntries[static_cast<size_t>(i)];
                if (e.rank < rank && e.box.Overlaps(b)) return false;
            }
        }
    return true;
}

bool TLabelPlacer::Place(const TBox* boxes, int n, int rank, bool force, TBox& placed) {
    int firstInside = -1;
    for (int k = 0; k < n; ++k) {
        const TBox& b = boxes[k];
        if (b.x0 < 0 || b.y0 < 0 || b.x1 > W || b.y1 > H) continue;
        if (firstInside < 0) firstInside = k;
        if (!Free(b, rank)) continue;
        placed = b;
        // A label keeps every later label off, whatever its rank.
        Take(b);
        Labels_.push_back(b);
        return true;
    }
    if (!force || n <= 0) return false;
    // Nowhere free: over what lies there, on the chart.
    placed = boxes[firstInside >= 0 ? firstInside : 0];
    const int w = placed.x1 - placed.x0, h = placed.y1 - placed.y0;
    placed.x0 = std::clamp(placed.x0, 0, std::max(0, W - w));
    placed.y0 = std::clamp(placed.y0, 0, std::max(0, H - h));
    placed.x1 = placed.x0 + w;
    placed.y1 = placed.y0 + h;
    Take(placed);
    Labels_.push_back(placed);
    return true;
}

void TLabelPlacer::Beside(int px, int py, int r, int w, int h, TSide first, TBox (&out)[8],
                          int gap) {
    const int d = r + gap;
    const int corners[8][2] = {
        {px + d, py - h / 2},         // right
        {px - d - w, py - h / 2},     // left
        {px - w / 2, py - d - h},     // above
        {px - w / 2, py + d},         // below
        {px + r + 1, py - r - h},     // upper right
        {px + r + 1, py + r + 1},     // lower right
        {px - r - w, py - r - h},     // upper left
        {px - r - w, py + r + 1},     // lower left
    };
    int k = 0;
    out[k++] = {corners[first][0], corners[first][1], corners[first][0] + w, corners[first][1] + h};
    for (int i = 0; i < 8; ++i)
        if (i != first) out[k++] = {corners[i][0], corners[i][1], corners[i][0] + w, corners[i][1] + h};
}
