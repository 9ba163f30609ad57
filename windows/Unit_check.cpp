#include "windows/Unit_check.h"

#include <QVBoxLayout>

#include "core/cp1252.h"
#include "core/dialogs.h"
#include "core/numtext.h"
#include "program/check_files.h"
#include "windows/orvane_Unit1.h"

namespace karvel {

TForm_check::TForm_check(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form_check"));
    setModal(false);
    ListBox_constats = new QListWidget(this);
    ListBox_constats->setObjectName(QStringLiteral("ListBox_constats"));
    Label_ligne = new QLabel(this);
    Label_ligne->setObjectName(QStringLiteral("Label_ligne"));
    Label_ligne->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox_constats);
    layout->addWidget(Label_ligne);
    resize(760, 420);
    connect(ListBox_constats, &QListWidget::currentRowChanged, this,
            [this](int row) { ListBox_constatsClick(row); });
}

void TForm_check::show_findings(const std::string& file, std::vector<Finding> findings) {
    findings_ = std::move(findings);
    size_t errors = 0;
    std::vector<std::string> items;
    for (const Finding& f : findings_) {
        errors += f.error;
        items.push_back(path_text(from_fs_path(fs_path(f.file).filename())) + ":" +
                        std::to_string(f.line) +
                        (f.error ? w1252(" erreur : ") : w1252(" avertissement : ")) + f.message);
    }
    setWindowTitle(to_qstring(w1252("vérification de ") + path_text(file) + " : " +
                              std::to_string(errors) + w1252(" erreur(s), ") +
                              std::to_string(findings_.size() - errors) +
                              w1252(" avertissement(s)")));
    ListBox_constats->clear();
    for (const std::string& item : items) ListBox_constats->addItem(to_qstring(item));
    Label_ligne->setText(findings_.empty() ? to_qstring(w1252("aucun constat")) : QString());
}

void TForm_check::ListBox_constatsClick(int row) {
    if (row < 0 || static_cast<size_t>(row) >= findings_.size()) return;
    const Finding& f = findings_[static_cast<size_t>(row)];
    Label_ligne->setText(
        to_qstring(w1252("ligne ") + std::to_string(f.line) + " : " + file_line(f.file, f.line)));
}

// "vérifier un fichier secteur...": a file chosen in the program folder's
// "secteurs" (its companion file beside it checked too), its findings in
// their window.
void TForm1::verifier1Click() {
    run_command(dialogs_, [&] {
        const auto path = dialogs_.open_file(
            w1252("vérifier un fichier secteur"),
            w1252("fichiers secteur (*.sct, *.sct2)|*.sct;*.sct2|tous les fichiers|*"),
            state_.info.folder + "/secteurs");
        if (!path) return;
        std::vector<Finding> found = check_files(state_.info, *path);
        if (!check_) check_ = new TForm_check(this);
        check_->show_findings(*path, std::move(found));
        check_->show();
        check_->raise();
    });
}

}  // namespace karvel
