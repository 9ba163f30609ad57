// The outlines' tables of a navigation database: their sources, the
// outlines with their boxes, and their points ring by ring.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "import/outlines.h"
#include "import/sqlite_writer.h"

namespace karvel::outlines {

// The statements that make the three tables.
extern const char* const kOutlineSchemaSql;

void write_outline_tables(xplane::Db& db, const std::vector<OutlineFile>& files,
                          const std::function<void(const std::string&)>& report);

}  // namespace karvel::outlines
