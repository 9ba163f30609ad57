// The bitmap canvas against the toolkit's own drawing: lines clipped far
// outside the bitmap, labels kept between passes, the font's fallback.
// (The golden map pictures pin lines, rings, symbols and text boxes.)
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <map>

#include "map/qt_canvas.h"
#include "map/view.h"

using namespace karvel;

namespace {

constexpr TColor kWhite = 0xFFFFFF, kRed = 0x0000FF;

struct Bitmap {
    Bitmap() : image(200, 150, QImage::Format_RGB32) { image.fill(Qt::black); }
    QImage image;
};

// How many pixels of each colour.
std::map<QRgb, int> colours_of(const QImage& image) {
    std::map<QRgb, int> n;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++n[image.pixel(x, y)];
    return n;
}

}  // namespace

TEST(QtCanvas, ClippedLinesLightWhatTheWholeLineWould) {
    // Each line drawn whole on a large image, and on a small window of it
    // where its ends lie far outside: the window's pixels must agree.
    uint32_t seed = 12345;
    auto next = [&](int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + static_cast<int>((seed >> 8) % static_cast<uint32_t>(hi - lo + 1));
    };
    QImage big(1000, 1000, QImage::Format_RGB32);
    QImage small(200, 150, QImage::Format_RGB32);
    for (int round = 0; round < 60; ++round) {
        big.fill(Qt::black);
        small.fill(Qt::black);
        const int x1 = next(-300, 499), y1 = next(-300, 449), x2 = next(-300, 499),
                  y2 = next(-300, 449);
        {
            QtCanvas whole(big, "sans-serif");
            whole.set_pen(kWhite, PenStyle::solid, 1);
            whole.line(x1 + 300, y1 + 300, x2 + 300, y2 + 300);
            QtCanvas part(small, "sans-serif");
            part.set_pen(kWhite, PenStyle::solid, 1);
            part.line(x1, y1, x2, y2);
        }
        ASSERT_EQ(big.copy(300, 300, 200, 150), small) << x1 << "," << y1 << " " << x2 << "," << y2;
        EXPECT_EQ(1000 * 1000 - colours_of(big)[qRgb(0, 0, 0)],
                  std::max(std::abs(x2 - x1), std::abs(y2 - y1)));  // the end left out
    }
}

TEST(QtCanvas, LabelsAreTheToolkitsOwnText) {
    // Kerned pairs (AV, LT, To), glyphs reaching left of their cell (j),
    // blanks at either end (the box holds them).
    for (const char* s : {"LFPG-OPALE 1A RW27L", "Wj\xE9g", "09", "AVALT To,.Y", " RW 27  "}) {
        Bitmap mine, direct;
        {
            QtCanvas c(mine.image, "MS Sans Serif");
            c.set_font_size(8);
            c.set_font_colour(kWhite);
            c.clear_brush();
            c.text(-3, 2, s);  // cut at the left edge
            c.set_brush(kRed);
            c.text(30, 40, s);
        }
        {
            QPainter p(&direct.image);
            const QFont f = map_font("MS Sans Serif", 8);
            p.setFont(f);
            p.setPen(Qt::white);
            const QFontMetrics m(f, &direct.image);
            p.drawText(QPoint(-3, 2 + m.ascent()), QString::fromLatin1(s));
            p.fillRect(30, 40, m.horizontalAdvance(QString::fromLatin1(s)),
                       m.ascent() + m.descent(), Qt::red);
            p.drawText(QPoint(30, 40 + m.ascent()), QString::fromLatin1(s));
        }
        EXPECT_EQ(mine.image, direct.image) << s;
    }
    // A font the system lacks falls back (the shipped settings name one);
    // a damaged settings file's size is bounded.
    EXPECT_EQ(map_font("Pas de police de ce nom", 8).family(), QStringLiteral("sans-serif"));
    EXPECT_EQ(map_font("sans-serif", 100000).pointSize(), 1000);
}

TEST(QtCanvas, KeptLabelsDrawAsNewOnesWhateverTheOrder) {
    // Passes ask for labels in orders that drift: some left out, some new,
    // one asked for twice, the order turned round.
    const std::vector<std::vector<const char*>> passes = {
        {"ALPHA", "BRAVO", "CHARLIE", "DELTA"},
        {"BRAVO", "CHARLIE", "ECHO", "DELTA"},
        {"ALPHA", "BRAVO", "CHARLIE", "DELTA"},
        {"DELTA", "CHARLIE", "BRAVO", "ALPHA", "ALPHA"},
        {"FOXTROT", "ALPHA"}};
    for (const auto& labels : passes) {
        Bitmap kept, fresh;
        for (Bitmap* b : {&kept, &fresh}) {
            if (b == &fresh) forget_map_labels();
            QtCanvas c(b->image, "MS Sans Serif");
            c.set_font_size(8);
            c.set_font_colour(kWhite);
            c.clear_brush();
            int y = 0;
            for (const char* l : labels) c.text(5, y += 14, l);
        }
        EXPECT_EQ(kept.image, fresh.image);
    }
}
