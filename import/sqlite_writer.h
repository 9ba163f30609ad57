// An SQLite database being written: the connection and prepared INSERTs
// bound field by field (Windows-1252 text goes in as UTF-8).
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "navdb/sqlite_db.h"

namespace karvel::xplane {

// The database being written; its failures say "écriture de la base".
class Db {
  public:
    explicit Db(const std::string& path) : db_(open(path)) {}
    void exec(const std::string& sql) {
        try {
            db_.exec(sql);
        } catch (const Error& e) {
            throw Error(w1252("écriture de la base : ") + e.what());
        }
    }
    sqlite3* get() { return db_.get(); }
    [[noreturn]] void fail(const char* what) { fail(what, db_.last_error()); }

  private:
    [[noreturn]] static void fail(const char* what, const std::string& reason) {
        throw Error(w1252("écriture de la base (") + w1252(what) + ") : " + reason);
    }
    static SqliteDb open(const std::string& path) {
        try {
            return SqliteDb(path, SqliteDb::Mode::create);
        } catch (const Error& e) {
            fail("ouverture", e.what());
        }
    }
    SqliteDb db_;
};

// One prepared INSERT, bound field by field.
class Insert {
  public:
    Insert(Db& db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db.get(), sql, -1, &st_, nullptr) != SQLITE_OK)
            db.fail("préparation");
    }
    ~Insert() { sqlite3_finalize(st_); }
    Insert& operator()(long long v) {
        sqlite3_bind_int64(st_, ++i_, v);
        return *this;
    }
    Insert& operator()(int v) { return (*this)(static_cast<long long>(v)); }
    Insert& operator()(double v) {
        sqlite3_bind_double(st_, ++i_, v);
        return *this;
    }
    Insert& operator()(std::optional<double> v) { return v ? (*this)(*v) : null(); }
    Insert& null() {
        sqlite3_bind_null(st_, ++i_);
        return *this;
    }
    Insert& id(long long v) { return v ? (*this)(v) : null(); }  // 0: none
    Insert& text(const std::string& v) { return v.empty() ? null() : (*this)(v); }
    Insert& operator()(const std::string& v) {  // Windows-1252 inside, UTF-8 in the database
        const std::string u = cp1252_to_utf8(v);
        sqlite3_bind_text(st_, ++i_, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void run() {
        if (sqlite3_step(st_) != SQLITE_DONE) db_.fail("insertion");
        sqlite3_reset(st_);
        i_ = 0;
    }

  private:
    Db& db_;
    sqlite3_stmt* st_ = nullptr;
    int i_ = 0;
};

}  // namespace karvel::xplane
