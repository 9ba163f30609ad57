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
#include "import/ground_writer.h"
#include "import/outline_writer.h"
#include "import/places.h"
#include "import/procedure_writer.h"
#include "import/schema_sql.h"
#include "import/sqlite_writer.h"

namespace karvel::xplane {

namespace {

void write_airports(Db& db, const NavData& d, WrittenPlaces& w, const Report& report) {
    Insert airport(db,
                   "INSERT INTO airports (ID, ICAO, name, latitude, longtitude, elevation) VALUES "
                   "(?, ?, ?, ?, ?, ?)");
    Insert alook(db, "INSERT INTO airportlookup (id, extid) VALUES (?, ?)");
    Insert runway(db,
                  "INSERT INTO runways (ID, airportID, ident, trueheading, latitude, longtitude, "
                  "length) VALUES (?, ?, ?, ?, ?, ?, ?)");
    Insert frequency(db, "INSERT INTO airportfreqs (airportID, kind, khz, name) VALUES (?, ?, ?, ?)");
    long long rid = 0, frequencies = 0;
    for (size_t i = 0; i < d.airports.size(); ++i) {
        const AirportRec& a = d.airports[i];
        const long long id = static_cast<long long>(i) + 1;
        w.add_airport(a.icao, !a.region.empty() ? a.region : a.icao.substr(0, 2));
        airport(id)(a.icao)(a.name)(a.lat)(a.lon)(a.elevation).run();
        // The lookup text begins with the region code.
        const std::string& region = w.airport_regions()[i];
        alook(id)(upper_ascii(a.icao).rfind(upper_ascii(region), 0) == 0 ? a.icao : region + a.icao)
            .run();
        for (const FrequencyRec& f : a.frequencies)
            frequency(id)(static_cast<int>(f.kind))(f.khz)(f.name).run();
        frequencies += static_cast<long long>(a.frequencies.size());
        for (const RunwayEnds& r : a.runways) {
            const long long length =
                std::llround(great_circle_nm(r.lat1, r.lon1, r.lat2, r.lon2) * 1852);
            runway(++rid)(id)(r.ident1)(static_cast<double>(
                initial_bearing(r.lat1, r.lon1, r.lat2, r.lon2)))(r.lat1)(r.lon1)(length)
                .run();
            w.add_runway_end(a.icao, r.ident1, {rid, {r.lat1, r.lon1}});
            runway(++rid)(id)(r.ident2)(static_cast<double>(
                initial_bearing(r.lat2, r.lon2, r.lat1, r.lon1)))(r.lat2)(r.lon2)(length)
                .run();
            w.add_runway_end(a.icao, r.ident2, {rid, {r.lat2, r.lon2}});
        }
    }
    report(std::to_string(d.airports.size()) + w1252(" aéroports, ") + std::to_string(rid) +
           " bouts de piste, " + std::to_string(frequencies) + w1252(" fréquences d'aéroport"));
}

void write_navaids(Db& db, const NavData& d, WrittenPlaces& w, const NearestRegion& nearest,
                   const Report& report) {
    Insert ils(db,
               "INSERT INTO ILSes (ID, runwayID, ident, freq, latitude, longtitude) VALUES (?, ?, "
               "?, ?, ?, ?)");
    long long ils_count = 0;
    for (const LocaliserRec& l : d.localisers) {
        const auto* end = w.runway_end(l.airport, l.runway);
        if (!end) continue;  // a runway the airport file does not have
        ils(++ils_count)(end->id)(l.ident)(l.freq)(l.lat)(l.lon).run();
    }
    Insert navaid(db,
                  "INSERT INTO navaids (ID, ident, type, name, freq, latitude, longtitude) VALUES "
                  "(?, ?, ?, ?, ?, ?, ?)");
    Insert nlook(db, "INSERT INTO navaidlookup (id, country) VALUES (?, ?)");
    for (size_t i = 0; i < d.navaids.size(); ++i) {
        const NavaidRec& n = d.navaids[i];
        const long long id = static_cast<long long>(i) + 1;
        w.add_navaid_region(!n.region.empty() ? n.region : nearest(n.lat, n.lon));
        navaid(id)(n.ident)(static_cast<int>(n.type))(n.name)(n.freq)(n.lat)(n.lon).run();
        nlook(id)(w.navaid_region(i)).run();
    }
    report(std::to_string(d.navaids.size()) + " balises, " + std::to_string(ils_count) + " ILS");
}

void write_fixes(const NavData& d, WrittenPlaces& w, Waypoints& waypoints,
                 const NearestRegion& nearest) {
    for (size_t i = 0; i < d.fixes.size(); ++i) {
        const FixRec& f = d.fixes[i];
        w.add_fix_region(!f.region.empty() ? f.region : nearest(f.lat, f.lon));
        waypoints.add(f.ident, f.name, w.fix_region(i), f.lat, f.lon);
    }
}

// The airways table as it is written: an end that is a navaid becomes a
// waypoint of its own too; a segment listed once a level (low, high) is one
// segment of its airway, of both levels; segments keep the order they first
// come in.
class AirwayWriter {
  public:
    AirwayWriter(Db& db, const NavData& d, const WrittenPlaces& w, Waypoints& waypoints,
                 const NearestRegion& nearest)
        : d_(d),
          waypoints_(waypoints),
          nearest_(nearest),
          airway_(db, "INSERT INTO airways (id, ident) VALUES (?, ?)"),
          leg_(db,
               "INSERT INTO airwaylegs (ID, airwayid, waypoint1ID, waypoint2ID, level) VALUES "
               "(?, ?, ?, ?, ?)") {
        for (size_t i = 0; i < d.navaids.size(); ++i)
            navaid_at_.try_emplace(
                lookup_key(upper_ascii(d.navaids[i].ident), upper_ascii(w.navaid_region(i))), i);
    }

