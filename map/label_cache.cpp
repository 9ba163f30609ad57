#include "map/label_cache.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

#include "core/cp1252.h"

namespace karvel {

namespace {

// Sizes in points become pixels at the image's resolution (96 dots an inch
// on the map bitmap at 100 %).
QImage blank_at(int width, int height, int dots_per_metre) {
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    image.fill(Qt::black);
    return image;
}

// The lit pixels of `image`, relative to (x0, y0).
Mask mask_of(const QImage& image, int x0, int y0) {
    Mask mask;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (row[x] == qRgb(0, 0, 0)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && row[x] != qRgb(0, 0, 0)) ++x;
            mask.runs.push_back({static_cast<int16_t>(start - x0), static_cast<int16_t>(y - y0),
                                 static_cast<int16_t>(x - start)});
            mask.add_extent(start - x0, x - x0, y - y0, y - y0 + 1);
        }
    }
    return mask;
}

}  // namespace

uint64_t LabelCache::use(const QFont& font, int dots_per_metre) {
    if (font == font_ && dots_per_metre == dpm_) return generation_;
    clear();
    font_ = font;
    dpm_ = dots_per_metre;
    probe_ = blank_at(1, 1, dpm_);
    ascent_ = QFontMetrics(font_, &probe_).ascent();
    return generation_;
}

uint32_t LabelCache::lay_out(std::string_view text) {
    const QString s = to_qstring(text);
    Label label;
    label.text_at = static_cast<uint32_t>(texts_.size());
    label.text_size = static_cast<uint32_t>(text.size());
    texts_.append(text);
    label.first = static_cast<uint32_t>(glyphs_.size());
    QTextLayout layout(s, font_, &probe_);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    // The box: the text's advance, trailing blanks included.
    label.box_width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
    const qreal baseline = line.isValid() ? line.ascent() : 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const qreal x = positions[i].x();
            const int whole = static_cast<int>(std::floor(x));
            const int fraction = static_cast<int>(std::lround((x - whole) * 64));
            const int dy = static_cast<int>(std::lround(positions[i].y() - baseline));
            const uint32_t m = glyph_mask(run.rawFont(), indexes[i], fraction, dy);
            glyphs_.push_back({m, whole});
            const Mask& g = masks_[m];
            label.left = std::min(label.left, whole + g.left);
            label.right = std::max(label.right, whole + g.right);
            label.top = std::min(label.top, ascent_ + g.top);
            label.bottom = std::max(label.bottom, ascent_ + g.bottom);
        }
    }
    label.count = static_cast<uint32_t>(glyphs_.size()) - label.first;
    labels_.push_back(label);
    return static_cast<uint32_t>(labels_.size() - 1);
}

uint32_t LabelCache::glyph_mask(const QRawFont& raw, quint32 index, int fraction, int dy) {
    int font_slot = -1;
    for (size_t i = 0; i < raw_fonts_.size(); ++i)
        if (raw_fonts_[i] == raw) font_slot = static_cast<int>(i);
    if (font_slot < 0) {
        font_slot = static_cast<int>(raw_fonts_.size());
        raw_fonts_.push_back(raw);
    }
    const GlyphKey key{font_slot, index, fraction, dy};
    if (const auto it = mask_index_.find(key); it != mask_index_.end()) return it->second;

    // The glyph's own box, with room for what hinting moves past it: a
    // bitmap the size of the glyph, not of the font.
    const QRectF ink = raw.boundingRect(index);
    constexpr int kMargin = 4;
    const int x0 = kMargin - static_cast<int>(std::floor(ink.left()));
    const int y0 = kMargin - static_cast<int>(std::floor(ink.top())) - dy;
    const int width = x0 + static_cast<int>(std::ceil(ink.right())) + 1 + kMargin;
    const int height = y0 + dy + static_cast<int>(std::ceil(ink.bottom())) + kMargin;
    QImage image = blank_at(std::max(width, 1), std::max(height, 1), dpm_);
    {
        QPainter p(&image);
        p.setPen(Qt::white);
        QGlyphRun one;
        one.setRawFont(raw);
        one.setGlyphIndexes({index});
        one.setPositions({QPointF(0, 0)});
        p.drawGlyphRun(QPointF(x0 + fraction / 64.0, y0 + dy), one);
    }
    masks_.push_back(mask_of(image, x0, y0));  // from the pen on the baseline
    const auto slot = static_cast<uint32_t>(masks_.size() - 1);
    mask_index_.emplace(key, slot);
    return slot;
}

}  // namespace karvel
