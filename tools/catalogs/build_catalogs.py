#!/usr/bin/env python3
"""Builds the shipped catalogue files and tables from public catalogues.

    python3 tools/catalogs/build_catalogs.py

fetches the pinned sources into tools/catalogs/cache/ (ignored by git) when
they are not there yet, and writes
    data/Star.dat                     star catalogue, 16-byte records
    data/Unsta.dat                    deep-sky catalogue, 28-byte records
    data/Tycho.dat                    Tycho-2 stars not in Star.dat, 16-byte records
    data/StarPm.dat, data/TychoPm.dat proper motions of their records, 8 bytes each
    catalog/Constellationlines.cpp    constellation figure segments
    catalog/Milkyoutline.cpp          the two Milky Way outlines
    catalog/Nebulaoutline.cpp         the 24 nebula outlines
Standard library only. The output is deterministic: running it twice gives
the same bytes.
"""
import hashlib
import heapq
import json
import math
import os
import sqlite3
import struct
import subprocess
import sys
import tarfile
from collections import defaultdict

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
CACHE = os.path.join(HERE, "cache")

D3_PACKAGE = "d3-celestial@0.7.35"
D3_TARBALL = "d3-celestial-0.7.35.tgz"
D3_SHA256 = "490796718c201e15f38c324bda5458fc4de22519313093bf261b628185eaae81"
KSTARS_PACKAGE = "kstars-data=5:3.6.2-2"
KSTARS_DEB = "kstars-data_5%3a3.6.2-2_all.deb"
KSTARS_SHA256 = "f48e4a101ddab20f1cf35879c821f9fa2ca1b459c5ea78eef99555fe22cf35aa"
STELLARIUM_PACKAGE = "stellarium-data=0.22.2-1"
STELLARIUM_DEB = "stellarium-data_0.22.2-1_all.deb"
STELLARIUM_SHA256 = "45aaebf39a814acbd6dcccea058c2f5651bcb5635599da03a215feeb51f4d5a5"
STELLARIUM_STARS = "usr/share/stellarium/stars/default"
# Levels 0-3 of the Stellarium star catalogue reach magnitude 10.5.
STELLARIUM_FILES = ["stars_0_0v0_8.cat", "stars_1_0v0_8.cat", "stars_2_0v0_8.cat", "stars_3_1v0_4.cat"]

DEG = math.pi / 180.0

# Constellation numbering of the program (row 74 Serpens head, 89 its tail).
CON_ABBR = [
    "", "And", "Ant", "Aps", "Aql", "Aqr", "Ara", "Ari", "Aur", "Boo", "Cae", "Cam", "Cap",
    "Car", "Cas", "Cen", "Cep", "Cet", "Cha", "Cir", "CMa", "CMi", "Cnc", "Col", "Com", "CrA",
    "CrB", "Crt", "Cru", "Crv", "CVn", "Cyg", "Del", "Dor", "Dra", "Equ", "Eri", "For", "Gem",
    "Gru", "Her", "Hor", "Hya", "Hyi", "Ind", "Lac", "Leo", "Lep", "Lib", "LMi", "Lup", "Lyn",
    "Lyr", "Men", "Mic", "Mon", "Mus", "Nor", "Oct", "Oph", "Ori", "Pav", "Peg", "Per", "Phe",
    "Pic", "PsA", "Psc", "Pup", "Pyx", "Ret", "Scl", "Sco", "Sct", "Ser", "Sex", "Sge", "Sgr",
    "Tau", "Tel", "TrA", "Tri", "Tuc", "UMa", "UMi", "Vel", "Vir", "Vol", "Vul", "Ser",
]
SER_HEAD, SER_TAIL = 74, 89

GREEK = "αβγδεζηθικλμνξοπρστυφχψω"


def log(*args):
    print(*args, file=sys.stderr)


# ---------------------------------------------------------------- sources

def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def fetch_sources():
    os.makedirs(CACHE, exist_ok=True)
    tgz = os.path.join(CACHE, D3_TARBALL)
    deb = os.path.join(CACHE, KSTARS_DEB)
    if not os.path.exists(tgz):
        subprocess.run(["npm", "pack", D3_PACKAGE], cwd=CACHE, check=True)
    if not os.path.exists(deb):
        subprocess.run(["apt-get", "download", KSTARS_PACKAGE], cwd=CACHE, check=True)
    for path, want in ((tgz, D3_SHA256), (deb, KSTARS_SHA256)):
        got = sha256(path)
        if got != want:
            sys.exit(f"{path}: checksum {got} is not the pinned {want}")
    d3 = os.path.join(CACHE, "d3")
    if not os.path.exists(os.path.join(d3, "package", "data", "stars.14.json")):
        with tarfile.open(tgz) as t:
            try:
                t.extractall(d3, filter="data")
            except TypeError:  # Python before 3.11.4 has no extraction filters
                t.extractall(d3)
    ks = os.path.join(CACHE, "ks")
    if not os.path.exists(os.path.join(ks, "usr", "share", "kstars", "OpenNGC.kscat")):
        subprocess.run(["dpkg-deb", "-x", deb, ks], check=True)
    return os.path.join(d3, "package", "data"), os.path.join(ks, "usr", "share", "kstars")


def fetch_stellarium():
    """The star files of Debian's stellarium-data (only they are unpacked)."""
    os.makedirs(CACHE, exist_ok=True)
    deb = os.path.join(CACHE, STELLARIUM_DEB)
    if not os.path.exists(deb):
        subprocess.run(["apt-get", "download", STELLARIUM_PACKAGE], cwd=CACHE, check=True)
    got = sha256(deb)
    if got != STELLARIUM_SHA256:
        sys.exit(f"{deb}: checksum {got} is not the pinned {STELLARIUM_SHA256}")
    st = os.path.join(CACHE, "st")
    folder = os.path.join(st, STELLARIUM_STARS)
    if not all(os.path.exists(os.path.join(folder, f)) for f in STELLARIUM_FILES):
        os.makedirs(st, exist_ok=True)
        tar = subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], check=True, capture_output=True).stdout
        import io
        with tarfile.open(fileobj=io.BytesIO(tar)) as t:
            members = [m for m in t.getmembers()
                       if m.isfile() and m.name.lstrip("./").startswith(STELLARIUM_STARS + "/")]
            try:
                t.extractall(st, members=members, filter="data")
            except TypeError:  # Python before 3.11.4 has no extraction filters
                t.extractall(st, members=members)
    return folder


def load_json(folder, name):
    with open(os.path.join(folder, name), encoding="utf-8") as f:
        return json.load(f)


# ---------------------------------------------------------------- geometry

def unit(ra, dec):
    cd = math.cos(dec)
    return (cd * math.cos(ra), cd * math.sin(ra), math.sin(dec))


def radec(v):
    x, y, z = v
    ra = math.atan2(y, x) % (2 * math.pi)
    return ra, math.asin(max(-1.0, min(1.0, z)))


