// Centring the map on a named airport, VOR, NDB or fix.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

// The kinds of the centring dialog: 0 airports (ICAO codes), 1 VORs (with the
// ILS localisers), 2 NDBs, 3 fixes (every one, selected for export or not).
enum class CentreKind { airports = 0, vors = 1, ndbs = 2, fixes = 3 };

// The codes of a kind, sorted without regard to letter case by the locale's
// comparison; equal codes stay, one line a record.
std::vector<std::string> centre_items(const NavTables& nav, CentreKind kind);

// Moves the selection's centre onto the last record of the kind whose code
// equals `code` exactly; false (and nothing changes) when none does.
bool centre_on(const NavTables& nav, SelectionFrame& frame, CentreKind kind,
               const std::string& code);

// The map window's caption: the selection, three blanks, "visu:" and the
// visibility range in nautical miles.
std::string map_caption(const std::string& selection_text, int32_t range_nm);

// The visibility range typed by the user: a decimal integer (blanks before
// it and a sign allowed). Throws "'text' n'est pas une valeur entière
// correcte" for anything else.
int32_t decimal_range(const std::string& text);

}  // namespace karvel
