#include "map/view.h"

namespace karvel {

void create_map_bitmap(MapView& view) {
    view.map_bitmap = QImage(1, 1, QImage::Format_RGB32);
}

void map_window_created(MapView& view, int client_width, int client_height) {
    view.map_bitmap = QImage(client_width > 0 ? client_width : 1,
                             client_height > 0 ? client_height : 1, QImage::Format_RGB32);
    view.range_nm = 100;
    view.px_per_nm = static_cast<float>(client_height) / static_cast<float>(view.range_nm);
    view.nm_per_deg_lat = 60.0f;
    view.nm_per_deg_lon = 60.0f;
    view.zoom_percent = 120;
}

}  // namespace karvel
