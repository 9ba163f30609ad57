// The navigation database written from X-Plane records, in the schema of
// navdb/sample/schema.sql.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <unordered_map>

#include "app/cp1252.h"
#include "app/error.h"
#include "app/file_output.h"
#include "app/numtext.h"
#include "import/schema_sql.h"
#include "import/xplane.h"

namespace karvel::xplane {

namespace {

// The temporary database being written, removed if the import is stopped.
char g_temp_path[4096] = "";

extern "C" void on_stop(int signal_number) {
    if (g_temp_path[0]) ::unlink(g_temp_path);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

class Db {
  public:
    explicit Db(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
            SQLITE_OK)
            fail("ouverture");
    }
    ~Db() { sqlite3_close(db_); }
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            const std::string m = err ? err : "?";
            sqlite3_free(err);
            throw Error(w1252("écriture de la base : ") + utf8_to_cp1252(m));
        }
    }
    sqlite3* get() { return db_; }
    [[noreturn]] void fail(const char* what) {
        throw Error(w1252("écriture de la base (") + w1252(what) + ") : " +
                    utf8_to_cp1252(sqlite3_errmsg(db_)));
    }

  private:
    sqlite3* db_ = nullptr;
};

// One prepared INSERT, bound field by field.
class Insert {
  public:
    Insert(Db& db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db.get(), sql, -1, &st_, nullptr) != SQLITE_OK) db.fail("préparation");
    }
    ~Insert() { sqlite3_finalize(st_); }
    Insert& operator()(long long v) {
        sqlite3_bind_int64(st_, ++i_, v);
        return *this;
    }
    Insert& operator()(int v) { return (*this)(static_cast<long long>(v)); }
    Insert& operator()(double v) {
        sqlite3_bind_double(st_, ++i_, v);
        return *this;
    }
    Insert& operator()(const std::string& v) {  // Windows-1252 inside, UTF-8 in the database
        const std::string u = cp1252_to_utf8(v);
        sqlite3_bind_text(st_, ++i_, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void run() {
        if (sqlite3_step(st_) != SQLITE_DONE) db_.fail("insertion");
        sqlite3_reset(st_);
        i_ = 0;
    }

  private:
    Db& db_;
    sqlite3_stmt* st_ = nullptr;
    int i_ = 0;
};

// Regions by the nearest airport, on a grid of one-degree cells.
class NearestRegion {
  public:
    explicit NearestRegion(const std::vector<AirportRec>& airports, const std::vector<std::string>& regions)
        : airports_(airports), regions_(regions) {
        for (size_t i = 0; i < airports.size(); ++i) cells_[key(cell(airports[i].lat), cell(airports[i].lon))].push_back(i);
    }
    std::string operator()(double lat, double lon) const {
        const int cy = cell(lat), cx = cell(lon);
        double best = INFINITY;
        size_t found = airports_.size();
        int stop_at = -1;  // one ring past the first find: a nearer airport may lie there
        for (int r = 0; r <= 180 && r != stop_at; ++r) {
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    if (std::max(std::abs(dy), std::abs(dx)) != r) continue;
                    const auto it = cells_.find(key(cy + dy, wrap(cx + dx)));
                    if (it == cells_.end()) continue;
                    for (const size_t i : it->second) {
                        const double d = distance_m(lat, lon, airports_[i].lat, airports_[i].lon);
                        if (d < best) {
                            best = d;
                            found = i;
                        }
                    }
                }
            if (found != airports_.size() && stop_at < 0) stop_at = r + 2;
        }
        return found == airports_.size() ? std::string() : regions_[found];
    }

  private:
    static int cell(double v) { return static_cast<int>(std::floor(v)); }
    static int wrap(int x) { return ((x + 180) % 360 + 360) % 360 - 180; }
    static long long key(int y, int x) { return static_cast<long long>(y) * 1000 + x; }
    const std::vector<AirportRec>& airports_;
    const std::vector<std::string>& regions_;
    std::unordered_map<long long, std::vector<size_t>> cells_;
};

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return s;
}

