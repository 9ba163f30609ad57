#include "sector/border_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace karvel {

namespace {

constexpr double kSame = 1e-6;  // degrees: points this close are one

// Points of all rings made one where they lie within kSame of each other:
// each gets the number of the first point seen there.
class Vertices {
  public:
    size_t of(const geo_point& p) {
        const int64_t cy = cell(p.latitude), cx = cell(p.longitude);
        for (int64_t dy = -1; dy <= 1; ++dy)
            for (int64_t dx = -1; dx <= 1; ++dx) {
                const auto it = cells_.find(key(cy + dy, cx + dx));
                if (it == cells_.end()) continue;
                for (const size_t v : it->second)
                    if (std::fabs(points[v].latitude - p.latitude) <= kSame &&
                        std::fabs(points[v].longitude - p.longitude) <= kSame)
                        return v;
            }
        points.push_back(p);
        cells_[key(cy, cx)].push_back(points.size() - 1);
        return points.size() - 1;
    }
    std::vector<geo_point> points;

  private:
    static int64_t cell(double degrees) {
        return static_cast<int64_t>(std::floor(degrees / kSame));
    }
    static uint64_t key(int64_t y, int64_t x) {
        return (static_cast<uint64_t>(y) << 32) ^ static_cast<uint64_t>(x & 0xFFFFFFFF);
    }
    std::unordered_map<uint64_t, std::vector<size_t>> cells_;
};

using Edge = std::pair<size_t, size_t>;
Edge edge(size_t a, size_t b) {
    return a < b ? Edge{a, b} : Edge{b, a};
}

// A stretch the same whichever way round or from wherever a ring walks it:
// an open one from its smaller end, a closed one from its smallest point
// towards its smaller neighbour.
// `reversed` tells whether the ring walks it the other way.
std::vector<size_t> canonical(std::vector<size_t> run, bool closed, bool& reversed) {
    reversed = false;
    if (closed) {
        run.pop_back();
        const auto m = std::min_element(run.begin(), run.end());
        std::rotate(run.begin(), m, run.end());
        if (run.size() > 2 && run.back() < run[1]) {
            std::reverse(run.begin() + 1, run.end());
            reversed = true;
        }
        run.push_back(run.front());
        return run;
    }
    if (run.back() < run.front() ||
        (run.back() == run.front() && run.size() > 2 && run[run.size() - 2] < run[1])) {
        std::reverse(run.begin(), run.end());
        reversed = true;
    }
    return run;
}

}  // namespace

BorderLines border_lines(const std::vector<const t_point*>& rings) {
    Vertices vertices;
    std::vector<std::vector<size_t>> loops;
    for (const t_point* ring : rings) {
        std::vector<size_t> loop;
        for (const geo_point& p : *ring) {
            const size_t v = vertices.of(p);
            if (loop.empty() || loop.back() != v) loop.push_back(v);
        }
        while (loop.size() > 1 && loop.back() == loop.front()) loop.pop_back();
        loops.push_back(std::move(loop));
    }
    // Which rings use each edge.
    std::map<Edge, std::vector<size_t>> users;
    for (size_t r = 0; r < loops.size(); ++r) {
        const auto& l = loops[r];
        if (l.size() < 3) continue;
        for (size_t i = 0; i < l.size(); ++i) {
            auto& u = users[edge(l[i], l[(i + 1) % l.size()])];
            if (u.empty() || u.back() != r) u.push_back(r);
        }
    }
    BorderLines out;
    out.borders.resize(loops.size());
    std::map<std::vector<size_t>, size_t> known;
    const auto line_of = [&](const std::vector<size_t>& run, bool closed) {
        bool reversed = false;
        const auto [it, added] = known.emplace(canonical(run, closed, reversed), out.lines.size());
        if (added) {
            t_point points;
            for (const size_t v : it->first) points.push_back(vertices.points[v]);
            out.lines.push_back(std::move(points));
        }
        return BorderStep{it->second, reversed};
    };
    for (size_t r = 0; r < loops.size(); ++r) {
        const auto& l = loops[r];
        const size_t n = l.size();
        if (n < 3) continue;
        const auto& sharing = [&](size_t i) -> const std::vector<size_t>& {
            return users.at(edge(l[i % n], l[(i + 1) % n]));
        };
        // A line ends where the rings on the other side change.
        std::vector<size_t> breaks;
        for (size_t i = 0; i < n; ++i)
            if (sharing(i + n - 1) != sharing(i)) breaks.push_back(i);
        if (breaks.empty()) {
            std::vector<size_t> run(l);
            run.push_back(l.front());
            out.borders[r].push_back(line_of(run, true));
            continue;
        }
        for (size_t b = 0; b < breaks.size(); ++b) {
            const size_t from = breaks[b];
            const size_t to = b + 1 < breaks.size() ? breaks[b + 1] : breaks[0] + n;
            std::vector<size_t> run;
            for (size_t i = from; i <= to; ++i) run.push_back(l[i % n]);
            out.borders[r].push_back(line_of(run, false));
        }
    }
    return out;
}

}  // namespace karvel
