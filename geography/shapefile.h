// The program's own reader of ESRI shapefiles (.shp): polylines and polygons,
// each part its own polyline, X as longitude and Y as latitude.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/model.h"

namespace karvel {

// Appends the polylines of a whole .shp file image to `out`, each named
// `kind`. Every count, offset and length is checked against the file and its
// record: the complete records before any damage are kept and the rest is
// skipped. Records of other shapes (null, points) and parts without a point
// add nothing; Z and M variants read like their plain forms. Returns false
// when damage stopped the reading.
bool read_shp(std::string_view file, const std::string& kind, std::vector<t_geo>& out);

}  // namespace karvel
