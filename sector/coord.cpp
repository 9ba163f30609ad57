#include "sector/coord.h"

#include <cmath>
#include <cstdio>

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

}  // namespace karvel
