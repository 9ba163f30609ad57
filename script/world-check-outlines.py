#!/usr/bin/env python3
"""The airspace outlines of script/world-check, on the files it wrote:

    world-check-outlines.py OUT_DIR BOUNDARIES_DIR

- LFPG 150 nm: LFFF under [ARTCC] on the GeoJSON source's own points, every
  one of them, its ring closed;
- KJFK 150 nm: ZNY under [ARTCC HIGH] and [ARTCC LOW] on the FAA file's
  points of each stratum;
- NFFN 300 nm: NFFF whole (every source point of both parts cut at 180),
  no line across 180;
- the OpenAir test zones under [ARTCC LOW] and [ARTCC HIGH];
- the GeoJSON of each holds the outlines as polygons (GDAL's ogrinfo).
Prints one line per problem; exit status 1 when there is one.
"""
import json
import math
import re
import subprocess
import sys

out, boundaries = sys.argv[1], sys.argv[2]
problems = []
COORD = re.compile(r"([NSEW])(\d{3})\.(\d\d)\.(\d\d)\.(\d{3})")


def degrees(text):
    m = COORD.fullmatch(text)
    v = int(m[2]) + int(m[3]) / 60 + (int(m[4]) + int(m[5]) / 1000) / 3600
    return -v if m[1] in "SW" else v


def sections(path):
    """Section header -> list of (name, (lat, lon), (lat, lon)) of its lines."""
    found, current = {}, None
    with open(path, encoding="cp1252") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("["):
                current = found.setdefault(line, [])
            elif current is not None and line and not line.startswith(";"):
                t = line.split()
                if len(t) >= 5 and all(COORD.fullmatch(x) for x in t[-4:]):
                    a = (degrees(t[-4]), degrees(t[-3]))
                    b = (degrees(t[-2]), degrees(t[-1]))
                    current.append((" ".join(t[:-4]), a, b))
    return found


def near(p, q):
    # Written truncated to the thousandth of a second: 0.001" is 2.8e-7 degree.
    return abs(p[0] - q[0]) < 1e-6 and abs((p[1] - q[1] + 180) % 360 - 180) < 1e-6


def check_points(what, lines, expected, segments=None):
    """Every expected point is an end of a line, and every line end is an expected
    point or on 180 degrees (where a line across it is cut); `segments` lines
    when given (one an edge of a closed ring)."""
    ends = [e for _, a, b in lines for e in (a, b)]
    if not lines:
        problems.append(f"{what}: no lines")
        return
    if segments is not None and len(lines) != segments:
        problems.append(f"{what}: {len(lines)} lines for {segments} edges")
    missing = [p for p in expected if not any(near(p, e) for e in ends)]
    stray = [e for e in ends if abs(abs(e[1]) - 180) > 1e-9 and not any(near(p, e) for p in expected)]
    if missing:
        problems.append(f"{what}: {len(missing)} source points not written, first {missing[0]}")
    if stray:
        problems.append(f"{what}: {len(stray)} line ends not on the source, first {stray[0]}")
    for _, a, b in lines:
        if abs(a[1] - b[1]) > 180:
            problems.append(f"{what}: a line across 180 degrees {a} {b}")
            break


def geojson_rings(ident):
    with open(f"{boundaries}/vatspy/Boundaries.geojson", encoding="utf-8") as f:
        for feature in json.load(f)["features"]:
            if feature["properties"]["id"] == ident:
                return [[(lat, lon) for lon, lat in ring]
                        for poly in feature["geometry"]["coordinates"] for ring in poly]
    return []


def geojson_points(ident):
    return [p for ring in geojson_rings(ident) for p in ring]


def arb_points(ident, code):
    points = []
    with open(f"{boundaries}/faa-arb/ARB.txt", encoding="latin-1") as f:
        for line in f:
            if line[:3] == ident and line[4:7] == code:
                def dms(t):
                    d, m, s = t[:-1].split("-")
                    v = int(d) + int(m) / 60 + float(s) / 3600
                    return -v if t[-1] in "SW" else v
                points.append((dms(line[62:76].strip()), dms(line[76:90].strip())))
    return points


def named(lines, name):
    return [l for l in lines if l[0] == name]


lfpg = sections(f"{out}/LFPG_150nm_outlines.sct")
check_points("LFPG LFFF", named(lfpg.get("[ARTCC]", []), "LFFF"), geojson_points("LFFF"),
             sum(len(r) - 1 for r in geojson_rings("LFFF")))
kjfk = sections(f"{out}/KJFK_150nm_outlines.sct")
for header, code in (("[ARTCC HIGH]", "*H*"), ("[ARTCC LOW]", "*L*")):
    points = arb_points("ZNY", code)
    check_points(f"KJFK ZNY {header}", named(kjfk.get(header, []), "ZNY"), points, len(points))
nffn = sections(f"{out}/NFFN_300nm_outlines.sct")
check_points("NFFN NFFF", named(nffn.get("[ARTCC]", []), "NFFF"), geojson_points("NFFF"))
for header, name in (("[ARTCC LOW]", "ESSAI CTR"), ("[ARTCC LOW]", "ESSAI QUART"),
                     ("[ARTCC HIGH]", "ESSAI CERCLE HAUT")):
    if not named(lfpg.get(header, []), name):
        problems.append(f"LFPG: {name} not under {header}")

# The OpenAir zones: the quarter of a 10 nm disc encloses its area within 3 %,
# the circle's points lie on its 20 nm radius (the program's Earth: 6,378 km).
R = 3443.844
centre = (49 + 35 / 3600, 2 + 32 / 60 + 52 / 3600)


def great_circle(p, q):
    a, b = math.radians(p[0]), math.radians(q[0])
    c = math.sin(a) * math.sin(b) + math.cos(a) * math.cos(b) * math.cos(math.radians(q[1] - p[1]))
    return R * math.acos(max(-1, min(1, c)))


ring = [a for _, a, _ in named(lfpg.get("[ARTCC LOW]", []), "ESSAI QUART")]
k = R * math.pi / 180
area = abs(sum(p[1] * math.cos(math.radians(centre[0])) * k * q[0] * k -
               q[1] * math.cos(math.radians(centre[0])) * k * p[0] * k
               for p, q in zip(ring, ring[1:] + ring[:1]))) / 2
if abs(area - math.pi * 100 / 4) > 0.03 * math.pi * 100 / 4:
    problems.append(f"ESSAI QUART: {area:.2f} square nm for {math.pi * 25:.2f}")
radii = [great_circle(centre, a) for _, a, _ in named(lfpg.get("[ARTCC HIGH]", []), "ESSAI CERCLE HAUT")]
if not radii or max(abs(r - 20) for r in radii) > 0.01:
    problems.append(f"ESSAI CERCLE HAUT: radii from {min(radii, default=0):.4f} to {max(radii, default=0):.4f} nm")

for name in ("LFPG_150nm_outlines", "KJFK_150nm_outlines", "NFFN_300nm_outlines"):
    r = subprocess.run(["ogrinfo", "-ro", "-so", "-al", "-where", "kind = 'outline'",
                        f"{out}/{name}.geojson"], capture_output=True, text=True)
    m = re.search(r"Feature Count: (\d+)", r.stdout)
    if r.returncode != 0 or not m or int(m[1]) == 0:
        problems.append(f"{name}: GDAL reads no outline in the GeoJSON ({r.stderr.strip()[:200]})")

for p in problems[:20]:
    print(p)
sys.exit(1 if problems else 0)
