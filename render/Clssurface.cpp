#include "render/Clssurface.h"

#include "render/Clsdrawtarget.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render/Clsdib.h"
#include "render/Clsfont.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;

// Dash patterns in pixels (on, off, on, off ...), as cosmetic pens draw them.
const std::vector<int>& DashPattern(int style) {
    static const std::vector<int> none;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashdot{9, 6, 3, 6};
    static const std::vector<int> dashdotdot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case TSurface::PS_DASH:
        return dash;
    case TSurface::PS_DOT:
        return dot;
    case TSurface::PS_DASHDOT:
        return dashdot;
    case TSurface::PS_DASHDOTDOT:
        return dashdotdot;
    default:
        return none;
    }
}

// The pixels a thin line paints, in the rows of a raster.
struct TRasterRows {
    uint8_t* Bits;
    ptrdiff_t Stride;
    int W, H;
};

} // namespace

// A dash pattern laid out for painting many pixels at once: for each place
// in the pattern, which pixels of the next eight are on, going forwards in
// memory and going backwards.
struct TDashTables {
    int period = 0;
    std::vector<uint8_t> on;     // per place in the pattern
    std::vector<uint64_t> ahead; // eight pixels from each place on, bytes in memory order
    std::vector<int> runLeft;    // per place, the pixels left of its piece
    // From the pieces, on, off, on ...
    explicit TDashTables(const std::vector<int>& pat) {
        for (size_t k = 0; k < pat.size(); ++k) {
            for (int i = 0; i < pat[k]; ++i) {
                on.push_back((k & 1) == 0);
                runLeft.push_back(pat[k] - i);
            }
            period += pat[k];
        }
        for (int q = 0; q < period; ++q) {
            uint8_t a[8];
            for (int j = 0; j < 8; ++j)
                a[j] = on[(q + j) % period] ? 0xFF : 0; // byte j is the j-th pixel on
            uint64_t ma;
            std::memcpy(&ma, a, 8);
            ahead.push_back(ma);
        }
    }
};

