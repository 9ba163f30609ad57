// The map window offscreen on the sample data: golden pictures of LFPG,
// the mouse (wheel, right-drag, Shift-drag), the status bar and the caption,
// the picture of karvel-sct, and no drawing while a selection loads.
//
// KARVEL_UPDATE_GOLDEN=1 writes the golden pictures anew; on a mismatch the
// actual picture is written beside the test run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>

#include "map/view.h"
#include "window_fixture.h"

using namespace karvel;
using namespace karvel::test;

namespace {

// Counts the paints of a widget that happen while a selection loads.
struct PaintSpy : QObject {
    explicit PaintSpy(const AppState& s) : state(s) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && state.loading) ++while_loading;
        return false;
    }
    const AppState& state;
    int while_loading = 0;
};

struct MapWindowTest : WindowFixture {
    void SetUp() override {
        if (!std::filesystem::exists(KARVEL_SOURCE_DIR "/runtime/geo/110m_coastline.shp"))
            GTEST_SKIP() << "runtime/geo is missing: script/setup makes it";
    }
    void select_lfpg() { select("LFPG", "50", 1); }
    void wheel(int delta) {
        QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(carte->surface, &e);
    }
    const QImage& bitmap() const { return state.map.map_bitmap; }

    // The bitmap against tests/golden/map/NAME.png, pixel for pixel.
    void expect_golden(const std::string& name) {
        const QString path = QString::fromStdString(KARVEL_SOURCE_DIR "/tests/golden/map/" + name);
        const QImage actual = bitmap().convertToFormat(QImage::Format_RGB32);
        if (std::getenv("KARVEL_UPDATE_GOLDEN")) {
            ASSERT_TRUE(actual.save(path + ".png"));
        } else if (QImage(path + ".png").convertToFormat(QImage::Format_RGB32) != actual) {
            const std::string saved = (out / (name + ".actual.png")).string();
            actual.save(QString::fromStdString(saved));
            ADD_FAILURE() << name << " differs from its golden picture; see " << saved;
        }
    }
};

}  // namespace

