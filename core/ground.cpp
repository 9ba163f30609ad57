#include "core/ground.h"

#include <algorithm>
#include <cmath>

#include "core/geometry.h"

namespace karvel {

namespace {

// Metres a degree of latitude, on the program's Earth.
constexpr long double kMetresPerDegree = kEarthRadiusNm * 1852 * kPi / 180;

struct P {
    long double lat, lon;
};

P operator+(P a, P b) {
    return {a.lat + b.lat, a.lon + b.lon};
}
P operator-(P a, P b) {
    return {a.lat - b.lat, a.lon - b.lon};
}
P operator*(long double k, P a) {
    return {k * a.lat, k * a.lon};
}

// The length in metres of a small difference of positions at latitude `lat`.
long double metres(P d, long double lat) {
    const long double east = d.lon * std::cos(radians(lat));
    return std::hypot(d.lat, east) * kMetresPerDegree;
}

// The curve from p0 to p3 shaped by c1 and c2 (a cubic), or by c1 alone (a
// quadratic, c2 unused), its points after p0 up to p3 included. The chord
// of a parameter step h strays at most max|B''| h^2 / 8 from the curve.
void curve(t_point& out, P p0, P c1, std::optional<P> c2, P p3, double tolerance_m) {
    long double steps = 1;
    if (c2) {
        const long double m = std::max(metres(p0 - 2 * c1 + *c2, p0.lat),
                                       metres(c1 - 2 * *c2 + p3, p0.lat));
        steps = std::ceil(std::sqrt(6 * m / (8 * tolerance_m)));
    } else {
        const long double m = metres(p0 - 2 * c1 + p3, p0.lat);
        steps = std::ceil(std::sqrt(2 * m / (8 * tolerance_m)));
    }
    const int n = static_cast<int>(std::clamp<long double>(steps, 1, kMaxCurvePoints));
    for (int i = 1; i <= n; ++i) {
        const long double t = static_cast<long double>(i) / n, u = 1 - t;
        const P p = c2 ? u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * *c2 + t * t * t * p3
                       : u * u * p0 + 2 * u * t * c1 + t * t * p3;
        out.push_back({static_cast<double>(p.lat), normal_lon(static_cast<double>(p.lon))});
    }
}

}  // namespace

t_point chain_points(const std::vector<GroundNode>& nodes, bool closed, double tolerance_m) {
    t_point out;
    if (nodes.empty()) return out;
    const long double ref = nodes.front().at.longitude;
    const auto near = [&](geo_point g) { return P{g.latitude, lon_near(g.longitude, ref)}; };
    out.push_back(nodes.front().at);
    const size_t n = nodes.size();
    const size_t edges = closed ? n : n - 1;
    for (size_t i = 0; i < edges; ++i) {
        const GroundNode& a = nodes[i];
        const GroundNode& b = nodes[(i + 1) % n];
        const P from = near(a.at), to = near(b.at);
        std::optional<P> out_control, in_control;
        if (a.control) out_control = near(*a.control);
        if (b.control) in_control = 2 * to - near(*b.control);  // the mirror through b
        if (!out_control && !in_control) {
            out.push_back(b.at);
        } else if (out_control && in_control) {
            curve(out, from, *out_control, in_control, to, tolerance_m);
        } else {
            curve(out, from, out_control ? *out_control : *in_control, std::nullopt, to,
                  tolerance_m);
        }
        out.back() = b.at;  // the node itself, as the source has it
    }
    if (closed && out.size() > 1) out.pop_back();  // the first node again
    return out;
}

t_point runway_outline(geo_point end1, geo_point end2, double width_m) {
    const long double half_nm = width_m / 2 / 1852.0L;
    const long double out = initial_bearing(end1.latitude, end1.longitude, end2.latitude,
                                            end2.longitude);
    const long double back = initial_bearing(end2.latitude, end2.longitude, end1.latitude,
                                             end1.longitude);
    const auto side = [&](geo_point at, long double bearing) {
        long double lat = 0, lon = 0;
        destination_point(at.latitude, at.longitude, bearing, half_nm, lat, lon);
        return geo_point{static_cast<double>(lat), static_cast<double>(lon)};
    };
    // Left of end 1 looking along the runway, then left of end 2 looking back.
    return {side(end1, out - 90), side(end2, back + 90), side(end2, back - 90),
            side(end1, out + 90)};
}

t_point helipad_outline(geo_point centre, double heading, double length_m, double width_m) {
    const long double half_length = length_m / 2 / 1852.0L, half_width = width_m / 2 / 1852.0L;
    const auto from = [](geo_point at, long double bearing, long double nm) {
        long double lat = 0, lon = 0;
        destination_point(at.latitude, at.longitude, bearing, nm, lat, lon);
        return geo_point{static_cast<double>(lat), static_cast<double>(lon)};
    };
    const geo_point front = from(centre, heading, half_length);
    const geo_point rear = from(centre, heading + 180, half_length);
    return {from(front, heading - 90, half_width), from(front, heading + 90, half_width),
            from(rear, heading + 90, half_width), from(rear, heading - 90, half_width)};
}

const char* ground_kind_text(GroundKind kind) {
    switch (kind) {
        case GroundKind::pavement:
            return "pavement";
        case GroundKind::runway:
            return "runway";
        case GroundKind::line:
            return "line";
    }
    return "pavement";
}

std::optional<GroundKind> ground_kind_from_text(std::string_view text) {
    for (GroundKind k : {GroundKind::pavement, GroundKind::runway, GroundKind::line})
        if (text == ground_kind_text(k)) return k;
    return std::nullopt;
}

GroundPaint ground_paint(const GroundShape& shape) {
    const int c = shape.code;
    switch (shape.kind) {
        case GroundKind::runway:
            return GroundPaint::runway;
        case GroundKind::pavement:
            // Grass, dirt, gravel, dry lakebed, snow; water and transparent
            // surfaces (markings laid over other pavement) are no area.
            if (c == 3 || c == 4 || c == 5 || c == 12 || c == 14) return GroundPaint::unpaved;
            if (c == 13 || c == 15) return GroundPaint::none;
            return GroundPaint::paved;
        case GroundKind::line:
            return line_paint(c);
    }
    return GroundPaint::none;
}

GroundPaint line_paint(int c) {
    // Taxi centrelines (painted, with a hold, lit), with or without their
    // black border (50 more).
    if (c == 1 || c == 7 || c == 51 || c == 57 || c == 101 || c == 105 || c == 107 || c == 108)
        return GroundPaint::centreline;
    // Runway, ILS and other holding positions, painted or lit.
    if (c == 4 || c == 5 || c == 6 || c == 54 || c == 55 || c == 56 || c == 103 || c == 104)
        return GroundPaint::hold;
    return GroundPaint::none;
}

const GroundPaintInfo& ground_paint_info(GroundPaint paint) {
    // The groups' names in Windows-1252 as they stand.
    static const std::array<GroundPaintInfo, kGroundPaintCount + 1> info{{
        {"sol_piste", "piste", "pistes", 0x00808080},
        {"sol_dur", "dur", "chauss\xE9" "es", 0x00505050},
        {"sol_herbe", "herbe", "surfaces non rev\xEAtues", 0x00285028},
        {"sol_axe", "axe", "axes de circulation", 0x0000C8E6},
        {"sol_arret", "arret", "points d'arr\xEAt", 0x002828DC},
        {"sol_poste", "poste", "postes de stationnement", 0x00C8C8C8},
        {"", "", "", 0},
    }};
    return info[static_cast<size_t>(paint)];
}

}  // namespace karvel
