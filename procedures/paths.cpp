#include "procedures/paths.h"

#include <cmath>

#include "core/geometry.h"
#include "core/numtext.h"

namespace karvel {
namespace {

using ld = long double;

std::string K(double x) {
    return whole_text(x);
}
std::string F(double x) {
    return format_fixed(x, 3, 8);
}

bool is_fix_leg(const std::string& code) {
    return code == "IF" || code == "TF" || code == "CF" || code == "DF";
}
bool is_intercept_leg(const std::string& code) {
    return code == "CI" || code == "VI" || code == "CR" || code == "VR";
}

struct Builder {
    ROUTE& r;
    bool is_sid;
    PlaneScale scale;
    MemoSink& memo;

    std::string prefix() const { return r.icao + "-" + r.name; }

    void append(const std::string& transition, geo_point p) {
        LINE l;
        l.transition = transition;
        l.lat1 = p.latitude;
        l.lon1 = p.longitude;
        r.lines.push_back(std::move(l));
    }
    geo_point last() const { return {r.lines.back().lat1, r.lines.back().lon1}; }

    // FD and CD: the crossing of the course from P with the DME circle.
    void dme_leg(const t_leg& leg, geo_point p) {
        const geo_point n{leg.navlat, leg.navlon};
        const double theta = dme_crossing_bearing(p, n, leg.course, leg.navdist, scale);
        if (theta == -1) return;
        const geo_point q = point_at(n, leg.navdist, theta, scale);
        append(leg.transition, q);
        memo.add_line(prefix() + "  " + leg.trackcode + " " + K(leg.course) + "  " + K(theta) +
                      "  " + K(leg.navdist) + "  " + F(q.latitude) + ":" + F(q.longitude));
    }

    void intercept_leg(const t_leg& leg, const t_leg& next) {
        const double c = leg.course;
        const geo_point p = last();
        const geo_point n{next.navlat, next.navlon};
        const double b = next.trackcode == "AF" ? next.navbear : next.course;
        // Taken as the procedures were designed: neither difference is
        // reduced modulo 360, and the second is not symmetric in c and b.
        if (std::fabs(static_cast<ld>(c) - b) < 5 || std::fabs(180 - static_cast<ld>(c) + b) < 5) {
            memo.add_line(prefix() + "  " + K(c) + "  " + K(b));
            return;
        }
        const double d = intercept_distance(p, n, c, b, scale);
        if (!(d > 0)) return;
        const geo_point q = point_at(p, d, c, scale);
        append(leg.transition, q);
        memo.add_line(prefix() + "  " + leg.trackcode + " " + K(c) + "  " + K(b) + "  " + K(d) +
                      "  " + F(q.latitude) + ":" + F(q.longitude));
    }

    void run() {
        const size_t n = r.legs.size();
        r.lines.reserve(r.lines.size() + n);  // at most one point a leg
        for (size_t j = 0; j < n; ++j) {
            const t_leg& leg = r.legs[j];
            const std::string& code = leg.trackcode;
            if (is_fix_leg(code) || code == "AF") {
                append(leg.transition, {leg.wptlat, leg.wptlon});
            } else if (code == "FD") {
                dme_leg(leg, {leg.wptlat, leg.wptlon});
            } else if (code == "CD") {
                if (!r.lines.empty()) dme_leg(leg, last());
                // An empty path starts at the SID's runway end; a STAR, or a
                // SID whose runway end is unknown, has nowhere to start.
                else if (is_sid && r.has_rwy_position)
                    dme_leg(leg, {r.rwy_lat, r.rwy_lon});
            } else if (is_intercept_leg(code)) {
                // The line to intercept is the next leg's; the last leg has none.
                if (j > 0 && !r.lines.empty() && j + 1 < n) intercept_leg(leg, r.legs[j + 1]);
            }
            const size_t k = r.lines.size();
            if (k >= 2) {
                r.lines[k - 2].lat2 = r.lines[k - 1].lat1;
                r.lines[k - 2].lon2 = r.lines[k - 1].lon1;
            }
        }
    }
};

}  // namespace

double dme_crossing_bearing(geo_point p, geo_point n, double course, double radius,
                            PlaneScale scale) {
    if (radius == 0) return -1;
    const ld a = radians(course);
    const ld x = lon_difference(n.longitude, p.longitude) * scale.nm_per_deg_lon;
    const ld y = (static_cast<ld>(p.latitude) - n.latitude) * scale.nm_per_deg_lat;
    const ld s = (x * std::cos(a) - y * std::sin(a)) / radius;
    if (!(std::fabs(s) <= 1)) return -1;
    const ld theta = a + std::atan2(s, std::sqrt(1 - s * s));
    return static_cast<double>(degrees(theta));
}

double intercept_distance(geo_point p, geo_point n, double course, double bearing,
                          PlaneScale scale) {
    const ld ca = radians(course);
    const ld r = radians(bearing) - kPi;
    const ld dx = lon_difference(p.longitude, n.longitude) * scale.nm_per_deg_lon;
    const ld dy = (static_cast<ld>(n.latitude) - p.latitude) * scale.nm_per_deg_lat;
    // Lines that are parallel up to rounding (an exact reciprocal course gives
    // about 1e-19 instead of 0) meet nowhere.
    const ld denominator = std::sin(ca - r);
    if (std::fabs(denominator) < 1e-9L) return -1;
    const ld d = (dx * std::cos(r) - dy * std::sin(r)) / denominator;
    if (!std::isfinite(d)) return -1;
    return static_cast<double>(d);
}

geo_point point_at(geo_point from, double distance, double bearing, PlaneScale scale) {
    const ld b = radians(bearing);
    return {static_cast<double>(from.latitude + distance * std::cos(b) / scale.nm_per_deg_lat),
            normal_lon(static_cast<double>(from.longitude +
                                           distance * std::sin(b) / scale.nm_per_deg_lon))};
}

void build_procedure_paths(NavTables& nav, PlaneScale scale, MemoSink& memo) {
    for (ROUTE& r : nav.stars) Builder{r, false, scale, memo}.run();
    for (ROUTE& r : nav.sids) Builder{r, true, scale, memo}.run();
}

}  // namespace karvel
