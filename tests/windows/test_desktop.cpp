// The windows under a real window manager on a virtual screen (run through
// desktop.sh at 100 % and at 150 %): the window in front, every window on
// the screen, the map drawn in the screen's own pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <functional>

#include "window_fixture.h"
#include "windows/gui_dialogs.h"

using namespace karvel;
using namespace karvel::test;

namespace {

// Events handled until `done` holds or five seconds pass (the window
// manager answers in its own time).
bool wait_for(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > 5000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

// The program's windows with the toolkit's dialogs; LFPG selected and its
// map in front.
struct Desktop : WindowFixtureOf<QtDialogs> {
    Desktop() {
        dialogs.set_parent(form);
        wait_for([&] { return QApplication::activeWindow() == form; });
        by_airport("LFPG", "50");
        form->Button1->click();
        wait_for([&] { return QApplication::activeWindow() == carte; });
    }
    // Inside the parameters dialog opened from the map's menu.
    void in_parameters(const std::function<void()>& body) {
        WindowFixtureOf::in_parameters(
            [&] {
                wait_for([&] { return QApplication::activeWindow() == afich; });
                body();
            },
            &TForm_afich::Button_anul);
    }
    static ::testing::AssertionResult on_screen(const QWidget* w) {
        const QRect f = w->frameGeometry();
        if (w->screen()->geometry().contains(f)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << w->objectName().toStdString() << " at " << f.x() << ", " << f.y() << ", "
               << f.width() << " x " << f.height();
    }
};

TEST_F(Desktop, TheColourChooserStandsInFrontOfTheParameters) {
    std::string in_front = "none";  // the chooser is gone once closed: its class is kept
    in_parameters([&] {
        QTimer::singleShot(0, [&] {
            wait_for([] { return qobject_cast<QColorDialog*>(QApplication::activeWindow()); });
            if (QWidget* w = QApplication::activeWindow()) {
                in_front = w->metaObject()->className();
                // It belongs to the dialog that opened it, not to the main window.
                if (w->windowHandle()->transientParent() != afich->windowHandle())
                    in_front += " of another window";
            }
            if (auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget()))
                chooser->reject();
        });
        // A click on the first colour's swatch.
        QTableWidget* grid = afich->StringGrid_couleur;
        const QPoint at = grid->visualRect(grid->model()->index(0, 1)).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, grid->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &press);
    });
    EXPECT_EQ(in_front, "QColorDialog");
    // Back in front after each dialog: the window that opened it.
    EXPECT_TRUE(wait_for([&] { return QApplication::activeWindow() == carte; }))
        << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString()
                                         : std::string("no window"));
}

TEST_F(Desktop, TheMapStaysInFrontAfterItsRangeIsAsked) {
    QTimer::singleShot(0, [] {
        wait_for([] { return qobject_cast<QInputDialog*>(QApplication::activeWindow()); });
        if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            box->setTextValue(QStringLiteral("80"));
            box->accept();
        }
    });
    carte->visibili1->trigger();
    EXPECT_EQ(state.frame.view.range_nm, 80);
    EXPECT_TRUE(wait_for([&] { return QApplication::activeWindow() == carte; }));
}

// Right after a dialog hides, no window is active until the window manager
// has moved the focus (on a loaded machine, long after the next dialog).
struct NoWindowActiveOnHide : QObject {
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Hide) QApplication::setActiveWindow(nullptr);
        return QObject::eventFilter(o, e);
    }
};

// "abc" as the range: the error box stands in front of the map, whether the
// window manager has moved the focus back yet or not, and the map is the
// active window again after it.
TEST_F(Desktop, TheMapIsInFrontAgainAfterAnErrorInItsRange) {
    for (const bool late_manager : {false, true}) {
        QWidget* error_owner = nullptr;
        NoWindowActiveOnHide slow_manager;
        QTimer::singleShot(0, [&] {
            wait_for([] { return qobject_cast<QInputDialog*>(QApplication::activeModalWidget()); });
            if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                if (late_manager) box->installEventFilter(&slow_manager);
                box->setTextValue(QStringLiteral("abc"));
                QTimer::singleShot(0, [&] {
                    wait_for(
                        [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
                    if (auto* error = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                        error_owner = error->parentWidget() ? error->parentWidget()->window() : nullptr;
                        error->accept();
                    }
                });
                box->accept();
            }
        });
        carte->visibili1->trigger();
        EXPECT_EQ(error_owner, carte) << (late_manager ? "late" : "prompt");
        // The late answer cleared only the toolkit's record of the active
        // window, not the window system's: the focus cannot be watched then.
        if (!late_manager) {
            EXPECT_TRUE(wait_for([&] { return QApplication::activeWindow() == carte; }));
        }
    }
}

TEST_F(Desktop, EveryWindowIsOnTheScreen) {
    centre->show();
    wait_for([&] { return QApplication::activeWindow() == centre; });
    in_parameters([&] { EXPECT_TRUE(on_screen(afich)); });
    for (const QWidget* w : std::initializer_list<const QWidget*>{form, carte, centre})
        EXPECT_TRUE(on_screen(w));
}

TEST_F(Desktop, TheMapIsDrawnInTheScreensPixels) {
    const qreal ratio = carte->surface->devicePixelRatioF();
    const QImage& bitmap = state.map.map_bitmap;
    EXPECT_EQ(bitmap.width(), static_cast<int>(std::floor(carte->surface->width() * ratio)));
    EXPECT_EQ(bitmap.height(), static_cast<int>(std::floor(carte->surface->height() * ratio)));
    // Text sizes in points keep their size on the screen.
    EXPECT_EQ(bitmap.dotsPerMeterX(), std::lround(3780 * ratio));
    // The same ground whatever the scale: 100 nm fill the designed height.
    EXPECT_NEAR(state.frame.view.px_per_nm * state.frame.view.range_nm / ratio, 674, 1);
}

}  // namespace