def precession_matrix_j2000_to(jd):
    """IAU 1976 precession (Lieske) from J2000 to the mean equinox of jd."""
    t = (jd - 2451545.0) / 36525.0
    as2r = DEG / 3600.0
    zeta = (2306.2181 * t + 0.30188 * t * t + 0.017998 * t ** 3) * as2r
    z = (2306.2181 * t + 1.09468 * t * t + 0.018203 * t ** 3) * as2r
    theta = (2004.3109 * t - 0.42665 * t * t - 0.041833 * t ** 3) * as2r
    cz, sz = math.cos(zeta), math.sin(zeta)
    cZ, sZ = math.cos(z), math.sin(z)
    ct, st = math.cos(theta), math.sin(theta)
    return (
        (cZ * ct * cz - sZ * sz, -cZ * ct * sz - sZ * cz, -cZ * st),
        (sZ * ct * cz + cZ * sz, -sZ * ct * sz + cZ * cz, -sZ * st),
        (st * cz, -st * sz, ct),
    )


B1875_JD = 2405889.258550475
P1875 = precession_matrix_j2000_to(B1875_JD)


def to_b1875(ra_deg, dec_deg):
    v = unit(ra_deg * DEG, dec_deg * DEG)
    w = tuple(sum(P1875[i][j] * v[j] for j in range(3)) for i in range(3))
    ra, dec = radec(w)
    return ra / DEG, dec / DEG