namespace {

// The tables of a pen style's dash pattern (null for a solid pen).
const TDashTables* DashTablesOf(int style) {
    static const TDashTables dash(DashPattern(TSurface::PS_DASH)),
        dot(DashPattern(TSurface::PS_DOT)), dashdot(DashPattern(TSurface::PS_DASHDOT)),
        dashdotdot(DashPattern(TSurface::PS_DASHDOTDOT));
    switch (style) {
    case TSurface::PS_DASH:
        return &dash;
    case TSurface::PS_DOT:
        return &dot;
    case TSurface::PS_DASHDOT:
        return &dashdot;
    case TSurface::PS_DASHDOTDOT:
        return &dashdotdot;
    default:
        return nullptr;
    }
}

// A thin line being stepped: the classic stepping from one end towards the
// other, where every step moves along the longer axis and along the shorter
// one as the error term says, with the place in the dash pattern.
struct TThinLine {
    int x, y, err;
    const int dx, dy, sx, sy;
    int ph;                    // the next step's place in the dash pattern (0 when solid)
    int colour[2];             // on and off pieces' colours; -1 paints nothing
    const TDashTables* tables; // the pattern's tables; null for a solid pen
};

// n steps of a line, each painting the pixel it starts from in the colour of
// its dash piece; when Checked the line may leave the raster and each pixel
// is tested. The fields are worked on in locals: a store through a byte
// pointer may alias anything and would make every step reload them.
template <bool Checked> void WalkThin(TThinLine& l, const TRasterRows& r, int n) {
    const int dx = l.dx, dy = l.dy, sx = l.sx, sy = l.sy;
    const ptrdiff_t rowStep = sy * r.Stride;
    const TDashTables* tab = l.tables;
    const int period = tab ? tab->period : 0, cOn = l.colour[0], cOff = l.colour[1];
    const uint8_t* on = tab ? tab->on.data() : nullptr;
    int e = l.err, x = l.x, y = l.y, ph = l.ph;
    int c = !tab || on[ph] ? cOn : cOff;
    uint8_t* p = Checked ? nullptr : r.Bits + static_cast<ptrdiff_t>(y) * r.Stride + x;
    const unsigned w = static_cast<unsigned>(r.W), h = static_cast<unsigned>(r.H);
    for (int k = 0; k < n; ++k) {
        if (c >= 0) {
            if (!Checked)
                *p = static_cast<uint8_t>(c);
            else if (static_cast<unsigned>(x) < w && static_cast<unsigned>(y) < h)
                r.Bits[static_cast<ptrdiff_t>(y) * r.Stride + x] = static_cast<uint8_t>(c);
        }
        const int e2 = 2 * e;
        if (e2 > -dy) {
            e -= dy;
            x += sx;
            if (!Checked) p += sx;
        }
        if (e2 < dx) {
            e += dx;
            y += sy;
            if (!Checked) p += rowStep;
        }
        if (tab) {
            if (++ph == period) ph = 0;
            c = on[ph] ? cOn : cOff;
        }
    }
    l.err = e;
    l.x = x;
    l.y = y;
    l.ph = ph;
}

// Spans of a line wholly inside the raster: between two moves of the shorter
// axis the pixels lie in one row (or column). A row's pixels are painted
// eight at a time through the dash pattern's masks. The same pixels,
// colours and end state as WalkThin.
inline void WalkSpans(TThinLine& l, const TRasterRows& r, int n) {
    const int dx = l.dx, dy = l.dy, sx = l.sx, sy = l.sy;
    const bool xMajor = dx >= dy;
    // Spans shorter than four pixels on average are not worth their division.
    if (4LL * std::min(dx, dy) > std::max(dx, dy)) {
        WalkThin<false>(l, r, n);
        return;
    }
    // Along the longer axis, and the extra move of the shorter one.
    const ptrdiff_t along = xMajor ? sx : sy * r.Stride;
    const ptrdiff_t across = xMajor ? sy * r.Stride : sx;
    const TDashTables* tab = l.tables;
    // Locals, since a byte store may alias the tables' own pointers.
    const int period = tab ? tab->period : 0;
    const uint8_t* on = tab ? tab->on.data() : nullptr;
    const int* runLeft = tab ? tab->runLeft.data() : nullptr;
    const uint64_t* ahead = tab ? tab->ahead.data() : nullptr;
    // The place in the pattern of the next pixel.
    int ph = l.ph;
    const int cOn = l.colour[0], cOff = l.colour[1];
    const uint64_t on8 = 0x0101010101010101ULL * static_cast<uint8_t>(cOn);
    const uint64_t off8 = 0x0101010101010101ULL * static_cast<uint8_t>(cOff < 0 ? 0 : cOff);
    // The error term counted along the longer axis: along x it is the error
    // itself, along y its negative. It falls by the shorter difference a
    // step, and the shorter axis moves once twice it is below the longer.
    const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx, sign = xMajor ? 1 : -1;
    int e = sign * l.err, movesAcross = 0;
    uint8_t* p = r.Bits + static_cast<ptrdiff_t>(l.y) * r.Stride + l.x;
    int rest = n;
    while (rest > 0) {
        // Steps before the shorter axis moves.
        const long long still = 2LL * e < major ? 0
                                : minor == 0    ? rest
                                                : (2LL * e - major) / (2LL * minor) + 1;
        // The span: those steps and the one that moves across, if within n.
        const bool moves = still < rest;
        const int span = moves ? static_cast<int>(still) + 1 : rest;
        if (!tab) {
            // A solid pen.
            if (xMajor && span >= 32) {
                std::fill(sx > 0 ? p : p - (span - 1), sx > 0 ? p + span : p + 1,
                          static_cast<uint8_t>(cOn));
                p += static_cast<ptrdiff_t>(span) * sx;
            } else {
                for (int i = 0; i < span; ++i, p += along)
                    *p = static_cast<uint8_t>(cOn);
            }
        } else {
            int i = 0;
            if (xMajor) {
                for (; i + 8 <= span; i += 8) {
                    uint8_t* q = sx > 0 ? p + i : p - i - 7;
                    // Going back, the same eight pixels in the other order.
                    const uint64_t m = sx > 0 ? ahead[ph] : __builtin_bswap64(ahead[ph]);
                    uint64_t d;
                    if (cOff >= 0) {
                        d = (on8 & m) | (off8 & ~m);
                    } else {
                        std::memcpy(&d, q, 8);
                        d = (d & ~m) | (on8 & m);
                    }
                    std::memcpy(q, &d, 8);
                    ph += 8;
                    while (ph >= period)
                        ph -= period;
                }
                p += static_cast<ptrdiff_t>(i) * sx;
            }
            // The rest (a column's pixels, or a row's last few) piece by piece.
            while (i < span) {
                const int k = std::min(span - i, runLeft[ph]);
                const int c = on[ph] ? cOn : cOff;
                if (c >= 0) {
                    for (int j = 0; j < k; ++j, p += along)
                        *p = static_cast<uint8_t>(c);
                } else {
                    p += k * along;
                }
                i += k;
                ph += k;
                if (ph == period) ph = 0;
            }
        }
        // The error term stays within [-dy, dx], so this product is small.
        e -= static_cast<int>(static_cast<long long>(span) * minor);
        if (moves) {
            e += major;
            p += across;
            ++movesAcross;
        }
        rest -= span;
    }
    (xMajor ? l.x : l.y) += n * (xMajor ? sx : sy);
    (xMajor ? l.y : l.x) += movesAcross * (xMajor ? sy : sx);
    l.err = sign * e;
    l.ph = ph;
}

// n steps without painting, in one go: along the longer axis every step
// moves, and the error term g (2 err - dx, or -2 err - dy when y is the
// longer axis) stays within a window 2 dx (2 dy) wide, which fixes how many
// steps the shorter axis took. The dash pattern moves on by n places.
inline void SkipSteps(TThinLine& l, int n) {
    if (n <= 0) return;
    // Along y the roles of the axes swap and the error term changes sign.
    const bool xMajor = l.dx >= l.dy;
    const long long major = xMajor ? l.dx : l.dy, minor = xMajor ? l.dy : l.dx;
    const int sign = xMajor ? 1 : -1;
    const long long g0 = sign * 2LL * l.err - major, b = 2 * major;
    const long long a = 2 * n * minor - 2 * minor - g0;
    const long long moved = a >= 0 ? (a + b - 1) / b : -((-a) / b);
    const long long g = g0 - 2 * n * minor + b * moved;
    (xMajor ? l.x : l.y) += n * (xMajor ? l.sx : l.sy);
    (xMajor ? l.y : l.x) += static_cast<int>(moved) * (xMajor ? l.sy : l.sx);
    l.err = static_cast<int>(sign * (g + major) / 2);
    const TDashTables* tab = l.tables;
    if (!tab) return;
    l.ph = (l.ph + n % tab->period) % tab->period;
}

// A line that leaves the raster: the steps whose longer-axis coordinate is
// inside are found in one go and the others stepped over; what is left is
// painted span by span when its shorter-axis coordinate stays inside too.
inline void WalkClipped(TThinLine& l, const TRasterRows& r, int n) {
    const bool xMajor = l.dx >= l.dy;
    const int start = xMajor ? l.x : l.y, s = xMajor ? l.sx : l.sy, size = xMajor ? r.W : r.H;
    // Steps k whose coordinate start + k s lies in [0, size): k0 <= k < k1.
    long long k0, k1;
    if (s > 0) {
        k0 = std::max(0LL, -static_cast<long long>(start));
        k1 = std::min<long long>(n, static_cast<long long>(size) - start);
    } else {
        k0 = std::max(0LL, static_cast<long long>(start) - size + 1);
        k1 = std::min<long long>(n, static_cast<long long>(start) + 1);
    }
    if (k0 >= k1) {
        SkipSteps(l, n);
        return;
    }
    SkipSteps(l, static_cast<int>(k0));
    const int count = static_cast<int>(k1 - k0);
    // The shorter axis moves one way only: inside at both ends, inside all along.
    TThinLine last = l;
    SkipSteps(last, count - 1);
    const int minorSize = xMajor ? r.H : r.W;
    const int a = xMajor ? l.y : l.x, b = xMajor ? last.y : last.x;
    if (a >= 0 && a < minorSize && b >= 0 && b < minorSize)
        WalkSpans(l, r, count);
    else
        WalkThin<true>(l, r, count);
    SkipSteps(l, static_cast<int>(n - k1));
}
} // namespace

