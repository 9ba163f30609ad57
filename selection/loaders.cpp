#include "selection/loaders.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/numtext.h"

namespace karvel {
namespace {

// Frame steps 1 to 3: open, clear the lists, size the progress bar.
void begin(LoadContext& ctx, const Statement& sql, std::initializer_list<List> lists) {
    ctx.query.set_sql(sql);
    ctx.query.open();
    ctx.query.first();
    for (List l : lists) ctx.view.clear_list(l);
    ctx.progress.set_maximum(ctx.query.record_count());
    ctx.progress.set_position(0);
}

void finish(LoadContext& ctx) {
    ctx.query.close();
    ctx.query.clear_sql();
}

template <class Records, class F>
std::vector<std::string> items_of(const Records& table, F&& text) {
    std::vector<std::string> items;
    items.reserve(table.size());
    for (const auto& r : table) items.push_back(text(r));
    return items;
}

void show(LoadContext& ctx, List list, std::vector<std::string> items, size_t count,
          const char* suffix) {
    ctx.view.set_count_label(list, std::to_string(count) + suffix);
    ctx.view.add_items(list, items);
}

std::string navaid_item(const VOR& v, const std::string& label) {
    return label + " " + v.freq + " (" + v.desc + ")";
}

// Waypoints on both sides of the antimeridian (Fiji, the Aleutians) lie
// within a narrow band that runs across 180 degrees, not within the width of
// the globe: the extent becomes that band, its east edge past 180. Any other
// extent stays the smallest and largest longitude.
void extent_across_180(std::vector<double>& longitudes, double& lon_min, double& lon_max) {
    if (longitudes.size() < 2 || !(lon_max - lon_min > 180)) return;
    std::sort(longitudes.begin(), longitudes.end());
    double widest = 360 - (lon_max - lon_min);  // the gap across the antimeridian
    size_t after = 0;
    for (size_t i = 1; i < longitudes.size(); ++i)
        if (longitudes[i] - longitudes[i - 1] > widest) {
            widest = longitudes[i] - longitudes[i - 1];
            after = i;
        }
    if (after == 0) return;
    const double west = longitudes[after - 1];
    lon_min = longitudes[after];
    lon_max = west + 360;
}

// The level of each loaded airway segment, where the database knows it
// ('low', 'high', 'both'); the others stay unknown.
template <class Placed>
void load_airway_levels(LoadContext& ctx, const std::unordered_map<std::string, Placed>& by_leg) {
    Query& q = ctx.query;
    q.set_sql({"select airwaylegs.ID,airwaylegs.level", "from airwaylegs",
               "where airwaylegs.level is not null"});
    q.open();
    q.first();
    const int f_id = q.field_index("ID"), f_level = q.field_index("level");
    for (; !q.eof(); q.next()) {
        const auto it = by_leg.find(q.text(f_id));
        if (it == by_leg.end()) continue;
        const std::string level = q.text(f_level);
        ctx.nav.airways[it->second.airway].lines[it->second.line].level = airway_level(level);
    }
    finish(ctx);
}

}  // namespace

bool on_globe(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

bool keep_on_globe(LoadContext& ctx, const std::string& record, double latitude, double longitude,
                   std::initializer_list<double> values) {
    bool finite = true;
    for (const double v : values) finite = finite && std::isfinite(v);
    if (finite && on_globe(latitude, longitude)) return true;
    if (++ctx.off_globe_count <= 20) ctx.off_globe.push_back(record);
    return false;
}

std::string frequency_text(int32_t coded) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%07X", static_cast<uint32_t>(coded));
    const int32_t digits = str_to_int(hex);  // a letter is a conversion error
    const float mhz = static_cast<float>(digits) / 10000.0f;
    return format_fixed(mhz, 3, 6);
}

void load_airports(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {List::airports});
    nav.airports.reset();
    nav.airports.reserve(static_cast<size_t>(q.record_count()));
    const int f_id = q.field_index("ID"), f_name = q.field_index("name"),
              f_icao = q.field_index("ICAO"), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude");
    for (int i = 0; !q.eof(); ++i, q.next()) {
        Airport a;
        a.id = q.text(f_id);
        a.name = q.text(f_name);
        a.icao = q.text(f_icao);
        a.latitude = q.real(f_lat);
        a.longitude = q.real(f_lon);
        if (keep_on_globe(ctx, "airport " + a.icao, a.latitude, a.longitude))
            nav.airports.append(std::move(a));
        ctx.progress.set_position(i);
    }
    finish(ctx);
    show(ctx, List::airports,
         items_of(nav.airports, [](const Airport& a) { return a.icao + ":" + a.name; }),
         nav.airports.size(), " airports");
}

