// A canvas that writes every call down as a line of text, with the brush
// state on each text line ("on C" for a box of colour C, "clear" without).
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "map/canvas.h"

namespace karvel::test {

class RecordingCanvas : public Canvas {
  public:
    void set_pen(TColor c, PenStyle s, int w) override {
        add("pen", c, s == PenStyle::solid ? "solid" : s == PenStyle::dash ? "dash" : "dot", w);
    }
    void set_pen_colour(TColor c) override { add("pen colour", c); }
    void set_brush(TColor c) override {
        brush_ = "on " + std::to_string(c);
        add("brush", brush_);
    }
    void clear_brush() override {
        brush_ = "clear";
        add("brush clear");
    }
    void set_font_colour(TColor c) override { add("font", c); }
    void set_font_size(int s) override { add("font size", s); }
    void fill_rect(int a, int b, int c, int d) override { add("fill", a, b, c, d); }
    void line(int a, int b, int c, int d) override { add("line", a, b, c, d); }
    void rectangle(int a, int b, int c, int d) override { add("rectangle", a, b, c, d); }
    void ellipse(int a, int b, int c, int d) override { add("ellipse", a, b, c, d); }
    void polygon(const std::vector<std::vector<Pixel>>& rings) override {
        std::ostringstream o;
        o << "polygon";
        for (const auto& r : rings) {
            o << " [";
            for (const Pixel& p : r) o << ' ' << p.x << ',' << p.y;
            o << " ]";
        }
        calls.push_back(o.str());
    }
    void text(int x, int y, std::string_view t) override { add("text", x, y, t, brush_); }

    // The recorded lines that start with `prefix`.
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : calls)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }

    std::vector<std::string> calls;

  private:
    // A line of the call's name and its arguments, a blank between each.
    template <class... T>
    void add(const char* name, const T&... args) {
        std::ostringstream line;
        line << name;
        ((line << ' ' << args), ...);
        calls.push_back(line.str());
    }
    std::string brush_ = "clear";
};

}  // namespace karvel::test
