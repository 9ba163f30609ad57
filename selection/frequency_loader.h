// The radio frequencies of the selected airports.
#pragma once

#include "selection/loaders.h"

namespace karvel {

// The frequencies of `ctx.nav.airports` into `ctx.nav.frequencies`, by
// airport in the airports' order and in the database's order within one;
// nothing for a database without them (`ctx.frequencies` false) and for a
// frequency outside the air band (a damaged database).
void load_frequencies(LoadContext& ctx);

}  // namespace karvel
