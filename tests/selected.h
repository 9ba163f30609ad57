// A database read with the program's own selection code, as the window
// does (the lists recorded, no progress shown).
#pragma once

#include <memory>
#include <string>

#include "navdb/database.h"
#include "navdb/sqlite_backend.h"
#include "selection/selection.h"
#include "support.h"

namespace karvel::test {

// The shipped sample database, built from its SQL for the test.
struct SampleDatabase {
    SampleDatabase() { build_sample_database(sample_path()); }
    std::string sample_path() const { return folder.file("nav.sqlite"); }
    TempDir folder;
};

struct Selected {
    explicit Selected(const std::string& path, int client_height = 600) {
        q.set_connection(std::make_shared<SqliteConnection>(path));
        height = client_height;
        ctx.frequencies = statement_runs(q, {"select khz from airportfreqs where 1=0"});
    }
    const NavTables& airport(const std::string& icao, int radius) {
        select_by_airport(ctx, height, icao, radius);
        return nav;
    }
    const NavTables& region(const std::string& code) {
        select_by_region(ctx, height, code);
        return nav;
    }
    Query q;
    NavTables nav;
    SelectionFrame frame;
    int height = 600;  // the map's client height
    RecordingView lists;
    NullProgress progress;
    MemoLines memo;
    LoadContext ctx{q, nav, frame, lists, progress, memo, true};
};

}  // namespace karvel::test
