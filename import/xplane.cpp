#include "import/xplane.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "core/codes.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "import/xplane_text.h"

namespace karvel::xplane {

namespace {

bool ends_with(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// A runway designator as published: a number of one digit takes its
// leading zero ("7R" is "07R", "9" is "09"); anything else stays as it is.
std::string runway_designator(std::string ident) {
    const bool one_digit =
        !ident.empty() && std::isdigit(static_cast<unsigned char>(ident[0])) &&
        (ident.size() == 1 || !std::isdigit(static_cast<unsigned char>(ident[1])));
    if (one_digit) ident.insert(0, 1, '0');
    return ident;
}

// "05R" with "23": the end without a side letter takes the mirrored one, so
// that the two ends pair as karvel pairs them (numbers 18 apart, L with R).
void match_suffixes(RunwayEnds& r) {
    auto digits = [](const std::string& s) {
        return s.size() >= 2 && std::isdigit(static_cast<unsigned char>(s[0])) &&
               std::isdigit(static_cast<unsigned char>(s[1]));
    };
    if (!digits(r.ident1) || !digits(r.ident2)) return;
    auto mirror = [](char c) { return c == 'L' ? 'R' : c == 'R' ? 'L' : c; };
    if (r.ident1.size() == 3 && r.ident2.size() == 2 && std::strchr("LRC", r.ident1[2]))
        r.ident2 += mirror(r.ident1[2]);
    else if (r.ident2.size() == 3 && r.ident1.size() == 2 && std::strchr("LRC", r.ident2[2]))
        r.ident1 += mirror(r.ident2[2]);
}

}  // namespace

int read_header(LineReader& in, std::string* cycle) {
    // "I" or "A" (which machine wrote it), then the version line; blank
    // lines and a missing first line are taken as they come.
    std::string line;
    auto next_text = [&] {
        while (in.next(line))
            if (line.find_first_not_of(" \t") != std::string::npos) return true;
        return false;
    };
    if (!next_text()) in.fail("fichier vide");
    if ((line == "I" || line == "A") && !next_text()) in.fail(w1252("ligne de version attendue"));
    const auto t = tokens(line);
    if (t.empty()) in.fail(w1252("ligne de version attendue"));
    char* end = nullptr;
    const std::string v(t[0]);
    const long version = std::strtol(v.c_str(), &end, 10);
    if (*end != '\0') in.fail(w1252("ligne de version attendue"));
    if (cycle) {
        // "data cycle 2013.10" or "data cycle 1802"
        const size_t at = line.find("cycle ");
        if (at != std::string::npos) {
            std::string c;
            for (size_t i = at + 6;
                 i < line.size() &&
                 (std::isdigit(static_cast<unsigned char>(line[i])) || line[i] == '.');
                 ++i)
                c += line[i];
            if (c.size() == 7 && c[4] == '.')
                *cycle = c.substr(2, 2) + c.substr(5, 2);
            else if (c.size() == 4)
                *cycle = c;
        }
    }
    return static_cast<int>(version);
}

int32_t karvel_frequency(double value) {
    const long long scaled = std::llround(value * 10000);
    if (scaled <= 0 || scaled > 99999999) return 0;
    return static_cast<int32_t>(std::strtol(std::to_string(scaled).c_str(), nullptr, 16));
}

// ---- apt.dat -----------------------------------------------------------------

namespace {

// Rows 50-56 give the frequency in tens of kHz, a 25 kHz channel cut to its
// first four decimals (118.725 is 11872: a last digit 2 or 7 is 5 kHz
// more); rows 1050-1056 give it in kHz. Air-band frequencies only.
FrequencyRec frequency_row(const LineReader& in, const std::vector<std::string_view>& t,
                           int code) {
    need(in, t, 2);
    const bool khz = code >= 1050;
    const double v = number(in, t[1], w1252("fréquence").c_str());
    if (v != std::floor(v) || std::fabs(v) > 1e9)
        in.fail(w1252("fréquence attendue en nombre entier : \"") + std::string(t[1]) + "\"");
    long long f = static_cast<long long>(v);
    if (!khz) f = f * 10 + (f % 10 == 2 || f % 10 == 7 ? 5 : 0);
    if (f < 108000 || f > 137000)
        in.fail(w1252("fréquence hors de 108 à 137 MHz : \"") + std::string(t[1]) + "\"");
    return {static_cast<FrequencyKind>(code - (khz ? 1050 : 50)), static_cast<int32_t>(f),
            rest(in, t, 2)};
}

int frequency_code(std::string_view c) {
    if (c.size() == 2 && c[0] == '5' && c[1] >= '0' && c[1] <= '6') return 50 + (c[1] - '0');
    if (c.size() == 4 && c.substr(0, 3) == "105" && c[3] >= '0' && c[3] <= '6')
        return 1050 + (c[3] - '0');
    return 0;
}

}  // namespace

RunwayEnds runway_row(const LineReader& in, const std::vector<std::string_view>& t) {
    need(in, t, 26);
    RunwayEnds r;
    r.ident1 = runway_designator(field(in, t[8]));
    r.lat1 = latitude(in, t[9]);
    r.lon1 = longitude(in, t[10]);
    r.ident2 = runway_designator(field(in, t[17]));
    r.lat2 = latitude(in, t[18]);
    r.lon2 = longitude(in, t[19]);
    match_suffixes(r);
    return r;
}

namespace {

// The airports of apt.dat, with their runways and frequencies.
class AirportRows : public AptRows {
  public:
    AirportRows(const LineReader& in, NavData& data) : in_(in), data_(data) {}

