// The display and export parameters dialog.
#pragma once

#include <QDialog>
#include <QPushButton>

#include "app/app_state.h"
#include "app/dialogs.h"

namespace karvel {

class TForm_afich : public QDialog {
    Q_OBJECT
  public:
    TForm_afich(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    // Captions back to "aucun ..." after every selection.
    void reset_toggle_captions();

    QPushButton* Button_tousfix;
    QPushButton* Button_tousid;
    QPushButton* Button_toustar;
    QPushButton* Button_tousairway;
    QPushButton* Button_ok;
    QPushButton* Button_anul;

  private:
    AppState& state_;
    Dialogs& dialogs_;
};

}  // namespace karvel
