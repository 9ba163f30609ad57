// The findings of a sector file's check, in a list: a click on one shows
// its line of the file below the list.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <vector>

#include "sector/check.h"

namespace karvel {

class TForm_check : public QDialog {
    Q_OBJECT
  public:
    explicit TForm_check(QWidget* parent = nullptr);

    // The findings of `file`, and the counts in the title.
    void show_findings(const std::string& file, std::vector<Finding> findings);

    QListWidget* ListBox_constats;
    QLabel* Label_ligne;

  private:
    void ListBox_constatsClick(int row);
    std::vector<Finding> findings_;
};

}  // namespace karvel
