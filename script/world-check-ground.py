#!/usr/bin/python3
"""The ground drawings of script/world-check, against apt.dat read here on
its own (Debian's python3 with numpy):

    world-check-ground.py OUT_DIR APT_DAT_GZ ICAO...

For each airport, OUT_DIR/ICAO_ground.sct (client format) and
OUT_DIR/ICAO_ground.geojson are checked:
- [REGIONS] covers the source's areas (rows 110 with their holes; not
  water or transparent surfaces) and its runways and helipads (rows 100 and
  102) with an intersection over union of at least 0.92 on a 2 m grid, and
  paints at most 3 % of the holes' cells;
- at least 90 % of the stands (rows 1300, and rows 15 of other names) are
  labelled in [LABELS] with their name within 15 m;
- the taxi centrelines of [GEO] are as long as the source's within 2 %;
- every polygon of [REGIONS] is one ring (a piece without holes);
- GDAL's ogrinfo reads the GeoJSON, which has the areas, lines and stands.
Prints one line per airport and one per problem; exit status 1 on a problem.
"""
import gzip
import json
import math
import re
import subprocess
import sys

import numpy as np

out, apt_path, icaos = sys.argv[1], sys.argv[2], sys.argv[3:]
problems = []
COORD = re.compile(r"([NSEW])(\d{3})\.(\d\d)\.(\d\d)\.(\d{3})")
CENTRELINES = {1, 7, 51, 57, 101, 105, 107, 108}
CELL = 2.0  # metres


def degrees(text):
    m = COORD.fullmatch(text)
    if not m:
        return None
    v = int(m[2]) + int(m[3]) / 60 + (int(m[4]) + int(m[5]) / 1000) / 3600
    return -v if m[1] in "SW" else v


# ---- apt.dat, read here ------------------------------------------------------

def bezier(p0, c1, c2, p3, steps=40):
    """Points after p0 up to p3 of the curve (c2 None: quadratic)."""
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        if c2 is None:
            pts.append(tuple(u * u * a + 2 * u * t * b + t * t * d for a, b, d in zip(p0, c1, p3)))
        else:
            pts.append(tuple(u ** 3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t ** 3 * d
                             for a, b, c, d in zip(p0, c1, c2, p3)))
    return pts


def chain(nodes, closed):
    """nodes: (lat, lon, control or None); the chain's points."""
    pts = [nodes[0][:2]]
    n = len(nodes)
    for i in range(n if closed else n - 1):
        a, b = nodes[i], nodes[(i + 1) % n]
        out_c = a[2]
        in_c = None if b[2] is None else (2 * b[0] - b[2][0], 2 * b[1] - b[2][1])
        if out_c is None and in_c is None:
            pts.append(b[:2])
        elif out_c is not None and in_c is not None:
            pts += bezier(a[:2], out_c, in_c, b[:2])
        else:
            pts += bezier(a[:2], out_c if out_c is not None else in_c, None, b[:2])
    return pts


def rectangle(lat1, lon1, lat2, lon2, width):
    """The runway between two ends, on a local flat frame."""
    k = math.cos(math.radians((lat1 + lat2) / 2))
    dx, dy = (lon2 - lon1) * k * 111320, (lat2 - lat1) * 110574
    length = math.hypot(dx, dy)
    if length == 0:
        return None
    ox, oy = -dy / length * width / 2, dx / length * width / 2  # metres, to the left
    dlat, dlon = oy / 110574, ox / (k * 111320)
    return [(lat1 + dlat, lon1 + dlon), (lat2 + dlat, lon2 + dlon),
            (lat2 - dlat, lon2 - dlon), (lat1 - dlat, lon1 - dlon)]


