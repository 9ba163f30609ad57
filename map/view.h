// The map window's view state: scale, range, rings, edges, measuring, and the
// off-screen bitmap everything is drawn into.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>

namespace karvel {

struct MapView {
    float px_per_nm = 0;
    float nm_per_deg_lat = 60.0f;
    float nm_per_deg_lon = 60.0f;
    int32_t range_nm = 100;
    int32_t ring_step_nm = 0;
    int32_t zoom_percent = 120;
    int32_t map_font_size = 0;
    std::string font_name;

    float view_top = 0, view_bottom = 0, view_left = 0, view_right = 0;

    double drag_anchor_lat = 0, drag_anchor_lon = 0;
    int32_t press_x = 0, press_y = 0;
    int32_t measure_x = 0, measure_y = 0;
    bool measuring = false;
    std::string measure_distance_text;
    std::string measure_bearing_text;

    QImage map_bitmap;
    int client_width = 0;  // the map window's client area, in pixels
    int client_height = 0;
};

// The bitmap as the main window creates it at start-up (not yet sized).
void create_map_bitmap(MapView& view);

// The map window's creation: bitmap sized to the client area, range 100 nm
// filling the client height, plane factors 60, zoom step 120 %.
void map_window_created(MapView& view, int client_width, int client_height);

// The view a selection leaves: by airport, `radius` nm fill the client
// height around the airport; by region, 400 nm around the centre.
void reset_view_for_airport(MapView& view, float lat0, float radius);
void reset_view_for_region(MapView& view, double centre_lat);

}  // namespace karvel
