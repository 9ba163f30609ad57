#include "windows/text_views.h"

#include <QEvent>
#include <QHelpEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolTip>

namespace karvel {

namespace {

class CutLineTips : public QObject {
  public:
    explicit CutLineTips(QListWidget* list) : QObject(list), list_(list) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::ToolTip || watched != list_->viewport()) return false;
        const auto* help = static_cast<QHelpEvent*>(e);
        const QListWidgetItem* item = list_->itemAt(help->pos());
        const QRect row = item ? list_->visualItemRect(item) : QRect();
        const int needed = item ? list_->fontMetrics().horizontalAdvance(item->text()) : 0;
        // The text runs past the list's right edge (or starts left of it,
        // scrolled): the tooltip says it whole.
        if (item && (row.left() + needed + 8 > list_->viewport()->width() || row.left() < 0))
            QToolTip::showText(help->globalPos(), item->text(), list_->viewport());
        else
            QToolTip::hideText();
        return true;
    }

  private:
    QListWidget* list_;
};

}  // namespace

void set_up_list(QListWidget* list) {
    list->setUniformItemSizes(true);
    list->viewport()->installEventFilter(new CutLineTips(list));
}

void set_up_memo(QPlainTextEdit* memo) {
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setReadOnly(true);
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setTabChangesFocus(true);
}

}  // namespace karvel
