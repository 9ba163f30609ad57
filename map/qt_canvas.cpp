#include "map/qt_canvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "core/colours.h"
#include "core/cp1252.h"

namespace karvel {

QFont map_font(const std::string& name, int point_size) {
    QFont font(to_qstring(name));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPointSize(std::max(point_size, 1));
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

// The pixels of a label relative to its top-left corner, as runs along its
// rows, and the width of its box. Text is never antialiased, so a label's
// pixels are the same wherever it stands.
struct TextMask {
    struct Run {
        int dx, dy, length;
    };
    std::vector<Run> runs;
    int box_width = 0;
    int left = 0, right = 0, top = 0, bottom = 0;  // the runs' extent
    // The same pixels as offsets from the corner in an image whose rows are
    // `stride` pixels apart, made when first needed.
    mutable qsizetype stride = 0;
    mutable std::vector<qsizetype> offsets;
};

// Sizes in points become pixels as on the map bitmap (96 dots an inch).
QImage device_96_dpi(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

TextMask make_mask(const QFont& font, std::string_view text) {
    const QString s = to_qstring(text);
    static const QImage probe = device_96_dpi(1, 1);
    const QFontMetrics m(font, &probe);
    TextMask mask;
    mask.box_width = m.horizontalAdvance(s);
    const QRect ink = m.boundingRect(s);
    const int pad = m.height() + 2;  // room for glyphs reaching past the box
    QImage image = device_96_dpi(mask.box_width + ink.width() + 2 * pad, m.height() + 2 * pad);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QPoint(pad, pad + m.ascent()), s);
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (row[x] == qRgb(0, 0, 0)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && row[x] != qRgb(0, 0, 0)) ++x;
            mask.runs.push_back({start - pad, y - pad, x - start});
        }
    }
    for (const TextMask::Run& r : mask.runs) {
        mask.left = std::min(mask.left, r.dx);
        mask.right = std::max(mask.right, r.dx + r.length);
        mask.top = std::min(mask.top, r.dy);
        mask.bottom = std::max(mask.bottom, r.dy + 1);
    }
    return mask;
}

// Labels kept from one drawing pass to the next: a map redraws the same few
// thousand labels at every move of the mouse.
class TextCache {
  public:
    const TextMask& get(const QFont& font, std::string_view text) {
        if (font != font_ || map_.size() > 200000) {
            map_.clear();
            font_ = font;
        }
        auto it = map_.find(text);
        if (it == map_.end()) it = map_.emplace(std::string(text), make_mask(font, text)).first;
        return it->second;
    }

  private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>()(s);
        }
    };
    QFont font_;
    std::unordered_map<std::string, TextMask, Hash, std::equal_to<>> map_;
};

TextCache& text_cache() {
    // The map is drawn on the one GUI thread. Never destroyed: its fonts must
    // not outlive the application object at exit.
    static TextCache* cache = new TextCache;
    return *cache;
}

}  // namespace

QtCanvas::QtCanvas(QImage& image, const std::string& font_name)
    : painter_(&image),
      bits_(image.bits()),
      stride_(image.bytesPerLine()),
      width_(image.width()),
      height_(image.height()),
      font_name_(font_name) {
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

void QtCanvas::text(int x, int y, std::string_view text) {
    if (text.empty()) return;
    const TextMask& mask = text_cache().get(font_, text);
    if (brush_solid_) fill(x, y, x + mask.box_width, y + box_height_, brush_rgb_);
    // Labels wholly off the image are common at small scales.
    if (x + mask.right <= 0 || x + mask.left >= width_ || y + mask.bottom <= 0 ||
        y + mask.top >= height_)
        return;
    if (x + mask.left >= 0 && x + mask.right <= width_ && y + mask.top >= 0 &&
        y + mask.bottom <= height_) {
        const qsizetype stride = stride_ / static_cast<qsizetype>(sizeof(QRgb));
        if (mask.stride != stride) {
            mask.stride = stride;
            mask.offsets.clear();
            for (const TextMask::Run& run : mask.runs)
                for (int i = 0; i < run.length; ++i)
                    mask.offsets.push_back(run.dy * stride + run.dx + i);
        }
        QRgb* corner = reinterpret_cast<QRgb*>(bits_ + y * stride_) + x;
        const QRgb colour = font_rgb_;  // kept in a register, not read again per pixel
        for (const qsizetype o : mask.offsets) corner[o] = colour;
        return;
    }
    for (const TextMask::Run& run : mask.runs) {
        const int py = y + run.dy;
        if (py < 0 || py >= height_) continue;
        const int from = std::max(x + run.dx, 0), to = std::min(x + run.dx + run.length, width_);
        if (from >= to) continue;
        auto* row = reinterpret_cast<QRgb*>(bits_ + py * stride_);
        std::fill(row + from, row + to, font_rgb_);
    }
}

}  // namespace karvel