void load_navaids(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {List::vor, List::ndb});
    nav.vors.reset();
    nav.ndbs.reset();
    const int f_type = q.field_index("type"), f_id = q.field_index("ID"),
              f_ident = q.field_index("ident"), f_name = q.field_index("name"),
              f_desc = q.field_index("desc"), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude"), f_freq = q.field_index("freq");
    for (int i = 0; !q.eof(); ++i, q.next()) {
        const int32_t type = str_to_int(q.text(f_type));
        VOR v;
        v.id = q.text(f_id);
        v.ident = q.text(f_ident);
        v.name = q.text(f_name);
        v.desc = q.text(f_desc);
        v.latitude = q.real(f_lat);
        v.longitude = q.real(f_lon);
        v.freq = frequency_text(q.integer(f_freq));
        if (keep_on_globe(ctx, (is_ndb(type) ? "NDB " : "VOR ") + v.ident, v.latitude, v.longitude))
            (is_ndb(type) ? nav.ndbs : nav.vors).append(std::move(v));
        ctx.progress.set_position(i);
    }
    finish(ctx);
    auto item = [](const VOR& v) { return navaid_item(v, v.name); };
    show(ctx, List::vor, items_of(nav.vors, item), nav.vors.size(), " VOR");
    show(ctx, List::ndb, items_of(nav.ndbs, item), nav.ndbs.size(), " NDB");
}

void load_waypoints(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {List::waypoints});
    nav.waypoints.reset();
    nav.waypoints.reserve(static_cast<size_t>(q.record_count()));
    const int f_id = q.field_index("ID"), f_ident = q.field_index("ident"),
              f_name = q.field_index("name"), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude");
    // The extent starts at the first row (0 for an empty result), or at the
    // first on the globe.
    GeoBox& extent = ctx.frame.extent;
    extent.lat_max = extent.lat_min = q.real(f_lat);
    extent.lon_max = extent.lon_min = q.real(f_lon);
    bool extent_begun = on_globe(extent.lat_max, extent.lon_max);
    std::vector<double> longitudes;
    longitudes.reserve(static_cast<size_t>(q.record_count()));
    for (int i = 0; !q.eof(); ++i, q.next()) {
        FIXE w;
        w.id = q.text(f_id);
        w.ident = q.text(f_ident);
        w.name = q.text(f_name);
        w.latitude = q.real(f_lat);
        w.longitude = q.real(f_lon);
        w.selected = true;
        if (!keep_on_globe(ctx, "waypoint " + w.ident, w.latitude, w.longitude)) {
            ctx.progress.set_position(i);
            continue;
        }
        if (!extent_begun) {
            extent.lat_max = extent.lat_min = w.latitude;
            extent.lon_max = extent.lon_min = w.longitude;
            extent_begun = true;
        }
        extent.lat_max = std::max(w.latitude, extent.lat_max);
        extent.lat_min = std::min(w.latitude, extent.lat_min);
        extent.lon_max = std::max(w.longitude, extent.lon_max);
        extent.lon_min = std::min(w.longitude, extent.lon_min);
        longitudes.push_back(w.longitude);
        nav.waypoints.append(std::move(w));
        ctx.progress.set_position(i);
    }
    finish(ctx);
    extent_across_180(longitudes, extent.lon_min, extent.lon_max);
    show(ctx, List::waypoints, items_of(nav.waypoints, [](const FIXE& w) { return w.name; }),
         nav.waypoints.size(), " Wayoints");
}