TSurface::TSurface(TDIB& dib) : FDib(dib) {
    TFontDesc desc;
    FFont = TFont::Make(desc);
    PenChanged();
    FBkIdx = FDib.NearestIdx(FBkColour);
    FTextIdx = FDib.NearestIdx(FTextColour);
}

TSurface::TSurface(const TSurface& other, int top, int bottom)
    : FDib(other.FDib), FPen(other.FPen), FBrush(other.FBrush), FFont(other.FFont),
      FBkMode(other.FBkMode), FTextColour(other.FTextColour), FBkColour(other.FBkColour),
      FCur(other.FCur), FDashPos(other.FDashPos), FPenIdx(other.FPenIdx), FBkIdx(other.FBkIdx),
      FTextIdx(other.FTextIdx), FDashTables(other.FDashTables) {
    SetBand(top, bottom);
}

void TSurface::SetBand(int top, int bottom) {
    FTop = std::max(top, 0);
    FBottom = bottom;
}

int TSurface::Bottom() const {
    return std::min(FBottom, FDib.GetHeight());
}

void TSurface::PenChanged() {
    FPenIdx = FDib.NearestIdx(FPen.Colour);
    FDashTables = DashTablesOf(FPen.Style);
}

TSurface::~TSurface() = default;

TPen TSurface::SelectPen(const TPen& pen) {
    TPen old = FPen;
    FPen = pen;
    if (FPen.Width < 1) FPen.Width = 1;
    FDashPos = 0;
    PenChanged();
    return old;
}

