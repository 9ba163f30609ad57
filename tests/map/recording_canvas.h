// A canvas that writes every call down as a line of text, with the brush
// state on each text line ("on C" for a box of colour C, "clear" without).
#pragma once

#include <string>
#include <vector>

#include "map/canvas.h"

namespace karvel::test {

class RecordingCanvas : public Canvas {
  public:
    void set_pen(TColor c, PenStyle s, int w) override {
        add("pen " + std::to_string(c) + (s == PenStyle::solid ? " solid " : s == PenStyle::dash ? " dash " : " dot ") +
            std::to_string(w));
    }
    void set_pen_colour(TColor c) override { add("pen colour " + std::to_string(c)); }
    void set_brush(TColor c) override {
        brush_ = "on " + std::to_string(c);
        add("brush " + brush_);
    }
    void clear_brush() override {
        brush_ = "clear";
        add("brush clear");
    }
    void set_font_colour(TColor c) override { add("font " + std::to_string(c)); }
    void set_font_size(int s) override { add("font size " + std::to_string(s)); }
    void fill_rect(int a, int b, int c, int d) override { add("fill " + four(a, b, c, d)); }
    void line(int a, int b, int c, int d) override { add("line " + four(a, b, c, d)); }
    void rectangle(int a, int b, int c, int d) override { add("rectangle " + four(a, b, c, d)); }
    void ellipse(int a, int b, int c, int d) override { add("ellipse " + four(a, b, c, d)); }
    void text(int x, int y, std::string_view t) override {
        add("text " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(t) + " " +
            brush_);
    }

    // The recorded lines that start with `prefix`.
    std::vector<std::string> with(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& l : calls)
            if (l.rfind(prefix, 0) == 0) out.push_back(l);
        return out;
    }

    std::vector<std::string> calls;

  private:
    static std::string four(int a, int b, int c, int d) {
        return std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + " " +
               std::to_string(d);
    }
    void add(std::string s) { calls.push_back(std::move(s)); }
    std::string brush_ = "clear";
};

}  // namespace karvel::test
