// What the client format adds to the companion file: the controllers'
// positions and the free texts.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

// The placeholder frequency radar clients take for "none".
inline constexpr const char* kNoFrequency = "199.998";

// A controller's position: its name ("LFPG_TWR"), callsign, frequency,
// the identifier the companion file's other sections name it by, and the
// centre of its visibility. `airport` is the airport of an airport's
// position, `fir` the FIR outline of a centre position.
struct Position {
    std::string name, callsign, frequency, id;
    char middle = ' ';
    std::string prefix, suffix;
    geo_point at;
    const Airport* airport = nullptr;
    const Outline* fir = nullptr;
};

// The positions of the selection, in the order of [POSITIONS].
std::vector<Position> positions(const NavTables& nav);

// A text as a field of a ':' line: no separator, no control character, no
// blank at its ends.
std::string field_text(const std::string& s);

// [POSITIONS]: one position per frequency kind of each selected airport
// (delivery, ground, tower, approach, departure, ATIS: the first frequency
// of that kind), then one centre position per FIR outline name of the
// selection, on the placeholder frequency under a comment. Each line is
// "NAME:CALLSIGN:FREQ:ID:MIDDLE:PREFIX:SUFFIX:-:-:-:-:LAT:LON", the last two
// the centre of its visibility (the airport, a point inside the FIR); the
// identifiers are unique within the section.
std::vector<std::string> position_lines(const std::vector<Position>& positions);

// [FREETEXT]: "LAT:LON:GROUP:TEXT" lines, the ground's stands of each
// airport in the group "ICAO postes de stationnement", its taxiway names in
// "ICAO voies de circulation", and the selected outlines' names at a point
// inside each in "espaces aériens".
std::vector<std::string> freetext_lines(const NavTables& nav);

}  // namespace karvel
