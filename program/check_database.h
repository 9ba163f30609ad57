// A sector file against the navigation database of the current cycle:
// what moved, changed or went since the file was made.
#pragma once

#include <string>
#include <vector>

#include "navdb/query.h"
#include "sector/check.h"

namespace karvel {

// Each airport, VOR, ILS, NDB and fix of the file against the database's
// of its name (the nearest where several have it): moved more than 100 m
// (with the distance), its frequency changed, gone from the cycle; each
// runway threshold against the database's runway of its airport and ident.
// The findings are errors of `file`.
void compare_with_database(Query& query, const SectorDefinitions& sector, const std::string& file,
                           std::vector<Finding>& out);

}  // namespace karvel
