// Airspace outlines as polygons for the GeoJSON: a ring inside another ring
// of its outline is a hole of it, and every polygon is cut at 180 degrees
// into pieces that each lie on one side of the meridian.
#pragma once

#include <vector>

#include "core/model.h"

namespace karvel {

using Ring = std::vector<geo_point>;
using Polygon = std::vector<Ring>;  // the exterior, then its holes

// The polygons of the rings (each closed: its last point joined to its
// first, not repeated). Every ring of the result is closed by its first
// point repeated at its end; exteriors turn anticlockwise, holes clockwise
// (longitude east, latitude north); a ring round a pole is closed along
// the pole.
std::vector<Polygon> outline_polygons(const std::vector<t_point>& rings);

}  // namespace karvel