def ang_dist(a, b):
    c = (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
    return math.atan2(math.sqrt(c[0] ** 2 + c[1] ** 2 + c[2] ** 2), sum(x * y for x, y in zip(a, b)))


def arc_distance(p, a, b):
    """Angular distance of unit vector p from the great-circle arc a-b."""
    n = (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
    nn = math.sqrt(sum(x * x for x in n))
    if nn < 1e-15:
        return ang_dist(p, a)
    n = tuple(x / nn for x in n)
    s = sum(x * y for x, y in zip(p, n))
    # Foot of the perpendicular; inside the arc when it lies between a and b.
    f = tuple(x - s * y for x, y in zip(p, n))
    fa = (a[1] * f[2] - a[2] * f[1], a[2] * f[0] - a[0] * f[2], a[0] * f[1] - a[1] * f[0])
    fb = (f[1] * b[2] - f[2] * b[1], f[2] * b[0] - f[0] * b[2], f[0] * b[1] - f[1] * b[0])
    if sum(x * y for x, y in zip(fa, n)) >= 0 and sum(x * y for x, y in zip(fb, n)) >= 0:
        return abs(math.asin(max(-1.0, min(1.0, s))))
    return min(ang_dist(p, a), ang_dist(p, b))


def simplify_ring(points, target):
    """Douglas-Peucker on the sphere, greedy: keeps splitting the segment with the
    largest deviation until the closed ring has `target` vertices."""
    vec = [unit(r * DEG, d * DEG) for r, d in points]
    n = len(vec)
    far = max(range(n), key=lambda i: ang_dist(vec[0], vec[i]))
    keep = {0, far}
    heap = []

    def push(i, j):  # segment from i forward to j (indices modulo n)
        best, where = -1.0, None
        k = (i + 1) % n
        while k != j:
            dist = arc_distance(vec[k], vec[i], vec[j])
            if dist > best:
                best, where = dist, k
            k = (k + 1) % n
        if where is not None:
            heapq.heappush(heap, (-best, i, j, where))

    push(0, far)
    push(far, 0)
    while len(keep) < target and heap:
        _, i, j, k = heapq.heappop(heap)
        keep.add(k)
        push(i, k)
        push(k, j)
    return [points[i] for i in sorted(keep)]


def ellipse(ra0, dec0, major, minor, pa, count):
    """`count` points of an ellipse on the sky (degrees; axes are full lengths),
    through the inverse gnomonic projection about its centre."""
    out = []
    a, b = major / 2 * DEG, minor / 2 * DEG
    pa *= DEG
    c0 = unit(ra0 * DEG, dec0 * DEG)
    east = (-math.sin(ra0 * DEG), math.cos(ra0 * DEG), 0.0)
    north = (-math.sin(dec0 * DEG) * math.cos(ra0 * DEG), -math.sin(dec0 * DEG) * math.sin(ra0 * DEG),
             math.cos(dec0 * DEG))
    for k in range(count):
        t = 2 * math.pi * k / count
        # Position angle counts from north through east.
        n = a * math.cos(t) * math.cos(pa) - b * math.sin(t) * math.sin(pa)
        e = a * math.cos(t) * math.sin(pa) + b * math.sin(t) * math.cos(pa)
        v = tuple(c0[i] + math.tan(n) * north[i] + math.tan(e) * east[i] for i in range(3))
        ln = math.sqrt(sum(x * x for x in v))
        r, d = radec(tuple(x / ln for x in v))
        out.append((r / DEG, d / DEG))
    return out


def continuous_ra(points, around):
    """RA in degrees kept within 180 of `around`, so an outline across RA 0 stays
    one piece (some values fall below 0 or above 360)."""
    res = []
    for r, d in points:
        while r - around > 180:
            r -= 360
        while r - around < -180:
            r += 360
        res.append((r, d))
    return res


# ---------------------------------------------------------------- constellations

class Boundaries:
    """IAU boundaries, tested in B1875 where they are lines of constant RA or Dec.
    The ray runs north along the star's meridian; the polygon around the north
    pole counts the other way."""

    def __init__(self, bounds_json, lines_json):
        self.polys = []  # (number, [(ra, dec) B1875 degrees], holds_north_pole)
        ser = self._serpens_order(lines_json)
        ser_seen = 0
        for f in bounds_json["features"]:
            abbr = f["id"]
            if abbr == "Ser":
                num = ser[ser_seen]
                ser_seen += 1
            else:
                num = CON_ABBR.index(abbr)
            geom = f["geometry"]
            rings = geom["coordinates"] if geom["type"] == "Polygon" else [r for p in geom["coordinates"] for r in p]
            for ring in rings:
                pts = [to_b1875(lon % 360, lat) for lon, lat in ring]
                wind = 0.0
                for (a1, _), (a2, _) in zip(pts, pts[1:] + pts[:1]):
                    wind += ((a2 - a1 + 180) % 360) - 180
                pole = abs(wind) > 180 and sum(p[1] for p in pts) > 0
                lo, hi = min(p[1] for p in pts), max(p[1] for p in pts)
                self.polys.append((num, pts, pole, lo, hi))

    @staticmethod
    def _serpens_order(bounds_or_lines):
        # The two "Ser" features: the one further west in RA is the head.
        ras = []
        for f in bounds_or_lines["features"]:
            if f["id"] == "Ser":
                geom = f["geometry"]
                flat = []

                def walk(c):
                    if isinstance(c[0], (int, float)):
                        flat.append(c[0] % 360)
                    else:
                        for x in c:
                            walk(x)
                walk(geom["coordinates"])
                ras.append(sum(flat) / len(flat))
        return [SER_HEAD, SER_TAIL] if ras[0] < ras[1] else [SER_TAIL, SER_HEAD]

    @staticmethod
    def _inside(pts, ra, dec, pole):
        cnt = 0
        n = len(pts)
        for i in range(n):
            a1, d1 = pts[i]
            a2, d2 = pts[(i + 1) % n]
            da = ((a2 - a1 + 180) % 360) - 180
            if abs(da) < 1e-9:
                continue
            if da > 0:
                lo, dlo, dhi, span = a1, d1, d2, da
            else:
                lo, dlo, dhi, span = a2, d2, d1, -da
            x = (ra - lo) % 360
            if x < span:
                if dlo + (dhi - dlo) * x / span > dec:
                    cnt += 1
        inside = cnt % 2 == 1
        return not inside if pole else inside

    def number(self, ra_j2000, dec_j2000):
        ra, dec = to_b1875(ra_j2000 % 360, dec_j2000)
        return self.number_b1875(ra, dec)

    def number_b1875(self, ra, dec):
        found = []
        for num, pts, pole, lo, hi in self.polys:
            # North of all its edges a ray crosses none of them; only the
            # polygon round the north pole then holds the point.
            if not pole and dec > hi:
                continue
            if self._inside(pts, ra, dec, pole):
                found.append(num)
        return found

    def constellation(self, ra_j2000, dec_j2000):
        found = self.number(ra_j2000, dec_j2000)
        if len(found) != 1:
            raise RuntimeError(f"({ra_j2000}, {dec_j2000}) lies in {found}")
        return found[0]


def bucket_index(items, cell=0.2):
    grid = defaultdict(list)
    for key, ra, dec in items:
        grid[(int(math.floor(dec / cell)), int(math.floor((ra % 360) / cell)))].append((key, ra, dec))
    return grid


# ---------------------------------------------------------------- spectral types

def read_kstars_stars(path):
    """Records of a KStars binary star file: (ra deg, dec deg, spectral type, HD,
    pm ra cos dec, pm dec). Places at epoch 1991.25, motions in mas a year."""
    with open(path, "rb") as f:
        b = f.read()
    if b[124:126] != b"SK":
        raise RuntimeError(f"{path}: not a little-endian KStars star file")
    nfields = struct.unpack_from("<H", b, 127)[0]
    p = 129
    fields = []
    for _ in range(nfields):
        name, size, typ, scale = struct.unpack_from("<10sbBi", b, p)
        fields.append(name.rstrip(b"\0").decode())
        p += 16
    if fields[:8] != ["RA", "Dec", "dRA", "dDec", "parallax", "HD", "mag", "bv_index"]:
        raise RuntimeError(f"{path}: unexpected field list {fields}")
    ntrixels = struct.unpack_from("<I", b, p)[0]
    p += 4
    out = []
    for _ in range(ntrixels):
        _, offset, nrec = struct.unpack_from("<III", b, p)
        p += 12
        for k in range(nrec):
            ra, dec, dra, ddec, _, hd, mag, bv, sptype = struct.unpack_from("<6i2h2s", b, offset + 32 * k)
            out.append((ra / 1e6 * 15.0, dec / 1e5, sptype.decode("latin-1"), hd, dra / 10.0,
                        ddec / 10.0))
    return out


SPECT_CODE = {"M": 1, "K": 2, "G": 3, "F": 4, "A": 5, "B": 6, "O": 7, "W": 7}


def spect_from_bv(bv):
    if bv is None:
        return 0
    for cut, code in ((-0.30, 7), (0.00, 6), (0.30, 5), (0.58, 4), (0.95, 3), (1.60, 2)):
        if bv < cut:
            return code
    return 1


# ---------------------------------------------------------------- stars

# (constellation, Bayer code, Flamsteed) of the built-in named stars, as the
# program's table has them; used here to check that every row finds its star
# and that the brighter component is the one it finds.
NAMED = [
    (36, 100, 0, "Achernar"), (42, 100, 30, "Alphard"), (83, 0, 80, "Alcor"),
    (78, 700, 25, "Alcyone"), (78, 100, 87, "Aldebaran"), (63, 200, 26, "Algol"),
    (31, 201, 6, "Albireo"), (26, 100, 5, "Alphecca"), (4, 100, 53, "Altair"),
    (72, 100, 21, "Antares"), (9, 100, 16, "Arcturus"), (13, 100, 0, "Canopus"),
    (8, 100, 13, "Capella"), (38, 100, 66, "Castor"), (30, 102, 12, "CorCaroli"),
    (14, 100, 18, "Schedar"), (20, 100, 9, "Sirius"), (86, 100, 67, "Spica"),
    (31, 100, 50, "Deneb"), (46, 200, 94, "Denebola"), (83, 100, 50, "Dubhe"),
    (34, 100, 11, "Thuban"), (7, 100, 13, "Hamal"), (66, 100, 24, "Fomalhaut"),
    (21, 100, 10, "Procyon"), (52, 100, 3, "Vega"), (60, 100, 58, "Betelgeuse"),
    (60, 300, 24, "Bellatrix"), (84, 100, 1, "Polaris"), (38, 200, 78, "Pollux"),
    (17, 1500, 68, "Mira"), (83, 600, 79, "Mizar"), (40, 101, 64, "RasAlgethi"),
    (59, 100, 55, "RasAlhague"), (34, 300, 33, "Rastaban"), (60, 200, 19, "Rigel"),
    (46, 100, 32, "Regulus"),
]


def bayer_code(text):
    if not text or text[0] not in GREEK:
        return 0
    if text[0] == "ς":
        raise RuntimeError("final sigma")
    digits = text[1:]
    return (GREEK.index(text[0]) + 1) * 100 + (int(digits) if digits.isdigit() else 0)


def build_stars(d3, ks, bounds, report):
    stars = load_json(d3, "stars.14.json")["features"]
    names = load_json(d3, "starnames.json")
    recs = []
    for f in stars:
        hip = f["id"]
        lon, lat = f["geometry"]["coordinates"]
        ra = lon % 360
        bv = f["properties"].get("bv", "")
        try:
            bv = float(bv)
        except (TypeError, ValueError):
            bv = None
        recs.append({"hip": hip, "ra": ra, "dec": lat, "mag": f["properties"]["mag"], "bv": bv})
    report["stars"] = len(recs)

    # Spectral types from KStars, matched by position within 20 arcseconds.
    kst = read_kstars_stars(os.path.join(ks, "namedstars.dat")) + read_kstars_stars(
        os.path.join(ks, "unnamedstars.dat"))
    grid = bucket_index([(i, r["ra"], r["dec"]) for i, r in enumerate(recs)])
    best = {}
    lim = 20.0 / 3600.0
    for ra, dec, sptype, *_ in kst:
        cy, cx = int(math.floor(dec / 0.2)), int(math.floor((ra % 360) / 0.2))
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                for i, r2, d2 in grid.get((cy + dy, (cx + dx) % 1800), ()):
                    dra = ((r2 - ra + 180) % 360 - 180) * math.cos(dec * DEG)
                    dist = math.hypot(dra, d2 - dec)
                    if dist <= lim and (i not in best or dist < best[i][0]):
                        best[i] = (dist, sptype)
    report["kstars_records"] = len(kst)
    report["spectral_matched"] = len(best)
    from_type = from_bv = unknown = overruled = 0
    for i, r in enumerate(recs):
        code = 0
        if i in best:
            code = SPECT_CODE.get(best[i][1][:1].upper(), 0)
        colour = spect_from_bv(r["bv"])
        if code and colour and abs(code - colour) >= 2 and not (code >= 6 and code - colour == 2):
            # Two classes or more apart: the type usually belongs to the other
            # star of a composite spectrum (gamma And's B8, Capella's M1 in
            # the source). Only a reddened O or B star may look two classes
            # cooler than it is.
            code = 0
            overruled += 1
        if code:
            from_type += 1
        else:
            code = colour
            if code:
                from_bv += 1
            else:
                unknown += 1
        r["spect"] = code
    report["spect_from_type"], report["spect_from_bv"], report["spect_unknown"] = from_type, from_bv, unknown
    report["spect_type_overruled_by_colour"] = overruled

    # Constellation by the boundaries, designations from the name list.
    disagree = 0
    for r in recs:
        r["con"] = bounds.constellation(r["ra"], r["dec"])
        n = names.get(str(r["hip"]))
        r["bayer"] = bayer_code(n.get("bayer", "")) if n else 0
        fl = n.get("flam", "") if n else ""
        r["flam"] = int(fl) if fl.isdigit() else 0
        if n and n.get("c") in CON_ABBR:
            want = CON_ABBR.index(n["c"])
            if want != r["con"] and not (want == SER_HEAD and r["con"] == SER_TAIL):
                disagree += 1
    report["designation_outside_constellation"] = disagree

    # Named rows: the last match in file order wins, so the brightest matching
    # record must come last among its matches.
    care = []
    for con, bayer, flam, name in NAMED:
        idx = [i for i, r in enumerate(recs) if r["con"] == con and r["bayer"] == bayer
               and (bayer != 0 or r["flam"] == flam)]
        if not idx:
            raise RuntimeError(f"named star {name} has no record")
        if len(idx) > 1:
            bright = min(idx, key=lambda i: recs[i]["mag"])
            last = idx[-1]
            if bright != last:
                recs[bright], recs[last] = recs[last], recs[bright]
            care.append(f"{name}: {len(idx)} records (HIP " + ", ".join(str(recs[i]["hip"]) for i in idx) +
                        f"), brightest HIP {recs[last]['hip']} placed last")
    report["named_care"] = care

    out = bytearray()
    for r in recs:
        mag = int(round(r["mag"] * 100))
        out += struct.pack("<HHffhBB", r["flam"], r["bayer"], r["ra"] * DEG, r["dec"] * DEG, mag,
                           r["con"] if r["con"] != SER_TAIL else SER_TAIL, r["spect"])
    return bytes(out), recs


# ---------------------------------------------------------------- Tycho-2 stars

class ConstellationCells:
    """Constellation lookup through a 0.5-degree grid in B1875: a cell that no
    boundary edge touches lies in one constellation, found once; points in the
    other cells take the full boundary test."""
    CELL = 0.5

    def __init__(self, bounds):
        self.bounds = bounds
        rows, cols = int(180 / self.CELL), int(360 / self.CELL)
        self.rows, self.cols = rows, cols
        edgy = set()
        for _, pts, _, _, _ in bounds.polys:
            n = len(pts)
            for i in range(n):
                a1, d1 = pts[i]
                a2, d2 = pts[(i + 1) % n]
                da = ((a2 - a1 + 180) % 360) - 180
                steps = int(max(abs(da), abs(d2 - d1)) / 0.05) + 1
                for k in range(steps + 1):
                    t = k / steps
                    ra, dec = (a1 + da * t) % 360, d1 + (d2 - d1) * t
                    r, c = self._cell(ra, dec)
                    for dr in (-1, 0, 1):
                        for dc in (-1, 0, 1):
                            edgy.add((r + dr, (c + dc) % cols))
        for c in range(cols):  # the pole caps: every meridian meets there
            for r in (0, 1, rows - 2, rows - 1):
                edgy.add((r, c))
        self.edgy = edgy
        self.known = {}

    def _cell(self, ra, dec):
        return (min(self.rows - 1, int(math.floor((dec + 90) / self.CELL))),
                int(math.floor((ra % 360) / self.CELL)) % self.cols)

    def constellation(self, ra_j2000, dec_j2000):
        ra, dec = to_b1875(ra_j2000 % 360, dec_j2000)
        cell = self._cell(ra, dec)
        if cell in self.edgy:
            found = self.bounds.number_b1875(ra, dec)
        else:
            if cell not in self.known:
                r, c = cell
                self.known[cell] = self.bounds.number_b1875((c + 0.5) * self.CELL, (r + 0.5) * self.CELL - 90)
            found = self.known[cell]
        if len(found) != 1:
            raise RuntimeError(f"({ra_j2000}, {dec_j2000}) lies in {found}")
        return found[0]


def _norm(v):
    n = math.sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2])
    return (v[0] / n, v[1] / n, v[2] / n)


