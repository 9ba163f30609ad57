#include "map/qt_canvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QStaticText>
#include <algorithm>
#include <unordered_map>

#include "app/colours.h"
#include "app/cp1252.h"

namespace karvel {

QFont map_font(const std::string& name, int point_size) {
    QFont font(to_qstring(name));
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setPointSize(std::max(point_size, 1));
    if (!QFontInfo(font).exactMatch()) font.setFamily(QStringLiteral("sans-serif"));
    return font;
}

namespace {

// Labels laid out once and kept from one drawing pass to the next: a map
// redraws the same few thousand labels at every move of the mouse.
struct LaidOutText {
    QStaticText text;
    qreal width = 0;
    int box = 0;
};

class TextCache {
  public:
    const LaidOutText& get(const QFont& font, std::string_view text) {
        if (font != font_ || map_.size() > 200000) {
            map_.clear();
            font_ = font;
        }
        auto [it, added] = map_.try_emplace(std::string(text));
        if (added) {
            QStaticText& st = it->second.text;
            st.setTextFormat(Qt::PlainText);
            st.setPerformanceHint(QStaticText::AggressiveCaching);
            st.setText(to_qstring(text));
            st.prepare(QTransform(), font);
            it->second.width = QFontMetricsF(font).horizontalAdvance(st.text());
            it->second.box = QFontMetrics(font).horizontalAdvance(st.text());
        }
        return it->second;
    }

  private:
    QFont font_;
    std::unordered_map<std::string, LaidOutText> map_;
};

TextCache& text_cache() {
    static TextCache cache;  // the map is drawn on the one GUI thread
    return cache;
}

}  // namespace

QtCanvas::QtCanvas(QImage& image, const std::string& font_name)
    : painter_(&image),
      width_(image.width()),
      height_(image.height()),
      font_name_(font_name),
      metrics_(QFont()) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    pen_ = QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter_.setPen(pen_);
    set_font_size(8);
}

QtCanvas::~QtCanvas() {
    flush();
}

void QtCanvas::flush() {
    if (pending_.isEmpty()) return;
    painter_.drawLines(pending_);
    pending_.clear();
}

void QtCanvas::apply_pen(const QPen& pen) {
    if (pen == pen_) return;
    flush();
    pen_ = pen;
    painter_.setPen(pen_);
}

void QtCanvas::set_pen(TColor colour, PenStyle style, int width) {
    const Qt::PenStyle s = style == PenStyle::dash  ? Qt::DashLine
                           : style == PenStyle::dot ? Qt::DotLine
                                                    : Qt::SolidLine;
    apply_pen(QPen(to_qcolor(colour), std::max(width, 1), s, Qt::FlatCap, Qt::MiterJoin));
}

void QtCanvas::set_pen_colour(TColor colour) {
    QPen pen = pen_;
    pen.setColor(to_qcolor(colour));
    apply_pen(pen);
}

void QtCanvas::set_brush(TColor colour) {
    brush_solid_ = true;
    brush_ = QBrush(to_qcolor(colour));
}

void QtCanvas::clear_brush() {
    brush_solid_ = false;
}

void QtCanvas::set_font_colour(TColor colour) {
    font_pen_ = QPen(to_qcolor(colour));
}

void QtCanvas::set_font_size(int size) {
    flush();
    const QFont font = map_font(font_name_, size);
    painter_.setFont(font);
    metrics_ = QFontMetrics(font, painter_.device());
    ascent_ = metrics_.ascent();
    line_height_ = metrics_.height() + 1;
    box_height_ = metrics_.ascent() + metrics_.descent();
}

void QtCanvas::fill_rect(int x1, int y1, int x2, int y2) {
    flush();
    if (brush_solid_ && x2 > x1 && y2 > y1)
        painter_.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), brush_);
}

void QtCanvas::line(int x1, int y1, int x2, int y2) {
    // Lines that cannot touch the image are left out: they would light
    // nothing, and a world coastline has many.
    const int m = pen_.width() + 1;
    if (std::max(x1, x2) < -m || std::min(x1, x2) >= width_ + m || std::max(y1, y2) < -m ||
        std::min(y1, y2) >= height_ + m)
        return;
    pending_.append(QLine(x1, y1, x2, y2));
}

void QtCanvas::rectangle(int x1, int y1, int x2, int y2) {
    flush();
    painter_.setBrush(brush_solid_ ? brush_ : QBrush(Qt::NoBrush));
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::ellipse(int x1, int y1, int x2, int y2) {
    flush();
    painter_.setBrush(brush_solid_ ? brush_ : QBrush(Qt::NoBrush));
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void QtCanvas::text(int x, int y, std::string_view text) {
    // A text lies right of and below its corner: one that starts past the
    // image, or ends before it, would light nothing.
    if (x >= width_ || y >= height_ || y + line_height_ <= 0 || text.empty()) return;
    const LaidOutText& t = text_cache().get(painter_.font(), text);
    if (x + t.width <= 0) return;
    flush();
    if (brush_solid_) painter_.fillRect(QRect(x, y, t.box, box_height_), brush_);
    painter_.setPen(font_pen_);
    painter_.drawStaticText(QPointF(x, y), t.text);
    painter_.setPen(pen_);
}

}  // namespace karvel
