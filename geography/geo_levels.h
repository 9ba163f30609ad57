// Coastlines, lakes and rivers at the level of detail chosen after a selection.
#pragma once

#include <string>

#include "core/dialogs.h"
#include "core/model.h"

namespace karvel {

enum class GeoKind { coast, lakes, rivers };

// The file of a kind at level 1, 2 or 3 under `program_dir`/geo; empty for
// any other level.
std::string geo_file(const std::string& program_dir, GeoKind kind, int level);

// Reads a .shp file, opened for reading only (a read-only file or medium
// loads like any other); false when it cannot be read or is damaged (what
// could be read is appended all the same).
bool read_shp_file(const std::string& path, const std::string& kind, std::vector<t_geo>& out);

// After a selection: level 0 keeps `lines` as they are; any other level
// empties them and appends the polylines of the coastlines (tagged "coast"),
// then of the lakes and rivers ("river"), from `program_dir`/geo. A missing
// file: "fichier sph non trouvé"; a damaged one is told once, by name.
void load_geography(const std::string& program_dir, std::vector<t_geo>& lines, int level,
                    Dialogs& dialogs);

}  // namespace karvel
