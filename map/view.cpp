#include "map/view.h"

#include <cmath>
#include <limits>

#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel {

using ld = long double;

int nearest_int(long double v) {
    if (std::isnan(v)) return 0;
    if (v <= -kPixelLimit) return -kPixelLimit;
    if (v >= kPixelLimit) return kPixelLimit;
    // rint rounds as nearbyint does in the default mode (halves to even),
    // as one instruction instead of a library call.
    return static_cast<int>(std::rint(v));
}

long long trunc_int(long double v) {
    if (std::isnan(v)) return 0;
    constexpr ld lo = -9223372036854775808.0L;
    constexpr ld hi = 9223372036854775807.0L;
    if (v <= lo) return std::numeric_limits<long long>::min();
    if (v >= hi) return std::numeric_limits<long long>::max();
    return static_cast<long long>(v);
}

long double Viewport::near_lon(double lon) const {
    // The view's own longitudes: the map is drawn whole across the antimeridian.
    return lon_near(lon, (static_cast<ld>(view_left) + view_right) / 2);
}

Pixel Viewport::to_pixel(double lat, double lon) const {
    return {nearest_int((near_lon(lon) - view_left) * static_cast<ld>(px_per_nm) *
                        plane.nm_per_deg_lon),
            nearest_int((static_cast<ld>(view_top) - lat) * static_cast<ld>(px_per_nm) *
                        plane.nm_per_deg_lat)};
}

PixelF Viewport::to_pixel_f(double lat, double lon) const {
    return {static_cast<float>((near_lon(lon) - view_left) * static_cast<ld>(px_per_nm) *
                               plane.nm_per_deg_lon),
            static_cast<float>((static_cast<ld>(view_top) - lat) * static_cast<ld>(px_per_nm) *
                               plane.nm_per_deg_lat)};
}

GeoPos Viewport::to_geo(long double x, long double y) const {
    return {static_cast<ld>(view_top) - y / px_per_nm / plane.nm_per_deg_lat,
            static_cast<ld>(view_left) + x / px_per_nm / plane.nm_per_deg_lon};
}

bool Viewport::contains(double lat, double lon) const {
    const ld l = near_lon(lon);
    return view_bottom <= lat && lat <= view_top && view_left <= l && l <= view_right;
}

bool Viewport::segment_visible(double lat1, double lon1, double lat2, double lon2) const {
    const ld a = near_lon(lon1), b = near_lon(lon2);
    return !(std::min(lat1, lat2) > view_top || std::max(lat1, lat2) < view_bottom ||
             std::min(a, b) > view_right || std::max(a, b) < view_left);
}

Viewport viewport_of(const MapView& view, const SelectionFrame& frame) {
    return {view.view_top,           view.view_bottom,        view.view_left,
            view.view_right,         frame.view.px_per_nm,    frame.plane,
            view.map_bitmap.width(), view.map_bitmap.height()};
}

Viewport compute_view_edges(MapView& view, const SelectionFrame& frame) {
    const ld h = view.map_bitmap.height();
    const ld w = view.map_bitmap.width();
    const ld px = frame.view.px_per_nm;
    const ld half_lat = h / (static_cast<ld>(frame.plane.nm_per_deg_lat) * 2 * px);
    const ld half_lon = w / (static_cast<ld>(frame.plane.nm_per_deg_lon) * 2 * px);
    view.view_top = static_cast<float>(frame.centre_lat + half_lat);
    view.view_bottom = static_cast<float>(frame.centre_lat - half_lat);
    view.view_right = static_cast<float>(frame.centre_lon + half_lon);
    view.view_left = static_cast<float>(frame.centre_lon - half_lon);
    return viewport_of(view, frame);
}

namespace {
// Text sizes in points give the same pixels on every screen.
constexpr int kDotsPerMeter96Dpi = 3780;

QImage blank_bitmap(int width, int height, double pixel_ratio = 1) {
    QImage image(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_RGB32);
    const int dots = pixel_ratio > 0 && pixel_ratio < 16
                         ? static_cast<int>(std::lround(kDotsPerMeter96Dpi * pixel_ratio))
                         : kDotsPerMeter96Dpi;
    image.setDotsPerMeterX(dots);
    image.setDotsPerMeterY(dots);
    image.fill(Qt::black);  // nothing drawn yet
    return image;
}

float lon_factor(long double latitude) {
    return static_cast<float>(std::cos(radians(latitude)) * 60);
}
}  // namespace

void create_map_bitmap(MapView& view) {
    view.map_bitmap = blank_bitmap(1, 1);
}

void size_map_bitmap(MapView& view, int client_width, int client_height) {
    view.client_width = client_width;
    view.client_height = client_height;
    view.map_bitmap = blank_bitmap(client_width, client_height, view.pixel_ratio);
}

void reset_view_for_airport(SelectionFrame& frame, int client_height, float lat0, float radius) {
    const int32_t range = nearest_int(radius);
    if (range == 0) throw Error(w1252("Division par zéro"));  // before anything changes
    frame.plane = {60.0f, lon_factor(lat0)};
    ViewScale& v = frame.view;
    v.range_nm = range;
    v.px_per_nm = static_cast<float>(static_cast<ld>(client_height) / v.range_nm);
    v.ring_step_nm = nearest_int(static_cast<ld>(radius) / 10);
}

void reset_view_for_region(SelectionFrame& frame, int client_height, double centre_lat) {
    frame.plane = {60.0f, lon_factor(centre_lat)};
    ViewScale& v = frame.view;
    v.range_nm = 400;
    v.px_per_nm = static_cast<float>(static_cast<ld>(client_height) / 400);
    v.ring_step_nm = 40;
}

void map_window_created(MapView& view, SelectionFrame& frame, int client_width, int client_height) {
    size_map_bitmap(view, client_width, client_height);
    frame.view.range_nm = 100;
    frame.view.px_per_nm = static_cast<float>(static_cast<ld>(client_height) / 100);
    frame.plane = {60.0f, 60.0f};
    view.zoom_percent = 120;
}

}  // namespace karvel
