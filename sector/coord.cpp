#include "sector/coord.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/geometry.h"

namespace karvel {
namespace {

// A whole number right-justified in `width` digits with leading zeros; a
// wider one is written whole.
char* put_digits(char* p, unsigned long long v, int width) {
    char buf[24];
    int n = 0;
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    for (int i = n; i < width; ++i) *p++ = '0';
    while (n) *p++ = buf[--n];
    return p;
}

void put_digits(std::string& out, long double whole, int width) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%0*.0Lf", width, whole);
    out += buf;
}

void append_one(std::string& out, double value, char positive, char negative) {
    using ld = long double;
    const ld a = std::fabs(static_cast<ld>(value));
    const char letter = value > 0 ? positive : negative;
    if (a < 1e15L) {
        // Truncation as a conversion to an integer: the same steps, quicker
        // than trunc() on extended values.
        const auto deg = static_cast<unsigned long long>(a);
        const ld m = (a - deg) * 60;
        const auto min = static_cast<unsigned long long>(m);
        const ld s = (m - min) * 60;
        const auto sec = static_cast<unsigned long long>(s);
        const auto thousandths = static_cast<unsigned long long>((s - sec) * 1000);
        char buf[64];
        char* p = buf;
        *p++ = letter;
        p = put_digits(p, deg, 3);
        *p++ = '.';
        p = put_digits(p, min, 2);
        *p++ = '.';
        p = put_digits(p, sec, 2);
        *p++ = '.';
        p = put_digits(p, thousandths, 3);
        out.append(buf, p);
        return;
    }
    // Beyond any coordinate (and NaN): the same steps on the extended values.
    const ld deg = std::trunc(a);
    const ld m = (a - deg) * 60;
    const ld min = std::trunc(m);
    const ld s = (m - min) * 60;
    const ld sec = std::trunc(s);
    out += letter;
    put_digits(out, deg, 3);
    out += '.';
    put_digits(out, min, 2);
    out += '.';
    put_digits(out, sec, 2);
    out += '.';
    put_digits(out, std::trunc((s - sec) * 1000), 3);
}

}  // namespace

CoordText format_coord(geo_point p) {
    CoordText t;
    append_one(t.latitude, p.latitude, 'N', 'S');
    append_one(t.longitude, p.longitude, 'E', 'W');
    return t;
}

void append_position(std::string& out, double latitude, double longitude) {
    append_one(out, latitude, 'N', 'S');
    out += ' ';
    append_one(out, longitude, 'E', 'W');
}

namespace {

// A point on 180 E or W on the side of `beside`.
geo_point on_side_of(geo_point p, const geo_point& beside) {
    if (std::fabs(p.longitude) == 180 && beside.longitude != 0 && std::isfinite(beside.longitude))
        p.longitude = beside.longitude > 0 ? 180 : -180;
    return p;
}

}  // namespace

std::vector<std::vector<geo_point>> split_at_antimeridian(const std::vector<geo_point>& line) {
    std::vector<std::vector<geo_point>> parts(1);
    for (size_t i = 0; i < line.size(); ++i) {
        geo_point p = line[i];
        if (i == 0) {
            if (line.size() > 1) p = on_side_of(p, line[1]);
        } else {
            const geo_point& q = parts.back().back();
            p = on_side_of(p, q);
            const long double step = lon_difference(q.longitude, p.longitude);
            const long double unwrapped = q.longitude + step;  // p beside q
            if (unwrapped > 180 || unwrapped < -180) {
                const double edge = unwrapped > 180 ? 180 : -180;
                const long double t = (edge - q.longitude) / step;
                const double lat = static_cast<double>(
                    q.latitude + t * (p.latitude - static_cast<long double>(q.latitude)));
                parts.back().push_back({lat, edge});
                parts.push_back({{lat, -edge}});
            }
        }
        parts.back().push_back(p);
    }
    return parts;
}

}  // namespace karvel
