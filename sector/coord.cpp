#include "sector/coord.h"

#include <cmath>
#include <cstdio>

namespace karvel {
namespace {

// A whole number right-justified in `width` digits with leading zeros; a
// wider one is written whole.
std::string digits(long double whole, int width) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%0*.0Lf", width, whole);
    return buf;
}

std::string one(double value, char positive, char negative) {
    using ld = long double;
    const ld a = std::fabs(static_cast<ld>(value));
    const ld deg = std::trunc(a);
    const ld m = (a - deg) * 60;
    const ld min = std::trunc(m);
    const ld s = (m - min) * 60;
    const ld sec = std::trunc(s);
    const ld t = (s - sec) * 1000;
    const ld thousandths = std::trunc(t);
    std::string out(1, value > 0 ? positive : negative);
    out += digits(deg, 3);
    out += '.';
    out += digits(min, 2);
    out += '.';
    out += digits(sec, 2);
    out += '.';
    out += digits(thousandths, 3);
    return out;
}

}  // namespace

CoordText format_coord(geo_point p) {
    return {one(p.latitude, 'N', 'S'), one(p.longitude, 'E', 'W')};
}

}  // namespace karvel
