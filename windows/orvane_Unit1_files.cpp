// The main window's choice of the file the client format writes.
#include <QActionGroup>
#include <QMenu>
#include <QSignalBlocker>

#include "core/error.h"
#include "windows/orvane_Unit1.h"

namespace karvel {
namespace {

constexpr const char* kFileSection = "sortie";
constexpr const char* kFileKey = "fichier";
// The settings' word for each ClientFile, in its order.
constexpr const char* kClientFileWords[] = {"regions", "sct2", "sct"};

}  // namespace

void TForm1::build_client_file_menu() {
    fichier_clients1 = Fichier1->addMenu(QStringLiteral("fichier des &clients radar"));
    fichier_clients1->setObjectName(QStringLiteral("fichier_clients1"));
    auto* group = new QActionGroup(fichier_clients1);
    const char* const captions[] = {".sct avec régions et étiquettes",
                                    ".sct2 avec régions et étiquettes",
                                    ".sct sans régions ni étiquettes"};
    for (size_t i = 0; i < client_files1.size(); ++i) {
        QAction* a = fichier_clients1->addAction(QString::fromUtf8(captions[i]));
        a->setObjectName(QStringLiteral("client_file%1").arg(i));
        a->setCheckable(true);
        a->setChecked(i == 0);  // before the settings are read, and not written
        group->addAction(a);
        client_files1[i] = a;
        connect(a, &QAction::toggled, this, [this, i](bool on) {
            if (!on) return;
            // Kept for the next start; only this one value of the file changes.
            run_command(dialogs_,
                        [&] { state_.settings.ini.write(kFileSection, kFileKey, kClientFileWords[i]); });
        });
    }
}

void TForm1::read_client_file_choice() {
    const std::string word = state_.settings.ini.read(kFileSection, kFileKey, kClientFileWords[0]);
    for (size_t i = 0; i < client_files1.size(); ++i)
        if (word == kClientFileWords[i]) {
            const QSignalBlocker quiet(client_files1[i]);  // read, not written back
            client_files1[i]->setChecked(true);
        }
}

ClientFile TForm1::client_file() const {
    for (size_t i = 0; i < client_files1.size(); ++i)
        if (client_files1[i]->isChecked()) return static_cast<ClientFile>(i);
    return ClientFile::sct_regions;
}

}  // namespace karvel
