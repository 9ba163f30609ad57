#include "windows/Unit_diff.h"

#include <QVBoxLayout>

#include "core/cp1252.h"
#include "core/dialogs.h"
#include "core/numtext.h"
#include "navdb/database.h"
#include "program/cycle_diff.h"
#include "program/use_cases.h"
#include "windows/orvane_Unit1.h"

namespace karvel {

TForm_diff::TForm_diff(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_diff"));
    setModal(false);
    ListBox_changements = new QListWidget(this);
    ListBox_changements->setObjectName(QStringLiteral("ListBox_changements"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox_changements);
    resize(760, 420);
}

void TForm_diff::show_changes(const std::string& title, const std::vector<std::string>& lines) {
    setWindowTitle(to_qstring(title));
    ListBox_changements->clear();
    for (const std::string& line : lines) ListBox_changements->addItem(to_qstring(line));
}

// "comparer à l'ancien cycle...": the current selection made again in a
// database chosen as the older cycle, and what changed since then.
void TForm1::comparer1Click() {
    run_command(dialogs_, [&] {
        if (!state_.selected) {
            dialogs_.message(
                w1252("Faites d'abord une sélection : la comparaison porte sur elle."));
            return;
        }
        const auto path = dialogs_.open_file(w1252("choisir la base de l'ancien cycle"),
                                             kDatabaseFilter, state_.info.folder);
        if (!path) return;
        const OtherSelection before = selection_in(*path, *state_.selected, dialogs_);
        const std::vector<Change> changes = cycle_changes(before.nav, state_.nav);
        std::vector<std::string> lines = change_report(changes);
        // The user's own lines beside the file the save proposes.
        std::vector<std::string> unknown;
        const auto gone = own_lines_gone(
            read_own_lines(own_lines_folder(state_.info.folder + "/secteurs/" +
                                            sector_file_name(state_.selected, "sct")),
                           unknown),
            before.nav, state_.nav);
        if (!gone.empty()) lines.push_back("[vos lignes]");
        for (const std::string& line : gone) lines.push_back("  " + line);
        if (!diff_) diff_ = new TForm_diff(this);
        diff_->show_changes(selection_caption(state_) + w1252(" : changements depuis ") +
                                path_text(from_fs_path(fs_path(*path).filename())) + " (cycle " +
                                before.cycle + ")",
                            lines);
        diff_->show();
        diff_->raise();
    });
}

}  // namespace karvel
