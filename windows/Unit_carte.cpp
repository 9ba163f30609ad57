#include "windows/Unit_carte.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "core/cp1252.h"
#include "map/centre.h"
#include "map/hover.h"
#include "map/navigate.h"
#include "map/qt_canvas.h"
#include "map/render.h"
#include "map/view.h"
#include "program/use_cases.h"
#include "windows/Unit_afich.h"
#include "windows/Unit_centre.h"
#include "windows/screen_fit.h"

namespace karvel {

namespace {
// The bitmap's pixels are the screen's: window units times the ratio.
int device_pixels(qreal v, qreal ratio) {
    return static_cast<int>(std::floor(v * ratio));
}
}  // namespace

// The client area: shows the bitmap and passes the mouse to the window.
class MapSurface : public QWidget {
  public:
    MapSurface(TForm_carte& form, QWidget* parent) : QWidget(parent), form_(form) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override { form_.paint_surface(this); }
    void resizeEvent(QResizeEvent*) override {
        const int h = form_.StatusBar1->sizeHint().height();
        form_.StatusBar1->setGeometry(0, height() - h, width(), h);
        form_.state_.map.pixel_ratio = devicePixelRatioF();
        form_.FormResize(device(width()), device(height()));
    }
    int device(qreal v) const { return device_pixels(v, devicePixelRatioF()); }
    void wheelEvent(QWheelEvent* e) override {
        // A sideways scroll zooms nothing; a touchpad's small deltas add up
        // to one zoom step per notch of 120.
        wheel_rest_ += e->angleDelta().y();
        while (wheel_rest_ >= 120 || wheel_rest_ <= -120) {
            const int step = wheel_rest_ > 0 ? 120 : -120;
            wheel_rest_ -= step;
            form_.FormMouseWheel(step);
        }
        e->ignore();  // the wheel event is not marked as handled
    }
    void mousePressEvent(QMouseEvent* e) override {
        const QPointF p = e->position();
        form_.FormMouseDown(device(p.x()), device(p.y()), e->button(), e->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPointF p = e->position();
        form_.FormMouseMove(device(p.x()), device(p.y()), e->buttons(), e->modifiers());
    }

    bool event(QEvent* e) override {
        if (e->type() != QEvent::ToolTip) return QWidget::event(e);
        // What lies under the cursor, within 6 pixels.
        const auto* help = static_cast<QHelpEvent*>(e);
        const QString text = form_.hover_text(device(help->pos().x()), device(help->pos().y()));
        if (text.isEmpty()) {
            QToolTip::hideText();
            e->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }

  private:
    TForm_carte& form_;
    int wheel_rest_ = 0;
};

TForm_carte::TForm_carte(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form_carte"));
    QMenu* params = menuBar()->addMenu(QStringLiteral("&paramètres"));
    affichage1 = params->addAction(QStringLiteral("&affichage"));
    QMenu* secteur = menuBar()->addMenu(QStringLiteral("&secteur"));
    centrer1 = secteur->addAction(QStringLiteral("&centrer"));
    visibili1 = secteur->addAction(QStringLiteral("&visibilié"));
    connect(affichage1, &QAction::triggered, this, [this] { affichage1Click(); });
    connect(centrer1, &QAction::triggered, this, [this] { centrer1Click(); });
    connect(visibili1, &QAction::triggered, this, [this] { visibili1Click(); });

    surface = new MapSurface(*this, this);
    surface->setObjectName(QStringLiteral("surface"));
    // The status bar lies over the bottom of the client area: the bitmap
    // covers the strip under it too.
    StatusBar1 = new QStatusBar(surface);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setAutoFillBackground(true);
    panel0 = new QLabel;
    panel1 = new QLabel;
    panel0->setFixedWidth(50);
    panel1->setMinimumWidth(50);
    StatusBar1->addWidget(panel0);
    StatusBar1->addWidget(panel1, 1);
    setCentralWidget(surface);

    resize(fit_to_screen(
        this, QSize(kMapClientWidth, kMapClientHeight + menuBar()->sizeHint().height())));
    // The designed client area in the screen's pixels: the same ground shown
    // at any scale.
    const qreal ratio = devicePixelRatioF();
    state_.map.pixel_ratio = ratio;
    map_window_created(state_.map, state_.frame, device_pixels(kMapClientWidth, ratio),
                       device_pixels(kMapClientHeight, ratio));
}

void TForm_carte::set_windows(TForm_afich* afich, TForm_centre* centre) {
    afich_ = afich;
    centre_ = centre;
    if (centre_) centre_->refresh_map = [this] { refresh_map(); };
}

void TForm_carte::draw() {
    SettingsErrors errors(state_.settings.ini);
    draw_map(state_.map, labels_,
             {state_.nav, state_.frame, state_.settings.colours, state_.settings.details,
              state_.settings.outlines, state_.settings.ground},
             errors);
}

void TForm_carte::refresh_map() {
    if (!state_.loading) {
        draw();
        fresh_ = true;
    }
    present_map();
}

void TForm_carte::present_map() {
    surface->update();
}

void TForm_carte::paint_surface(QWidget* target) {
    // A paint draws the map again (a window uncovered shows the current
    // tables), unless a handler has just drawn it or a selection is loading.
    if (!fresh_ && !state_.loading) draw();
    fresh_ = false;
    // One bitmap pixel to one screen pixel.
    QPainter p(target);
    const QImage& bitmap = state_.map.map_bitmap;
    const qreal ratio = target->devicePixelRatioF();
    p.drawImage(QRectF(0, 0, bitmap.width() / ratio, bitmap.height() / ratio), bitmap,
                bitmap.rect());
}

void TForm_carte::FormResize(int client_width, int client_height) {
    MapView& view = state_.map;
    if (view.map_bitmap.width() == client_width && view.map_bitmap.height() == client_height)
        return;
    size_map_bitmap(view, client_width, client_height);
    refresh_map();
}

void TForm_carte::FormMouseWheel(int delta) {
    if (zoom(state_.map, state_.frame.view, delta)) refresh_map();
}

void TForm_carte::FormMouseDown(int x, int y, Qt::MouseButton button,
                                Qt::KeyboardModifiers modifiers) {
    press(state_.map, state_.frame, x, y, button == Qt::RightButton,
          modifiers.testFlag(Qt::ShiftModifier));
}

void TForm_carte::FormMouseMove(int x, int y, Qt::MouseButtons buttons,
                                Qt::KeyboardModifiers modifiers) {
    if (buttons.testFlag(Qt::RightButton)) {
        surface->setCursor(Qt::PointingHandCursor);  // and it stays so
        pan(state_.map, state_.frame, x, y);
        refresh_map();
    } else {
        panel1->setText(to_qstring(position_text(state_.map, state_.frame, x, y)));
    }
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        measure_move(state_.map, state_.frame, x, y);
        if (state_.map.mouse.measuring) QToolTip::hideText();
        refresh_map();
    }
}

QString TForm_carte::hover_text(int x, int y) const {
    // While measuring, the measure's own texts are what the user reads.
    if (state_.loading || state_.map.mouse.measuring) return {};
    const int reach = static_cast<int>(std::lround(6 * state_.map.pixel_ratio));
    return to_qstring(karvel::hover_text(viewport_of(state_.map, state_.frame), state_.nav,
                                         state_.settings.colours, x, y, reach));
}

void TForm_carte::affichage1Click() {
    if (!afich_) return;
    const FrontAgain front(this);
    afich_->open_parameters();
    refresh_map();  // the new colours, visibility and flags, whatever the window system does
}

void TForm_carte::visibili1Click() {
    run_command(dialogs_, [&] {
        ViewScale& scale = state_.frame.view;
        const std::string initial = std::to_string(scale.range_nm);
        const std::string text = dialogs_.input("visiblit\xE9", "nm", initial).value_or(initial);
        scale.range_nm = decimal_range(text);  // the scale stays
        setWindowTitle(to_qstring(map_caption(selection_caption(state_), scale.range_nm)));
        if (range_changed) range_changed();
        refresh_map();
    });
}

void TForm_carte::selection_changed() {
    labels_.clear();           // the labels of the selection before
    if (!isVisible()) return;  // "carte" draws it when the map opens
    setWindowTitle(to_qstring(map_caption(selection_caption(state_), state_.frame.view.range_nm)));
    refresh_map();
}

void TForm_carte::centrer1Click() {
    if (!centre_) return;
    centre_->show();
    centre_->raise();
}

}  // namespace karvel
