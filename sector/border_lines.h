// The lines the borders of sectors are made of: rings of one source cut
// where their neighbours change, so that a stretch of boundary two rings
// share (points within 1e-6 degree) is one line both borders name.
#pragma once

#include <vector>

#include "core/model.h"

namespace karvel {

// One line of a border, walked the other way round from its points or not.
struct BorderStep {
    size_t line = 0;
    bool reversed = false;
};

struct BorderLines {
    std::vector<t_point> lines;
    // For each ring, the lines that close it, in order round it; none for
    // a ring of fewer than three distinct points.
    std::vector<std::vector<BorderStep>> borders;
};

BorderLines border_lines(const std::vector<const t_point*>& rings);

}  // namespace karvel
