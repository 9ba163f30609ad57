// The display and export parameters dialog: which elements the map shows and
// in which colours, and which waypoints, SIDs, STARs, airways and airspace
// outlines go into the sector file (the outlines' row follows the 20
// elements). It edits the live tables at once; nothing is written to the
// settings file.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "core/dialogs.h"
#include "params/selection_flags.h"
#include "program/app_state.h"

namespace karvel {

class TForm_afich : public QDialog {
    Q_OBJECT
  public:
    TForm_afich(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);

    // Captions back to "aucun ..." after every selection.
    void reset_toggle_captions();

    // Opening from the map: the element list and both grids rebuilt, then
    // the dialog shown modally (its show step fills the four lists).
    int open_parameters();

    // Handlers
    void FormShow();
    void CheckListBox_elemClickCheck(int item);
    void Button_tousClick(QPushButton* button);
    void StringGrid_couleurMouseDown(int row, int column);
    void StringGrid_detailMouseDown(int row, int column);

    QListWidget* CheckListBox_elem;
    QTableWidget* StringGrid_couleur;
    QTableWidget* StringGrid_detail;
    QLabel* Label_fix;
    QLabel* Label_sid;
    QLabel* Label_star;
    QLabel* Label_airway;
    QLabel* Label_contour;
    QListWidget* CheckListBox_fix;
    QListWidget* CheckListBox_SID;
    QListWidget* CheckListBox_STAR;
    QListWidget* CheckListBox_airway;
    QListWidget* CheckListBox_contour;
    QPushButton* Button_tousfix;
    QPushButton* Button_tousid;
    QPushButton* Button_toustar;
    QPushButton* Button_tousairway;
    QPushButton* Button_touscontour;
    QPushButton* Button_ok;
    QPushButton* Button_anul;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void lay_out(QLabel* heading);
    void connect_controls();
    void fill_list(QListWidget* list, const CheckItems& items);
    void fill_grids();
    void paint_swatches();
    bool element_checked(int position) const;
    // Row `row` of the element list and colour grid: the 20 elements, then
    // the outlines.
    t_couleur& element(int row);
    static constexpr int kOutlineRow = kColourCount;
    static constexpr int kElementRows = kColourCount + 1;
    // The list's check mark i went to entry i of its table.
    void list_item_changed(QListWidget* list, QListWidgetItem* item);

    AppState& state_;
    Dialogs& dialogs_;
    bool filling_ = false;  // check marks set by the dialog itself, not the user
};

}  // namespace karvel
