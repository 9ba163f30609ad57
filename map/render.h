// The map: one painter a kind of element, and draw_map, which calls them in
// their fixed order on one canvas (the brush a painter leaves is the next
// one's starting brush, which decides whether labels sit on boxes).
#pragma once

#include <array>
#include <vector>

#include "core/model.h"
#include "core/settings.h"
#include "map/canvas.h"
#include "map/extend_point.h"
#include "map/label_cache.h"
#include "map/view.h"

namespace karvel {

using ColourTable = std::array<t_couleur, kColourCount>;

void draw_background(Canvas& canvas, const Viewport& view, TColor background, int font_size);
void draw_rings(Canvas& canvas, const Viewport& view, Pixel centre, int32_t ring_step_nm,
                TColor colour);
void draw_geography(Canvas& canvas, const Viewport& view, const std::vector<t_geo>& lines,
                    const GeoBox& box, const std::vector<t_define>& details);
// Every ring of the selected outlines, the name at the first point of each
// outline the map shows.
void draw_outlines(Canvas& canvas, const Viewport& view, const std::vector<Outline>& outlines,
                   TColor colour);
// The chosen airports' ground: the areas filled, holes left as they were,
// the unpaved first and the runways last; then the taxi centrelines and hold
// lines, and the stands' names (in a view at most kStandNamesViewNm
// across) on the background's colour, the brush the background leaves and
// this leaves. Nothing when the view is wider than kGroundViewNm or
// `colours` are not shown.
void draw_ground(Canvas& canvas, const Viewport& view, const Ground& ground,
                 const std::array<t_couleur, kGroundPaintCount>& colours, TColor background);
void draw_airways(Canvas& canvas, const Viewport& view, const std::vector<ROUTE>& airways,
                  TColor colour);
void draw_runways(Canvas& canvas, const Viewport& view, const std::vector<RUNWAY>& runways,
                  TColor colour, TColor background, ArithmeticErrors& errors);
void draw_airports(Canvas& canvas, const Viewport& view, const std::vector<Airport>& airports,
                   TColor colour);
void draw_fixes(Canvas& canvas, const Viewport& view, const std::vector<FIXE>& fixes,
                TColor colour);
void draw_vors(Canvas& canvas, const Viewport& view, const std::vector<VOR>& vors, TColor colour,
               TColor background);
void draw_ndbs(Canvas& canvas, const Viewport& view, const std::vector<VOR>& ndbs, TColor colour,
               TColor background);

void draw_procedures(Canvas& canvas, const Viewport& view, const std::vector<ROUTE>& procedures,
                     ProcedureKind kind, TColor colour, TColor background);

void draw_measure(Canvas& canvas, const MouseState& mouse, TColor colour);

// What one drawing pass reads: the tables, the selection they belong to,
// the display colours and the details entries (the GEO kinds' colours).
struct MapContent {
    const NavTables& nav;
    const SelectionFrame& frame;
    const ColourTable& colours;
    const std::vector<t_define>& details;
    t_couleur outlines{"contours", kOutlineDefaultColour, true};  // their colour, shown or not
    std::array<t_couleur, kGroundPaintCount> ground = default_ground_colours();
};

// The ground is drawn when the view is at most this many nautical miles
// across (an airport of a few miles fills a good part of it).
inline constexpr float kGroundViewNm = 15;
// The stands' names, close together on an apron, from this width down.
inline constexpr float kStandNamesViewNm = 4;

// The whole map in the pass's viewport `v`, which the caller computes before
// the pass (compute_view_edges): drawing changes no view.
void draw_map(Canvas& canvas, const Viewport& v, const MapView& view, const MapContent& content,
              ArithmeticErrors& errors);

// The view's edges for its bitmap and the selection's centre, then the map
// drawn into the bitmap with the map font and the labels of `labels`.
void draw_map(MapView& view, LabelCache& labels, const MapContent& content,
              ArithmeticErrors& errors);

}  // namespace karvel