def _cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


# The icosahedron the Stellarium catalogue divides the sky by: its corners
# and its 20 faces in the catalogue's zone order.
_ICO_G = 0.5 * (1.0 + math.sqrt(5.0))
_ICO_B = 1.0 / math.sqrt(1.0 + _ICO_G * _ICO_G)
_ICO_A = _ICO_B * _ICO_G
ICO_CORNERS = [(_ICO_A, -_ICO_B, 0.0), (_ICO_A, _ICO_B, 0.0), (-_ICO_A, _ICO_B, 0.0),
               (-_ICO_A, -_ICO_B, 0.0), (0.0, _ICO_A, -_ICO_B), (0.0, _ICO_A, _ICO_B),
               (0.0, -_ICO_A, _ICO_B), (0.0, -_ICO_A, -_ICO_B), (-_ICO_B, 0.0, _ICO_A),
               (_ICO_B, 0.0, _ICO_A), (_ICO_B, 0.0, -_ICO_A), (-_ICO_B, 0.0, -_ICO_A)]
ICO_FACES = [(1, 0, 10), (0, 1, 9), (0, 9, 6), (9, 8, 6), (0, 7, 10), (6, 7, 0), (7, 6, 3),
             (6, 8, 3), (11, 10, 7), (7, 3, 11), (3, 2, 11), (2, 3, 8), (10, 11, 4), (2, 4, 11),
             (5, 4, 2), (2, 8, 5), (4, 1, 10), (4, 5, 1), (5, 9, 1), (8, 9, 5)]


