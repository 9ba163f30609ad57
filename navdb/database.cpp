#include "navdb/database.h"

#include <filesystem>

#include "app/cp1252.h"
#include "app/numtext.h"
#include "navdb/statements.h"

namespace karvel {

const char* const kDatabaseFilter =
    "mdb files (*.mdb)|*.MDB;*.mdb|bases Access (*.mdb, *.accdb)|*.mdb;*.MDB;*.accdb;*.ACCDB"
    "|bases SQLite (*.sqlite)|*.sqlite;*.sqlite3;*.db|tous les fichiers (*)|*";

std::vector<std::string> cycle_statement() {
    return {"select config.val", "from config", "where config.key=" + quoted("CycleName")};
}

std::string cycle_label(const std::string& cycle, const std::string& filename) {
    return w1252("données: cycle:") + cycle + " fichier:" + filename;
}

bool choose_database(Settings& settings, Dialogs& dialogs, const std::string& initial_dir) {
    const auto chosen =
        dialogs.open_file(w1252("choisir la base de données"), kDatabaseFilter, initial_dir);
    if (!chosen) return false;
    settings.odbc.filename = *chosen;
    settings.ini.write("file", "filename", *chosen);
    return true;
}

std::optional<std::string> open_database(Database& db, Settings& settings, Dialogs& dialogs,
                                         const std::string& program_dir, ProgressSink* progress) {
    const t_ODBC& odbc = settings.odbc;
    std::error_code ec;
    if (odbc.filename.empty() || !std::filesystem::exists(fs_path(odbc.filename), ec))
        choose_database(settings, dialogs, program_dir);

    if (!db.sources.register_dsn(odbc.driver, odbc.dsn, odbc.description, odbc.filename)) {
        dialogs.message(w1252("Echec de création du DSN"));
        return std::nullopt;
    }
    db.Query1.set_connection(db.sources.connect(odbc.dsn, progress));
    db.Query1.set_sql(cycle_statement());
    db.Query1.open();
    db.Query1.first();
    db.cycle_name = db.Query1.as_text("val");
    db.Query1.close();
    return cycle_label(db.cycle_name, odbc.filename);
}

void database_choice_command(Database& db, Settings& settings, Dialogs& dialogs,
                             const std::string& program_dir) {
    db.sources.remove_dsn(settings.odbc.driver, settings.odbc.dsn);
    choose_database(settings, dialogs, program_dir);
    dialogs.message(
        w1252("le programme doit être relancé pour que changement de base soit effectif"));
}

}  // namespace karvel
