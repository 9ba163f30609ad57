#include "navdb/sqlite_db.h"

#include <sqlite3.h>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

std::string sqlite_reason(int code, const std::string& message) {
    // "no such table: X", "no such column: X": the name kept.
    for (const auto& [english, french] :
         {std::pair{"no such table: ", "table absente : "}, {"no such column: ", "colonne absente : "}})
        if (message.rfind(english, 0) == 0)
            return w1252(french) + utf8_to_cp1252(message.substr(std::string(english).size()));
    switch (code & 0xFF) {
        case SQLITE_CANTOPEN:
            return w1252("impossible d'ouvrir le fichier de la base de données");
        case SQLITE_NOTADB:
            return w1252("ce fichier n'est pas une base de données SQLite");
        case SQLITE_CORRUPT:
            return w1252("le fichier de la base de données est endommagé");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return w1252("la base de données est verrouillée par un autre programme");
        case SQLITE_READONLY:
            return w1252("la base de données ne peut pas être écrite");
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return w1252("accès refusé à la base de données");
        case SQLITE_FULL:
            return w1252("le disque est plein");
        case SQLITE_IOERR:
            return w1252("erreur de lecture ou d'écriture sur le disque");
        case SQLITE_NOMEM:
            return w1252("mémoire insuffisante");
        case SQLITE_TOOBIG:
            return w1252("donnée trop grande pour la base de données");
        case SQLITE_INTERRUPT:
            return w1252("opération interrompue");
        default:
            return w1252("requête refusée par la base de données (") + utf8_to_cp1252(message) + ")";
    }
}

SqliteDb::SqliteDb(const std::string& path, Mode mode) {
    // One connection, used by one thread: no per-call locking.
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
        case Mode::read_only:
            flags |= SQLITE_OPEN_READONLY;
            break;
        case Mode::read_write:
            flags |= SQLITE_OPEN_READWRITE;
            break;
        case Mode::create:
            flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
            break;
    }
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason =
            sqlite_reason(db_ ? sqlite3_extended_errcode(db_) : rc,
                          db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
        sqlite3_close(db_);  // a failed open still holds a handle
        db_ = nullptr;
        throw Error(reason);
    }
}

SqliteDb::~SqliteDb() {
    sqlite3_close(db_);
}

void SqliteDb::exec(const std::string& sql) {
    char* err = nullptr;
    if (const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        const std::string reason = sqlite_reason(rc, err ? err : sqlite3_errmsg(db_));
        sqlite3_free(err);
        throw Error(reason);
    }
}

std::string SqliteDb::last_error() const {
    return sqlite_reason(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const std::string& sql) {
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr) !=
        SQLITE_OK)
        throw Error(db.last_error());
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(st_);
}

}  // namespace karvel