void load_runways(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {});
    nav.runways.reset();
    const int f_airport = q.field_index("airportID"), f_ident = q.field_index("ident"),
              f_id = q.field_index("ID"), f_name = q.field_index("name"),
              f_heading = q.field_index("trueheading"), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude");
    // A row can only pair with records of its own airport; they are compared
    // in table order, as a scan of the whole table would, and the first whose
    // end is still alone takes it: an end already paired is never paired
    // again, so two runways with the same numbers keep their own ends.
    std::unordered_map<std::string, std::vector<int>> by_airport;
    for (int i = 0; !q.eof(); ++i, q.next()) {
        const std::string a = q.text(f_airport);
        const std::string t = q.text(f_ident);
        if (!keep_on_globe(ctx, "runway " + q.text(f_name) + " " + t, q.real(f_lat), q.real(f_lon),
                           {q.real(f_heading)})) {
            ctx.progress.set_position(i);
            continue;
        }
        bool paired = false;
        auto& same_airport = by_airport[a];
        for (int p : same_airport) {
            const RUNWAY& r = nav.runways[static_cast<size_t>(p)];
            if (r.paired() || !idents_pair(t, r.ident1)) continue;
            nav.runways.pair(p, q.text(f_id), t, q.real(f_heading), q.real(f_lat), q.real(f_lon));
            paired = true;
            break;
        }
        if (!paired) {
            RUNWAY r;
            r.id1 = q.text(f_id);
            r.airport_id = a;
            r.airport_name = q.text(f_name);
            r.ident1 = t;
            r.heading1 = q.real(f_heading);
            r.lat1 = q.real(f_lat);
            r.lon1 = q.real(f_lon);
            same_airport.push_back(static_cast<int>(nav.runways.size()));
            nav.runways.append(std::move(r));
        }
        ctx.progress.set_position(i);
    }
    finish(ctx);
}

void load_ils(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {});
    const int f_id = q.field_index("ID"), f_ident = q.field_index("ident"),
              f_runway = q.field_index("runwayid"), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude"), f_freq = q.field_index("freq");
    std::vector<std::string> lines;  // appended to the VOR list as they come
    try {
        for (int i = 0; !q.eof(); ++i, q.next()) {
            VOR v;
            v.id = q.text(f_id);
            v.ident = q.text(f_ident);
            v.runway_id = q.text(f_runway);
            v.desc = "ILS";
            v.latitude = q.real(f_lat);
            v.longitude = q.real(f_lon);
            v.freq = frequency_text(q.integer(f_freq));
            if (!keep_on_globe(ctx, "ILS " + v.ident, v.latitude, v.longitude)) {
                ctx.progress.set_position(i);
                continue;
            }
            if (const int p = nav.runways.ids().find(v.runway_id); p >= 0)
                nav.runways[static_cast<size_t>(p)].ils1 = true;
            if (const int p = nav.runways.ids2().find(v.runway_id); p >= 0)
                nav.runways[static_cast<size_t>(p)].ils2 = true;
            lines.push_back(navaid_item(v, v.ident));
            nav.vors.append_unindexed(std::move(v));
            ctx.progress.set_position(i);
        }
    } catch (...) {
        ctx.view.add_items(List::vor, lines);
        throw;
    }
    finish(ctx);
    ctx.view.add_items(List::vor, lines);
    ctx.view.clear_list(List::runways);
    show(ctx, List::runways,
         items_of(
             nav.runways,
             [&](const RUNWAY& r) {
                 const int a = nav.airports.ids().find(r.airport_id);
                 const std::string icao = a >= 0 ? nav.airports[static_cast<size_t>(a)].icao : "";
                 return icao + ":" + r.ident1 + "-" + r.ident2 + "  " + (r.ils1 ? "(ILS)" : "");
             }),
         nav.runways.size(), " runways");
}

