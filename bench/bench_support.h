// What the benchmarks share: the generated world, its floor (the same SQL
// statements only run and stepped through in SQLite), memory and time.
//
// The database is bench/data/world.sqlite (script/bench makes it), or the
// file named by KARVEL_WORLD_DB.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QGuiApplication>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "core/cp1252.h"
#include "core/file_output.h"
#include "core/geometry.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "geography/geo_levels.h"
#include "import/database_writer.h"
#include "import/ground.h"
#include "import/outlines.h"
#include "map/qt_canvas.h"
#include "map/render.h"
#include "navdb/sqlite_backend.h"
#include "navdb/sqlite_db.h"
#include "sector/writer.h"
#include "selection/selection.h"

namespace karvel::bench {

using Clock = std::chrono::steady_clock;

inline std::string world_db() {
    const char* env = std::getenv("KARVEL_WORLD_DB");
    return env ? env : KARVEL_SOURCE_DIR "/bench/data/world.sqlite";
}

// The densest spot of the generated world: the first airport of its first region.
inline const char* const kDenseAirport = "LFAA";
inline const char* const kLargeRegion = "LF";

// A memory figure of the process in MB: "VmHWM" its peak resident set so
// far, "VmRSS" its resident set now.
inline double status_mb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
    return 0.0;
}
inline double peak_rss_mb() {
    return status_mb("VmHWM");
}
inline double current_rss_mb() {
    return status_mb("VmRSS");
}

inline double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The floor: each statement run and stepped through, nothing read.
inline long long run_floor(const SqliteDb& db, const std::vector<Statement>& statements) {
    long long rows = 0;
    for (const Statement& s : statements) {
        std::string sql;
        for (const std::string& l : s) sql += l + "\n";
        const SqliteStatement st(db, sql);
        while (sqlite3_step(st.get()) == SQLITE_ROW) ++rows;
    }
    return rows;
}

struct World {
    World() { query.set_connection(std::make_shared<SqliteConnection>(world_db())); }
    Query query;
    SqliteDb raw{world_db(), SqliteDb::Mode::read_only};
    NavTables nav;
    SelectionFrame frame;
    int height = 674;  // the map window's client height
    NullView lists;
    NullProgress progress;
    MemoLines memo;
    LoadContext ctx{query, nav, frame, lists, progress, memo};
};

inline World& world() {
    static World w;
    return w;
}

inline size_t loaded_rows(const NavTables& nav) {
    size_t legs = 0, segs = 0;
    for (const auto* t : {&nav.sids, &nav.stars})
        for (const ROUTE& r : *t) legs += r.legs.size();
    for (const ROUTE& a : nav.airways) segs += a.lines.size();
    return nav.airports.size() + nav.runways.size() * 2 + nav.vors.size() + nav.ndbs.size() +
           nav.waypoints.size() + nav.sids.size() + nav.stars.size() + legs + segs;
}

}  // namespace karvel::bench