void fill(Db& db, const NavData& d, const std::function<void(const std::string&)>& report) {
    Insert config(db, "INSERT INTO config (key, val) VALUES (?, ?)");
    config(std::string("CycleName"))(d.cycle).run();
    config(std::string("Provider"))(std::string("X-Plane navdata (karvel-import)")).run();
    Insert types(db, "INSERT INTO navaidtypes (type, desc) VALUES (?, ?)");
    const char* names[] = {"VOR", "VOR-DME", "VORTAC", "DME", "NDB", "TACAN", "NDB-DME"};
    for (int i = 0; i < 7; ++i) types(i + 1)(std::string(names[i])).run();

    // Airports, their region lookups and runway ends.
    std::vector<std::string> regions;
    regions.reserve(d.airports.size());
    for (const AirportRec& a : d.airports)
        regions.push_back(!a.region.empty() ? a.region : a.icao.substr(0, 2));
    Insert airport(db, "INSERT INTO airports (ID, ICAO, name, latitude, longtitude, elevation) VALUES (?, ?, ?, ?, ?, ?)");
    Insert alook(db, "INSERT INTO airportlookup (id, extid) VALUES (?, ?)");
    Insert runway(db, "INSERT INTO runways (ID, airportID, ident, trueheading, latitude, longtitude, length) VALUES (?, ?, ?, ?, ?, ?, ?)");
    std::unordered_map<std::string, long long> runway_ids;  // "ICAO|ident"
    long long rid = 0;
    for (size_t i = 0; i < d.airports.size(); ++i) {
        const AirportRec& a = d.airports[i];
        const long long id = static_cast<long long>(i) + 1;
        airport(id)(a.icao)(a.name)(a.lat)(a.lon)(a.elevation).run();
        // The lookup text begins with the region code.
        const std::string& region = regions[i];
        alook(id)(upper(a.icao).rfind(upper(region), 0) == 0 ? a.icao : region + a.icao).run();
        for (const RunwayEnds& r : a.runways) {
            const long long length = std::llround(distance_m(r.lat1, r.lon1, r.lat2, r.lon2));
            runway(++rid)(id)(r.ident1)(bearing_deg(r.lat1, r.lon1, r.lat2, r.lon2))(r.lat1)(r.lon1)(length).run();
            runway_ids.try_emplace(upper(a.icao) + "|" + upper(r.ident1), rid);
            runway(++rid)(id)(r.ident2)(bearing_deg(r.lat2, r.lon2, r.lat1, r.lon1))(r.lat2)(r.lon2)(length).run();
            runway_ids.try_emplace(upper(a.icao) + "|" + upper(r.ident2), rid);
        }
    }
    report(std::to_string(d.airports.size()) + w1252(" aéroports, ") + std::to_string(rid) +
           " bouts de piste");

    Insert ils(db, "INSERT INTO ILSes (ID, runwayID, ident, freq, latitude, longtitude) VALUES (?, ?, ?, ?, ?, ?)");
    long long ils_count = 0;
    for (const LocaliserRec& l : d.localisers) {
        const auto it = runway_ids.find(upper(l.airport) + "|" + upper(l.runway));
        if (it == runway_ids.end()) continue;  // a runway the airport file does not have
        ils(++ils_count)(it->second)(l.ident)(l.freq)(l.lat)(l.lon).run();
    }

    const NearestRegion nearest(d.airports, regions);
    Insert navaid(db, "INSERT INTO navaids (ID, ident, type, name, freq, latitude, longtitude) VALUES (?, ?, ?, ?, ?, ?, ?)");
    Insert nlook(db, "INSERT INTO navaidlookup (id, country) VALUES (?, ?)");
    std::unordered_map<std::string, size_t> navaid_at;  // "ident|region"
    for (size_t i = 0; i < d.navaids.size(); ++i) {
        const NavaidRec& n = d.navaids[i];
        const long long id = static_cast<long long>(i) + 1;
        const std::string region = !n.region.empty() ? n.region : nearest(n.lat, n.lon);
        navaid(id)(n.ident)(n.type)(n.name)(n.freq)(n.lat)(n.lon).run();
        nlook(id)(region).run();
        navaid_at.try_emplace(upper(n.ident) + "|" + upper(region), i);
    }
    report(std::to_string(d.navaids.size()) + " balises, " + std::to_string(ils_count) + " ILS");

    Insert wpt(db, "INSERT INTO waypoints (ID, ident, name, latitude, longtitude) VALUES (?, ?, ?, ?, ?)");
    Insert wlook(db, "INSERT INTO waypointlookup (id, country) VALUES (?, ?)");
    std::unordered_map<std::string, long long> wpt_ids;  // "ident|region" and "ident|lat|lon"
    long long wid = 0;
    auto at_key = [](const std::string& ident, double lat, double lon) {
        return upper(ident) + "|" + std::to_string(std::llround(lat * 1e6)) + "|" + std::to_string(std::llround(lon * 1e6));
    };
    auto add_waypoint = [&](const std::string& ident, const std::string& region, double lat, double lon) {
        wpt(++wid)(ident)(std::string())(lat)(lon).run();
        wlook(wid)(region).run();
        wpt_ids.try_emplace(upper(ident) + "|" + upper(region), wid);
        wpt_ids.try_emplace(at_key(ident, lat, lon), wid);
        return wid;
    };
    for (const FixRec& f : d.fixes)
        add_waypoint(f.ident, !f.region.empty() ? f.region : nearest(f.lat, f.lon), f.lat, f.lon);
    const long long fix_count = wid;

    // Airways: an end that is a navaid becomes a waypoint of its own too.
    Insert airway(db, "INSERT INTO airways (id, ident) VALUES (?, ?)");
    Insert leg(db, "INSERT INTO airwaylegs (ID, airwayid, waypoint1ID, waypoint2ID) VALUES (?, ?, ?, ?)");
    std::unordered_map<std::string, long long> airway_ids;
    long long legs = 0, skipped = 0;
    auto end_id = [&](const std::string& ident, const std::string& region, int type, bool positioned,
                      double lat, double lon) -> long long {
        if (positioned) {
            if (auto it = wpt_ids.find(at_key(ident, lat, lon)); it != wpt_ids.end()) return it->second;
            return add_waypoint(ident, nearest(lat, lon), lat, lon);
        }
        if (auto it = wpt_ids.find(upper(ident) + "|" + upper(region)); it != wpt_ids.end() && type == 11)
            return it->second;
        if (type == 2 || type == 3) {
            const auto n = navaid_at.find(upper(ident) + "|" + upper(region));
            if (n == navaid_at.end()) return -1;
            const NavaidRec& r = d.navaids[n->second];
            if (auto it = wpt_ids.find(at_key(ident, r.lat, r.lon)); it != wpt_ids.end()) return it->second;
            return add_waypoint(ident, region, r.lat, r.lon);
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
        auto [it, added] = airway_ids.try_emplace(upper(s.name), static_cast<long long>(airway_ids.size()) + 1);
        if (added) airway(it->second)(s.name).run();
        leg(++legs)(it->second)(a)(b).run();
    }
    report(std::to_string(fix_count) + " points, " + std::to_string(airway_ids.size()) + " airways (" +
           std::to_string(legs) + w1252(" segments") +
           (skipped ? ", " + std::to_string(skipped) + w1252(" sans position, laissés") : std::string()) + ")");
}

}  // namespace

void write_database(const NavData& data, const std::string& path,
                    const std::function<void(const std::string&)>& report) {
    const std::string target = resolve_links(path);
    const std::filesystem::path t(target);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw Error(w1252("\"") + path_text(path) + w1252("\" n'est pas un fichier ordinaire"));
    std::string leaf(1, '.');  // built step by step: GCC 12 misreads "." + s
    leaf += t.filename().string();
    leaf += ".import";
    const std::string temp = (t.parent_path() / leaf).string();
    if (temp.size() >= sizeof g_temp_path) throw Error(w1252("chemin trop long : ") + path_text(path));
    ::unlink(temp.c_str());
    std::strcpy(g_temp_path, temp.c_str());
    std::signal(SIGINT, on_stop);
    std::signal(SIGTERM, on_stop);
    std::signal(SIGHUP, on_stop);
    try {
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
        if (::rename(temp.c_str(), target.c_str()) != 0)
            throw Error(w1252("Impossible de remplacer \"") + path_text(path) + "\" : " + utf8_to_cp1252(std::strerror(errno)));
    } catch (...) {
        ::unlink(temp.c_str());
        g_temp_path[0] = '\0';
        throw;
    }
    g_temp_path[0] = '\0';
}

}  // namespace karvel::xplane
