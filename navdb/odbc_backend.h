// The ODBC backend: statements run through unixODBC on a registered data
// source, with whatever driver it names.
#pragma once

#include <string>

#include "navdb/query.h"

namespace karvel {

class OdbcConnection : public Connection {
  public:
    // Connects with "DSN=<dsn>"; throws Error with the driver's diagnostics.
    explicit OdbcConnection(const std::string& dsn);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    void execute(const std::string& sql, ResultSet& result) override;

  private:
    void* env_ = nullptr;
    void* dbc_ = nullptr;
};

}  // namespace karvel
