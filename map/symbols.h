// The map's point symbols, drawn about the pixel (x, y) with the current pen.
#pragma once

#include "map/canvas.h"

namespace karvel {

void draw_cross(Canvas& canvas, int x, int y);     // airports
void draw_triangle(Canvas& canvas, int x, int y);  // fixes
void draw_hexagon(Canvas& canvas, int x, int y);   // VORs
void draw_dot(Canvas& canvas, int x, int y);       // 2 x 2 pixels, VORs and NDBs
void draw_circle(Canvas& canvas, int x, int y);    // NDBs

}  // namespace karvel
