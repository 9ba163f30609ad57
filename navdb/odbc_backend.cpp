#include "navdb/odbc_backend.h"

#include <sql.h>
#include <sqlext.h>

#include <vector>

#include "core/cp1252.h"
#include "core/error.h"

namespace karvel {
namespace {

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::string out;
    SQLCHAR state[6];
    SQLCHAR text[1024];
    SQLINTEGER native = 0;
    SQLSMALLINT len = 0;
    for (SQLSMALLINT i = 1;
         SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text, &len) == SQL_SUCCESS;
         ++i) {
        if (!out.empty()) out += " ; ";
        out += reinterpret_cast<char*>(text);
    }
    return out.empty() ? "erreur ODBC" : utf8_to_cp1252(out);
}

bool ok(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

enum class ColKind { Integer, Real, Text };

ColKind kind_of(SQLSMALLINT sql_type) {
    switch (sql_type) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIGINT:
        case SQL_BIT:
            return ColKind::Integer;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return ColKind::Real;
        default:
            return ColKind::Text;
    }
}

// A statement handle freed on every path.
struct StatementHandle {
    SQLHSTMT h = SQL_NULL_HSTMT;
    ~StatementHandle() {
        if (h != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, h);
    }
};

}  // namespace

OdbcConnection::OdbcConnection(const std::string& dsn) {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw Error("ODBC : environnement indisponible");
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!ok(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        throw Error("ODBC : connexion indisponible");
    }
    std::string in = "DSN=" + cp1252_to_utf8(dsn) + ";";
    SQLCHAR out[1024];
    SQLSMALLINT out_len = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(in.data()),
                                          static_cast<SQLSMALLINT>(in.size()), out, sizeof out,
                                          &out_len, SQL_DRIVER_NOPROMPT);
    if (!ok(rc)) {
        const std::string message = diagnostics(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        throw Error("ODBC \"" + dsn + "\" : " + message);
    }
    env_ = env;
    dbc_ = dbc;
}

OdbcConnection::~OdbcConnection() {
    if (dbc_) {
        SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    }
    if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

namespace {

// The result's columns: names and kinds.
std::vector<ColKind> describe_columns(SQLHSTMT st, ResultSet& result) {
    SQLSMALLINT n = 0;
    SQLNumResultCols(st, &n);
    std::vector<std::string> names;
    std::vector<ColKind> kinds;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(n); ++c) {
        SQLCHAR name[256];
        SQLSMALLINT name_len = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(st, c, name, sizeof name, &name_len, &type, &size, &digits, &nullable);
        names.push_back(utf8_to_cp1252(reinterpret_cast<char*>(name)));
        kinds.push_back(kind_of(type));
    }
    result.set_columns(std::move(names));
    return kinds;
}

// A text value, which long values send in pieces, each ended by a NUL;
// false for NULL. A failure empties the result and throws.
bool read_text(SQLHSTMT st, SQLUSMALLINT c, std::vector<char>& chunk, std::string& text,
               ResultSet& result) {
    text.clear();
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN g =
            SQLGetData(st, c, SQL_C_CHAR, chunk.data(), static_cast<SQLLEN>(chunk.size()), &ind);
        if (g == SQL_NO_DATA) return true;
        if (!ok(g)) {
            const std::string message = diagnostics(SQL_HANDLE_STMT, st);
            result.clear();
            throw Error(message);
        }
        if (ind == SQL_NULL_DATA) return false;
        const size_t piece = (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(chunk.size()))
                                 ? chunk.size() - 1
                                 : static_cast<size_t>(ind);
        text.append(chunk.data(), piece);
        if (g == SQL_SUCCESS) return true;
    }
}

// One value of the current row into the result.
void read_value(SQLHSTMT st, SQLUSMALLINT c, ColKind kind, std::vector<char>& chunk,
                std::string& text, ResultSet& result) {
    SQLLEN ind = 0;
    switch (kind) {
        case ColKind::Integer: {
            SQLBIGINT v = 0;
            SQLGetData(st, c, SQL_C_SBIGINT, &v, 0, &ind);
            if (ind == SQL_NULL_DATA)
                result.add_null();
            else
                result.add_integer(v);
            break;
        }
        case ColKind::Real: {
            double v = 0;
            SQLGetData(st, c, SQL_C_DOUBLE, &v, 0, &ind);
            if (ind == SQL_NULL_DATA)
                result.add_null();
            else
                result.add_real(v);
            break;
        }
        case ColKind::Text:
            if (read_text(st, c, chunk, text, result))
                result.add_utf8(text);
            else
                result.add_null();
            break;
    }
}

}  // namespace

void OdbcConnection::execute(const std::string& sql, ResultSet& result) {
    StatementHandle st;
    if (!ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st.h)))
        throw Error(diagnostics(SQL_HANDLE_DBC, dbc_));
    std::string utf8 = cp1252_to_utf8(sql);
    if (!ok(SQLExecDirect(st.h, reinterpret_cast<SQLCHAR*>(utf8.data()),
                          static_cast<SQLINTEGER>(utf8.size()))))
        throw Error(diagnostics(SQL_HANDLE_STMT, st.h));
    const std::vector<ColKind> kinds = describe_columns(st.h, result);
    std::string text;
    std::vector<char> chunk(4096);
    SQLRETURN rc;
    while ((rc = SQLFetch(st.h)) != SQL_NO_DATA) {
        if (!ok(rc)) {
            const std::string message = diagnostics(SQL_HANDLE_STMT, st.h);
            result.clear();
            throw Error(message);
        }
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(kinds.size()); ++c)
            read_value(st.h, c, kinds[c - 1], chunk, text, result);
    }
}

}  // namespace karvel