TBrush TSurface::SelectBrush(const TBrush& brush) {
    TBrush old = FBrush;
    FBrush = brush;
    return old;
}

std::shared_ptr<TFont> TSurface::SelectFont(std::shared_ptr<TFont> font) {
    std::shared_ptr<TFont> old = FFont;
    if (font) FFont = std::move(font);
    return old;
}

int TSurface::SetBkMode(int mode) {
    const int old = FBkMode;
    if (mode == TRANSPARENT || mode == OPAQUE) FBkMode = mode;
    return old;
}

unsigned long TSurface::SetTextColor(unsigned long colour) {
    const unsigned long old = FTextColour;
    FTextColour = colour & 0xFFFFFF;
    FTextIdx = FDib.NearestIdx(FTextColour);
    return old;
}

unsigned long TSurface::SetBkColor(unsigned long colour) {
    const unsigned long old = FBkColour;
    FBkColour = colour & 0xFFFFFF;
    FBkIdx = FDib.NearestIdx(FBkColour);
    return old;
}

void TSurface::Plot(int x, int y, unsigned char idx) {
    if (x < 0 || y < FTop || x >= FDib.GetWidth() || y >= Bottom()) return;
    FDib.Row(y)[x] = idx;
}

void TSurface::HLine(int x0, int x1, int y, unsigned char idx) {
    if (y < FTop || y >= Bottom()) return;
    if (x0 > x1) std::swap(x0, x1);
    x0 = std::max(x0, 0);
    x1 = std::min(x1, FDib.GetWidth() - 1);
    if (x0 > x1) return;
    uint8_t* row = FDib.Row(y);
    std::fill(row + x0, row + x1 + 1, idx);
}

void TSurface::PenDot(int x, int y, unsigned char idx) {
    const int w = FPen.Width;
    if (w <= 1) {
        Plot(x, y, idx);
        return;
    }
    const int lo = -(w - 1) / 2;
    for (int dy = lo; dy < lo + w; ++dy)
        HLine(x + lo, x + lo + w - 1, y + dy, idx);
}

