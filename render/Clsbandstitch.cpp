#include "render/Clsbandstitch.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;

struct Endpoint {
    double Angle = 0;
    int Kind = 0; // 0 start of a run, 1 end of a run, 2 corner
    int Run = -1;
    TBandPoint P;
    bool Used = false;
};

// Replaces the end point `p` of the segment q-p by the first raster edge the
// segment crosses, edges tried top, right, bottom, left.
void ClipEnd(const TBandPoint& q, TBandPoint& p, int w, int h) {
    const double edges[4][4] = {{0, 0, double(w), 0},
                                {double(w), 0, double(w), double(h)},
                                {double(w), double(h), 0, double(h)},
                                {0, double(h), 0, 0}};
    for (const auto& e : edges) {
        double x, y;
        if (Kouten(q.x, q.y, p.x, p.y, e[0], e[1], e[2], e[3], x, y)) {
            p = TBandPoint{x, y};
            return;
        }
    }
}

TPoint Pixel(const TBandPoint& p) {
    return TPoint{static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
}
} // namespace

bool Kouten(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy,
            double& x, double& y) {
    const double rx = bx - ax, ry = by - ay, sx = dx - cx, sy = dy - cy;
    const double den = rx * sy - ry * sx;
    if (std::fabs(den) < 1e-14) return false;
    const double t = ((cx - ax) * sy - (cy - ay) * sx) / den;
    const double u = ((cx - ax) * ry - (cy - ay) * rx) / den;
    if (t < 0 || t > 1 || u < 0 || u > 1) return false;
    x = ax + t * rx;
    y = ay + t * ry;
    return true;
}

double NAIKAKU(double cx, double cy, double ax, double ay, double bx, double by) {
    // Screen rows grow downwards; turn them up so that the angle grows
    // counter-clockwise as seen.
    const double a = std::atan2(cy - ay, ax - cx);
    const double b = std::atan2(cy - by, bx - cx);
    double d = b - a;
    while (d < 0)
        d += kTwoPi;
    while (d >= kTwoPi)
        d -= kTwoPi;
    return d;
}

std::vector<std::vector<TPoint>> StitchBand(const std::vector<std::vector<TBandVertex>>& outlines,
                                            int width, int height) {
    std::vector<std::vector<TPoint>> out;
    std::vector<std::vector<TBandPoint>> runs;

    // Runs: the stretches of each outline that cross the raster.
    for (const auto& ol : outlines) {
        const int n = static_cast<int>(ol.size());
        if (n < 3) continue;
        int first = -1;
        for (int i = 0; i < n && first < 0; ++i)
            if (ol[i].Kind != BAND_VISIBLE) first = i;
        if (first < 0) {
            // Wholly on the raster: a closed piece of its own.
            std::vector<TPoint> piece;
            for (const auto& v : ol)
                piece.push_back(Pixel(TBandPoint{v.x, v.y}));
            out.push_back(std::move(piece));
            continue;
        }
        bool inRun = false;
        std::vector<TBandPoint> run;
        for (int k = 0; k < n; ++k) {
            const int i = (first + k) % n;
            const int prev = (i + n - 1) % n;
            const TBandVertex& v = ol[i];
            if (!inRun) {
                if (v.Kind == BAND_VISIBLE && ol[prev].Kind != BAND_FAR) {
                    run = {TBandPoint{ol[prev].x, ol[prev].y}, TBandPoint{v.x, v.y}};
                    inRun = true;
                }
                continue;
            }
            if (v.Kind == BAND_FAR) {
                runs.push_back(run);
                inRun = false;
                continue;
            }
            run.push_back(TBandPoint{v.x, v.y});
            if (v.Kind == BAND_OUTSIDE) {
                runs.push_back(run);
                inRun = false;
            }
        }
        // Still open at the end of the round: the walk's first vertex, which is
        // not visible, closes it (unless it is too far to draw to).
        if (inRun) {
            if (ol[first].Kind != BAND_FAR) run.push_back(TBandPoint{ol[first].x, ol[first].y});
            runs.push_back(run);
        }
    }
    if (runs.empty()) return out;

    // Cut the run ends at the raster's edges. A run that comes back to the
    // point where it began (an outline touching an edge from outside) encloses
    // nothing and would stop the border walk: it is left out.
    std::vector<std::vector<TBandPoint>> cut;
    for (auto& r : runs) {
        const size_t m = r.size();
        ClipEnd(r[1], r[0], width, height);
        ClipEnd(r[m - 2], r[m - 1], width, height);
        if (std::fabs(r[0].x - r[m - 1].x) < 1e-9 && std::fabs(r[0].y - r[m - 1].y) < 1e-9)
            continue;
        cut.push_back(std::move(r));
    }
    runs.swap(cut);
    if (runs.empty()) return out;

    // Endpoints and corners round the raster centre.
    const double cx = width / 2.0, cy = height / 2.0;
    auto angle = [&](const TBandPoint& p) { return NAIKAKU(cx, cy, cx, cy - 1, p.x, p.y); };
    std::vector<Endpoint> ring;
    for (int r = 0; r < static_cast<int>(runs.size()); ++r) {
        ring.push_back(Endpoint{angle(runs[r].front()), 0, r, runs[r].front(), false});
        ring.push_back(Endpoint{angle(runs[r].back()), 1, r, runs[r].back(), false});
    }
    const TBandPoint corners[4] = {
        {0, 0}, {double(width), 0}, {double(width), double(height)}, {0, double(height)}};
    for (const auto& c : corners)
        ring.push_back(Endpoint{angle(c), 2, -1, c, false});
    std::stable_sort(ring.begin(), ring.end(),
                     [](const Endpoint& a, const Endpoint& b) { return a.Angle < b.Angle; });
    const int count = static_cast<int>(ring.size());
    std::vector<int> startAt(runs.size()), endAt(runs.size());
    for (int i = 0; i < count; ++i) {
        if (ring[i].Kind == 0) startAt[ring[i].Run] = i;
        if (ring[i].Kind == 1) endAt[ring[i].Run] = i;
    }

    // Polygons: a run, then round the border to lower angles to the next run's
    // start, until the first run's start comes round again.
    for (int s = 0; s < count; ++s) {
        if (ring[s].Kind != 0 || ring[s].Used) continue;
        ring[s].Used = true;
        std::vector<TBandPoint> poly = runs[ring[s].Run];
        int cur = endAt[ring[s].Run];
        for (int guard = 0; guard < 4 * count; ++guard) {
            cur = (cur + count - 1) % count;
            Endpoint& e = ring[cur];
            if (e.Kind == 2) {
                poly.push_back(e.P);
            } else if (e.Kind == 0) {
                if (cur == s || e.Used) break;
                e.Used = true;
                poly.insert(poly.end(), runs[e.Run].begin(), runs[e.Run].end());
                cur = endAt[e.Run];
            }
        }
        std::vector<TPoint> piece;
        piece.reserve(poly.size());
        for (const auto& p : poly)
            piece.push_back(Pixel(p));
        out.push_back(std::move(piece));
    }
    return out;
}
