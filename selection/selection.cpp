#include "selection/selection.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel {

int32_t radius_from_text(const std::string& text) {
    const int32_t radius = str_to_int(text);
    if (radius == 0)
        throw Error(w1252("Le rayon de la sélection doit être un nombre de milles différent de 0"));
    return radius;
}

namespace {

PlaneScale plane_of(const MapView& view) {
    return {view.nm_per_deg_lat, view.nm_per_deg_lon};
}

void run_loaders(LoadContext& ctx, const std::array<Statement, 8>& s,
                 const std::function<void()>& after_waypoints) {
    load_airports(ctx, s[0]);
    load_navaids(ctx, s[1]);
    load_waypoints(ctx, s[2]);
    after_waypoints();
    load_runways(ctx, s[3]);
    load_ils(ctx, s[4]);
    load_terminals(ctx, s[5]);
    load_terminal_legs(ctx, s[6]);
    load_airways(ctx, s[7]);
}

}  // namespace

void select_by_airport(LoadContext& ctx, MapView& view, const std::string& icao,
                       int32_t radius_nm) {
    if (radius_nm == 0)
        throw Error(w1252("Le rayon de la sélection doit être un nombre de milles différent de 0"));
    NavState& nav = ctx.nav;
    Query& q = ctx.query;
    q.set_sql(position_statement(icao));
    q.open();
    q.first();
    const bool known = !q.eof();
    const auto ref_lat = static_cast<float>(q.as_float("latitude"));
    const auto ref_lon = static_cast<float>(q.as_float("longtitude"));
    q.close();
    // Nothing changes for a code the database does not know (its box would
    // lie around 0, 0) or for a position off the globe.
    if (!known) throw Error(w1252("aéroport inconnu de la base de données : ") + icao);
    if (!(std::fabs(ref_lat) <= 90) || !(std::fabs(ref_lon) <= 180))
        throw Error(w1252("la position de l'aéroport ") + icao + w1252(" est hors du globe"));
    const auto radius = static_cast<float>(radius_nm);

    reset_view_for_airport(view, ref_lat, radius);
    nav.centre_lat = ref_lat;
    nav.centre_lon = ref_lon;

    using ld = long double;
    nav.box_lat_min = static_cast<double>(static_cast<ld>(ref_lat) -
                                          static_cast<ld>(radius) / view.nm_per_deg_lat);
    nav.box_lat_max = static_cast<double>(static_cast<ld>(ref_lat) +
                                          static_cast<ld>(radius) / view.nm_per_deg_lat);
    nav.box_lon_min = static_cast<double>(static_cast<ld>(ref_lon) -
                                          static_cast<ld>(radius) / view.nm_per_deg_lon);
    nav.box_lon_max = static_cast<double>(static_cast<ld>(ref_lon) +
                                          static_cast<ld>(radius) / view.nm_per_deg_lon);
    const BoxTexts texts =
        box_texts(nav.box_lat_min, nav.box_lat_max, nav.box_lon_min, nav.box_lon_max);

    ctx.scale = plane_of(view);
    run_loaders(ctx, airport_statements(texts), [] {});
}

void select_by_region(LoadContext& ctx, MapView& view, const std::string& code) {
    NavState& nav = ctx.nav;
    auto centre_from_waypoints = [&] {
        nav.centre_lat =
            static_cast<double>((static_cast<long double>(nav.wpt_lat_max) + nav.wpt_lat_min) / 2);
        nav.centre_lon = normal_lon(
            static_cast<double>((static_cast<long double>(nav.wpt_lon_max) + nav.wpt_lon_min) / 2));
        reset_view_for_region(view, nav.centre_lat);
        ctx.scale = plane_of(view);
    };
    // Centre, plane and view follow from the waypoint extent, which no later
    // statement changes: set once, before the procedure paths are built.
    run_loaders(ctx, region_statements(code), centre_from_waypoints);
}