    void row(const std::vector<std::string_view>& t) override {
        const LineReader& in = in_;
        if (airport_row(t[0])) {
            finish();
            if (t[0] != apt_row::land_airport) return;  // seaplane bases and heliports
            need(in, t, 5);
            a_ = AirportRec{};
            a_.elevation = whole(number(in, t[1], "altitude"));
            a_.icao = field(in, t[4]);
            a_.name = rest(in, t, 5);
            open_ = true;
            datum_lat_ = datum_lon_ = false;
            icao_code_.clear();
        } else if (!open_) {
            return;
        } else if (t[0] == apt_row::runway) {
            RunwayEnds r = runway_row(in, t);
            // Ends that do not pair by their numbers and letters are stored
            // as they come, and the row named: no selection draws it.
            if (!idents_pair(r.ident1, r.ident2))
                data_.unpaired_runways.push_back(a_.icao + " " + r.ident1 + "/" + r.ident2);
            a_.runways.push_back(std::move(r));
        } else if (const int code = frequency_code(t[0])) {
            a_.frequencies.push_back(frequency_row(in, t, code));
        } else if (t[0] == apt_row::code && t.size() >= 3) {
            if (t[1] == "datum_lat") {
                dlat_ = latitude(in, t[2]);
                datum_lat_ = true;
            } else if (t[1] == "datum_lon") {
                dlon_ = longitude(in, t[2]);
                datum_lon_ = true;
            } else if (t[1] == "icao_code") {
                icao_code_ = field(in, t[2]);
            } else if (t[1] == "region_code") {
                a_.region = field(in, t[2]);
            }
        }
    }

    void end() override { finish(); }

  private:
    void finish() {
        if (!open_) return;
        open_ = false;
        if (!icao_code_.empty()) a_.icao = icao_code_;
        if (datum_lat_ && datum_lon_) {
            a_.lat = dlat_;  // the airport's own reference point
            a_.lon = dlon_;
        } else if (!a_.runways.empty()) {
            double la = 0, lo = 0;
            for (const RunwayEnds& r : a_.runways) {
                la += r.lat1 + r.lat2;
                lo += r.lon1 + r.lon2;
            }
            a_.lat = la / (2.0 * static_cast<double>(a_.runways.size()));
            a_.lon = lo / (2.0 * static_cast<double>(a_.runways.size()));
        } else {
            return;  // nowhere to put it
        }
        data_.airports.push_back(std::move(a_));
    }

