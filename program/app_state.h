// The whole state of one run, owned by the application and passed by
// reference: navigation tables, settings, map view.
#pragma once

#include "core/model.h"
#include "core/settings.h"
#include "map/view.h"
#include "navdb/database.h"

namespace karvel {

struct AppState {
    NavState nav;
    Settings settings;
    MapView map;
    Database db;
    // A selection is replacing the tables: a paint shows the last bitmap.
    bool loading = false;
};

}  // namespace karvel
