// The centring dialog: pick an airport, VOR, NDB or fix and centre the map on it.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <functional>

#include "program/app_state.h"
#include "windows/radio_group.h"

namespace karvel {

class TForm_centre : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_centre(AppState& state, QWidget* parent = nullptr);

    // What shows the map again once the centre moved (the map window's
    // refresh).
    std::function<void()> refresh_map;

    // Handlers
    void FormShow();
    void RadioGroup1Click(int index);
    void Button_centrerClick();

    QListWidget* ListBox1;
    RadioGroup* RadioGroup1;
    QPushButton* Button_centrer;
    QPushButton* Button_anul;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void fill(int kind);

    AppState& state_;
};

}  // namespace karvel
