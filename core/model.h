// The navigation data of the current selection: records, tables, the ID
// indexes that run parallel to them, and the extents a selection leaves.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace karvel {

struct Airport {
    std::string id;
    std::string icao;
    std::string name;
    std::string freq;
    double latitude = 0;
    double longitude = 0;
    std::string class_code;
    std::string comment;
};

// One physical runway: both ends in one record.
struct RUNWAY {
    std::string id1;
    std::string id2;
    std::string airport_id;
    std::string airport_name;
    std::string ident1;
    std::string ident2;
    std::string heading1;
    std::string heading2;
    bool ils1 = false;
    bool ils2 = false;
    double lat1 = 0;
    double lon1 = 0;
    double lat2 = 0;
    double lon2 = 0;
    std::string comment;

    // The second end is known: only then has the runway a line to draw (an
    // end pairs only with an ident, so a paired record has one there).
    bool paired() const { return !ident2.empty(); }
};

// A VOR-type navaid, an NDB or an ILS localiser.
struct VOR {
    std::string id;
    std::string ident;
    std::string name;
    std::string desc;
    std::string runway_id;
    std::string freq;
    double latitude = 0;
    double longitude = 0;
};

struct FIXE {
    std::string id;
    std::string ident;
    std::string name;
    double latitude = 0;
    double longitude = 0;
    bool selected = false;
    std::string comment;
};

struct LINE {
    std::string transition;
    double lat1 = 0;
    double lon1 = 0;
    double lat2 = 0;
    double lon2 = 0;
    char level = 0;  // an airway segment's: 'L' low, 'H' high, 'B' both, 0 not known
};

struct t_leg {
    std::string id;
    std::string type;
    std::string transition;
    std::string trackcode;
    std::string wptid;
    double wptlat = 0;
    double wptlon = 0;
    std::string turndir;
    std::string navid;
    double navlat = 0;
    double navlon = 0;
    double navbear = 0;
    double navdist = 0;
    double course = 0;
    double distance = 0;
    std::string centerid;
    double centerlat = 0;
    double centerlon = 0;
};

// A SID, a STAR or an airway.
struct ROUTE {
    std::string id;
    std::string airport_id;
    std::string icao;
    std::string rwy_id;
    std::string name;
    std::vector<LINE> lines;
    std::vector<t_leg> legs;
    std::vector<std::string> transitions;  // distinct leg transitions, first seen
    double rwy_lat = 0;
    double rwy_lon = 0;
    bool selected = false;
    bool has_rwy_position = false;  // SID: rwy_id named a loaded runway end
};

struct geo_point {
    double latitude = 0;
    double longitude = 0;
};
using t_point = std::vector<geo_point>;

// The smallest box holding a polyline's vertices, when known: drawing
// passes over a polyline whose box lies outside the selection at once.
struct GeoBounds {
    bool known = false;
    double lat_min = 0, lat_max = 0, lon_min = 0, lon_max = 0;
};
inline GeoBounds bounds_of(const t_point& points) {
    GeoBounds b{true, std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity()};
    for (const geo_point& p : points) {  // a vertex that is not a number is never inside
        if (p.latitude < b.lat_min) b.lat_min = p.latitude;
        if (p.latitude > b.lat_max) b.lat_max = p.latitude;
        if (p.longitude < b.lon_min) b.lon_min = p.longitude;
        if (p.longitude > b.lon_max) b.lon_max = p.longitude;
    }
    return b;
}

struct t_geo {
    std::string name;  // "coast" or "river"
    t_point points;
    GeoBounds bounds;
};

// Colours in the toolkit's encoding: 0x00BBGGRR, or 0x80000000 + index for a
// system colour.
using TColor = int32_t;

struct t_couleur {
    std::string name;
    TColor color = 0;
    bool visible = false;
};

struct t_define {
    std::string key;
    std::string value;
};

struct t_ODBC {
    std::string driver;
    std::string dsn;
    std::string description;
    std::string filename;
};

// Case-insensitive (Windows-1252 letters) hashing for the ID indexes.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const noexcept;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// IDs at the positions of their records. find() answers as a scan of the list
// would: the first position whose ID equals the text without regard to case,
// or -1. A slot made by append_empty() holds no ID and matches nothing, not
// even an empty text.
class IdIndex {
  public:
    void clear();
    void reserve(size_t n);
    void append(std::string_view id);
    void append_empty();
    void set(int position, std::string_view id);
    int find(std::string_view id) const;
    int size() const { return static_cast<int>(ids_.size()); }
    const std::string& at(int position) const { return ids_[static_cast<size_t>(position)]; }

  private:
    void forget(int position);

    std::vector<std::string> ids_;
    std::vector<bool> has_;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> first_;
};

// A table and the IDs of its records at the same positions (the records'
// ID index: `airport_ids` is `airports.ids`), emptied and grown together.
template <class T, std::string T::*Id = &T::id>
struct Table : std::vector<T> {
    IdIndex ids;

    Table() = default;
    // The records given, each with its ID.
    Table(std::initializer_list<T> rows) { *this = rows; }
    Table& operator=(std::initializer_list<T> rows) {
        reset();
        for (const T& r : rows) append(r);
        return *this;
    }
    void reset() {
        this->clear();
        ids.clear();
    }
    void reserve_both(size_t n) {
        this->reserve(n);
        ids.reserve(n);
    }
    // The record, and its ID at its position.
    T& append(T record) {
        ids.append(record.*Id);
        this->push_back(std::move(record));
        return this->back();
    }
};

// Runways have an index for each end: `ids` holds `id1` (runway_ids1),
// `ids2` holds `id2` once the record is paired (runway_ids2).
struct RunwayTable : Table<RUNWAY, &RUNWAY::id1> {
    IdIndex ids2;
    void reset() {
        Table<RUNWAY, &RUNWAY::id1>::reset();
        ids2.clear();
    }
};

// The navigation tables and everything a selection leaves behind.
struct NavState {
    Table<Airport> airports;
    RunwayTable runways;
    Table<VOR> vors;  // VOR-type navaids, then ILS localisers (not in `ids`)
    Table<VOR> ndbs;
    Table<FIXE> waypoints;
    Table<ROUTE> sids;
    Table<ROUTE> stars;
    Table<ROUTE> airways;
    std::vector<t_geo> geo_lines;

    double box_lat_min = 0, box_lat_max = 0, box_lon_min = 0, box_lon_max = 0;
    double wpt_lat_min = 0, wpt_lat_max = 0, wpt_lon_min = 0, wpt_lon_max = 0;
    double centre_lat = 0, centre_lon = 0;

    std::string program_dir;
    std::string version_caption;
    std::vector<std::string> region_lines;
    std::vector<std::string> region_codes;
    std::string region_code;
    std::string selection_text;
    std::string cycle_name;
};

inline constexpr const char* kVersionCaption = "karvel 1.6";

}  // namespace karvel
