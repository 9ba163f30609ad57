#include "import/outline_writer.h"

#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/outline.h"

namespace karvel::outlines {

const char* const kOutlineSchemaSql = R"(
CREATE TABLE outlinesources (
    ID           INTEGER PRIMARY KEY,
    file         TEXT,      -- the name of the file read
    format       TEXT,      -- 'geojson', 'arb' or 'openair'
    attribution  TEXT       -- what a file made from it must say of its source
);
-- One outline: its layer in the sector file ('artcc', 'high', 'low'), its
-- limits where the source gives them, and its box; lonmax runs past 180 for
-- an outline across the antimeridian.
CREATE TABLE outlines (
    ID        INTEGER PRIMARY KEY,
    sourceID  INTEGER REFERENCES outlinesources (ID),
    name      TEXT,
    kind      TEXT,
    layer     TEXT,
    lower     TEXT,
    upper     TEXT,
    latmin    REAL, latmax REAL, lonmin REAL, lonmax REAL,
    class     TEXT      -- the airspace class, 'A' to 'G', where the source gives it
);
CREATE TABLE outlinepoints (
    outlineID   INTEGER REFERENCES outlines (ID),
    ring        INTEGER,    -- closed shapes, from 0
    seq         INTEGER,    -- points in order; the last joins the first
    latitude    REAL,
    longtitude  REAL
);
CREATE INDEX outlinepoints_outline ON outlinepoints (outlineID, ring, seq);
-- What a source said of a ring beyond its points: that it left it open (its
-- last point not its first), or that it is a circle (centre and radius in
-- nautical miles; NULL for another ring).
CREATE TABLE outlinerings (
    outlineID   INTEGER REFERENCES outlines (ID),
    ring        INTEGER,
    open        INTEGER,
    latitude    REAL,
    longtitude  REAL,
    radius      REAL
);
)";

void write_outline_tables(xplane::Db& db, const std::vector<OutlineFile>& files,
                          const std::function<void(const std::string&)>& report) {
    db.exec(kOutlineSchemaSql);
    xplane::Insert source(db,
                          "INSERT INTO outlinesources (ID, file, format, attribution) VALUES (?, "
                          "?, ?, ?)");
    xplane::Insert outline(db,
                           "INSERT INTO outlines (ID, sourceID, name, kind, layer, lower, upper, "
                           "latmin, latmax, lonmin, lonmax, class) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    xplane::Insert point(db,
                         "INSERT INTO outlinepoints (outlineID, ring, seq, latitude, longtitude) "
                         "VALUES (?, ?, ?, ?, ?)");
    xplane::Insert ring(db,
                        "INSERT INTO outlinerings (outlineID, ring, open, latitude, longtitude, "
                        "radius) VALUES (?, ?, ?, ?, ?, ?)");
    long long oid = 0;
    for (size_t f = 0; f < files.size(); ++f) {
        const OutlineFile& file = files[f];
        const auto sid = static_cast<long long>(f) + 1;
        const std::string name =
            file.outlines.empty() ? path_text(file.path) : file.outlines.front().source;
        source(sid)(name)(std::string(format_text(file.format))).text(file.attribution).run();
        long long points = 0;
        for (const Outline& o : file.outlines) {
            outline(++oid)(sid)(o.name)(o.kind)(std::string(outline_layer_text(o.layer)))
                .text(o.lower)
                .text(o.upper)(o.box.lat_min)(o.box.lat_max)(o.box.lon_min)(o.box.lon_max)
                .text(o.airspace_class)
                .run();
            for (size_t r = 0; r < o.rings.size(); ++r)
                for (size_t i = 0; i < o.rings[r].size(); ++i, ++points)
                    point(oid)(static_cast<long long>(r))(static_cast<long long>(i))(
                        o.rings[r][i].latitude)(o.rings[r][i].longitude)
                        .run();
            for (const size_t r : o.open_rings)
                ring(oid)(static_cast<long long>(r))(1LL).null().null().null().run();
            for (const OutlineCircle& c : o.circles)
                ring(oid)(static_cast<long long>(c.ring))(0LL)(c.centre.latitude)(
                    c.centre.longitude)(c.radius_nm)
                    .run();
        }
        report(path_text(file.path) + " (" + format_text(file.format) + ") : " +
               std::to_string(file.outlines.size()) + " contours, " + std::to_string(points) +
               " points" +
               (file.passed_over ? ", " + std::to_string(file.passed_over) + w1252(" laissés sans contour")
                                 : ""));
    }
}

}  // namespace karvel::outlines
