// What the headless commands share: --help, and the one line an error ends
// them with.
#pragma once

#include <cstdio>
#include <cstring>
#include <exception>

#include "core/cp1252.h"

namespace karvel {

// True (after printing `usage`) when the arguments ask for help.
inline bool print_help_if_asked(int argc, char** argv, const char* usage) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return true;
        }
    return false;
}

// "program: message" on standard error (Windows-1252 made UTF-8); status 1.
inline int report_failure(const char* program, const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", program, cp1252_to_utf8(e.what()).c_str());
    return 1;
}

}  // namespace karvel
