// The test folders of tests/import/data read as karvel-import reads them.
#pragma once

#include <zlib.h>

#include <string>

#include "import/xplane.h"
#include "support.h"

namespace karvel::test {

inline std::string input(const std::string& folder, const char* name) {
    return source_file("tests/import/data/" + folder + "/" + name);
}

inline void write_gzip(const std::string& path, const std::string& text) {
    gzFile f = gzopen(path.c_str(), "wb");
    gzwrite(f, text.data(), static_cast<unsigned>(text.size()));
    gzclose(f);
}

// A folder's four files copied to `dir` (the airports and the airways
// compressed, as they are shipped) and read; the fixes from `fixes`.
inline xplane::NavData read_folder(const TempDir& dir, const std::string& folder,
                                   const std::string& fixes = "") {
    write_gzip(dir.file("apt.dat.gz"), input(folder, "apt.dat"));
    write_bytes(dir.file("nav.dat"), input(folder, "nav.dat"));
    write_bytes(dir.file("fix.dat"), input(fixes.empty() ? folder : fixes, "fix.dat"));
    write_gzip(dir.file("awy.dat.gz"), input(folder, "awy.dat"));
    xplane::NavData d;
    xplane::read_apt(dir.file("apt.dat.gz"), d);
    xplane::read_nav(dir.file("nav.dat"), d);
    xplane::read_fix(dir.file("fix.dat"), d);
    xplane::read_awy(dir.file("awy.dat.gz"), d);
    return d;
}

}  // namespace karvel::test
