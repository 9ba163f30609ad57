// Windows that fit the screen they open on, whatever its size and scale.
#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

namespace karvel {

// `wanted` (the design size) held within the available area of the screen
// `window` opens on, less room for the window manager's frame.
QSize fit_to_screen(const QWidget* window, QSize wanted);

// Places a window that was never shown in the middle of its screen's
// available area (frame included), so that all of it is on screen.
void centre_on_screen(QWidget* window);

// Held while a dialog is open: the window that opened it is in front again
// and active once it closes (a window manager may otherwise give the focus
// to another of the program's windows, the main one behind the map).
class FrontAgain {
  public:
    explicit FrontAgain(QWidget* window) : window_(window) {}
    ~FrontAgain();
    FrontAgain(const FrontAgain&) = delete;
    FrontAgain& operator=(const FrontAgain&) = delete;
    QWidget* window() const { return window_; }

  private:
    QPointer<QWidget> window_;
};

}  // namespace karvel
