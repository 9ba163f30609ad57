// The rows of tests/program/data/requests.tsv: what a user types, and what
// it asks or how it is refused.
#pragma once

#include "table_rows.h"

namespace karvel::test {

struct RequestRow {
    std::vector<std::string> typed;   // UTF-8, as typed
    bool refused = false;
    std::string input;                // the option of the input refused
    std::vector<std::string> answer;  // what it asks, or the refusal's text (UTF-8)
    std::string where;
};

// The rows of one kind ("airport", "region", "identity"...).
inline std::vector<RequestRow> request_rows(const std::string& kind) {
    std::vector<RequestRow> rows;
    for (const TableRow& t : table_rows("tests/program/data/requests.tsv", kind)) {
        RequestRow row;
        row.where = t.where;
        auto f = t.fields.begin();
        for (; *f != "=" && *f != "!"; ++f) row.typed.push_back(*f);
        row.refused = *f == "!";
        if (row.refused) row.input = *++f;
        row.answer.assign(f + 1, t.fields.end());
        rows.push_back(row);
    }
    return rows;
}

}  // namespace karvel::test
