#include "navdb/sqlite_db.h"

#include <sqlite3.h>

#include "core/cp1252.h"
#include "core/error.h"

namespace karvel {

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
        const std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);  // a failed open still holds a handle
        db_ = nullptr;
        throw Error(utf8_to_cp1252(reason));
    }
}

SqliteDb::~SqliteDb() {
    sqlite3_close(db_);
}

void SqliteDb::exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string reason = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        throw Error(utf8_to_cp1252(reason));
    }
}

std::string SqliteDb::last_error() const {
    return utf8_to_cp1252(sqlite3_errmsg(db_));
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
