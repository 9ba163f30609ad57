// Airspace outlines on the globe: their boxes across 180 degrees, the parts
// a source split at the meridian joined again, and arcs and circles as
// points on the curve.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace karvel {

// A ring's longitudes followed along it the short way round, from a first
// one within half a turn of `ref`; `closing` is where the last edge ends,
// the first longitude again, or a whole turn away when the ring goes round
// a pole (`pole`: 90 or -90, the side its points lie on most).
struct UnwrappedRing {
    std::vector<long double> lon;
    long double closing = 0;
    bool round_pole = false;
    double pole = 90;
};
UnwrappedRing unwrap_ring(const t_point& ring, long double ref);

// The box of the rings. Longitudes are followed along each ring the short
// way round, so a ring across 180 degrees gives a box running past 180; a
// ring round a pole holds every longitude and reaches the pole.
GeoBox rings_box(const std::vector<t_point>& rings);

// The two boxes share a point, longitudes taken round the globe.
bool boxes_meet(const GeoBox& a, const GeoBox& b);

// "artcc", "high", "low": the layer as the database stores it.
const char* outline_layer_text(OutlineLayer layer);
std::optional<OutlineLayer> outline_layer_from_text(std::string_view text);

// Rings a source cut at 180 degrees (a part east of it with points on 180,
// one west of it with points on -180) joined into whole rings where their
// edges on the meridian meet; other rings come back as they are.
std::vector<t_point> join_at_antimeridian(std::vector<t_point> rings);

// The arc round `centre` from the bearing `from` to the bearing `to`
// (degrees true), clockwise or not, its radius running evenly from
// `radius_from_nm` to `radius_to_nm`: points from the start to the end of
// the arc, both included, so close that no chord strays more than
// `tolerance_nm` from the curve.
std::vector<geo_point> arc_points(geo_point centre, double radius_from_nm, double radius_to_nm,
                                  double from, double to, bool clockwise, double tolerance_nm);

// The circle of `radius_nm` round `centre` as a ring (the first point due
// north, clockwise, not repeated), chords within `tolerance_nm`.
t_point circle_points(geo_point centre, double radius_nm, double tolerance_nm);

// Outlines are drawn this close to their arcs and circles.
inline constexpr double kOutlineToleranceNm = 0.05;

}  // namespace karvel
