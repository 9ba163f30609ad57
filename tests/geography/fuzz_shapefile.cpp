// libFuzzer entry: any bytes as a shapefile must neither crash, hang nor
// allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "geography/shapefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<karvel::t_geo> out;
    karvel::read_shp(std::string_view(reinterpret_cast<const char*>(data), size), "coast", out);
    return 0;
}
