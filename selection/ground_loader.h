// The ground drawings of chosen airports, read from the database airport by
// airport: only those asked for are ever read.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "navdb/query.h"

namespace karvel {

// The ICAO codes of a text such as "LFPG, lfpo KJFK": separated by commas
// or blanks, in capitals, each once, in their order. Throws Error for a
// code that is not 3 or 4 letters and digits.
std::vector<std::string> ground_codes(const std::string& text);

// The shapes and stands of the airports `icaos`, in their order, into a
// new Ground; the codes of the airports with nothing to draw go into
// `without` (an unknown code among them).
Ground read_ground(Query& query, const std::vector<std::string>& icaos,
                   std::vector<std::string>& without);

}  // namespace karvel
