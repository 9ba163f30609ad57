// Writes shapefiles for the tests: polylines and polygons with their parts,
// plain or with Z and M values, and damaged ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace karvel::test {

struct ShpRecord {
    int32_t type = 3;                               // 3 PolyLine, 5 Polygon, 13 PolyLineZ, ...
    std::vector<int32_t> parts;                     // first point of each part
    std::vector<std::pair<double, double>> points;  // X, Y
    std::string raw;                                // when set, the content as it stands
};

std::string shp_file(const std::vector<ShpRecord>& records, int32_t shape_type = 3);

void put_be32(std::string& s, size_t at, uint32_t v);
void put_le32(std::string& s, size_t at, int32_t v);

}  // namespace karvel::test