def zone_frames(level, max_pos):
    """Centre and the two scaled axes of every zone of a catalogue level:
    faces split into four (corner 0, corner 1, corner 2, middle) level by level."""
    tris = []

    def split(lev, c0, c1, c2):
        if lev == level:
            tris.append((c0, c1, c2))
            return
        e0 = _norm(tuple(x + y for x, y in zip(c1, c2)))
        e1 = _norm(tuple(x + y for x, y in zip(c2, c0)))
        e2 = _norm(tuple(x + y for x, y in zip(c0, c1)))
        split(lev + 1, c0, e2, e1)
        split(lev + 1, e2, c1, e0)
        split(lev + 1, e1, e0, c2)
        split(lev + 1, e0, e1, e2)

    for a, b, c in ICO_FACES:
        split(0, ICO_CORNERS[a], ICO_CORNERS[b], ICO_CORNERS[c])
    frames, scale = [], 0.0
    for tri in tris:
        centre = _norm(tuple(sum(x) for x in zip(*tri)))
        axis0 = _norm(_cross((0.0, 0.0, 1.0), centre))
        axis1 = _cross(centre, axis0)
        for corner in tri:
            d = tuple(x - y for x, y in zip(corner, centre))
            m0 = sum(x * y for x, y in zip(d, axis0))
            m1 = sum(x * y for x, y in zip(d, axis1))
            f = 1.0 / math.sqrt(1.0 - m0 * m0 - m1 * m1)
            scale = max(scale, abs(m0) * f, abs(m1) * f)
        frames.append((centre, axis0, axis1))
    return frames, scale / max_pos


def read_stellarium_stars(path):
    """Stars of one Stellarium catalogue file: (hip, ra deg, dec deg, V mag, B-V,
    pm ra cos dec, pm dec). Positions are J2000 at epoch J2000, proper motions in
    milliarcseconds a year; hip is 0 for stars without a number."""
    with open(path, "rb") as f:
        b = f.read()
    magic, kind, _, _, level, mag_min, mag_range, mag_steps = struct.unpack_from("<8I", b, 0)
    if magic != 0x835F040A or kind not in (0, 1):
        raise RuntimeError(f"{path}: not a little-endian Stellarium star file of type 0 or 1")
    if mag_min >= 1 << 31:
        mag_min -= 1 << 32
    nzones = 20 << (2 * level)
    sizes = struct.unpack_from(f"<{nzones}I", b, 32)
    size = 28 if kind == 0 else 10
    if 32 + 4 * nzones + size * sum(sizes) != len(b):
        raise RuntimeError(f"{path}: length does not match its zone table")
    frames, scale = zone_frames(level, 0x7FFFFFFF if kind == 0 else (1 << 19) - 1)
    p = 32 + 4 * nzones
    out = []
    for zone, count in enumerate(sizes):
        centre, axis0, axis1 = frames[zone]
        for _ in range(count):
            if kind == 0:  # 24-bit HIP, component, x0, x1 (int32), B-V index, magnitude
                # step, spectral index, then dx0, dx1 (int32) and the parallax
                hipc, x0, x1, bv, mag, _, dx0, dx1 = struct.unpack_from("<IiiBBHii", b, p)
                hip = hipc & 0xFFFFFF
            else:  # bit fields: x0:20 x1:20 dx0:14 dx1:14 bv:7 mag:5
                d = b[p:p + 10]
                x0 = d[0] | d[1] << 8 | (d[2] & 0xF) << 16
                x1 = d[2] >> 4 | d[3] << 4 | d[4] << 12
                x0 -= (x0 & 0x80000) << 1
                x1 -= (x1 & 0x80000) << 1
                dx0 = d[5] | (d[6] & 0x3F) << 8
                dx1 = d[6] >> 6 | d[7] << 2 | (d[8] & 0xF) << 10
                dx0 -= (dx0 & 0x2000) << 1
                dx1 -= (dx1 & 0x2000) << 1
                bv, mag, hip = d[8] >> 4 | (d[9] & 7) << 4, d[9] >> 3, 0
            p += size
            w = tuple(c + scale * (x0 * a + x1 * e) for c, a, e in zip(centre, axis0, axis1))
            v = _norm(w)
            ra, dec = radec(v)
            # The motion is stored along the star's own east and north in 0.1 mas a
            # year, scaled by the zone's gnomonic plane like the place: divided by the
            # square of the plane's distance it matches the KStars (Hipparcos) values
            # to 1 % (median; 6 % for nine stars in ten) and 0.7 degree in direction.
            length2 = sum(x * x for x in w)
            pm_east, pm_north = dx0 / 10.0 / length2, dx1 / 10.0 / length2
            out.append((hip, ra / DEG, dec / DEG, (mag_min + mag * mag_range / mag_steps) / 1000.0,
                        bv * 4.0 / 127.0 - 0.5, pm_east, pm_north))
    return out


def build_tycho(folder, hip_recs, bounds, report):
    stars = []
    for name in STELLARIUM_FILES:
        stars += read_stellarium_stars(os.path.join(folder, name))
    report["tycho_source_stars"] = len(stars)
    cand = [s for s in stars if s[0] == 0 and s[3] <= 10.5]
    report["tycho_without_hip"] = len(cand)

    # Stars that are a Star.dat star again (within 3", or within 10" and half a
    # magnitude) are left out: the atlas could not draw them apart anyway.
    grid = bucket_index([(i, r["ra"], r["dec"]) for i, r in enumerate(hip_recs)], cell=0.05)
    kept, dropped = [], 0
    for s in cand:
        _, ra, dec, mag = s[:4]
        cy, cx = int(math.floor(dec / 0.05)), int(math.floor((ra % 360) / 0.05))
        double = False
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                for i, r2, d2 in grid.get((cy + dy, (cx + dx) % 7200), ()):
                    dra = ((r2 - ra + 180) % 360 - 180) * math.cos(dec * DEG)
                    dist = math.hypot(dra, d2 - dec) * 3600
                    if dist < 3 or (dist < 10 and abs(hip_recs[i]["mag"] - mag) < 0.5):
                        double = True
        if double:
            dropped += 1
        else:
            kept.append(s)
    report["tycho_dropped_as_hipparcos"] = dropped

    cells = ConstellationCells(bounds)
    rows = []
    for _, ra, dec, mag, bv, pmra, pmdec in kept:
        con = cells.constellation(ra, dec)
        rec = struct.pack("<HHffhBB", 0, 0, ra * DEG, dec * DEG, int(round(mag * 100)), con,
                          spect_from_bv(bv))
        # Sorted by declination, then right ascension: the atlas and the pick
        # search cut a declination band out of the file by bisection.
        rows.append((struct.unpack_from("<f", rec, 8)[0], struct.unpack_from("<f", rec, 4)[0], rec,
                     struct.pack("<ff", pmra, pmdec)))
    rows.sort(key=lambda r: r[:3])
    report["tycho_stars"] = len(rows)
    mags = [struct.unpack_from("<h", r[2], 12)[0] for r in rows]
    report["tycho_magnitudes"] = f"{min(mags) / 100:.2f} to {max(mags) / 100:.2f}"
    report["tycho_with_proper_motion"] = sum(1 for r in rows if r[3] != bytes(8))
    return b"".join(r[2] for r in rows), b"".join(r[3] for r in rows)


