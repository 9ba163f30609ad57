#!/usr/bin/env python3
"""The sectors of the companion files, for script/world-check:
   world-check-airspace.py FILE.ese...
Each [AIRSPACE] is read here on its own: every SECTORLINE has two points or
more and no step across 180 degrees, every CIRCLE_SECTORLINE a centre and a
radius; every SECTOR has a floor below its ceiling, owners that are
identifiers of [POSITIONS], and a BORDER of defined lines that chain end to
end and close (a point on 180 E is the one on 180 W); sectors come in
increasing area. Then, on the files named after them: LFPG's CTR PARIS is
owned by LFPG's tower, approach and the LFFF centre, its TMA PARIS parts by
the approach and the centre, LFFF by its centre; KJFK's neighbouring FIRs
share lines; NFFN's NFFF is one sector whose border runs on both sides of
180. Prints one line a problem, and exits 1 when there is any."""
import math
import os
import re
import sys

COORD = re.compile(r"([NS])(\d{3})\.(\d{2})\.(\d{2})\.(\d{3})$|([EW])(\d{3})\.(\d{2})\.(\d{2})\.(\d{3})$")
problems = []


def angle(text):
    m = COORD.match(text)
    if not m:
        raise ValueError(text)
    g = [x for x in m.groups() if x is not None]
    v = int(g[1]) + int(g[2]) / 60 + (int(g[3]) + int(g[4]) / 1000) / 3600
    return -v if g[0] in "SW" else v


def same(a, b):
    if abs(a[0] - b[0]) > 1e-6:
        return False
    d = abs(a[1] - b[1])
    return d <= 1e-6 or abs(d - 360) <= 1e-6


def area(points):
    """Square degrees of the polygon, longitudes followed the short way."""
    xs = [points[0][1]]
    for p in points[1:]:
        x = p[1]
        while x - xs[-1] > 180:
            x -= 360
        while x - xs[-1] < -180:
            x += 360
        xs.append(x)
    s = 0.0
    for i in range(len(points)):
        j = (i + 1) % len(points)
        c = math.cos(math.radians(points[i][0]))
        s += xs[i] * c * points[j][0] - xs[j] * math.cos(math.radians(points[j][0])) * points[i][0]
    return abs(s) / 2


def read(path):
    section, ids, named = None, set(), {}
    lines, circles, sectors, current = {}, {}, [], None
    with open(path, encoding="cp1252") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            if line.startswith("["):
                section = line
                continue
            if not line.strip() or line.startswith(";"):
                continue
            f_ = line.split(":")
            if section == "[POSITIONS]":
                ids.add(f_[3])
                named[f_[0]] = f_[3]
            if section != "[AIRSPACE]":
                continue
            if f_[0] == "SECTORLINE":
                current = lines.setdefault(f_[1], [])
            elif f_[0] == "COORD":
                current.append((angle(f_[1]), angle(f_[2])))
            elif f_[0] == "CIRCLE_SECTORLINE":
                circles[f_[1]] = (angle(f_[2]), angle(f_[3]), float(f_[4]))
            elif f_[0] == "SECTOR":
                sectors.append({"name": f_[1], "floor": int(f_[2]), "ceiling": int(f_[3])})
            elif f_[0] in ("OWNER", "BORDER", "DEPAPT", "ARRAPT"):
                sectors[-1][f_[0]] = f_[1:]
    return ids, named, lines, circles, sectors


def chain(where, s, lines, circles):
    """The border's points in order, or None when it does not close."""
    border = s.get("BORDER", [])
    if len(border) == 1 and border[0] in circles:
        return "circle"
    points = []
    for name in border:
        if name not in lines:
            problems.append("%s: %s: line %s not defined" % (where, s["name"], name))
            return None
        l = lines[name]
        if not points:
            # the first line's direction is the one its end meets the next line by
            nxt = lines.get(border[1]) if len(border) > 1 else None
            if nxt and not (same(l[-1], nxt[0]) or same(l[-1], nxt[-1])):
                l = l[::-1]
            points = list(l)
            continue
        if same(points[-1], l[0]):
            points += l[1:]
        elif same(points[-1], l[-1]):
            points += l[::-1][1:]
        else:
            problems.append("%s: %s: %s does not meet the line before" % (where, s["name"], name))
            return None
    if not points or not same(points[0], points[-1]):
        problems.append("%s: %s: border not closed" % (where, s["name"]))
        return None
    return points


for path in sys.argv[1:]:
    where = os.path.basename(path)
    ids, named, lines, circles, sectors = read(path)
    for name, l in lines.items():
        if len(l) < 2:
            problems.append("%s: line %s of %d point" % (where, name, len(l)))
        for a, b in zip(l, l[1:]):
            if abs(a[1] - b[1]) > 180:
                problems.append("%s: line %s across 180" % (where, name))
    last = 0
    for s in sectors:
        if not s["floor"] < s["ceiling"]:
            problems.append("%s: %s: floor %d, ceiling %d" % (where, s["name"], s["floor"], s["ceiling"]))
        if not s.get("OWNER") or any(o not in ids for o in s["OWNER"]):
            problems.append("%s: %s: owners %s not all positions" % (where, s["name"], s.get("OWNER")))
        points = chain(where, s, lines, circles)
        if points is None:
            continue
        if points == "circle":
            r = circles[s["BORDER"][0]][2] / 60
            a = math.pi * r * r
        else:
            a = area(points[:-1])
        if a < last * 0.999:
            problems.append("%s: %s after a larger sector" % (where, s["name"]))
        last = max(last, a)
    by_name = {s["name"]: s for s in sectors}
    if where.startswith("LFPG"):
        want = {"CTR PARIS": ["LFPG_TWR", "LFPG_APP", "LFFF_CTR"],
                "TMA PARIS 1": ["LFPG_APP", "LFFF_CTR"], "TMA PARIS 2": ["LFPG_APP", "LFFF_CTR"],
                "LFFF": ["LFFF_CTR"]}
        for sector, owners in want.items():
            got = by_name.get(sector, {}).get("OWNER")
            if got is None or got[:len(owners)] != [named.get(o) for o in owners]:
                problems.append("%s: %s owned by %s, not %s" % (where, sector, got, owners))
        if by_name.get("CTR PARIS", {}).get("floor") != 0 or by_name["CTR PARIS"]["ceiling"] != 2000:
            problems.append("%s: CTR PARIS not from 0 to 2000 ft" % where)
    if where.startswith("KJFK"):
        firs = [s for s in sectors if s["name"].startswith(("KZ", "CZ"))]
        used = {}
        for s in firs:
            for l in s.get("BORDER", []):
                used[l] = used.get(l, 0) + 1
        if not any(n >= 2 for n in used.values()):
            problems.append("%s: no line shared between neighbouring FIRs" % where)
    if where.startswith("NFFN"):
        nfff = by_name.get("NFFF")
        pts = [p for l in (nfff or {}).get("BORDER", []) for p in lines.get(l, [])]
        if not nfff or not any(p[1] > 179 for p in pts) or not any(p[1] < -179 for p in pts):
            problems.append("%s: NFFF not one sector across 180" % where)
for p in problems[:40]:
    print(p)
sys.exit(1 if problems else 0)
