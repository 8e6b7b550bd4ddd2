// TLabelPlacer: where a chart's labels go so that none covers another label
// or the symbol of a brighter object. Labels are offered in order of
// importance (the chosen object, bodies, then the brighter and larger); each
// tries its places in turn and is left out when every one is taken or leaves
// the chart. Plain arithmetic on boxes, shared by the atlas, the planisphere
// and the printed pages (which draw through the same code).
#pragma once

#include <climits>
#include <vector>

class TLabelPlacer {
public:
    // A box of pixels: right and bottom edges excluded.
    struct TBox {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool Overlaps(const TBox& o) const {
            return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
        }
    };
    // The places beside a symbol reaching r pixels round (px, py), for a
    // label of w x h pixels: top-left corners.
    enum TSide { Right, Left, Above, Below, UpperRight, LowerRight, UpperLeft, LowerLeft };

    // A chart of w x h pixels with nothing on it.
    void Reset(int w, int h);
    // A symbol of importance `rank` (lower is more important): labels of a
    // lower rank keep off it, those of a higher rank may cover it.
    void Block(const TBox& b, int rank = INT_MIN);
    // The first of the n boxes that lies wholly on the chart and covers no
    // label and no symbol of a lower rank than `rank` becomes a label; false
    // when there is none. With force the first box on the chart (else the
    // first box moved onto it) is taken whatever lies there.
    bool Place(const TBox* boxes, int n, int rank, bool force, TBox& placed);
    // The eight places beside a symbol, `first` first and the rest in the
    // order of TSide; gap pixels between symbol and label.
    static void Beside(int px, int py, int r, int w, int h, TSide first, TBox (&out)[8],
                       int gap = 2);
    // Every label placed since Reset.
    const std::vector<TBox>& Labels() const { return Labels_; }

private:
    struct TEntry {
        TBox box;
        int rank;
    };
    bool Free(const TBox& b, int rank);
    // The symbols by cells of kCell pixels (one in every cell it touches),
    // laid out together once the labels start, with each cell's lowest rank
    // so that a cell holding nothing a label must keep off is passed at once.
    void Arrange();
    static constexpr int kShift = 4, kCell = 1 << kShift;
    int W = 0, H = 0, Cols = 0, Rows = 0;
    std::vector<TEntry> Symbols;
    bool Arranged = false;
    std::vector<int> CellStart, CellMin;
    std::vector<TEntry> CellEntries;
    // The labels' pixels, a bit each, rows of Words words.
    int Words = 0;
    std::vector<unsigned long long> Taken;
    bool AnyTaken(const TBox& b) const;
    void Take(const TBox& b);
    std::vector<TBox> Labels_;
};
