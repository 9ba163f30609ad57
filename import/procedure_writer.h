// SIDs and STARs of the CIFP files written into the database: one
// procedure per SID runway transition, each leg with the points it names.
#pragma once

#include "import/places.h"

namespace karvel::xplane {

// Reads the CIFP files of `d` one at a time while it writes them.
void write_procedures(Db& db, const NavData& d, Written& w, Waypoints& waypoints,
                      const Report& report);

}  // namespace karvel::xplane
