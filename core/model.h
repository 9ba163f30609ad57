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

#include "core/codes.h"

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

// One radio frequency of an airport, in kHz, with its name ("DE GAULLE TWR").
struct AirportFrequency {
    std::string airport_id;
    FrequencyKind kind = FrequencyKind::tower;
    int32_t khz = 0;
    std::string name;
};

// One physical runway: both ends in one record.
struct RUNWAY {
    std::string id1;
    std::string id2;
    std::string airport_id;
    std::string airport_name;
    std::string ident1;
    std::string ident2;
    double heading1 = 0;  // true headings as the database gives them
    double heading2 = 0;
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
    AirwayLevel level = AirwayLevel::unknown;  // an airway segment's
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

// A box of the globe. Its longitudes may run past 180 or below -180 (a
// selection across the antimeridian); one of 360 degrees or more holds
// every longitude.
struct GeoBox {
    double lat_min = 0, lat_max = 0, lon_min = 0, lon_max = 0;
    // On or inside the edges, longitudes taken round the globe.
    bool contains(const geo_point& p) const;
};

// The flat local plane of a selection: nautical miles a degree of latitude
// and of longitude, in single precision.
struct PlaneScale {
    float nm_per_deg_lat = 60.0f;
    float nm_per_deg_lon = 60.0f;
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

// Where the client format writes an outline: [ARTCC], [ARTCC HIGH] or
// [ARTCC LOW].
enum class OutlineLayer { artcc, high, low };

// An airspace outline (a FIR, a centre's stratum, a control zone): closed
// rings of points in order, the last joined to the first (never repeated),
// longitudes within -180..180. Its box is taken along the rings, so that an
// outline across 180 degrees has `lon_max` above 180.
// A ring the source gave as a circle: its centre and radius.
struct OutlineCircle {
    size_t ring = 0;
    geo_point centre;
    double radius_nm = 0;
};

struct Outline {
    std::string id;
    std::string name;              // the source's id or name
    std::string kind;              // "FIR", "HIGH", "LOW", "CTA", an airspace class...
    std::string lower, upper;      // the limits as the source writes them, where known
    OutlineLayer layer = OutlineLayer::artcc;
    std::string source;            // the name of the file it was read from
    std::string attribution;       // what a file made from it must say of its source
    std::string airspace_class;    // "A" to "G" where the source gives it
    std::vector<t_point> rings;
    GeoBox box;
    bool selected = true;          // goes into the sector file
    // What the source said of some rings beyond their points: those it left
    // open (their last point not their first: drawn closed all the same),
    // and those it gave as circles.
    std::vector<size_t> open_rings;
    std::vector<OutlineCircle> circles;
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
// ID index: `airport_ids` is `airports.ids()`). Records come in only with
// their ID (or an empty slot that matches nothing), and go only all at
// once, so the two never fall out of step.
template <class T, std::string T::*Id = &T::id>
class Table {
  public:
    using value_type = T;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    Table() = default;
    // The records given, each with its ID.
    Table(std::initializer_list<T> rows) {
        for (const T& r : rows) append(r);
    }

    void reset() {
        rows_.clear();
        ids_.clear();
    }
    void reserve(size_t n) {
        rows_.reserve(n);
        ids_.reserve(n);
    }
    // The record, and its ID at its position.
    T& append(T record) {
        ids_.append(record.*Id);
        rows_.push_back(std::move(record));
        return rows_.back();
    }
    // A record no ID look-up finds (an ILS among the VORs).
    T& append_unindexed(T record) {
        ids_.append_empty();
        rows_.push_back(std::move(record));
        return rows_.back();
    }

    // The first record whose ID equals `id` without regard to case, or null.
    const T* find(std::string_view id) const {
        const int p = ids_.find(id);
        return p < 0 ? nullptr : &rows_[static_cast<size_t>(p)];
    }
    const IdIndex& ids() const { return ids_; }

    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    // A record's fields other than its ID may change in place.
    T& operator[](size_t i) { return rows_[i]; }
    const T& operator[](size_t i) const { return rows_[i]; }
    iterator begin() { return rows_.begin(); }
    iterator end() { return rows_.end(); }
    const_iterator begin() const { return rows_.begin(); }
    const_iterator end() const { return rows_.end(); }
    const std::vector<T>& records() const { return rows_; }

  protected:
    std::vector<T> rows_;
    IdIndex ids_;
};

// Runways have an index for each end: `ids()` holds `id1` (runway_ids1),
// `ids2()` holds `id2` once the record is paired (runway_ids2). The table of
// the first ends is held, not shown, so that no call can grow or empty it
// without the second index.
class RunwayTable : private Table<RUNWAY, &RUNWAY::id1> {
    using Ends = Table<RUNWAY, &RUNWAY::id1>;

