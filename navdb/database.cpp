#include "navdb/database.h"

#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

// Every kind of database the program opens comes first, so that a SQLite
// database (the sample, an imported world) is seen at once.
const char* const kDatabaseFilter =
    "bases de navigation (*.sqlite, *.mdb, *.accdb)|*.sqlite;*.sqlite3;*.db;*.mdb;*.MDB;*.accdb;"
    "*.ACCDB|mdb files (*.mdb)|*.MDB;*.mdb|bases Access (*.mdb, *.accdb)|*.mdb;*.MDB;*.accdb;"
    "*.ACCDB|bases SQLite (*.sqlite)|*.sqlite;*.sqlite3;*.db|tous les fichiers (*)|*";

std::vector<std::string> cycle_statement() {
    return {"select config.val", "from config", "where config.key=" + sql_quoted("CycleName")};
}

std::string cycle_label(const std::string& cycle, const std::string& filename) {
    return w1252("données: cycle:") + cycle + " fichier:" + path_text(filename);
}

std::string stored_path(const std::string& native) {
    std::string text;
    if (!path_to_text(native, text))
        throw Error(w1252("Le chemin \"") + path_text(native) +
                    w1252("\" ne peut pas être enregistré dans karvel_params.ini : il contient un "
                          "caractère que ce fichier (Windows-1252) ne peut pas contenir"));
    return text;
}

bool choose_database(Settings& settings, Dialogs& dialogs, const std::string& initial_dir,
                     const std::string& why) {
    const auto chosen =
        dialogs.open_file(why + w1252("choisir la base de données"), kDatabaseFilter, initial_dir);
    if (!chosen) return false;
    if (chosen->empty()) throw Error(w1252("Aucun fichier de base de données n'a été choisi"));
    settings.ini.write("file", "filename", stored_path(*chosen));  // throws when it cannot
    settings.odbc.filename = *chosen;
    return true;
}

std::optional<std::string> open_database(Database& db, Settings& settings, Dialogs& dialogs,
                                         const std::string& program_dir, ProgressSink* progress) {
    const t_ODBC& odbc = settings.odbc;
    std::error_code ec;
    // The chooser says why it opens.
    if (odbc.filename.empty())
        choose_database(settings, dialogs, program_dir, w1252("Aucune base de données : "));
    else if (!std::filesystem::exists(fs_path(odbc.filename), ec))
        choose_database(settings, dialogs, program_dir,
                        w1252("Base de données introuvable (") + path_text(odbc.filename) + ") : ");
    // Without a file the engine would open an empty database of its own.
    if (odbc.filename.empty())
        throw Error(
            w1252("Aucune base de données : choisissez-en une par \"Fichier\" / \"ouvrir "
                  "une base de données\""));

    // A FIFO or a device would hold the engine waiting for data that may never come.
    if (std::filesystem::exists(fs_path(odbc.filename), ec) &&
        !std::filesystem::is_regular_file(fs_path(odbc.filename), ec))
        throw Error(w1252("La base de données n'est pas un fichier ordinaire : ") +
                    path_text(odbc.filename));

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
    // Databases made before airways had levels lack the column; only those
    // imported with outline files have the outlines.
    db.airway_levels = statement_runs(db.Query1, {"select level from airwaylegs where 1=0"});
    db.outlines = statement_runs(db.Query1, {"select ID from outlines where 1=0"});
    db.ground = statement_runs(db.Query1, {"select ID from groundshapes where 1=0"});
    db.ground_names = statement_runs(db.Query1, {"select name from groundnames where 1=0"});
    db.frequencies = statement_runs(db.Query1, {"select khz from airportfreqs where 1=0"});
    db.outline_classes = statement_runs(db.Query1, {"select class from outlines where 1=0"});
    db.outline_rings = statement_runs(db.Query1, {"select open from outlinerings where 1=0"});
    db.Query1.set_sql(cycle_statement());  // the cycle's statement stays, as it was
    return cycle_label(db.cycle_name, odbc.filename);
}

bool statement_runs(Query& query, Statement statement) {
    try {
        query.set_sql(std::move(statement));
        query.open();
        query.close();
        return true;
    } catch (const std::exception&) {
        query.close();
        return false;
    }
}

bool database_choice_command(Database& db, Settings& settings, Dialogs& dialogs,
                             const std::string& program_dir) {
    // The new path is stored first: when it cannot be, the program goes on
    // with the database it has.
    try {
        choose_database(settings, dialogs, program_dir);
    } catch (const Error& e) {
        dialogs.error(e.what() + w1252("\nLa base de données actuelle reste ouverte."));
        return false;
    }
    db.sources.remove_dsn(settings.odbc.driver, settings.odbc.dsn);
    dialogs.message(
        w1252("le programme doit être relancé pour que changement de base soit effectif"));
    return true;
}

}  // namespace karvel
