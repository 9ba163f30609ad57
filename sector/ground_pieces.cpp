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

// The most outline points clipped whole across all the strips of one area.
constexpr size_t kWholeClips = 4'000'000;

// An outer contour and its holes to be cut into strips at `cuts`: the
// holes each strip meets, and the cut lines' extent across.
struct Strips {
    std::vector<ClipperLib::cInt> cuts;
    std::vector<Paths> holes;  // by strip
    ClipperLib::cInt across_from = 0, across_to = 0;
    Path strip(size_t a, size_t b) const {
        return {{across_from, cuts[a]},
                {across_to, cuts[a]},
                {across_to, cuts[b]},
                {across_from, cuts[b]}};
    }
};

// The outer contour's part between the cuts `first` and `last` cut into
// the strips between each cut and the next. It is halved again and again,
// so that each halving clips only what the last one left, and each strip
// takes the holes it meets alone: clipping the whole area once a strip
// would take the holes' count times their points.
void split(const Paths& outer, const Strips& s, size_t first, size_t last, const Frame& f,
           std::vector<t_point>& out, int depth) {
    if (last - first == 1) {
        Paths area = outer;
        area.insert(area.end(), s.holes[first].begin(), s.holes[first].end());
        const Path strip = s.strip(first, last);
        pieces_of(region(area, &strip), f, out, depth + 1);
        return;
    }
    const size_t middle = first + (last - first) / 2;
    const Path west = s.strip(first, middle), east = s.strip(middle, last);
    split(region(outer, &west), s, first, middle, f, out, depth);
    split(region(outer, &east), s, middle, last, f, out, depth);
}

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
    Strips s;
    ClipperLib::cInt lo = outer.Contour[0].Y, hi = lo, bottom = outer.Contour[0].X, top = bottom;
    for (const IntPoint& p : outer.Contour) {
        lo = std::min(lo, p.Y);
        hi = std::max(hi, p.Y);
        bottom = std::min(bottom, p.X);
        top = std::max(top, p.X);
    }
    std::vector<std::pair<ClipperLib::cInt, ClipperLib::cInt>> spans;  // each hole's, along Y
    for (const PolyNode* hole : outer.Childs) {
        ClipperLib::cInt a = hole->Contour[0].Y, b = a;
        for (const IntPoint& p : hole->Contour) {
            a = std::min(a, p.Y);
            b = std::max(b, p.Y);
        }
        spans.emplace_back(a, b);
        s.cuts.push_back(a + (b - a) / 2);
    }
    std::sort(s.cuts.begin(), s.cuts.end());
    s.cuts.erase(std::unique(s.cuts.begin(), s.cuts.end()), s.cuts.end());
    s.cuts.insert(s.cuts.begin(), lo - 1);
    s.cuts.push_back(hi + 1);
    s.across_from = bottom - 1;
    s.across_to = top + 1;
    // A hole goes to every strip its span meets, edges included.
    s.holes.resize(s.cuts.size() - 1);
    for (size_t h = 0; h < spans.size(); ++h) {
        const auto from =
            std::upper_bound(s.cuts.begin(), s.cuts.end(), spans[h].first) - s.cuts.begin();
        const auto to =
            std::lower_bound(s.cuts.begin(), s.cuts.end(), spans[h].second) - s.cuts.begin();
        for (auto k = std::max<long>(from - 1, 0); k < to && k < static_cast<long>(s.holes.size());
             ++k)
            s.holes[static_cast<size_t>(k)].push_back(outer.Childs[h]->Contour);
    }
    // The outline clipped whole for each strip keeps every point as its
    // edges give it; only past a few million points is it halved first,
    // which moves a point made on a cut by 1e-7 degree at most.
    const size_t strips = s.cuts.size() - 1;
    if (strips * outer.Contour.size() > kWholeClips) {
        split({outer.Contour}, s, 0, strips, f, out, depth);
        return;
    }
    for (size_t k = 0; k < strips; ++k) split({outer.Contour}, s, k, k + 1, f, out, depth);
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
