# The checks of script/world-check on one client-format sector file and its
# companion file (awk -f world-check-client.awk FILE.sct FILE.ese): no line
# of the sector file spans more than 180 degrees of longitude (a line across
# 180 is two), every runway heading on three digits from 001 to 360, and
# every point the companion file names defined in [VOR], [NDB] or [FIXES].
# Prints one line per problem (the first few), nothing when both are sound.
function degrees(t,    d, m, s, v) {
    d = substr(t, 2, 3) + 0; m = substr(t, 6, 2) + 0; s = substr(t, 9, 6) + 0
    v = d + m / 60 + s / 3600
    return (substr(t, 1, 1) == "S" || substr(t, 1, 1) == "W") ? -v : v
}
function problem(text) {
    if (++problems <= 5) print FILENAME ":" FNR ": " text
}
{ sub(/\r$/, "") }
FNR == 1 { file++ }
file == 1 && /^\[/ { section = $0; next }
file == 1 && (section == "[VOR]" || section == "[NDB]" || section == "[FIXES]") && NF > 0 &&
    $1 !~ /^;/ { defined[$1] = 1 }
file == 1 && section == "[RUNWAY]" && NF > 4 {
    if ($3 !~ /^[0-9][0-9][0-9]$/ || $4 !~ /^[0-9][0-9][0-9]$/ || $3 + 0 < 1 || $3 + 0 > 360 ||
        $4 + 0 < 1 || $4 + 0 > 360)
        problem("runway heading not from 001 to 360: " $0)
}
file == 1 {
    n = 0
    for (i = 1; i <= NF; i++)
        if ($i ~ /^[EW][0-9][0-9][0-9]\.[0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9]$/) lon[++n] = $i
    if (section != "[RUNWAY]" && n == 2) {
        d = degrees(lon[1]) - degrees(lon[2])
        if (d > 180 || d < -180) problem("a line across 180 degrees: " $0)
    }
}
file == 2 && /^(SID|STAR):/ {
    split($0, f, ":")
    k = split(f[5], route, " ")
    for (i = 1; i <= k; i++)
        if (!(route[i] in defined)) problem("companion point not in the sector file: " route[i])
}
