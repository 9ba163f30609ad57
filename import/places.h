// Where the records of the X-Plane files are written and found again: the
// region of the nearest airport, the waypoints already written, and the
// points a procedure names.
#pragma once

#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "core/codes.h"
#include "core/geometry.h"
#include "import/sqlite_writer.h"
#include "import/xplane.h"

namespace karvel::xplane {

// An airport code that is an ICAO location indicator: four letters.
bool is_icao_code(const std::string& code);

// Regions by the nearest airport with an ICAO code, on a grid of one-degree
// cells.
class NearestRegion {
  public:
    NearestRegion(const std::vector<AirportRec>& airports, const std::vector<std::string>& regions);
    // The region of the airport nearest to the point; empty when there is none.
    std::string operator()(double lat, double lon) const;

  private:
    static int cell(double v) { return static_cast<int>(std::floor(v)); }
    static int wrap(int x) { return ((x + 180) % 360 + 360) % 360 - 180; }
    static long long key(int y, int x) { return static_cast<long long>(y) * 1000 + x; }
    const std::vector<AirportRec>& airports_;
    const std::vector<std::string>& regions_;
    std::unordered_map<long long, std::vector<size_t>> cells_;
    std::vector<std::array<double, 3>> at_;  // the airports as unit vectors
    std::vector<size_t> icao_;               // the airports with an ICAO code
};

struct Place {
    double lat = 0, lon = 0;
};

// Where the airports and runway ends were written, and the regions given to
// the airports, navaids and fixes: recorded as the earlier tables are
// written, looked up by the later ones (codes without regard to ASCII case).
class WrittenPlaces {
  public:
    struct RunwayEnd {
        long long id;
        Place at;
    };

    // Airport i has ID i + 1; the first of an ICAO code is the one found.
    void add_airport(const std::string& icao, std::string region);
    std::optional<size_t> airport(const std::string& icao) const;
    const std::vector<std::string>& airport_regions() const { return airport_regions_; }

    // The first end of an ident at an airport is the one found.
    void add_runway_end(const std::string& icao, const std::string& ident, RunwayEnd end);
    const RunwayEnd* runway_end(const std::string& icao, const std::string& ident) const;

    // Navaid i has ID i + 1, fix i is waypoint i + 1.
    void add_navaid_region(std::string region) { navaid_regions_.push_back(std::move(region)); }
    const std::string& navaid_region(size_t i) const { return navaid_regions_[i]; }
    void add_fix_region(std::string region) { fix_regions_.push_back(std::move(region)); }
    const std::string& fix_region(size_t i) const { return fix_regions_[i]; }

  private:
    std::vector<std::string> airport_regions_;
    std::unordered_map<std::string, size_t> airport_at_;
    std::unordered_map<std::string, RunwayEnd> runway_ends_;
    std::vector<std::string> navaid_regions_;
    std::vector<std::string> fix_regions_;
};

// The waypoints table as it is written.
class Waypoints {
  public:
    explicit Waypoints(Db& db);
    // A new waypoint; `name`: the fix's or the navaid's own, else the ident,
    // as the lists show it.
    long long add(const std::string& ident, const std::string& name, const std::string& region,
                  double lat, double lon);
    // The waypoint of that ident and region at that place (within a
    // hundredth of a mile), made when there is none yet.
    long long at(const std::string& ident, const std::string& name, const std::string& region,
                 double lat, double lon);
    // A waypoint of that ident at that place, whatever its region; 0 when none.
    long long find(const std::string& ident, double lat, double lon) const;
    // The first waypoint of that ident and region, wherever it lies; 0 when none.
    long long first(const std::string& ident, const std::string& region) const;

  private:
    struct Spot {
        long long id;
        double lat, lon;
        std::string region;
    };
    Insert wpt_, look_;
    long long last_ = 0;
    std::unordered_map<std::string, std::vector<Spot>> spots_;  // by ident
    std::unordered_map<std::string, long long> first_;          // by ident and region
};

// The places a procedure names, found the way the procedure means them.
class Places {
  public:
    struct Found {
        Place at;
        long long waypoint = 0;  // waypoints.ID, 0 when none
        long long navaid = 0;    // navaids.ID, 0 when none
    };

    Places(const NavData& d, const WrittenPlaces& written, Waypoints& waypoints);

    // `as_fix`: a navaid flown to becomes a waypoint, as airway ends do.
    std::optional<Found> find(const PointRef& p, size_t airport, bool as_fix);

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
            const double d = static_cast<double>(great_circle_nm(a.lat, a.lon, lat, lon));
            if (d > 500) continue;
            const std::tuple<int, double> r{penalty, d};
            if (!found || r < best_rank) {
                found = it->second;
                best_rank = r;
            }
        }
        return found;
    }
    std::optional<size_t> nearest_fix(const std::string& ident, const PointRef& p,
                                      const AirportRec& a) const;
    std::optional<size_t> nearest_navaid(const std::string& ident, const PointRef& p,
                                         const AirportRec& a) const;

    const NavData& d_;
    const WrittenPlaces& written_;
    Waypoints& waypoints_;
    std::unordered_multimap<std::string, size_t> fixes_, navaids_;
    std::unordered_map<std::string, Place> localisers_, ils_dmes_;
};

}  // namespace karvel::xplane
