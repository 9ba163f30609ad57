// GeoJSON for map tools, written feature by feature: positions as
// [longitude, latitude] without trailing zeros, texts in UTF-8, a line
// across 180 degrees in two parts.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel::geojson {

// A Windows-1252 text as a JSON string.
std::string json(const std::string& text);
// "key":"value", the value Windows-1252.
std::string prop(const char* key, const std::string& value);
std::string number(double v);
std::string position(const geo_point& p);

struct Writer {
    std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
    bool first = true;

    void feature(const std::string& geometry, const std::string& properties);
    void point(const geo_point& p, const std::string& properties);
    // Nothing for fewer than two points.
    void line(const std::vector<geo_point>& points, const std::string& properties);
    // The collection, closed.
    std::string text() const { return out + "\n]}\n"; }
};

}  // namespace karvel::geojson
