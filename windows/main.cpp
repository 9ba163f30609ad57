// karvel: builds radar sector files from a navigation database.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "core/program_folder.h"
#include "program/app_state.h"
#include "windows/Unit_afich.h"
#include "windows/Unit_carte.h"
#include "windows/Unit_centre.h"
#include "windows/Unit_message.h"
#include "windows/gui_dialogs.h"
#include "windows/orvane_Unit1.h"

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

    // The windows in their creation order; all live until the program ends.
    karvel::TForm1 form1(state, dialogs);
    dialogs.set_parent(&form1);
    karvel::TForm_carte form_carte(state, dialogs);
    karvel::TForm_afich form_afich(state, dialogs, &form_carte);
    karvel::TForm_centre form_centre(state, &form_carte);
    karvel::TForm_message form_message(&form1);
    form1.set_windows(&form_carte, &form_afich, &form_centre, &form_message);
    form_carte.set_windows(&form_afich, &form_centre);

    form1.show();
    return app.exec();
}
