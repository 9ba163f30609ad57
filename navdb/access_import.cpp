#include "navdb/access_import.h"

#include <glib.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" {
#include <mdbtools.h>
}

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "navdb/sqlite_db.h"

namespace karvel {
namespace {

// Single-column indexes on the columns the selections join and filter on.
struct IndexSpec {
    const char* table;
    const char* column;
};
constexpr IndexSpec kNavIndexes[] = {
    {"airports", "ICAO"},        {"airports", "latitude"},      {"navaids", "type"},
    {"navaids", "latitude"},     {"waypoints", "latitude"},     {"runways", "airportID"},
    {"ILSes", "runwayID"},       {"Terminals", "airportID"},    {"terminallegs", "terminalid"},
    {"airwaylegs", "airwayid"},  {"airwaylegs", "waypoint1ID"}, {"airportlookup", "extid"},
    {"navaidlookup", "country"}, {"waypointlookup", "country"}, {"navaidtypes", "type"},
    {"config", "key"},
};

std::string quote_ident(const std::string& name) {
    std::string q = "\"";
    for (char c : name) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

const char* sqlite_type(int mdb_type) {
    switch (mdb_type) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return "INTEGER";
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_MONEY:
            return "REAL";
        case MDB_NUMERIC:
            return "NUMERIC";
        case MDB_BINARY:
        case MDB_OLE:
            return "BLOB";
        default:  // text, memo, dates, replication IDs
            return "TEXT COLLATE NOCASE";
    }
}

std::string take_gstring(char* s) {
    std::string out = s ? s : "";
    g_free(s);
    return out;
}

// One bound value of the current row.
void bind_value(MdbHandle* mdb, MdbColumn* col, sqlite3_stmt* st, int index) {
    const int start = col->cur_value_start;
    const int len = col->cur_value_len;
    auto* buf = static_cast<unsigned char*>(mdb->pg_buf);
    if (col->col_type == MDB_BOOL) {  // the value lives in the null bit
        sqlite3_bind_int(st, index, len == 0 ? 1 : 0);
        return;
    }
    if (len == 0) {
        sqlite3_bind_null(st, index);
        return;
    }
    switch (col->col_type) {
        case MDB_BYTE:
            sqlite3_bind_int(st, index, mdb_get_byte(buf, start));
            break;
        case MDB_INT:
            sqlite3_bind_int(st, index, static_cast<int16_t>(mdb_get_int16(buf, start)));
            break;
        case MDB_LONGINT:
        case MDB_COMPLEX:
            sqlite3_bind_int64(st, index, static_cast<int32_t>(mdb_get_int32(buf, start)));
            break;
        case MDB_FLOAT:
            sqlite3_bind_double(st, index, static_cast<double>(mdb_get_single(buf, start)));
            break;
        case MDB_DOUBLE:
            sqlite3_bind_double(st, index, mdb_get_double(buf, start));
            break;
        case MDB_MONEY: {
            int64_t units = 0;  // little-endian, ten-thousandths
            for (int i = 7; i >= 0; --i) units = (units << 8) | buf[start + i];
            sqlite3_bind_double(st, index, static_cast<double>(units) / 10000.0);
            break;
        }
        case MDB_DATETIME: {
            const std::string t = access_date_text(mdb_get_double(buf, start));
            sqlite3_bind_text(st, index, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case MDB_NUMERIC: {
            const std::string t =
                take_gstring(mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec));
            sqlite3_bind_text(st, index, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case MDB_BINARY:
            sqlite3_bind_blob(st, index, buf + start, len, SQLITE_TRANSIENT);
            break;
        case MDB_OLE: {
            size_t size = 0;
            void* data = mdb_ole_read_full(mdb, col, &size);
            sqlite3_bind_blob(st, index, data, static_cast<int>(size), SQLITE_TRANSIENT);
            free(data);
            break;
        }
        case MDB_MEMO: {
            // libmdb cuts a memo at its bind size: make room for this one
            // (its length is in the low bits of the first word; UTF-8 may
            // take three bytes for each stored byte).
            const size_t stored = static_cast<size_t>(mdb_get_int32(buf, start)) & 0x3FFFFFFF;
            const size_t normal = mdb->bind_size;
            mdb_set_bind_size(mdb, std::max(normal, stored * 3 + 16));
            const std::string t = take_gstring(mdb_col_to_string(mdb, buf, start, MDB_MEMO, len));
            mdb_set_bind_size(mdb, normal);
            sqlite3_bind_text(st, index, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const std::string t =
                take_gstring(mdb_col_to_string(mdb, buf, start, col->col_type, len));
            sqlite3_bind_text(st, index, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        }
    }
}

struct MdbCloser {
    void operator()(MdbHandle* m) const { mdb_close(m); }
};
struct TableCloser {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

bool has_column(const SqliteDb& db, const std::string& table, const std::string& column) {
    const SqliteStatement st(db,
                             "select 1 from pragma_table_info(?) where name = ? collate nocase");
    sqlite3_bind_text(st.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st.get(), 2, column.c_str(), -1, SQLITE_TRANSIENT);
    return sqlite3_step(st.get()) == SQLITE_ROW;
}

using TablePtr = std::unique_ptr<MdbTableDef, TableCloser>;

// The rows of every table, for the progress bar.
long long row_count(const std::vector<MdbCatalogEntry*>& tables) {
    long long total = 0;
    for (MdbCatalogEntry* entry : tables) {
        TablePtr t(mdb_read_table(entry));
        if (t) total += t->num_rows;
    }
    return total;
}

// One Access table copied whole into its SQLite table, with an index on
// each ID column; `done` counts the rows copied so far.
void copy_table(SqliteDb& db, MdbHandle* mdb, MdbCatalogEntry* entry, ProgressSink* progress,
                long long& done) {
    TablePtr table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()))
        throw Error(w1252("Fichier Access endommagé (table illisible) : ") +
                    utf8_to_cp1252(entry->object_name));
    const std::string name = entry->object_name;
    std::vector<MdbColumn*> cols;
    std::string create = "CREATE TABLE " + quote_ident(name) + " (";
    for (unsigned c = 0; c < table->num_cols; ++c) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        cols.push_back(col);
        if (c) create += ", ";
        create += quote_ident(col->name) + " " + sqlite_type(col->col_type);
    }
    create += ")";
    db.exec(create);
    if (cols.empty()) return;

    // OLE values are read through a bound buffer as large as the chunks
    // libmdb copies into it.
    std::vector<std::unique_ptr<char[]>> ole_buffers;
    for (unsigned c = 0; c < cols.size(); ++c)
        if (cols[c]->col_type == MDB_OLE) {
            ole_buffers.emplace_back(new char[MDB_BIND_SIZE * 64 + 64]());
            mdb_bind_column(table.get(), static_cast<int>(c + 1), ole_buffers.back().get(),
                            nullptr);
        }

    std::string insert = "INSERT INTO " + quote_ident(name) + " VALUES (";
    for (size_t c = 0; c < cols.size(); ++c) insert += c ? ",?" : "?";
    insert += ")";
    const SqliteStatement st(db, insert);
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        for (size_t c = 0; c < cols.size(); ++c)
            bind_value(mdb, cols[c], st.get(), static_cast<int>(c + 1));
        if (sqlite3_step(st.get()) != SQLITE_DONE) throw Error(db.last_error());
        sqlite3_reset(st.get());
        ++done;
        if (progress && done % 512 == 0)
            progress->set_position(static_cast<int>(std::min<long long>(done, 0x7FFFFFFF)));
    }

    for (MdbColumn* col : cols)  // every ID column
        if (equals_nocase(col->name, "id"))
            db.exec("CREATE INDEX " + quote_ident("idx_" + name + "_" + col->name) + " ON " +
                    quote_ident(name) + " (" + quote_ident(col->name) + ")");
}

// The indexes of the navigation joins, on the tables and columns there are.
void index_navigation(SqliteDb& db, const std::vector<MdbCatalogEntry*>& tables) {
    for (const IndexSpec& ix : kNavIndexes) {
        bool table_found = false;
        for (MdbCatalogEntry* entry : tables)
            if (equals_nocase(entry->object_name, ix.table)) table_found = true;
        if (!table_found || !has_column(db, ix.table, ix.column)) continue;
        db.exec("CREATE INDEX IF NOT EXISTS " +
                quote_ident(std::string("nav_") + ix.table + "_" + ix.column) + " ON " +
                quote_ident(ix.table) + " (" + quote_ident(ix.column) + ")");
    }
}

}  // namespace

std::string access_date_text(double days) {
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return {};
    // The whole part counts days from 1899-12-30 (negative before it); the
    // fraction is the time of day whatever the sign.
    long long day = static_cast<long long>(std::trunc(days));
    long long seconds = std::llround(std::fabs(days - static_cast<double>(day)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += days < 0 ? -1 : 1;
    }
    // Civil date from a day count (proleptic Gregorian), counting from
    // 0000-03-01: 1899-12-30 is day 693899.
    const long long z = day + 693899;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char text[128];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d,
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

void import_access(const std::string& mdb_path, const std::string& sqlite_path,
                   ProgressSink* progress) {
    const std::string native = fs_path(mdb_path).string();
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(native.c_str(), MDB_NOFLAGS));
    if (!mdb) throw Error(w1252("Fichier Access illisible : \"") + path_text(mdb_path) + "\"");
    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        throw Error(w1252("Fichier Access endommagé (catalogue illisible) : \"") +
                    path_text(mdb_path) + "\"");

    std::vector<MdbCatalogEntry*> tables;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) tables.push_back(entry);
    }

    SqliteDb db(fs_path(sqlite_path).string(), SqliteDb::Mode::create);
    db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
    if (progress) {
        progress->set_maximum(static_cast<int>(std::min<long long>(row_count(tables), 0x7FFFFFFF)));
        progress->set_position(0);
    }
    long long done = 0;
    for (MdbCatalogEntry* entry : tables) copy_table(db, mdb.get(), entry, progress, done);
    index_navigation(db, tables);
    db.exec("COMMIT");
    if (progress) progress->set_position(static_cast<int>(std::min<long long>(done, 0x7FFFFFFF)));
}

}  // namespace karvel
