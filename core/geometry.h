// Geometry of the globe shared by every part of the program: pi, degrees
// and radians, great-circle distance and bearing, and longitudes around the
// antimeridian (where 179.9 E and 179.9 W are 0.2 degrees apart, not 359.8).
// Everything runs in extended precision.
#pragma once

#include <string>

namespace karvel {

inline constexpr long double kPi = 3.14159265358979323846264338327950288L;

// The Earth's radius the program measures with: 6,378 km.
inline constexpr long double kEarthRadiusNm = 3443.844L;

// Degrees to radians as x * 2 * pi / 360, and back as x / 2 / pi * 360.
inline long double radians(long double degrees) {
    return degrees * 2 * kPi / 360;
}
inline long double degrees(long double radians) {
    return radians / 2 / kPi * 360;
}

// Great-circle distance in nautical miles between two points in degrees
// (spherical law of cosines; the cosine held within [-1, 1], so a zero
// length gives 0).
long double great_circle_nm(long double lat1, long double lon1, long double lat2, long double lon2);

inline constexpr double kMetresPerNm = 1852;

// A distance as a report says it: "3711 m (2.00 NM)".
std::string distance_text(double metres);

// Initial great-circle bearing from the first point to the second, in
// degrees true from 0 to 360.
long double initial_bearing(long double lat1, long double lon1, long double lat2, long double lon2);

// The point `distance_nm` from the first along the great circle that leaves
// it at `bearing` degrees true, its longitude in (-180, 180].
void destination_point(long double lat, long double lon, long double bearing,
                       long double distance_nm, long double& to_lat, long double& to_lon);

// `lon` moved by whole turns to within half a turn of `ref`: the result lies
// in (ref - 180, ref + 180]. A longitude already there comes back unchanged,
// bit for bit.
long double lon_near(long double lon, long double ref);

// The difference to - from taken the short way round, in (-180, 180].
long double lon_difference(long double from, long double to);

// A longitude in (-180, 180] (unchanged when already there), from any
// finite number of turns.
double normal_lon(double lon);

// `lon` lies in [min, max] taken round the globe: the box may run past 180
// or below -180 (a selection across the antimeridian); one of 360 degrees
// or more holds every longitude.
bool lon_within(double lon, double min, double max);

// Two longitude ranges [a_min, a_max] and [b_min, b_max] share a longitude,
// taken round the globe.
bool lon_ranges_meet(double a_min, double a_max, double b_min, double b_max);

}  // namespace karvel
