// Tables of test cases kept as text beside the tests: one case a line, its
// fields separated by tabs, the first naming the table; "#" lines are
// comments; \t, \r, \n and \xNN inside a field are those bytes.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support.h"

namespace karvel::test {

struct TableRow {
    std::vector<std::string> fields;  // after the table's name
    std::string where;                // "file:line", for a failure's message
};

// A field with its escapes made bytes.
inline std::string unescaped(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const char n = i + 1 < field.size() ? field[i + 1] : 0;
        if (field[i] != '\\' || !(n == 't' || n == 'r' || n == 'n' || n == 'x')) {
            out += field[i];
            continue;
        }
        out += n == 't'   ? '\t'
               : n == 'r' ? '\r'
               : n == 'n' ? '\n'
                          : static_cast<char>(std::stoi(field.substr(i + 2, 2), nullptr, 16));
        i += n == 'x' ? 3 : 1;
    }
    return out;
}

// The rows of table `name` in the repository's file `path`.
inline std::vector<TableRow> table_rows(const std::string& path, const std::string& name) {
    std::vector<TableRow> rows;
    std::istringstream file(source_file(path));
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (!line.starts_with(name + "\t")) continue;
        TableRow row{{}, path.substr(path.rfind('/') + 1) + ":" + std::to_string(number)};
        std::istringstream split(line.substr(name.size() + 1));
        for (std::string f; std::getline(split, f, '\t');) row.fields.push_back(unescaped(f));
        if (line.ends_with('\t')) row.fields.emplace_back();
        rows.push_back(row);
    }
    if (rows.empty()) ADD_FAILURE() << "no table " << name << " in " << path;
    return rows;
}

}  // namespace karvel::test
