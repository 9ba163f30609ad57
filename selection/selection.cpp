#include "selection/selection.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "map/view.h"
#include "selection/frequency_loader.h"
#include "selection/outline_loader.h"

namespace karvel {

namespace {

// The points first: a selection by region takes its plane from them.
void load_points(LoadContext& ctx, const SelectionStatements& s) {
    load_airports(ctx, s.airports);
    load_navaids(ctx, s.navaids);
    load_waypoints(ctx, s.waypoints);
}

// What is drawn on the plane: the procedure paths are built as they load.
void load_on_plane(LoadContext& ctx, const SelectionStatements& s) {
    load_runways(ctx, s.runways);
    load_ils(ctx, s.ils);
    load_terminals(ctx, s.procedures);
    load_terminal_legs(ctx, s.legs);
    load_airways(ctx, s.airways);
}

// A region's centre, plane and view follow from its waypoints' extent.
void set_region_plane(SelectionFrame& frame, int client_height) {
    const GeoBox& e = frame.extent;
    frame.centre_lat = static_cast<double>((static_cast<long double>(e.lat_max) + e.lat_min) / 2);
    frame.centre_lon =
        normal_lon(static_cast<double>((static_cast<long double>(e.lon_max) + e.lon_min) / 2));
    reset_view_for_region(frame, client_height, frame.centre_lat);
}

}  // namespace

void select_by_airport(LoadContext& ctx, int client_height, const std::string& icao,
                       int32_t radius_nm) {
    SelectionFrame& frame = ctx.frame;
    Query& q = ctx.query;
    q.set_sql(position_statement(icao));
    q.open();
    q.first();
    const bool known = !q.eof();
    const bool placed = known && !q.is_null("latitude") && !q.is_null("longtitude");
    const auto ref_lat = static_cast<float>(q.as_float("latitude"));
    const auto ref_lon = static_cast<float>(q.as_float("longtitude"));
    q.close();
    // Nothing changes for a code the database does not know (its box would
    // lie around 0, 0) or for a position off the globe.
    if (!known) throw Error(w1252("aéroport inconnu de la base de données : ") + icao);
    if (!placed) throw Error(w1252("aéroport sans position dans la base de données : ") + icao);
    if (!(std::fabs(ref_lat) <= 90) || !(std::fabs(ref_lon) <= 180))
        throw Error(w1252("la position de l'aéroport ") + icao + w1252(" est hors du globe"));
    const auto radius = static_cast<float>(radius_nm);

    reset_view_for_airport(frame, client_height, ref_lat, radius);
    frame.centre_lat = ref_lat;
    frame.centre_lon = ref_lon;

    using ld = long double;
    const ld half_lat = static_cast<ld>(radius) / frame.plane.nm_per_deg_lat;
    const ld half_lon = static_cast<ld>(radius) / frame.plane.nm_per_deg_lon;
    GeoBox& box = frame.box;
    box.lat_min = static_cast<double>(static_cast<ld>(ref_lat) - half_lat);
    box.lat_max = static_cast<double>(static_cast<ld>(ref_lat) + half_lat);
    box.lon_min = static_cast<double>(static_cast<ld>(ref_lon) - half_lon);
    box.lon_max = static_cast<double>(static_cast<ld>(ref_lon) + half_lon);
    const BoxTexts texts = box_texts(box.lat_min, box.lat_max, box.lon_min, box.lon_max);
    const SelectionStatements statements = airport_statements(texts);
    load_points(ctx, statements);
    load_on_plane(ctx, statements);
    load_frequencies(ctx);
    load_outlines(ctx);
}

void select_by_region(LoadContext& ctx, int client_height, const std::string& code) {
    const SelectionStatements statements = region_statements(code);
    load_points(ctx, statements);
    // No later statement changes the waypoints' extent: the plane is set
    // once, before the procedure paths are built on it.
    set_region_plane(ctx.frame, client_height);
    load_on_plane(ctx, statements);
    ctx.frame.box = ctx.frame.extent;
    load_frequencies(ctx);
    load_outlines(ctx);
}

void SelectionDraft::commit(NavTables& current, SelectionFrame& current_frame,
                            SelectionView& shown_lists, MemoSink& shown_memo, bool geography) {
    if (!geography) nav.geo_lines = std::move(current.geo_lines);
    nav.ground = std::move(current.ground);  // chosen apart from the selection
    current = std::move(nav);
    current_frame = std::move(frame);
    lists.replay(shown_lists);
    for (const std::string& line : memo.lines) shown_memo.add_line(line);
    memo.lines.clear();
}

std::unordered_map<std::string, FIXE> procedure_points(Query& query, const NavTables& nav) {
    std::vector<std::string> missing;
    for (const auto* table : {&nav.sids, &nav.stars})
        for (const ROUTE& r : *table)
            for (const t_leg& l : r.legs)
                if (!l.wptid.empty() && nav.waypoints.ids().find(l.wptid) < 0)
                    missing.push_back(l.wptid);
    std::unordered_map<std::string, FIXE> points;
    for (size_t from = 0; from < missing.size(); from += 200) {
        std::string list;
        for (size_t i = from; i < std::min(missing.size(), from + 200); ++i) {
            if (!list.empty()) list += ',';
            list += sql_quoted(missing[i]);
        }
        query.set_sql(
            {"select waypoints.ID,waypoints.ident,waypoints.latitude,waypoints.longtitude",
             "from waypoints", "where waypoints.ID in (" + list + ")"});
        query.open();
        query.first();
        const int f_id = query.field_index("ID"), f_ident = query.field_index("ident"),
                  f_lat = query.field_index("latitude"), f_lon = query.field_index("longtitude");
        for (; !query.eof(); query.next()) {
            FIXE f;
            f.id = query.text(f_id);
            f.ident = f.name = query.text(f_ident);
            f.latitude = query.real(f_lat);
            f.longitude = query.real(f_lon);
            f.selected = true;
            if (on_globe(f.latitude, f.longitude)) points.emplace(f.id, std::move(f));
        }
        query.close();
        query.clear_sql();
    }
    return points;
}

}  // namespace karvel
