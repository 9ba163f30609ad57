// One SQLite connection, whoever opens it: the query backend, the Access
// cache and import, karvel-import. Opened by the constructor (nothing is
// left open when opening fails), closed by the destructor.
#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace karvel {

// SQLite's failure `code` said in French (Windows-1252), with the name
// SQLite's own `message` gives where it names a table or column.
std::string sqlite_reason(int code, const std::string& message);

class SqliteDb {
  public:
    enum class Mode { read_only, read_write, create };

    // Throws Error with SQLite's reason (Windows-1252) when the file cannot
    // be opened.
    SqliteDb(const std::string& path, Mode mode);
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Runs statements that return no rows; throws Error with the reason.
    void exec(const std::string& sql);
    // The reason of the last failure, Windows-1252.
    std::string last_error() const;
    sqlite3* get() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// One prepared statement, finalized by the destructor; throws Error with
// the reason when it cannot be prepared.
class SqliteStatement {
  public:
    SqliteStatement(const SqliteDb& db, const std::string& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    sqlite3_stmt* get() const { return st_; }

  private:
    sqlite3_stmt* st_ = nullptr;
};

}  // namespace karvel
