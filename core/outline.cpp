#include "core/outline.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <utility>

#include "core/geometry.h"

namespace karvel {

namespace {

struct Span {
    double lat_min, lat_max, lon_min, lon_max;
    bool round_pole = false;
};

// One ring's span, its longitudes followed along it from its first point.
Span ring_span(const t_point& ring) {
    const UnwrappedRing u = unwrap_ring(ring, ring[0].longitude);
    Span s{ring[0].latitude, ring[0].latitude, ring[0].longitude, ring[0].longitude};
    for (size_t i = 0; i < ring.size(); ++i) {
        s.lat_min = std::min(s.lat_min, ring[i].latitude);
        s.lat_max = std::max(s.lat_max, ring[i].latitude);
        s.lon_min = std::min(s.lon_min, static_cast<double>(u.lon[i]));
        s.lon_max = std::max(s.lon_max, static_cast<double>(u.lon[i]));
    }
    s.round_pole = u.round_pole;
    if (u.round_pole) (u.pole > 0 ? s.lat_max : s.lat_min) = u.pole;
    return s;
}

}  // namespace

UnwrappedRing unwrap_ring(const t_point& ring, long double ref) {
    UnwrappedRing u;
    long double lon = lon_near(ring[0].longitude, ref), lat_sum = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        if (i > 0) lon += lon_difference(ring[i - 1].longitude, ring[i].longitude);
        u.lon.push_back(lon);
        lat_sum += ring[i].latitude;
    }
    u.closing = lon + lon_difference(ring.back().longitude, ring[0].longitude);
    // Back at the first point a whole turn away: the ring goes round a pole.
    u.round_pole = std::fabs(u.closing - u.lon[0]) > 180;
    u.pole = lat_sum > 0 ? 90 : -90;
    return u;
}

GeoBox rings_box(const std::vector<t_point>& rings) {
    GeoBox box;
    bool any = false, full = false;
    double centre = 0;
    for (const t_point& ring : rings) {
        if (ring.empty()) continue;
        Span s = ring_span(ring);
        full = full || s.round_pole;
        if (!any) {
            box = {s.lat_min, s.lat_max, s.lon_min, s.lon_max};
            centre = (s.lon_min + s.lon_max) / 2;
            any = true;
            continue;
        }
        // The ring taken on the side of the first one.
        const double shift =
            static_cast<double>(lon_near((s.lon_min + s.lon_max) / 2, centre)) -
            (s.lon_min + s.lon_max) / 2;
        box.lat_min = std::min(box.lat_min, s.lat_min);
        box.lat_max = std::max(box.lat_max, s.lat_max);
        box.lon_min = std::min(box.lon_min, s.lon_min + shift);
        box.lon_max = std::max(box.lon_max, s.lon_max + shift);
    }
    if (full || box.lon_max - box.lon_min >= 360) {
        box.lon_min = -180;
        box.lon_max = 180;
    } else {
        const double west = normal_lon(box.lon_min);
        box.lon_max += west - box.lon_min;
        box.lon_min = west;
    }
    return box;
}

bool boxes_meet(const GeoBox& a, const GeoBox& b) {
    return !(a.lat_max < b.lat_min || a.lat_min > b.lat_max) &&
           lon_ranges_meet(a.lon_min, a.lon_max, b.lon_min, b.lon_max);
}

const char* outline_layer_text(OutlineLayer layer) {
    switch (layer) {
        case OutlineLayer::high:
            return "high";
        case OutlineLayer::low:
            return "low";
        case OutlineLayer::artcc:
            break;
    }
    return "artcc";
}

std::optional<OutlineLayer> outline_layer_from_text(std::string_view text) {
    for (const OutlineLayer l : {OutlineLayer::artcc, OutlineLayer::high, OutlineLayer::low})
        if (text == outline_layer_text(l)) return l;
    return std::nullopt;
}

namespace {

using Key = std::pair<double, double>;  // longitude, latitude
struct Edge {
    Key from, to;
};

bool on_meridian(const Key& k) {
    return k.first == 180;
}

// Twice the signed area on the plane of longitudes and latitudes: positive
// when the ring turns anticlockwise.
double signed_area(const std::vector<Key>& ring) {
    double a = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const Key& p = ring[i];
        const Key& q = ring[(i + 1) % ring.size()];
        a += p.first * q.second - q.first * p.second;
    }
    return a;
}

// The ring's edges, anticlockwise, its edges on the meridian cut at every
// latitude of `cuts` (sorted, each once) between their ends. False when
// the pieces would pass `limit` edges: rings running up and down the
// meridian over each other are no cut a source made.
bool add_edges(std::vector<Key> ring, const std::vector<double>& cuts, std::vector<Edge>& edges,
               size_t limit) {
    if (signed_area(ring) < 0) std::reverse(ring.begin(), ring.end());
    for (size_t i = 0; i < ring.size(); ++i) {
        Key a = ring[i];
        const Key b = ring[(i + 1) % ring.size()];
        if (a == b) continue;
        if (on_meridian(a) && on_meridian(b)) {
            const double south = std::min(a.second, b.second), north = std::max(a.second, b.second);
            auto lo = std::upper_bound(cuts.begin(), cuts.end(), south);
            auto hi = std::lower_bound(lo, cuts.end(), north);
            if (static_cast<size_t>(hi - lo) > limit - std::min(limit, edges.size())) return false;
            const auto cut_at = [&](double c) {
                const Key m{180, c};
                edges.push_back({a, m});
                a = m;
            };
            if (a.second < b.second)
                std::for_each(lo, hi, cut_at);
            else
                std::for_each(std::make_reverse_iterator(hi), std::make_reverse_iterator(lo),
                              cut_at);
        }
        edges.push_back({a, b});
        if (edges.size() > limit) return false;
    }
    return true;
}

