#include "windows/Unit_centre.h"

#include <QShowEvent>

#include "core/cp1252.h"
#include "map/centre.h"

namespace karvel {

TForm_centre::TForm_centre(AppState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("Form_centre"));
    setWindowTitle(QStringLiteral("Form_centre"));
    setModal(false);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setUniformItemSizes(true);
    RadioGroup1 = new RadioGroup(QString(),
                                 {QStringLiteral("Airports"), QStringLiteral("VOR"),
                                  QStringLiteral("NDB"), QStringLiteral("FIXES")},
                                 1, this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->set_item_index(0);
    Button_centrer = new QPushButton(QStringLiteral("Centrer"), this);
    Button_anul = new QPushButton(QStringLiteral("Annuler"), this);

    // The design's places, in pixels.
    ListBox1->setGeometry(8, 40, 97, 177);
    RadioGroup1->setGeometry(112, 40, 90, 113);
    Button_centrer->setGeometry(112, 160, 65, 25);
    Button_anul->setGeometry(112, 192, 65, 25);
    setFixedSize(220, 322);

    connect(RadioGroup1, &RadioGroup::clicked, this, [this](int i) { RadioGroup1Click(i); });
    connect(Button_centrer, &QPushButton::clicked, this, [this] { Button_centrerClick(); });
    connect(Button_anul, &QPushButton::clicked, this, &QDialog::hide);
}

void TForm_centre::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm_centre::FormShow() {
    // Back to "Airports" without running the choice handler: the list is
    // built once.
    RadioGroup1->set_item_index(0);
    fill(0);
}

void TForm_centre::RadioGroup1Click(int index) {
    if (index >= 0 && index <= 3) fill(index);
}

void TForm_centre::fill(int kind) {
    ListBox1->clear();
    QStringList lines;
    for (const std::string& s : centre_items(state_.nav, static_cast<CentreKind>(kind)))
        lines << to_qstring(s);
    ListBox1->addItems(lines);
}

void TForm_centre::Button_centrerClick() {
    const int k = RadioGroup1->item_index();
    QListWidgetItem* line = ListBox1->currentItem();
    // No line chosen: nothing to centre on, the dialog stays.
    if (k < 0 || k > 3 || !line || !line->isSelected()) return;
    centre_on(state_.nav, state_.frame, static_cast<CentreKind>(k), from_qstring(line->text()));
    if (refresh_map) refresh_map();
    hide();
}

}  // namespace karvel
