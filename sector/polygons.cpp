#include "sector/polygons.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/geometry.h"
#include "core/outline.h"

namespace karvel {

namespace {

using Flat = std::vector<std::pair<long double, long double>>;  // longitude, latitude

// The ring on the plane of longitudes followed the short way from a first
// one within half a turn of `ref`; a ring round a pole closed along it.
Flat unwrap(const t_point& ring, long double ref) {
    const UnwrappedRing u = unwrap_ring(ring, ref);
    Flat flat;
    for (size_t i = 0; i < ring.size(); ++i) flat.push_back({u.lon[i], ring[i].latitude});
    if (u.round_pole) {
        flat.push_back({u.closing, u.pole});
        flat.push_back({flat[0].first, u.pole});
    }
    return flat;
}

// Twice the signed area: positive when the ring turns anticlockwise.
long double signed_area(const Flat& ring) {
    long double a = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const auto& p = ring[i];
        const auto& q = ring[(i + 1) % ring.size()];
        a += p.first * q.second - q.first * p.second;
    }
    return a;
}

bool inside(const Flat& ring, const std::pair<long double, long double>& p) {
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const auto& a = ring[i];
        const auto& b = ring[j];
        if ((a.second > p.second) != (b.second > p.second) &&
            p.first < (b.first - a.first) * (p.second - a.second) / (b.second - a.second) + a.first)
            in = !in;
    }
    return in;
}

// Most of the points of `inner` lie inside `outer`.
bool within(const Flat& inner, const Flat& outer) {
    size_t n = 0;
    for (const auto& p : inner) n += inside(outer, p);
    return 2 * n > inner.size();
}

// The part of the ring on one side of the meridian `x` (the side below it
// when `below`), the crossing points on it.
Flat clip(const Flat& ring, long double x, bool below) {
    Flat out;
    const auto in = [&](const auto& p) { return below ? p.first <= x : p.first >= x; };
    for (size_t i = 0; i < ring.size(); ++i) {
        const auto& a = ring[i];
        const auto& b = ring[(i + 1) % ring.size()];
        if (in(a)) out.push_back(a);
        if (in(a) != in(b) && a.first != x && b.first != x) {
            const long double t = (x - a.first) / (b.first - a.first);
            out.push_back({x, a.second + t * (b.second - a.second)});
        }
    }
    return out;
}

// Runs of three or more points along one of the meridians `west`, `east`
// kept by their ends: a cut leaves spikes of no width along it.
void drop_runs(Flat& ring, long double west, long double east) {
    const auto on = [&](const auto& p, long double x) { return p.first == x; };
    for (bool again = true; again && ring.size() >= 3;) {
        again = false;
        for (size_t i = 0; i < ring.size() && ring.size() >= 3; ++i) {
            const auto& a = ring[(i + ring.size() - 1) % ring.size()];
            const auto& b = ring[(i + 1) % ring.size()];
            for (const long double x : {west, east})
                if (on(a, x) && on(ring[i], x) && on(b, x)) {
                    ring.erase(ring.begin() + static_cast<long>(i));
                    again = true;
                    break;
                }
        }
    }
}

// The ring's piece between `west` and `west` + 360, moved back by `shift`
// degrees, turning anticlockwise or not, closed; empty where none is left.
Ring piece(const Flat& ring, long double west, long double shift, bool anticlockwise) {
    Flat p = clip(clip(ring, west, false), west + 360, true);
    drop_runs(p, west, west + 360);
    const long double area = p.size() < 3 ? 0 : signed_area(p);
    if (area == 0) return {};
    Ring out;
    for (const auto& q : p)
        out.push_back({static_cast<double>(q.second), static_cast<double>(q.first - shift)});
    if ((area > 0) != anticlockwise) std::reverse(out.begin(), out.end());
    out.push_back(out.front());
    return out;
}

}  // namespace

std::vector<Polygon> outline_polygons(const std::vector<t_point>& rings) {
    std::vector<Flat> flats;
    for (const t_point& r : rings)
        if (r.size() >= 3) flats.push_back(unwrap(r, flats.empty() ? r[0].longitude : flats[0][0].first));
    // A ring inside another is its hole; one inside a hole is an exterior again.
    std::vector<long> parent(flats.size(), -1);
    for (size_t i = 0; i < flats.size(); ++i)
        for (size_t j = 0; j < flats.size(); ++j)
            if (i != j && within(flats[i], flats[j]) &&
                (parent[i] < 0 || std::fabs(signed_area(flats[j])) <
                                      std::fabs(signed_area(flats[static_cast<size_t>(parent[i])]))))
                parent[i] = static_cast<long>(j);
    const auto hole = [&](size_t i) {
        return parent[i] >= 0 && parent[static_cast<size_t>(parent[i])] < 0;
    };
    long double lo = HUGE_VALL, hi = -HUGE_VALL;
    for (const Flat& f : flats)
        for (const auto& p : f) lo = std::min(lo, p.first), hi = std::max(hi, p.first);
    // An outline spans two sides of the meridian at most (three for one
    // round a pole); rings that wind round the globe more are not drawn
    // beyond them.
    std::vector<Polygon> polygons;
    const long first = flats.empty() ? 0 : std::lround(std::floor((lo + 180) / 360));
    for (long k = first; !flats.empty() && -180 + 360.0L * k < hi && k < first + 3; ++k) {
        const long double west = -180 + 360.0L * k;
        for (size_t e = 0; e < flats.size(); ++e) {
            if (hole(e)) continue;
            Ring outer = piece(flats[e], west, 360.0L * k, true);
            if (outer.empty()) continue;
            Polygon polygon{std::move(outer)};
            for (size_t h = 0; h < flats.size(); ++h)
                if (hole(h) && parent[h] == static_cast<long>(e))
                    if (Ring r = piece(flats[h], west, 360.0L * k, false); !r.empty())
                        polygon.push_back(std::move(r));
            polygons.push_back(std::move(polygon));
        }
    }
    return polygons;
}

}  // namespace karvel
