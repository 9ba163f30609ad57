#include "navdb/dsn.h"

#include <odbcinst.h>
#include <sql.h>

#include <vector>

#include "core/cp1252.h"
#include "navdb/access_import.h"
#include "navdb/odbc_backend.h"
#include "navdb/sqlite_backend.h"

namespace karvel {
namespace {

std::vector<std::pair<std::string, std::string>> parse_attributes(const std::string& buffer) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t start = 0;
    while (start < buffer.size() && buffer[start] != '\0') {
        size_t end = buffer.find('\0', start);
        if (end == std::string::npos) end = buffer.size();
        const std::string pair = buffer.substr(start, end - start);
        const size_t eq = pair.find('=');
        if (eq != std::string::npos) out.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
        start = end + 1;
    }
    return out;
}

bool driver_installed(const std::string& driver) {
    // unixODBC leaves the count it returns at 0: read up to the empty name.
    std::vector<char> buf(65536, '\0');
    WORD used = 0;
    if (!SQLGetInstalledDrivers(buf.data(), static_cast<WORD>(buf.size() - 2), &used)) return false;
    for (size_t i = 0; i < buf.size() && buf[i] != '\0';) {
        const std::string name(&buf[i]);
        if (equals_nocase(name, driver)) return true;
        i += name.size() + 1;
    }
    return false;
}

bool is_sqlite_driver(const std::string& driver) {
    std::string lower;
    for (char c : driver) lower += static_cast<char>(fold_case(static_cast<unsigned char>(c)));
    return lower.find("sqlite") != std::string::npos;
}

}  // namespace

bool is_access_file(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = path.substr(dot + 1);
    return equals_nocase(ext, "mdb") || equals_nocase(ext, "accdb");
}

std::string dsn_add_attributes(const std::string& dsn, const std::string& description,
                               const std::string& filename) {
    std::string b;
    b += "DSN=" + dsn;
    b += '\0';
    b += "DESCRIPTION=" + description;
    b += '\0';
    b += "DBQ=" + filename;
    b += '\0';
    b += '\0';
    return b;
}

std::string dsn_remove_attributes(const std::string& dsn) {
    std::string b = "DSN=" + dsn;
    b += '\0';
    b += '\0';
    return b;
}

bool DataSources::config_data_source(int request, const std::string& driver,
                                     const std::string& attributes) {
    const auto pairs = parse_attributes(attributes);
    std::string dsn;
    for (const auto& [k, v] : pairs)
        if (equals_nocase(k, "DSN")) dsn = v;
    if (dsn.empty()) return false;

    if (equals_nocase(driver, kBuiltinDriver)) {
        if (request == kRemoveDsn) return builtin_.erase(dsn) > 0;
        if (request != kAddDsn) return false;
        Source s;
        for (const auto& [k, v] : pairs) {
            if (equals_nocase(k, "DESCRIPTION")) s.description = v;
            if (equals_nocase(k, "DBQ")) s.filename = v;
        }
        builtin_[dsn] = s;
        return true;
    }

    // The driver manager's installer, user data sources only. The request to
    // SQLConfigDataSource needs a setup library most drivers here lack, so
    // the same entries are written directly.
    const std::string u_dsn = cp1252_to_utf8(dsn);
    SQLSetConfigMode(ODBC_USER_DSN);
    bool done = false;
    if (request == kAddDsn) {
        if (driver_installed(driver) &&
            SQLWriteDSNToIni(u_dsn.c_str(), cp1252_to_utf8(driver).c_str())) {
            done = true;
            for (const auto& [k, v] : pairs) {
                if (equals_nocase(k, "DSN")) continue;
                const std::string value = cp1252_to_utf8(v);
                done = done && SQLWritePrivateProfileString(u_dsn.c_str(), k.c_str(), value.c_str(),
                                                            "odbc.ini");
                if (is_sqlite_driver(driver) && equals_nocase(k, "DBQ")) {
                    // The SQLite drivers read the file from Database and would
                    // create an empty one for a wrong path.
                    done = done && SQLWritePrivateProfileString(u_dsn.c_str(), "Database",
                                                                value.c_str(), "odbc.ini");
                    done = done &&
                           SQLWritePrivateProfileString(u_dsn.c_str(), "NoCreat", "1", "odbc.ini");
                }
            }
        }
    } else if (request == kRemoveDsn) {
        done = SQLRemoveDSNFromIni(u_dsn.c_str());
    }
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return done;
}

bool DataSources::register_dsn(const std::string& driver, const std::string& dsn,
                               const std::string& description, const std::string& filename) {
    return config_data_source(kAddDsn, driver, dsn_add_attributes(dsn, description, filename));
}

bool DataSources::remove_dsn(const std::string& driver, const std::string& dsn) {
    return config_data_source(kRemoveDsn, driver, dsn_remove_attributes(dsn));
}

std::shared_ptr<Connection> DataSources::connect(const std::string& dsn, ProgressSink* progress) {
    auto it = builtin_.find(dsn);
    if (it == builtin_.end()) return std::make_shared<OdbcConnection>(dsn);
    return file_connection(it->second.filename, cache_dir, progress);
}

std::shared_ptr<Connection> file_connection(const std::string& path, const std::string& cache_dir,
                                            ProgressSink* progress) {
    return std::make_shared<SqliteConnection>(
        is_access_file(path) ? access_cache(path, cache_dir, progress) : path);
}

}  // namespace karvel