void TSurface::Stroke(int x0, int y0, int x1, int y1, bool lastPixel) {
    if (FPen.Style == PS_NULL) return;
    const unsigned char idx = FPenIdx;
    const TDashTables* tab = FDashTables;
    const bool dashed = tab != nullptr;
    const unsigned char bk = FBkIdx;
    // In 64 bits: the differences of two ints do not fit an int.
    long long ldx = std::llabs(static_cast<long long>(x1) - x0);
    long long ldy = std::llabs(static_cast<long long>(y1) - y0);
    // A line wholly off one side of the raster paints nothing; only the dash
    // pattern moves on, by one place per step.
    const int reach = FPen.Width;
    const int W = FDib.GetWidth(), H = FDib.GetHeight();
    const int top = FTop, bottom = Bottom();
    auto skipDash = [&](long long steps) {
        if (dashed) FDashPos = static_cast<int>((FDashPos + steps % tab->period) % tab->period);
    };
    if (top >= bottom || std::max(x0, x1) < -reach || std::min(x0, x1) >= W + reach ||
        std::max(y0, y1) < top - reach || std::min(y0, y1) >= bottom + reach) {
        skipDash(std::max(ldx, ldy));
        return;
    }
    // A line far longer than the raster (from a point a damaged record put
    // millions of pixels away) is cut to the raster first: stepping it
    // pixel by pixel would take minutes. Lines of ordinary length keep their
    // exact pixels.
    const long long steps = std::max(ldx, ldy);
    if (steps > kLongLine) {
        const double m = reach + 2.0;
        double t0 = 0.0, t1 = 1.0;
        const double fx = double(x1) - x0, fy = double(y1) - y0;
        auto clip = [&](double p, double q) { // p * t <= q
            if (p == 0.0) return q >= 0.0;
            const double r = q / p;
            if (p < 0.0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            return t0 <= t1;
        };
        if (!clip(-fx, x0 + m) || !clip(fx, W - 1 + m - x0) || !clip(-fy, y0 + m) ||
            !clip(fy, H - 1 + m - y0)) {
            skipDash(steps);
            return;
        }
        const long long skipped = static_cast<long long>(std::floor(t0 * double(steps)));
        skipDash(skipped);
        const int cx0 = static_cast<int>(std::llround(x0 + t0 * fx));
        const int cy0 = static_cast<int>(std::llround(y0 + t0 * fy));
        if (t1 < 1.0) {
            x1 = static_cast<int>(std::llround(x0 + t1 * fx));
            y1 = static_cast<int>(std::llround(y0 + t1 * fy));
            lastPixel = true; // the cut end lies outside the raster anyway
        }
        x0 = cx0;
        y0 = cy0;
    }
    // From here the line is short enough for int steps.
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    // Where in the dash pattern the first step falls (FDashPos is kept
    // within one period of the pattern); the place after the last step is
    // kept for the next line.
    int ph = dashed ? FDashPos : 0;
    const bool opaque = FBkMode == OPAQUE;
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx - dy;
    int x = x0, y = y0;
    if (FPen.Width <= 1) {
        // The one-pixel pen: a line has max(dx, dy) steps.
        const int n = std::max(dx, dy);
        // Stepped in the band's rows: the steps do not depend on where the
        // line starts, so its pixels are those it paints on the whole raster.
        TThinLine line{x, y - top, err, dx, dy, sx, sy, ph, {idx, opaque ? bk : -1}, tab};
        TRasterRows rows{FDib.Row(top), FDib.GetStride(), W, bottom - top};
        const bool inside = std::min(x0, x1) >= 0 && std::max(x0, x1) < W &&
                            std::min(y0, y1) >= top && std::max(y0, y1) < bottom;
        if (inside)
            WalkSpans(line, rows, n);
        else
            WalkClipped(line, rows, n);
        if (dashed) FDashPos = line.ph;
        if (lastPixel) Plot(x1, y1, idx);
        return;
    }
    while (x != x1 || y != y1) {
        const bool on = !dashed || tab->on[ph];
        if (dashed && ++ph == tab->period) ph = 0;
        if (on)
            PenDot(x, y, idx);
        else if (opaque)
            PenDot(x, y, bk);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
    if (dashed) FDashPos = ph;
    if (lastPixel) PenDot(x1, y1, idx);
}

void TSurface::MoveTo(int x, int y) {
    FCur = TPoint{x, y};
}

void TSurface::LineTo(int x, int y) {
    if (FTarget) {
        FTarget->Line(FCur.x, FCur.y, x, y, FPen);
        FCur = TPoint{x, y};
        return;
    }
    // A wide pen has square ends, so it reaches over its end point.
    Stroke(FCur.x, FCur.y, x, y, FPen.Width > 1);
    FCur = TPoint{x, y};
}

void TSurface::Rectangle(int left, int top, int right, int bottom) {
    if (FTarget) return FTarget->Rectangle(left, top, right, bottom, FPen, FBrush);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    const bool pen = FPen.Style != PS_NULL;
    if (!FBrush.Null) {
        const unsigned char b = FDib.NearestIdx(FBrush.Colour);
        const int in = pen ? 1 : 0;
        for (int y = top + in; y <= bottom - 1 - in; ++y)
            HLine(left + in, right - 1 - in, y, b);
    }
    if (pen) {
        const int r = right - 1, btm = bottom - 1;
        FDashPos = 0;
        Stroke(left, top, r, top, false);
        Stroke(r, top, r, btm, false);
        Stroke(r, btm, left, btm, false);
        Stroke(left, btm, left, top, false);
        if (r == left || btm == top) Stroke(r, btm, r, btm, true);
    }
}

// The rows of the ellipse inscribed in the box: the pixels whose centres lie
// inside it, each row at least one pixel so that the outline reaches all four
// sides of the box.
void TSurface::EllipseRows(int left, int top, int right, int bottom,
                           std::vector<Span>& rows) const {
    rows.clear();
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    const double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    for (int y = top; y < bottom; ++y) {
        const double v = (y + 0.5 - cy) / b;
        const double half = a * std::sqrt(std::max(0.0, 1.0 - v * v));
        int x0 = static_cast<int>(std::ceil(cx - half - 0.5));
        int x1 = static_cast<int>(std::floor(cx + half - 0.5));
        if (x0 > x1) {
            x0 = static_cast<int>(std::floor(cx - 0.5));
            x1 = static_cast<int>(std::ceil(cx - 0.5));
        }
        x0 = std::max(x0, left);
        x1 = std::min(x1, right - 1);
        rows.push_back(Span{y, x0, x1});
    }
}

void TSurface::Ellipse(int left, int top, int right, int bottom) {
    if (FTarget) return FTarget->Ellipse(left, top, right, bottom, FPen, FBrush);
    std::vector<Span> rows;
    EllipseRows(left, top, right, bottom, rows);
    if (rows.empty()) return;
    const bool pen = FPen.Style != PS_NULL;
    const unsigned char p = FPenIdx;
    const unsigned char b = FDib.NearestIdx(FBrush.Colour);
    const size_t n = rows.size();
    for (size_t i = 0; i < n; ++i) {
        const Span& r = rows[i];
        if (!pen) {
            if (!FBrush.Null) HLine(r.x0, r.x1, r.y, b);
            continue;
        }
        // Outline: the pixels with a neighbour outside the ellipse.
        const int inner0 =
            (i == 0 || i == n - 1) ? r.x1 + 1 : std::max(rows[i - 1].x0, rows[i + 1].x0);
        const int inner1 = (i == 0 || i == n - 1) ? r.x1 : std::min(rows[i - 1].x1, rows[i + 1].x1);
        const int a0 = std::max(r.x0 + 1, inner0), a1 = std::min(r.x1 - 1, inner1);
        if (!FBrush.Null && a0 <= a1) HLine(a0, a1, r.y, b);
        for (int x = r.x0; x <= r.x1; ++x) {
            if (x >= a0 && x <= a1) {
                x = a1;
                continue;
            }
            PenDot(x, r.y, p);
        }
    }
}

void TSurface::Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye) {
    if (FTarget) return FTarget->Arc(left, top, right, bottom, xs, ys, xe, ye, FPen);
    if (FPen.Style == PS_NULL) return;
    std::vector<Span> rows;
    EllipseRows(left, top, right, bottom, rows);
    if (rows.empty()) return;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    // Angles counter-clockwise on the screen, so y grows upwards here.
    auto angle = [&](double px, double py) {
        double a = std::atan2(cy - py, px - cx);
        if (a < 0) a += kTwoPi;
        return a;
    };
    const double a0 = angle(xs, ys), a1 = angle(xe, ye);
    double sweep = a1 - a0;
    if (sweep < 0) sweep += kTwoPi;
    const bool full = (xs == xe && ys == ye) || sweep == 0.0;
    const unsigned char p = FPenIdx;
    const size_t n = rows.size();
    for (size_t i = 0; i < n; ++i) {
        const Span& r = rows[i];
        const int inner0 =
            (i == 0 || i == n - 1) ? r.x1 + 1 : std::max(rows[i - 1].x0, rows[i + 1].x0);
        const int inner1 = (i == 0 || i == n - 1) ? r.x1 : std::min(rows[i - 1].x1, rows[i + 1].x1);
        const int i0 = std::max(r.x0 + 1, inner0), i1 = std::min(r.x1 - 1, inner1);
        for (int x = r.x0; x <= r.x1; ++x) {
            if (x >= i0 && x <= i1) {
                x = i1;
                continue;
            }
            if (!full) {
                double d = angle(x + 0.5, r.y + 0.5) - a0;
                if (d < 0) d += kTwoPi;
                if (d > sweep) continue;
            }
            PenDot(x, r.y, p);
        }
    }
}

// Even-odd fill sampled at pixel centres.
void TSurface::FillEvenOdd(const std::vector<std::vector<TPoint>>& pieces, unsigned char idx) {
    struct Edge {
        double x0, y0, x1, y1;
    };
    std::vector<Edge> edges;
    double ymin = 1e300, ymax = -1e300;
    for (const auto& piece : pieces) {
        const size_t n = piece.size();
        if (n < 2) continue;
        for (size_t i = 0; i < n; ++i) {
            const TPoint& a = piece[i];
            const TPoint& b = piece[(i + 1) % n];
            if (a.y == b.y) continue;
            edges.push_back(Edge{double(a.x), double(a.y), double(b.x), double(b.y)});
            ymin = std::min({ymin, double(a.y), double(b.y)});
            ymax = std::max({ymax, double(a.y), double(b.y)});
        }
    }
    if (edges.empty()) return;
    const int y0 = std::max(FTop, static_cast<int>(std::floor(ymin)));
    const int y1 = std::min(Bottom() - 1, static_cast<int>(std::ceil(ymax)));
    // Edges by their lower end, taken into the active list as the rows reach
    // them and dropped once past: a row looks at the edges it crosses only.
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
        return std::min(a.y0, a.y1) < std::min(b.y0, b.y1);
    });
    std::vector<const Edge*> active;
    size_t next = 0;
    std::vector<double> xs;
    for (int y = y0; y <= y1; ++y) {
        const double yc = y + 0.5;
        while (next < edges.size() && std::min(edges[next].y0, edges[next].y1) <= yc)
            active.push_back(&edges[next++]);
        std::erase_if(active, [&](const Edge* e) { return std::max(e->y0, e->y1) <= yc; });
        xs.clear();
        for (const Edge* e : active)
            xs.push_back(e->x0 + (yc - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0));
        std::sort(xs.begin(), xs.end());
        for (size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int xa = static_cast<int>(std::ceil(xs[k] - 0.5));
            const int xb = static_cast<int>(std::ceil(xs[k + 1] - 0.5)) - 1;
            if (xa <= xb) HLine(xa, xb, y, idx);
        }
    }
}

