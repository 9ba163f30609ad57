// libFuzzer entry: any bytes as an outline file (GeoJSON, the FAA's ARB,
// OpenAir, found from the content) must end in outlines or in one Error,
// never in a crash, a hang or memory without bound; the outlines read are
// then cut into the GeoJSON's polygons.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "import/outlines.h"
#include "sector/polygons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/karvel-fuzz-outlines-" + std::to_string(::getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    try {
        for (const karvel::Outline& o : karvel::outlines::read_outlines(path, "").outlines)
            karvel::outline_polygons(o.rings);
    } catch (const karvel::Error&) {
    }
    return 0;
}
