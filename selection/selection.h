// The two kinds of selection: around an airport, or a whole region.
#pragma once

#include <string>
#include <unordered_map>

#include "core/sinks.h"
#include "map/view.h"
#include "selection/loaders.h"

namespace karvel {

// Reads the airport's position, sets the plane, centre, view and box, then
// runs the eight statements through their loaders. A radius of 0 is refused
// before anything changes.
void select_by_airport(LoadContext& ctx, MapView& view, const std::string& icao, int32_t radius);

// Runs the eight region statements; the plane is the region's own as soon as
// the waypoints give its centre, so the procedure paths are built on it.
void select_by_region(LoadContext& ctx, MapView& view, const std::string& code);

// After a selection by region, the box is the waypoint extent.
void box_from_waypoint_extent(NavState& nav);

// A selection loaded aside: the current one stays whole (tables, lists, map
// scale, centre) until this one has loaded completely and is committed.
struct SelectionDraft {
    NavState nav;  // what a selection does not replace is carried over
    MapView view;
    RecordedView lists;
    MemoLines memo;

    SelectionDraft(const NavState& current, const MapView& current_view);
    // The draft becomes the current selection; the geography is replaced
    // only when the draft loaded some (a GEO level other than 0).
    void commit(NavState& current, MapView& current_view, SelectionView& shown_lists,
                MemoSink& shown_memo, bool geography);
};

// The idents of the waypoints the loaded procedures fly to that the
// selection did not load (they lie outside its box), by waypoint ID.
std::unordered_map<std::string, std::string> procedure_point_idents(Query& query,
                                                                    const NavState& nav);

// The radius text of the window as a radius: an integer other than 0.
int32_t radius_from_text(const std::string& text);

}  // namespace karvel