  public:
    using Ends::begin;
    using Ends::empty;
    using Ends::end;
    using Ends::find;
    using Ends::ids;
    using Ends::records;
    using Ends::size;
    using Ends::operator[];
    using value_type = RUNWAY;

    RunwayTable() = default;
    RunwayTable(std::initializer_list<RUNWAY> rows) {
        for (const RUNWAY& r : rows) append(r);
    }
    void reset() {
        Ends::reset();
        ids2_.clear();
    }
    void reserve(size_t n) {
        Ends::reserve(n);
        ids2_.reserve(n);
    }
    // A runway, its second end indexed when it has one.
    RUNWAY& append(RUNWAY record) {
        if (record.paired())
            ids2_.append(record.id2);
        else
            ids2_.append_empty();
        return Ends::append(std::move(record));
    }
    // The record at `position` gets its second end: ID, ident, heading, position.
    void pair(int position, const std::string& id2, const std::string& ident2, double heading2,
              double lat2, double lon2) {
        RUNWAY& r = rows_[static_cast<size_t>(position)];
        r.id2 = id2;
        r.ident2 = ident2;
        r.heading2 = heading2;
        r.lat2 = lat2;
        r.lon2 = lon2;
        ids2_.set(position, id2);
    }
    const IdIndex& ids2() const { return ids2_; }

  private:
    IdIndex ids2_;
};

// What an airport's ground drawing holds: paved or unpaved areas (by their
// surface), runways and helipads (from their ends and width), and painted
// or lit lines (by their line type).
enum class GroundKind { pavement, runway, line };

// One shape of an airport's ground. An area's first ring is its outline and
// the others its holes, each closed (the last point joined to the first,
// never repeated); a line has one ring, its points in order, open (a line
// that closes on itself repeats its first point at its end).
struct GroundShape {
    std::string id;
    std::string airport;  // the airport's ICAO code
    GroundKind kind = GroundKind::pavement;
    int code = 0;         // the surface of an area, the line type of a line
    std::string name;     // the source's name of an area, a runway's "09L/27R"
    std::vector<t_point> rings;
};

// A parking position: a gate, a stand, a tie-down.
struct Stand {
    std::string id;
    std::string airport;
    std::string name;
    std::string kind;  // "gate", "hangar", "tie_down", "misc"; empty where the source has none
    double latitude = 0, longitude = 0;
    double heading = 0;
};

// The ground drawings of the airports chosen for them, not of the
// selection: a new selection keeps them.
struct Ground {
    std::vector<std::string> airports;  // the ICAO codes chosen, in their order
    Table<GroundShape> shapes;
    Table<Stand> stands;
    // Taxiway names: the designators of the location signs, and of the named
    // taxiway edges where the airport has no sign of that name near
    // (`kind` "sign" or "edge").
    std::vector<Stand> taxiways;
    bool empty() const { return shapes.empty() && stands.empty() && taxiways.empty(); }
};

// The loaded navigation tables of a selection.
struct NavTables {
    Table<Airport> airports;
    std::vector<AirportFrequency> frequencies;  // of the airports, by airport in their order
    RunwayTable runways;
    Table<VOR> vors;  // VOR-type navaids, then ILS localisers (not in `ids()`)
    Table<VOR> ndbs;
    Table<FIXE> waypoints;
    Table<ROUTE> sids;
    Table<ROUTE> stars;
    Table<ROUTE> airways;
    std::vector<t_geo> geo_lines;
    Table<Outline> outlines;
    Ground ground;
};

// The map's scale a selection sets: pixels a nautical mile, the visibility
// range and the rings' spacing, in nautical miles.
struct ViewScale {
    float px_per_nm = 0;
    int32_t range_nm = 100;
    int32_t ring_step_nm = 0;
};

// Where a selection stands: its box, the extent of its waypoints, its centre,
// the plane its procedures and file are drawn on, and the map scale it
// sets. A selection fills a new frame, or changes nothing.
struct SelectionFrame {
    GeoBox box;
    GeoBox extent;
    double centre_lat = 0, centre_lon = 0;
    PlaneScale plane;
    ViewScale view;
};

// What the program knows of itself: its folder, version and region index.
struct ProgramInfo {
    std::string folder;
    std::string version_caption;
    std::vector<std::string> region_lines;
    std::vector<std::string> region_codes;
};

inline constexpr const char* kVersionCaption = "karvel 1.6";

}  // namespace karvel
