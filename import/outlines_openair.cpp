#include "import/outlines_openair.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "core/outline.h"
#include "core/outline_shape.h"
#include "import/outlines.h"
#include "import/xplane.h"
#include "import/xplane_text.h"

namespace karvel::outlines {

namespace {

// Records whose text the reader does not need: labels, frequencies, call
// signs, styles and the extended format's fields.
bool passed_record(const std::string& r) {
    for (const char* k : {"AT", "AF", "AG", "AI", "AX", "AA", "SP", "SB", "DY"})
        if (r == k) return true;
    return false;
}

bool known_record(const std::string& r) {
    for (const char* k : {"AC", "AN", "AL", "AH", "AY", "V", "DP", "DA", "DB", "DC"})
        if (r == k) return true;
    return passed_record(r);
}

// The record's type (in capitals) and the text after it, without a comment
// ("*" and what follows) and without blanks at either end.
std::pair<std::string, std::string> record(std::string line) {
    if (const size_t star = line.find('*'); star != std::string::npos) line.resize(star);
    const std::string_view t = xplane::trimmed(line);
    const size_t blank = t.find_first_of(" \t");
    std::string type = upper_ascii(std::string(t.substr(0, blank)));
    std::string rest = blank == std::string::npos
                           ? std::string()
                           : std::string(xplane::trimmed(t.substr(blank)));
    return {type, rest};
}

// One angle "DD:MM:SS.s H", "DD:MM.m H" or "DD.d H" from `pos`, blanks
// allowed before the hemisphere letter; nothing when the text is not one.
std::optional<double> angle(const std::string& s, size_t& pos, char plus, char minus, double max) {
    double parts[3] = {0, 0, 0};
    int n = 0;
    while (pos < s.size() && std::isblank(static_cast<unsigned char>(s[pos]))) ++pos;
    for (;;) {
        // Digits with one decimal point at most: no sign, exponent or hex.
        size_t end = pos, points = 0;
        while (end < s.size() &&
               (std::isdigit(static_cast<unsigned char>(s[end])) || s[end] == '.'))
            points += s[end++] == '.';
        if (end == pos || !std::isdigit(static_cast<unsigned char>(s[pos])) || points > 1)
            return std::nullopt;
        parts[n++] = std::strtod(s.substr(pos, end - pos).c_str(), nullptr);
        pos = end;
        if (n < 3 && pos < s.size() && s[pos] == ':') {
            ++pos;
            continue;
        }
        break;
    }
    while (pos < s.size() && std::isblank(static_cast<unsigned char>(s[pos]))) ++pos;
    if (pos >= s.size()) return std::nullopt;
    const char h = static_cast<char>(std::toupper(static_cast<unsigned char>(s[pos])));
    if ((h != plus && h != minus) || parts[1] >= 60 || parts[2] >= 60) return std::nullopt;
    ++pos;
    const double v = parts[0] + parts[1] / 60 + parts[2] / 3600;
    if (!(v <= max)) return std::nullopt;
    return h == minus ? -v : v;
}

// A position "45:39:57 N 000:47:20 W" (or without the blank before the
// longitude) from `pos`.
geo_point position(const xplane::LineReader& in, const std::string& s, size_t& pos) {
    const auto lat = angle(s, pos, 'N', 'S', 90);
    const auto lon = lat ? angle(s, pos, 'E', 'W', 180) : std::nullopt;
    // "4.5e1 W" would read as 4.5 E with text after it.
    const bool ends =
        pos >= s.size() || std::isblank(static_cast<unsigned char>(s[pos])) || s[pos] == ',';
    if (!lat || !lon || !ends) in.fail(w1252("position illisible : \"") + s.substr(0, 60) + "\"");
    return {*lat, *lon};
}

double number(const xplane::LineReader& in, std::string s, const char* what) {
    s = std::string(xplane::trimmed(s));
    return xplane::number(in, s, what);
}

// An arc's or circle's radius in nautical miles: above 0 and no more than
// 3,000 (the curve's points grow with it).
double radius(const xplane::LineReader& in, const std::string& s) {
    const double r = number(in, s, "rayon");
    if (!(r > 0 && r <= 3000)) in.fail(w1252("rayon hors de ]0, 3000] NM"));
    return r;
}

// A national file holds some hundred thousand points with its circles and
// arcs drawn out; this is far beyond any.
constexpr size_t kMaxOpenAirPoints = 2'000'000;

// One area being read.
struct Area {
    Outline outline;
    t_point ring;
    std::optional<geo_point> centre;
    bool clockwise = true;
};

void add_points(t_point& ring, const std::vector<geo_point>& points) {
    for (const geo_point& p : points)
        if (ring.empty() || ring.back().latitude != p.latitude ||
            ring.back().longitude != p.longitude)
            ring.push_back(p);
}

// The arc of a DA or DB record.
void arc(const xplane::LineReader& in, Area& a, const std::string& type, const std::string& rest) {
    if (!a.centre) in.fail(w1252("arc sans centre (V X=...)"));
    const geo_point c = *a.centre;
    if (type == "DA") {
        const size_t c1 = rest.find(','), c2 = c1 == std::string::npos ? c1 : rest.find(',', c1 + 1);
        if (c2 == std::string::npos) in.fail(w1252("DA : rayon, angle de début, angle de fin"));
        const double r = radius(in, rest.substr(0, c1));
        const double from = number(in, rest.substr(c1 + 1, c2 - c1 - 1), "angle");
        const double to = number(in, rest.substr(c2 + 1), "angle");
        add_points(a.ring, arc_points(c, r, r, from, to, a.clockwise, kOutlineToleranceNm));
        return;
    }
    size_t pos = 0;
    const geo_point p = position(in, rest, pos);
    while (pos < rest.size() && (std::isblank(static_cast<unsigned char>(rest[pos])) || rest[pos] == ','))
        ++pos;
    const geo_point q = position(in, rest, pos);
    const auto r1 = great_circle_nm(c.latitude, c.longitude, p.latitude, p.longitude);
    const auto r2 = great_circle_nm(c.latitude, c.longitude, q.latitude, q.longitude);
    std::vector<geo_point> points = arc_points(
        c, static_cast<double>(r1), static_cast<double>(r2),
        static_cast<double>(initial_bearing(c.latitude, c.longitude, p.latitude, p.longitude)),
        static_cast<double>(initial_bearing(c.latitude, c.longitude, q.latitude, q.longitude)),
        a.clockwise, kOutlineToleranceNm);
    points.front() = p;  // the ends as the file gives them
    points.back() = q;
    add_points(a.ring, points);
}

// The area read so far into the list, when it has an outline.
// A ring of points closes where it ends on its first point; one that ends
// elsewhere is kept (readers draw it closed) and noted open.
void finish(Area& a, std::vector<Outline>& outlines, size_t& passed_over) {
    const bool closed = a.ring.size() > 1 && a.ring.front().latitude == a.ring.back().latitude &&
                        a.ring.front().longitude == a.ring.back().longitude;
    if (closed) a.ring.pop_back();
    if (a.ring.size() >= 3) {
        if (!closed) a.outline.open_rings.push_back(a.outline.rings.size());
        a.outline.rings.push_back(std::move(a.ring));
    }
    if (!a.outline.rings.empty()) {
        if (a.outline.name.empty()) a.outline.name = a.outline.kind;
        const double floor = limit_feet(a.outline.lower);
        a.outline.layer = floor >= 19500 ? OutlineLayer::high : OutlineLayer::low;
        outlines.push_back(std::move(a.outline));
    } else {
        ++passed_over;
    }
    a = Area{};
}

// One record of the area's outline, limits or points.
void take(const xplane::LineReader& in, Area& a, const std::string& type, const std::string& rest) {
    Outline& o = a.outline;
    if (type == "AN") o.name = xplane::field(in, rest);
    else if (type == "AL") o.lower = xplane::field(in, rest);
    else if (type == "AH") o.upper = xplane::field(in, rest);
    else if (type == "AY") o.kind = xplane::field(in, rest);
    else if (type == "DP") {
        size_t pos = 0;
        add_points(a.ring, {position(in, rest, pos)});
    } else if (type == "DA" || type == "DB") {
        arc(in, a, type, rest);
    } else if (type == "DC") {
        if (!a.centre) in.fail(w1252("cercle sans centre (V X=...)"));
        const double r = radius(in, rest);
        o.circles.push_back({o.rings.size(), *a.centre, r});
        o.rings.push_back(circle_points(*a.centre, r, kOutlineToleranceNm));
    } else if (type == "V") {
        const std::string var = upper_ascii(std::string(xplane::trimmed(rest.substr(0, rest.find('=')))));
        const std::string value =
            rest.find('=') == std::string::npos ? "" : std::string(xplane::trimmed(rest.substr(rest.find('=') + 1)));
        if (var == "X") {
            size_t pos = 0;
            a.centre = position(in, value, pos);
        } else if (var == "D") {
            if (value != "+" && value != "-") in.fail(w1252("V D= attend + ou -"));
            a.clockwise = value == "+";
        }
    }
}

}  // namespace

bool openair_start(std::string_view text) {
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const auto [type, rest] = record(std::string(text.substr(at, end - at)));
        if (!type.empty()) return type == "AC";
        at = end + 1;
    }
    return false;
}

