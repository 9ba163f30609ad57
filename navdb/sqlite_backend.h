// The embedded backend: statements run on an SQLite file opened read-only.
#pragma once

#include <string>

#include "navdb/query.h"
#include "navdb/sqlite_db.h"

namespace karvel {

class SqliteConnection : public Connection {
  public:
    // Throws Error when the file is missing or is not an SQLite database.
    explicit SqliteConnection(const std::string& path);

    void execute(const std::string& sql, ResultSet& result) override;

  private:
    SqliteDb db_;
};

}  // namespace karvel
