// A karvel navigation database written from the records of the X-Plane files.
#pragma once

#include <functional>
#include <string>

#include "import/xplane.h"

namespace karvel::xplane {

// Writes the database to `path` under a temporary name, put in place when
// complete as every output is; regions missing from the data come from the
// nearest airport.
// `report` gets one line per step.
void write_database(const NavData& data, const std::string& path,
                    const std::function<void(const std::string&)>& report);

}  // namespace karvel::xplane
