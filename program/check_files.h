// A sector file checked for the window, and against the navigation database
// of the current cycle: what moved, changed or went since it was made.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "navdb/query.h"
#include "sector/check.h"

namespace karvel {

// Each airport, VOR, ILS, NDB and fix of the file against the database's
// of its name (the nearest where several have it): moved more than 100 m
// (with the distance), its frequency changed, renamed (another name at its
// place, within 100 m), gone from the cycle; each
// runway threshold against the database's runway of its airport and ident.
// The findings are errors of `file`.
void compare_with_database(Query& query, const SectorDefinitions& sector, const std::string& file,
                           std::vector<Finding>& out);

// The window's check: the sector file and, beside it, its companion file
// of the same name (.ese) where there is one; runway headings against
// today's magnetic north where the program folder's model covers it.
// Throws Error for a file that cannot be read.
std::vector<Finding> check_files(const ProgramInfo& info, const std::string& sector_path);

// Line `number` (from 1) of the file as it stands, without its line end;
// "" past its end.
std::string file_line(const std::string& path, size_t number);

}  // namespace karvel
