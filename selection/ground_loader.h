// The ground drawings of chosen airports, read from the database airport by
// airport: only those asked for are ever read.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "navdb/query.h"

namespace karvel {

// The shapes and stands of the airports `icaos`, in their order, into a
// new Ground; the codes of the airports with nothing to draw go into
// `without` (an unknown code among them); their taxiway names too where
// the database has them (`taxiway_names`).
Ground read_ground(Query& query, const std::vector<std::string>& icaos,
                   std::vector<std::string>& without, bool taxiway_names = false);

}  // namespace karvel
