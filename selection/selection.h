// The two kinds of selection, around an airport or a whole region, loaded
// aside and committed whole.
#pragma once

#include <string>
#include <unordered_map>

#include "core/sinks.h"
#include "selection/loaders.h"

namespace karvel {

// Reads the airport's position, sets the frame's plane, centre, view scale
// (for a map `client_height` pixels high) and box, then runs the eight
// statements through their loaders.
void select_by_airport(LoadContext& ctx, int client_height, const std::string& icao,
                       int32_t radius);

// Runs the eight region statements; the plane is the region's own as soon as
// the waypoints give its centre, so the procedure paths are built on it. The
// box is the waypoints' extent.
void select_by_region(LoadContext& ctx, int client_height, const std::string& code);

// A selection loaded aside: the current one stays whole (tables, lists, frame)
// until this one has loaded completely and is committed.
struct SelectionDraft {
    NavTables nav;
    SelectionFrame frame;  // the current frame until the selection sets its parts
    RecordedView lists;
    MemoLines memo;

    explicit SelectionDraft(const SelectionFrame& current) : frame(current) {}
    // The draft becomes the current selection, its lists and memo lines shown;
    // the geography is replaced only when the draft loaded some (a GEO level
    // other than 0).
    void commit(NavTables& current, SelectionFrame& current_frame, SelectionView& shown_lists,
                MemoSink& shown_memo, bool geography);
};

// The waypoints the loaded procedures fly to that the selection did not
// load (they lie outside its box), read from the database, by waypoint ID.
std::unordered_map<std::string, FIXE> procedure_points(Query& query, const NavTables& nav);

}  // namespace karvel
