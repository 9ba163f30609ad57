// Airports' ground drawings: node chains with their curves turned into
// points, runway and helipad outlines, and how each shape is painted (its
// colour name in a sector file, its colour in the settings).
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace karvel {

// A node of a chain: a point, and the control point of the curve that leaves
// it, where it has one. The curve that comes into it is shaped by the
// control point's mirror through the node.
struct GroundNode {
    geo_point at;
    std::optional<geo_point> control;
};

// Curves are turned into points no further than this from them.
inline constexpr double kGroundToleranceM = 0.5;
// A curve has at most this many points: one whose control point lies
// kilometres away (no airport's does) is drawn less closely.
inline constexpr int kMaxCurvePoints = 256;

// The points along a chain of nodes: between two nodes a straight line when
// neither shapes it, a quadratic curve when one does, a cubic when both do,
// with as many points as keep every chord within `tolerance_m` of its curve
// (at most kMaxCurvePoints a curve). A closed chain also runs from its last node back
// to its first, and comes back without its first point repeated; an open
// one ends on its last node. Longitudes are followed the short way round
// and come back within -180..180.
t_point chain_points(const std::vector<GroundNode>& nodes, bool closed,
                     double tolerance_m = kGroundToleranceM);

// A runway's rectangle between its two ends, `width_m` wide: the corners
// left and right of each end, in order round it.
t_point runway_outline(geo_point end1, geo_point end2, double width_m);

// A helipad's rectangle round its centre, `length_m` along `heading`
// (degrees true) and `width_m` across.
t_point helipad_outline(geo_point centre, double heading, double length_m, double width_m);

// "pavement", "runway", "line": the kind as the database stores it.
const char* ground_kind_text(GroundKind kind);
std::optional<GroundKind> ground_kind_from_text(std::string_view text);

// How a shape is painted; `none` is not drawn (water, transparent surfaces,
// lines that are neither taxi centrelines nor hold lines).
enum class GroundPaint { runway, paved, unpaved, centreline, hold, stand, none };
inline constexpr size_t kGroundPaintCount = 6;

GroundPaint ground_paint(const GroundShape& shape);
// The group of a line's paint or light code (none: drawn by neither).
GroundPaint line_paint(int code);

// The colour name a sector file gives each paint ("sol_piste"...), the key
// of its colour in the settings' [sol] section ("piste"...), the name of the
// group of regions it heads, and its colour where the settings have none.
struct GroundPaintInfo {
    const char* colour_name;
    const char* key;
    const char* group;  // Windows-1252
    TColor colour;
};
const GroundPaintInfo& ground_paint_info(GroundPaint paint);

}  // namespace karvel
