// ODBC data sources: registering and removing the user data source, and the
// built-in driver that the embedded backend serves in-process.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/dialogs.h"
#include "core/model.h"
#include "navdb/query.h"

namespace karvel {

// The driver served in-process: an SQLite file, or an Access file imported
// once into an SQLite cache. Registering it touches no system file.
inline constexpr const char* kBuiltinDriver = "karvel SQLite";

// Installer requests.
inline constexpr int kAddDsn = 1;
inline constexpr int kRemoveDsn = 3;

// "DSN=d\0DESCRIPTION=x\0DBQ=f\0\0" and "DSN=d\0\0".
std::string dsn_add_attributes(const std::string& dsn, const std::string& description,
                               const std::string& filename);
std::string dsn_remove_attributes(const std::string& dsn);

// Access and Jet name their files by extension (.mdb, .accdb); everything
// else is SQLite.
bool is_access_file(const std::string& path);

// A connection to a database file: SQLite, or an Access file (.mdb,
// .accdb) through its SQLite copy in `cache_dir`.
std::shared_ptr<Connection> file_connection(const std::string& path, const std::string& cache_dir,
                                            ProgressSink* progress);

class DataSources {
  public:
    // Carries out one installer request with its attribute buffer; true on
    // success. Adding fails when the driver is not installed.
    bool config_data_source(int request, const std::string& driver, const std::string& attributes);

    bool register_dsn(const std::string& driver, const std::string& dsn,
                      const std::string& description, const std::string& filename);
    bool remove_dsn(const std::string& driver, const std::string& dsn);

    // A connection to the data source: the built-in driver's file (an Access
    // file imported first, with its progress), or an ODBC connection.
    std::shared_ptr<Connection> connect(const std::string& dsn, ProgressSink* progress);

    // Where imported Access files are cached.
    std::string cache_dir;

  private:
    struct Source {
        std::string description;
        std::string filename;
    };
    std::map<std::string, Source> builtin_;
};

}  // namespace karvel
