# The checks of script/world-check on one client-format sector file and its
# companion file, after those of world-check.awk (whose functions it uses):
#   awk -f world-check.awk -f world-check-client.awk FILE.sct FILE.ese
# No line of the sector file spans more than 180 degrees of longitude (a
# line across 180 is two), every runway heading is on three digits from 001
# to 360, and every point the companion file names is defined in [VOR],
# [NDB] or [FIXES]; [REGIONS] and [LABELS] lines are polygons and labels in
# defined colours; in [AIRSPACE] every owner is a position, every border
# line defined and no sector line across 180. Prints one line per problem
# (the first few), nothing when both are sound.
FILENAME == ARGV[1] && (section == "[VOR]" || section == "[NDB]" || section == "[FIXES]") &&
    NF > 0 && $1 !~ /^;/ { defined[$1] = 1 }
FILENAME == ARGV[1] && section == "[RUNWAY]" && NF > 4 {
    if ($3 !~ /^[0-9][0-9][0-9]$/ || $4 !~ /^[0-9][0-9][0-9]$/ || $3 + 0 < 1 || $3 + 0 > 360 ||
        $4 + 0 < 1 || $4 + 0 > 360)
        problem("runway heading not from 001 to 360: " $0)
}
FILENAME == ARGV[1] && section != "[RUNWAY]" {
    n = 0
    for (i = 1; i <= NF; i++)
        if ($i ~ /^[EW][0-9][0-9][0-9]\.[0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9]$/) lon[++n] = $i
    if (n == 2 && (degrees(lon[1]) - degrees(lon[2]) > 180 || degrees(lon[2]) - degrees(lon[1]) > 180))
        problem("a line across 180 degrees: " $0)
}
# The ground: polygons of [REGIONS] start with a defined colour, go on a
# point a line; labels are quoted with a defined colour.
FILENAME == ARGV[1] && /^#define / { colour[$2] = 1 }
FILENAME == ARGV[1] && section == "[REGIONS]" && NF > 0 && $1 != "REGIONNAME" && $1 !~ /^;/ {
    if ($1 ~ /^[NS][0-9]/ ? NF != 2 : (NF != 3 || !($1 in colour)))
        problem("[REGIONS] line of no polygon: " $0)
}
FILENAME == ARGV[1] && section == "[LABELS]" && NF > 0 && $1 !~ /^;/ {
    if ($0 !~ /^"[^"]*" [NS][0-9.]+ [EW][0-9.]+ [^ ]+$/ || !($NF in colour))
        problem("[LABELS] line not a label: " $0)
}
FILENAME == ARGV[2] && /^(SID|STAR):/ {
    split($0, f, ":")
    k = split(f[5], route, " ")
    for (i = 1; i <= k; i++)
        if (!(route[i] in defined)) problem("companion point not in the sector file: " route[i])
}
# The sectors: no step of a sector line across 180 degrees, every owner a
# position of [POSITIONS], every border line defined before.
FILENAME == ARGV[2] && section == "[POSITIONS]" && /:/ && !/^;/ { split($0, f, ":"); position[f[4]] = 1 }
FILENAME == ARGV[2] && /^(CIRCLE_)?SECTORLINE:/ { split($0, f, ":"); sectorline[f[2]] = 1; west = "" }
FILENAME == ARGV[2] && /^COORD:/ {
    split($0, f, ":"); x = degrees(f[3])
    if (west != "" && (x - west > 180 || west - x > 180)) problem("a sector line across 180 degrees: " $0)
    west = x
}
FILENAME == ARGV[2] && /^OWNER:/ {
    k = split($0, f, ":")
    for (i = 2; i <= k; i++) if (!(f[i] in position)) problem("owner not a position: " f[i])
}
FILENAME == ARGV[2] && /^BORDER:/ {
    k = split($0, f, ":")
    for (i = 2; i <= k; i++) if (!(f[i] in sectorline)) problem("border line not defined: " f[i])
}
