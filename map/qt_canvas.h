// The canvas on a QImage: the map bitmap or a picture file.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QVector>
#include <string>

#include "map/canvas.h"

namespace karvel {

// The map font: the settings' name and size in points, never antialiased;
// a font the system lacks falls back to its sans-serif font.
QFont map_font(const std::string& name, int point_size);

class QtCanvas : public Canvas {
  public:
    QtCanvas(QImage& image, const std::string& font_name);
    ~QtCanvas() override;

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
    void text(int x, int y, std::string_view text) override;

    // Draws the lines waiting to be drawn together (done before any other
    // drawing and at the end).
    void flush();

  private:
    void apply_pen(const QPen& pen);

    QPainter painter_;
    int width_, height_;
    std::string font_name_;
    QPen pen_;
    QPen font_pen_;
    bool brush_solid_ = false;
    QBrush brush_;
    QFontMetrics metrics_;
    int ascent_ = 0;
    int line_height_ = 0;
    int box_height_ = 0;
    QVector<QLine> pending_;  // lines of the current pen, drawn in one call
};

}  // namespace karvel
