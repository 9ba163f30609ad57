#include "map/Unit_centre.h"

#include <QGridLayout>

namespace karvel {

TForm_centre::TForm_centre(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Form_centre"));
    setWindowTitle(QStringLiteral("Form_centre"));
    setModal(false);
    ListBox1 = new QListWidget(this);
    RadioGroup1 = new RadioGroup(QString(),
                                 {QStringLiteral("Airports"), QStringLiteral("VOR"),
                                  QStringLiteral("NDB"), QStringLiteral("FIXES")},
                                 1, this);
    RadioGroup1->set_item_index(0);
    Button_centrer = new QPushButton(QStringLiteral("Centrer"), this);
    Button_anul = new QPushButton(QStringLiteral("Annuler"), this);
    connect(Button_anul, &QPushButton::clicked, this, &QDialog::hide);
    auto* layout = new QGridLayout(this);
    layout->addWidget(ListBox1, 0, 0, 4, 1);
    layout->addWidget(RadioGroup1, 0, 1);
    layout->addWidget(Button_centrer, 1, 1);
    layout->addWidget(Button_anul, 2, 1);
    layout->setRowStretch(3, 1);
    resize(220, 322);
}

}  // namespace karvel
