// Readable texts of one procedure's legs and segments, and of an airway's.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

// One leg: code, fix (its ident, or its coordinates), turn, navaid, DME
// distance, course, distance, arc centre and transition, blank-separated;
// an empty part keeps its blanks.
std::string leg_item(const NavTables& nav, const t_leg& leg);

// One segment: "lat1:lon1 / lat2:lon2", five decimals each.
std::string segment_item(const LINE& line);

struct Inspection {
    std::vector<std::string> legs;
    std::vector<std::string> segments;
};

// A SID or STAR: its legs and its segments, each segment after its transition.
Inspection inspect_procedure(const NavTables& nav, const ROUTE& route);
// An airway: its segments.
std::vector<std::string> inspect_airway(const ROUTE& airway);

}  // namespace karvel
