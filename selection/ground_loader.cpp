#include "selection/ground_loader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/ground.h"
#include "core/numtext.h"
#include "selection/loaders.h"

namespace karvel {

namespace {

void read_shapes(Query& q, const std::string& icao, Ground& ground) {
    q.set_sql({"select ID,kind,code,name from groundshapes", "where airport=" + sql_quoted(icao),
               "order by ID"});
    q.open();
    const int f_id = q.field_index("ID"), f_kind = q.field_index("kind"),
              f_code = q.field_index("code"), f_name = q.field_index("name");
    std::unordered_map<std::string, size_t> at;
    const size_t first = ground.shapes.size();
    for (q.first(); !q.eof(); q.next()) {
        const auto kind = ground_kind_from_text(q.text(f_kind));
        // A kind of a later version; an ID that is no number (a hostile
        // database) would become SQL.
        if (!kind || !is_sql_integer(q.text(f_id))) continue;
        GroundShape s;
        s.id = icao + ":" + q.text(f_id);
        s.airport = icao;
        s.kind = *kind;
        s.code = q.integer(f_code);
        s.name = q.text(f_name);
        at.emplace(q.text(f_id), ground.shapes.size());
        ground.shapes.append(std::move(s));
    }
    q.close();
    q.clear_sql();
    if (ground.shapes.size() == first) return;
    // The points of the airport's shapes in one statement: its IDs run on
    // from the first to the last.
    const std::string from = ground.shapes[first].id.substr(icao.size() + 1),
                      to = ground.shapes[ground.shapes.size() - 1].id.substr(icao.size() + 1);
    q.set_sql({"select shapeID,ring,latitude,longtitude from groundpoints",
               "where shapeID>=" + from + " and shapeID<=" + to, "order by shapeID,ring,seq"});
    q.open();
    const int f_shape = q.field_index("shapeID"), f_ring = q.field_index("ring"),
              f_lat = q.field_index("latitude"), f_lon = q.field_index("longtitude");
    // The number of each shape's last ring: the rows come by ring, and a
    // new number starts the next one (a damaged database's gaps left out).
    std::vector<long long> last(ground.shapes.size(), -1);
    for (q.first(); !q.eof(); q.next()) {
        const auto it = at.find(q.text(f_shape));
        const int ring = q.integer(f_ring);
        // A point off the globe (a damaged database) is no point of the shape.
        if (it == at.end() || ring < 0 || !on_globe(q.real(f_lat), q.real(f_lon))) continue;
        std::vector<t_point>& rings = ground.shapes[it->second].rings;
        if (ring < last[it->second]) continue;
        if (ring > last[it->second]) {
            last[it->second] = ring;
            rings.emplace_back();
        }
        rings.back().push_back({q.real(f_lat), q.real(f_lon)});
    }
    q.close();
    q.clear_sql();
}

void read_stands(Query& q, const std::string& icao, Ground& ground) {
    q.set_sql({"select ID,name,kind,heading,latitude,longtitude from groundstands",
               "where airport=" + sql_quoted(icao), "order by ID"});
    q.open();
    const int f_id = q.field_index("ID"), f_name = q.field_index("name"),
              f_kind = q.field_index("kind"), f_heading = q.field_index("heading"),
              f_lat = q.field_index("latitude"), f_lon = q.field_index("longtitude");
    for (q.first(); !q.eof(); q.next())
        if (on_globe(q.real(f_lat), q.real(f_lon)) && std::isfinite(q.real(f_heading)))
            ground.stands.append({.id = icao + ":" + q.text(f_id),
                                  .airport = icao,
                                  .name = q.text(f_name),
                                  .kind = q.text(f_kind),
                                  .latitude = q.real(f_lat),
                                  .longitude = q.real(f_lon),
                                  .heading = q.real(f_heading)});
    q.close();
    q.clear_sql();
}

void read_taxiway_names(Query& q, const std::string& icao, Ground& ground) {
    q.set_sql({"select name,kind,latitude,longtitude from groundnames",
               "where airport=" + sql_quoted(icao), "order by rowid"});
    q.open();
    const int f_name = q.field_index("name"), f_kind = q.field_index("kind"),
              f_lat = q.field_index("latitude"), f_lon = q.field_index("longtitude");
    for (q.first(); !q.eof(); q.next())
        if (on_globe(q.real(f_lat), q.real(f_lon)) && !q.text(f_name).empty())
            ground.taxiways.push_back({.id = {},
                                       .airport = icao,
                                       .name = q.text(f_name),
                                       .kind = q.text(f_kind),
                                       .latitude = q.real(f_lat),
                                       .longitude = q.real(f_lon)});
    q.close();
    q.clear_sql();
}

}  // namespace

Ground read_ground(Query& query, const std::vector<std::string>& icaos,
                   std::vector<std::string>& without, bool taxiway_names) {
    Ground ground;
    ground.airports = icaos;
    for (const std::string& icao : icaos) {
        const size_t shapes = ground.shapes.size(), stands = ground.stands.size();
        read_shapes(query, icao, ground);
        read_stands(query, icao, ground);
        if (taxiway_names) read_taxiway_names(query, icao, ground);
        if (ground.shapes.size() == shapes && ground.stands.size() == stands)
            without.push_back(icao);
    }
    return ground;
}

}  // namespace karvel
