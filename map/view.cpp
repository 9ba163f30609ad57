#include "map/view.h"

#include <cmath>

#include "app/error.h"
#include "app/numtext.h"

namespace karvel {

void create_map_bitmap(MapView& view) {
    view.map_bitmap = QImage(1, 1, QImage::Format_RGB32);
    view.map_bitmap.fill(Qt::black);
}

namespace {
constexpr long double kPi = 3.14159265358979323846264338327950288L;

float lon_factor(long double latitude) {
    return static_cast<float>(std::cos(latitude * 2 * kPi / 360) * 60);
}
}  // namespace

void reset_view_for_airport(MapView& view, float lat0, float radius) {
    view.nm_per_deg_lat = 60.0f;
    view.nm_per_deg_lon = lon_factor(lat0);
    view.range_nm = static_cast<int32_t>(nearest_even(radius));
    if (view.range_nm == 0) throw Error(w1252("Division par zéro"));
    view.px_per_nm =
        static_cast<float>(static_cast<long double>(view.client_height) / view.range_nm);
    view.ring_step_nm = static_cast<int32_t>(nearest_even(static_cast<long double>(radius) / 10));
}

void reset_view_for_region(MapView& view, double centre_lat) {
    view.nm_per_deg_lat = 60.0f;
    view.nm_per_deg_lon = lon_factor(centre_lat);
    view.range_nm = 400;
    view.px_per_nm = static_cast<float>(static_cast<long double>(view.client_height) / 400);
    view.ring_step_nm = 40;
}

void map_window_created(MapView& view, int client_width, int client_height) {
    view.client_width = client_width;
    view.client_height = client_height;
    view.map_bitmap = QImage(client_width > 0 ? client_width : 1,
                             client_height > 0 ? client_height : 1, QImage::Format_RGB32);
    view.map_bitmap.fill(Qt::black);  // nothing drawn yet
    view.range_nm = 100;
    view.px_per_nm = static_cast<float>(client_height) / static_cast<float>(view.range_nm);
    view.nm_per_deg_lat = 60.0f;
    view.nm_per_deg_lon = 60.0f;
    view.zoom_percent = 120;
}

}  // namespace karvel