def build_star_motions(ks, folder, hip_recs, report):
    """Proper motions of the Star.dat records, in their order: float32 pm ra cos dec
    and pm dec in milliarcseconds a year; 0, 0 for a star no source has. The
    Hipparcos values of the KStars star files first (their places, of epoch 1991.25,
    carried to 2000 and matched within 2"), then the Stellarium catalogue's by HIP
    number for the fainter stars KStars does not list."""
    kst = read_kstars_stars(os.path.join(ks, "namedstars.dat")) + read_kstars_stars(
        os.path.join(ks, "unnamedstars.dat"))
    grid = bucket_index([(i, r["ra"], r["dec"]) for i, r in enumerate(hip_recs)])
    best = {}
    for ra, dec, _, _, pmra, pmdec in kst:
        years = 2000.0 - 1991.25
        dec2 = dec + pmdec * years / 3.6e6
        ra2 = (ra + pmra * years / 3.6e6 / max(math.cos(dec * DEG), 1e-6)) % 360
        cy, cx = int(math.floor(dec2 / 0.2)), int(math.floor(ra2 / 0.2))
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                for i, r2, d2 in grid.get((cy + dy, (cx + dx) % 1800), ()):
                    dra = ((r2 - ra2 + 180) % 360 - 180) * math.cos(dec2 * DEG)
                    dist = math.hypot(dra, d2 - dec2) * 3600
                    if dist <= 2.0 and (i not in best or dist < best[i][0]):
                        best[i] = (dist, pmra, pmdec)
    by_hip = {}
    for name in STELLARIUM_FILES[:3]:
        for s in read_stellarium_stars(os.path.join(folder, name)):
            if s[0] and s[0] not in by_hip:
                by_hip[s[0]] = s
    out = bytearray()
    from_kstars = from_stellarium = 0
    for i, r in enumerate(hip_recs):
        pm = (0.0, 0.0)
        if i in best:
            pm = best[i][1:]
            from_kstars += 1
        elif r["hip"] in by_hip:
            pm = by_hip[r["hip"]][5:7]
            from_stellarium += 1
        out += struct.pack("<ff", *pm)
    report["star_proper_motions_kstars"] = from_kstars
    report["star_proper_motions_stellarium"] = from_stellarium
    return bytes(out)


# ---------------------------------------------------------------- deep sky

OPENNGC_TYPE = {8: 1, 14: 1, 3: 2, 13: 2, 4: 3, 5: 4, 7: 4, 6: 5}

# Corrections where the OpenNGC build in KStars lacks what the chart needs.
# number: (type, major arcmin, minor arcmin, position angle)
OVERRIDES = {
    6994: (2, 2.8, 0, 0),        # M73, an asterism, untyped in the source
    11318: (4, 180, 120, 0),     # gamma Cygni nebula, typed as the star
    14606: (4, 60, 40, 0),       # nebula around Antares, an empty stub
    15067: (4, 60, 50, 0),       # Pelican nebula, an empty stub
    10410: (4, 40, 30, 0),       # IC 410, an empty stub
}


def parse_number(ident):
    """'NGC0224' -> (224, ''), 'IC0434' -> (10434, ''), 'NGC0317A' -> (317, 'A')."""
    if ident.startswith("NGC"):
        base, rest = 0, ident[3:]
    elif ident.startswith("IC"):
        base, rest = 10000, ident[2:]
    else:
        return None, None
    digits = ""
    while rest and rest[0].isdigit():
        digits += rest[0]
        rest = rest[1:]
    return base + int(digits), rest.strip()


def build_nebulae(d3, ks, bounds, report):
    db = sqlite3.connect(os.path.join(ks, "OpenNGC.kscat"))
    rows = db.execute("select catalog_identifier, name, type, ra, dec, magnitude, major_axis, minor_axis,"
                      " position_angle from cat order by catalog_identifier").fetchall()
    d3types, d3mags = {}, {}
    for f in load_json(d3, "dsos.14.json")["features"]:
        key = f["id"].replace(" ", "")
        d3types[key] = f["properties"]["type"]
        try:
            m = float(f["properties"]["mag"])
            if m < 30:  # 999 marks "none"
                d3mags[key] = m
        except (TypeError, ValueError):
            pass
    bright = {f["properties"]["desig"]: f for f in load_json(d3, "dsos.bright.json")["features"]}

    by_pos = defaultdict(list)
    for r in rows:
        if r[2] != 255:
            by_pos[(r[3], r[4])].append(r)
    chosen = {}
    for r in rows:
        num, suffix = parse_number(r[0])
        if num is None:
            continue
        # Keep one record per number: the plain entry, else its first component.
        if num in chosen and (chosen[num][1] == "" or suffix >= chosen[num][1]):
            continue
        chosen[num] = (r, suffix)
    report["openngc_rows"] = len(rows)

    objects = []
    filled = dropped = swapped = visual = 0
    for num in sorted(chosen):
        r, suffix = chosen[num]
        ident, name, typ, ra, dec, mag, major, minor, pa = r
        if typ == 255 and mag is None and major is None:
            real = [o for o in by_pos.get((ra, dec), ()) if o[0] != ident]
            if real:
                ident, _, typ, ra, dec, mag, major, minor, pa = real[0]
                filled += 1
            elif num not in OVERRIDES:
                dropped += 1
                continue
        key = ("NGC" if num < 10000 else "IC") + str(num % 10000)
        if key in d3mags:
            # OpenNGC here often keeps the blue magnitude (M31 4.36, M13 6.5);
            # d3-celestial has the visual one where it is known.
            mag = d3mags[key]
            visual += 1
        t = OPENNGC_TYPE.get(typ, 0)
        # OpenNGC's nebula class includes clusters with nebulosity; d3-celestial
        # calls these open clusters or star-forming regions.
        if typ == 5:
            if d3types.get(key) in ("oc", "sfr"):
                t = 6
        if num in OVERRIDES:
            ot, omaj, omin, opa = OVERRIDES[num]
            t = ot
            major = major or omaj or None
            minor = minor or omin or None
            pa = pa or opa or None
            if num == 11318:
                mag = None  # the source's magnitude is gamma Cygni's
        if major is not None and minor is not None and minor > major:
            # A few entries list the axes the other way round.
            major, minor = minor, major
            pa = (pa + 90) % 180 if pa else pa
            swapped += 1
        objects.append(dict(no=num, ra=ra, dec=dec, mag=mag, major=major, minor=minor, pa=pa, type=t))
    report["stubs_filled"], report["stubs_dropped"] = filled, dropped
    report["axes_swapped"] = swapped
    report["magnitudes_from_d3"] = visual

    # Objects without NGC or IC number.
    def d3obj(desig):
        f = bright[desig]
        lon, lat = f["geometry"]["coordinates"]
        dims = [float(x) for x in f["properties"]["dim"].split("x")]
        return lon % 360, lat, float(f["properties"]["mag"]), dims[0], dims[-1]

    ngc = {r[0]: r for r in rows}
    lmc = d3obj("LMC")
    m40, m45 = ngc["M 40"], ngc["M 45"]
    hy, coma = d3obj("Mel 25"), d3obj("Mel 111")
    specials = [
        # LMC: the bar and the disc run east-west, so the long axis lies at 90 degrees.
        dict(no=20000, ra=lmc[0], dec=lmc[1], mag=lmc[2], major=lmc[3], minor=lmc[4], pa=90, type=1),
        # Winnecke 4, a pair 0.8' apart (the source's 49 is in arc seconds).
        dict(no=20001, ra=m40[3], dec=m40[4], mag=m40[5], major=0.8, minor=0, pa=None, type=2),
        dict(no=20002, ra=m45[3], dec=m45[4], mag=m45[5], major=m45[6], minor=0, pa=None, type=2),
        dict(no=20003, ra=hy[0], dec=hy[1], mag=hy[2], major=hy[3], minor=0, pa=None, type=2),
        dict(no=20004, ra=coma[0], dec=coma[1], mag=coma[2], major=coma[3], minor=0, pa=None, type=2),
    ]
    for no, (ra, dec, major, minor, pa, kind) in AREAS.items():
        specials.append(dict(no=no, ra=ra, dec=dec, mag=None, major=major, minor=minor, pa=pa or None,
                             type=7 if kind == 3 else 4))
    objects += specials

    out = bytearray()
    counts = defaultdict(int)
    for o in objects:
        con = bounds.constellation(o["ra"], o["dec"])
        mag = int(round(o["mag"] * 100)) if o["mag"] is not None else 0
        major = (o["major"] or 0) / 60 * DEG
        minor = (o["minor"] or 0) / 60 * DEG
        pa = int(round(o["pa"] or 0)) % 180
        if o["pa"] is not None and pa == 0:
            pa = 180  # 0 means none; a real position angle of 0 is the same line as 180
        counts[o["type"]] += 1
        o["con"] = con
        out += struct.pack("<HHffhHffBBBB", o["no"], 0, o["ra"] * DEG, o["dec"] * DEG, mag, 0, major, minor,
                           pa, 0, con, o["type"])
    report["nebulae"] = len(objects)
    report["nebula_types"] = dict(sorted(counts.items()))
    return bytes(out), {o["no"]: o for o in objects}


