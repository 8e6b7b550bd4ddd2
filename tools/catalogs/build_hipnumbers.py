#!/usr/bin/env python3
"""Writes data/Starhip.dat, the Hipparcos number of every Star.dat record.

Star.dat keeps the 16-byte record layout it has always had, so the numbers
live in this side file: one little-endian uint32 per Star.dat record, in the
same order. Each record is matched to its d3-celestial star by its stored
position and magnitude (the named stars were moved within Star.dat, so the
order alone is not enough). Run build_catalogs.py first (or at least let it
fetch the d3-celestial package into cache/); Python 3 standard library only.
"""
import json
import math
import os
import struct
import subprocess
import sys
import tarfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CACHE = os.path.join(HERE, "cache")
D3_PACKAGE = "d3-celestial@0.7.35"
D3_TARBALL = "d3-celestial-0.7.35.tgz"
DEG = math.pi / 180.0


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def main():
    os.makedirs(CACHE, exist_ok=True)
    tgz = os.path.join(CACHE, D3_TARBALL)
    if not os.path.exists(tgz):
        subprocess.run(["npm", "pack", D3_PACKAGE], cwd=CACHE, check=True)
    member = "package/data/stars.14.json"
    with tarfile.open(tgz) as t:
        stars = json.load(t.extractfile(member))["features"]
    by_key = {}
    for f in stars:
        lon, lat = f["geometry"]["coordinates"]
        key = (f32((lon % 360) * DEG), f32(lat * DEG), int(round(f["properties"]["mag"] * 100)))
        by_key.setdefault(key, []).append(f["id"])
    with open(os.path.join(ROOT, "data", "Star.dat"), "rb") as fh:
        data = fh.read()
    out = bytearray()
    seen = set()
    for i in range(len(data) // 16):
        _, _, ra, dec, mag, _, _ = struct.unpack_from("<HHffhBB", data, i * 16)
        hips = [h for h in by_key.get((ra, dec, mag), []) if h not in seen]
        if not hips:
            sys.exit(f"record {i}: no d3-celestial star at that place and magnitude")
        seen.add(hips[0])
        out += struct.pack("<I", hips[0])
    with open(os.path.join(ROOT, "data", "Starhip.dat"), "wb") as fh:
        fh.write(out)
    print(f"{len(out) // 4} Hipparcos numbers written")


if __name__ == "__main__":
    main()