void TSurface::Polygon(const TPoint* points, int count) {
    if (!points || count < 2) return;
    std::vector<std::vector<TPoint>> pieces(1, std::vector<TPoint>(points, points + count));
    PolyPolygon(pieces);
}

void TSurface::PolyPolygon(const std::vector<std::vector<TPoint>>& pieces) {
    if (FTarget) return FTarget->Polygons(pieces, FPen, FBrush);
    if (!FBrush.Null) FillEvenOdd(pieces, FDib.NearestIdx(FBrush.Colour));
    if (FPen.Style == PS_NULL) return;
    for (const auto& piece : pieces) {
        const size_t n = piece.size();
        if (n == 0) continue;
        FDashPos = 0;
        for (size_t i = 0; i < n; ++i) {
            const TPoint& a = piece[i];
            const TPoint& b = piece[(i + 1) % n];
            Stroke(a.x, a.y, b.x, b.y, FPen.Width > 1);
        }
        if (n == 1) Stroke(piece[0].x, piece[0].y, piece[0].x, piece[0].y, true);
    }
}

void TSurface::SetPixel(int x, int y, unsigned long colour) {
    if (FTarget) return FTarget->Pixel(x, y, colour & 0xFFFFFF);
    Plot(x, y, FDib.NearestIdx(colour));
}

