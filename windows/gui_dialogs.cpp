#include "windows/gui_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "core/colours.h"
#include "core/cp1252.h"
#include "windows/file_dialog.h"
#include "windows/screen_fit.h"

namespace karvel {

QWidget* QtDialogs::owner() {
    // The window the user works in opened the dialog: it stands in front of
    // that one (the colour chooser of the parameters dialog, the range box of
    // the map), never of the main window behind it. Right after a dialog
    // closes no window is active yet (the window manager answers in its own
    // time): the window that dialog stood in front of is still the one.
    QWidget* w = QApplication::activeModalWidget();
    if (!w) w = QApplication::activeWindow();
    if (!w && last_owner_ && last_owner_->isVisible()) w = last_owner_;
    if (!w) w = parent_;
    last_owner_ = w;
    return w;
}

void QtDialogs::message(const std::string& text) {
    const FrontAgain front(owner());
    QMessageBox::information(front.window(), QStringLiteral("karvel"), to_qstring(text));
}

void QtDialogs::error(const std::string& text) {
    const FrontAgain front(owner());
    QMessageBox::critical(front.window(), QStringLiteral("Erreur"), to_qstring(text));
}

std::optional<std::string> QtDialogs::input(const std::string& caption, const std::string& prompt,
                                            const std::string& initial) {
    bool ok = false;
    const FrontAgain front(owner());
    const QString text =
        QInputDialog::getText(front.window(), to_qstring(caption), to_qstring(prompt),
                              QLineEdit::Normal, to_qstring(initial), &ok);
    if (!ok) return std::nullopt;
    return from_qstring(text);
}

QString qt_name_filters(const std::string& filter) {
    const QStringList parts = to_qstring(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogs::open_file(const std::string& title, const std::string& filter,
                                                const std::string& initial_dir) {
    const FrontAgain front(owner());
    FileDialog dialog(front.window(), to_qstring(title), QFile::decodeName(initial_dir.c_str()));
    dialog.setNameFilter(qt_name_filters(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();  // the system's own bytes
}

std::optional<std::string> QtDialogs::save_file(const std::string& default_extension,
                                                const std::string& initial_dir,
                                                const std::string& initial_name,
                                                const std::string& filter) {
    const FrontAgain front(owner());
    FileDialog dialog(front.window(), QString(), QFile::decodeName(initial_dir.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!filter.empty()) dialog.setNameFilter(qt_name_filters(filter));
    if (!initial_name.empty()) dialog.selectFile(QFile::decodeName(initial_name.c_str()));
    dialog.setDefaultSuffix(to_qstring(default_extension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The descriptions name their patterns already ("Fichiers secteur (*.sct)").
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

std::optional<TColor> QtDialogs::choose_colour(TColor initial) {
    const FrontAgain front(owner());
    const QColor c = QColorDialog::getColor(to_qcolor(initial), front.window());
    if (!c.isValid()) return std::nullopt;
    return from_qcolor(c);
}

}  // namespace karvel
