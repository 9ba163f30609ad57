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

// Each appends its file's polylines to geo_lines, tagged "coast" (coastlines)
// or "river" (lakes and rivers). A missing file: "fichier sph non trouvé"; a
// damaged one is told once, by name.
void load_coast(NavState& nav, int level, Dialogs& dialogs);
void load_lakes(NavState& nav, int level, Dialogs& dialogs);
void load_rivers(NavState& nav, int level, Dialogs& dialogs);

// Reads a .shp file, opened for reading only (a read-only file or medium
// loads like any other); false when it cannot be read or is damaged (what
// could be read is appended all the same).
bool read_shp_file(const std::string& path, const std::string& kind, std::vector<t_geo>& out);

// After a selection: level 0 keeps geo_lines as they are; any other level
// empties them and loads the three kinds in turn.
void load_geography(NavState& nav, int level, Dialogs& dialogs);

}  // namespace karvel
