#!/usr/bin/env python3
"""Writes data/Names.txt, the names of stars and deep-sky objects beside the catalogues.

    python3 tools/catalogs/build_names.py

Star.dat and Unsta.dat keep their layouts; the names live in this UTF-8 text
side file, one name a line, tab-separated:

    S  <Hipparcos number>  <name>        a star; its first line is the name shown
    D  <catalogue number>  <name>        a deep-sky object, numbered as in Unsta.dat
                                         (NGC n, 10000 + IC n, 20000 on)
    P  <ra deg>  <dec deg>  <name>       an asterism that no catalogue record holds

Lines beginning with '#' are comments. Sources, in the order their names are
written (so the first name of an object is the most used English one):
  - d3-celestial's starnames.json (IAU WGSN names and names in other languages),
  - the hand table nicknames.tsv beside this script (each row gives its source),
  - d3-celestial's messier.json ("alt") and dsonames.json (names and languages),
  - OpenNGC's common names (the long_name of OpenNGC.kscat in Debian kstars-data).
Fetches the pinned sources the way build_catalogs.py does. Standard library only;
deterministic output.
"""
import json
import os
import re
import sqlite3
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import build_catalogs as bc  # noqa: E402

LANGS = ["en", "la", "de", "fr", "es", "it", "fi", "el", "tr", "ru", "ar", "he", "fa", "hi", "zh",
         "ja", "ko"]
# Parts of OpenNGC's long_name that are designations in other catalogues, not names.
ID_PART = re.compile(r"^(PGC|UGC|NGC|IC|MCG|CGCG|ESO|IRAS|Mrk|Arp|VV|KUG|Holm|LEDA|"
                     r"2MASX|Sh2|LBN|LDN|vdB|Ced|Cr|Mel|Tr|Hickson|HCG|Abell|PK|PN|"
                     r"UGCA|KTG|M|DDO|ZWG|Z|HD|HR|SAO|Stock|Basel|Berkeley|King)\b")


def clean(text):
    # Direction marks and thin spaces of the sources are no part of a name.
    text = text.replace("\u200e", "").replace("\u200f", "").replace("\u2009", " ")
    text = text.replace("´", "'").replace("’", "'").replace("\t", " ").replace("\n", " ")
    return " ".join(text.split())


def catalogue_number(desig):
    m = re.fullmatch(r"(NGC|IC) ?(\d+)", desig.strip())
    if not m:
        return None
    n = int(m.group(2))
    return n if m.group(1) == "NGC" else 10000 + n


def main():
    d3, ks = bc.fetch_sources()
    root = bc.ROOT
    with open(os.path.join(root, "data", "Unsta.dat"), "rb") as fh:
        unsta = fh.read()
    present = {struct.unpack_from("<H", unsta, i)[0] for i in range(0, len(unsta) - 27, 28)}

    out = ["# Names of stars and deep-sky objects; written by tools/catalogs/build_names.py.",
           "# S <HIP> <name> | D <catalogue number> <name> | P <ra deg> <dec deg> <name>;",
           "# the first line of an object is the name shown. Sources: data/SOURCES.md."]
    stars = bc.load_json(d3, "starnames.json")
    star_lines = 0
    for hip in sorted(stars, key=int):
        rec = stars[hip]
        name = clean(rec.get("name", ""))
        if not name:
            continue
        seen = {name}
        out.append(f"S\t{int(hip)}\t{name}")
        star_lines += 1
        for lang in LANGS:
            other = clean(rec.get(lang, ""))
            if other and other not in seen:
                seen.add(other)
                out.append(f"S\t{int(hip)}\t{other}")
                star_lines += 1

    names = {}  # catalogue number -> list of names, in order

    def add(no, name):
        name = clean(name)
        if no is None or no not in present or not name:
            return
        lst = names.setdefault(no, [])
        if name not in lst:
            lst.append(name)

    places = []
    with open(os.path.join(bc.HERE, "nicknames.tsv"), encoding="utf-8") as fh:
        for line in fh:
            if not line.strip() or line.startswith("#"):
                continue
            kind, key, name, _source = line.rstrip("\n").split("\t")
            if kind == "D":
                add(catalogue_number(key), name)
            else:
                ra, dec = key.split()
                places.append((float(ra), float(dec), name))

    messier = bc.load_json(d3, "messier.json")
    for f in messier["features"]:
        p = f["properties"]
        desig = p.get("desig", "").split("/")[0]
        alt = p.get("alt", "")
        if alt and alt not in ("4 Star asterism", "Milky Way patch"):
            add(catalogue_number(desig), alt)
    dso = bc.load_json(d3, "dsonames.json")
    for key in dso:
        no = catalogue_number(key)
        add(no, dso[key].get("name", ""))
    db = sqlite3.connect(os.path.join(ks, "OpenNGC.kscat"))
    for ident, long_name in db.execute(
            "select catalog_identifier, long_name from cat where long_name != '' "
            "order by catalog_identifier"):
        m = re.fullmatch(r"(NGC|IC)(\d+)", ident or "")
        if not m:
            continue
        no = int(m.group(2)) + (0 if m.group(1) == "NGC" else 10000)
        for part in long_name.split(","):
            part = part.strip()
            if part and not ID_PART.match(part) and re.search(r"[a-z]{3}", part):
                add(no, part)
    for key in dso:
        no = catalogue_number(key)
        for lang in LANGS:
            add(no, dso[key].get(lang, ""))

    deep_lines = 0
    for no in sorted(names):
        for name in names[no]:
            out.append(f"D\t{no}\t{name}")
            deep_lines += 1
    for ra, dec, name in places:
        out.append(f"P\t{ra:.4f}\t{dec:.4f}\t{name}")
    with open(os.path.join(root, "data", "Names.txt"), "w", encoding="utf-8", newline="\n") as fh:
        fh.write("\n".join(out) + "\n")
    print(f"{star_lines} star names, {deep_lines} deep-sky names for {len(names)} objects, "
          f"{len(places)} asterisms")


if __name__ == "__main__":
    main()
