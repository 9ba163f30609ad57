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
#include <set>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "app/cp1252.h"
#include "app/error.h"
#include "app/file_output.h"
#include "app/numtext.h"
#include "import/schema_sql.h"
#include "import/xplane.h"

namespace karvel::xplane {

namespace {

class Db {
  public:
    explicit Db(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
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
        throw Error(w1252("écriture de la base (") + w1252(what) +
                    ") : " + utf8_to_cp1252(sqlite3_errmsg(db_)));
    }

  private:
    sqlite3* db_ = nullptr;
};

// One prepared INSERT, bound field by field.
class Insert {
  public:
    Insert(Db& db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db.get(), sql, -1, &st_, nullptr) != SQLITE_OK)
            db.fail("préparation");
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
    Insert& operator()(std::optional<double> v) { return v ? (*this)(*v) : null(); }
    Insert& null() {
        sqlite3_bind_null(st_, ++i_);
        return *this;
    }
    Insert& id(long long v) { return v ? (*this)(v) : null(); }  // 0: none
    Insert& text(const std::string& v) { return v.empty() ? null() : (*this)(v); }
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
    explicit NearestRegion(const std::vector<AirportRec>& airports,
                           const std::vector<std::string>& regions)
        : airports_(airports), regions_(regions) {
        for (size_t i = 0; i < airports.size(); ++i)
            cells_[key(cell(airports[i].lat), cell(airports[i].lon))].push_back(i);
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

using Report = std::function<void(const std::string&)>;

struct Place {
    double lat = 0, lon = 0;
};

// What the later tables refer to, kept while the earlier ones are written.
struct Written {
    std::vector<std::string> airport_regions;            // by airport index; airport i has ID i + 1
    std::unordered_map<std::string, size_t> airport_at;  // ICAO
    struct RunwayEnd {
        long long id;
        Place at;
    };
    std::unordered_map<std::string, RunwayEnd> runway_ends;  // "ICAO|ident"
    std::vector<std::string> navaid_regions;                 // navaid i has ID i + 1
    std::vector<std::string> fix_regions;                    // fix i is waypoint i + 1
    std::unordered_map<std::string, long long> wpt_ids;      // "ident|region", the first
    long long last_waypoint = 0;
};

// Waypoints closer than this with the same ident and region are one point:
// airway files place their ends a few thousandths of a second away from the
// fix they name.
constexpr double kSamePointM = 0.01 * 1852;

class Waypoints {
  public:
    Waypoints(Db& db, Written& w)
        : w_(w),
          wpt_(db,
               "INSERT INTO waypoints (ID, ident, name, latitude, longtitude) VALUES (?, ?, ?, ?, "
               "?)"),
          look_(db, "INSERT INTO waypointlookup (id, country) VALUES (?, ?)") {}
    // `name`: the fix's or the navaid's own, else the ident, as the lists show it.
    long long add(const std::string& ident, const std::string& name, const std::string& region,
                  double lat, double lon) {
        const long long id = ++w_.last_waypoint;
        wpt_(id)(ident)(name.empty() ? ident : name)(lat)(lon).run();
        look_(id)(region).run();
        w_.wpt_ids.try_emplace(upper(ident) + "|" + upper(region), id);
        spots_[upper(ident)].push_back({id, lat, lon, upper(region)});
        return id;
    }
    // The waypoint of that ident and region at that place (within a
    // hundredth of a mile), made when there is none yet.
    long long at(const std::string& ident, const std::string& name, const std::string& region,
                 double lat, double lon) {
        if (const auto it = spots_.find(upper(ident)); it != spots_.end()) {
            const std::string r = upper(region);
            for (const Spot& s : it->second)
                if (s.region == r && distance_m(lat, lon, s.lat, s.lon) <= kSamePointM)
                    return s.id;
        }
        return add(ident, name, region, lat, lon);
    }

    // A waypoint of that ident at that place, whatever its region; 0 when none.
    long long find(const std::string& ident, double lat, double lon) const {
        if (const auto it = spots_.find(upper(ident)); it != spots_.end())
            for (const Spot& s : it->second)
                if (distance_m(lat, lon, s.lat, s.lon) <= kSamePointM) return s.id;
        return 0;
    }

  private:
    struct Spot {
        long long id;
        double lat, lon;
        std::string region;
    };
    Written& w_;
    Insert wpt_, look_;
    std::unordered_map<std::string, std::vector<Spot>> spots_;  // by ident
};

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
        w.airport_at.try_emplace(upper(a.icao), i);
        airport(id)(a.icao)(a.name)(a.lat)(a.lon)(a.elevation).run();
        // The lookup text begins with the region code.
        const std::string& region = w.airport_regions[i];
        alook(id)(upper(a.icao).rfind(upper(region), 0) == 0 ? a.icao : region + a.icao).run();
        for (const RunwayEnds& r : a.runways) {
            const long long length = std::llround(distance_m(r.lat1, r.lon1, r.lat2, r.lon2));
            runway(++rid)(id)(r.ident1)(bearing_deg(r.lat1, r.lon1, r.lat2, r.lon2))(r.lat1)(
                r.lon1)(length)
                .run();
            w.runway_ends.try_emplace(upper(a.icao) + "|" + upper(r.ident1),
                                      Written::RunwayEnd{rid, {r.lat1, r.lon1}});
            runway(++rid)(id)(r.ident2)(bearing_deg(r.lat2, r.lon2, r.lat1, r.lon1))(r.lat2)(
                r.lon2)(length)
                .run();
            w.runway_ends.try_emplace(upper(a.icao) + "|" + upper(r.ident2),
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
        const auto it = w.runway_ends.find(upper(l.airport) + "|" + upper(l.runway));
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
        navaid_at.try_emplace(upper(d.navaids[i].ident) + "|" + upper(w.navaid_regions[i]), i);

    Insert airway(db, "INSERT INTO airways (id, ident) VALUES (?, ?)");
    Insert leg(
        db, "INSERT INTO airwaylegs (ID, airwayid, waypoint1ID, waypoint2ID) VALUES (?, ?, ?, ?)");
    std::unordered_map<std::string, long long> airway_ids;
    // A segment listed once a level (low, high) is one segment of its airway.
    std::set<std::tuple<long long, long long, long long>> segments;
    long long legs = 0, skipped = 0;
    auto end_id = [&](const std::string& ident, const std::string& region, int type,
                      bool positioned, double lat, double lon) -> long long {
        if (positioned) return waypoints.at(ident, ident, nearest(lat, lon), lat, lon);
        if (auto it = w.wpt_ids.find(upper(ident) + "|" + upper(region));
            it != w.wpt_ids.end() && type == 11)
            return it->second;
        if (type == 2 || type == 3) {
            const auto n = navaid_at.find(upper(ident) + "|" + upper(region));
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
        auto [it, added] =
            airway_ids.try_emplace(upper(s.name), static_cast<long long>(airway_ids.size()) + 1);
        if (added) airway(it->second)(s.name).run();
        if (!segments.emplace(it->second, std::min(a, b), std::max(a, b)).second) continue;
        leg(++legs)(it->second)(a)(b).run();
    }
    report(std::to_string(d.fixes.size()) + " points, " + std::to_string(airway_ids.size()) +
           " airways (" + std::to_string(legs) + w1252(" segments") +
           (skipped ? ", " + std::to_string(skipped) + w1252(" sans position, laissés")
                    : std::string()) +
           ")");
}

// The places a procedure names, found the way the procedure means them.
class Places {
  public:
    struct Found {
        Place at;
        long long waypoint = 0;  // waypoints.ID, 0 when none
        long long navaid = 0;    // navaids.ID, 0 when none
    };

    Places(const NavData& d, Written& w, Waypoints& waypoints)
        : d_(d), w_(w), waypoints_(waypoints) {
        for (size_t i = 0; i < d.fixes.size(); ++i) fixes_.emplace(upper(d.fixes[i].ident), i);
        for (size_t i = 0; i < d.navaids.size(); ++i)
            navaids_.emplace(upper(d.navaids[i].ident), i);
        for (const LocaliserRec& l : d.localisers)
            localisers_.try_emplace(upper(l.airport) + "|" + upper(l.ident), Place{l.lat, l.lon});
        for (const IlsDmeRec& m : d.ils_dmes)
            ils_dmes_.try_emplace(upper(m.airport) + "|" + upper(m.ident), Place{m.lat, m.lon});
    }

    // `as_fix`: a navaid flown to becomes a waypoint, as airway ends do.
    std::optional<Found> find(const PointRef& p, size_t airport, bool as_fix) {
        const AirportRec& a = d_.airports[airport];
        const std::string ident = upper(p.ident), icao = upper(a.icao);
        if (p.section == "PG") {  // a runway threshold, "RW27L"
            const auto it = w_.runway_ends.find(
                icao + "|" + (ident.rfind("RW", 0) == 0 ? ident.substr(2) : ident));
            if (it == w_.runway_ends.end()) return std::nullopt;
            return Found{it->second.at, 0, 0};
        }
        if (p.section == "PA") return Found{{a.lat, a.lon}, 0, 0};
        if (p.section == "PI") {  // distances run from the ILS's DME where it has one
            if (auto it = ils_dmes_.find(icao + "|" + ident); it != ils_dmes_.end())
                return Found{it->second, 0, 0};
            if (auto it = localisers_.find(icao + "|" + ident); it != localisers_.end())
                return Found{it->second, 0, 0};
            return std::nullopt;
        }
        const bool navaid_first = !p.section.empty() && (p.section[0] == 'D' || p.section == "PN");
        for (int pass = 0; pass < 2; ++pass) {
            if ((pass == 0) == navaid_first) {
                if (auto n = nearest_navaid(ident, p, a)) {
                    const NavaidRec& r = d_.navaids[*n];
                    Found f{{r.lat, r.lon}, 0, static_cast<long long>(*n) + 1};
                    if (as_fix)
                        f.waypoint =
                            waypoints_.at(r.ident, r.name, w_.navaid_regions[*n], r.lat, r.lon);
                    return f;
                }
            } else if (auto i = nearest_fix(ident, p, a)) {
                const long long waypoint =
                    static_cast<long long>(*i) + 1;  // fix i is waypoint i + 1
                return Found{{d_.fixes[*i].lat, d_.fixes[*i].lon}, waypoint, 0};
            }
        }
        return std::nullopt;
    }

  private:
    // Among the points of that ident: those of the named region, then (for a
    // fix) those of the airport's terminal area, then the nearest; none
    // farther than 500 nm from the airport, where the procedure cannot mean it.
    template <typename Rank>
    std::optional<size_t> best(const std::unordered_multimap<std::string, size_t>& by_ident,
                               const std::string& ident, const AirportRec& a, Rank&& rank) const {
        std::optional<size_t> found;
        std::tuple<int, double> best_rank{0, 0};
        const auto [from, to] = by_ident.equal_range(ident);
        for (auto it = from; it != to; ++it) {
            const auto [penalty, lat, lon] = rank(it->second);
            const double d = distance_m(a.lat, a.lon, lat, lon);
            if (d > 500 * 1852.0) continue;
            const std::tuple<int, double> r{penalty, d};
            if (!found || r < best_rank) {
                found = it->second;
                best_rank = r;
            }
        }
        return found;
    }
    std::optional<size_t> nearest_fix(const std::string& ident, const PointRef& p,
                                      const AirportRec& a) const {
        const std::string icao = upper(a.icao), region = upper(p.region);
        const bool terminal_fix = !p.section.empty() && p.section[0] == 'P';
        return best(fixes_, ident, a, [&](size_t i) {
            const FixRec& f = d_.fixes[i];
            const std::string terminal = upper(f.terminal);
            int penalty = 0;
            if (!region.empty() && upper(w_.fix_regions[i]) != region) penalty += 2;
            // A terminal fix of this airport, or an en-route fix, as the procedure says.
            if (!terminal.empty() && (terminal_fix ? terminal != icao : terminal != "ENRT"))
                penalty += 1;
            return std::tuple<int, double, double>{penalty, f.lat, f.lon};
        });
    }
    std::optional<size_t> nearest_navaid(const std::string& ident, const PointRef& p,
                                         const AirportRec& a) const {
        const std::string region = upper(p.region);
        const bool ndb = p.section == "DB" || p.section == "PN";
        return best(navaids_, ident, a, [&](size_t i) {
            const NavaidRec& n = d_.navaids[i];
            int penalty = 0;
            if (!region.empty() && upper(w_.navaid_regions[i]) != region) penalty += 2;
            if (!p.section.empty() && ndb != (n.type == NavType::ndb || n.type == NavType::ndb_dme))
                penalty += 1;
            return std::tuple<int, double, double>{penalty, n.lat, n.lon};
        });
    }

    const NavData& d_;
    Written& w_;
    Waypoints& waypoints_;
    std::unordered_multimap<std::string, size_t> fixes_, navaids_;
    std::unordered_map<std::string, Place> localisers_, ils_dmes_;
};

// Legs that end at a DME distance carry it in their distance field.
bool dme_terminated(const std::string& code) {
    return code == "CD" || code == "FD" || code == "VD";
}

// A SID's runway transition "RW27L" (or "RW09B", both parallel runways 09)
// names its runway end; the first end that matches is the SID's.
std::optional<long long> runway_of(const Written& w, const AirportRec& a,
                                   const std::string& transition) {
    const std::string t = upper(transition);
    if (t.size() < 4 || t.rfind("RW", 0) != 0) return std::nullopt;
    const std::string icao = upper(a.icao), ident = t.substr(2);
    if (auto it = w.runway_ends.find(icao + "|" + ident); it != w.runway_ends.end())
        return it->second.id;
    if (ident.size() == 3 && ident[2] == 'B')
        for (const char side : {'L', 'R', 'C'})
            if (auto it = w.runway_ends.find(icao + "|" + ident.substr(0, 2) + side);
                it != w.runway_ends.end())
                return it->second.id;
    return std::nullopt;
}

void write_procedures(Db& db, const NavData& d, Written& w, Waypoints& waypoints,
                      const Report& report) {
    if (d.procedures.empty() && d.cifp_files.empty()) return;
    Places places(d, w, waypoints);
    Insert terminal(
        db,
        "INSERT INTO Terminals (ID, airportID, ICAO, proc, name, rwyid) VALUES (?, ?, ?, ?, ?, ?)");
    Insert leg(db,
               "INSERT INTO terminallegs (ID, terminalid, type, transition, trackcode,"
               " wptid, wptLat, wptLon, turndir, navid, navlat, navlon, navbear, navdist,"
               " course, distance, centerid, centerlat, centerlon)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    long long terminals = 0, legs = 0, sids = 0, stars = 0, no_airport = 0, unplaced = 0;

    // The columns of one leg, or nothing when it needs a place no file gives.
    struct Columns {
        const ProcLeg* leg;
        std::optional<Places::Found> fix, navaid, centre;
    };
    auto columns = [&](const ProcLeg& l, size_t airport) -> std::optional<Columns> {
        Columns c{&l, {}, {}, {}};
        if (!l.fix.ident.empty() && !(c.fix = places.find(l.fix, airport, true)))
            return std::nullopt;
        if (!l.navaid.ident.empty()) c.navaid = places.find(l.navaid, airport, false);
        if (dme_terminated(l.trackcode) && !c.navaid) return std::nullopt;
        if (l.trackcode == "RF" && !l.centre.ident.empty())
            c.centre = places.find(l.centre, airport, true);
        if (l.trackcode == "AF" && c.navaid) c.centre = c.navaid;  // the arc runs around its navaid
        return c;
    };
    auto write_leg = [&](long long terminal_id, const Columns& c) {
        const ProcLeg& l = *c.leg;
        const bool dme = dme_terminated(l.trackcode);
        const std::string transition = l.kind == 'C' ? std::string() : l.transition;
        leg(++legs)(terminal_id)(std::string(1, l.kind))(transition)(l.trackcode);
        if (c.fix)
            leg.id(c.fix->waypoint)(c.fix->at.lat)(c.fix->at.lon);
        else
            leg.null().null().null();
        leg.text(l.turndir);
        // A course to a fix without a navaid: the course line runs through the
        // fix, and that is the line an intercept leg before it aims at.
        const std::optional<Places::Found> nav = c.navaid              ? c.navaid
                                                 : l.trackcode == "CF" ? c.fix
                                                                       : std::nullopt;
        if (nav)
            leg.id(c.navaid ? nav->navaid : 0)(nav->at.lat)(nav->at.lon);
        else
            leg.null().null().null();
        leg(l.theta)(dme ? l.distance : l.rho)(l.course)(dme ? std::nullopt : l.distance);
        if (c.centre) {
            long long id = c.centre->waypoint;
            if (!id && l.trackcode == "AF")
                id = waypoints.find(l.navaid.ident, c.centre->at.lat, c.centre->at.lon);
            leg.id(id)(c.centre->at.lat)(c.centre->at.lon);
        } else {
            leg.null().null().null();
        }
        leg.run();
    };
    auto write_terminal = [&](const ProcedureRec& p, size_t airport,
                              std::optional<long long> runway, const std::vector<Columns>& rows) {
        const AirportRec& a = d.airports[airport];
        const long long airport_id = static_cast<long long>(airport) + 1;
        terminal(++terminals)(airport_id)(a.icao)(std::string(p.sid ? "2" : "1"))(p.name);
        if (runway)
            terminal(*runway);
        else
            terminal.null();
        terminal.run();
        for (const Columns& c : rows) write_leg(terminals, c);
        ++(p.sid ? sids : stars);
    };

    auto write_procedure = [&](const ProcedureRec& p) {
        const auto at = w.airport_at.find(upper(p.airport));
        if (at == w.airport_at.end()) {
            ++no_airport;
            return;
        }
        const size_t airport = at->second;
        std::vector<Columns> rows;
        for (const ProcLeg& l : p.legs) {
            if (auto c = columns(l, airport))
                rows.push_back(std::move(*c));
            else
                ++unplaced;  // left out rather than drawn towards 0, 0
        }
        if (!p.sid) {
            write_terminal(p, airport, std::nullopt, rows);
            return;
        }
        // A SID is flown from one runway: each runway transition makes a SID
        // of its own, with the common route and the en-route transitions.
        std::vector<std::string> runways;
        for (const Columns& c : rows)
            if (c.leg->kind == 'R' &&
                std::find(runways.begin(), runways.end(), c.leg->transition) == runways.end())
                runways.push_back(c.leg->transition);
        if (runways.empty()) {
            std::optional<long long> runway;
            for (const Columns& c : rows)
                if (c.leg->kind == 'C' &&
                    (runway = runway_of(w, d.airports[airport], c.leg->transition)))
                    break;
            write_terminal(p, airport, runway, rows);
            return;
        }
        for (const std::string& r : runways) {
            std::vector<Columns> own;
            for (const Columns& c : rows)
                if (c.leg->kind != 'R' || c.leg->transition == r) own.push_back(c);
            write_terminal(p, airport, runway_of(w, d.airports[airport], r), own);
        }
    };
    for (const ProcedureRec& p : d.procedures) write_procedure(p);
    std::vector<ProcedureRec> read;
    for (const auto& [icao, path] : d.cifp_files) {
        read.clear();
        read_cifp(path, icao, read);
        for (const ProcedureRec& p : read) write_procedure(p);
    }
    report((d.cifp_files.empty() ? std::string()
                                 : std::to_string(d.cifp_files.size()) + " fichiers CIFP : ") +
           std::to_string(sids) + " SID, " + std::to_string(stars) + " STAR (" +
           std::to_string(legs) + w1252(" segments de procédure") +
           (unplaced ? ", " + std::to_string(unplaced) + w1252(" sans position, laissés")
                     : std::string()) +
           (no_airport
                ? ", " + std::to_string(no_airport) + w1252(" d'aéroports inconnus, laissées")
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
