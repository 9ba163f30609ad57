// The program's own reader of ESRI shapefiles (.shp): polylines and polygons,
// each part its own polyline, X as longitude and Y as latitude.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace karvel {

// Appends the polylines of a whole .shp file image to `out`, each named
// `kind`. Every count, offset and length is checked against the file and its
// record: a record whose counts do not fit is passed over by its length, and
// reading stops at a record that runs past the end. Points that are not
// finite are left out. Records of other shapes (null, points) and parts
// without a point add nothing; Z and M variants read like their plain forms.
// Returns false when anything was damaged.
bool read_shp(std::string_view file, const std::string& kind, std::vector<t_geo>& out);

}  // namespace karvel
