#include "procedures/leg_lists.h"

#include "core/numtext.h"

namespace karvel {
namespace {

std::string F5(double x) {
    return format_fixed(x, 5, 8);
}

// A whole number in `width` characters, a tie going away from zero.
std::string W(float x, int width) {
    return format_fixed(x, 0, width);
}

std::string waypoint_ident(const NavTables& nav, const std::string& id) {
    const int p = nav.waypoints.ids().find(id);
    return p < 0 ? std::string() : nav.waypoints[static_cast<size_t>(p)].ident;
}

}  // namespace

std::string leg_item(const NavTables& nav, const t_leg& leg) {
    std::string fix = waypoint_ident(nav, leg.wptid);
    if (fix.empty()) fix = "( " + F5(leg.wptlat) + ", " + F5(leg.wptlon) + ")";

    const std::string turn = leg.turndir.empty() ? "" : "turn " + leg.turndir;

    std::string navaid;
    if (const int p = nav.vors.ids().find(leg.navid); p >= 0) {
        const std::string& ident = nav.vors[static_cast<size_t>(p)].ident;
        if (!ident.empty()) navaid = "navaid:" + ident;
    }

    // A value counts as present when its single-precision form is not 0.
    const auto navdist = static_cast<float>(leg.navdist);
    const auto course = static_cast<float>(leg.course);
    const auto distance = static_cast<float>(leg.distance);
    const std::string dme = navdist != 0 ? W(navdist, 4) + "nm" : "";
    const std::string crs = course != 0 ? W(course, 3) + "\xB0" : "";
    const std::string dist = distance != 0 ? W(distance, 4) + "nm" : "";

    const std::string centre_ident = waypoint_ident(nav, leg.centerid);
    const std::string centre = centre_ident.empty() ? "" : "center:" + centre_ident;

    return leg.trackcode + " " + fix + " " + turn + " " + navaid + " " + dme + " " + crs + " " +
           dist + " " + centre + " transition:" + leg.transition;
}

std::string segment_item(const LINE& l) {
    return F5(l.lat1) + ":" + F5(l.lon1) + " / " + F5(l.lat2) + ":" + F5(l.lon2);
}

Inspection inspect_procedure(const NavTables& nav, const ROUTE& route) {
    Inspection out;
    out.legs.reserve(route.legs.size());
    for (const t_leg& leg : route.legs) out.legs.push_back(leg_item(nav, leg));
    out.segments.reserve(route.lines.size());
    for (const LINE& l : route.lines) out.segments.push_back(l.transition + " " + segment_item(l));
    return out;
}

std::vector<std::string> inspect_airway(const ROUTE& airway) {
    std::vector<std::string> out;
    out.reserve(airway.lines.size());
    for (const LINE& l : airway.lines) out.push_back(segment_item(l));
    return out;
}

}  // namespace karvel
