// Files beside the sector file for radar clients and map tools: the SIDs and
// STARs as a EuroScope companion file, and the whole selection as GeoJSON.
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/model.h"
#include "core/settings.h"
#include "sector/coord.h"

namespace karvel {

// The [SIDSSTARS] section of a companion file: one line per selected
// procedure and runway, "SID:AIRPORT:RUNWAY:NAME:ROUTE" (or STAR:...), the
// runway without "RW", the name without blanks, the route the procedure's
// named points in flying order. A procedure's runways are its transitions
// named "RW..." (the route then is that transition and the common part);
// without one, the runway end the procedure names; with neither it is left
// out. Lines are Windows-1252, without their line ends.
// `outside` gives the procedures' points that lie outside the selection
// (their waypoints are not loaded), by waypoint ID. A runway transition's
// runway is written as [RUNWAY] writes it: "RW09B" (both runways 09) gives
// a line for each of the airport's ends 09L and 09R. No field holds ':'.
std::vector<std::string> ese_lines(const NavTables& nav,
                                   const std::unordered_map<std::string, FIXE>& outside = {});

// The selection as an RFC 7946 FeatureCollection (UTF-8, longitude before
// latitude): points for airports, VORs, ILS localisers, NDBs and selected
// fixes (kind, ident, name, frequency); lines for paired runways, airway
// segments (with their level where known), each SID and STAR transition and
// the geography of the selection box `box` (kind, name, transition, colour
// "#rrggbb" from the display settings). A line that crosses the
// antimeridian is split there into the parts of a MultiLineString. The
// selected airspace outlines are polygons (kind "outline", their name, type,
// layer, limits, source and attribution, in `outline_colour`), cut at 180
// degrees, each ring anticlockwise. The chosen airports' ground comes
// first: areas as polygons with their holes (kind "ground"), taxi
// centrelines and hold lines (kind "groundline") and stands (kind "stand"),
// each with its airport, name, paint and colour.
std::string geojson_text(const NavTables& nav, const GeoBox& box,
                         const std::array<t_couleur, kColourCount>& colours,
                         const std::vector<t_define>& details,
                         TColor outline_colour = kOutlineDefaultColour,
                         const std::array<t_couleur, kGroundPaintCount>& ground_colours =
                             default_ground_colours());

}  // namespace karvel
