// Outline and ground shapes of many points or rings: the join of pieces a
// source cut at 180 degrees, the holes of one outline found for the
// GeoJSON, and a ground area with many holes cut into hole-free pieces.
// Each grows with its size times its logarithm, never with its square.
#include "bench_support.h"
#include "core/outline.h"
#include "sector/ground_pieces.h"
#include "sector/polygons.h"

using namespace karvel;

namespace {

// An outline cut at 180 degrees into an east and a west piece, `n` points
// along each side of the seam, where both pieces share every point.
std::vector<t_point> cut_outline(size_t n) {
    t_point east, west;
    for (size_t i = 0; i <= n; ++i) east.push_back({-60 + 120.0 * i / n, 180});
    east.push_back({60, 170});
    east.push_back({-60, 170});
    for (size_t i = 0; i <= n; ++i) west.push_back({60 - 120.0 * i / n, -180});
    west.push_back({-60, -170});
    west.push_back({60, -170});
    return {east, west};
}

void BM_SeamJoin(benchmark::State& state) {
    const std::vector<t_point> rings = cut_outline(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(join_at_antimeridian(rings));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SeamJoin)
    ->RangeMultiplier(4)
    ->Range(4096, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// One square of a degree with `n` small square holes on a grid in it.
std::vector<t_point> holed_area(size_t n) {
    std::vector<t_point> rings{{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};
    const size_t side = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(n))));
    const double step = 1.0 / (side + 1), h = step / 4;
    for (size_t k = 0; k < n; ++k) {
        const double lat = step * (1 + k / side), lon = step * (1 + k % side);
        rings.push_back({{lat, lon}, {lat + h, lon}, {lat + h, lon + h}, {lat, lon + h}});
    }
    return rings;
}

// Each case's work, counted: the GeoJSON's polygons, the hole-free pieces.
size_t outline_holes(const std::vector<t_point>& rings) {
    return outline_polygons(rings).size();
}
size_t ground_pieces(const std::vector<t_point>& rings) {
    return hole_free_pieces(rings).size();
}

void BM_Holes(benchmark::State& state, size_t (*cut)(const std::vector<t_point>&)) {
    const std::vector<t_point> rings = holed_area(static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(cut(rings));
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_Holes, OutlineHoles, outline_holes)
    ->RangeMultiplier(4)
    ->Range(2500, 40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_CAPTURE(BM_Holes, GroundPieces, ground_pieces)
    ->RangeMultiplier(4)
    ->Range(2500, 40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
