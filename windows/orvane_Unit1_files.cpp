// The main window's choices for the client format: the file it writes,
// the extended centrelines, the kinds of outline made sectors; each kept in
// the settings' [sortie] section.
#include <QActionGroup>
#include <QMenu>
#include <QSignalBlocker>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "windows/orvane_Unit1.h"

namespace karvel {
namespace {

constexpr const char* kFileSection = "sortie";
constexpr const char* kFileKey = "fichier";
constexpr const char* kCentrelinesKey = "axes";
constexpr const char* kSectorsKey = "secteurs";
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

void TForm1::read_client_choices() {
    int32_t nm = 0;  // a damaged value draws none
    if (try_str_to_int(state_.settings.ini.read(kFileSection, kCentrelinesKey, "0"), nm) &&
        nm > 0)
        centrelines_nm_ = nm;
    try {  // a damaged value chooses every kind
        sector_kinds_ = sector_kinds_request(
            cp1252_to_utf8(state_.settings.ini.read(kFileSection, kSectorsKey, "")));
    } catch (const Refusal&) {
    }
    const std::string word = state_.settings.ini.read(kFileSection, kFileKey, kClientFileWords[0]);
    for (size_t i = 0; i < client_files1.size(); ++i)
        if (word == kClientFileWords[i]) {
            const QSignalBlocker quiet(client_files1[i]);  // read, not written back
            client_files1[i]->setChecked(true);
        }
}

// The client format's extended centrelines: how many nautical miles from
// each threshold (0 for none), kept for the next start.
void TForm1::axes1Click() {
    run_command(dialogs_, [&] {
        const std::string initial = std::to_string(centrelines_nm_);
        const auto text = dialogs_.input(w1252("axes de piste"),
                                         w1252("milles depuis le seuil (0 : aucun)"), initial);
        if (!text) return;
        centrelines_nm_ = centrelines_request(cp1252_to_utf8(*text));
        const std::string nm = std::to_string(centrelines_nm_);
        state_.settings.ini.write(kFileSection, kCentrelinesKey, nm);
    });
}

// The kinds of outline that become sectors in the client format's
// companion file, kept for the next start.
void TForm1::secteurs1Click() {
    run_command(dialogs_, [&] {
        std::string initial;
        for (const std::string& k : sector_kinds_) initial += (initial.empty() ? "" : ", ") + k;
        const auto text = dialogs_.input(
            w1252("secteurs des clients radar"),
            w1252("genres d'espaces : FIR, UIR, CTA, TMA, CTR, ATZ (vide : tous)"), initial);
        if (!text) return;
        sector_kinds_ = sector_kinds_request(cp1252_to_utf8(*text));
        std::string kept;
        for (const std::string& k : sector_kinds_) kept += (kept.empty() ? "" : ",") + k;
        state_.settings.ini.write(kFileSection, kSectorsKey, kept);
    });
}

ClientFile TForm1::client_file() const {
    for (size_t i = 0; i < client_files1.size(); ++i)
        if (client_files1[i]->isChecked()) return static_cast<ClientFile>(i);
    return ClientFile::sct_regions;
}

}  // namespace karvel
