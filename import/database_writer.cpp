// The navigation database written from X-Plane records, in the schema of
// navdb/sample/schema.sql.
#include "import/database_writer.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "import/places.h"
#include "import/procedure_writer.h"
#include "import/schema_sql.h"
#include "import/sqlite_writer.h"

namespace karvel::xplane {

namespace {

void write_airports(Db& db, const NavData& d, Written& w, const Report& report) {
    w.airport_regions.reserve(d.airports.size());
    for (const AirportRec& a : d.airports)
        w.airport_regions.push_back(!a.region.empty() ? a.region : a.icao.substr(0, 2));
    Insert airport(db,
                   "INSERT INTO airports (ID, ICAO, name, latitude, longtitude, elevation) VALUES "
                   "(?, ?, ?, ?, ?, ?)");
    Insert alook(db, "INSERT INTO airportlookup (id, extid) VALUES (?, ?)");
    Insert runway(db,
                  "INSERT INTO runways (ID, airportID, ident, trueheading, latitude, longtitude, "
                  "length) VALUES (?, ?, ?, ?, ?, ?, ?)");
    long long rid = 0;
    for (size_t i = 0; i < d.airports.size(); ++i) {
        const AirportRec& a = d.airports[i];
        const long long id = static_cast<long long>(i) + 1;
        w.airport_at.try_emplace(upper_ascii(a.icao), i);
        airport(id)(a.icao)(a.name)(a.lat)(a.lon)(a.elevation).run();
        // The lookup text begins with the region code.
        const std::string& region = w.airport_regions[i];
        alook(id)(upper_ascii(a.icao).rfind(upper_ascii(region), 0) == 0 ? a.icao : region + a.icao)
            .run();
        for (const RunwayEnds& r : a.runways) {
            const long long length =
                std::llround(great_circle_nm(r.lat1, r.lon1, r.lat2, r.lon2) * 1852);
            runway(++rid)(id)(r.ident1)(static_cast<double>(
                initial_bearing(r.lat1, r.lon1, r.lat2, r.lon2)))(r.lat1)(r.lon1)(length)
                .run();
            w.runway_ends.try_emplace(upper_ascii(a.icao) + "|" + upper_ascii(r.ident1),
                                      Written::RunwayEnd{rid, {r.lat1, r.lon1}});
            runway(++rid)(id)(r.ident2)(static_cast<double>(
                initial_bearing(r.lat2, r.lon2, r.lat1, r.lon1)))(r.lat2)(r.lon2)(length)
                .run();
            w.runway_ends.try_emplace(upper_ascii(a.icao) + "|" + upper_ascii(r.ident2),
                                      Written::RunwayEnd{rid, {r.lat2, r.lon2}});
        }
    }
    report(std::to_string(d.airports.size()) + w1252(" aéroports, ") + std::to_string(rid) +
           " bouts de piste");
}

void write_navaids(Db& db, const NavData& d, Written& w, const NearestRegion& nearest,
                   const Report& report) {
    Insert ils(db,
               "INSERT INTO ILSes (ID, runwayID, ident, freq, latitude, longtitude) VALUES (?, ?, "
               "?, ?, ?, ?)");
    long long ils_count = 0;
    for (const LocaliserRec& l : d.localisers) {
        const auto it = w.runway_ends.find(upper_ascii(l.airport) + "|" + upper_ascii(l.runway));
        if (it == w.runway_ends.end()) continue;  // a runway the airport file does not have
        ils(++ils_count)(it->second.id)(l.ident)(l.freq)(l.lat)(l.lon).run();
    }
    Insert navaid(db,
                  "INSERT INTO navaids (ID, ident, type, name, freq, latitude, longtitude) VALUES "
                  "(?, ?, ?, ?, ?, ?, ?)");
    Insert nlook(db, "INSERT INTO navaidlookup (id, country) VALUES (?, ?)");
    w.navaid_regions.reserve(d.navaids.size());
    for (size_t i = 0; i < d.navaids.size(); ++i) {
        const NavaidRec& n = d.navaids[i];
        const long long id = static_cast<long long>(i) + 1;
        w.navaid_regions.push_back(!n.region.empty() ? n.region : nearest(n.lat, n.lon));
        navaid(id)(n.ident)(n.type)(n.name)(n.freq)(n.lat)(n.lon).run();
        nlook(id)(w.navaid_regions.back()).run();
    }
    report(std::to_string(d.navaids.size()) + " balises, " + std::to_string(ils_count) + " ILS");
}

// Airways: an end that is a navaid becomes a waypoint of its own too.
void write_fixes_and_airways(Db& db, const NavData& d, Written& w, Waypoints& waypoints,
                             const NearestRegion& nearest, const Report& report) {
    w.fix_regions.reserve(d.fixes.size());
    for (const FixRec& f : d.fixes) {
        w.fix_regions.push_back(!f.region.empty() ? f.region : nearest(f.lat, f.lon));
        waypoints.add(f.ident, f.name, w.fix_regions.back(), f.lat, f.lon);
    }
    std::unordered_map<std::string, size_t> navaid_at;  // "ident|region"
    for (size_t i = 0; i < d.navaids.size(); ++i)
        navaid_at.try_emplace(
            upper_ascii(d.navaids[i].ident) + "|" + upper_ascii(w.navaid_regions[i]), i);

    Insert airway(db, "INSERT INTO airways (id, ident) VALUES (?, ?)");
    Insert leg(db,
               "INSERT INTO airwaylegs (ID, airwayid, waypoint1ID, waypoint2ID, level) VALUES (?, "
               "?, ?, ?, ?)");
    std::unordered_map<std::string, long long> airway_ids;
    // A segment listed once a level (low, high) is one segment of its airway,
    // of both levels; segments keep the order they first come in.
    struct Segment {
        long long airway, a, b;
        int levels;  // 1 low, 2 high, 3 both, 0 not said
    };
    std::vector<Segment> segments;
    std::map<std::tuple<long long, long long, long long>, size_t> segment_at;
    long long legs = 0, skipped = 0;
    auto end_id = [&](const std::string& ident, const std::string& region, int type,
                      bool positioned, double lat, double lon) -> long long {
        if (positioned) return waypoints.at(ident, ident, nearest(lat, lon), lat, lon);
        if (auto it = w.wpt_ids.find(upper_ascii(ident) + "|" + upper_ascii(region));
            it != w.wpt_ids.end() && type == 11)
            return it->second;
        if (type == 2 || type == 3) {
            const auto n = navaid_at.find(upper_ascii(ident) + "|" + upper_ascii(region));
            if (n == navaid_at.end()) return -1;
            const NavaidRec& r = d.navaids[n->second];
            return waypoints.at(ident, r.name, region, r.lat, r.lon);
        }
        return -1;
    };
    for (const AirwaySegment& s : d.airways) {
        const long long a = end_id(s.ident1, s.region1, s.type1, s.has_positions, s.lat1, s.lon1);
        const long long b = end_id(s.ident2, s.region2, s.type2, s.has_positions, s.lat2, s.lon2);
        if (a < 0 || b < 0) {
            ++skipped;  // an end no file places
            continue;
        }
        auto [it, added] = airway_ids.try_emplace(upper_ascii(s.name),
                                                  static_cast<long long>(airway_ids.size()) + 1);
        if (added) airway(it->second)(s.name).run();
        const int level = s.level == 1 || s.level == 2 ? s.level : 0;
        const auto [at, fresh] = segment_at.try_emplace(
            std::make_tuple(it->second, std::min(a, b), std::max(a, b)), segments.size());
        if (fresh)
            segments.push_back({it->second, a, b, level});
        else
            segments[at->second].levels |= level;
    }
    for (const Segment& g : segments) {
        static const char* const names[] = {"", "low", "high", "both"};
        leg(++legs)(g.airway)(g.a)(g.b).text(names[g.levels]).run();
    }
    report(std::to_string(d.fixes.size()) + " points, " + std::to_string(airway_ids.size()) +
           " airways (" + std::to_string(legs) + w1252(" segments") +
           (skipped ? ", " + std::to_string(skipped) + w1252(" sans position, laissés")
                    : std::string()) +
           ")");
}

void fill(Db& db, const NavData& d, const Report& report) {
    Insert config(db, "INSERT INTO config (key, val) VALUES (?, ?)");
    config(std::string("CycleName"))(d.cycle).run();
    config(std::string("Provider"))(std::string("X-Plane navdata (karvel-import)")).run();
    Insert types(db, "INSERT INTO navaidtypes (type, desc) VALUES (?, ?)");
    const char* names[] = {"VOR", "VOR-DME", "VORTAC", "DME", "NDB", "TACAN", "NDB-DME"};
    for (int i = 0; i < 7; ++i) types(i + 1)(std::string(names[i])).run();

    Written w;
    write_airports(db, d, w, report);
    const NearestRegion nearest(d.airports, w.airport_regions);
    write_navaids(db, d, w, nearest, report);
    Waypoints waypoints(db, w);
    write_fixes_and_airways(db, d, w, waypoints, nearest, report);
    write_procedures(db, d, w, waypoints, report);
}

}  // namespace

void write_database(const NavData& data, const std::string& path,
                    const std::function<void(const std::string&)>& report) {
    struct stat st {};
    if (::stat(resolve_links(path).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw Error(w1252("\"") + path_text(path) + w1252("\" n'est pas un fichier ordinaire"));
    // Written under a temporary name of its own (two imports never share
    // one), put in place by the rules of every file the program writes, and
    // removed whatever step fails or if the import is interrupted.
    remove_temporary_files_on_signals();
    OutputFiles files;
    const std::string temp = files.add_to_fill(path);
    {
        Db db(temp);
        db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
        // Tables first, the indexes once the rows are in.
        const std::string schema = kSchemaSql;
        const size_t indexes = schema.find("CREATE INDEX");
        db.exec(schema.substr(0, indexes));
        db.exec("BEGIN");
        fill(db, data, report);
        db.exec("COMMIT");
        if (indexes != std::string::npos) db.exec(schema.substr(indexes));
    }
    files.commit();
}

}  // namespace karvel::xplane
