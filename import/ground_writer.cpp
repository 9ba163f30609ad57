#include "import/ground_writer.h"

#include "core/ground.h"

namespace karvel::xplane {

const char* const kGroundSchemaSql = R"(
-- One shape of an airport's ground: an area ('pavement', by its surface
-- type), a runway or helipad ('runway', by its surface type) or a painted
-- or lit line ('line', by its line type).
CREATE TABLE groundshapes (
    ID       INTEGER PRIMARY KEY,
    airport  TEXT,      -- the airport's ICAO code
    kind     TEXT,
    code     INTEGER,
    name     TEXT
);
CREATE INDEX groundshapes_airport ON groundshapes (airport);
-- An area's ring 0 is its outline, the others its holes, each closed (its
-- last point joins its first); a line is ring 0, open.
CREATE TABLE groundpoints (
    shapeID     INTEGER REFERENCES groundshapes (ID),
    ring        INTEGER,
    seq         INTEGER,
    latitude    REAL,
    longtitude  REAL,
    PRIMARY KEY (shapeID, ring, seq)
) WITHOUT ROWID;
CREATE TABLE groundstands (
    ID          INTEGER PRIMARY KEY,
    airport     TEXT,
    name        TEXT,
    kind        TEXT,   -- 'gate', 'hangar', 'tie_down', 'misc', or none
    heading     REAL,
    latitude    REAL,
    longtitude  REAL
);
CREATE INDEX groundstands_airport ON groundstands (airport);
-- A taxiway's name where a location sign shows it ('sign') or at the
-- middle of a named edge of the taxi network ('edge').
CREATE TABLE groundnames (
    airport     TEXT,
    name        TEXT,
    kind        TEXT,
    latitude    REAL,
    longtitude  REAL
);
CREATE INDEX groundnames_airport ON groundnames (airport);
)";

struct GroundWriter::Statements {
    explicit Statements(Db& db)
        : shape(db, "INSERT INTO groundshapes (ID, airport, kind, code, name) VALUES (?, ?, ?, ?, ?)"),
          point(db,
                "INSERT INTO groundpoints (shapeID, ring, seq, latitude, longtitude) VALUES (?, ?, "
                "?, ?, ?)"),
          stand(db,
                "INSERT INTO groundstands (airport, name, kind, heading, latitude, longtitude) "
                "VALUES (?, ?, ?, ?, ?, ?)"),
          name(db,
               "INSERT INTO groundnames (airport, name, kind, latitude, longtitude) VALUES (?, ?, ?, "
               "?, ?)") {}
    Insert shape, point, stand, name;
};

GroundWriter::GroundWriter(Db& db) {
    db.exec(kGroundSchemaSql);
    st_ = std::make_unique<Statements>(db);
}

GroundWriter::~GroundWriter() = default;

void GroundWriter::write(const AirportGround& airport) {
    ++airports_;
    for (const GroundShape& s : airport.shapes) {
        ++shapes_;
        (s.kind == GroundKind::line ? lines_ : areas_) += 1;
        st_->shape(shapes_)(airport.icao)(std::string(ground_kind_text(s.kind)))(s.code)
            .text(s.name)
            .run();
        for (size_t r = 0; r < s.rings.size(); ++r)
            for (size_t i = 0; i < s.rings[r].size(); ++i, ++points_)
                st_->point(shapes_)(static_cast<long long>(r))(static_cast<long long>(i))(
                       s.rings[r][i].latitude)(s.rings[r][i].longitude)
                    .run();
    }
    for (const Stand& s : airport.stands) {
        ++stands_;
        st_->stand(airport.icao)(s.name).text(s.kind)(s.heading)(s.latitude)(s.longitude).run();
    }
    for (const Stand& s : airport.taxiways) {
        ++names_;
        st_->name(airport.icao)(s.name)(s.kind)(s.latitude)(s.longitude).run();
    }
}

std::string GroundWriter::summary() const {
    return "sol : " + std::to_string(airports_) + w1252(" aérodromes, ") + std::to_string(areas_) +
           w1252(" surfaces, ") + std::to_string(lines_) + " lignes, " + std::to_string(stands_) +
           " postes, " + std::to_string(points_) + " points, " + std::to_string(names_) +
           " noms de voies";
}

}  // namespace karvel::xplane