TEST_F(MapWindowTest, GoldenPicturesOfLfpgWithRingsWithoutAndMeasuring) {
    select_lfpg();
    form->Button1->click();  // "carte"
    EXPECT_TRUE(carte->isVisible());
    EXPECT_EQ(carte->windowTitle(), QStringLiteral("LFPG:50nm   visu:50nm"));
    ASSERT_EQ(bitmap().size(), QSize(976, 674));
    EXPECT_EQ(carte->surface->size(), QSize(976, 674));
    const QImage first = bitmap().copy();
    expect_golden("LFPG_50nm_geo1");

    state.settings.colours[14].visible = false;
    carte->refresh_map();
    expect_golden("LFPG_50nm_geo1_no_rings");
    state.settings.colours[14].visible = true;

    send(QEvent::MouseButtonPress, 300, 400, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseMove, 600, 250, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(state.map.mouse.measure_bearing_text, "63");
    expect_golden("LFPG_50nm_geo1_measure");

    // A press without Shift ends the measure at the next repaint.
    send(QEvent::MouseButtonPress, 10, 10, Qt::LeftButton, Qt::LeftButton);
    carte->refresh_map();
    EXPECT_EQ(bitmap(), first);
}

TEST_F(MapWindowTest, WheelRightDragAndStatusBar) {
    select_lfpg();
    form->Button1->click();
    const float px = state.frame.view.px_per_nm;
    // The range fills the height already: no zoom out. A sideways scroll
    // zooms nothing; a touchpad's small steps add up to one step per 120.
    const QImage before = bitmap().copy();
    for (const auto& [delta, factor] : {std::pair{-120, 1.0f},
                                        {120, 1.2f},
                                        {-120, 1.0f},
                                        {0, 1.0f},
                                        {40, 1.0f},
                                        {40, 1.0f},
                                        {40, 1.2f},
                                        {-60, 1.2f},
                                        {-60, 1.0f},
                                        {120, 1.2f}}) {
        wheel(delta);
        EXPECT_FLOAT_EQ(state.frame.view.px_per_nm, px * factor) << delta;
    }
    EXPECT_NE(bitmap(), before);

    send(QEvent::MouseMove, 488, 337, Qt::NoButton, Qt::NoButton);
    const GeoPos centre = viewport_of(state.map, state.frame).to_geo(488, 337);
    EXPECT_EQ(carte->panel1->text(),
              QString::asprintf("%8.5f  %8.5f", static_cast<double>(centre.lat),
                                static_cast<double>(centre.lon)));
    EXPECT_TRUE(carte->panel0->text().isEmpty());
    const QString shown = carte->panel1->text();

    // A right drag pans (the ground under the cursor is the map's own test).
    send(QEvent::MouseButtonPress, 100, 100, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, 300, 200, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(carte->surface->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(carte->panel1->text(), shown);  // not updated while panning
    EXPECT_GT(state.frame.centre_lat, 49.1);  // dragged down and right: the view moved north-west
    EXPECT_LT(state.frame.centre_lon, 2.5);

    send(QEvent::MouseButtonRelease, 300, 200, Qt::RightButton, Qt::NoButton);
    send(QEvent::MouseMove, 10, 20, Qt::NoButton, Qt::NoButton);
    EXPECT_NE(carte->panel1->text(), shown);
    EXPECT_EQ(carte->surface->cursor().shape(), Qt::PointingHandCursor);  // it stays

    // A larger window shows more at the same scale about the same centre.
    const float scale = state.frame.view.px_per_nm;
    carte->resize(carte->width() + 100, carte->height() + 50);
    QCoreApplication::processEvents();
    ASSERT_EQ(bitmap().size(), QSize(1076, 724));
    EXPECT_EQ(state.frame.view.px_per_nm, scale);
    EXPECT_EQ(viewport_of(state.map, state.frame)
                  .to_pixel(state.frame.centre_lat, state.frame.centre_lon),
              (Pixel{538, 362}));
}

TEST_F(MapWindowTest, PictureOfTheCommandLineIsTheWindowsBitmap) {
    select_lfpg();
    form->Button1->click();
    const Outcome r =
        run(dir, "'" KARVEL_SCT_PATH "' --airport LFPG --radius 50 --geo 1 --picture pic.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "pic.png\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("secteurs/LFPG_50nm.sct")));  // a picture only
    const QImage picture(QString::fromStdString(dir.file("pic.png")));
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), bitmap());
    // Another size when asked for.
    ASSERT_EQ(run(dir, "'" KARVEL_SCT_PATH "' --airport LFMN --radius 40 --picture p.png "
                       "--picture-size 300x7")
                  .status,
              0);
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("p.png"))).size(), QSize(300, 7));
}

// During a load the map keeps its picture (paints go through, drawing
// waits); once the selection is in, the open map shows it at once.
TEST_F(MapWindowTest, AnOpenMapFollowsTheSelection) {
    select_lfpg();
    form->Button1->click();
    const float top = state.map.view_top;
    PaintSpy spy(state);
    carte->surface->installEventFilter(&spy);
    carte->surface->update();
    form->Edit_ICAO->setText(QStringLiteral("LSGG"));
    form->Edit_ICAO->returnPressed();  // Enter in the field selects, as the button does
    EXPECT_GT(spy.while_loading, 0);
    EXPECT_NE(state.map.view_top, top);
    EXPECT_TRUE(carte->windowTitle().startsWith(QStringLiteral("LSGG:")))
        << carte->windowTitle().toStdString();
}

// Ctrl+S and Ctrl+Q answer from the map as from the main window.
TEST_F(MapWindowTest, SaveAndQuitKeysFromTheMap) {
    select_lfpg();
    form->Button1->click();
    carte->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), carte);
    dialogs.save_answers.push_back(std::nullopt);  // the save dialog, cancelled
    QTest::keyClick(carte, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.save_dirs.size(), 1u);
    QTest::keyClick(carte, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(terminated, 1);
}
