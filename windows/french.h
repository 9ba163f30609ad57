// The program speaks French whatever the system's locale.
#pragma once

class QApplication;

namespace karvel {

// The toolkit's own French texts where they are installed, the few its
// catalogue lacks (the file dialogs' "Folder" and "File"), and French dates
// and month names in the dialogs. The translators belong to `app`.
void speak_french(QApplication& app);

}  // namespace karvel
