#include "windows/orvane_Unit1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/regions.h"
#include "map/centre.h"
#include "navdb/database.h"
#include "procedures/leg_lists.h"
#include "program/startup.h"
#include "program/use_cases.h"
#include "sector/writer.h"
#include "windows/Unit_afich.h"
#include "windows/Unit_carte.h"
#include "windows/Unit_message.h"
#include "windows/gui_dialogs.h"
#include "windows/screen_fit.h"
#include "windows/text_views.h"

namespace karvel {
namespace {

// Where the choice of the sector file's format is kept.
constexpr const char* kOutputSection = "sortie";
constexpr const char* kFormatKey = "format";
constexpr const char* kClientFormat = "clients";

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* bold_label(const QString& text, const char* name) {
    auto* l = named(new QLabel(text), name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QListWidget* list_box(const char* name) {
    auto* l = named(new QListWidget, name);
    karvel::set_up_list(l);
    return l;
}

}  // namespace

TForm1::TForm1(AppState& state, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Creation de fichier secteur version 1.6"));
    terminate = [] { QCoreApplication::quit(); };
    build_controls();
    resize(fit_to_screen(this, QSize(896, 878)));
    main_window_create(state_, dialogs_);
    const QSignalBlocker quiet(format_clients1);  // read, not written back
    format_clients1->setChecked(state_.settings.ini.read(kOutputSection, kFormatKey, "") ==
                                kClientFormat);
    read_client_choices();
}

void TForm1::set_windows(TForm_carte* carte, TForm_afich* afich, TForm_centre* centre,
                         TForm_message* message) {
    carte_ = carte;
    afich_ = afich;
    if (carte_)
        carte_->range_changed = [this] {
            Label_selection->setText(
                to_qstring(map_caption(selection_caption(state_), state_.frame.view.range_nm)));
        };
    centre_ = centre;
    message_ = message;
}

void TForm1::build_controls() {
    build_menu();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* root = new QVBoxLayout(central);

    Label_cycle = named(new QLabel(QStringLiteral("données:")), "Label_cycle");
    Label_cycle->setTextInteractionFlags(Qt::TextSelectableByMouse);
    root->addWidget(Label_cycle);

    // Airport, region, geography and sector identity side by side.
    auto* top = new QHBoxLayout;
    root->addLayout(top);

    build_airport_box(top);
    build_region_box(top);
    build_middle(top);
    build_sector_box(top);
    build_lists(root);
    build_inspection(root);
    Label2 = named(new QLabel(QStringLiteral("Label2")), "Label2");
    root->addWidget(Label2);

    connect_controls();
}

void TForm1::build_menu() {
    Fichier1 = menuBar()->addMenu(QStringLiteral("&Fichier"));
    ouvrir1 = Fichier1->addAction(QStringLiteral("&ouvrir une base de données"));
    enregistrer1 = Fichier1->addAction(QStringLiteral("&enregistrer"));
    format_clients1 = Fichier1->addAction(QStringLiteral("&format des clients radar"));
    format_clients1->setObjectName(QStringLiteral("format_clients1"));
    format_clients1->setCheckable(true);
    build_client_file_menu();
    axes1 = Fichier1->addAction(QStringLiteral("prolonger les &axes de piste..."));
    axes1->setObjectName(QStringLiteral("axes1"));
    connect(axes1, &QAction::triggered, this, [this] { axes1Click(); });
    secteurs1 = Fichier1->addAction(QStringLiteral("secteurs des &clients radar..."));
    secteurs1->setObjectName(QStringLiteral("secteurs1"));
    connect(secteurs1, &QAction::triggered, this, [this] { secteurs1Click(); });
    sol1 = Fichier1->addAction(QStringLiteral("plans au &sol des aérodromes..."));
    sol1->setObjectName(QStringLiteral("sol1"));
    connect(sol1, &QAction::triggered, this, [this] { sol1Click(); });
    verifier1 = Fichier1->addAction(QStringLiteral("&vérifier un fichier secteur..."));
    verifier1->setObjectName(QStringLiteral("verifier1"));
    connect(verifier1, &QAction::triggered, this, [this] { verifier1Click(); });
    comparer1 = Fichier1->addAction(QStringLiteral("co&mparer à l'ancien cycle..."));
    comparer1->setObjectName(QStringLiteral("comparer1"));
    connect(comparer1, &QAction::triggered, this, [this] { comparer1Click(); });
    quitter1 = Fichier1->addAction(QStringLiteral("&quitter"));
    ouvrir1->setObjectName(QStringLiteral("ouvrir1"));
    enregistrer1->setObjectName(QStringLiteral("enregistrer1"));
    quitter1->setObjectName(QStringLiteral("quitter1"));
    connect(quitter1, &QAction::triggered, this, [this] { quitter1Click(); });
    connect(ouvrir1, &QAction::triggered, this, [this] { ouvrir1Click(); });
}

void TForm1::build_airport_box(QHBoxLayout* top) {
    auto* airport_box = new QGroupBox;
    auto* ag = new QGridLayout(airport_box);
    Label1 = bold_label(QStringLiteral(" AIRPORT"), "Label1");
    Label10 = named(new QLabel(QStringLiteral("ICAO")), "Label10");
    Edit_ICAO = named(new QLineEdit, "Edit_ICAO");
    Label11 = named(new QLabel(QStringLiteral("Visu en nm")), "Label11");
    Edit_dist = named(new QLineEdit(QStringLiteral("100")), "Edit_dist");
    Button_rechparairort =
        named(new QPushButton(QStringLiteral("selection par airport")), "Button_rechparairort");
    ag->addWidget(Label1, 0, 0, 1, 2);
    ag->addWidget(Label10, 1, 0);
    ag->addWidget(Edit_ICAO, 1, 1);
    ag->addWidget(Label11, 2, 0);
    ag->addWidget(Edit_dist, 2, 1);
    ag->addWidget(Button_rechparairort, 3, 0, 1, 2);
    ag->setRowStretch(4, 1);
    top->addWidget(airport_box, 2);
}

void TForm1::build_region_box(QHBoxLayout* top) {
    auto* region_box = new QGroupBox;
    auto* rg = new QGridLayout(region_box);
    Label9 = bold_label(QStringLiteral("REGION"), "Label9");
    Label6 = named(new QLabel(QStringLiteral("choisir la region")), "Label6");
    ComboBox_region = named(new QComboBox, "ComboBox_region");
    ComboBox_region->setMinimumContentsLength(18);
    ComboBox_region->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Label7 = named(new QLabel(QStringLiteral("ou")), "Label7");
    Label8 = named(new QLabel(QStringLiteral("entrez son code")), "Label8");
    Edit_coderegion = named(new QLineEdit, "Edit_coderegion");
    Edit_coderegion->setMaximumWidth(60);
    Button_rechparregion =
        named(new QPushButton(QStringLiteral("selection par region")), "Button_rechparregion");
    rg->addWidget(Label9, 0, 0, 1, 2);
    rg->addWidget(Label6, 1, 0);
    rg->addWidget(ComboBox_region, 1, 1);
    rg->addWidget(Label7, 2, 0);
    rg->addWidget(Label8, 3, 0);
    rg->addWidget(Edit_coderegion, 3, 1, Qt::AlignLeft);
    rg->addWidget(Button_rechparregion, 4, 0, 1, 2);
    rg->setRowStretch(5, 1);
    top->addWidget(region_box, 3);
}

// The GEO level, the selection's caption and "carte".
void TForm1::build_middle(QHBoxLayout* top) {
    auto* middle = new QVBoxLayout;
    RadioGroup_coast = named(new RadioGroup(QStringLiteral("GEO level"),
                                            {QStringLiteral("0"), QStringLiteral("1"),
                                             QStringLiteral("2"), QStringLiteral("3")},
                                            4),
                             "RadioGroup_coast");
    RadioGroup_coast->set_item_index(0);
    Label_selection = bold_label(QStringLiteral("Selection:"), "Label_selection");
    Label_selection->setWordWrap(true);
    Button1 = named(new QPushButton(QStringLiteral("carte")), "Button1");
    middle->addWidget(RadioGroup_coast);
    middle->addWidget(Label_selection);
    middle->addWidget(Button1);
    middle->addStretch(1);
    top->addLayout(middle, 2);
}

void TForm1::build_sector_box(QHBoxLayout* top) {
    auto* sector_box = new QGroupBox;
    auto* sg = new QGridLayout(sector_box);
    Label4 = bold_label(QStringLiteral("Secteur"), "Label4");
    Label5 = named(new QLabel(QStringLiteral("Nom")), "Label5");
    Label12 = named(new QLabel(QStringLiteral("ICAO")), "Label12");
    Label3 = named(new QLabel(QStringLiteral("CallSign")), "Label3");
    Edit_nomsecteur = named(new QLineEdit, "Edit_nomsecteur");
    Edit_ICAOsecteur = named(new QLineEdit, "Edit_ICAOsecteur");
    Edit_callsign = named(new QLineEdit, "Edit_callsign");
    Button_enr = named(new QPushButton(QStringLiteral("Enregitrer le secteur")), "Button_enr");
    sg->addWidget(Label4, 0, 0, 1, 2);
    sg->addWidget(Label5, 1, 0);
    sg->addWidget(Edit_nomsecteur, 1, 1);
    sg->addWidget(Label12, 2, 0);
    sg->addWidget(Edit_ICAOsecteur, 2, 1);
    sg->addWidget(Label3, 3, 0);
    sg->addWidget(Edit_callsign, 3, 1);
    sg->addWidget(Button_enr, 4, 0, 1, 2);
    sg->setRowStretch(5, 1);
    top->addWidget(sector_box, 3);
}

void TForm1::build_lists(QVBoxLayout* root) {
    // The lists of the selection: two rows of four, each under its label.
    auto* lists = new QGridLayout;
    root->addLayout(lists, 3);
    auto add_list = [&](int row, int col, QLabel*& label, const QString& text, const char* lname,
                        QListWidget*& list, const char* name) {
        label = named(new QLabel(text), lname);
        list = list_box(name);
        auto* box = new QVBoxLayout;
        box->addWidget(label);
        box->addWidget(list, 1);
        lists->addLayout(box, row, col);
    };
    add_list(0, 0, Label_listairport, QStringLiteral("airports"), "Label_listairport",
             ListBox_airports, "ListBox_airports");
    add_list(0, 1, Label_listrunway, QStringLiteral("runways"), "Label_listrunway", ListBox_runways,
             "ListBox_runways");
    add_list(0, 2, Label_listvor, QStringLiteral("VOR"), "Label_listvor", ListBox_vor,
             "ListBox_vor");
    add_list(0, 3, Label_listndb, QStringLiteral("NDB"), "Label_listndb", ListBox_ndb,
             "ListBox_ndb");
    add_list(1, 0, Label_listwaypoint, QStringLiteral("waypoints"), "Label_listwaypoint",
             ListBox_waypoint, "ListBox_waypoint");
    add_list(1, 1, Label_airway, QStringLiteral("airways"), "Label_airway", ListBox_airway,
             "ListBox_airway");
    add_list(1, 2, Label_star, QStringLiteral("Star"), "Label_star", ListBox_star, "ListBox_star");
    add_list(1, 3, Label_sid, QStringLiteral("SID"), "Label_sid", ListBox_sid, "ListBox_sid");
}

void TForm1::build_inspection(QVBoxLayout* root) {
    // Inspection of one procedure or airway, and the path construction memo.
    auto* inspect = new QGridLayout;
    root->addLayout(inspect, 2);
    Label_legs = named(new QLabel(QStringLiteral("Legs")), "Label_legs");
    ListBox_leg = list_box("ListBox_leg");
    ListBox_way = list_box("ListBox_way");
    Memo1 = named(new QPlainTextEdit, "Memo1");
    set_up_memo(Memo1);
    inspect->addWidget(Label_legs, 0, 0, 1, 2);
    inspect->addWidget(ListBox_leg, 1, 0);
    inspect->addWidget(ListBox_way, 1, 1);
    inspect->addWidget(Memo1, 1, 2);
    inspect->setColumnStretch(0, 3);
    inspect->setColumnStretch(1, 3);
    inspect->setColumnStretch(2, 2);
}

void TForm1::connect_controls() {
    connect(ComboBox_region, &QComboBox::activated, this,
            [this](int index) { ComboBox_regionChange(index); });
    connect(Edit_coderegion, &QLineEdit::textChanged, this, [this] { Edit_coderegionChange(); });
    // Enter in the code or radius field runs the selection, as the button does.
    for (QLineEdit* edit : {Edit_ICAO, Edit_dist})
        connect(edit, &QLineEdit::returnPressed, this, [this] { Button_rechparairortClick(); });
    enregistrer1->setShortcut(QKeySequence::Save);
    quitter1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Saving and quitting answer from every window of the program, the map too.
    for (QAction* a : {enregistrer1, quitter1}) a->setShortcutContext(Qt::ApplicationShortcut);
    connect(Button_rechparairort, &QPushButton::clicked, this,
            [this] { Button_rechparairortClick(); });
    connect(Button_rechparregion, &QPushButton::clicked, this,
            [this] { Button_rechparregionClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button_enr, &QPushButton::clicked, this, [this] { Button_enrClick(); });
    connect(enregistrer1, &QAction::triggered, this, [this] { Button_enrClick(); });
    connect(format_clients1, &QAction::toggled, this, [this](bool on) {
        // Kept for the next start; only this one value of the file changes.
        run_command(dialogs_, [&] {
            state_.settings.ini.write(kOutputSection, kFormatKey, on ? kClientFormat : "defaut");
        });
    });
    // Every click runs its handler, the current line clicked again too; the
    // keyboard moves the current line and runs it as well.
    const std::pair<QListWidget*, void (TForm1::*)()> clickable[] = {
        {ListBox_star, &TForm1::ListBox_starClick},
        {ListBox_sid, &TForm1::ListBox_sidClick},
        {ListBox_airway, &TForm1::ListBox_airwayClick}};
    for (const auto& [list, handler] : clickable) {
        connect(list, &QListWidget::itemClicked, this, [this, handler] { (this->*handler)(); });
        connect(list, &QListWidget::currentRowChanged, this, [this, handler] {
            if (QGuiApplication::mouseButtons() == Qt::NoButton) (this->*handler)();
        });
    }
}

namespace {

QStringList qt_items(const std::vector<std::string>& items) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& s : items) out << to_qstring(s);
    return out;
}

}  // namespace

void TForm1::show_procedure(QListWidget* list, const Table<ROUTE>& table, const char* prefix) {
    const int k = list->currentRow();
    if (k < 0 || k >= static_cast<int>(table.size())) return;  // nothing chosen
    Label_legs->setText(QString::fromLatin1(prefix) + list->item(k)->text());
    ListBox_leg->clear();
    ListBox_way->clear();
    const Inspection texts = inspect_procedure(state_.nav, table[static_cast<size_t>(k)]);
    ListBox_leg->addItems(qt_items(texts.legs));
    ListBox_way->addItems(qt_items(texts.segments));
}

void TForm1::Button_enrClick() {
    SaveRequest request;
    try {
        request.client = format_clients1->isChecked();
        request.client_file = client_file();
        request.identity = identity_request(Edit_nomsecteur->text().toStdString(),
                                            Edit_callsign->text().toStdString(),
                                            Edit_ICAOsecteur->text().toStdString(), request.client);
    } catch (const Refusal& r) {
        dialogs_.message(r.what());  // no file is asked for
        return;
    }
    request.centrelines_nm = centrelines_nm_;
    request.sector_kinds = sector_kinds_;
    run_command(dialogs_, [&] {
        std::vector<std::string> written;  // each path told in the memo
        save_selection(state_, dialogs_, request, &written);
        for (const std::string& path : written) add_line(w1252("enregistré : ") + path_text(path));
        flush_memo();
    });
}

// The airports whose ground drawing is loaded, typed as ICAO codes; the map follows.
void TForm1::sol1Click() {
    run_command(dialogs_, [&] {
        const auto text = dialogs_.input(
            w1252("plans au sol"),
            w1252("codes OACI des aérodromes, séparés par des virgules (vide : aucun)"),
            proposed_ground(state_));
        if (!text) return;
        choose_ground(state_, ground_request(cp1252_to_utf8(*text)), *this);
        flush_memo();
        if (carte_ && carte_->isVisible()) carte_->refresh_map();
    });
}

void TForm1::ListBox_starClick() {
    show_procedure(ListBox_star, state_.nav.stars, "STAR: ");
}

void TForm1::ListBox_sidClick() {
    show_procedure(ListBox_sid, state_.nav.sids, "SID: ");
}

void TForm1::ListBox_airwayClick() {
    const int k = ListBox_airway->currentRow();
    if (k < 0 || k >= static_cast<int>(state_.nav.airways.size())) return;
    ListBox_way->clear();
    ListBox_way->addItems(qt_items(inspect_airway(state_.nav.airways[static_cast<size_t>(k)])));
}

std::pair<QListWidget*, QLabel*> TForm1::list_controls(List list) const {
    switch (list) {
        case List::airports:
            return {ListBox_airports, Label_listairport};
        case List::runways:
            return {ListBox_runways, Label_listrunway};
        case List::waypoints:
            return {ListBox_waypoint, Label_listwaypoint};
        case List::vor:
            return {ListBox_vor, Label_listvor};
        case List::ndb:
            return {ListBox_ndb, Label_listndb};
        case List::airways:
            return {ListBox_airway, Label_airway};
        case List::stars:
            return {ListBox_star, Label_star};
        case List::sids:
            return {ListBox_sid, Label_sid};
    }
    return {nullptr, nullptr};
}

void TForm1::clear_list(List list) {
    list_controls(list).first->clear();
}

void TForm1::add_items(List list, const std::vector<std::string>& items) {
    list_controls(list).first->addItems(qt_items(items));
}

void TForm1::set_count_label(List list, const std::string& text) {
    list_controls(list).second->setText(to_qstring(text));
}

void TForm1::add_line(const std::string& line) {
    pending_memo_ << to_qstring(line);
}

void TForm1::flush_memo() {
    if (pending_memo_.isEmpty()) return;
    Memo1->appendPlainText(pending_memo_.join(QLatin1Char('\n')));
    pending_memo_.clear();
}

void TForm1::ComboBox_regionChange(int index) {
    if (index < 0 || index >= static_cast<int>(state_.info.region_codes.size())) return;
    region_ = region_at(state_.info, static_cast<size_t>(index));
    // A changed text runs the choice by code, as a typed one would.
    const QString code = to_qstring(region_.code);
    if (Edit_coderegion->text() != code) Edit_coderegion->setText(code);
    Memo1->clear();
}

void TForm1::Edit_coderegionChange() {
    const QString typed = Edit_coderegion->text();
    if (typed.size() != 2) return;
    try {
        region_ = region_request(state_.info, typed.toStdString());
    } catch (const Refusal& r) {
        dialogs_.message(r.what());
        ComboBox_region->setCurrentIndex(-1);
        return;
    }
    ComboBox_region->setCurrentIndex(find_region_code(state_.info.region_codes, region_.code));
    Memo1->clear();
}

bool TForm1::run_selection(const std::function<void(SelectionOutput&)>& body) {
    NullProgress none;
    ProgressSink& progress = message_ ? static_cast<ProgressSink&>(*message_) : none;
    if (message_) {
        message_->setWindowTitle(QStringLiteral("chargement des données"));
        message_->show();
    }
    // The new selection loads aside: a failure leaves the current one whole
    // (lists, map, centre, what a save writes). Its memo lines wait until
    // it is whole.
    SelectionOutput out{*this, progress, *this, dialogs_};
    std::string failure;
    // The progress window lets paint events through: the map keeps showing
    // its last bitmap while the selection loads.
    state_.loading = true;
    try {
        body(out);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    state_.loading = false;
    if (message_) message_->hide();
    if (!failure.empty()) {
        pending_memo_.clear();
        dialogs_.error(failure);
        return false;
    }
    Memo1->clear();
    flush_memo();
    return true;
}

void TForm1::after_selection() {
    Label_selection->setText(
        to_qstring(map_caption(selection_caption(state_), state_.frame.view.range_nm)));
    if (afich_) afich_->reset_toggle_captions();
    if (carte_) carte_->selection_changed();
}

void TForm1::Button_rechparairortClick() {
    AirportRequest request;
    try {
        request = airport_request(Edit_ICAO->text().toStdString(), Edit_dist->text().toStdString());
    } catch (const Refusal& r) {
        dialogs_.error(r.what());  // before anything changes
        return;
    }
    if (run_selection([&](SelectionOutput& out) {
            select(state_, request, RadioGroup_coast->item_index(), out);
        }))
        after_selection();
}

void TForm1::Button_rechparregionClick() {
    if (run_selection([&](SelectionOutput& out) {
            select(state_, region_, RadioGroup_coast->item_index(), out);
        }))
        after_selection();
}

void TForm1::Button1Click() {
    if (!carte_) return;
    carte_->refresh_map();
    carte_->setWindowTitle(
        to_qstring(map_caption(selection_caption(state_), state_.frame.view.range_nm)));
    if (!carte_->isVisible() && !map_placed_) {
        centre_on_screen(carte_);  // all of it on screen, status bar included
        map_placed_ = true;
    }
    carte_->show();
    carte_->raise();
    carte_->activateWindow();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_once_) return;
    shown_once_ = true;
    // Once the window is on screen, so that a dialog or an error box of the
    // show step stands in front of it.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TForm1::FormShow() {
    setWindowTitle(to_qstring(main_window_title(state_.info)));
    ComboBox_region->clear();
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(state_.info.region_lines.size()));
    for (const std::string& l : state_.info.region_lines) lines << to_qstring(l);
    ComboBox_region->addItems(lines);
    ComboBox_region->setCurrentIndex(-1);

    run_command(dialogs_, [&] {
        ProgressOnDemand progress(message_, QStringLiteral("import de la base de données"));
        const auto label =
            open_database(state_.db, state_.settings, dialogs_, state_.info.folder, &progress);
        if (label) Label_cycle->setText(to_qstring(*label));
    });
}

void TForm1::quitter1Click() {
    run_command(dialogs_, [&] {
        state_.db.sources.remove_dsn(state_.settings.odbc.driver, state_.settings.odbc.dsn);
    });
    run_command(dialogs_, [&] { write_back_data_source(state_.settings); });
    terminate();
}

void TForm1::ouvrir1Click() {
    bool end = true;
    run_command(dialogs_, [&] {
        end = database_choice_command(state_.db, state_.settings, dialogs_, state_.info.folder);
    });
    if (end) terminate();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Closing the frame ends the program without writing anything back.
    event->accept();
    terminate();
}

}  // namespace karvel
