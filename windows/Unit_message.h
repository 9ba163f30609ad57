// The progress window shown while a selection loads.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QProgressBar>

#include "core/dialogs.h"

namespace karvel {

class TForm_message : public QDialog, public ProgressSink {
    Q_OBJECT
  public:
    explicit TForm_message(QWidget* parent = nullptr);

    void set_maximum(int maximum) override;
    void set_position(int position) override;

    QProgressBar* ProgressBar1;

  private:
    void repaint_now();
    QElapsedTimer since_paint_;
};

}  // namespace karvel
