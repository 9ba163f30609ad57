// The map window: menus, the surface the map bitmap is shown on, the status
// bar with the cursor position, and the mouse: wheel zoom, right-drag pan,
// Shift-drag measuring.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <functional>

#include "core/dialogs.h"
#include "map/label_cache.h"
#include "program/app_state.h"

namespace karvel {

class TForm_afich;
class TForm_centre;

class TForm_carte : public QMainWindow {
    Q_OBJECT
  public:
    // FormCreate: the bitmap takes the client area, 100 nm fill its height.
    TForm_carte(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    void set_windows(TForm_afich* afich, TForm_centre* centre);

    // draw_map into the bitmap (unless a selection is loading), then
    // present_map: the window shows the bitmap.
    void refresh_map();
    void present_map();
    // After a new selection: an open map shows it at once, with its caption.
    void selection_changed();

    // Told when "visibilié" changes the range, so that the main window's
    // caption says the same.
    std::function<void()> range_changed;

    // Handlers
    void affichage1Click();
    void centrer1Click();
    void visibili1Click();
    void FormResize(int client_width, int client_height);
    void FormMouseWheel(int delta);
    void FormMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void FormMouseMove(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

    QWidget* surface;  // the client area: the bitmap and the status bar over it
    QStatusBar* StatusBar1;
    QLabel* panel0;
    QLabel* panel1;
    QAction* affichage1;
    QAction* centrer1;
    QAction* visibili1;

  private:
    friend class MapSurface;
    void paint_surface(QWidget* target);
    void draw();  // the map into its bitmap, errors into the settings file
    // The tooltip text of the bitmap pixel (x, y): empty over nothing.
    QString hover_text(int x, int y) const;

    AppState& state_;
    Dialogs& dialogs_;
    TForm_afich* afich_ = nullptr;
    TForm_centre* centre_ = nullptr;
    bool fresh_ = false;  // the bitmap was drawn since the last paint
    LabelCache labels_;   // the labels of the passes, kept from one to the next
};

}  // namespace karvel
