// Zoom, pan, press, position readout and measuring: plain functions on the
// view state. Each says whether the map must be drawn again.
#pragma once

#include <string>

#include "core/geometry.h"
#include "map/view.h"

namespace karvel {

// The wheel, about the view centre. Zooming in goes on while the range spans
// fewer than 100000 pixels, and never so far that a point of the globe would
// project outside the 32-bit range; zooming out while the range spans more
// than the client height. Each test is made before the step.
bool zoom(const MapView& view, ViewScale& scale, int wheel_delta);

// A press of any button; the right button anchors the point under the cursor.
void press(MapView& view, const SelectionFrame& frame, int x, int y, bool right_button, bool shift);

// A move with the right button held: the anchored point follows the cursor.
// The selection's centre stays within the globe (latitude +-90, longitude
// +-180).
void pan(const MapView& view, SelectionFrame& frame, int x, int y);

// The status bar's position text: latitude, two blanks, longitude.
std::string position_text(const MapView& view, const SelectionFrame& frame, int x, int y);

// A move with Shift held: the measuring line's end, distance and bearing.
void measure_move(MapView& view, const SelectionFrame& frame, int x, int y);

// Bearing on the screen of a move (dx right, dy up) in degrees, 0 up, 90 right.
long double screen_bearing(long double dx, long double dy);

}  // namespace karvel
