#include "core/outline_shape.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/outline.h"

namespace karvel {

namespace {

std::string_view trim_blanks(std::string_view t) {
    const size_t a = t.find_first_not_of(" \t");
    if (a == std::string_view::npos) return {};
    return t.substr(a, t.find_last_not_of(" \t") - a + 1);
}

// The longitude of `lon` taken within half a turn of `ref`.
long double near_lon(long double lon, long double ref) {
    while (lon - ref > 180) lon -= 360;
    while (lon - ref < -180) lon += 360;
    return lon;
}

// The longitudes where the ring's edges cross the latitude `lat`, each
// within half a turn of `ref`.
void crossings(const t_point& ring, double lat, long double ref, std::vector<long double>& out) {
    const UnwrappedRing u = unwrap_ring(ring, ref);
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const long double la = ring[i].latitude, lb = ring[(i + 1) % n].latitude;
        const long double oa = u.lon[i], ob = i + 1 < n ? u.lon[i + 1] : u.closing;
        if ((la > lat) == (lb > lat)) continue;
        out.push_back(near_lon(oa + (ob - oa) * (lat - la) / (lb - la), ref));
    }
}

struct Plane {
    long double x, y;
};

// Twice the signed area of a, b, c: its sign is the side of ab that c is on.
long double turn(const Plane& a, const Plane& b, const Plane& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// The edges ab and cd cross at a point inside both.
bool cross(const Plane& a, const Plane& b, const Plane& c, const Plane& d) {
    const long double t1 = turn(a, b, c), t2 = turn(a, b, d);
    const long double t3 = turn(c, d, a), t4 = turn(c, d, b);
    return ((t1 > 0 && t2 < 0) || (t1 < 0 && t2 > 0)) && ((t3 > 0 && t4 < 0) || (t3 < 0 && t4 > 0));
}

}  // namespace

bool ring_crosses_itself(const t_point& ring) {
    const size_t n = ring.size();
    if (n < 4) return false;
    const UnwrappedRing u = unwrap_ring(ring, ring[0].longitude);
    if (u.round_pole) return false;
    std::vector<Plane> p(n + 1);
    for (size_t i = 0; i < n; ++i) p[i] = {u.lon[i], ring[i].latitude};
    p[n] = {u.closing, ring[0].latitude};
    // Edges by their western end; each is tried against those still open
    // east of it, so that edges far apart are never compared.
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    const auto west = [&](size_t e) { return std::min(p[e].x, p[e + 1].x); };
    const auto east = [&](size_t e) { return std::max(p[e].x, p[e + 1].x); };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return west(a) < west(b); });
    std::vector<size_t> open;
    for (const size_t e : order) {
        const long double x = west(e);
        open.erase(std::remove_if(open.begin(), open.end(), [&](size_t o) { return east(o) < x; }),
                   open.end());
        for (const size_t o : open) {
            const size_t gap = e > o ? e - o : o - e;
            if (gap == 1 || gap == n - 1) continue;  // neighbours share a point
            if (cross(p[e], p[e + 1], p[o], p[o + 1])) return true;
        }
        open.push_back(e);
    }
    return false;
}

double limit_feet(const std::string& text) {
    const std::string t = upper_ascii(std::string(trim_blanks(text)));
    if (t.empty()) return -1;
    if (t.rfind("SFC", 0) == 0 || t.rfind("GND", 0) == 0) return 0;
    if (t.rfind("UNL", 0) == 0) return std::numeric_limits<double>::infinity();
    const bool fl = t.rfind("FL", 0) == 0;
    const char* from = t.c_str() + (fl ? 2 : 0);
    while (*from == ' ') ++from;
    double v = 0;  // "." whatever the locale
    const auto [stop, error] = std::from_chars(from, t.c_str() + t.size(), v);
    if (error != std::errc() || !std::isfinite(v)) return -1;
    const char* end = stop;
    if (fl) return v * 100;
    while (*end == ' ') ++end;
    if (*end == 'M' && end[1] != 'S') return v / 0.3048;  // metres, not "MSL"
    return v;
}

char class_letter(const Outline& o) {
    const std::string& c = o.airspace_class;
    return c.size() == 1 && c[0] >= 'A' && c[0] <= 'G' ? c[0] : 0;
}

bool outline_holds(const Outline& o, geo_point p) {
    bool inside = false;
    for (const t_point& ring : o.rings) {
        if (ring.size() < 3) continue;
        std::vector<long double> xs;
        crossings(ring, p.latitude, p.longitude, xs);
        size_t east = 0;
        for (long double x : xs) east += x > p.longitude;
        if (east % 2) inside = !inside;
    }
    return inside;
}

double outline_area_nm2(const Outline& o) {
    long double total = 0;
    for (size_t r = 0; r < o.rings.size(); ++r) {
        const t_point& ring = o.rings[r];
        if (ring.size() < 3) continue;
        const UnwrappedRing u = unwrap_ring(ring, ring[0].longitude);
        long double twice = 0;
        for (size_t i = 0; i < ring.size(); ++i) {
            const long double x1 = u.lon[i] * std::cos(radians(ring[i].latitude));
            const size_t j = (i + 1) % ring.size();
            const long double x2 = (j ? u.lon[j] : u.closing) * std::cos(radians(ring[j].latitude));
            twice += x1 * ring[j].latitude - x2 * ring[i].latitude;
        }
        const long double a = std::fabs(twice) / 2 * 3600;  // a degree is 60 nm
        total += r == 0 ? a : -a;
    }
    return static_cast<double>(std::max(total, 0.0L));
}

std::optional<geo_point> point_inside(const Outline& o) {
    const t_point* first = nullptr;
    for (const t_point& ring : o.rings)
        if (!ring.empty()) {
            first = &ring;
            break;
        }
    if (!first) return std::nullopt;
    const GeoBox b = rings_box(o.rings);
    const double lat = (b.lat_min + b.lat_max) / 2;
    long double lon = (static_cast<long double>(b.lon_min) + b.lon_max) / 2;
    const auto wrapped = [](long double x) {
        return static_cast<double>(x > 180 ? x - 360 : x < -180 ? x + 360 : x);
    };
    if (outline_holds(o, {lat, wrapped(lon)})) return geo_point{lat, wrapped(lon)};
    std::vector<long double> xs;
    for (const t_point& ring : o.rings)
        if (ring.size() >= 3) crossings(ring, lat, lon, xs);
    std::sort(xs.begin(), xs.end());
    long double widest = -1;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const long double mid = (xs[i] + xs[i + 1]) / 2;
        if (xs[i + 1] - xs[i] > widest && outline_holds(o, {lat, wrapped(mid)})) {
            widest = xs[i + 1] - xs[i];
            lon = mid;
        }
    }
    if (widest >= 0) return geo_point{lat, wrapped(lon)};
    return first->front();
}

}  // namespace karvel