void load_airways(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {List::airways});
    nav.airways.reset();
    const int f_airway = q.field_index("airwayID"), f_ident = q.field_index("ident"),
              f_w1 = q.field_index("waypoint1id"), f_w2 = q.field_index("waypoint2id"),
              f_leg = q.field_index("ID");
    struct Placed {
        size_t airway, line;
    };
    std::unordered_map<std::string, Placed> by_leg;  // airwaylegs.ID of each segment
    for (int i = 0; !q.eof(); ++i, q.next()) {
        const std::string w = q.text(f_airway);
        int p = nav.airways.ids().find(w);
        if (p < 0) {
            ROUTE r;
            r.id = w;
            r.name = q.text(f_ident);
            r.selected = true;
            p = static_cast<int>(nav.airways.size());
            nav.airways.append(std::move(r));
        }
        const int a = nav.waypoints.ids().find(q.text(f_w1));
        const int b = nav.waypoints.ids().find(q.text(f_w2));
        if (a >= 0 && b >= 0) {
            const FIXE& wa = nav.waypoints[static_cast<size_t>(a)];
            const FIXE& wb = nav.waypoints[static_cast<size_t>(b)];
            std::vector<LINE>& lines = nav.airways[static_cast<size_t>(p)].lines;
            if (ctx.airway_levels)
                by_leg.emplace(q.text(f_leg), Placed{static_cast<size_t>(p), lines.size()});
            lines.push_back({std::string(), wa.latitude, wa.longitude, wb.latitude, wb.longitude});
        }
        ctx.progress.set_position(i + 1);
    }
    // The result stays open; the next statement replaces it.
    show(ctx, List::airways, items_of(nav.airways, [](const ROUTE& r) { return r.name; }),
         nav.airways.size(), " airways");
    if (!by_leg.empty()) load_airway_levels(ctx, by_leg);
}

void load_terminals(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {List::stars, List::sids});
    nav.stars.reset();
    nav.sids.reset();
    const int f_proc = q.field_index("proc"), f_id = q.field_index("ID"),
              f_name = q.field_index("name"), f_airport = q.field_index("airportid"),
              f_icao = q.field_index("ICAO"), f_rwy = q.field_index("rwyid");
    for (int i = 0; !q.eof(); ++i, q.next()) {
        const std::string proc = q.text(f_proc);
        const bool star = proc == procedure_code(ProcedureKind::star);
        if (star || proc == procedure_code(ProcedureKind::sid)) {
            ROUTE r;
            r.id = q.text(f_id);
            r.name = q.text(f_name);
            r.airport_id = q.text(f_airport);
            r.icao = q.text(f_icao);
            r.rwy_id = q.text(f_rwy);
            r.selected = true;
            if (star) {
                nav.stars.append(std::move(r));
            } else {
                // The runway end the SID leaves from; a SID whose end is not
                // loaded has no position (not the previous SID's).
                if (const int p = nav.runways.ids().find(r.rwy_id); p >= 0) {
                    r.rwy_lat = nav.runways[static_cast<size_t>(p)].lat1;
                    r.rwy_lon = nav.runways[static_cast<size_t>(p)].lon1;
                    r.has_rwy_position = true;
                } else if (const int p2 = nav.runways.ids2().find(r.rwy_id); p2 >= 0) {
                    r.rwy_lat = nav.runways[static_cast<size_t>(p2)].lat2;
                    r.rwy_lon = nav.runways[static_cast<size_t>(p2)].lon2;
                    r.has_rwy_position = true;
                }
                nav.sids.append(std::move(r));
            }
        }
        ctx.progress.set_position(i);
    }
    finish(ctx);
    auto item = [](const ROUTE& r) { return r.icao + "-" + r.name; };
    ctx.view.set_count_label(List::sids, std::to_string(nav.sids.size()) + " SID");
    ctx.view.set_count_label(List::stars, std::to_string(nav.stars.size()) + " STAR");
    ctx.view.add_items(List::stars, items_of(nav.stars, item));
    ctx.view.add_items(List::sids, items_of(nav.sids, item));
}

