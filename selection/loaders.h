// Loaders: one statement's rows turned into the records of one table, then
// the table shown in its list with its count.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/model.h"
#include "core/sinks.h"
#include "navdb/query.h"
#include "procedures/paths.h"
#include "selection/statements.h"

namespace karvel {

// What every loader works with.
struct LoadContext {
    Query& query;
    NavTables& nav;
    SelectionFrame& frame;  // the waypoints' extent; the plane the procedure paths are built on
    SelectionView& view;
    ProgressSink& progress;
    MemoSink& memo;
    bool airway_levels = false;  // the database knows each airway segment's level
    bool outlines = false;       // the database has airspace outlines
    bool frequencies = false;    // the database has the airports' frequencies
    bool outline_classes = false;  // its outlines have their airspace class
    bool outline_rings = false;    // ... and what the sources said of their rings
    // Records left out because their position is no point of the globe
    // (not a number, infinite, past a pole or past 180 degrees), named.
    std::vector<std::string> off_globe{};
    size_t off_globe_count = 0;
};

// A position that is a point of the globe: finite, the latitude within 90
// degrees and the longitude within 180.
bool on_globe(double latitude, double longitude);
// False, and the record named in ctx.off_globe (the first twenty), when any
// of `values` is not finite or the position is off the globe.
bool keep_on_globe(LoadContext& ctx, const std::string& record, double latitude, double longitude,
                   std::initializer_list<double> values = {});

// The frequency column as text: its hexadecimal digits read as the decimal
// digits of the frequency times 10000 ("114.300"); a letter among them throws.
std::string frequency_text(int32_t coded);

void load_airports(LoadContext& ctx, const Statement& sql);
void load_navaids(LoadContext& ctx, const Statement& sql);
void load_waypoints(LoadContext& ctx, const Statement& sql);
void load_runways(LoadContext& ctx, const Statement& sql);
void load_ils(LoadContext& ctx, const Statement& sql);
void load_airways(LoadContext& ctx, const Statement& sql);

// Procedures (STARs and SIDs, by their kind code) and their legs; the legs loader ends by
// building the paths.
void load_terminals(LoadContext& ctx, const Statement& sql);
void load_terminal_legs(LoadContext& ctx, const Statement& sql);

}  // namespace karvel
