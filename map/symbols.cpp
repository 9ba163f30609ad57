#include "map/symbols.h"

#include <initializer_list>

#include "map/view.h"

namespace karvel {
namespace {
void polyline(Canvas& canvas, int x, int y, std::initializer_list<Pixel> offsets) {
    const Pixel* p = offsets.begin();
    for (const Pixel* q = p + 1; q != offsets.end(); p = q++)
        canvas.line(x + p->x, y + p->y, x + q->x, y + q->y);
}
}  // namespace

void draw_cross(Canvas& canvas, int x, int y) {
    canvas.line(x, y - 4, x, y + 4);
    canvas.line(x - 4, y, x + 4, y);
}

void draw_triangle(Canvas& canvas, int x, int y) {
    polyline(canvas, x, y, {{0, -4}, {-4, 4}, {4, 4}, {0, -4}});
}

void draw_hexagon(Canvas& canvas, int x, int y) {
    polyline(canvas, x, y, {{4, -8}, {-4, -8}, {-8, 0}, {-4, 8}, {4, 8}, {8, 0}, {4, -8}});
}

void draw_dot(Canvas& canvas, int x, int y) {
    canvas.rectangle(x - 1, y - 1, x + 1, y + 1);
}

void draw_circle(Canvas& canvas, int x, int y) {
    canvas.ellipse(x - 8, y - 8, x + 8, y + 8);
}

}  // namespace karvel