void TSurface::FrameRgn(const TRegion& region, unsigned long colour, int width, int height) {
    if (FTarget)
        return FTarget->Polygons(region.Pieces, TPen{PS_SOLID, std::max(width, height), colour},
                                 TBrush{true, 0});
    const int w = FDib.GetWidth(), h = FDib.GetHeight();
    if (w <= 0 || h <= 0 || width < 1 || height < 1) return;
    // Rasterise the region into a mask of its own, then keep the pixels that lie
    // within the stroke of its edge.
    TDIB mask;
    mask.AddColor(0);
    mask.AddColor(0xFFFFFF);
    mask.Create(w, h);
    mask.FillIdx(0);
    mask.GetSurface()->FillEvenOdd(region.Pieces, 1);
    const unsigned char idx = FDib.NearestIdx(colour);
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask.Row(y)[x]; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!in(x, y)) continue;
            bool edge = false;
            for (int d = 1; d <= width && !edge; ++d)
                edge = !in(x - d, y) || !in(x + d, y);
            for (int d = 1; d <= height && !edge; ++d)
                edge = !in(x, y - d) || !in(x, y + d);
            if (edge) Plot(x, y, idx);
        }
    }
}

TSize TSurface::GetTextExtent(const std::string& text) {
    if (!FFont) return TSize{};
    return TSize{FFont->TextWidth(text), FFont->Ascent() + FFont->Descent()};
}