void load_terminal_legs(LoadContext& ctx, const Statement& sql) {
    Query& q = ctx.query;
    NavTables& nav = ctx.nav;
    begin(ctx, sql, {});
    const int f_terminal = q.field_index("terminalID"), f_id = q.field_index("ID"),
              f_type = q.field_index("type"), f_transition = q.field_index("transition"),
              f_trackcode = q.field_index("trackcode"), f_wptid = q.field_index("wptid"),
              f_wptlat = q.field_index("wptlat"), f_wptlon = q.field_index("wptlon"),
              f_turndir = q.field_index("turndir"), f_navid = q.field_index("navid"),
              f_navlat = q.field_index("navlat"), f_navlon = q.field_index("navlon"),
              f_navbear = q.field_index("navbear"), f_navdist = q.field_index("navdist"),
              f_course = q.field_index("course"), f_distance = q.field_index("distance"),
              f_centerid = q.field_index("centerid"), f_centerlat = q.field_index("centerlat"),
              f_centerlon = q.field_index("centerlon");
    // A procedure's legs come one after another: the owner found for one
    // terminal ID serves the rows that repeat it.
    std::string last_terminal;
    ROUTE* owner = nullptr;
    for (int i = 0; !q.eof(); ++i, q.next()) {
        std::string terminal = q.text(f_terminal);
        if (i == 0 || terminal != last_terminal) {
            owner = nullptr;
            if (const int p = nav.stars.ids().find(terminal); p >= 0)
                owner = &nav.stars[static_cast<size_t>(p)];
            else if (const int p2 = nav.sids.ids().find(terminal); p2 >= 0)
                owner = &nav.sids[static_cast<size_t>(p2)];
            last_terminal = std::move(terminal);
        }
        if (owner) {
            t_leg l;
            l.id = q.text(f_id);
            l.type = q.text(f_type);
            l.transition = q.text(f_transition);
            bool known = false;
            for (const std::string& t : owner->transitions)
                if (equals_nocase(t, l.transition)) {
                    known = true;
                    break;
                }
            if (!known) owner->transitions.push_back(l.transition);
            l.trackcode = q.text(f_trackcode);
            l.wptid = q.text(f_wptid);
            l.wptlat = q.real(f_wptlat);
            l.wptlon = q.real(f_wptlon);
            l.turndir = q.text(f_turndir);
            l.navid = q.text(f_navid);
            l.navlat = q.real(f_navlat);
            l.navlon = q.real(f_navlon);
            l.navbear = q.real(f_navbear);
            l.navdist = q.real(f_navdist);
            l.course = q.real(f_course);
            l.distance = q.real(f_distance);
            l.centerid = q.text(f_centerid);
            l.centerlat = q.real(f_centerlat);
            l.centerlon = q.real(f_centerlon);
            if (keep_on_globe(ctx, "leg " + owner->name + " " + l.wptid, l.wptlat, l.wptlon,
                              {l.navbear, l.navdist, l.course, l.distance}) &&
                keep_on_globe(ctx, "leg " + owner->name + " " + l.navid, l.navlat, l.navlon) &&
                keep_on_globe(ctx, "leg " + owner->name + " " + l.centerid, l.centerlat,
                              l.centerlon))
                owner->legs.push_back(std::move(l));
        }
        ctx.progress.set_position(i + 1);
    }
    finish(ctx);
    build_procedure_paths(nav, ctx.frame.plane, ctx.memo);
}

}  // namespace karvel
