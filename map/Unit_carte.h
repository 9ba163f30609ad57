// The map window: menus, status bar and the surface the map bitmap is shown on.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "app/app_state.h"
#include "app/dialogs.h"

namespace karvel {

class TForm_afich;
class TForm_centre;

class TForm_carte : public QMainWindow {
    Q_OBJECT
  public:
    TForm_carte(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    void set_windows(TForm_afich* afich, TForm_centre* centre);

    void affichage1Click();
    void centrer1Click();

    QStatusBar* StatusBar1;
    QLabel* panel0;
    QLabel* panel1;
    QAction* affichage1;
    QAction* centrer1;
    QAction* visibili1;

  private:
    AppState& state_;
    Dialogs& dialogs_;
    TForm_afich* afich_ = nullptr;
    TForm_centre* centre_ = nullptr;
};

}  // namespace karvel
