#include "sector/ground_pieces.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>

#include "core/geometry.h"

namespace karvel {

namespace {

using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;
using ClipperLib::PolyNode;
using ClipperLib::PolyTree;

// Positions as whole numbers of 1e-7 degree from the outline's first point,
// longitudes followed the short way round from it.
constexpr double kUnits = 1e7;

struct Frame {
    double lat0 = 0, lon0 = 0;
    IntPoint to_int(const geo_point& p) const {
        return {std::llround((p.latitude - lat0) * kUnits),
                std::llround(static_cast<double>(lon_near(p.longitude, lon0) - lon0) * kUnits)};
    }
    // X is the latitude and Y the longitude: the cuts run along X = const
    // would be east-west; they are taken on Y (north-south lines).
    geo_point to_geo(const IntPoint& p) const {
        return {lat0 + static_cast<double>(p.X) / kUnits,
                normal_lon(lon0 + static_cast<double>(p.Y) / kUnits)};
    }
};

Paths region(const Paths& subject, const Path* clip) {
    ClipperLib::Clipper c;
    c.AddPaths(subject, ClipperLib::ptSubject, true);
    if (clip) c.AddPath(*clip, ClipperLib::ptClip, true);
    Paths out;
    c.Execute(clip ? ClipperLib::ctIntersection : ClipperLib::ctUnion, out,
              ClipperLib::pftEvenOdd, ClipperLib::pftNonZero);
    return out;
}

PolyTree tree_of(const Paths& paths) {
    ClipperLib::Clipper c;
    c.AddPaths(paths, ClipperLib::ptSubject, true);
    PolyTree tree;
    c.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    return tree;
}

void pieces_of(const Paths& area, const Frame& f, std::vector<t_point>& out, int depth);

// One outer contour of a tree and its holes (the islands inside its holes
// are outer contours of their own, taken by the caller's walk).
void piece(const PolyNode& outer, const Frame& f, std::vector<t_point>& out, int depth) {
    if (outer.Contour.size() < 3) return;
    if (outer.Childs.empty() || depth > 8) {
        t_point ring;
        for (const IntPoint& p : outer.Contour) ring.push_back(f.to_geo(p));
        out.push_back(std::move(ring));
        return;
    }
    Paths area{outer.Contour};
    std::vector<ClipperLib::cInt> cuts;
    ClipperLib::cInt lo = outer.Contour[0].Y, hi = lo, bottom = outer.Contour[0].X, top = bottom;
    for (const IntPoint& p : outer.Contour) {
        lo = std::min(lo, p.Y);
        hi = std::max(hi, p.Y);
        bottom = std::min(bottom, p.X);
        top = std::max(top, p.X);
    }
    for (const PolyNode* hole : outer.Childs) {
        area.push_back(hole->Contour);
        ClipperLib::cInt a = hole->Contour[0].Y, b = a;
        for (const IntPoint& p : hole->Contour) {
            a = std::min(a, p.Y);
            b = std::max(b, p.Y);
        }
        cuts.push_back(a + (b - a) / 2);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cuts.insert(cuts.begin(), lo - 1);
    cuts.push_back(hi + 1);
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const Path strip{{bottom - 1, cuts[i]},
                         {top + 1, cuts[i]},
                         {top + 1, cuts[i + 1]},
                         {bottom - 1, cuts[i + 1]}};
        pieces_of(region(area, &strip), f, out, depth + 1);
    }
}

void walk(const PolyNode& node, const Frame& f, std::vector<t_point>& out, int depth) {
    for (const PolyNode* child : node.Childs) {
        if (!child->IsHole()) piece(*child, f, out, depth);
        walk(*child, f, out, depth);  // islands inside holes
    }
}

void pieces_of(const Paths& area, const Frame& f, std::vector<t_point>& out, int depth) {
    const PolyTree tree = tree_of(area);
    walk(tree, f, out, depth);
}

}  // namespace

std::vector<t_point> hole_free_pieces(const std::vector<t_point>& rings) {
    if (rings.empty() || rings[0].empty()) return {};
    if (rings.size() == 1) return {rings[0]};
    const Frame f{rings[0][0].latitude, rings[0][0].longitude};
    Paths area;
    for (const t_point& ring : rings) {
        Path p;
        for (const geo_point& g : ring) p.push_back(f.to_int(g));
        if (p.size() >= 3) area.push_back(std::move(p));
    }
    std::vector<t_point> out;
    pieces_of(area, f, out, 0);
    return out;
}

}  // namespace karvel
