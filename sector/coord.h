// Positions as the sector file writes them: N048.51.23.760 E002.21.07.919.
#pragma once

#include <string>

#include "core/model.h"

namespace karvel {

struct CoordText {
    std::string latitude;   // "N048.51.23.760"
    std::string longitude;  // "E002.21.07.919"
};

// Degrees, minutes, seconds and thousandths, every step truncated, the
// multiplications by 60, 60 and 1000 made in extended precision on the
// stored double. Zero is written south and west.
CoordText format_coord(geo_point p);

// The same two texts appended to `out`, a blank between them.
void append_position(std::string& out, double latitude, double longitude);

// The parts of a line once split where it crosses 180 degrees (the shorter
// way between two points), each a list of points, so that no part jumps
// across the globe. A point lying exactly on 180 E or W is taken on the side
// of the line it belongs to (the point before it, or for the first point the
// one after it).
std::vector<std::vector<geo_point>> split_at_antimeridian(const std::vector<geo_point>& line);

}  // namespace karvel
