// The main window: region and airport selection, the lists of the selection,
// the sector identity and the save command.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

#include "app/app_state.h"
#include "app/dialogs.h"
#include "app/radio_group.h"

namespace karvel {

class TForm_carte;
class TForm_afich;
class TForm_centre;
class TForm_message;

class TForm1 : public QMainWindow {
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

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();

    AppState& state_;
    Dialogs& dialogs_;
    TForm_carte* carte_ = nullptr;
    TForm_afich* afich_ = nullptr;
    TForm_centre* centre_ = nullptr;
    TForm_message* message_ = nullptr;
    bool shown_once_ = false;
};

}  // namespace karvel