# Areas without catalogue numbers: centre (deg, J2000), size (arcmin), position
# angle, outline kind. Sizes are estimates from photographs.
AREAS = {
    20005: (79.9, 34.0, 150, 90, 60, 1),      # IC 405 / IC 410 complex beside M38
    20006: (190.0, -63.0, 420, 300, 0, 3),     # Coalsack (outline from mw.json)
    20007: (174.0, -63.0, 60, 40, 0, 1),       # IC 2944 region west of the Coalsack
    20008: (100.3, 9.6, 120, 80, 30, 1),       # nebulosity around NGC 2264
}


# ---------------------------------------------------------------- outlines

# (number, positions, kind) as the program's table lists them; the shared lists
# are built once. Sizes below are the catalogue sizes unless noted.
OUTLINES = [
    (7822, 83, 1), (1499, 39, 1), (10348, 39, 1), (1432, 85, 1), (1435, 85, 1), (11396, 62, 1),
    (6523, 53, 1), (20008, 78, 1), (1976, 53, 1), (1982, 53, 1), (1977, 77, 1), (7000, 64, 1),
    (11318, 193, 1), (292, 35, 2), (14592, 38, 1), (14604, 47, 1), (14606, 19, 1), (10434, 114, 1),
    (15067, 107, 1), (20000, 83, 2), (20002, 85, 1), (20005, 38, 1), (20006, 53, 3), (20007, 38, 1),
]
SEP = (10.0, 10.0)  # radians; separates the polygons of one outline


def outline_ellipse(o, count, scale=1.0):
    major = (o["major"] or 10) * scale / 60
    minor = (o["minor"] or o["major"] or 10) * scale / 60
    return ellipse(o["ra"], o["dec"], major, minor, o["pa"] or 0, count)


def build_outlines(d3, objs, report):
    mw = load_json(d3, "mw.json")
    rings = mw["features"][0]["geometry"]["coordinates"][0]
    # The Coalsack is the hole that holds the point (12h50m, -63 deg).
    coal = None
    for ring in rings[2:]:
        lons = [p[0] % 360 for p in ring]
        lats = [p[1] for p in ring]
        if min(lons) < 192.5 < max(lons) and min(lats) < -63 < max(lats):
            coal = [(p[0] % 360, p[1]) for p in ring]
    if coal is None:
        raise RuntimeError("no Coalsack hole in mw.json")

    lists = {}
    approx = []

    def polys(*parts):
        pts = []
        for k, part in enumerate(parts):
            if k:
                pts.append(None)
            pts += part
        return pts

    for no, count, kind in OUTLINES:
        o = objs[no]
        if no in (1432, 1435, 20002):
            key = "pleiades"
            if key not in lists:
                # Maia and Merope nebulae, the two brightest patches of the
                # Pleiades reflection nebula.
                a, b = objs[1432], objs[1435]
                lists[key] = polys(outline_ellipse(a, 42), outline_ellipse(b, 42))
        elif no in (1976, 1982):
            key = "orion"
            if key not in lists:
                lists[key] = polys(outline_ellipse(objs[1976], 38), outline_ellipse(objs[1982], 14))
        elif no == 20006:
            key = "coalsack"
            lists[key] = simplify_ring(coal, count)
        elif no == 11318:
            key = no
            # The gamma Cygni complex as five patches around Sadr.
            c = [(305.56, 40.26, 90, 70), (303.6, 41.2, 60, 40), (307.8, 41.6, 70, 45),
                 (304.3, 39.0, 50, 35), (307.2, 39.3, 55, 35)]
            parts = [ellipse(r, d, a / 60, b / 60, 0, n) for (r, d, a, b), n in zip(c, (38, 38, 38, 38, 37))]
            lists[key] = polys(*parts)
        else:
            key = no
            lists[key] = outline_ellipse(o, count)
        n = len(lists[key])
        if n != count:
            raise RuntimeError(f"outline {no}: {n} positions, want {count}")
        if no != 20006:
            approx.append(no)
    report["outline_approx"] = approx
    return lists


# ---------------------------------------------------------------- Milky Way

def build_milky(d3, report):
    rings = load_json(d3, "mw.json")["features"][0]["geometry"]["coordinates"][0]
    north = [(p[0] % 360, p[1]) for p in rings[0]]
    south = [(p[0] % 360, p[1]) for p in rings[1]]
    # The stitching of the charts walks the border clockwise from where an
    # edge leaves the chart, so the band must lie on the same side of both
    # edges: the south edge runs the other way round from the north edge.
    s = simplify_ring(south, 87)[::-1]
    n = simplify_ring(north, 172)
    report["milky"] = (len(s), len(n))
    return s, n


