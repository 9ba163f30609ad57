#include "sector/lines.h"

#include <cmath>

#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/coord.h"

namespace karvel {

std::string position_text(double latitude, double longitude) {
    std::string s;
    append_position(s, latitude, longitude);
    return s;
}

bool may_cross(double lon1, double lon2) {
    return !(std::fabs(lon1 - lon2) < 180 && std::fabs(lon1) != 180 && std::fabs(lon2) != 180);
}

void GeoLines::write(const std::string& group, const geo_point& from, const geo_point& to,
                     const std::string& colour) {
    std::string line;
    if (client_) {
        if (!started_ || group != group_) {
            line = fill(group, 25);
            group_ = group;
            started_ = true;
        } else {
            line.assign(std::max<size_t>(group.size(), 25), ' ');
        }
        line += ' ';
    }
    line.reserve(line.size() + 60 + colour.size());
    append_position(line, from.latitude, from.longitude);
    line += ' ';
    append_position(line, to.latitude, to.longitude);
    line += ' ';
    line += colour;
    lines_.push_back(std::move(line));
}

void GeoLines::add(const std::string& group, geo_point a, geo_point b, const std::string& colour) {
    if (!client_ || !may_cross(a.longitude, b.longitude)) return write(group, a, b, colour);
    for (const auto& part : split_at_antimeridian({a, b}))
        for (size_t i = 0; i + 1 < part.size(); ++i) write(group, part[i], part[i + 1], colour);
}

void GeoLines::ring(const std::string& group, const t_point& ring, const std::string& colour) {
    for (size_t i = 0; i < ring.size() && ring.size() > 1; ++i)
        add(group, ring[i], ring[(i + 1) % ring.size()], colour);
}

}  // namespace karvel
