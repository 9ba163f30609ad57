#include "windows/Unit_message.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace karvel {

TForm_message::TForm_message(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_message"));
    setWindowTitle(QStringLiteral("message"));
    setModal(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    resize(320, 60);
    since_paint_.start();
}

void TForm_message::set_maximum(int maximum) {
    ProgressBar1->setMaximum(maximum);
    repaint_now();
}

void TForm_message::set_position(int position) {
    ProgressBar1->setValue(position);
    // Repaint a few times a second, not per row: a world-size load has
    // hundreds of thousands of rows.
    if (since_paint_.elapsed() >= 50) repaint_now();
}

void TForm_message::repaint_now() {
    since_paint_.restart();
    if (isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace karvel
