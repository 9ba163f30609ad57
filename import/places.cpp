#include "import/places.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "core/cp1252.h"
#include "core/geometry.h"

namespace karvel::xplane {

namespace {
// Waypoints closer than this with the same ident and region are one point:
// airway files place their ends a few thousandths of a second away from the
// fix they name.
constexpr double kSamePointNm = 0.01;
}  // namespace

namespace {
// A point as a unit vector: the straight distance between two of them grows
// with the great-circle distance, so the nearest by one is the nearest by
// the other, at the cost of a few multiplications.
std::array<double, 3> unit_vector(double lat, double lon) {
    const double a = static_cast<double>(radians(lat)), b = static_cast<double>(radians(lon));
    return {std::cos(a) * std::cos(b), std::cos(a) * std::sin(b), std::sin(a)};
}
}  // namespace

NearestRegion::NearestRegion(const std::vector<AirportRec>& airports,
                             const std::vector<std::string>& regions)
    : airports_(airports), regions_(regions) {
    at_.reserve(airports.size());
    for (size_t i = 0; i < airports.size(); ++i) {
        at_.push_back(unit_vector(airports[i].lat, airports[i].lon));
        // A local code ("2834", "X4AB") never becomes a region.
        if (!is_icao_code(airports[i].icao)) continue;
        cells_[key(cell(airports[i].lat), cell(airports[i].lon))].push_back(i);
        icao_.push_back(i);
    }
}

bool is_icao_code(const std::string& code) {
    return code.size() == 4 && std::all_of(code.begin(), code.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

std::string NearestRegion::operator()(double lat, double lon) const {
    const int cy = cell(lat), cx = cell(lon);
    double best = INFINITY;
    size_t found = airports_.size();
    const std::array<double, 3> p = unit_vector(lat, lon);
    auto consider = [&](size_t i) {
        const std::array<double, 3>& q = at_[i];
        const double d = (p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                         (p[2] - q[2]) * (p[2] - q[2]);
        if (d < best) {
            best = d;
            found = i;
        }
    };
    int stop_at = -1;  // one ring past the first find: a nearer airport may lie there
    for (int r = 0; r <= 180 && r != stop_at; ++r) {
        // Where airports are few, the rings out to r hold more cells than
        // there are airports: looking at each airport then costs less,
        // whatever the distance to the nearest.
        const size_t side = 2 * static_cast<size_t>(r) + 1;
        if (side * side > icao_.size()) {
            best = INFINITY;
            found = airports_.size();
            for (const size_t i : icao_) consider(i);
            break;
        }
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                if (std::max(std::abs(dy), std::abs(dx)) != r) continue;
                const auto it = cells_.find(key(cy + dy, wrap(cx + dx)));
                if (it == cells_.end()) continue;
                for (const size_t i : it->second) consider(i);
            }
        if (found != airports_.size() && stop_at < 0) stop_at = r + 2;
    }
    return found == airports_.size() ? std::string() : regions_[found];
}

void WrittenPlaces::add_airport(const std::string& icao, std::string region) {
    airport_at_.try_emplace(upper_ascii(icao), airport_regions_.size());
    airport_regions_.push_back(std::move(region));
}

std::optional<size_t> WrittenPlaces::airport(const std::string& icao) const {
    const auto it = airport_at_.find(upper_ascii(icao));
    if (it == airport_at_.end()) return std::nullopt;
    return it->second;
}

void WrittenPlaces::add_runway_end(const std::string& icao, const std::string& ident,
                                   RunwayEnd end) {
    runway_ends_.try_emplace(lookup_key(upper_ascii(icao), upper_ascii(ident)), end);
}

const WrittenPlaces::RunwayEnd* WrittenPlaces::runway_end(const std::string& icao,
                                                          const std::string& ident) const {
    const auto it = runway_ends_.find(lookup_key(upper_ascii(icao), upper_ascii(ident)));
    return it == runway_ends_.end() ? nullptr : &it->second;
}

Waypoints::Waypoints(Db& db)
    : wpt_(db,
           "INSERT INTO waypoints (ID, ident, name, latitude, longtitude) VALUES (?, ?, ?, ?, ?)"),
      look_(db, "INSERT INTO waypointlookup (id, country) VALUES (?, ?)") {}

long long Waypoints::add(const std::string& ident, const std::string& name,
                         const std::string& region, double lat, double lon) {
    const long long id = ++last_;
    wpt_(id)(ident)(name.empty() ? ident : name)(lat)(lon).run();
    look_(id)(region).run();
    first_.try_emplace(lookup_key(upper_ascii(ident), upper_ascii(region)), id);
    spots_[upper_ascii(ident)].push_back({id, lat, lon, upper_ascii(region)});
    return id;
}

long long Waypoints::at(const std::string& ident, const std::string& name,
                        const std::string& region, double lat, double lon) {
    if (const auto it = spots_.find(upper_ascii(ident)); it != spots_.end()) {
        const std::string r = upper_ascii(region);
        for (const Spot& s : it->second)
            if (s.region == r && great_circle_nm(lat, lon, s.lat, s.lon) <= kSamePointNm)
                return s.id;
    }
    return add(ident, name, region, lat, lon);
}

long long Waypoints::find(const std::string& ident, double lat, double lon) const {
    if (const auto it = spots_.find(upper_ascii(ident)); it != spots_.end())
        for (const Spot& s : it->second)
            if (great_circle_nm(lat, lon, s.lat, s.lon) <= kSamePointNm) return s.id;
    return 0;
}

long long Waypoints::first(const std::string& ident, const std::string& region) const {
    const auto it = first_.find(lookup_key(upper_ascii(ident), upper_ascii(region)));
    return it == first_.end() ? 0 : it->second;
}

Places::Places(const NavData& d, const WrittenPlaces& written, Waypoints& waypoints)
    : d_(d), written_(written), waypoints_(waypoints) {
    for (size_t i = 0; i < d.fixes.size(); ++i) fixes_.emplace(upper_ascii(d.fixes[i].ident), i);
    for (size_t i = 0; i < d.navaids.size(); ++i)
        navaids_.emplace(upper_ascii(d.navaids[i].ident), i);
    for (const LocaliserRec& l : d.localisers)
        localisers_.try_emplace(lookup_key(upper_ascii(l.airport), upper_ascii(l.ident)),
                                Place{l.lat, l.lon});
    for (const IlsDmeRec& m : d.ils_dmes)
        ils_dmes_.try_emplace(lookup_key(upper_ascii(m.airport), upper_ascii(m.ident)),
                              Place{m.lat, m.lon});
}

std::optional<Places::Found> Places::find(const PointRef& p, size_t airport, bool as_fix) {
    const AirportRec& a = d_.airports[airport];
    const std::string ident = upper_ascii(p.ident), icao = upper_ascii(a.icao);
    if (p.section == "PG") {  // a runway threshold, "RW27L"
        const auto* end =
            written_.runway_end(icao, ident.rfind("RW", 0) == 0 ? ident.substr(2) : ident);
        if (!end) return std::nullopt;
        return Found{end->at, 0, 0};
    }
    if (p.section == "PA") return Found{{a.lat, a.lon}, 0, 0};
    if (p.section == "PI") {  // distances run from the ILS's DME where it has one
        if (auto it = ils_dmes_.find(lookup_key(icao, ident)); it != ils_dmes_.end())
            return Found{it->second, 0, 0};
        if (auto it = localisers_.find(lookup_key(icao, ident)); it != localisers_.end())
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
                        waypoints_.at(r.ident, r.name, written_.navaid_region(*n), r.lat, r.lon);
                return f;
            }
        } else if (auto i = nearest_fix(ident, p, a)) {
            const long long waypoint = static_cast<long long>(*i) + 1;  // fix i is waypoint i + 1
            return Found{{d_.fixes[*i].lat, d_.fixes[*i].lon}, waypoint, 0};
        }
    }
    return std::nullopt;
}

std::optional<size_t> Places::nearest_fix(const std::string& ident, const PointRef& p,
                                          const AirportRec& a) const {
    const std::string icao = upper_ascii(a.icao), region = upper_ascii(p.region);
    const bool terminal_fix = !p.section.empty() && p.section[0] == 'P';
    return best(fixes_, ident, a, [&](size_t i) {
        const FixRec& f = d_.fixes[i];
        const std::string terminal = upper_ascii(f.terminal);
        int penalty = 0;
        if (!region.empty() && upper_ascii(written_.fix_region(i)) != region) penalty += 2;
        // A terminal fix of this airport, or an en-route fix, as the procedure says.
        if (!terminal.empty() && (terminal_fix ? terminal != icao : terminal != "ENRT"))
            penalty += 1;
        return std::tuple<int, double, double>{penalty, f.lat, f.lon};
    });
}

std::optional<size_t> Places::nearest_navaid(const std::string& ident, const PointRef& p,
                                             const AirportRec& a) const {
    const std::string region = upper_ascii(p.region);
    const bool ndb = p.section == "DB" || p.section == "PN";
    return best(navaids_, ident, a, [&](size_t i) {
        const NavaidRec& n = d_.navaids[i];
        int penalty = 0;
        if (!region.empty() && upper_ascii(written_.navaid_region(i)) != region) penalty += 2;
        if (!p.section.empty() && ndb != is_ndb(n.type)) penalty += 1;
        return std::tuple<int, double, double>{penalty, n.lat, n.lon};
    });
}

}  // namespace karvel::xplane
