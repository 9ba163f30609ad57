#include "core/geometry.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/numtext.h"

namespace karvel {

long double great_circle_nm(long double lat1, long double lon1, long double lat2,
                            long double lon2) {
    const long double a = radians(lat1), b = radians(lat2);
    const long double c =
        std::sin(b) * std::sin(a) + std::cos(b) * std::cos(a) * std::cos(radians(lon2 - lon1));
    // Rounding can take the cosine a hair past 1 for a zero-length measure.
    return std::acos(std::clamp(c, -1.0L, 1.0L)) * kEarthRadiusNm;
}

std::string distance_text(double metres) {
    return format_fixed(metres, 0) + " m (" + format_fixed(metres / kMetresPerNm, 2) + " NM)";
}

long double initial_bearing(long double lat1, long double lon1, long double lat2,
                            long double lon2) {
    const long double p1 = radians(lat1), p2 = radians(lat2), dl = radians(lon2 - lon1);
    const long double y = std::sin(dl) * std::cos(p2);
    const long double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    const long double b = degrees(std::atan2(y, x));
    return b < 0 ? b + 360 : b;
}

long double lon_near(long double lon, long double ref) {
    const long double d = lon - ref;
    if (d > -180 && d <= 180) return lon;
    // Longitudes are a turn and a half at most either way; anything else (not
    // a number, or far off the globe) is left as it is.
    if (!(std::fabs(lon) <= 540 && std::fabs(ref) <= 540)) return lon;
    // Whole turns that bring the difference into (-180, 180].
    const long double turns = std::ceil((d - 180) / 360);
    return lon - turns * 360;
}

long double lon_difference(long double from, long double to) {
    return lon_near(to, from) - from;
}

double normal_lon(double lon) {
    if ((lon > -180 && lon <= 180) || !std::isfinite(lon)) return lon;
    double r = std::fmod(lon, 360.0);  // exact, in (-360, 360)
    if (r > 180) r -= 360;
    if (r <= -180) r += 360;
    return r;
}

bool lon_within(double lon, double min, double max) {
    if (min <= lon && lon <= max) return true;
    if (!(max - min < 360)) return max - min >= 360 && std::isfinite(lon);
    return (min <= lon + 360 && lon + 360 <= max) || (min <= lon - 360 && lon - 360 <= max);
}

bool lon_ranges_meet(double a_min, double a_max, double b_min, double b_max) {
    for (const double shift : {0.0, 360.0, -360.0})
        if (!(a_max + shift < b_min || a_min + shift > b_max)) return true;
    return false;
}

void destination_point(long double lat, long double lon, long double bearing,
                       long double distance_nm, long double& to_lat, long double& to_lon) {
    const long double d = distance_nm / kEarthRadiusNm;
    const long double p1 = radians(lat), l1 = radians(lon), b = radians(bearing);
    const long double p2 =
        std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(b));
    const long double l2 = l1 + std::atan2(std::sin(b) * std::sin(d) * std::cos(p1),
                                           std::cos(d) - std::sin(p1) * std::sin(p2));
    to_lat = degrees(p2);
    to_lon = static_cast<long double>(normal_lon(static_cast<double>(degrees(l2))));
}

}  // namespace karvel
