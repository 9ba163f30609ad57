// Pixel probes of the bitmap canvas: each drawing convention of the map.
#include <gtest/gtest.h>

#include "map/qt_canvas.h"
#include "map/view.h"

using namespace karvel;

namespace {

constexpr TColor kWhite = 0xFFFFFF, kRed = 0x0000FF;

struct Bitmap {
    Bitmap() : image(200, 150, QImage::Format_RGB32) { image.fill(Qt::black); }
    bool lit(int x, int y) const { return image.pixel(x, y) != qRgb(0, 0, 0); }
    QRgb at(int x, int y) const { return image.pixel(x, y); }
    QImage image;
};

}  // namespace

TEST(QtCanvas, LinesCoverTheirStartNotTheirEnd) {
    Bitmap b;
    {
        QtCanvas c(b.image, "MS Sans Serif");
        c.set_pen(kWhite, PenStyle::solid, 1);
        c.line(2, 10, 7, 10);
        c.line(2, 30, 6, 34);
        c.set_pen(kWhite, PenStyle::solid, 3);
        c.line(2, 50, 7, 50);
        c.set_pen(kWhite, PenStyle::solid, 1);
        c.line(-kPixelLimit, 70, kPixelLimit, 70);  // far beyond the bitmap both ways
    }
    for (int x = 2; x <= 6; ++x) EXPECT_TRUE(b.lit(x, 10)) << x;
    EXPECT_FALSE(b.lit(7, 10));
    EXPECT_FALSE(b.lit(1, 10));
    EXPECT_TRUE(b.lit(2, 30));
    EXPECT_TRUE(b.lit(5, 33));
    EXPECT_FALSE(b.lit(6, 34));
    EXPECT_TRUE(b.lit(2, 49) && b.lit(6, 51));  // width 3 about the line
    EXPECT_FALSE(b.lit(7, 50));
    EXPECT_TRUE(b.lit(0, 70) && b.lit(199, 70));
}

TEST(QtCanvas, RectanglesAndEllipsesStayInsideTheirBox) {
    Bitmap b;
    {
        QtCanvas c(b.image, "MS Sans Serif");
        c.set_pen(kWhite, PenStyle::solid, 1);
        c.clear_brush();
        c.ellipse(20, 20, 30, 30);
        c.set_brush(kRed);
        c.set_pen(kRed, PenStyle::solid, 1);
        c.rectangle(49, 49, 51, 51);  // the 2 x 2 dot at (50, 50)
        c.set_brush(kWhite);
        c.fill_rect(100, 100, 110, 105);
    }
    EXPECT_TRUE(b.lit(20, 25) && b.lit(29, 25) && b.lit(25, 20) && b.lit(25, 29));
    EXPECT_FALSE(b.lit(30, 25) || b.lit(25, 30) || b.lit(25, 25));  // clear inside
    for (int y = 49; y <= 50; ++y)
        for (int x = 49; x <= 50; ++x) EXPECT_EQ(b.at(x, y), qRgb(255, 0, 0));
    EXPECT_FALSE(b.lit(51, 50) || b.lit(50, 51) || b.lit(48, 49));
    EXPECT_TRUE(b.lit(100, 100) && b.lit(109, 104));
    EXPECT_FALSE(b.lit(110, 104) || b.lit(109, 105));
}

TEST(QtCanvas, TextFromItsTopLeftOnTheBrushBox) {
    Bitmap b;
    {
        QtCanvas c(b.image, "MS Sans Serif");
        c.set_font_size(8);
        c.set_font_colour(kWhite);
        c.set_brush(kRed);
        c.text(20, 20, "W\xE9");  // Windows-1252
        c.clear_brush();
        c.text(20, 80, "W");
    }
    EXPECT_EQ(b.at(20, 20), qRgb(255, 0, 0));  // the box starts at the corner
    EXPECT_FALSE(b.lit(19, 20) || b.lit(20, 19));
    int white = 0, lowest = 0;
    for (int y = 80; y < 100; ++y)
        for (int x = 20; x < 40; ++x)
            if (b.at(x, y) == qRgb(255, 255, 255)) ++white, lowest = std::max(lowest, y);
    EXPECT_GT(white, 5);
    EXPECT_LT(lowest, 80 + 14);  // 8 points at 96 dpi
    for (int x = 0; x < 200; ++x) EXPECT_FALSE(b.lit(x, 79)) << x;  // nothing above: no box
    for (int y = 70; y < 100; ++y) EXPECT_NE(b.at(20, y), qRgb(255, 0, 0));
}

TEST(QtCanvas, MissingFontFallsBackToTheSansFont) {
    Bitmap a, b;
    for (auto [bitmap, name] : {std::pair{&a, "Pas de police de ce nom"}, {&b, "sans-serif"}}) {
        QtCanvas c(bitmap->image, name);
        c.set_font_size(8);
        c.set_font_colour(kWhite);
        c.clear_brush();
        c.text(5, 5, "LFPG 09L");
    }
    EXPECT_EQ(a.image, b.image);
    int lit = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 30; ++y) lit += a.lit(x, y);
    EXPECT_GT(lit, 20);
    // Never antialiased: only the two colours.
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 30; ++y)
            EXPECT_TRUE(a.at(x, y) == qRgb(0, 0, 0) || a.at(x, y) == qRgb(255, 255, 255));
}
