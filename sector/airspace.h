// [AIRSPACE] of the client format's companion file: the selected outlines
// as sectors a radar client gives to the controllers online. Each ring of
// an outline controllers own becomes a sector between its limits, closed
// by lines its neighbours of the same source share, owned by the positions
// of [POSITIONS] in order of priority; sectors come smallest first, the
// order in which the client looks for the one holding an aircraft.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/model.h"
#include "sector/positions.h"

namespace karvel {

// The kinds of sector, as the user chooses among them.
inline constexpr std::array<const char*, 6> kSectorKinds{"FIR", "UIR", "CTA", "TMA", "CTR", "ATZ"};

// The kind of sector an outline makes, one of kSectorKinds: its own kind,
// a centre's strata ("HIGH", "LOW"...) a FIR, an airspace class A to E that
// of its name's word ("CTR PARIS") or else a CTA; "" for an area no
// controller owns (restricted, danger, prohibited, gliding, class F or G).
std::string sector_kind(const Outline& o);

// The top of the client's sectors, in feet: what "UNL" and an outline
// without a ceiling reach.
inline constexpr long kSectorTopFeet = 99999;

struct AirspaceSection {
    std::vector<std::string> lines;  // from "[AIRSPACE]"
    // One line an outline left out, naming it and why.
    std::vector<std::string> warnings;
};

// The sectors of the selected outlines of `kinds` (all of kSectorKinds
// when empty). An outline whose ring is open, crosses itself or has fewer
// than three points, whose limits cannot be read (the source's text then
// in a comment) or that no position can own is left out, with a warning.
AirspaceSection airspace_section(const NavTables& nav, const std::vector<Position>& positions,
                                 const std::vector<std::string>& kinds);

}  // namespace karvel
