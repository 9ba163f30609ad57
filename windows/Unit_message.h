// The progress window shown while a selection loads.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QString>

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

// Shows the progress window only once there is progress to show (the import
// of an Access file), and closes it when the work is done.
class ProgressOnDemand : public ProgressSink {
  public:
    ProgressOnDemand(TForm_message* window, const QString& caption)
        : window_(window), caption_(caption) {}
    ~ProgressOnDemand() override {
        if (window_ && shown_) window_->hide();
    }
    void set_maximum(int maximum) override {
        if (!window_) return;
        if (!shown_) {
            window_->setWindowTitle(caption_);
            window_->show();
            shown_ = true;
        }
        window_->set_maximum(maximum);
    }
    void set_position(int position) override {
        if (window_) window_->set_position(position);
    }

  private:
    TForm_message* window_;
    QString caption_;
    bool shown_ = false;
};

}  // namespace karvel
