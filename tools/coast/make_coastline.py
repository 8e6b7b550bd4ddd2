#!/usr/bin/env python3
"""Builds the world-map coastline table from Natural Earth land polygons.

Input: land-50m.json (TopoJSON) of the npm package world-atlas@2.0.2, fetched
with `npm pack` into tools/coast/cache/ (ignored by git) unless it is there.
Output: data/Coastline.txt, the site editor's coastline table as text: one
polyline per line, "count x y x y ...", and a last line "9999".

The grid is the site editor's Mercator map, 1953 units around the world:
    x0 = 87 + 1953 * lon / 360            (Greenwich at 87, wraps at 1953)
    y0 = 815 - 716.32 * log10(tan(45 + lat/2))   (equator at 815, south down)
The table stores x0 + 1 and y0 + 1. Only y0 in 1..1183 is on the map, which
leaves out Antarctica and the far north of Greenland.

Usage: python3 tools/coast/make_coastline.py [--min-size 4] [--tolerance 1.5]
Standard library only.
"""
import argparse
import json
import math
import os
import subprocess
import sys
import tarfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CACHE = os.path.join(HERE, "cache")
PACKAGE = "world-atlas@2.0.2"
TARBALL = "world-atlas-2.0.2.tgz"
SOURCE = "land-50m.json"

WIDTH = 1953
X_GREENWICH = 87.0
Y_EQUATOR = 815.0
Y_SCALE = 716.32
Y_MIN, Y_MAX = 1.0, 1183.0   # map rows the table may use (stored 2..1184)


def fetch():
    path = os.path.join(CACHE, "package", SOURCE)
    if os.path.exists(path):
        return path
    os.makedirs(CACHE, exist_ok=True)
    if not os.path.exists(os.path.join(CACHE, TARBALL)):
        subprocess.run(["npm", "pack", PACKAGE], cwd=CACHE, check=True)
    with tarfile.open(os.path.join(CACHE, TARBALL)) as tar:
        member = tar.getmember("package/" + SOURCE)
        tar.extract(member, CACHE)
    return path


def decode_arcs(topo):
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        pts = []
        for dx, dy in arc:
            x += dx
            y += dy
            pts.append((x * sx + tx, y * sy + ty))
        arcs.append(pts)
    return arcs


def rings(topo, arcs):
    """All polygon rings of the land object as lists of (lon, lat)."""
    def ring_points(indexes):
        pts = []
        for i in indexes:
            a = arcs[i] if i >= 0 else list(reversed(arcs[~i]))
            pts.extend(a if not pts else a[1:])
        return pts

    out = []
    for geom in topo["objects"]["land"]["geometries"]:
        polys = geom["arcs"] if geom["type"] == "MultiPolygon" else [geom["arcs"]]
        for poly in polys:
            for ring in poly:
                out.append(ring_points(ring))
    return out


def project(lon, lat):
    lat = max(min(lat, 89.9), -89.9)
    x = X_GREENWICH + WIDTH * lon / 360.0
    y = Y_EQUATOR - Y_SCALE * math.log10(math.tan(math.radians(45.0 + lat / 2.0)))
    return x, y


def on_antimeridian(p, q):
    return abs(p[0]) > 179.999 and abs(q[0]) > 179.999


def clip_y(a, b):
    """Part of segment a-b with Y_MIN <= y <= Y_MAX, or None."""
    (x1, y1), (x2, y2) = a, b
    t0, t1 = 0.0, 1.0
    dy = y2 - y1
    for lim, inside_above in ((Y_MIN, True), (Y_MAX, False)):
        if dy == 0:
            if (y1 < lim) if inside_above else (y1 > lim):
                return None
            continue
        t = (lim - y1) / dy
        entering = (dy > 0) if inside_above else (dy < 0)
        if entering:
            t0 = max(t0, t)
        else:
            t1 = min(t1, t)
    if t0 > t1:
        return None
    lerp = lambda t: (x1 + (x2 - x1) * t, y1 + dy * t)
    return lerp(t0), lerp(t1)


