// Longitudes around the globe: the map, the selection box and the procedure
// paths meet the antimeridian, where 179.9 E and 179.9 W are 0.2 degrees
// apart, not 359.8.
#pragma once

namespace karvel {

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
