#include "selection/statements.h"

#include <algorithm>

#include "core/numtext.h"

namespace karvel {
namespace {

const char* const kSelectAirports = "select airports.ID,name,ICAO,latitude,longtitude";
const char* const kSelectNavaids =
    "select navaids.ID,navaids.ident,navaids.type,navaidtypes.desc,name,freq,latitude,longtitude";
const char* const kSelectWaypoints = "select waypoints.ID,waypoints.ident,name,latitude,longtitude";
const char* const kSelectRunways =
    "select runways.ID,runways.airportID,airports.name,runways.ident,runways.trueheading,"
    "runways.latitude,runways.longtitude";
const char* const kSelectIls =
    "select ILSes.ID,ILSes.runwayID,ILSes.ident,ILSes.freq,ILSes.latitude,ILSes.longtitude";
const char* const kSelectTerminals =
    "select Terminals.ID,Terminals.airportID,Terminals.ICAO,Terminals.proc,Terminals.name,"
    "Terminals.rwyid";
const char* const kSelectLegs[3] = {
    "select terminallegs.ID,terminallegs.terminalid,terminallegs.type,terminallegs.transition,"
    "terminallegs.trackcode,terminallegs.wptid,terminallegs.wptLat,terminallegs.wptLon,",
    "terminallegs.turndir,terminallegs.navid,terminallegs.navlat,terminallegs.navlon,"
    "terminallegs.navbear,terminallegs.navdist,",
    "terminallegs.course,terminallegs.distance,terminallegs.centerid,terminallegs.centerlat,"
    "terminallegs.centerlon"};
const char* const kSelectAirways =
    "select airwaylegs.ID,airwaylegs.airwayid,airways.ident,airwaylegs.waypoint1ID,"
    "airwaylegs.waypoint2ID";

// The four box conditions on one table's position.
void add_box(Statement& s, const std::string& table, const BoxTexts& b, bool first_is_where) {
    s.push_back((first_is_where ? "where " : "and ") + table + ".latitude>=" + b.lat_min);
    s.push_back("and " + table + ".latitude<=" + b.lat_max);
    if (b.across_180) {
        s.push_back("and (" + table + ".longtitude>=" + b.lon_min);
        s.push_back("or " + table + ".longtitude<=" + b.lon_max + ")");
        return;
    }
    s.push_back("and " + table + ".longtitude>=" + b.lon_min);
    s.push_back("and " + table + ".longtitude<=" + b.lon_max);
}

Statement legs_head() {
    return {kSelectLegs[0], kSelectLegs[1], kSelectLegs[2]};
}

}  // namespace

BoxTexts box_texts(double lat_min, double lat_max, double lon_min, double lon_max) {
    // Past a pole there is nothing more to select.
    lat_min = std::max(lat_min, -90.0);
    lat_max = std::min(lat_max, 90.0);
    BoxTexts t{format_fixed(lat_min, 6, 8), format_fixed(lat_max, 6, 8),
               format_fixed(lon_min, 6, 9), format_fixed(lon_max, 6, 9)};
    if (lon_min <= -180 && lon_max >= 180) return t;  // every longitude already
    if (lon_max - lon_min >= 360) {
        t.lon_min = format_fixed(-180, 6, 9);
        t.lon_max = format_fixed(180, 6, 9);
    } else if (lon_max > 180) {  // on to the west side of the antimeridian
        t.across_180 = true;
        t.lon_max = format_fixed(static_cast<long double>(lon_max) - 360, 6, 9);
    } else if (lon_min < -180) {  // on to the east side
        t.across_180 = true;
        t.lon_min = format_fixed(static_cast<long double>(lon_min) + 360, 6, 9);
    }
    return t;
}

std::vector<Statement> in_loader_order(const SelectionStatements& s) {
    return {s.airports, s.navaids, s.waypoints, s.runways, s.ils, s.procedures, s.legs, s.airways};
}

Statement position_statement(const std::string& icao) {
    return {"select airports.latitude,airports.longtitude", "from airports",
            "where airports.ICAO=" + sql_quoted(icao)};
}

SelectionStatements airport_statements(const BoxTexts& b) {
    SelectionStatements s;
    s.airports = {kSelectAirports, "from airports"};
    add_box(s.airports, "airports", b, true);

    s.navaids = {kSelectNavaids, "from navaids,navaidtypes", "where navaids.type=navaidtypes.type"};
    add_box(s.navaids, "navaids", b, false);

    s.waypoints = {kSelectWaypoints, "from waypoints"};
    add_box(s.waypoints, "waypoints", b, true);

    s.runways = {kSelectRunways, "from runways,airports", "where runways.airportid=airports.id"};
    add_box(s.runways, "airports", b, false);

    s.ils = {kSelectIls, "from ILSes,runways,airports", "where runways.id=ILSes.runwayid",
             "and runways.airportid=airports.id"};
    add_box(s.ils, "airports", b, false);

    s.procedures = {kSelectTerminals, "from Terminals,airports",
                    "where terminals.airportid=airports.id"};
    add_box(s.procedures, "airports", b, false);

    s.legs = legs_head();
    s.legs.insert(s.legs.end(), {"from terminallegs,terminals,airports",
                                 "where terminallegs.terminalid=terminals.id",
                                 "and terminals.airportid=airports.id"});
    add_box(s.legs, "airports", b, false);

    s.airways = {kSelectAirways, "from airwaylegs,airways,waypoints",
                 "where airwaylegs.airwayid=airways.id", "and airwaylegs.waypoint1id=waypoints.id"};
    add_box(s.airways, "waypoints", b, false);
    return s;
}

SelectionStatements region_statements(const std::string& code) {
    const std::string like = "and airportlookup.extid like" + sql_quoted(code + "%");
    const std::string navaid_country = "and navaidlookup.country =" + sql_quoted(code);
    const std::string waypoint_country = "and waypointlookup.country =" + sql_quoted(code);
    SelectionStatements s;
    s.airports = {kSelectAirports, "from airports,airportlookup",
                  "where airports.id=airportlookup.id", like};
    s.navaids = {kSelectNavaids, "from navaids,navaidlookup,NavaidTypes",
                 "where navaids.id=navaidlookup.id", "and navaids.type=navaidtypes.type",
                 navaid_country};
    s.waypoints = {kSelectWaypoints, "from waypoints,waypointlookup",
                   "where waypoints.id=waypointlookup.id", waypoint_country};
    s.runways = {kSelectRunways, "from runways,airportlookup,airports",
                 "where runways.airportid=airports.id", "and airports.id=airportlookup.id", like};
    s.ils = {kSelectIls,
             "from ILSes,runways,airportlookup,airports",
             "where runways.id=ILSes.runwayid",
             "and runways.airportid=airports.id",
             "and airports.id=airportlookup.id",
             like};
    s.procedures = {kSelectTerminals, "from Terminals,airportlookup,airports",
                    "where terminals.airportid=airports.id", "and airports.id=airportlookup.id",
                    like};
    s.legs = legs_head();
    s.legs.insert(s.legs.end(), {"from terminallegs,terminals,airports,airportlookup",
                                 "where terminallegs.terminalid=terminals.id",
                                 "and terminals.airportid=airports.id",
                                 "and airports.id=airportlookup.id", like});
    s.airways = {kSelectAirways,
                 "from airwaylegs,airways,waypoints,waypointlookup",
                 "where airwaylegs.airwayid=airways.id",
                 "and airwaylegs.waypoint1id=waypoints.id",
                 "and waypoints.id=waypointlookup.id",
                 waypoint_country};
    return s;
}

}  // namespace karvel
