#include "windows/radio_group.h"

#include <QGridLayout>
#include <QRadioButton>

namespace karvel {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_->addButton(button, i);
        layout->addWidget(button, i / columns, i % columns);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::item_index() const {
    return group_->checkedId();
}

void RadioGroup::set_item_index(int index) {
    if (auto* b = group_->button(index)) b->setChecked(true);
}

QString RadioGroup::item_text(int index) const {
    auto* b = group_->button(index);
    return b ? b->text() : QString();
}

int RadioGroup::count() const {
    return static_cast<int>(group_->buttons().size());
}

}  // namespace karvel
