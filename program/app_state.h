// The whole state of one run, owned by the application and passed by
// reference: the loaded tables, the selection frame, the program's own
// information, the settings, the map view and the database.
#pragma once

#include "core/model.h"
#include "core/settings.h"
#include "map/view.h"
#include "navdb/database.h"
#include "program/requests.h"

namespace karvel {

struct AppState {
    NavTables nav;
    SelectionFrame frame;
    ProgramInfo info;
    Settings settings;
    MapView map;
    Database db;
    // What the current selection was asked for; none before the first one.
    std::optional<SelectionRequest> selected;
    // A selection is replacing the tables: a paint shows the last bitmap.
    bool loading = false;
};

}  // namespace karvel