// The edges chained into rings; false when they do not close.
bool chain(std::vector<Edge> edges, std::vector<t_point>& rings) {
    std::multimap<Key, size_t> from;
    for (size_t i = 0; i < edges.size(); ++i) from.emplace(edges[i].from, i);
    std::vector<bool> used(edges.size(), false);
    for (size_t start = 0; start < edges.size(); ++start) {
        if (used[start]) continue;
        t_point ring;
        size_t at = start;
        for (;;) {
            used[at] = true;
            const Key& p = edges[at].from;
            ring.push_back({p.second, p.first > 180 ? p.first - 360 : p.first});
            if (edges[at].to == edges[start].from) break;
            auto [lo, hi] = from.equal_range(edges[at].to);
            auto next = std::find_if(lo, hi, [&](const auto& e) { return !used[e.second]; });
            if (next == hi) return false;
            at = next->second;
        }
        if (ring.size() >= 3) rings.push_back(std::move(ring));
    }
    return true;
}

}  // namespace

std::vector<t_point> join_at_antimeridian(std::vector<t_point> rings) {
    // The parts that touch the meridian, west ones moved a turn east.
    std::vector<std::vector<Key>> parts;
    std::vector<t_point> kept;
    std::vector<double> cuts;
    for (const t_point& ring : rings) {
        bool east = false, west = false, far_west = false, far_east = false;
        for (const geo_point& p : ring) {
            east = east || p.longitude == 180;
            west = west || p.longitude == -180;
            far_west = far_west || p.longitude < 0;
            far_east = far_east || p.longitude > 0;
        }
        const bool part = (east && !far_west) || (west && !far_east);
        if (!part || ring.size() < 3) {
            kept.push_back(ring);
            continue;
        }
        std::vector<Key> keys;
        for (const geo_point& p : ring) {
            const double lon = west ? p.longitude + 360 : p.longitude;
            keys.push_back({lon, p.latitude});
            if (lon == 180) cuts.push_back(p.latitude);
        }
        if (keys.front() == keys.back()) keys.pop_back();
        parts.push_back(std::move(keys));
    }
    if (parts.size() < 2) return rings;
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    size_t points = 0;
    for (const auto& p : parts) points += p.size();
    // A cut piece's edges on the meridian are split at the other piece's
    // points there: twice the points in all for pieces cut once.
    const size_t limit = 4 * points + 16;
    std::vector<Edge> edges;
    for (const auto& p : parts)
        if (!add_edges(p, cuts, edges, limit)) return rings;
    // An edge on the meridian met by the same edge the other way round is
    // the cut: both go.
    std::vector<Edge> left;
    std::vector<bool> gone(edges.size(), false);
    std::multimap<std::pair<Key, Key>, size_t> seam;
    for (size_t i = 0; i < edges.size(); ++i)
        if (on_meridian(edges[i].from) && on_meridian(edges[i].to))
            seam.emplace(std::make_pair(edges[i].from, edges[i].to), i);
    for (size_t i = 0; i < edges.size(); ++i) {
        if (gone[i] || !on_meridian(edges[i].from) || !on_meridian(edges[i].to)) continue;
        auto [lo, hi] = seam.equal_range({edges[i].to, edges[i].from});
        for (auto it = lo; it != hi; ++it)
            if (!gone[it->second] && it->second != i) {
                gone[i] = gone[it->second] = true;
                break;
            }
    }
    for (size_t i = 0; i < edges.size(); ++i)
        if (!gone[i]) left.push_back(edges[i]);
    std::vector<t_point> joined;
    if (!chain(left, joined)) return rings;
    for (t_point& r : joined) kept.push_back(std::move(r));
    return kept;
}

std::vector<geo_point> arc_points(geo_point centre, double radius_from_nm, double radius_to_nm,
                                  double from, double to, bool clockwise, double tolerance_nm) {
    long double sweep = clockwise ? to - from : from - to;
    sweep = std::fmod(std::fmod(sweep, 360.0L) + 360, 360);
    const long double r = std::max({radius_from_nm, radius_to_nm, tolerance_nm});
    // A chord of angle a strays r (1 - cos(a / 2)) from its arc.
    const long double step = degrees(2 * std::acos(1 - static_cast<long double>(tolerance_nm) / r));
    const auto n = static_cast<long>(std::max(1.0L, std::ceil(sweep / step)));
    std::vector<geo_point> points;
    points.reserve(static_cast<size_t>(n) + 1);
    for (long i = 0; i <= n; ++i) {
        const long double f = static_cast<long double>(i) / n;
        const long double bearing = from + (clockwise ? 1 : -1) * sweep * f;
        const long double radius = radius_from_nm + (radius_to_nm - radius_from_nm) * f;
        long double lat = 0, lon = 0;
        destination_point(centre.latitude, centre.longitude, bearing, radius, lat, lon);
        points.push_back({static_cast<double>(lat), static_cast<double>(lon)});
    }
    return points;
}

t_point circle_points(geo_point centre, double radius_nm, double tolerance_nm) {
    // Four quarters, each as an arc, their shared ends once.
    t_point ring;
    for (int q = 0; q < 4; ++q) {
        std::vector<geo_point> quarter =
            arc_points(centre, radius_nm, radius_nm, 90.0 * q, 90.0 * (q + 1), true, tolerance_nm);
        ring.insert(ring.end(), quarter.begin(), quarter.end() - 1);
    }
    return ring;
}

}  // namespace karvel
