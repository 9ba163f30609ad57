// The OpenAir reader: airspaces of national files, their arcs and circles as
// points on the curve.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace karvel::outlines {

// The text begins (after blank and comment lines) with an OpenAir record.
bool openair_start(std::string_view text);

// The areas of the file, one outline each; an area with no outline (fewer
// than three points and no circle) is passed over and counted.
void read_openair(const std::string& path, std::vector<Outline>& outlines, size_t& passed_over);

}  // namespace karvel::outlines
