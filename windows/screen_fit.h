// Windows that fit the screen they open on, whatever its size and scale.
#pragma once

#include <QSize>

class QWidget;

namespace karvel {

// `wanted` (the design size) held within the available area of the screen
// `window` opens on, less room for the window manager's frame.
QSize fit_to_screen(const QWidget* window, QSize wanted);

// Places a window that was never shown in the middle of its screen's
// available area (frame included), so that all of it is on screen.
void centre_on_screen(QWidget* window);

}  // namespace karvel
