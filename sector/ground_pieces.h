// Areas with holes as pieces without holes, for files whose readers fill
// every polygon whole: a hole stays empty, never painted over.
#pragma once

#include <vector>

#include "core/model.h"

namespace karvel {

// The pieces of the area whose first ring is its outline and the others its
// holes (each closed, not repeated), which together cover the area and
// nothing of its holes. The area is cut by north-south lines through each
// hole's middle, so that no hole lies whole between two cuts. An area
// without holes comes back as its outline alone, point for point; the
// pieces of one with holes have their points to 1e-7 degree.
std::vector<t_point> hole_free_pieces(const std::vector<t_point>& rings);

}  // namespace karvel