# ---------------------------------------------------------------- C++ output

HEADER = ("// Generated by tools/catalogs/build_catalogs.py from {src}; do not edit.\n"
          "// Regenerate with: python3 tools/catalogs/build_catalogs.py\n")


def fmt(x):
    s = f"{x:.9g}"
    if "." not in s and "e" not in s:
        s += ".0"
    return s


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def rows_text(values, per_line=4):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ", ".join(values[i:i + per_line]) + ",")
    return "\n".join(lines)


def emit_lines(d3, path, report):
    lines = load_json(d3, "constellations.lines.json")
    ser = Boundaries._serpens_order(lines)
    ser_seen = 0
    per_con = {}
    for f in lines["features"]:
        if f["id"] == "Ser":
            num = ser[ser_seen]
            ser_seen += 1
        else:
            num = CON_ABBR.index(f["id"])
        segs = []
        for chain in f["geometry"]["coordinates"]:
            for (l1, b1), (l2, b2) in zip(chain, chain[1:]):
                segs.append(((l1 % 360) * DEG, b1 * DEG, (l2 % 360) * DEG, b2 * DEG))
        per_con[num] = segs
    vals = []
    total = 0
    for num in sorted(per_con):
        for s in per_con[num]:
            vals.append("{" + ", ".join(fmt(x) for x in s) + "}")
            total += 1
    report["segments"] = total
    report["segments_ser"] = (len(per_con[SER_HEAD]), len(per_con[SER_TAIL]))
    write(path, HEADER.format(src="d3-celestial 0.7.35 data/constellations.lines.json (BSD-3-Clause)") +
          '#include "catalog/Catalogtables.h"\n\nnamespace catalogtables {\n\n'
          f"const int kLineCount = {total};\n\n"
          "// Figure by figure in constellation order: ra1, dec1, ra2, dec2 (radians, J2000).\n"
          f"const double kLines[{total}][4] = {{\n" + rows_text(vals, 1) + "\n};\n\n}  // namespace catalogtables\n")


def emit_milky(path, south, north):
    def arr(name, pts):
        vals = [f"{{{fmt(r * DEG)}, {fmt(d * DEG)}}}" for r, d in pts]
        return f"const double {name}[{len(pts)}][2] = {{\n" + rows_text(vals, 3) + "\n};\n"

    write(path, HEADER.format(src="d3-celestial 0.7.35 data/mw.json (BSD-3-Clause)") +
          '#include "catalog/Catalogtables.h"\n\nnamespace catalogtables {\n\n'
          "// Outer contour of the Milky Way, simplified on the sphere: the south edge\n"
          "// of the band first, then the north edge (ra, dec in radians, J2000).\n"
          f"const int kMilkyCount[2] = {{{len(south)}, {len(north)}}};\n" + arr("kMilkySouth", south) + "\n" +
          arr("kMilkyNorth", north) + "\n}  // namespace catalogtables\n")


def emit_outlines(path, lists):
    body = []
    names = {}
    for key, pts in lists.items():
        ident = f"k{key}".replace("-", "_") if isinstance(key, int) else f"k_{key}"
        names[key] = ident
        # Keep each list continuous around its first point; the list ends with
        # an RA of exactly 0.0, so no real position may have that value.
        first = next(p for p in pts if p is not None)
        cont = []
        for p in pts:
            if p is None:
                cont.append(SEP)
                continue
            (r, d), = continuous_ra([p], first[0])
            r *= DEG
            if r == 0.0:
                r = 1e-12
            cont.append((r, d * DEG))
        ras = [fmt(r) for r, _ in cont] + ["0.0"]
        decs = [fmt(d) for _, d in cont] + ["0.0"]
        body.append(f"const double {ident}Ra[{len(ras)}] = {{\n" + rows_text(ras, 6) + "\n};\n")
        body.append(f"const double {ident}Dec[{len(decs)}] = {{\n" + rows_text(decs, 6) + "\n};\n")
    table = []
    for no, count, kind in OUTLINES:
        key = "pleiades" if no in (1432, 1435, 20002) else "orion" if no in (1976, 1982) else \
            "coalsack" if no == 20006 else no
        table.append(f"    {{{no}, {names[key]}Ra, {names[key]}Dec, {kind}}},")
    write(path, HEADER.format(src="OpenNGC sizes and d3-celestial 0.7.35 data/mw.json") +
          '#include "catalog/Catalogtables.h"\n\nnamespace catalogtables {\n\nnamespace {\n\n' + "\n".join(body) +
          "\n}  // namespace\n\n"
          "// Catalogue number, positions (radians; (10, 10) separates polygons; the RA\n"
          "// list ends at the first value of exactly 0.0), kind.\n"
          "const TOutlineSource kOutlines[24] = {\n" + "\n".join(table) + "\n};\n\n}  // namespace catalogtables\n")


# ---------------------------------------------------------------- main

def main():
    d3, ks = fetch_sources()
    report = {}
    lines = load_json(d3, "constellations.lines.json")
    bounds = Boundaries(load_json(d3, "constellations.bounds.json"), lines)
    star_bytes, hip_recs = build_stars(d3, ks, bounds, report)
    stellarium = fetch_stellarium()
    tycho_bytes, tycho_pm = build_tycho(stellarium, hip_recs, bounds, report)
    star_pm = build_star_motions(ks, stellarium, hip_recs, report)
    neb_bytes, objs = build_nebulae(d3, ks, bounds, report)
    lists = build_outlines(d3, objs, report)
    south, north = build_milky(d3, report)

    os.makedirs(os.path.join(ROOT, "data"), exist_ok=True)
    with open(os.path.join(ROOT, "data", "Star.dat"), "wb") as f:
        f.write(star_bytes)
    with open(os.path.join(ROOT, "data", "Unsta.dat"), "wb") as f:
        f.write(neb_bytes)
    with open(os.path.join(ROOT, "data", "Tycho.dat"), "wb") as f:
        f.write(tycho_bytes)
    # Beside the catalogues, which keep their layout: without these files the
    # stars simply stand still.
    with open(os.path.join(ROOT, "data", "StarPm.dat"), "wb") as f:
        f.write(star_pm)
    with open(os.path.join(ROOT, "data", "TychoPm.dat"), "wb") as f:
        f.write(tycho_pm)
    emit_lines(d3, os.path.join(ROOT, "catalog", "Constellationlines.cpp"), report)
    emit_milky(os.path.join(ROOT, "catalog", "Milkyoutline.cpp"), south, north)
    emit_outlines(os.path.join(ROOT, "catalog", "Nebulaoutline.cpp"), lists)
    for k, v in report.items():
        if isinstance(v, list):
            log(f"{k}:")
            for x in v:
                log(f"  {x}")
        else:
            log(f"{k}: {v}")


if __name__ == "__main__":
    main()
