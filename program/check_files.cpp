#include "program/check_files.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/magnetic.h"
#include "core/numtext.h"
#include "navdb/database.h"
#include "sector/check_text.h"
#include "selection/loaders.h"

namespace karvel {

namespace {

constexpr double kMovedM = 100;

struct Known {
    geo_point at;
    std::string frequency;  // as the sector file writes it; "" for none
    std::string name;
};
using ByName = std::unordered_map<std::string, std::vector<Known>>;

// The points of one table by cells of a hundredth of a degree, to find
// the one at a place whatever its name.
using Cells = std::unordered_map<int64_t, std::vector<const Known*>>;
int64_t cell_of(double latitude, double longitude) {
    return static_cast<int64_t>(std::floor(latitude * 100)) * 100000 +
           static_cast<int64_t>(std::floor(longitude * 100));
}
Cells cells_of(const ByName& known) {
    Cells cells;
    for (const auto& [name, points] : known)
        for (const Known& k : points) cells[cell_of(k.at.latitude, k.at.longitude)].push_back(&k);
    return cells;
}

// A point of the table within 100 m of `p`: the one a renamed point is now.
const Known* at_place(const Cells& cells, geo_point p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const auto it = cells.find(cell_of(p.latitude + dy / 100.0, p.longitude + dx / 100.0));
            if (it == cells.end()) continue;
            for (const Known* k : it->second)
                if (great_circle_nm(p.latitude, p.longitude, k->at.latitude, k->at.longitude) *
                        kMetresPerNm <=
                    kMovedM)
                    return k;
        }
    return nullptr;
}

// Every row of `sql`: its name, position and, where `freq` is given, its
// frequency field.
void read(Query& q, const std::string& sql, const char* name, const char* freq, ByName& into) {
    q.set_sql({sql});
    q.open();
    const int f_name = q.field_index(name), f_lat = q.field_index("latitude"),
              f_lon = q.field_index("longtitude"), f_freq = freq ? q.field_index(freq) : -1;
    for (q.first(); !q.eof(); q.next())
        into[upper_ascii(q.text(f_name))].push_back(
            {{q.real(f_lat), q.real(f_lon)},
             f_freq >= 0 ? frequency_text(q.integer(f_freq)) : "",
             q.text(f_name)});
    q.close();
    q.clear_sql();
}

// The nearest of the name's points, and how far in metres.
const Known* nearest(const ByName& known, const std::string& name, geo_point p, double& metres) {
    const auto it = known.find(upper_ascii(name));
    if (it == known.end()) return nullptr;
    const Known* best = nullptr;
    for (const Known& k : it->second) {
        const double m = static_cast<double>(
            great_circle_nm(p.latitude, p.longitude, k.at.latitude, k.at.longitude) * kMetresPerNm);
        if (!best || m < metres) best = &k, metres = m;
    }
    return best;
}

// AIRAC cycles as the databases name them, "2613": two digits of the year,
// two of the cycle. Of other names, none is known to be older.
bool older_cycle(const std::string& a, const std::string& b) {
    int32_t x = 0, y = 0;
    return try_str_to_int(a, x) && try_str_to_int(b, y) && x < y;
}

}  // namespace

void compare_with_database(Query& q, const SectorDefinitions& sector, const std::string& file,
                           std::vector<Finding>& out) {
    if (!sector.cycle.empty()) {
        q.set_sql(cycle_statement());
        q.open();
        q.first();
        const std::string cycle = q.eof() ? "" : q.as_text("val");
        q.close();
        q.clear_sql();
        if (older_cycle(sector.cycle, cycle))
            out.push_back({file, sector.cycle_line, false, "cycle",
                           w1252("fichier du cycle ") + sector.cycle +
                               w1252(", plus ancien que celui de la base de données (") + cycle +
                               w1252(") : à refaire")});
    }
    ByName navaids, fixes, airports, thresholds;
    read(q, "select ident,freq,latitude,longtitude from navaids", "ident", "freq", navaids);
    read(q, "select ident,freq,latitude,longtitude from ILSes", "ident", "freq", navaids);
    read(q, "select ident,latitude,longtitude from waypoints", "ident", nullptr, fixes);
    read(q, "select ICAO,latitude,longtitude from airports", "ICAO", nullptr, airports);
    read(q,
         "select airports.ICAO || ' ' || runways.ident as end_name,runways.latitude,"
         "runways.longtitude from runways join airports on airports.ID=runways.airportID",
         "end_name", nullptr, thresholds);
    const auto error = [&](size_t line, const std::string& message) {
        out.push_back({file, line, true, "cycle", message});
    };
    std::unordered_map<const ByName*, Cells> cells;
    for (const auto& p : sector.points) {
        const ByName& in = p.section == "[FIXES]"     ? fixes
                           : p.section == "[AIRPORT]" ? airports
                                                      : navaids;
        double metres = 0;
        const Known* k = nearest(in, p.name, p.at, metres);
        if (!k) {
            auto [it, added] = cells.try_emplace(&in);
            if (added) it->second = cells_of(in);
            const Known* there = at_place(it->second, p.at);
            error(p.line, p.name + (there ? w1252(" renommé ") + there->name
                                          : w1252(" n'est plus dans la base de données")));
            continue;
        }
        if (metres > kMovedM) error(p.line, p.name + w1252(" déplacé de ") + distance_text(metres));
        const auto a = check::number(p.frequency), b = check::number(k->frequency);
        if (p.section != "[AIRPORT]" && a && b && std::fabs(*a - *b) > 0.0005)
            error(p.line, p.name + w1252(" : fréquence ") + p.frequency + w1252(", la base dit ") +
                              k->frequency);
    }
    for (const auto& r : sector.runways) {
        if (r.airport.empty()) continue;
        for (const auto& [id, at] : {std::pair(r.id1, r.end1), std::pair(r.id2, r.end2)}) {
            double metres = 0;
            if (!nearest(thresholds, r.airport + " " + id, at, metres))
                error(r.line, r.airport + w1252(" : piste ") + id +
                                  w1252(" absente de la base de données"));
            else if (metres > kMovedM)
                error(r.line,
                      r.airport + " " + id + w1252(" : seuil déplacé de ") + distance_text(metres));
        }
    }
}

std::vector<Finding> check_files(const ProgramInfo& info, const std::string& sector_path) {
    CheckOptions options;
    std::optional<MagneticModel> model;
    try {
        model = MagneticModel::read(info.folder + "/" + kMagneticModelFile);
    } catch (const Error&) {  // no model: the headings against their own line only
    }
    if (model && model->covers(today())) {
        options.magnetic = &*model;
        options.year = decimal_year(today());
    }
    std::vector<Finding> found;
    const SectorDefinitions defs = check_sector_file(sector_path, options, found);
    std::filesystem::path ese = fs_path(sector_path);
    ese.replace_extension(".ese");
    std::error_code ec;
    if (std::filesystem::is_regular_file(ese, ec))
        check_companion_file(from_fs_path(ese), defs, found);
    return found;
}

std::string file_line(const std::string& path, size_t number) {
    std::ifstream f(fs_path(path), std::ios::binary);
    std::string line;
    for (size_t n = 0; n < number && std::getline(f, line); ++n) {
    }
    if (!f) return "";
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace karvel
