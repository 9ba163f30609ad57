#include "navdb/sqlite_backend.h"

#include <sqlite3.h>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

namespace {

// The database opened read-only; a file that is not one is refused with its
// name and the reason.
SqliteDb open_read_only(const std::string& path) {
    try {
        return SqliteDb(fs_path(path).string(), SqliteDb::Mode::read_only);
    } catch (const Error& e) {
        throw Error(w1252("Impossible d'ouvrir la base de données \"") + path_text(path) +
                    "\" : " + e.what());
    }
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path) : db_(open_read_only(path)) {
    try {
        // Opening is lazy: read the schema now so a file that is not a
        // database fails here, not at the first selection.
        db_.exec("select count(*) from sqlite_master");
    } catch (const Error& e) {
        throw Error(w1252("Impossible d'ouvrir la base de données \"") + path_text(path) +
                    "\" : " + e.what());
    }
    sqlite3_busy_timeout(db_.get(), 2000);
}

void SqliteConnection::execute(const std::string& sql, ResultSet& result) {
    const std::string utf8 = cp1252_to_utf8(sql);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_.get(), utf8.c_str(), static_cast<int>(utf8.size()), &stmt,
                           nullptr) != SQLITE_OK)
        throw Error(w1252("Erreur de la base de données : ") + db_.last_error());
    const int n = sqlite3_column_count(stmt);
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        names.push_back(utf8_to_cp1252(name ? name : ""));
    }
    result.set_columns(std::move(names));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            // One call for the column, then its value read directly.
            sqlite3_value* v = sqlite3_column_value(stmt, i);
            switch (sqlite3_value_type(v)) {
                case SQLITE_NULL:
                    result.add_null();
                    break;
                case SQLITE_INTEGER:
                    result.add_integer(sqlite3_value_int64(v));
                    break;
                case SQLITE_FLOAT:
                    result.add_real(sqlite3_value_double(v));
                    break;
                default: {
                    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
                    const auto size = static_cast<size_t>(sqlite3_value_bytes(v));
                    result.add_utf8(std::string_view(p ? p : "", size));
                }
            }
        }
    }
    if (rc != SQLITE_DONE) {
        const std::string message =
            w1252("Erreur de la base de données : ") + db_.last_error();
        sqlite3_finalize(stmt);
        result.clear();
        throw Error(message);
    }
    sqlite3_finalize(stmt);
}

}  // namespace karvel
