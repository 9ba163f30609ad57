// The rows of tests/program/data/requests.tsv: what a user types, and what
// it asks or how it is refused.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support.h"

namespace karvel::test {

struct RequestRow {
    std::vector<std::string> typed;   // UTF-8, as typed
    bool refused = false;
    std::string input;                // the option of the input refused
    std::vector<std::string> answer;  // what it asks, or the refusal's text (UTF-8)
    std::string where;                // "requests.tsv:LINE"
};

// A field with its escapes (\t \r \n \xNN) made bytes.
inline std::string unescaped(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        const char n = i + 1 < field.size() ? field[i + 1] : 0;
        if (c != '\\' || !(n == 't' || n == 'r' || n == 'n' || n == 'x')) {
            out += c;
            continue;
        }
        out += n == 't' ? '\t' : n == 'r' ? '\r' : n == 'n' ? '\n'
                                                  : static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16));
        i += n == 'x' ? 3 : 1;
    }
    return out;
}

// The rows of one kind ("airport", "region", "identity"...).
inline std::vector<RequestRow> request_rows(const std::string& kind) {
    std::vector<RequestRow> rows;
    std::istringstream file(source_file("tests/program/data/requests.tsv"));
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (!line.starts_with(kind + "\t")) continue;
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string f; std::getline(split, f, '\t');) fields.push_back(unescaped(f));
        if (line.ends_with('\t')) fields.emplace_back();
        RequestRow row;
        row.where = "requests.tsv:" + std::to_string(number);
        size_t i = 1;
        for (; fields[i] != "=" && fields[i] != "!"; ++i) row.typed.push_back(fields[i]);
        row.refused = fields[i] == "!";
        if (row.refused) row.input = fields[++i];
        row.answer.assign(fields.begin() + static_cast<std::ptrdiff_t>(i) + 1, fields.end());
        rows.push_back(row);
    }
    return rows;
}

}  // namespace karvel::test
