#include "windows/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace karvel {
namespace {

// Room for a title bar and borders, which the window's own size leaves out.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

QRect available(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
}

}  // namespace

// Offscreen (tests, pictures) there is no screen to fit: the design size holds.
bool on_a_screen() {
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

QSize fit_to_screen(const QWidget* window, QSize wanted) {
    if (!on_a_screen()) return wanted;
    const QRect a = available(window);
    return wanted.boundedTo(QSize(a.width() - kFrameWidth, a.height() - kFrameHeight));
}

void centre_on_screen(QWidget* window) {
    if (!on_a_screen()) return;
    const QRect a = available(window);
    const QSize outer = window->size() + QSize(kFrameWidth, kFrameHeight);
    window->move(a.x() + std::max(0, (a.width() - outer.width()) / 2),
                 a.y() + std::max(0, (a.height() - outer.height()) / 2));
}

FrontAgain::~FrontAgain() {
    if (!window_ || !window_->isVisible()) return;
    window_->raise();
    window_->activateWindow();
}

}  // namespace karvel
