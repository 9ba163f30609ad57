// What changed in the current selection since an older cycle of the
// navigation data, in a list: the counts by kind first, then each change.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <string>
#include <vector>

namespace karvel {

class TForm_diff : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_diff(QWidget* parent = nullptr);

    // The report's lines, under `title`.
    void show_changes(const std::string& title, const std::vector<std::string>& lines);

    QListWidget* ListBox_changements;
};

}  // namespace karvel
