# The checks of script/world-check on one sector file: every coordinate on
# the globe, no line to 0, 0, no runway longer than 10 nm. Prints one line
# per problem (the first few), nothing when the file is sound.
function degrees(t,    d, m, s, v) {
    d = substr(t, 2, 3) + 0; m = substr(t, 6, 2) + 0; s = substr(t, 9, 6) + 0
    v = d + m / 60 + s / 3600
    return (substr(t, 1, 1) == "S" || substr(t, 1, 1) == "W") ? -v : v
}
function problem(text) {
    if (++problems <= 5) print FILENAME ":" FNR ": " text
}
BEGIN { pi = atan2(0, -1) }
{ sub(/\r$/, "") }
/^\[/ { section = $0; next }
{
    n = 0
    for (i = 1; i <= NF; i++)
        if ($i ~ /^[NSEW][0-9][0-9][0-9]\.[0-9][0-9]\.[0-9][0-9]\.[0-9][0-9][0-9]$/) tok[++n] = $i
    for (k = 1; k <= n; k++) {
        t = tok[k]; h = substr(t, 1, 1)
        limit = (h == "N" || h == "S") ? 90 : 180
        if (substr(t, 6, 2) + 0 >= 60 || substr(t, 9, 6) + 0 >= 60 || degrees(t) > limit ||
            degrees(t) < -limit)
            problem("coordinate off the globe: " t)
    }
    for (k = 1; k + 1 <= n; k += 2)
        if (tok[k] ~ /^[NS]000\.00\.00\.000$/ && tok[k + 1] ~ /^[EW]000\.00\.00\.000$/)
            problem("a point at 0, 0 in " section ": " $0)
    if (section == "[RUNWAY]" && n == 4) {
        la1 = degrees(tok[1]) * pi / 180; lo1 = degrees(tok[2]) * pi / 180
        la2 = degrees(tok[3]) * pi / 180; lo2 = degrees(tok[4]) * pi / 180
        c = sin(la1) * sin(la2) + cos(la1) * cos(la2) * cos(lo2 - lo1)
        if (c > 1) c = 1
        nm = atan2(sqrt(1 - c * c), c) * 3443.9
        if (nm > 10) problem(sprintf("runway of %.0f nm: %s", nm, $0))
    }
}