def read_airport(icao):
    areas, stands, old_stands, lines = [], [], [], []
    inside = False
    with gzip.open(apt_path, "rt", encoding="latin-1") as f:
        owner, rings, nodes, surface, types = None, [], [], 0, []
        for raw in f:
            t = raw.split()
            if not t:
                continue
            if t[0] in ("1", "16", "17"):
                if inside:
                    break
                inside = t[0] == "1" and len(t) > 4 and t[4] == icao
                continue
            if not inside:
                continue
            if t[0] in ("111", "112", "113", "114", "115", "116"):
                if owner is None:
                    continue
                curved = t[0] in ("112", "114", "116")
                ctrl = (float(t[3]), float(t[4])) if curved else None
                nodes.append((float(t[1]), float(t[2]), ctrl))
                rest = t[5:] if curved else t[3:]
                painted = int(rest[0]) if rest else 0
                lit = int(rest[1]) if len(rest) > 1 else 0
                types.append(painted or lit)
                if owner == "area" and t[0] in ("113", "114", "115", "116"):
                    if len(nodes) >= 3:
                        rings.append(chain(nodes, True))
                    nodes, types = [], []
                elif owner == "line" and t[0] in ("113", "114", "115", "116"):
                    closed = t[0] in ("113", "114")
                    pts = chain(nodes, closed)
                    lines.append((pts, types, nodes, closed))
                    nodes, types, owner = [], [], "done"
                continue
            if owner == "area" and rings and surface not in (13, 15):
                areas.append(rings)
            owner, rings, nodes, types = None, [], [], []
            if t[0] == "110":
                owner, surface = "area", int(t[1])
            elif t[0] == "120":
                owner = "line"
            elif t[0] == "100":
                r = rectangle(float(t[9]), float(t[10]), float(t[18]), float(t[19]), float(t[1]))
                if r:
                    areas.append([r])
            elif t[0] == "102":
                lat, lon, hdg, length, width = map(float, t[2:7])
                h = math.radians(hdg)
                k = math.cos(math.radians(lat))
                fx, fy = math.sin(h) * length / 2, math.cos(h) * length / 2
                a = (lat + fy / 110574, lon + fx / (k * 111320))
                b = (lat - fy / 110574, lon - fx / (k * 111320))
                r = rectangle(b[0], b[1], a[0], a[1], width)
                if r:
                    areas.append([r])
            elif t[0] == "15" and len(t) > 4:
                old_stands.append((" ".join(t[4:]), float(t[1]), float(t[2])))
            elif t[0] == "1300" and len(t) > 6:
                stands.append((" ".join(t[6:]), float(t[1]), float(t[2])))
    names = {s[0] for s in stands}
    stands += [s for s in old_stands if s[0] not in names]
    # Centreline length, segment by segment of the node chain: the curve
    # points between nodes i and i+1 carry node i's type.
    centre_m = 0.0
    for pts, types, nodes, closed in lines:
        # Recompute per edge so that each edge knows its type.
        n = len(nodes)
        for i in range(n if closed else n - 1):
            if types[i] not in CENTRELINES:
                continue
            sub = chain([nodes[i], nodes[(i + 1) % n]], False)
            for p, q in zip(sub, sub[1:]):
                centre_m += metres(p, q)
    return areas, stands, centre_m


def metres(p, q):
    k = math.cos(math.radians((p[0] + q[0]) / 2))
    return math.hypot((q[1] - p[1]) * k * 111320, (q[0] - p[0]) * 110574)


# ---- the files written -------------------------------------------------------

def read_sector(path):
    regions, labels, axes_m, section = [], [], 0.0, None
    current = None
    with open(path, encoding="cp1252") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            t = line.split()
            if not t or t[0].startswith(";") or t[0] == "#define":
                continue
            if t[0].startswith("["):
                section = line.strip()
                continue
            if section == "[REGIONS]":
                if t[0] == "REGIONNAME":
                    continue
                if degrees(t[0]) is None:  # a colour: a new polygon
                    current = []
                    regions.append(current)
                    t = t[1:]
                current.append((degrees(t[0]), degrees(t[1])))
            elif section == "[LABELS]":
                m = re.fullmatch(r'"([^"]*)" (\S+) (\S+) (\S+)', line)
                labels.append((m[1], degrees(m[2]), degrees(m[3])))
            elif section == "[GEO]" and len(t) == 5 and t[4] == "sol_axe":
                axes_m += metres((degrees(t[0]), degrees(t[1])), (degrees(t[2]), degrees(t[3])))
    return regions, labels, axes_m


# ---- the grid ----------------------------------------------------------------

