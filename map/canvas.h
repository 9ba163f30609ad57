// The drawing vocabulary of the map: one pen, one brush, one font colour,
// and six primitives. The painters draw through it; the bitmap canvas draws
// with QPainter, the tests' canvas records the calls.
//
// Pixel conventions: a line from P to Q covers P but not Q; a rectangle or
// ellipse given by (x1, y1)-(x2, y2) covers x1..x2-1 and y1..y2-1; a text's
// top-left corner is at the given pixel, on a box of the brush colour while
// the brush is solid and transparent while it is clear.
#pragma once

#include <string_view>
#include <vector>

#include "core/model.h"
#include "map/view.h"

namespace karvel {

enum class PenStyle { solid, dash, dot };

class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void set_pen(TColor colour, PenStyle style, int width) = 0;
    virtual void set_pen_colour(TColor colour) = 0;
    virtual void set_brush(TColor colour) = 0;  // solid
    virtual void clear_brush() = 0;
    virtual void set_font_colour(TColor colour) = 0;
    virtual void set_font_size(int size) = 0;

    // Fills with the brush, no outline.
    virtual void fill_rect(int x1, int y1, int x2, int y2) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    // Outline with the pen, inside with the brush.
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    // Fills with the brush, no outline, the inside of the rings (each closed)
    // by the even-odd rule: a ring inside another is a hole.
    virtual void polygon(const std::vector<std::vector<Pixel>>& rings) = 0;
    // Windows-1252 text.
    virtual void text(int x, int y, std::string_view text) = 0;
};

}  // namespace karvel
