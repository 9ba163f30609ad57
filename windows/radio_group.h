// A titled group of exclusive radio buttons laid out in columns, with the
// chosen item as an index (-1 for none).
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace karvel {

class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& title, const QStringList& items, int columns,
               QWidget* parent = nullptr);
    int item_index() const;
    void set_item_index(int index);  // does not emit clicked
    QString item_text(int index) const;
    int count() const;

  signals:
    void clicked(int index);

  private:
    QButtonGroup* group_;
};

}  // namespace karvel
