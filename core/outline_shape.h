// What an airspace outline holds: its limits in feet, its area, whether a
// point lies inside it, a point inside it to name it at.
#pragma once

#include <optional>
#include <string>

#include "core/model.h"

namespace karvel {

// An altitude as sources write it ("FL195", "2500ft MSL", "1000 M", "SFC",
// "GND", "UNL") in feet; -1 for a text that cannot be read.
double limit_feet(const std::string& text);

// The outline's airspace class letter ('A' to 'G'), 0 when it has none.
char class_letter(const Outline& o);

// The point lies inside the outline: inside an odd number of its rings
// (the others are holes), longitudes taken round the globe from the point.
bool outline_holds(const Outline& o, geo_point p);

// The outline's area in square nautical miles, its rings taken on the plane
// of their own latitudes (holes less); enough to order outlines by size.
double outline_area_nm2(const Outline& o);

// Two edges of the ring cross each other (longitudes followed along the
// ring the short way round); a ring round a pole is taken as it is.
bool ring_crosses_itself(const t_point& ring);

// A point inside the outline to write its name at: the middle of its box
// where that lies inside, else the middle of the widest piece of the
// horizontal line through the box's middle that lies inside, else its first
// point; nothing for an outline without points.
std::optional<geo_point> point_inside(const Outline& o);

}  // namespace karvel