    void add(const AirwaySegment& s) {
        const long long a = end_id(s.ident1, s.region1, s.type1, s.has_positions, s.lat1, s.lon1);
        const long long b = end_id(s.ident2, s.region2, s.type2, s.has_positions, s.lat2, s.lon2);
        if (a < 0 || b < 0) {
            ++skipped_;  // an end no file places
            return;
        }
        auto [it, added] = airway_ids_.try_emplace(upper_ascii(s.name),
                                                   static_cast<long long>(airway_ids_.size()) + 1);
        if (added) airway_(it->second)(s.name).run();
        const int level = s.level == 1 || s.level == 2 ? s.level : 0;
        const auto [at, fresh] = segment_at_.try_emplace(
            std::make_tuple(it->second, std::min(a, b), std::max(a, b)), segments_.size());
        if (fresh)
            segments_.push_back({it->second, a, b, level});
        else
            segments_[at->second].levels |= level;
    }

    // The segments, once every one is known; the report line.
    std::string finish() {
        // Levels as bits: 1 low, 2 high, 3 both, 0 not said.
        static constexpr AirwayLevel kLevels[] = {AirwayLevel::unknown, AirwayLevel::low,
                                                  AirwayLevel::high, AirwayLevel::both};
        long long legs = 0;
        for (const Segment& g : segments_)
            leg_(++legs)(g.airway)(g.a)(g.b).text(airway_level_text(kLevels[g.levels])).run();
        return std::to_string(airway_ids_.size()) + " airways (" + std::to_string(legs) +
               w1252(" segments") +
               (skipped_ ? ", " + std::to_string(skipped_) + w1252(" sans position, laissés")
                         : std::string()) +
               ")";
    }

  private:
    struct Segment {
        long long airway, a, b;
        int levels;
    };

    long long end_id(const std::string& ident, const std::string& region, int type, bool positioned,
                     double lat, double lon) {
        if (positioned) return waypoints_.at(ident, ident, nearest_(lat, lon), lat, lon);
        if (const long long id = waypoints_.first(ident, region);
            id != 0 && type == static_cast<int>(AirwayEndType::fix))
            return id;
        if (type == static_cast<int>(AirwayEndType::ndb) ||
            type == static_cast<int>(AirwayEndType::vhf)) {
            const auto n = navaid_at_.find(lookup_key(upper_ascii(ident), upper_ascii(region)));
            if (n == navaid_at_.end()) return -1;
            const NavaidRec& r = d_.navaids[n->second];
            return waypoints_.at(ident, r.name, region, r.lat, r.lon);
        }
        return -1;
    }

