// Airspace outlines from the files that publish them: GeoJSON (polygons
// and multipolygons), the FAA's fixed-width ARTCC boundary file (ARB) and
// OpenAir, the text format of national airspace files. The format is found
// from the content; a file that is none of them, or a bad line, is refused
// with the file and the line.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel::outlines {

enum class Format { geojson, arb, openair };
const char* format_text(Format format);

// The outlines of one file, each with its layer, box, source and
// attribution set. Arcs and circles are points on the curve within 0.05 nm;
// parts of one feature cut at 180 degrees are joined again.
struct OutlineFile {
    std::string path;
    Format format = Format::geojson;
    std::string attribution;
    std::vector<Outline> outlines;
    size_t passed_over = 0;  // features or areas with no outline to draw
};

OutlineFile read_outlines(const std::string& path, const std::string& attribution);

}  // namespace karvel::outlines
