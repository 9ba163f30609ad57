// What the cursor points at on the map: the nearest airport, navaid, fix or
// procedure point of the kinds shown, told as the text of a tooltip.
#pragma once

#include <string>

#include "core/model.h"
#include "map/render.h"
#include "map/view.h"

namespace karvel {

// The item drawn nearest the pixel (x, y), within `reach` pixels: its ident,
// name and frequency, one a line (Windows-1252); empty when none is that
// near. Only what the map draws counts: kinds shown, fixes and procedures
// selected, points inside the view.
std::string hover_text(const Viewport& view, const NavTables& nav, const ColourTable& colours,
                       int x, int y, int reach = 6);

}  // namespace karvel
