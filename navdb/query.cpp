#include "navdb/query.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

bool is_sql_integer(const std::string& text) {
    const size_t digits = text.size() - (!text.empty() && text[0] == '-');
    return digits >= 1 && digits <= 19 &&
           std::all_of(text.end() - static_cast<std::ptrdiff_t>(digits), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string sql_quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'') q += '\'';
        q += c;
    }
    q += '\'';
    return q;
}

void ResultSet::clear() {
    names_.clear();
    index_.clear();
    blocks_.clear();
    count_ = 0;
    text_.clear();
    text_.shrink_to_fit();
}

void ResultSet::set_columns(std::vector<std::string> names) {
    clear();
    names_ = std::move(names);
    for (size_t i = 0; i < names_.size(); ++i) index_.try_emplace(names_[i], static_cast<int>(i));
}

void ResultSet::add_text(std::string_view s) {
    Cell c{Kind::Text, {.i = 0}};
    c.v.t.offset = static_cast<uint32_t>(text_.size());
    c.v.t.length = static_cast<uint32_t>(s.size());
    if (text_.size() + s.size() > std::numeric_limits<uint32_t>::max())
        throw Error(w1252("Résultat trop volumineux"));
    text_.append(s);
    push(c);
}

void ResultSet::add_utf8(std::string_view utf8) {
    bool ascii = true;
    for (unsigned char ch : utf8)
        if (ch >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        add_text(utf8);
    else
        add_text(utf8_to_cp1252(utf8));
}

int ResultSet::row_count() const {
    return names_.empty() ? 0 : static_cast<int>(count_ / names_.size());
}

int ResultSet::column_index(std::string_view name) const {
    auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
}

std::string ResultSet::text(int row, int col) const {
    const Cell& c = cell(row, col);
    switch (c.kind) {
        case Kind::Null:
            return {};
        case Kind::Integer:
            return std::to_string(c.v.i);
        case Kind::Real: {
            char buf[40];  // "." whatever the locale
            const auto r =
                std::to_chars(buf, buf + sizeof buf, c.v.d, std::chars_format::general, 15);
            return std::string(buf, r.ptr);
        }
        case Kind::Text:
            return text_.substr(c.v.t.offset, c.v.t.length);
    }
    return {};
}

double ResultSet::real(int row, int col) const {
    const Cell& c = cell(row, col);
    switch (c.kind) {
        case Kind::Null:
            return 0;
        case Kind::Integer:
            return static_cast<double>(c.v.i);
        case Kind::Real:
            return c.v.d;
        case Kind::Text: {
            const std::string s = text_.substr(c.v.t.offset, c.v.t.length);
            if (s.empty()) return 0;
            double v = 0;  // "." whatever the locale
            const char* begin = s.data() + (s[0] == '+' ? 1 : 0);
            const auto r = std::from_chars(begin, s.data() + s.size(), v);
            if (r.ec != std::errc() || r.ptr != s.data() + s.size())
                throw Error(quoted_value(s) +
                            w1252(" n'est pas une valeur en virgule flottante correcte"));
            return v;
        }
    }
    return 0;
}

int64_t ResultSet::integer(int row, int col) const {
    const Cell& c = cell(row, col);
    switch (c.kind) {
        case Kind::Null:
            return 0;
        case Kind::Integer:
            return c.v.i;
        case Kind::Real:
            return nearest_even(c.v.d);
        case Kind::Text:
            return str_to_int(text_.substr(c.v.t.offset, c.v.t.length));
    }
    return 0;
}

// ---- Query -----------------------------------------------------------------

void Query::set_connection(std::shared_ptr<Connection> connection) {
    close();
    connection_ = std::move(connection);
}

void Query::set_sql(std::vector<std::string> lines) {
    close();
    sql_ = std::move(lines);
}

void Query::clear_sql() {
    close();
    sql_.clear();
}

std::string Query::sql_text() const {
    std::string s;
    for (size_t i = 0; i < sql_.size(); ++i) {
        if (i) s += "\r\n";
        s += sql_[i];
    }
    return s;
}

std::string explain_database_error(const std::string& engine) {
    // The built-in backend says "table absente : X", SQLite through ODBC "no
    // such table: X"; Access drivers name it in their own words, which stand
    // as they are.
    std::string marker = w1252("table absente : ");
    size_t at = engine.find(marker);
    if (at == std::string::npos) at = engine.find(marker = "no such table: ");
    if (at == std::string::npos) return engine;
    size_t end = at + marker.size();
    while (end < engine.size() && engine[end] != ' ' && engine[end] != '\n' && engine[end] != ')')
        ++end;
    const std::string table = engine.substr(at + marker.size(), end - at - marker.size());
    return w1252("Ce fichier n'est pas une base de navigation : la table \"") + table +
           w1252("\" n'y est pas (") + engine + ")";
}

void Query::open() {
    close();
    if (!connection_) throw Error(w1252("Aucune base de données n'est ouverte"));
    try {
        connection_->execute(sql_text(), result_);
    } catch (const Error& e) {
        throw Error(explain_database_error(e.what()));
    }
    active_ = true;
    row_ = 0;
}

void Query::close() {
    if (!active_) return;
    active_ = false;
    row_ = 0;
    result_.clear();
}

void Query::first() {
    require_row();
    row_ = 0;
}

void Query::next() {
    require_row();
    if (row_ < result_.row_count()) ++row_;
}

bool Query::eof() const {
    return !active_ || row_ >= result_.row_count();
}

int Query::record_count() const {
    return active_ ? result_.row_count() : 0;
}

void Query::require_row() const {
    if (!active_) throw Error(w1252("Opération impossible sur un ensemble de données fermé"));
}

int Query::field_index(std::string_view name) const {
    require_row();
    const int i = result_.column_index(name);
    if (i < 0) throw Error(w1252("Champ '") + std::string(name) + w1252("' non trouvé"));
    return i;
}

std::string Query::text(int field) const {
    if (eof()) return {};  // no current row reads as NULL
    std::string t = result_.text(row_, field);
    if (text_limit_ > 0 && t.size() > text_limit_) {
        t.resize(text_limit_);
        ++texts_cut_;
    }
    return t;
}

double Query::real(int field) const {
    if (eof()) return 0;
    return result_.real(row_, field);
}

bool Query::is_null(std::string_view name) const {
    return eof() || result_.kind(row_, field_index(name)) == ResultSet::Kind::Null;
}

int32_t Query::integer(int field) const {
    if (eof()) return 0;
    const int64_t v = result_.integer(row_, field);
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        throw Error(std::to_string(v) + w1252(" n'est pas une valeur entière correcte"));
    return static_cast<int32_t>(v);
}

}  // namespace karvel