void TSurface::TextOut(int x, int y, const std::string& text) {
    if (!FFont) return;
    TFont& font = *FFont;
    if (FTarget)
        return FTarget->Text(x, y, text, font.Desc(), font.Ascent(), font.TextWidth(text),
                             FTextColour, FBkMode == OPAQUE, FBkColour);
    const int baseline = y + font.Ascent();
    if (FBkMode == OPAQUE) {
        const int width = font.TextWidth(text);
        const unsigned char bk = FBkIdx;
        for (int yy = y; yy < baseline + font.Descent(); ++yy)
            HLine(x, x + width - 1, yy, bk);
    }
    const unsigned char idx = FTextIdx;
    const int W = FDib.GetWidth(), top = FTop, bottom = Bottom();
    uint8_t* bits = FDib.GetBits();
    const size_t stride = static_cast<size_t>(FDib.GetStride());
    int pen = x;
    font.ForEachGlyph(text, [&](const TFont::Glyph& g) {
        const int gx = pen + g.Left, gy = baseline - g.Top;
        pen += g.Advance;
        if (!g.Masks.empty() && gx >= 0 && gx + g.Width <= W) {
            // Within the raster's width: the ink pixel by pixel from the row
            // bits, which for label-sized glyphs beats filling runs of one
            // or two pixels.
            const int r0 = std::max(0, top - gy), r1 = std::min(g.Rows, bottom - gy);
            if (r0 >= r1) return;
            uint8_t* row = bits + static_cast<size_t>(gy + r0) * stride + gx;
            if (!g.Bytes8.empty() && gx + 8 <= W) {
                // A narrow glyph's row in one go: the eight bytes read, the
                // ink put in, written back.
                const uint64_t ink = 0x0101010101010101ULL * idx;
                const uint64_t* bytes = g.Bytes8.data();
                for (int r = r0; r < r1; ++r, row += stride) {
                    if (bytes[r] == 0) continue;
                    uint64_t d;
                    std::memcpy(&d, row, 8);
                    d = (d & ~bytes[r]) | (ink & bytes[r]);
                    std::memcpy(row, &d, 8);
                }
                return;
            }
            const uint32_t* masks = g.Masks.data();
            for (int r = r0; r < r1; ++r, row += stride)
                for (uint32_t m = masks[r]; m != 0; m &= m - 1)
                    row[std::countr_zero(m)] = idx;
            return;
        }
        // The ink runs, cut to the raster.
        const int16_t* run = g.Runs.data();
        for (size_t k = 0; k < g.Runs.size(); k += 3, run += 3) {
            const int py = gy + run[0];
            if (py < top || py >= bottom) continue;
            const int a = std::max(gx + run[1], 0), b = std::min(gx + run[1] + run[2], W);
            uint8_t* row = bits + static_cast<size_t>(py) * stride;
            for (int px = a; px < b; ++px)
                row[px] = idx;
        }
    });
    const int thick = std::max(1, font.Desc().Height / 16);
    if (font.Desc().Underline)
        for (int t = 0; t < thick; ++t)
            HLine(x, pen - 1, baseline + 1 + t, idx);
    if (font.Desc().StrikeOut)
        for (int t = 0; t < thick; ++t)
            HLine(x, pen - 1, baseline - font.Desc().Height * 3 / 10 + t, idx);
}
