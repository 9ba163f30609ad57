#include "map/extend_point.h"

#include <cmath>

#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel {

using ld = long double;

namespace {

// The arccos and arcsin of the toolkit's library fail outside [-1, 1] and on
// a value that is not a number.
bool in_domain(ld v) {
    return v >= -1 && v <= 1;
}
}  // namespace

PixelF extend_point(int d, PixelF base, PixelF reference, float a, ArithmeticErrors& errors) {
    const ld dx = static_cast<ld>(base.x) - reference.x;
    const ld dy = static_cast<ld>(base.y) - reference.y;
    const auto length = static_cast<float>(std::sqrt(dx * dx + dy * dy));
    ld t = 0;
    if (length != 0) {
        if (dx >= dy) {
            ld c = dx / length;
            if (c > 1) c = 1;
            if (in_domain(c)) {
                t = std::acos(c);
                if (dy < 0) t = -t;
            } else {
                errors.record("module", format_fixed(length, 8, 16));
                errors.record("x2-x1", format_fixed(dx, 8, 16));
            }
        } else {
            ld s = dy / length;
            if (s > 1) s = 1;
            if (in_domain(s)) {
                t = std::asin(s);
                if (dx < 0) t = kPi - t;
            } else {
                errors.record("module", format_fixed(length, 8, 16));
                errors.record("y2-y1", format_fixed(dy, 8, 16));
            }
        }
    }
    return {static_cast<float>(std::cos(t - a) * d + base.x),
            static_cast<float>(std::sin(t - a) * d + base.y)};
}

}  // namespace karvel
