// make_world_db SCHEMA.sql OUT.sqlite [SEED]
//
// Writes a world-size navigation database with the schema of the sample one
// and the proportions of real data: about 17,000 airports in 200 regions,
// 40,000 runway ends, 3,000 ILS, 11,000 navaids, 250,000 waypoints, 25,000
// airways with 90,000 legs, 40,000 SIDs and STARs with about 600,000 legs of
// every path terminator. Everything clusters around the airports, the densest
// region ("LF") first; the same seed gives the same file.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "navdb/sqlite_db.h"

namespace {

struct Db {
    explicit Db(const char* path) : connection(path, karvel::SqliteDb::Mode::create) {}
    karvel::SqliteDb connection;
    sqlite3* db = connection.get();
    void exec(const std::string& sql) {
        try {
            connection.exec(sql);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "make_world_db: %s\n", e.what());
            std::exit(1);
        }
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "make_world_db: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        return s;
    }
};

// Binds the values in order and runs the statement.
struct Insert {
    sqlite3_stmt* s;
    int i = 0;
    Insert& operator()(long long v) {
        sqlite3_bind_int64(s, ++i, v);
        return *this;
    }
    Insert& operator()(int v) {
        sqlite3_bind_int64(s, ++i, v);
        return *this;
    }
    Insert& operator()(double v) {
        sqlite3_bind_double(s, ++i, v);
        return *this;
    }
    Insert& operator()(const std::string& v) {
        sqlite3_bind_text(s, ++i, v.c_str(), -1, SQLITE_TRANSIENT);
        return *this;
    }
    Insert& null() {
        sqlite3_bind_null(s, ++i);
        return *this;
    }
    void run() {
        if (sqlite3_step(s) != SQLITE_DONE) {
            std::fprintf(stderr, "make_world_db: insert failed\n");
            std::exit(1);
        }
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
        i = 0;
    }
};

long long freq_code(double mhz) {
    return std::stoll(std::to_string(std::llround(mhz * 10000)), nullptr, 16);
}

struct Point {
    double lat, lon;
};

Point move(Point p, double bearing, double nm) {
    const double a = bearing * M_PI / 180;
    const double lat = p.lat + nm * std::cos(a) / 60;
    const double lon = p.lon + nm * std::sin(a) / (60 * std::cos(p.lat * M_PI / 180));
    return {std::clamp(lat, -89.0, 89.0), lon > 180 ? lon - 360 : lon < -180 ? lon + 360 : lon};
}

