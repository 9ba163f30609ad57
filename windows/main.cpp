// karvel: builds radar sector files from a navigation database.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/program_folder.h"
#include "program/app_state.h"
#include "windows/gui_dialogs.h"
#include "windows/program_windows.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // An installed program works in the user's own folder.
    try {
        karvel::enter_program_folder();
    } catch (const std::exception& e) {
        karvel::QtDialogs().error(e.what());
        return 1;
    }
    // The toolkit's own dialogs (files, colours, input) speak French too.
    QTranslator qt_french;
    if (qt_french.load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qt_french);
    karvel::AppState state;
    karvel::QtDialogs dialogs;

    karvel::ProgramWindows windows(state, dialogs);
    dialogs.set_parent(&windows.form);
    windows.form.show();
    return app.exec();
}
