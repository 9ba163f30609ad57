#include "selection/outline_loader.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "core/error.h"
#include "core/numtext.h"
#include "core/outline.h"
#include "selection/loaders.h"
#include "selection/statements.h"

namespace karvel {

namespace {

// The outlines whose latitudes meet the box's; their longitudes are looked
// at once read (a box may run across 180 degrees on either side).
// Databases imported before outlines kept their class lack its column.
Statement outline_statement(const GeoBox& box, bool classes) {
    const BoxTexts texts = box_texts(box.lat_min, box.lat_max, box.lon_min, box.lon_max);
    return {std::string(
                "select outlines.ID,outlines.name,outlines.kind,outlines.layer,outlines.lower,"
                "outlines.upper,outlines.latmin,outlines.latmax,outlines.lonmin,outlines.lonmax,"
                "outlinesources.file,outlinesources.attribution") +
                (classes ? ",outlines.class" : ""),
            "from outlines left join outlinesources on outlines.sourceID=outlinesources.ID",
            "where outlines.latmax>=" + texts.lat_min, "and outlines.latmin<=" + texts.lat_max,
            "order by outlines.ID"};
}

void read_outlines(Query& q, const GeoBox& box, bool classes, Table<Outline>& outlines) {
    q.set_sql(outline_statement(box, classes));
    q.open();
    const int f_id = q.field_index("ID"), f_name = q.field_index("name"),
              f_kind = q.field_index("kind"), f_layer = q.field_index("layer"),
              f_lower = q.field_index("lower"), f_upper = q.field_index("upper"),
              f_file = q.field_index("file"), f_attribution = q.field_index("attribution"),
              f_class = classes ? q.field_index("class") : -1;
    const int f_box[4] = {q.field_index("latmin"), q.field_index("latmax"), q.field_index("lonmin"),
                          q.field_index("lonmax")};
    for (q.first(); !q.eof(); q.next()) {
        Outline o;
        o.box = {q.real(f_box[0]), q.real(f_box[1]), q.real(f_box[2]), q.real(f_box[3])};
        o.id = q.text(f_id);
        // An ID that is no number (a hostile database) would become SQL.
        if (!boxes_meet(o.box, box) || !is_sql_integer(o.id)) continue;
        o.name = q.text(f_name);
        o.kind = q.text(f_kind);
        o.layer = outline_layer_from_text(q.text(f_layer)).value_or(OutlineLayer::artcc);
        o.lower = q.text(f_lower);
        o.upper = q.text(f_upper);
        o.source = q.text(f_file);
        o.attribution = q.text(f_attribution);
        if (f_class >= 0) o.airspace_class = q.text(f_class);
        outlines.append(std::move(o));
    }
    q.close();
    q.clear_sql();
}

// Each outline's ring numbers as the database gives them, by the ring's
// place in its list: the rings are kept in their order, without the gaps
// a damaged database may leave between numbers.
using RingNumbers = std::vector<std::vector<long long>>;

// The place of ring `number` in `numbers`, or nothing.
std::optional<size_t> ring_at(const std::vector<long long>& numbers, long long number) {
    const auto it = std::lower_bound(numbers.begin(), numbers.end(), number);
    if (it == numbers.end() || *it != number) return std::nullopt;
    return static_cast<size_t>(it - numbers.begin());
}

// The points of the outlines, ring by ring, 200 outlines a statement.
void read_points(Query& q, Table<Outline>& outlines, RingNumbers& numbers) {
    numbers.assign(outlines.size(), {});
    for (size_t from = 0; from < outlines.size(); from += 200) {
        std::string list;
        std::unordered_map<std::string, size_t> at;
        for (size_t i = from; i < std::min(outlines.size(), from + 200); ++i) {
            if (!list.empty()) list += ',';
            list += outlines[i].id;
            at.emplace(outlines[i].id, i);
        }
        q.set_sql({"select outlineID,ring,latitude,longtitude from outlinepoints",
                   "where outlineID in (" + list + ")", "order by outlineID,ring,seq"});
        q.open();
        const int f_id = q.field_index("outlineID"), f_ring = q.field_index("ring"),
                  f_lat = q.field_index("latitude"), f_lon = q.field_index("longtitude");
        for (q.first(); !q.eof(); q.next()) {
            const auto it = at.find(q.text(f_id));
            const int ring = q.integer(f_ring);
            if (it == at.end() || ring < 0 || !on_globe(q.real(f_lat), q.real(f_lon))) continue;
            std::vector<t_point>& rings = outlines[it->second].rings;
            std::vector<long long>& seen = numbers[it->second];
            // The rows come by ring: a new number starts the next ring.
            if (seen.empty() || seen.back() != ring) {
                if (!seen.empty() && ring < seen.back()) continue;
                seen.push_back(ring);
                rings.emplace_back();
            }
            rings.back().push_back({q.real(f_lat), q.real(f_lon)});
        }
        q.close();
        q.clear_sql();
    }
}

// The rings the sources left open and those they gave as circles.
void read_rings(Query& q, Table<Outline>& outlines, const RingNumbers& numbers) {
    std::unordered_map<std::string, size_t> at;
    for (size_t i = 0; i < outlines.size(); ++i) at.emplace(outlines[i].id, i);
    for (size_t from = 0; from < outlines.size(); from += 200) {
        std::string list;
        for (size_t i = from; i < std::min(outlines.size(), from + 200); ++i)
            list += (list.empty() ? "" : ",") + outlines[i].id;
        q.set_sql({"select outlineID,ring,open,latitude,longtitude,radius from outlinerings",
                   "where outlineID in (" + list + ")", "order by outlineID,ring"});
        q.open();
        const int f_id = q.field_index("outlineID"), f_ring = q.field_index("ring"),
                  f_open = q.field_index("open"), f_lat = q.field_index("latitude"),
                  f_lon = q.field_index("longtitude"), f_radius = q.field_index("radius");
        for (q.first(); !q.eof(); q.next()) {
            const auto it = at.find(q.text(f_id));
            if (it == at.end()) continue;
            const std::optional<size_t> ring = ring_at(numbers[it->second], q.integer(f_ring));
            if (!ring) continue;
            Outline& o = outlines[it->second];
            if (q.integer(f_open)) {
                o.open_rings.push_back(*ring);
                continue;
            }
            const double radius = q.real(f_radius);
            if (on_globe(q.real(f_lat), q.real(f_lon)) && radius > 0 && radius <= 3000)
                o.circles.push_back({*ring, {q.real(f_lat), q.real(f_lon)}, radius});
        }
        q.close();
        q.clear_sql();
    }
}

}  // namespace

void load_outlines(LoadContext& ctx) {
    if (!ctx.outlines) return;
    read_outlines(ctx.query, ctx.frame.box, ctx.outline_classes, ctx.nav.outlines);
    RingNumbers numbers;
    read_points(ctx.query, ctx.nav.outlines, numbers);
    if (ctx.outline_rings) read_rings(ctx.query, ctx.nav.outlines, numbers);
    const size_t n = ctx.nav.outlines.size();
    ctx.memo.add_line(std::to_string(n) + (n == 1 ? w1252(" contour d'espace aérien")
                                                  : w1252(" contours d'espace aérien")));
}

}  // namespace karvel
