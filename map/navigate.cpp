#include "map/navigate.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel {

using ld = long double;

namespace {
// Two points of the globe are at most 360 degrees of longitude apart, at 60
// nm a degree: up to this many pixels a nautical mile every point of the
// globe projects within the pixel limit.
constexpr ld kMaxPxPerNm = kPixelLimit / (360.0L * 60.0L);
}  // namespace

bool zoom(const MapView& view, ViewScale& scale, int wheel_delta) {
    if (wheel_delta > 0) {
        if (trunc_int(static_cast<ld>(scale.range_nm) * scale.px_per_nm) >= 100000) return false;
        const ld next = static_cast<ld>(view.zoom_percent) * scale.px_per_nm / 100;
        if (!(next <= kMaxPxPerNm)) return false;
        scale.px_per_nm = static_cast<float>(next);
        return true;
    }
    if (!(view.client_height < trunc_int(static_cast<ld>(scale.range_nm) * scale.px_per_nm)))
        return false;
    scale.px_per_nm =
        static_cast<float>(static_cast<ld>(scale.px_per_nm) / view.zoom_percent * 100);
    return true;
}

void press(MapView& view, const SelectionFrame& frame, int x, int y, bool right_button,
           bool shift) {
    MouseState& m = view.mouse;
    m.press_x = x;
    m.press_y = y;
    m.measuring = shift;
    if (right_button) {
        const GeoPos p = viewport_of(view, frame).to_geo(x, y);
        m.drag_anchor_lat = static_cast<double>(p.lat);
        m.drag_anchor_lon = static_cast<double>(p.lon);
    }
}

void pan(const MapView& view, SelectionFrame& frame, int x, int y) {
    const ld px = frame.view.px_per_nm;
    const ld h = view.map_bitmap.height();
    const ld w = view.map_bitmap.width();
    const PlaneScale& plane = frame.plane;
    const ld lat = view.mouse.drag_anchor_lat + y / (px * plane.nm_per_deg_lat) -
                   h / (static_cast<ld>(plane.nm_per_deg_lat) * 2 * px);
    const ld lon = view.mouse.drag_anchor_lon - x / (px * plane.nm_per_deg_lon) +
                   w / (static_cast<ld>(plane.nm_per_deg_lon) * 2 * px);
    // A centre off the globe would reach the sector file's [INFO].
    if (std::isfinite(lat)) frame.centre_lat = static_cast<double>(std::clamp(lat, -90.0L, 90.0L));
    // Across the antimeridian the centre goes on round the globe.
    if (std::isfinite(lon)) frame.centre_lon = normal_lon(static_cast<double>(lon));
}

std::string position_text(const MapView& view, const SelectionFrame& frame, int x, int y) {
    const GeoPos p = viewport_of(view, frame).to_geo(x, y);
    return format_fixed(p.lat, 5, 8) + "  " + format_fixed(lon_near(p.lon, 0), 5, 8);
}

long double screen_bearing(long double dx, long double dy) {
    ld bearing;
    if (dy == 0) {
        bearing = dx > 0 ? 90 : (dx < 0 ? 270 : 0);
    } else {
        const ld t = std::atan(std::fabs(dx) / std::fabs(dy)) * 360 / (2 * kPi);
        if (dy > 0)
            bearing = dx >= 0 ? t : 360 - t;
        else
            bearing = dx >= 0 ? 180 - t : 180 + t;
    }
    if (bearing > 360) bearing -= 360;
    if (bearing < 0) bearing += 360;
    return bearing;
}

void measure_move(MapView& view, const SelectionFrame& frame, int x, int y) {
    MouseState& m = view.mouse;
    m.measure_x = x;
    m.measure_y = y;
    const Viewport v = viewport_of(view, frame);
    const GeoPos p1 = v.to_geo(m.press_x, m.press_y);
    const GeoPos p2 = v.to_geo(x, y);
    const auto d = static_cast<float>(great_circle_nm(p1.lat, p1.lon, p2.lat, p2.lon));
    m.measure_distance_text = format_fixed(d, 2, 4);
    // The bearing of the move on the screen, from the pixels themselves
    // (y grows downwards): straight up is 0, no move is 0.
    const ld dy = static_cast<ld>(m.press_y) - y;
    const ld dx = static_cast<ld>(x) - m.press_x;
    m.measure_bearing_text = std::to_string(nearest_int(screen_bearing(dx, dy)));
}

}  // namespace karvel
