// The airspace outlines of a selection: those whose box meets the
// selection's box (across 180 degrees too), each whole.
#pragma once

#include "selection/loaders.h"

namespace karvel {

// Reads the outlines meeting `ctx.frame.box` and their points into
// `ctx.nav.outlines`, and tells their count in the memo; nothing for a
// database without outlines (`ctx.outlines` false).
void load_outlines(LoadContext& ctx);

}  // namespace karvel
