// The SQL of the two kinds of selection, line by line as the database sees it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "navdb/query.h"

namespace karvel {

// Box edges as the statements write them: latitudes in at least 8
// characters, longitudes in at least 9, six decimals. A box across the
// antimeridian selects two longitude ranges, east of `lon_min` or west of
// `lon_max` (both then within -180..180).
struct BoxTexts {
    std::string lat_min, lat_max, lon_min, lon_max;
    bool across_180 = false;
};
BoxTexts box_texts(double lat_min, double lat_max, double lon_min, double lon_max);

// The airport's position.
Statement position_statement(const std::string& icao);

// The eight statements in loader order: airports, navaids, waypoints,
// runways, ILS, procedures, procedure legs, airways.
std::array<Statement, 8> airport_statements(const BoxTexts& box);
std::array<Statement, 8> region_statements(const std::string& code);

}  // namespace karvel
