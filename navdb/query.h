// The query component: the one place where SQL runs.
//
// A statement is set as a list of lines (joined with line breaks), opened on
// the connection of the current database name, and its rows are read one at a
// time by column name, without regard to case. The whole result is held once
// opened, so the record count is exact and moving back to the first row is
// free. NULL reads as empty text or 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/model.h"

namespace karvel {

// An SQL statement as the query component takes it: its lines.
using Statement = std::vector<std::string>;

// A text between single quotes, an embedded quote doubled (a quote in a code
// must not end the literal); ordinary codes come out as they went in.
std::string sql_quoted(const std::string& text);

// A whole number as SQL writes one (digits, a "-" before them, 19 at most):
// only such an ID from the data goes into a statement as it is.
bool is_sql_integer(const std::string& text);

// The rows of one statement, text already in Windows-1252.
class ResultSet {
  public:
    enum class Kind : uint8_t { Null, Integer, Real, Text };

    void clear();
    void set_columns(std::vector<std::string> names);
    void add_null() { push(Cell{Kind::Null, {.i = 0}}); }
    void add_integer(int64_t v) { push(Cell{Kind::Integer, {.i = v}}); }
    void add_real(double v) { push(Cell{Kind::Real, {.d = v}}); }
    void add_text(std::string_view cp1252);
    void add_utf8(std::string_view utf8);

    int column_count() const { return static_cast<int>(names_.size()); }
    int row_count() const;
    const std::string& column_name(int c) const { return names_[static_cast<size_t>(c)]; }
    // First column of that name without regard to case; -1 when absent.
    int column_index(std::string_view name) const;

    Kind kind(int row, int col) const { return cell(row, col).kind; }
    std::string text(int row, int col) const;
    double real(int row, int col) const;
    int64_t integer(int row, int col) const;

  private:
    struct Cell {
        Kind kind;
        union {
            int64_t i;
            double d;
            struct {
                uint32_t offset;
                uint32_t length;
            } t;
        } v;
    };
    // Cells are kept in blocks of fixed size: a growing result never copies
    // what it holds, and needs no room for a copy.
    static constexpr size_t kBlockBits = 16;
    static constexpr size_t kBlock = size_t{1} << kBlockBits;
    void push(const Cell& c) {
        if ((count_ & (kBlock - 1)) == 0) blocks_.emplace_back(new Cell[kBlock]);
        blocks_.back()[count_ & (kBlock - 1)] = c;
        ++count_;
    }
    const Cell& cell(int row, int col) const {
        const size_t i = static_cast<size_t>(row) * names_.size() + static_cast<size_t>(col);
        return blocks_[i >> kBlockBits][i & (kBlock - 1)];
    }

    std::vector<std::string> names_;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> index_;
    std::vector<std::unique_ptr<Cell[]>> blocks_;
    size_t count_ = 0;
    std::string text_;  // every text cell, one after the other
};

// One open database: runs a statement and fills a result.
class Connection {
  public:
    virtual ~Connection() = default;
    virtual void execute(const std::string& sql, ResultSet& result) = 0;
};

class Query {
  public:
    // The connection statements run on; none until a database is set.
    void set_connection(std::shared_ptr<Connection> connection);
    bool has_connection() const { return connection_ != nullptr; }

    // The SQL text: replacing it closes an open result first.
    void set_sql(std::vector<std::string> lines);
    void clear_sql();
    const std::vector<std::string>& sql() const { return sql_; }
    std::string sql_text() const;

    void open();  // throws Error (no database, SQL error)
    void close();
    bool active() const { return active_; }
    void first();
    void next();
    bool eof() const;
    int record_count() const;
    int row() const { return row_; }

    // Current row by column name; a missing column throws Error.
    int field_index(std::string_view name) const;
    std::string as_text(std::string_view name) const { return text(field_index(name)); }
    double as_float(std::string_view name) const { return real(field_index(name)); }
    int32_t as_integer(std::string_view name) const { return integer(field_index(name)); }
    bool is_null(std::string_view name) const;
    // Texts longer than `bytes` cut there by text() from now on (0: none
    // cut); texts_cut() counts them.
    void set_text_limit(size_t bytes) { text_limit_ = bytes; }
    size_t texts_cut() const { return texts_cut_; }
    // The same by a position from field_index (loaders resolve names once).
    std::string text(int field) const;
    double real(int field) const;
    int32_t integer(int field) const;

  private:
    void require_row() const;

    std::shared_ptr<Connection> connection_;
    std::vector<std::string> sql_;
    ResultSet result_;
    size_t text_limit_ = 0;
    mutable size_t texts_cut_ = 0;
    bool active_ = false;
    int row_ = 0;
};

// An engine's error in words a user understands: a missing table says the
// file is not a navigation database, naming the table; the engine's own
// words follow.
std::string explain_database_error(const std::string& engine);

}  // namespace karvel
