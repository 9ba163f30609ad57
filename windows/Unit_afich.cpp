#include "windows/Unit_afich.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QShowEvent>
#include <QVBoxLayout>

#include "core/colours.h"
#include "core/cp1252.h"
#include "windows/screen_fit.h"

namespace karvel {

namespace {

QListWidget* check_list(QWidget* parent, const char* name) {
    auto* l = new QListWidget(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setUniformItemSizes(true);
    return l;
}

QTableWidget* grid(QWidget* parent, const char* name, int rows, int row_height) {
    auto* g = new QTableWidget(rows, 2, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->verticalHeader()->setMinimumSectionSize(1);
    g->verticalHeader()->setDefaultSectionSize(row_height);
    g->setColumnWidth(0, 96);
    g->setColumnWidth(1, 32);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    return g;
}

QTableWidgetItem* cell(QTableWidget* g, int row, int column) {
    QTableWidgetItem* item = g->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        g->setItem(row, column, item);
    }
    return item;
}

}  // namespace

TForm_afich::TForm_afich(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form_afich"));
    setWindowTitle(QStringLiteral("paramètres de l'affichage"));
    setModal(true);

    CheckListBox_elem = check_list(this, "CheckListBox_elem");
    StringGrid_couleur = grid(this, "StringGrid_couleur", kElementRows, 24);
    StringGrid_detail = grid(this, "StringGrid_detail", 1, 20);

    auto* heading = new QLabel(QStringLiteral("Selection des données à exporter"), this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    Label_fix = new QLabel(QStringLiteral("FIXES"), this);
    Label_sid = new QLabel(QStringLiteral("SID"), this);
    Label_star = new QLabel(QStringLiteral("STAR"), this);
    Label_airway = new QLabel(QStringLiteral("Airways"), this);
    Label_contour = new QLabel(QStringLiteral("Contours"), this);
    CheckListBox_fix = check_list(this, "CheckListBox_fix");
    CheckListBox_SID = check_list(this, "CheckListBox_SID");
    CheckListBox_STAR = check_list(this, "CheckListBox_STAR");
    CheckListBox_airway = check_list(this, "CheckListBox_airway");
    CheckListBox_contour = check_list(this, "CheckListBox_contour");
    Button_tousfix = new QPushButton(this);
    Button_tousid = new QPushButton(this);
    Button_toustar = new QPushButton(this);
    Button_tousairway = new QPushButton(this);
    Button_touscontour = new QPushButton(this);
    Button_ok = new QPushButton(QStringLiteral("enregistrer"), this);
    Button_anul = new QPushButton(QStringLiteral("annuler"), this);
    reset_toggle_captions();
    lay_out(heading);
    connect_controls();
}

// Elements and colours on the left, the four export lists on the right.
void TForm_afich::lay_out(QLabel* heading) {
    for (QTableWidget* g : {StringGrid_couleur, StringGrid_detail}) {
        g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    const int frame = 2 * StringGrid_couleur->frameWidth();
    StringGrid_couleur->setFixedSize(96 + 32 + frame, kElementRows * 24 + frame);
    StringGrid_detail->setFixedSize(96 + 32 + frame, 3 * 20 + frame);
    CheckListBox_elem->setFixedSize(130, kElementRows * 24 + frame);

    auto* colours = new QVBoxLayout;
    colours->addWidget(StringGrid_couleur);
    colours->addWidget(StringGrid_detail);
    colours->addStretch(1);
    auto* elements = new QVBoxLayout;
    elements->addWidget(CheckListBox_elem);
    elements->addStretch(1);

    auto* exports = new QGridLayout;
    exports->addWidget(heading, 0, 0, 1, 5);
    const std::pair<QLabel*, QListWidget*> lists[] = {{Label_fix, CheckListBox_fix},
                                                      {Label_sid, CheckListBox_SID},
                                                      {Label_star, CheckListBox_STAR},
                                                      {Label_airway, CheckListBox_airway},
                                                      {Label_contour, CheckListBox_contour}};
    QPushButton* const toggles[] = {Button_tousfix, Button_tousid, Button_toustar,
                                    Button_tousairway, Button_touscontour};
    for (int i = 0; i < 5; ++i) {
        exports->addWidget(lists[i].first, 1, i);
        exports->addWidget(lists[i].second, 2, i);
        exports->addWidget(toggles[i], 3, i);
        lists[i].second->setMinimumWidth(140);
    }
    exports->setRowStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_ok);
    buttons->addWidget(Button_anul);

    auto* top = new QHBoxLayout;
    top->addLayout(elements);
    top->addLayout(colours);
    top->addLayout(exports, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    // The design size, within the screen (a 150 % screen has less room).
    setFixedSize(fit_to_screen(this, sizeHint().expandedTo(QSize(980, 600))));
}

void TForm_afich::connect_controls() {
    connect(Button_ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(Button_anul, &QPushButton::clicked, this, [this] { done(2); });
    connect(CheckListBox_elem, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!filling_) CheckListBox_elemClickCheck(CheckListBox_elem->row(item));
    });
    for (QListWidget* l : {CheckListBox_fix, CheckListBox_SID, CheckListBox_STAR,
                           CheckListBox_airway, CheckListBox_contour})
        connect(l, &QListWidget::itemChanged, this,
                [this, l](QListWidgetItem* item) { list_item_changed(l, item); });
    for (QPushButton* b :
         {Button_tousfix, Button_tousid, Button_toustar, Button_tousairway, Button_touscontour})
        connect(b, &QPushButton::clicked, this, [this, b] { Button_tousClick(b); });
    connect(StringGrid_couleur, &QTableWidget::cellPressed, this,
            [this](int r, int c) { StringGrid_couleurMouseDown(r, c); });
    connect(StringGrid_detail, &QTableWidget::cellPressed, this,
            [this](int r, int c) { StringGrid_detailMouseDown(r, c); });
}

void TForm_afich::reset_toggle_captions() {
    Button_tousid->setText(QString::fromLatin1(kToggleSid.all_selected));
    Button_toustar->setText(QString::fromLatin1(kToggleStar.all_selected));
    Button_tousairway->setText(QString::fromLatin1(kToggleAirway.all_selected));
    Button_tousfix->setText(QString::fromLatin1(kToggleFix.all_selected));
    Button_touscontour->setText(QString::fromLatin1(kToggleOutline.all_selected));
}

int TForm_afich::open_parameters() {
    filling_ = true;
    CheckListBox_elem->clear();
    for (int i = 0; i < kElementRows; ++i) {
        const t_couleur& c = element(i);
        auto* item = new QListWidgetItem(to_qstring(c.name), CheckListBox_elem);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c.visible ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    fill_grids();
    return exec();
}

void TForm_afich::fill_grids() {
    StringGrid_couleur->setRowCount(kElementRows);
    for (int i = 0; i < kElementRows; ++i)
        cell(StringGrid_couleur, i, 0)->setText(to_qstring(element(i).name));
    // The grid keeps one row when there are no details: blank and inert.
    const auto& details = state_.settings.details;
    StringGrid_detail->setRowCount(std::max<int>(1, static_cast<int>(details.size())));
    for (int i = 0; i < StringGrid_detail->rowCount(); ++i)
        cell(StringGrid_detail, i, 0)
            ->setText(i < static_cast<int>(details.size())
                          ? to_qstring(details[static_cast<size_t>(i)].key)
                          : QString());
    paint_swatches();
}

void TForm_afich::paint_swatches() {
    for (int i = 0; i < kElementRows; ++i)
        cell(StringGrid_couleur, i, 1)->setBackground(to_qcolor(element(i).color));
    const auto& details = state_.settings.details;
    for (int i = 0; i < StringGrid_detail->rowCount(); ++i) {
        TColor c = 0;
        const bool known = i < static_cast<int>(details.size()) &&
                           try_parse_colour(details[static_cast<size_t>(i)].value, c);
        cell(StringGrid_detail, i, 1)->setBackground(known ? QBrush(to_qcolor(c)) : QBrush());
    }
}

void TForm_afich::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

t_couleur& TForm_afich::element(int row) {
    return row == kOutlineRow ? state_.settings.outlines
                              : state_.settings.colours[static_cast<size_t>(row)];
}

bool TForm_afich::element_checked(int position) const {
    const QListWidgetItem* item = CheckListBox_elem->item(position);
    return item && item->checkState() == Qt::Checked;
}

void TForm_afich::fill_list(QListWidget* list, const CheckItems& items) {
    filling_ = true;
    list->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.texts.size()));
    for (const std::string& t : items.texts) texts << to_qstring(t);
    list->addItems(texts);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(items.checked[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void TForm_afich::FormShow() {
    const NavTables& nav = state_.nav;
    fill_list(CheckListBox_SID,
              element_checked(colour::sid) ? procedure_items(nav.sids.records()) : CheckItems{});
    fill_list(CheckListBox_STAR,
              element_checked(colour::star) ? procedure_items(nav.stars.records()) : CheckItems{});
    fill_list(CheckListBox_airway,
              element_checked(colour::airway) ? airway_items(nav.airways.records()) : CheckItems{});
    fill_list(CheckListBox_contour, element_checked(kOutlineRow)
                                        ? outline_items(nav.outlines.records())
                                        : CheckItems{});
    fill_list(CheckListBox_fix, element_checked(colour::fixes)
                                    ? waypoint_items(nav.waypoints.records())
                                    : CheckItems{});
}

void TForm_afich::CheckListBox_elemClickCheck(int k) {
    if (k < 0 || k >= kElementRows) return;
    const QListWidgetItem* item = CheckListBox_elem->item(k);
    const bool on = item->checkState() == Qt::Checked;
    element(k).visible = on;
    if (k == kOutlineRow) {
        fill_list(CheckListBox_contour,
                  on ? outline_items(state_.nav.outlines.records()) : CheckItems{});
        return;
    }
    const QString text = item->text();
    const NavTables& nav = state_.nav;
    // A list shown again carries the true export flags. The elements are
    // told by their texts here (the user's settings file names them), by
    // their positions in the show step.
    if (text == QLatin1String("SID"))
        fill_list(CheckListBox_SID, on ? procedure_items(nav.sids.records()) : CheckItems{});
    else if (text == QLatin1String("STAR"))
        fill_list(CheckListBox_STAR, on ? procedure_items(nav.stars.records()) : CheckItems{});
    else if (text == QLatin1String("FIXES"))
        fill_list(CheckListBox_fix, on ? waypoint_items(nav.waypoints.records()) : CheckItems{});
}

void TForm_afich::list_item_changed(QListWidget* list, QListWidgetItem* item) {
    if (filling_) return;
    const int i = list->row(item);
    const bool on = item->checkState() == Qt::Checked;
    NavTables& nav = state_.nav;
    auto set = [&](auto& table) {
        if (i >= 0 && i < static_cast<int>(table.size()))
            table[static_cast<size_t>(i)].selected = on;
    };
    if (list == CheckListBox_SID)
        set(nav.sids);
    else if (list == CheckListBox_STAR)
        set(nav.stars);
    else if (list == CheckListBox_airway)
        set(nav.airways);
    else if (list == CheckListBox_fix)
        set(nav.waypoints);
    else if (list == CheckListBox_contour)
        set(nav.outlines);
}

void TForm_afich::Button_tousClick(QPushButton* button) {
    NavTables& nav = state_.nav;
    std::string caption = from_qstring(button->text());
    QListWidget* list = nullptr;
    bool on = false;
    if (button == Button_tousid) {
        list = CheckListBox_SID;
        on = toggle_selection(caption, kToggleSid, nav.sids, static_cast<size_t>(list->count()));
    } else if (button == Button_toustar) {
        list = CheckListBox_STAR;
        on = toggle_selection(caption, kToggleStar, nav.stars, static_cast<size_t>(list->count()));
    } else if (button == Button_tousairway) {
        list = CheckListBox_airway;
        on = toggle_selection(caption, kToggleAirway, nav.airways,
                              static_cast<size_t>(list->count()));
    } else if (button == Button_touscontour) {
        list = CheckListBox_contour;
        on = toggle_selection(caption, kToggleOutline, nav.outlines,
                              static_cast<size_t>(list->count()));
    } else {
        list = CheckListBox_fix;
        on = toggle_selection(caption, kToggleFix, nav.waypoints,
                              static_cast<size_t>(list->count()));
    }
    filling_ = true;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
    button->setText(to_qstring(caption));
}

void TForm_afich::StringGrid_couleurMouseDown(int row, int column) {
    if (column != 1 || row < 0 || row >= kElementRows) return;
    TColor& colour = element(row).color;
    if (const auto chosen = dialogs_.choose_colour(colour)) {
        colour = *chosen;
        paint_swatches();
    }
}

void TForm_afich::StringGrid_detailMouseDown(int row, int column) {
    auto& details = state_.settings.details;
    if (column != 1 || row < 0 || row >= static_cast<int>(details.size())) return;
    t_define& d = details[static_cast<size_t>(row)];
    TColor initial = 0;
    try_parse_colour(d.value, initial);
    if (const auto chosen = dialogs_.choose_colour(initial)) {
        // An identifier when one names the colour, "$00BBGGRR" otherwise: the
        // settings' colour reading takes either back.
        d.value = colour_to_text(*chosen);
        paint_swatches();
    }
}

}  // namespace karvel
