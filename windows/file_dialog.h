// The toolkit's own file dialog (where the desktop offers none): French
// sizes and dates whatever the system's locale, columns as wide as their
// text at any scale, and a typed pattern taken as a filter.
#pragma once

#include <QFileDialog>

namespace karvel {

class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* parent, const QString& caption, const QString& directory);

  protected:
    // "*.txt" typed as the name lists those files instead of naming one
    // "*.txt.sct".
    void accept() override;

  private:
    QString typed_filter_;
};

}  // namespace karvel
