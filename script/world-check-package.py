#!/usr/bin/env python3
"""The controller's package on the imported world, for script/world-check:
   world-check-package.py OUT DB ICAO...
Each airport 40 nm around with its ground, in the three client files
(.sct with [REGIONS], .sct2, .sct without them), is read back here on its
own: every [AIRPORT] line has a class letter and, where the database has a
tower (else CTAF) frequency for it, that frequency; every [GEO] line is in
a named group; [POSITIONS] lines have their 13 fields, unique identifiers,
the database's frequencies and a centre position per FIR; [FREETEXT] lines
have their 4 fields and the airport's stands and taxiway names; the .sct
without regions has no [REGIONS] and [LABELS]. Prints one line a problem,
and exits 1 when there is any."""
import os
import re
import sqlite3
import subprocess
import sys

out, db, icaos = sys.argv[1], sys.argv[2], sys.argv[3:]
COORD = re.compile(r"[NS]\d{3}\.\d{2}\.\d{2}\.\d{3}$")
problems = []


def sections(path):
    parts, current = {}, None
    with open(path, encoding="cp1252") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            if line.startswith("["):
                current = line
                parts.setdefault(current, [])
            elif current and line.strip() and not line.startswith(";"):
                parts[current].append(line)
    return parts


con = sqlite3.connect(db)
for icao in icaos:
    freqs = {}
    for kind, khz in con.execute(
            "select kind,khz from airportfreqs join airports on airports.ID=airportID "
            "where ICAO=? order by airportfreqs.rowid", (icao,)):
        freqs.setdefault(kind, "%03d.%03d" % (khz // 1000, khz % 1000))
    stands = con.execute("select count(*) from groundstands where airport=?", (icao,)).fetchone()[0]
    names = con.execute("select count(*) from groundnames where airport=?", (icao,)).fetchone()[0]
    for variant in ("", "=sct2", "=sct"):
        ext = "sct2" if variant == "=sct2" else "sct"
        base = os.path.join(out, "%s_package%s" % (icao, variant.replace("=", "_")))
        run = subprocess.run(
            ["../build/karvel-sct", "--database", "world.sqlite", "--airport", icao, "--radius",
             "40", "--geo", "2", "--ground", icao, "--client-format" + variant, "--name", icao,
             "--callsign", icao + "_APP", "--sector-icao", icao, "--date", "2026-12-07",
             "--output", "../%s.%s" % (base, ext), "--ese", "../%s.ese" % base],
            cwd="runtime", capture_output=True)
        where = "%s %s" % (icao, ext + (" sans régions" if variant == "=sct" else ""))
        if run.returncode != 0:
            problems.append("%s: karvel-sct: %s" % (where, run.stderr[:300]))
            continue
        sct, ese = sections("%s.%s" % (base, ext)), sections(base + ".ese")
        for line in sct.get("[AIRPORT]", []):
            f = line.split()
            if len(f) < 6 or not re.fullmatch("[A-G]", f[4]):
                problems.append("%s: [AIRPORT] without a class letter: %s" % (where, line))
            elif f[0] == icao and f[1] != freqs.get(4, freqs.get(1, "000.000")):
                problems.append("%s: [AIRPORT] frequency %s, not the tower's" % (where, f[1]))
        geo = sct.get("[GEO]", [])
        if geo and COORD.match(geo[0].split()[0]):
            problems.append("%s: [GEO] begins with a line of no group" % where)
        if variant == "=sct" and ("[REGIONS]" in sct or "[LABELS]" in sct):
            problems.append("%s: [REGIONS] or [LABELS] in the file without them" % where)
        if variant != "=sct" and stands and "[LABELS]" not in sct:
            problems.append("%s: no [LABELS]" % where)
        ids, named = set(), {}
        for line in ese.get("[POSITIONS]", []):
            f = line.split(":")
            if len(f) != 13 or not COORD.match(f[11]) or f[3] in ids:
                problems.append("%s: [POSITIONS] line: %s" % (where, line))
            ids.add(f[3])
            named[f[0]] = f[2]
        for kind, suffix in ((0, "ATIS"), (2, "DEL"), (3, "GND"), (4, "TWR"), (5, "APP"),
                             (6, "DEP")):
            if kind in freqs and named.get(icao + "_" + suffix) != freqs[kind]:
                problems.append("%s: %s_%s not on %s" % (where, icao, suffix, freqs[kind]))
        if not any(n.endswith("_CTR") for n in named):
            problems.append("%s: no centre position" % where)
        groups = {}
        for line in ese.get("[FREETEXT]", []):
            f = line.split(":")
            if len(f) != 4 or not COORD.match(f[0]):
                problems.append("%s: [FREETEXT] line: %s" % (where, line))
                continue
            groups[f[2]] = groups.get(f[2], 0) + 1
        if groups.get(icao + " postes de stationnement", 0) < stands * 0.9:
            problems.append("%s: %d stands in [FREETEXT] of %d" %
                            (where, groups.get(icao + " postes de stationnement", 0), stands))
        if names and not groups.get(icao + " voies de circulation"):
            problems.append("%s: no taxiway name in [FREETEXT]" % where)
        if variant == "" and icao == "LFPG":
            lfpg = [l for l in sct.get("[AIRPORT]", []) if l.startswith("LFPG ")]
            if not lfpg or lfpg[0].split()[4] != "D":
                problems.append("LFPG: not class D: %s" % lfpg)
            if "LFFF_CTR" not in named:
                problems.append("LFPG: no LFFF_CTR position")
for p in problems[:40]:
    print(p)
sys.exit(1 if problems else 0)
