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

}  // namespace karvel
