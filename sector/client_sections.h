// What the client format adds to the sector file: the airports' radio and
// airspace class, and the [GEO] groups of each airport's lines.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/model.h"
#include "sector/lines.h"

namespace karvel {

// "118.650": a frequency in kHz as the files write it.
std::string khz_text(int32_t khz);

// The selected airports' frequencies by airport ID, in their order.
class AirportRadio {
  public:
    explicit AirportRadio(const NavTables& nav);
    // The first frequency of that kind, or nullptr.
    const AirportFrequency* first(const std::string& airport_id, FrequencyKind kind) const;

  private:
    std::unordered_map<std::string, std::vector<const AirportFrequency*>> by_airport_;
};

// The airport's class letter: that of the smallest selected outline whose
// floor is the surface and that holds the airport (its CTR or ATZ); else
// 'D' where it has a tower frequency, else 'G'.
char airport_class(const Airport& a, const AirportRadio& radio, const Table<Outline>& outlines);

// An [AIRPORT] line of the client format: "ICAO FREQ LAT LON CLASS ;comment",
// the tower's frequency (else the CTAF's or UNICOM's, else the table's,
// else 000.000: never an empty field, the reader would shift the next ones).
std::string client_airport_line(const Airport& a, const AirportRadio& radio,
                                const Table<Outline>& outlines);

// A group's name as a line may begin with it: a first ';', '[' or '#'
// (a comment, a section, a definition for a reader) becomes '_'.
std::string group_name(std::string name);

// The extended centrelines, each airport's in the group "ICAO axes de piste
// prolongés": from each threshold of a paired runway, `nm` out along its
// approach course (away from the runway), in the colour "centreline".
void centrelines(GeoLines& out, const NavTables& nav, double nm);

// The ground's taxi centrelines and hold lines, by airport and paint, each
// in the group "ICAO axes de circulation" or "ICAO points d'arrêt".
void ground_lines(GeoLines& out, const Ground& ground);

// The ground's areas as lines (for a file without [REGIONS]): each ring's
// edges, by airport and paint, in the groups "ICAO pistes"...
void ground_areas(GeoLines& out, const Ground& ground);

}  // namespace karvel