class Grid:
    def __init__(self, polygons):
        pts = [p for poly in polygons for ring in poly for p in ring]
        self.lat0 = min(p[0] for p in pts) - 0.002
        self.lon0 = min(p[1] for p in pts) - 0.002
        self.k = math.cos(math.radians(self.lat0))
        top = max(p[0] for p in pts) + 0.002
        right = max(p[1] for p in pts) + 0.002
        x, y = self.xy((top, right))
        self.w, self.h = int(x / CELL) + 1, int(y / CELL) + 1

    def xy(self, p):
        return (p[1] - self.lon0) * self.k * 111320, (p[0] - self.lat0) * 110574

    def fill(self, rings):
        """The cells whose centres lie inside the rings, even-odd."""
        mask = np.zeros((self.h, self.w), dtype=bool)
        edges = []
        for ring in rings:
            xy = [self.xy(p) for p in ring]
            for i in range(len(xy)):
                edges.append((xy[i], xy[(i + 1) % len(xy)]))
        if not edges:
            return mask
        e = np.array([[a[0], a[1], b[0], b[1]] for a, b in edges])
        ys = (np.arange(self.h) + 0.5) * CELL
        lo = int(max(0, e[:, [1, 3]].min() / CELL - 1))
        hi = int(min(self.h, e[:, [1, 3]].max() / CELL + 2))
        xs_centres = (np.arange(self.w) + 0.5) * CELL
        for row in range(lo, hi):
            y = ys[row]
            y1, y2 = e[:, 1], e[:, 3]
            crossing = (y1 <= y) != (y2 <= y)
            if not crossing.any():
                continue
            c = e[crossing]
            x = c[:, 0] + (y - c[:, 1]) * (c[:, 2] - c[:, 0]) / (c[:, 3] - c[:, 1])
            x.sort()
            for a, b in zip(x[0::2], x[1::2]):
                mask[row] |= (xs_centres >= a) & (xs_centres < b)
        return mask


def check(icao):
    areas, stands, centre_m = read_airport(icao)
    regions, labels, axes_m = read_sector(f"{out}/{icao}_ground.sct")
    if not areas or not regions:
        problems.append(f"{icao}: {len(areas)} source areas, {len(regions)} regions")
        return
    grid = Grid(areas + [[r] for r in regions])
    source = np.zeros((grid.h, grid.w), dtype=bool)
    holes = np.zeros_like(source)
    for rings in areas:
        source |= grid.fill(rings)
        if len(rings) > 1:
            holes |= grid.fill(rings[:1])
    holes &= ~source
    written = np.zeros_like(source)
    for ring in regions:
        written |= grid.fill([ring])
    iou = (source & written).sum() / (source | written).sum()
    painted = (holes & written).sum() / max(1, holes.sum())
    if iou < 0.92:
        problems.append(f"{icao}: [REGIONS] against the source: IoU {iou:.4f} < 0.92")
    if painted > 0.03:
        problems.append(f"{icao}: {painted:.1%} of the holes' cells painted")
    near = 0
    for name, lat, lon in stands:
        if any(n == name.replace('"', "'") and metres((lat, lon), (la, lo)) <= 15
               for n, la, lo in labels):
            near += 1
    share = near / len(stands) if stands else 1
    if share < 0.9:
        problems.append(f"{icao}: {near} of {len(stands)} stands labelled within 15 m")
    if centre_m == 0 or abs(axes_m - centre_m) > 0.02 * centre_m:
        problems.append(f"{icao}: taxi centrelines {axes_m:.0f} m written, {centre_m:.0f} m in "
                        "the source")
    geojson = f"{out}/{icao}_ground.geojson"
    r = subprocess.run(["ogrinfo", "-ro", "-al", "-so", geojson], capture_output=True, text=True)
    if r.returncode != 0:
        problems.append(f"{icao}: ogrinfo refuses the GeoJSON: {r.stderr.strip()[:200]}")
    with open(geojson, encoding="utf-8") as f:
        kinds = [ft["properties"].get("kind") for ft in json.load(f)["features"]]
    for kind in ("ground", "groundline", "stand"):
        if kind not in kinds:
            problems.append(f"{icao}: no feature of kind {kind} in the GeoJSON")
    print(f"{icao}: IoU {iou:.4f} ({int(source.sum())} source cells of {CELL:.0f} m, "
          f"{int(written.sum())} written), holes painted {painted:.2%}, "
          f"{near}/{len(stands)} stands within 15 m, centrelines {axes_m:.0f} m of "
          f"{centre_m:.0f} m, {len(regions)} region pieces")


for icao in icaos:
    check(icao)
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
