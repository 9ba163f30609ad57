#include "map/qt_canvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainterPath>
#include <algorithm>
#include <cstdlib>

#include "core/colours.h"
#include "core/cp1252.h"
#include "map/label_cache.h"

namespace karvel {

QFont map_font(const std::string& name, int point_size) {
    QFont font(to_qstring(name));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setStyleStrategy(QFont::NoAntialias);
    // From 1 to 1000 points: a glyph's pixels stay within 16-bit offsets.
    font.setPointSize(std::clamp(point_size, 1, 1000));
    // The family asked for, when the system has it, at any size (a size whose
    // pixel height is no whole number is no exact match, but the family is
    // the one found); else the system's sans-serif font.
    if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) != 0)
        font.setFamily(QStringLiteral("sans-serif"));
    return font;
}

namespace {

QRgb rgb(TColor colour) {
    const auto v = static_cast<uint32_t>(colour);
    if (v & 0xFF000000u) return to_qcolor(colour).rgb();  // a system colour
    return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

}  // namespace

QtCanvas::QtCanvas(QImage& image, const std::string& font_name, LabelCache& labels)
    : painter_(&image),
      labels_(labels),
      bits_(image.bits()),
      stride_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()),
      font_name_(font_name),
      dots_per_metre_(image.dotsPerMeterX()) {
    labels_.begin_pass();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    set_font_size(8);
}

void QtCanvas::apply_pen() {
    if (pen_applied_) return;
    const Qt::PenStyle s = pen_style_ == PenStyle::dash  ? Qt::DashLine
                           : pen_style_ == PenStyle::dot ? Qt::DotLine
                                                         : Qt::SolidLine;
    painter_.setPen(QPen(QColor::fromRgb(pen_rgb_), pen_width_, s, Qt::FlatCap, Qt::MiterJoin));
    pen_applied_ = true;
}

void QtCanvas::set_pen(TColor colour, PenStyle style, int width) {
    pen_rgb_ = rgb(colour);
    pen_style_ = style;
    pen_width_ = std::max(width, 1);
    pen_applied_ = false;
}

void QtCanvas::set_pen_colour(TColor colour) {
    set_pen(colour, pen_style_, pen_width_);
}

void QtCanvas::set_brush(TColor colour) {
    brush_solid_ = true;
    brush_rgb_ = rgb(colour);
}

void QtCanvas::clear_brush() {
    brush_solid_ = false;
}

void QtCanvas::set_font_colour(TColor colour) {
    font_rgb_ = rgb(colour);
}

void QtCanvas::set_font_size(int size) {
    font_ = map_font(font_name_, size);
    label_generation_ = kNoGeneration;
    painter_.setFont(font_);
    const QFontMetrics m(font_, painter_.device());
    box_height_ = m.ascent() + m.descent();
}

void QtCanvas::fill(int x1, int y1, int x2, int y2, QRgb colour) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_);
    y2 = std::min(y2, height_);
    for (int y = y1; y < y2; ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
        std::fill(row + x1, row + std::max(x1, x2), colour);
    }
}

void QtCanvas::fill_rect(int x1, int y1, int x2, int y2) {
    if (brush_solid_) fill(x1, y1, x2, y2, brush_rgb_);
}

// Pixel i of a line, 0 <= i < its length along the major axis, lies on the
// minor axis at the start plus floor((2 * minor * i + major) / (2 * major)):
// nearest to the true line, the end point itself left out. Only the pixels
// inside the image are visited.
void QtCanvas::thin_line(int x1, int y1, int x2, int y2) {
    const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    if (adx == 0 && ady == 0) return;
    const bool x_major = adx >= ady;
    const long long major = x_major ? adx : ady, minor = x_major ? ady : adx;
    const int s_major = (x_major ? dx : dy) < 0 ? -1 : 1;
    const int s_minor = (x_major ? dy : dx) < 0 ? -1 : 1;
    const long long m0 = x_major ? x1 : y1, n0 = x_major ? y1 : x1;
    const long long m_size = x_major ? width_ : height_, n_size = x_major ? height_ : width_;
    // Steps whose major coordinate falls inside the image.
    long long first = s_major > 0 ? -m0 : m0 - (m_size - 1);
    long long last = s_major > 0 ? m_size - 1 - m0 : m0;
    first = std::max(first, 0LL);
    last = std::min(last, major - 1);
    if (first > last) return;
    const long long two_major = 2 * major;
    const long long num = 2 * minor * first + major;
    long long q = num / two_major, r = num % two_major;
    const QRgb colour = pen_rgb_;
    uchar* const bits = bits_;
    const qsizetype stride = stride_;
    for (long long i = first; i <= last; ++i) {
        const long long m = m0 + s_major * i, n = n0 + s_minor * q;
        if (n >= 0 && n < n_size) {
            const long long x = x_major ? m : n, y = x_major ? n : m;
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
        }
        r += 2 * minor;
        if (r >= two_major) {
            r -= two_major;
            ++q;
        }
    }
}

