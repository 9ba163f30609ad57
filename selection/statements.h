// The SQL of the two kinds of selection, line by line as the database sees it.
#pragma once

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

// The statements of one selection, one for each loader.
struct SelectionStatements {
    Statement airports, navaids, waypoints, runways, ils, procedures, legs, airways;
};
SelectionStatements airport_statements(const BoxTexts& box);
// The statements in the order the loaders run them.
std::vector<Statement> in_loader_order(const SelectionStatements& s);
SelectionStatements region_statements(const std::string& code);

}  // namespace karvel
