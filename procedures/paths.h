// Procedure legs turned into chains of straight segments on the flat local
// plane of the selection: fix legs give their fix, DME legs the crossing of
// their course with the DME circle, intercept legs the crossing with the next
// leg's line, arcs their end fix.
#pragma once

#include "core/model.h"
#include "core/sinks.h"

namespace karvel {

// Bearing (degrees) from N of the point on the circle of radius R nm about N
// that lies on the line through P with course c, ahead of the foot of the
// perpendicular from N; -1 when the line misses the circle or R is 0.
double dme_crossing_bearing(geo_point p, geo_point n, double course, double radius,
                            PlaneScale scale);

// Signed distance (nm) from P along course c to the line through N with
// bearing b; -1 when the two are parallel.
double intercept_distance(geo_point p, geo_point n, double course, double bearing,
                          PlaneScale scale);

// The point at distance d nm and bearing b degrees from `from` on the plane.
geo_point point_at(geo_point from, double distance, double bearing, PlaneScale scale);

// Builds the `lines` of every STAR, then every SID, leg by leg, and reports
// each computed point (and each near-parallel intercept) in the memo.
void build_procedure_paths(NavTables& nav, PlaneScale scale, MemoSink& memo);

}  // namespace karvel
