// The codes of the navigation database, each under one name: navaid types,
// procedure kinds and airway levels as the tables hold them, and the key
// by which the importer finds a record again by two of its texts.
#pragma once

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

namespace karvel {

// navaids.type: what kind of station a navaid row is (navaidtypes names them).
enum class NavaidType : int {
    vor = 1,
    vor_dme = 2,
    vortac = 3,
    dme = 4,
    ndb = 5,
    tacan = 6,
    ndb_dme = 7
};
// NDBs go to their own list; every other kind is VOR-type.
inline bool is_ndb(NavaidType type) {
    return type == NavaidType::ndb || type == NavaidType::ndb_dme;
}
inline bool is_ndb(int type) {
    return is_ndb(static_cast<NavaidType>(type));
}

// airportfreqs.kind: what an airport frequency serves, by its apt.dat row
// (50 or 1050 ATIS ... 56 or 1056 departure, less 50 or 1050).
enum class FrequencyKind : int {
    atis = 0,
    unicom = 1,  // UNICOM or CTAF: no controller
    delivery = 2,
    ground = 3,
    tower = 4,
    approach = 5,
    departure = 6
};
inline constexpr int kFrequencyKindCount = 7;

// The type of an airway's end in the X-Plane files: a fix, or a navaid.
enum class AirwayEndType : int { ndb = 2, vhf = 3, fix = 11 };

// terminals.proc: a STAR or a SID.
enum class ProcedureKind : int { star = 1, sid = 2 };
inline const char* procedure_code(ProcedureKind kind) {
    return kind == ProcedureKind::sid ? "2" : "1";
}

// airwaylegs.level: the level an airway segment is flown at.
enum class AirwayLevel : char { unknown = 0, low = 'L', high = 'H', both = 'B' };
// The level the table's text names ("low", "high", "both"), unknown otherwise.
inline AirwayLevel airway_level(std::string_view text) {
    return text == "low"    ? AirwayLevel::low
           : text == "high" ? AirwayLevel::high
           : text == "both" ? AirwayLevel::both
                            : AirwayLevel::unknown;
}
// The table's text of a level ("" for unknown).
inline const char* airway_level_text(AirwayLevel level) {
    switch (level) {
        case AirwayLevel::low:
            return "low";
        case AirwayLevel::high:
            return "high";
        case AirwayLevel::both:
            return "both";
        case AirwayLevel::unknown:
            break;
    }
    return "";
}

// The key of a record found by two texts ("LFPG|09R", "ABC|LF").
inline std::string lookup_key(std::string_view first, std::string_view second) {
    std::string key;
    key.reserve(first.size() + 1 + second.size());
    key += first;
    key += '|';
    key += second;
    return key;
}

// The runway number of an ident: its first two characters when both are
// digits; -1 when it has none (a helipad "H1", "7R" written without its
// leading zero), and such an ident pairs with nothing.
inline int runway_number(const std::string& ident) {
    if (ident.size() < 2 || !std::isdigit(static_cast<unsigned char>(ident[0])) ||
        !std::isdigit(static_cast<unsigned char>(ident[1])))
        return -1;
    return (ident[0] - '0') * 10 + (ident[1] - '0');
}

// Runway idents pair when their numbers differ by 18 (09 and 27), and with
// three characters when their letters face each other: L with R, or the same
// letter on both ends other than L and R (C, true headings T, and S, G, U, W).
inline bool idents_pair(const std::string& t, const std::string& r) {
    if (t.size() != r.size() || (t.size() != 2 && t.size() != 3)) return false;
    const int a = runway_number(t), b = runway_number(r);
    if (a < 0 || b < 0 || std::abs(a - b) != 18) return false;
    if (t.size() == 2) return true;
    const char x = t[2], y = r[2];
    if ((x == 'R' && y == 'L') || (x == 'L' && y == 'R')) return true;
    return x == y && x >= 'A' && x <= 'Z' && x != 'L' && x != 'R';
}

}  // namespace karvel
