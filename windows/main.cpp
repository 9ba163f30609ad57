// karvel: builds radar sector files from a navigation database.
#include <QApplication>

#include "core/file_output.h"
#include "core/program_folder.h"
#include "program/app_state.h"
#include "windows/french.h"
#include "windows/gui_dialogs.h"
#include "windows/program_windows.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The toolkit's own dialogs (files, colours, input, the error box) speak
    // French too, whatever the system's locale.
    karvel::speak_french(app);
    // Ctrl+C in the terminal leaves no temporary file of a save behind.
    karvel::remove_temporary_files_on_signals();
    // An installed program works in the user's own folder.
    try {
        karvel::enter_program_folder();
    } catch (const std::exception& e) {
        karvel::QtDialogs().error(e.what());
        return 1;
    }
    karvel::AppState state;
    karvel::QtDialogs dialogs;

    karvel::ProgramWindows windows(state, dialogs);
    dialogs.set_parent(&windows.form);
    windows.form.show();
    return app.exec();
}
