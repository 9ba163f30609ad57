// The point geometry of the ILS feathers.
#pragma once

#include <string>

#include "core/sinks.h"
#include "map/view.h"

namespace karvel {

// The point d pixels from `base`, in the direction from `reference` to
// `base` turned by -a radians. An arccos or arcsin that fails (a coordinate
// that is not a finite number) is recorded and the direction taken as 0.
PixelF extend_point(int d, PixelF base, PixelF reference, float a, ArithmeticErrors& errors);

}  // namespace karvel