def split_seam(a, b):
    """Cuts a segment given in unwrapped x at the map's seam (multiples of
    WIDTH) and wraps each part into 0..WIDTH."""
    (x1, y1), (x2, y2) = a, b
    k1, k2 = math.floor(x1 / WIDTH), math.floor(x2 / WIDTH)
    if k1 == k2:
        return [((x1 - k1 * WIDTH, y1), (x2 - k1 * WIDTH, y2))]
    seam = max(k1, k2) * WIDTH
    t = (seam - x1) / (x2 - x1)
    ym = y1 + (y2 - y1) * t
    if k1 < k2:  # eastwards over the seam: leave at the right edge, enter at 0
        return [((x1 - k1 * WIDTH, y1), (float(WIDTH), ym)), ((0.0, ym), (x2 - k2 * WIDTH, y2))]
    return [((x1 - k1 * WIDTH, y1), (0.0, ym)), ((float(WIDTH), ym), (x2 - k2 * WIDTH, y2))]


def ring_to_polylines(ring):
    pieces = []
    cur = []
    for p, q in zip(ring, ring[1:]):
        if on_antimeridian(p, q):
            if len(cur) > 1:
                pieces.append(cur)
            cur = []
            continue
        a, b = project(*p), project(*q)
        # Rings that run over the date line jump by 360 degrees in longitude;
        # on this map the date line is an ordinary meridian, so keep x continuous.
        if q[0] - p[0] > 180:
            b = (b[0] - WIDTH, b[1])
        elif p[0] - q[0] > 180:
            b = (b[0] + WIDTH, b[1])
        seg = clip_y(a, b)
        if seg is None:
            if len(cur) > 1:
                pieces.append(cur)
            cur = []
            continue
        for s, e in split_seam(*seg):
            if cur and (abs(cur[-1][0] - s[0]) > 1e-9 or abs(cur[-1][1] - s[1]) > 1e-9):
                if len(cur) > 1:
                    pieces.append(cur)
                cur = []
            if not cur:
                cur = [s]
            cur.append(e)
    if len(cur) > 1:
        pieces.append(cur)
    # A ring cut open somewhere: its last piece continues into its first.
    if len(pieces) > 1 and pieces[-1][-1] == pieces[0][0]:
        pieces[0] = pieces[-1] + pieces[0][1:]
        pieces.pop()
    return pieces


def simplify(pts, tol):
    """Douglas-Peucker with both ends kept."""
    if len(pts) < 3:
        return pts
    keep = [False] * len(pts)
    keep[0] = keep[-1] = True
    stack = [(0, len(pts) - 1)]
    while stack:
        i, j = stack.pop()
        (ax, ay), (bx, by) = pts[i], pts[j]
        dx, dy = bx - ax, by - ay
        L = math.hypot(dx, dy)
        best, at = -1.0, -1
        for k in range(i + 1, j):
            px, py = pts[k]
            if L == 0:
                d = math.hypot(px - ax, py - ay)
            else:
                d = abs(dx * (py - ay) - dy * (px - ax)) / L
            if d > best:
                best, at = d, k
        if at >= 0 and best > tol:
            keep[at] = True
            stack.append((i, at))
            stack.append((at, j))
    return [p for p, k in zip(pts, keep) if k]


def to_grid(pts):
    out = []
    for x, y in pts:
        gx = min(max(int(round(x)), 0), WIDTH - 1)
        gy = min(max(int(round(y)), int(Y_MIN)), int(Y_MAX))
        if not out or out[-1] != (gx, gy):
            out.append((gx, gy))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--min-size", type=float, default=4.0,
                    help="drop polylines whose extent is below this many map units")
    ap.add_argument("--tolerance", type=float, default=1.5,
                    help="simplification tolerance in map units")
    ap.add_argument("--output", default=os.path.join(ROOT, "data", "Coastline.txt"))
    args = ap.parse_args()

    with open(fetch()) as f:
        topo = json.load(f)
    arcs = decode_arcs(topo)
    lines = []
    for ring in rings(topo, arcs):
        for piece in ring_to_polylines(ring):
            xs = [p[0] for p in piece]
            ys = [p[1] for p in piece]
            if max(max(xs) - min(xs), max(ys) - min(ys)) < args.min_size:
                continue
            grid = to_grid(simplify(piece, args.tolerance))
            if len(grid) >= 2:
                lines.append(grid)

    # The table is ordered from the south up, as the map is drawn.
    lines.sort(key=lambda l: -max(y for _, y in l))
    with open(args.output, "w", newline="\n") as f:
        for l in lines:
            f.write(" ".join([str(len(l))] + [f"{x + 1} {y + 1}" for x, y in l]) + "\n")
        f.write("9999\n")
    npts = sum(len(l) for l in lines)
    print(f"{args.output}: {len(lines)} polylines, {npts} points, "
          f"{min(len(l) for l in lines)} to {max(len(l) for l in lines)} points each",
          file=sys.stderr)


if __name__ == "__main__":
    main()
