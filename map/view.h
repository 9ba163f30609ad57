// The map window's view state and the projection between geographic points
// and bitmap pixels.
//
// What the painters read is one small value, `Viewport`: the edges, the scale,
// the plane factors and the bitmap size of one drawing pass. The mouse and
// measuring state and the bitmap itself live beside it in `MapView`.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>

#include "core/model.h"

namespace karvel {

// The map window's client area as designed (the window is 976 x 695 with its
// menu bar): also the default size of a map picture.
inline constexpr int kMapClientWidth = 976;
inline constexpr int kMapClientHeight = 674;

struct Pixel {
    int x = 0;
    int y = 0;
    bool operator==(const Pixel&) const = default;
};

struct PixelF {
    float x = 0;
    float y = 0;
};

struct GeoPos {
    long double lat = 0;
    long double lon = 0;
};

// Pixel coordinates are held within +-2^30: far beyond any bitmap, and a
// label's offset added to one stays a defined 32-bit integer.
inline constexpr int kPixelLimit = 1 << 30;

// The whole number nearest to v, a half going to the even neighbour, held
// within +-kPixelLimit (not-a-number gives 0): defined for any input.
int nearest_int(long double v);
// The integer part (towards zero), held to the 64-bit range the same way.
long long trunc_int(long double v);

// One drawing pass's frame.
struct Viewport {
    float view_top = 0, view_bottom = 0, view_left = 0, view_right = 0;
    float px_per_nm = 0;
    PlaneScale plane;
    int width = 0;   // bitmap width W
    int height = 0;  // bitmap height H

    // The pixel of a point: nearest integers, halves to even.
    Pixel to_pixel(double lat, double lon) const;
    // The same unrounded, stored in single precision (runway ends).
    PixelF to_pixel_f(double lat, double lon) const;
    // The point under a pixel, unrounded (its longitude may lie past 180
    // when the view does).
    GeoPos to_geo(long double x, long double y) const;
    // A point on or inside the edges.
    bool contains(double lat, double lon) const;
    // A segment whose bounding box touches the view (edges count as inside).
    bool segment_visible(double lat1, double lon1, double lat2, double lon2) const;
    // A longitude taken to within 180 degrees of the view's middle, so that
    // points either side of the antimeridian project side by side.
    long double near_lon(double lon) const;
};

// The mouse on the map: the right-drag anchor, the last press and the
// measuring line with its two texts.
struct MouseState {
    double drag_anchor_lat = 0, drag_anchor_lon = 0;
    int32_t press_x = 0, press_y = 0;
    int32_t measure_x = 0, measure_y = 0;
    bool measuring = false;
    std::string measure_distance_text;
    std::string measure_bearing_text;
};

// The map window's own state; its scale and centre are the selection's
// (`SelectionFrame`), which zooming and panning change.
struct MapView {
    int32_t zoom_percent = 120;
    int32_t map_font_size = 0;
    std::string font_name;

    // The edges of the last drawing pass.
    float view_top = 0, view_bottom = 0, view_left = 0, view_right = 0;

    MouseState mouse;

    QImage map_bitmap;
    int client_width = 0;  // the map window's client area, in the bitmap's pixels
    int client_height = 0;
    // Device pixels per window unit: the bitmap is drawn in the screen's own
    // pixels, its text sizes in points scaled to match (1 at 100 %).
    double pixel_ratio = 1;
};

// The frame of the last pass (edges as stored) at the selection's scale.
Viewport viewport_of(const MapView& view, const SelectionFrame& frame);

// The edges for the selection's centre and the bitmap size, stored in
// `view`; returns the frame the painters read.
Viewport compute_view_edges(MapView& view, const SelectionFrame& frame);

// The bitmap as the main window creates it at start-up (not yet sized).
void create_map_bitmap(MapView& view);

// The bitmap takes the client area's size (window creation and resizing);
// scale and centre stay.
void size_map_bitmap(MapView& view, int client_width, int client_height);

// The map window's creation: bitmap sized to the client area, range 100 nm
// filling the client height, plane factors 60, zoom step 120 %.
void map_window_created(MapView& view, SelectionFrame& frame, int client_width, int client_height);

// The plane and view a selection leaves: by airport, `radius` nm fill the
// client height around the airport; by region, 400 nm around the centre.
void reset_view_for_airport(SelectionFrame& frame, int client_height, float lat0, float radius);
void reset_view_for_region(SelectionFrame& frame, int client_height, double centre_lat);

}  // namespace karvel
