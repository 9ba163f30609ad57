// The main window: region and airport selection, the lists of the selection,
// the sector identity and the save command.
#pragma once

#include <array>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "core/dialogs.h"
#include "core/sinks.h"
#include "program/app_state.h"
#include "program/use_cases.h"
#include "windows/radio_group.h"

namespace karvel {

class TForm_carte;
class TForm_afich;
class TForm_centre;
class TForm_message;
class TForm_check;
class TForm_diff;

class TForm1 : public QMainWindow, public SelectionView, public MemoSink {
    Q_OBJECT
  public:
    // Runs the creation steps (region index, settings) before returning.
    TForm1(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    void set_windows(TForm_carte* carte, TForm_afich* afich, TForm_centre* centre,
                     TForm_message* message);

    // What ends the program; the application's quit unless a test replaces it.
    std::function<void()> terminate;

    // Handlers
    void FormShow();
    void quitter1Click();
    void ouvrir1Click();
    void ComboBox_regionChange(int index);
    void Edit_coderegionChange();
    void Button_rechparairortClick();
    void Button_rechparregionClick();
    void Button1Click();
    void ListBox_starClick();
    void ListBox_sidClick();
    void ListBox_airwayClick();
    void Button_enrClick();

    // The region a selection by region takes, as last chosen in the list or
    // by its code.
    const RegionRequest& region() const { return region_; }

    // The lists, count labels and memo, as the loaders see them.
    void clear_list(List list) override;
    void add_items(List list, const std::vector<std::string>& items) override;
    void set_count_label(List list, const std::string& text) override;
    void add_line(const std::string& line) override;

    // Controls
    QLabel* Label_cycle;
    QLabel* Label1;
    QLabel* Label10;
    QLineEdit* Edit_ICAO;
    QLabel* Label11;
    QLineEdit* Edit_dist;
    QPushButton* Button_rechparairort;
    QLabel* Label9;
    QLabel* Label6;
    QComboBox* ComboBox_region;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* Edit_coderegion;
    QPushButton* Button_rechparregion;
    RadioGroup* RadioGroup_coast;
    QLabel* Label_selection;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label12;
    QLabel* Label3;
    QLineEdit* Edit_nomsecteur;
    QLineEdit* Edit_ICAOsecteur;
    QLineEdit* Edit_callsign;
    QPushButton* Button_enr;
    QLabel* Label_listairport;
    QListWidget* ListBox_airports;
    QLabel* Label_listrunway;
    QListWidget* ListBox_runways;
    QPlainTextEdit* Memo1;
    QLabel* Label_listwaypoint;
    QListWidget* ListBox_waypoint;
    QLabel* Label_listvor;
    QListWidget* ListBox_vor;
    QLabel* Label_listndb;
    QListWidget* ListBox_ndb;
    QLabel* Label_airway;
    QListWidget* ListBox_airway;
    QLabel* Label_star;
    QListWidget* ListBox_star;
    QLabel* Label_sid;
    QListWidget* ListBox_sid;
    QLabel* Label_legs;
    QListWidget* ListBox_leg;
    QListWidget* ListBox_way;
    QLabel* Label2;
    QPushButton* Button1;
    QMenu* Fichier1;
    QAction* ouvrir1;
    QAction* enregistrer1;
    QAction* quitter1;
    QAction* format_clients1;  // "format des clients radar", remembered in the settings
    // "fichier des clients radar": which file the client format writes (a
    // .sct with regions, a .sct2, a .sct without), remembered in the settings.
    QMenu* fichier_clients1;
    std::array<QAction*, 3> client_files1;  // in the order of ClientFile
    QAction* axes1;  // the client format's extended centrelines, remembered in the settings
    void axes1Click();
    // The kinds of outline that become sectors of the companion file,
    // remembered in the settings.
    QAction* secteurs1;
    void secteurs1Click();
    QAction* sol1;  // the airports whose ground drawing goes into the map and the files
    void sol1Click();
    QAction* verifier1;  // a sector file's findings, in their window
    void verifier1Click();
    TForm_check* check_ = nullptr;
    QAction* comparer1;  // the selection against an older cycle, in its window
    void comparer1Click();
    TForm_diff* diff_ = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_controls();
    void build_menu();
    void build_client_file_menu();
    void read_client_choices();  // the client format's, from the settings
    ClientFile client_file() const;
    void build_airport_box(QHBoxLayout* top);
    void build_region_box(QHBoxLayout* top);
    void build_middle(QHBoxLayout* top);
    void build_sector_box(QHBoxLayout* top);
    void build_lists(QVBoxLayout* root);
    void build_inspection(QVBoxLayout* root);
    void connect_controls();
    // A list of the selection and its count label.
    std::pair<QListWidget*, QLabel*> list_controls(List list) const;
    // Runs a selection with the progress window on screen, closed whatever
    // happens; an error is shown and ends the command.
    bool run_selection(const std::function<void(SelectionOutput&)>& body);
    void after_selection();
    void flush_memo();
    void show_procedure(QListWidget* list, const Table<ROUTE>& table, const char* prefix);

    AppState& state_;
    Dialogs& dialogs_;
    TForm_carte* carte_ = nullptr;
    TForm_afich* afich_ = nullptr;
    TForm_centre* centre_ = nullptr;
    TForm_message* message_ = nullptr;
    bool shown_once_ = false;
    QStringList pending_memo_;
    bool map_placed_ = false;
    int32_t centrelines_nm_ = 0;  // the client format's extended centrelines, nm (0: none)
    std::vector<std::string> sector_kinds_;  // none: every kind
    RegionRequest region_;
};

}  // namespace karvel
