// The canvas on a QImage: the map bitmap or a picture file.
//
// Thin solid lines and labels, nearly all of a map, are drawn straight into
// the image's pixels: a line pixel by pixel from its end points, a label from
// the pixels the toolkit drew for it once and kept. Everything else goes
// through QPainter. Both draw at once, so the drawing order is kept.
#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <string>

#include "map/canvas.h"
#include "map/label_cache.h"

namespace karvel {

// The map font: the settings' name and size in points (held within 1 to
// 1000), never antialiased; a font the system lacks falls back to its
// sans-serif font.
QFont map_font(const std::string& name, int point_size);

class QtCanvas : public Canvas {
  public:
    // Labels are kept in `labels` from this pass to the next.
    QtCanvas(QImage& image, const std::string& font_name, LabelCache& labels);

    void set_pen(TColor colour, PenStyle style, int width) override;
    void set_pen_colour(TColor colour) override;
    void set_brush(TColor colour) override;
    void clear_brush() override;
    void set_font_colour(TColor colour) override;
    void set_font_size(int size) override;
    void fill_rect(int x1, int y1, int x2, int y2) override;
    void line(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void polygon(const std::vector<std::vector<Pixel>>& rings) override;
    void text(int x, int y, std::string_view text) override;

  private:
    void thin_line(int x1, int y1, int x2, int y2);
    void fill(int x1, int y1, int x2, int y2, QRgb colour);  // clipped, right/bottom excluded
    void apply_pen();

    QPainter painter_;
    LabelCache& labels_;
    uchar* bits_;
    qsizetype stride_;
    int width_, height_;
    std::string font_name_;
    int dots_per_metre_;
    // The label cache's generation this canvas's font was last given to.
    static constexpr uint64_t kNoGeneration = UINT64_MAX;
    uint64_t label_generation_ = kNoGeneration;
    QFont font_;
    int box_height_ = 0;  // a label's box: ascent and descent

    PenStyle pen_style_ = PenStyle::solid;
    int pen_width_ = 1;
    QRgb pen_rgb_ = 0xFF000000;
    bool pen_applied_ = false;  // QPainter holds the current pen
    QRgb font_rgb_ = 0xFF000000;
    bool brush_solid_ = false;
    QRgb brush_rgb_ = 0xFF000000;
};

}  // namespace karvel
