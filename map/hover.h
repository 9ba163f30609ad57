// What the cursor points at on the map: the airports, navaids, fixes and
// procedure points of the kinds shown under it, told as a tooltip's text.
#pragma once

#include <string>

#include "core/model.h"
#include "map/render.h"
#include "map/view.h"

namespace karvel {

// Every item drawn within `reach` pixels of (x, y): navaids first (a VOR
// under a fix of the same ident is not hidden), then airports, fixes and
// procedure points, each kind nearest first; each told as "IDENT (kind)",
// its name where it says more and its frequency, one a line, items apart
// by a blank line, at most kHoverItems of them (Windows-1252); empty when
// none is that near. Only what the map draws counts: kinds shown, fixes and
// procedures selected, points inside the view.
inline constexpr size_t kHoverItems = 6;
std::string hover_text(const Viewport& view, const NavTables& nav, const ColourTable& colours,
                       int x, int y, int reach = 6);

}  // namespace karvel
