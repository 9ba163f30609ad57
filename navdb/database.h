// Opening the navigation database at start, choosing another one, and the
// state they share: the data sources, the query component and the cycle.
#pragma once

#include <optional>
#include <string>

#include "core/dialogs.h"
#include "core/settings.h"
#include "navdb/dsn.h"
#include "navdb/query.h"

namespace karvel {

struct Database {
    DataSources sources;
    Query Query1;
    std::string cycle_name;
    bool airway_levels = false;  // airwaylegs has the column "level"
    bool outlines = false;       // the database has the airspace outlines' tables
    bool ground = false;         // the database has the airports' ground drawings
    bool ground_names = false;   // ... and their taxiway names
    bool frequencies = false;    // the database has the airports' frequencies
    bool outline_classes = false;  // the outlines have their airspace class
    bool outline_rings = false;    // ... and what the sources said of their rings
};

// Shows the open dialog; on confirmation stores the path in [file]
// "filename" and then in odbc.filename. False when cancelled; throws for an
// empty path or one the settings file cannot hold or take.
// `why`, when given, goes before the dialog's title ("Base de données
// introuvable (...) : choisir la base de données").
bool choose_database(Settings& settings, Dialogs& dialogs, const std::string& initial_dir,
                     const std::string& why = "");

// Run once when the main window is first shown: asks for a file when the
// settings name none that exists, registers the data source, opens it and
// reads the cycle. Returns the text of the cycle label, or nothing when the
// label keeps its design text (registration failed: the message
// "Echec de création du DSN" was shown). Errors of the data layer are thrown.
std::optional<std::string> open_database(Database& db, Settings& settings, Dialogs& dialogs,
                                         const std::string& program_dir, ProgressSink* progress);

// "ouvrir une base de données": choose a file and store it, remove the data
// source, tell the user to restart; true when the caller is to end the
// program. A path that cannot be stored is told and the program goes on.
bool database_choice_command(Database& db, Settings& settings, Dialogs& dialogs,
                             const std::string& program_dir);

// The statement runs on the database (a table or column it names is there).
bool statement_runs(Query& query, Statement statement);

// The statement that reads the cycle; 'CycleName' quoted as an SQL literal.
std::vector<std::string> cycle_statement();

std::string cycle_label(const std::string& cycle, const std::string& filename);

// A path as the settings file stores it (Windows-1252); throws when it has a
// character the file cannot hold.
std::string stored_path(const std::string& native);

// The filter of the file dialog: the Access files first, then SQLite, then all.
extern const char* const kDatabaseFilter;

}  // namespace karvel
