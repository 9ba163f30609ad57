#include "map/Unit_carte.h"

#include <QMenuBar>
#include <QPainter>

#include "map/Unit_centre.h"
#include "map/view.h"
#include "params/Unit_afich.h"

namespace karvel {
namespace {

// Shows the map bitmap as it stands.
class MapSurface : public QWidget {
  public:
    MapSurface(MapView& view, QWidget* parent) : QWidget(parent), view_(view) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!view_.map_bitmap.isNull()) p.drawImage(rect(), view_.map_bitmap);
    }

  private:
    MapView& view_;
};

}  // namespace

TForm_carte::TForm_carte(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form_carte"));
    QMenu* params = menuBar()->addMenu(QStringLiteral("paramètres"));
    affichage1 = params->addAction(QStringLiteral("affichage"));
    QMenu* secteur = menuBar()->addMenu(QStringLiteral("secteur"));
    centrer1 = secteur->addAction(QStringLiteral("centrer"));
    visibili1 = secteur->addAction(QStringLiteral("visibilié"));
    connect(affichage1, &QAction::triggered, this, [this] { affichage1Click(); });
    connect(centrer1, &QAction::triggered, this, [this] { centrer1Click(); });

    StatusBar1 = new QStatusBar(this);
    panel0 = new QLabel;
    panel1 = new QLabel;
    panel0->setMinimumWidth(50);
    panel1->setMinimumWidth(50);
    StatusBar1->addWidget(panel0);
    StatusBar1->addWidget(panel1, 1);
    setStatusBar(StatusBar1);

    setCentralWidget(new MapSurface(state_.map, this));
    resize(976, 695);
    const int client_height = 695 - menuBar()->sizeHint().height();
    map_window_created(state_.map, 976, client_height);
}

void TForm_carte::set_windows(TForm_afich* afich, TForm_centre* centre) {
    afich_ = afich;
    centre_ = centre;
}

void TForm_carte::affichage1Click() {
    if (afich_) afich_->exec();
}

void TForm_carte::centrer1Click() {
    if (!centre_) return;
    centre_->show();
    centre_->raise();
}

}  // namespace karvel
