// libFuzzer entry: any bytes as each X-Plane file kind (apt, nav, fix, awy,
// CIFP, and apt.dat's ground, its areas then cut into pieces without
// holes), plain or gzip, must end in records or in one Error, never in a
// crash, a hang or memory without bound. The first byte picks the kind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "import/ground.h"
#include "import/xplane.h"
#include "sector/ground_pieces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const std::string path = "/tmp/karvel-fuzz-" + std::to_string(::getpid()) + ".dat";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    karvel::xplane::NavData d;
    try {
        switch (data[0] % 6) {
            case 0: karvel::xplane::read_apt(path, d); break;
            case 1: karvel::xplane::read_nav(path, d); break;
            case 2: karvel::xplane::read_fix(path, d); break;
            case 3: karvel::xplane::read_awy(path, d); break;
            case 4: karvel::xplane::read_cifp(path, "LFXX", d.procedures); break;
            default:
                karvel::xplane::read_ground(path, [](karvel::xplane::AirportGround& a) {
                    for (const karvel::GroundShape& s : a.shapes)
                        if (s.kind != karvel::GroundKind::line) karvel::hole_free_pieces(s.rings);
                });
                break;
        }
    } catch (const karvel::Error&) {
    }
    return 0;
}
