#include "sector/client_sections.h"

#include <cstdio>
#include <limits>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/ground.h"
#include "core/numtext.h"
#include "core/outline_shape.h"
#include "sector/writer.h"

namespace karvel {

std::string khz_text(int32_t khz) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d.%03d", khz / 1000, khz % 1000);
    return text;
}

AirportRadio::AirportRadio(const NavTables& nav) {
    for (const AirportFrequency& f : nav.frequencies) by_airport_[f.airport_id].push_back(&f);
}

const AirportFrequency* AirportRadio::first(const std::string& airport_id,
                                            FrequencyKind kind) const {
    const auto it = by_airport_.find(airport_id);
    if (it == by_airport_.end()) return nullptr;
    for (const AirportFrequency* f : it->second)
        if (f->kind == kind) return f;
    return nullptr;
}

char airport_class(const Airport& a, const AirportRadio& radio, const Table<Outline>& outlines) {
    char letter = 0;
    double smallest = std::numeric_limits<double>::infinity();
    for (const Outline& o : outlines) {
        const char c = class_letter(o);
        // The box first: it turns most outlines away at once.
        if (!c || limit_feet(o.lower) != 0 || !o.box.contains({a.latitude, a.longitude}) ||
            !outline_holds(o, {a.latitude, a.longitude}))
            continue;
        if (const double area = outline_area_nm2(o); area < smallest) {
            smallest = area;
            letter = c;
        }
    }
    if (letter) return letter;
    return radio.first(a.id, FrequencyKind::tower) ? 'D' : 'G';
}

std::string client_airport_line(const Airport& a, const AirportRadio& radio,
                                const Table<Outline>& outlines) {
    const AirportFrequency* f = radio.first(a.id, FrequencyKind::tower);
    if (!f) f = radio.first(a.id, FrequencyKind::unicom);
    const std::string freq = f ? khz_text(f->khz) : a.freq.empty() ? "000.000" : fill(a.freq, 7);
    return fill(a.icao, 4) + " " + freq + " " + position_text(a.latitude, a.longitude) + " " +
           airport_class(a, radio, outlines) + " ;" + a.comment;
}

std::string group_name(std::string name) {
    const size_t first = name.find_first_not_of(' ');
    if (first != std::string::npos &&
        (name[first] == ';' || name[first] == '[' || name[first] == '#'))
        name[first] = '_';
    return name;
}

void centrelines(GeoLines& out, const NavTables& nav, double nm) {
    for (const RUNWAY& r : nav.runways) {
        if (!r.paired()) continue;  // one end alone has no approach course
        const Airport* a = nav.airports.find(r.airport_id);
        const std::string group =
            group_name((a ? a->icao + " " : std::string()) + w1252("axes de piste prolongés"));
        const auto ends = {std::array{r.lat1, r.lon1, r.lat2, r.lon2},
                           std::array{r.lat2, r.lon2, r.lat1, r.lon1}};
        for (const auto& [lat, lon, far_lat, far_lon] : ends) {
            const long double course = initial_bearing(far_lat, far_lon, lat, lon);
            long double to_lat = 0, to_lon = 0;
            destination_point(lat, lon, course, nm, to_lat, to_lon);
            out.add(group, {lat, lon}, {static_cast<double>(to_lat), static_cast<double>(to_lon)},
                    kCentrelineColour);
        }
    }
}

namespace {

// Each shape of `paints` by airport then paint, its group named after both.
template <typename Each>
void by_airport_and_paint(const Ground& ground, std::initializer_list<GroundPaint> paints,
                          Each each) {
    for (const std::string& icao : ground.airports)
        for (const GroundPaint paint : paints) {
            const GroundPaintInfo& info = ground_paint_info(paint);
            const std::string group = group_name(icao + " " + info.group);
            for (const GroundShape& s : ground.shapes)
                if (s.airport == icao && ground_paint(s) == paint)
                    each(s, group, std::string(info.colour_name));
        }
}

}  // namespace

void ground_lines(GeoLines& out, const Ground& ground) {
    by_airport_and_paint(
        ground, {GroundPaint::centreline, GroundPaint::hold},
        [&](const GroundShape& s, const std::string& group, const std::string& colour) {
            if (s.kind != GroundKind::line) return;
            for (const t_point& path : s.rings)
                for (size_t i = 0; i + 1 < path.size(); ++i)
                    out.add(group, path[i], path[i + 1], colour);
        });
}

void ground_areas(GeoLines& out, const Ground& ground) {
    by_airport_and_paint(
        ground, {GroundPaint::unpaved, GroundPaint::paved, GroundPaint::runway},
        [&](const GroundShape& s, const std::string& group, const std::string& colour) {
            if (s.kind == GroundKind::line) return;
            for (const t_point& ring : s.rings) out.ring(group, ring, colour);
        });
}

}  // namespace karvel
