// Airports' ground drawings in apt.dat: pavement areas with their holes,
// runways and helipads, painted and lit lines, and parking positions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/model.h"
#include "import/xplane.h"

namespace karvel::xplane {

// The world's largest airport ground has 27,055 points (EHAM).
inline constexpr size_t kMaxAirportGroundPoints = 2'000'000;

// One airport's ground, its shapes and stands in the file's order (their
// IDs left empty).
struct AirportGround {
    std::string icao;
    std::vector<GroundShape> shapes;
    std::vector<Stand> stands;
    std::vector<Stand> taxiways;  // kind "sign" or "edge"
};

// Every land airport's ground drawing in the apt.dat at `path`, handed to
// `each` one airport at a time (an airport with nothing to draw is passed
// over), so that the world's is never held at once. Areas are rows 110
// with their node rows (111 to 116: a ring closes on 113 or 114, and the
// rings after the first are holes); runways come from rows 100 and
// helipads from rows 102; lines are rows 120, cut where their line type
// changes; stands are rows 1300, and rows 15 of names no row 1300 has;
// taxiway names are the designators location signs (rows 20) show, and
// the names of taxiway edges (rows 1202 between nodes 1201) no sign or
// edge of the same name within 150 m already gives.
// A bad row throws Error with the file and line, and so does an airport
// whose ground passes kMaxAirportGroundPoints (memory stays bounded).
void read_ground(const std::string& path, const std::function<void(AirportGround&)>& each);
std::unique_ptr<AptRows> ground_rows(const LineReader& in,
                                     const std::function<void(AirportGround&)>& each);

// read_apt and read_ground in one pass over the file.
void read_apt_and_ground(const std::string& path, NavData& data,
                         const std::function<void(AirportGround&)>& each);

}  // namespace karvel::xplane
