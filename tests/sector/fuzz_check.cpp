// libFuzzer entry: any bytes as a sector file and as its companion file
// must end in findings or in one Error, never in a crash, a hang or memory
// without bound.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/error.h"
#include "sector/check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/karvel-fuzz-check-" + std::to_string(::getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    try {
        std::vector<karvel::Finding> out;
        karvel::check_companion_file(path, karvel::check_sector_file(path, {}, out), out);
    } catch (const karvel::Error&) {
    }
    return 0;
}
