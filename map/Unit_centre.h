// The centring dialog: pick an airport, VOR, NDB or fix and centre the map on it.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include "app/app_state.h"
#include "app/radio_group.h"

namespace karvel {

class TForm_centre : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_centre(AppState& state, QWidget* parent = nullptr);

    QListWidget* ListBox1;
    RadioGroup* RadioGroup1;
    QPushButton* Button_centrer;
    QPushButton* Button_anul;

  private:
    AppState& state_;
};

}  // namespace karvel
