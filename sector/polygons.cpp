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

// Most of the points of `inner` lie inside `outer`, judged on fifteen of
// them at most, evenly spread along it.
bool within(const Flat& inner, const Flat& outer) {
    constexpr size_t kSample = 15;
    const size_t count = std::min(inner.size(), kSample);
    size_t n = 0;
    for (size_t k = 0; k < count; ++k) n += inside(outer, inner[k * inner.size() / count]);
    return 2 * n > count;
}

struct Box {
    long double west, east, south, north;
    bool meets(const Box& b) const {
        return !(east < b.west || b.east < west || north < b.south || b.north < south);
    }
};

Box box_of(const Flat& ring) {
    Box b{ring[0].first, ring[0].first, ring[0].second, ring[0].second};
    for (const auto& p : ring) {
        b.west = std::min(b.west, p.first);
        b.east = std::max(b.east, p.first);
        b.south = std::min(b.south, p.second);
        b.north = std::max(b.north, p.second);
    }
    return b;
}

// For each ring, the smallest other ring it lies within, or -1. Rings are
// found through a grid of their boxes, so a ring is weighed against those
// near it only; one spreading over an eighth of the grid or more is weighed
// against every ring.
std::vector<long> parents(const std::vector<Flat>& flats, const std::vector<long double>& areas) {
    const size_t n = flats.size();
    std::vector<long> parent(n, -1);
    if (n < 2) return parent;
    std::vector<Box> boxes;
    for (const Flat& f : flats) boxes.push_back(box_of(f));
    Box all = boxes[0];
    for (const Box& b : boxes)
        all = {std::min(all.west, b.west), std::max(all.east, b.east), std::min(all.south, b.south),
               std::max(all.north, b.north)};
    const size_t side = std::clamp<size_t>(static_cast<size_t>(std::sqrt(n)), 1, 256);
    const auto cell = [&](long double v, long double lo, long double hi) {
        if (!(hi > lo)) return size_t{0};
        return std::min(side - 1, static_cast<size_t>((v - lo) / (hi - lo) * side));
    };
    struct Cells {
        size_t x0, x1, y0, y1;
    };
    const auto cells_of = [&](const Box& b) {
        return Cells{cell(b.west, all.west, all.east), cell(b.east, all.west, all.east),
                     cell(b.south, all.south, all.north), cell(b.north, all.south, all.north)};
    };
    const auto is_wide = [&](const Cells& c) {
        return (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1) * 8 >= side * side;
    };
    std::vector<std::vector<size_t>> grid(side * side);
    std::vector<size_t> wide;
    for (size_t i = 0; i < n; ++i) {
        const Cells c = cells_of(boxes[i]);
        if (is_wide(c)) {
            wide.push_back(i);
            continue;
        }
        for (size_t x = c.x0; x <= c.x1; ++x)
            for (size_t y = c.y0; y <= c.y1; ++y) grid[x * side + y].push_back(i);
    }
    std::vector<size_t> seen(n, n);
    const auto weigh = [&](size_t i, size_t j) {
        if (j == i || seen[j] == i || !boxes[i].meets(boxes[j])) return;
        seen[j] = i;
        if (within(flats[i], flats[j]) &&
            (parent[i] < 0 ||
             std::fabs(areas[j]) < std::fabs(areas[static_cast<size_t>(parent[i])])))
            parent[i] = static_cast<long>(j);
    };
    for (size_t i = 0; i < n; ++i) {
        for (const size_t j : wide) weigh(i, j);
        const Cells c = cells_of(boxes[i]);
        if (is_wide(c)) continue;
        for (size_t x = c.x0; x <= c.x1; ++x)
            for (size_t y = c.y0; y <= c.y1; ++y)
                for (const size_t j : grid[x * side + y]) weigh(i, j);
    }
    return parent;
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
    const size_t n = ring.size();
    if (n < 3) return;
    const auto on_one = [&](size_t a, size_t b, size_t c) {
        for (const long double x : {west, east})
            if (ring[a].first == x && ring[b].first == x && ring[c].first == x) return true;
        return false;
    };
    Flat kept;
    for (size_t i = 0; i < n; ++i)
        if (!on_one((i + n - 1) % n, i, (i + 1) % n)) kept.push_back(ring[i]);
    // A ring wholly on a meridian keeps two points, as nothing of it is left.
    if (kept.empty()) kept.assign(ring.begin(), ring.begin() + 2);
    ring = std::move(kept);
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
    std::vector<long double> areas;
    for (const Flat& f : flats) areas.push_back(signed_area(f));
    const std::vector<long> parent = parents(flats, areas);
    const auto hole = [&](size_t i) {
        return parent[i] >= 0 && parent[static_cast<size_t>(parent[i])] < 0;
    };
    std::vector<std::vector<size_t>> holes(flats.size());
    for (size_t h = 0; h < flats.size(); ++h)
        if (hole(h)) holes[static_cast<size_t>(parent[h])].push_back(h);
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
            for (const size_t h : holes[e])
                if (Ring r = piece(flats[h], west, 360.0L * k, false); !r.empty())
                    polygon.push_back(std::move(r));
            polygons.push_back(std::move(polygon));
        }
    }
    return polygons;
}

}  // namespace karvel
