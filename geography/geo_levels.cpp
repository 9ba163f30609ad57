#include "geography/geo_levels.h"

#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/ini_file.h"
#include "core/numtext.h"
#include "geography/shapefile.h"

namespace karvel {
namespace {

// File names by kind and level, hyphens and underscores as they stand.
const char* const kFiles[3][3] = {
    {"110m_coastline.shp", "50m_coastline.shp", "10m_coastline.shp"},
    {"110m_lakes.shp", "50m-lakes.shp", "10m_lakes.shp"},
    {"110m-rivers-lake-centerlines.shp", "50m-rivers-lake-centerlines.shp",
     "10m_rivers_lake_centerlines.shp"},
};

void load_kind(const std::string& program_dir, std::vector<t_geo>& lines, GeoKind kind,
               const char* tag, int level, Dialogs& dialogs) {
    const std::string path = geo_file(program_dir, kind, level);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(fs_path(path), ec)) {
        dialogs.file_message(w1252("fichier sph non trouvé"), path);
        return;
    }
    // What could be read is kept; a damaged file is told once.
    if (!read_shp_file(path, tag, lines))
        dialogs.message(w1252("fichier sph endommagé, lu en partie : ") + path_text(path));
}

}  // namespace

bool read_shp_file(const std::string& path, const std::string& kind, std::vector<t_geo>& out) {
    std::string bytes;
    try {
        bytes = read_file_bytes(path);  // opened for reading only
    } catch (const Error&) {
        return false;
    }
    return read_shp(bytes, kind, out);
}

std::string geo_file(const std::string& program_dir, GeoKind kind, int level) {
    if (level < 1 || level > 3) return {};
    return program_dir + "/geo/" + kFiles[static_cast<int>(kind)][level - 1];
}

void load_geography(const std::string& program_dir, std::vector<t_geo>& lines, int level,
                    Dialogs& dialogs) {
    if (level == 0) return;
    lines.clear();
    load_kind(program_dir, lines, GeoKind::coast, "coast", level, dialogs);
    load_kind(program_dir, lines, GeoKind::lakes, "river", level, dialogs);
    load_kind(program_dir, lines, GeoKind::rivers, "river", level, dialogs);
}

}  // namespace karvel
