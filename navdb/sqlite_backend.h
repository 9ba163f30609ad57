// The embedded backend: statements run on an SQLite file opened read-only.
#pragma once

#include <string>

#include "navdb/query.h"

struct sqlite3;

namespace karvel {

class SqliteConnection : public Connection {
  public:
    // Throws Error when the file is missing or is not an SQLite database.
    explicit SqliteConnection(const std::string& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    void execute(const std::string& sql, ResultSet& result) override;

  private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

}  // namespace karvel