std::string letters(int n, int width) {
    std::string s(width, 'A');
    for (int i = width - 1; i >= 0; --i) {
        s[i] = static_cast<char>('A' + n % 26);
        n /= 26;
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_world_db SCHEMA.sql OUT.sqlite [SEED]\n");
        return 2;
    }
    std::ifstream schema_in(argv[1]);
    std::stringstream schema;
    schema << schema_in.rdbuf();
    std::remove(argv[2]);
    Db db(argv[2]);
    db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    db.exec(schema.str());
    db.exec("BEGIN");
    std::mt19937_64 rng(argc > 3 ? std::stoull(argv[3]) : 1);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> gauss(0, 1);

    db.exec("INSERT INTO config VALUES ('CycleName', '2612W')");
    db.exec(
        "INSERT INTO navaidtypes VALUES (1,'VOR'),(2,'VOR-DME'),(3,'VORTAC'),(4,'DME'),"
        "(5,'NDB'),(6,'TACAN'),(7,'NDB-DME')");

    // 200 regions: real prefixes first, the rest made up; sizes fall off.
    const char* real[] = {"LF", "EG", "ED", "LE", "LI", "LS", "EB", "EH", "EK", "EN", "ES", "LO",
                          "EP", "LK", "LH", "LR", "LG", "LT", "CY", "RJ", "ZB", "YM", "SB", "FA"};
    struct Region {
        std::string code;
        Point centre;
        double spread;
        int airports;
    };
    std::vector<Region> regions;
    for (int r = 0; r < 200; ++r) {
        Region g;
        g.code = r < 24 ? real[r] : letters(26 * 6 + r * 7, 2);
        g.centre = r == 0 ? Point{47.0, 2.5} : Point{-50 + 115 * unit(rng), -170 + 340 * unit(rng)};
        g.spread = 2.5 + 3 * unit(rng);
        g.airports = static_cast<int>(std::lround(17000 * 0.11 / std::pow(r + 1, 0.62) / 1.9));
        regions.push_back(g);
    }

    auto ins_airport = Insert{db.prepare("INSERT INTO airports VALUES (?,?,?,?,?,?)")};
    auto ins_alook = Insert{db.prepare("INSERT INTO airportlookup VALUES (?,?)")};
    auto ins_runway = Insert{db.prepare("INSERT INTO runways VALUES (?,?,?,?,?,?,?)")};
    auto ins_ils = Insert{db.prepare("INSERT INTO ILSes VALUES (?,?,?,?,?,?)")};
    auto ins_navaid = Insert{db.prepare("INSERT INTO navaids VALUES (?,?,?,?,?,?,?)")};
    auto ins_nlook = Insert{db.prepare("INSERT INTO navaidlookup VALUES (?,?)")};
    auto ins_wpt = Insert{db.prepare("INSERT INTO waypoints VALUES (?,?,?,?,?)")};
    auto ins_wlook = Insert{db.prepare("INSERT INTO waypointlookup VALUES (?,?)")};
    auto ins_airway = Insert{db.prepare("INSERT INTO airways VALUES (?,?)")};
    auto ins_awleg = Insert{db.prepare(
        "INSERT INTO airwaylegs (ID, airwayid, waypoint1ID, waypoint2ID) VALUES (?,?,?,?)")};
    auto ins_term = Insert{db.prepare("INSERT INTO Terminals VALUES (?,?,?,?,?,?)")};
    auto ins_leg = Insert{
        db.prepare("INSERT INTO terminallegs VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")};

    long long airport_id = 1, runway_id = 1, ils_id = 1, navaid_id = 1, wpt_id = 1, airway_id = 1,
              awleg_id = 1, term_id = 1, leg_id = 1;
    int ils_left = 3000;
    const char* codes[] = {"IF", "TF", "CF", "DF", "FD", "CD", "CI",
                           "VI", "CR", "VR", "AF", "VA", "CA", "HM"};
    for (const Region& g : regions) {
        struct Fix {
            long long id;
            Point p;
        };
        std::vector<Fix> region_wpts;
        std::vector<Fix> region_navs;
        for (int a = 0; a < g.airports; ++a) {
            const Point ap =
                a == 0 ? g.centre
                       : Point{std::clamp(g.centre.lat + gauss(rng) * g.spread, -85.0, 85.0),
                               g.centre.lon + gauss(rng) * g.spread * 1.4};
            const std::string icao = g.code + letters(a, 2);
            const long long aid = airport_id++;
            ins_airport(aid)(icao)("AIRPORT " +
                                   icao)(ap.lat)(ap.lon)(static_cast<int>(1500 * unit(rng)))
                .run();
            ins_alook(aid)(icao).run();

            // runways: one to three pairs; ILS on some ends
            const int pairs = 1 + static_cast<int>(unit(rng) * unit(rng) * 2.4);
            std::vector<std::pair<long long, Point>> ends;
            for (int r = 0; r < pairs; ++r) {
                const double h = std::fmod(10 + 170 * unit(rng), 180);
                const int n1 = std::max(1, static_cast<int>(std::lround(h / 10)));
                const std::string suffix = pairs > 1 && r < 2 ? (r == 0 ? "L" : "R") : "";
                const std::string other = suffix == "L" ? "R" : suffix == "R" ? "L" : "";
                const Point c = move(ap, 360 * unit(rng), 0.5 * unit(rng));
                const double len = 1.5 + 1.5 * unit(rng);
                const Point e1 = move(c, h + 180, len / 2), e2 = move(c, h, len / 2);
                char id1[16], id2[16];
                std::snprintf(id1, sizeof id1, "%02d%s", n1, suffix.c_str());
                std::snprintf(id2, sizeof id2, "%02d%s", n1 + 18, other.c_str());
                for (const auto& [ident, p, hd] : {std::tuple{std::string(id1), e1, h},
                                                   std::tuple{std::string(id2), e2, h + 180}}) {
                    const long long rid = runway_id++;
                    ins_runway(rid)(aid)(ident)(hd)(p.lat)(p.lon)(static_cast<int>(len * 1852))
                        .run();
                    ends.push_back({rid, p});
                    if (ils_left > 0 && unit(rng) < 0.09) {
                        --ils_left;
                        const long long iid = ils_id++;
                        ins_ils(iid)(rid)("I" + letters(static_cast<int>(iid), 3))(
                            freq_code(108.1 + 0.2 * std::floor(19 * unit(rng))))(p.lat)(p.lon)
                            .run();
                    }
                }
            }

            // navaids and waypoints about the airport
            const int navs = static_cast<int>(std::lround(11000.0 / 17000 * (0.5 + unit(rng))));
            for (int n = 0; n < navs; ++n) {
                const Point p = move(ap, 360 * unit(rng), 3 + 40 * unit(rng));
                const int type = 1 + static_cast<int>(7 * unit(rng));
                const bool ndb = type == 5 || type == 7;
                const double f = ndb ? (0.19 + 0.5 * unit(rng)) * 1000 : 108 + 10 * unit(rng);
                const long long nid = navaid_id++;
                ins_navaid(nid)(letters(static_cast<int>(nid), 3))(type)("NAVAID " +
                                                                         std::to_string(nid))(
                    freq_code(std::round(f * 20) / 20))(p.lat)(p.lon)
                    .run();
                ins_nlook(nid)(g.code).run();
                region_navs.push_back({nid, p});
            }
            const int fixes = static_cast<int>(std::lround(250000.0 / 17000 * (0.5 + unit(rng))));
            std::vector<Fix> local;
            for (int w = 0; w < fixes; ++w) {
                const Point p =
                    move(ap, 360 * unit(rng), 2 + 60 * unit(rng) * unit(rng) + 5 * unit(rng));
                const long long wid = wpt_id++;
                const std::string ident = letters(static_cast<int>(wid % 11881376), 5);
                ins_wpt(wid)(ident)(ident)(p.lat)(p.lon).run();
                ins_wlook(wid)(g.code).run();
                local.push_back({wid, p});
                region_wpts.push_back({wid, p});
            }

            // SIDs and STARs with legs of every kind
            const int procs =
                static_cast<int>(std::lround(40000.0 / 17000 * (0.3 + 1.4 * unit(rng))));
            for (int t = 0; t < procs && !local.empty() && !region_navs.empty(); ++t) {
                const bool sid = t % 2 == 0;
                const auto& end = ends[static_cast<size_t>(unit(rng) * ends.size())];
                const long long tid = term_id++;
                ins_term(tid)(aid)(icao)(std::string(sid ? "2" : "1"))(
                    letters(static_cast<int>(tid), 5) + " 1A");
                if (sid)
                    ins_term(end.first);
                else
                    ins_term.null();
                ins_term.run();
                const int nlegs = 8 + static_cast<int>(14 * unit(rng));
                const int ntrans = 1 + static_cast<int>(3 * unit(rng));
                for (int l = 0; l < nlegs; ++l) {
                    const int tr = l * ntrans / nlegs;
                    const std::string transition = tr == 0
                                                       ? "RW" + std::to_string(l % 36 + 1)
                                                       : (tr == 1 ? "" : "TR" + std::to_string(tr));
                    const char* code = codes[static_cast<size_t>(unit(rng) * 14)];
                    const Fix& w = local[static_cast<size_t>(unit(rng) * local.size())];
                    const Fix& n =
                        region_navs[region_navs.size() - 1 -
                                    static_cast<size_t>(unit(rng) *
                                                        std::min<size_t>(region_navs.size(), 8))];
                    ins_leg(leg_id++)(tid)(std::string(tr == 0   ? "R"
                                                       : tr == 1 ? "C"
                                                                 : "E"))(
                        transition)(std::string(code))(w.id)(w.p.lat)(w.p.lon)(
                        std::string(unit(rng) < 0.3 ? "L" : ""))(n.id)(n.p.lat)(n.p.lon)(
                        360 * unit(rng))(3 + 25 * unit(rng))(360 * unit(rng))(20 * unit(rng));
                    ins_leg.null().null().null();
                    ins_leg.run();
                }
            }
        }
        // airways: chains of nearby waypoints of the region
        const int airways = static_cast<int>(std::lround(25000.0 * g.airports / 17000));
        for (int a = 0; a < airways && region_wpts.size() > 4; ++a) {
            const long long awid = airway_id++;
            ins_airway(awid)((unit(rng) < 0.5 ? "UN" : "UL") + std::to_string(awid)).run();
            const int legs = 2 + static_cast<int>(4 * unit(rng));
            size_t at = static_cast<size_t>(unit(rng) * region_wpts.size());
            for (int l = 0; l < legs; ++l) {
                const size_t next =
                    (at + 1 + static_cast<size_t>(unit(rng) * 40)) % region_wpts.size();
                ins_awleg(awleg_id++)(awid)(region_wpts[at].id)(region_wpts[next].id).run();
                at = next;
            }
        }
    }
    db.exec("COMMIT");
    db.exec("ANALYZE");
    std::printf(
        "airports %lld, runway ends %lld, ILS %lld, navaids %lld, waypoints %lld, "
        "airways %lld (%lld legs), procedures %lld (%lld legs)\n",
        airport_id - 1, runway_id - 1, ils_id - 1, navaid_id - 1, wpt_id - 1, airway_id - 1,
        awleg_id - 1, term_id - 1, leg_id - 1);
    return 0;
}