    const LineReader& in_;
    NavData& data_;
    AirportRec a_;
    bool open_ = false, datum_lat_ = false, datum_lon_ = false;
    double dlat_ = 0, dlon_ = 0;
    std::string icao_code_;
};

}  // namespace

std::unique_ptr<AptRows> airport_rows(const LineReader& in, NavData& data) {
    return std::make_unique<AirportRows>(in, data);
}

void read_apt_rows(const std::string& path, NavData* data, const AptSinks& sinks) {
    LineReader in(path);
    std::string cycle;
    const int version = read_header(in, &cycle);
    check_version(in, version, {1000, 1050, 1100, 1130, 1200}, "apt.dat");
    if (data && data->cycle.empty()) data->cycle = cycle;
    std::vector<std::unique_ptr<AptRows>> rows;
    for (const auto& make : sinks) rows.push_back(make(in));
    std::string line;
    while (in.next(line)) {
        const auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == apt_row::end) break;
        for (const auto& r : rows) r->row(t);
    }
    for (const auto& r : rows) r->end();
}

void read_apt(const std::string& path, NavData& data) {
    read_apt_rows(path, &data, {[&](const LineReader& in) { return airport_rows(in, data); }});
}

// ---- nav.dat -----------------------------------------------------------------

namespace {

// A localiser row: its runway named as the program pairs runway ends.
LocaliserRec localiser(const LineReader& in, const std::vector<std::string_view>& t, bool modern,
                       const std::string& ident, double lat, double lon, double freq) {
    LocaliserRec l;
    l.ident = ident;
    l.lat = lat;
    l.lon = lon;
    l.freq = karvel_frequency(freq / 100);
    if (modern) {
        l.airport = field(in, t[8]);
        l.runway = runway_designator(field(in, t[10]));
    } else {
        need(in, t, 10);  // name: airport, runway, kind
        l.airport = field(in, t[8]);
        l.runway = runway_designator(field(in, t[9]));
    }
    return l;
}

// What a DME row is: its ILS's or VOR's (dropped), an NDB's (its NDB made an
// NDB-DME later), or a navaid of its own (a TACAN or a DME alone).
enum class DmeRow { dropped, of_ndb, own };

DmeRow dme_row(const LineReader& in, const std::vector<std::string_view>& t, NavaidRec& n,
               const std::string& kind, double freq, NavData& data) {
    if (ends_with(kind, "ILS") || ends_with(kind, "LOC")) {
        // Procedures measure from it; the airport follows the ident.
        if (t.size() > 8) data.ils_dmes.push_back({n.ident, field(in, t[8]), n.lat, n.lon});
        return DmeRow::dropped;
    }
    if (ends_with(kind, "VORTAC") || ends_with(kind, "VOR-DME") || ends_with(kind, "VOR/DME") ||
        ends_with(kind, "GLS") || ends_with(kind, "MLS"))
        return DmeRow::dropped;
    n.freq = karvel_frequency(freq / 100);
    if (ends_with(kind, "NDB-DME") || ends_with(kind, "NDB/DME")) return DmeRow::of_ndb;
    n.type = ends_with(kind, "TACAN") ? NavaidType::tacan : NavaidType::dme;
    if (n.name.size() > 4 && ends_with(kind, " DME")) n.name.resize(n.name.size() - 4);
    return DmeRow::own;
}

// The station's kind leaves its name ("PARIS VOR" is "PARIS").
void strip_kind(NavaidRec& n, const std::string& kind) {
    if (ends_with(kind, " VORTAC"))
        n.name.resize(n.name.size() - 7);
    else if (ends_with(kind, " VOR-DME") || ends_with(kind, " VOR/DME"))
        n.name.resize(n.name.size() - 8);
    else if (ends_with(kind, " VOR") || ends_with(kind, " NDB"))
        n.name.resize(n.name.size() - 4);
}

// A DME or TACAN standing where a VOR or an NDB of its ident stands is that
// station's: it makes an NDB-DME, a VOR-DME or a VORTAC of it.
void pair_dmes(NavData& data, const std::vector<NavaidRec>& ndb_dmes) {
    std::unordered_multimap<std::string, size_t> stations;
    for (size_t i = 0; i < data.navaids.size(); ++i)
        if (data.navaids[i].type != NavaidType::dme && data.navaids[i].type != NavaidType::tacan)
            stations.emplace(data.navaids[i].ident, i);
    auto station_of = [&](const NavaidRec& d) -> NavaidRec* {
        const auto [from, to] = stations.equal_range(d.ident);
        for (auto it = from; it != to; ++it) {
            NavaidRec& n = data.navaids[it->second];
            if (great_circle_nm(n.lat, n.lon, d.lat, d.lon) * 1852 < 2000) return &n;
        }
        return nullptr;
    };
    for (const NavaidRec& d : ndb_dmes)
        if (NavaidRec* n = station_of(d); n && n->type == NavaidType::ndb)
            n->type = NavaidType::ndb_dme;
    // The stations change first, then their DMEs go: a station listed
    // before its DME (nav.dat lists VORs before DMEs) keeps its new kind.
    std::vector<bool> merged(data.navaids.size());
    for (size_t i = 0; i < data.navaids.size(); ++i) {
        const NavaidRec& n = data.navaids[i];
        if (n.type != NavaidType::dme && n.type != NavaidType::tacan) continue;
        NavaidRec* s = station_of(n);
        if (!s) continue;
        if (s->type == NavaidType::vor)
            s->type = n.type == NavaidType::tacan ? NavaidType::vortac : NavaidType::vor_dme;
        else if (s->type == NavaidType::ndb)
            s->type = NavaidType::ndb_dme;
        merged[i] = true;
    }
    std::vector<NavaidRec> kept;
    kept.reserve(data.navaids.size());
    for (size_t i = 0; i < data.navaids.size(); ++i)
        if (!merged[i]) kept.push_back(std::move(data.navaids[i]));
    data.navaids = std::move(kept);
}

}  // namespace

void read_nav(const std::string& path, NavData& data) {
    LineReader in(path);
    std::string cycle;
    const int version = read_header(in, &cycle);
    check_version(in, version, {810, 1100, 1150, 1200}, "nav.dat");
    if (data.cycle.empty()) data.cycle = cycle;
    const bool modern = version >= 1100;
    std::vector<NavaidRec> ndb_dmes;  // DMEs paired with an NDB, matched afterwards

    std::string line;
    while (in.next(line)) {
        const auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == "99") break;
        const std::string code(t[0]);
        if (code != "2" && code != "3" && code != "4" && code != "5" && code != "12" &&
            code != "13")
            continue;  // glideslopes, markers, GBAS and the like
        const bool loc = code == "4" || code == "5";
        need(in, t, modern ? (loc ? 12 : 11) : 9);
        const double lat = latitude(in, t[1]), lon = longitude(in, t[2]);
        const double freq = number(in, t[4], w1252("fréquence").c_str());
        const std::string ident = field(in, t[7]);
        if (loc) {
            data.localisers.push_back(localiser(in, t, modern, ident, lat, lon, freq));
            continue;
        }
        NavaidRec n;
        n.ident = ident;
        n.lat = lat;
        n.lon = lon;
        if (modern) n.region = field(in, t[9]);
        n.name = rest(in, t, modern ? 10 : 8);
        const std::string kind = upper_ascii(n.name);
        if (code == "2") {
            n.type = NavaidType::ndb;
            n.freq = karvel_frequency(freq);
        } else if (code == "3") {
            n.type = ends_with(kind, "VORTAC") ? NavaidType::vortac
                     : ends_with(kind, "VOR-DME") || ends_with(kind, "VOR/DME")
                         ? NavaidType::vor_dme
                         : NavaidType::vor;
            n.freq = karvel_frequency(freq / 100);
        } else {
            const DmeRow row = dme_row(in, t, n, kind, freq, data);
            if (row == DmeRow::dropped) continue;
            if (row == DmeRow::of_ndb) {
                ndb_dmes.push_back(std::move(n));
                continue;
            }
        }
        strip_kind(n, kind);
        data.navaids.push_back(std::move(n));
    }
    pair_dmes(data, ndb_dmes);
}