void QtCanvas::line(int x1, int y1, int x2, int y2) {
    // Lines that cannot touch the image light nothing: a world coastline has
    // many.
    const int m = pen_width_ + 1;
    if (std::max(x1, x2) < -m || std::min(x1, x2) >= width_ + m || std::max(y1, y2) < -m ||
        std::min(y1, y2) >= height_ + m)
        return;
    if (pen_style_ == PenStyle::solid && pen_width_ == 1) {
        thin_line(x1, y1, x2, y2);
        return;
    }
    apply_pen();
    painter_.drawLine(x1, y1, x2, y2);
}

void QtCanvas::rectangle(int x1, int y1, int x2, int y2) {
    apply_pen();
    painter_.setBrush(brush_solid_ ? QBrush(QColor::fromRgb(brush_rgb_)) : QBrush(Qt::NoBrush));
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::ellipse(int x1, int y1, int x2, int y2) {
    apply_pen();
    painter_.setBrush(brush_solid_ ? QBrush(QColor::fromRgb(brush_rgb_)) : QBrush(Qt::NoBrush));
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::polygon(const std::vector<std::vector<Pixel>>& rings) {
    if (!brush_solid_) return;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const std::vector<Pixel>& ring : rings) {
        if (ring.size() < 3) continue;
        path.moveTo(ring[0].x, ring[0].y);
        for (size_t i = 1; i < ring.size(); ++i) path.lineTo(ring[i].x, ring[i].y);
        path.closeSubpath();
    }
    painter_.fillPath(path, QColor::fromRgb(brush_rgb_));
}

void QtCanvas::text(int x, int y, std::string_view text) {
    if (text.empty()) return;
    LabelCache& cache = labels_;
    // The font is compared once a size, not once a label.
    if (label_generation_ != cache.generation())
        label_generation_ = cache.use(font_, dots_per_metre_);
    const LabelCache::Label& label = cache.get(text);
    if (brush_solid_) fill(x, y, x + label.box_width, y + box_height_, brush_rgb_);
    // Labels wholly off the image are common at small scales.
    if (x + label.right <= 0 || x + label.left >= width_ || y + label.bottom <= 0 ||
        y + label.top >= height_)
        return;
    const bool inside = x + label.left >= 0 && x + label.right <= width_ && y + label.top >= 0 &&
                        y + label.bottom <= height_;
    const QRgb colour = font_rgb_;  // kept in a register, not read again per pixel
    const int baseline = y + cache.ascent();
    const LabelCache::Glyph* glyphs = cache.glyphs(label);
    for (uint32_t i = 0; i < label.count; ++i) {
        Mask& g = cache.mask(glyphs[i].mask);
        const int gx = x + glyphs[i].dx;
        if (inside) {
            QRgb* origin = reinterpret_cast<QRgb*>(bits_ + baseline * stride_) + gx;
            for (const qsizetype o : g.offsets_for(stride_ / static_cast<qsizetype>(sizeof(QRgb))))
                origin[o] = colour;
            continue;
        }
        for (const Run& run : g.runs) {
            const int py = baseline + run.dy;
            if (py < 0 || py >= height_) continue;
            const int from = std::max(gx + run.dx, 0),
                      to = std::min(gx + run.dx + run.length, width_);
            if (from >= to) continue;
            auto* row = reinterpret_cast<QRgb*>(bits_ + py * stride_);
            std::fill(row + from, row + to, colour);
        }
    }
}

}  // namespace karvel
