#include "params/Unit_afich.h"

#include <QGridLayout>
#include <QLabel>

namespace karvel {

TForm_afich::TForm_afich(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form_afich"));
    setWindowTitle(QStringLiteral("paramètres de l'affichage"));
    auto* heading = new QLabel(QStringLiteral("Selection des données à exporter"), this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    Button_tousfix = new QPushButton(this);
    Button_tousid = new QPushButton(this);
    Button_toustar = new QPushButton(this);
    Button_tousairway = new QPushButton(this);
    Button_ok = new QPushButton(QStringLiteral("enregistrer"), this);
    Button_anul = new QPushButton(QStringLiteral("annuler"), this);
    connect(Button_ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(Button_anul, &QPushButton::clicked, this, [this] { done(2); });
    reset_toggle_captions();

    auto* layout = new QGridLayout(this);
    layout->addWidget(heading, 0, 0, 1, 4);
    layout->addWidget(Button_tousfix, 1, 0);
    layout->addWidget(Button_tousid, 1, 1);
    layout->addWidget(Button_toustar, 1, 2);
    layout->addWidget(Button_tousairway, 1, 3);
    layout->addWidget(Button_ok, 2, 2);
    layout->addWidget(Button_anul, 2, 3);
}

void TForm_afich::reset_toggle_captions() {
    Button_tousid->setText(QStringLiteral("aucun SID"));
    Button_toustar->setText(QStringLiteral("aucun STAR"));
    Button_tousairway->setText(QStringLiteral("aucun AIRWAY"));
    Button_tousfix->setText(QStringLiteral("aucun FIXES"));
}

}  // namespace karvel