    const NavData& d_;
    Waypoints& waypoints_;
    const NearestRegion& nearest_;
    Insert airway_, leg_;
    std::unordered_map<std::string, size_t> navaid_at_;  // by ident and region
    std::unordered_map<std::string, long long> airway_ids_;
    std::vector<Segment> segments_;
    std::map<std::tuple<long long, long long, long long>, size_t> segment_at_;
    long long skipped_ = 0;
};

void write_config(Db& db, const NavData& d) {
    Insert config(db, "INSERT INTO config (key, val) VALUES (?, ?)");
    config(std::string("CycleName"))(d.cycle).run();
    config(std::string("Provider"))(std::string("X-Plane navdata (karvel-import)")).run();
    Insert types(db, "INSERT INTO navaidtypes (type, desc) VALUES (?, ?)");
    const char* names[] = {"VOR", "VOR-DME", "VORTAC", "DME", "NDB", "TACAN", "NDB-DME"};
    for (int i = 0; i < 7; ++i) types(i + 1)(std::string(names[i])).run();
}

// The database at `path` with its tables (the indexes come once the rows
// are in), a transaction begun.
Db& with_tables(Db& db) {
    db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    const std::string schema = kSchemaSql;
    db.exec(schema.substr(0, schema.find("CREATE INDEX")));
    db.exec("BEGIN");
    return db;
}

}  // namespace

// The database being written, with what its later tables refer to.
struct DatabaseWriter::Open {
    explicit Open(const std::string& temp) : db(temp), waypoints(with_tables(db)) {}
    void navigation(const NavData& d, const Report& report) {
        write_config(db, d);
        write_airports(db, d, written, report);
        const NearestRegion nearest(d.airports, written.airport_regions());
        write_navaids(db, d, written, nearest, report);
        write_fixes(d, written, waypoints, nearest);
        AirwayWriter airways(db, d, written, waypoints, nearest);
        for (const AirwaySegment& s : d.airways) airways.add(s);
        report(std::to_string(d.fixes.size()) + " points, " + airways.finish());
        procedures.emplace(db, d, written, waypoints);
    }
    Db db;
    WrittenPlaces written;
    Waypoints waypoints;
    std::optional<ProcedureWriter> procedures;
    std::optional<GroundWriter> ground;
};

DatabaseWriter::DatabaseWriter(const NavData& data, const std::string& path, Report report)
    : DatabaseWriter(path, std::move(report)) {
    write_navigation(data);
}

DatabaseWriter::DatabaseWriter(const std::string& path, Report report)
    : report_(std::move(report)) {
    struct stat st {};
    if (::stat(resolve_links(path).c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw Error(w1252("\"") + path_text(path) + w1252("\" n'est pas un fichier ordinaire"));
    // Written under a temporary name of its own (two imports never share
    // one), put in place by the rules of every file the program writes, and
    // removed whatever step fails or if the import is interrupted.
    remove_temporary_files_on_signals();
    files_ = std::make_unique<OutputFiles>();
    open_ = std::make_unique<Open>(files_->add_to_fill(path));
}

void DatabaseWriter::write_navigation(const NavData& data) {
    open_->navigation(data, report_);
    open_->procedures->write(data.procedures);
    procedures_ = !data.procedures.empty();
}

DatabaseWriter::~DatabaseWriter() = default;

void DatabaseWriter::write_procedures(const std::vector<ProcedureRec>& batch) {
    open_->procedures->write(batch);
    ++batches_;
}

void DatabaseWriter::write_outlines(const std::vector<outlines::OutlineFile>& files) {
    outlines::write_outline_tables(open_->db, files, report_);
}

void DatabaseWriter::begin_ground() {
    if (!open_->ground) open_->ground.emplace(open_->db);
}

void DatabaseWriter::write_ground(const AirportGround& airport) {
    begin_ground();
    open_->ground->write(airport);
}

void DatabaseWriter::finish() {
    if (procedures_ || batches_ > 0) report_(open_->procedures->summary(batches_));
    if (open_->ground) report_(open_->ground->summary());
    open_->db.exec("COMMIT");
    const std::string schema = kSchemaSql;
    if (const size_t indexes = schema.find("CREATE INDEX"); indexes != std::string::npos)
        open_->db.exec(schema.substr(indexes));
    open_.reset();  // closed before it is put in place
    files_->commit();
}

void write_database(const NavData& data, const std::string& path, const Report& report) {
    DatabaseWriter writer(data, path, report);
    writer.finish();
}

}  // namespace karvel::xplane
