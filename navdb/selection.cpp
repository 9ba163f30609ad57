#include "navdb/selection.h"

#include <functional>

#include "app/error.h"
#include "app/numtext.h"

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
    const auto ref_lat = static_cast<float>(q.as_float("latitude"));
    const auto ref_lon = static_cast<float>(q.as_float("longtitude"));
    q.close();
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
        nav.centre_lon =
            static_cast<double>((static_cast<long double>(nav.wpt_lon_max) + nav.wpt_lon_min) / 2);
        reset_view_for_region(view, nav.centre_lat);
        ctx.scale = plane_of(view);
    };
    // Centre, plane and view follow from the waypoint extent, which no later
    // statement changes: set once, before the procedure paths are built.
    run_loaders(ctx, region_statements(code), centre_from_waypoints);
}

void box_from_waypoint_extent(NavState& nav) {
    nav.box_lat_max = nav.wpt_lat_max;
    nav.box_lat_min = nav.wpt_lat_min;
    nav.box_lon_max = nav.wpt_lon_max;
    nav.box_lon_min = nav.wpt_lon_min;
}

}  // namespace karvel