SelectionDraft::SelectionDraft(const NavState& current, const MapView& current_view)
    : view(current_view) {
    nav.program_dir = current.program_dir;
    nav.version_caption = current.version_caption;
    nav.region_lines = current.region_lines;
    nav.region_codes = current.region_codes;
    nav.region_code = current.region_code;
    nav.selection_text = current.selection_text;
    nav.cycle_name = current.cycle_name;
    // Until a selection sets them, the same box, extent and centre.
    nav.box_lat_min = current.box_lat_min;
    nav.box_lat_max = current.box_lat_max;
    nav.box_lon_min = current.box_lon_min;
    nav.box_lon_max = current.box_lon_max;
    nav.wpt_lat_min = current.wpt_lat_min;
    nav.wpt_lat_max = current.wpt_lat_max;
    nav.wpt_lon_min = current.wpt_lon_min;
    nav.wpt_lon_max = current.wpt_lon_max;
    nav.centre_lat = current.centre_lat;
    nav.centre_lon = current.centre_lon;
}

void SelectionDraft::commit(NavState& current, MapView& current_view, SelectionView& shown_lists,
                            MemoSink& shown_memo, bool geography) {
    NavState& n = current;
    n.airports = std::move(nav.airports);
    n.runways = std::move(nav.runways);
    n.vors = std::move(nav.vors);
    n.ndbs = std::move(nav.ndbs);
    n.waypoints = std::move(nav.waypoints);
    n.sids = std::move(nav.sids);
    n.stars = std::move(nav.stars);
    n.airways = std::move(nav.airways);
    if (geography) n.geo_lines = std::move(nav.geo_lines);
    n.box_lat_min = nav.box_lat_min;
    n.box_lat_max = nav.box_lat_max;
    n.box_lon_min = nav.box_lon_min;
    n.box_lon_max = nav.box_lon_max;
    n.wpt_lat_min = nav.wpt_lat_min;
    n.wpt_lat_max = nav.wpt_lat_max;
    n.wpt_lon_min = nav.wpt_lon_min;
    n.wpt_lon_max = nav.wpt_lon_max;
    n.centre_lat = nav.centre_lat;
    n.centre_lon = nav.centre_lon;
    n.selection_text = nav.selection_text;

    current_view.nm_per_deg_lat = view.nm_per_deg_lat;
    current_view.nm_per_deg_lon = view.nm_per_deg_lon;
    current_view.range_nm = view.range_nm;
    current_view.px_per_nm = view.px_per_nm;
    current_view.ring_step_nm = view.ring_step_nm;

    lists.replay(shown_lists);
    for (const std::string& line : memo.lines) shown_memo.add_line(line);
    memo.lines.clear();
}

std::unordered_map<std::string, std::string> procedure_point_idents(Query& query,
                                                                    const NavState& nav) {
    std::vector<std::string> missing;
    for (const auto* table : {&nav.sids, &nav.stars})
        for (const ROUTE& r : *table)
            for (const t_leg& l : r.legs)
                if (!l.wptid.empty() && nav.waypoints.ids.find(l.wptid) < 0)
                    missing.push_back(l.wptid);
    std::unordered_map<std::string, std::string> idents;
    for (size_t from = 0; from < missing.size(); from += 200) {
        std::string list;
        for (size_t i = from; i < std::min(missing.size(), from + 200); ++i) {
            if (!list.empty()) list += ',';
            list += quoted(missing[i]);
        }
        query.set_sql({"select waypoints.ID,waypoints.ident", "from waypoints",
                       "where waypoints.ID in (" + list + ")"});
        query.open();
        query.first();
        const int f_id = query.field_index("ID"), f_ident = query.field_index("ident");
        for (; !query.eof(); query.next()) idents.emplace(query.text(f_id), query.text(f_ident));
        query.close();
        query.clear_sql();
    }
    return idents;
}

void box_from_waypoint_extent(NavState& nav) {
    nav.box_lat_max = nav.wpt_lat_max;
    nav.box_lat_min = nav.wpt_lat_min;
    nav.box_lon_max = nav.wpt_lon_max;
    nav.box_lon_min = nav.wpt_lon_min;
}

}  // namespace karvel