// ---- fix.dat -----------------------------------------------------------------

void read_fix(const std::string& path, NavData& data) {
    LineReader in(path);
    const int version = read_header(in, nullptr);
    check_version(in, version, {600, 1101, 1200}, "fix.dat");
    const bool modern = version >= 1101;
    std::string line;
    while (in.next(line)) {
        const auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == "99") break;
        need(in, t, modern ? 5 : 3);
        FixRec f;
        f.lat = latitude(in, t[0]);
        f.lon = longitude(in, t[1]);
        f.ident = field(in, t[2]);
        if (modern) {
            f.terminal = field(in, t[3]);
            f.region = field(in, t[4]);
            if (version >= 1200) f.name = rest(in, t, 6);  // after the waypoint type
        }
        data.fixes.push_back(std::move(f));
    }
}

// ---- awy.dat -----------------------------------------------------------------

void read_awy(const std::string& path, NavData& data) {
    LineReader in(path);
    const int version = read_header(in, nullptr);
    check_version(in, version, {640, 1100}, "awy.dat");
    const bool modern = version >= 1100;
    std::string line;
    while (in.next(line)) {
        const auto t = tokens(line);
        if (t.empty()) continue;
        if (t[0] == "99") break;
        AirwaySegment s;
        std::string names;
        if (modern) {
            need(in, t, 11);
            s.ident1 = field(in, t[0]);
            s.region1 = field(in, t[1]);
            s.type1 = whole(number(in, t[2], "type"));
            s.ident2 = field(in, t[3]);
            s.region2 = field(in, t[4]);
            s.type2 = whole(number(in, t[5], "type"));
            s.level = whole(number(in, t[7], "niveau"));
            names = std::string(t[10]);
        } else {
            need(in, t, 10);
            s.ident1 = field(in, t[0]);
            s.lat1 = latitude(in, t[1]);
            s.lon1 = longitude(in, t[2]);
            s.ident2 = field(in, t[3]);
            s.lat2 = latitude(in, t[4]);
            s.lon2 = longitude(in, t[5]);
            s.has_positions = true;
            s.level = whole(number(in, t[6], "niveau"));
            names = std::string(t[9]);
        }
        // One segment can carry several airways: "UN857-UL612".
        size_t start = 0;
        while (start <= names.size()) {
            const size_t dash = names.find('-', start);
            const std::string name =
                names.substr(start, dash == std::string::npos ? std::string::npos : dash - start);
            if (!name.empty()) {
                s.name = field(in, name);
                data.airways.push_back(s);
            }
            if (dash == std::string::npos) break;
            start = dash + 1;
        }
    }
}

}  // namespace karvel::xplane