void read_openair(const std::string& path, std::vector<Outline>& outlines, size_t& passed_over) {
    xplane::LineReader in(path);
    std::string line;
    Area area;
    bool open = false;
    size_t points = 0;
    while (in.next(line)) {
        const auto [type, rest] = record(utf8_to_cp1252(line));
        if (type.empty()) continue;
        if (!known_record(type)) in.fail(w1252("enregistrement OpenAir inconnu : \"") + type.substr(0, 20) + "\"");
        if (type == "AC") {
            if (open) finish(area, outlines, passed_over);
            open = true;
            area.outline.kind = xplane::field(in, rest);
            if (const std::string& k = area.outline.kind; k.size() == 1 && k[0] >= 'A' && k[0] <= 'G')
                area.outline.airspace_class = k;  // "AY" may still give its type
            continue;
        }
        if (!open) in.fail(w1252("enregistrement avant le premier AC"));
        if (passed_record(type)) continue;
        const size_t ring_before = area.ring.size(), rings_before = area.outline.rings.size();
        take(in, area, type, rest);
        // Arcs and circles make points of their own: the file's are bounded.
        points += area.ring.size() - ring_before;
        if (area.outline.rings.size() > rings_before) points += area.outline.rings.back().size();
        if (points > kMaxOpenAirPoints)
            in.fail(w1252("plus de ") + std::to_string(kMaxOpenAirPoints) +
                    w1252(" points de contour dans le fichier (cercles et arcs compris)"));
    }
    if (open) finish(area, outlines, passed_over);
}


}  // namespace karvel::outlines
