// Selections, procedure paths, the sector file and the geography at world
// scale, each beside its floor.
#include "bench_support.h"

using namespace karvel;
using namespace karvel::bench;

namespace {

// The statements a selection by airport runs, for its floor.
std::vector<Statement> airport_statements_of(World& w, int radius) {
    std::vector<Statement> all{position_statement(kDenseAirport)};
    select_by_airport(w.ctx, w.height, kDenseAirport, radius);  // sets the box
    const auto s = in_loader_order(airport_statements(
        box_texts(w.frame.box.lat_min, w.frame.box.lat_max, w.frame.box.lon_min,
                  w.frame.box.lon_max)));
    all.insert(all.end(), s.begin(), s.end());
    return all;
}

template <class Select>
void selection_with_floor(benchmark::State& state, const std::vector<Statement>& statements,
                          Select&& select) {
    World& w = world();
    // The floor, best of three.
    double floor = 1e9;
    long long floor_rows = 0;
    for (int i = 0; i < 3; ++i) {
        const auto t = Clock::now();
        floor_rows = run_floor(w.raw, statements);
        floor = std::min(floor, seconds_since(t));
    }
    double total = 0;
    for (auto _ : state) {
        w.memo.lines.clear();
        const auto t = Clock::now();
        select();
        total += seconds_since(t);
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["sql_rows"] = static_cast<double>(floor_rows);
    state.counters["records"] = static_cast<double>(loaded_rows(w.nav));
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = mean / floor;
    state.SetItemsProcessed(static_cast<int64_t>(floor_rows) * state.iterations());
}

void BM_SelectByAirport(benchmark::State& state) {
    World& w = world();
    const int radius = static_cast<int>(state.range(0));
    const auto statements = airport_statements_of(w, radius);
    selection_with_floor(state, statements,
                         [&] { select_by_airport(w.ctx, w.height, kDenseAirport, radius); });
}
BENCHMARK(BM_SelectByAirport)->Arg(50)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void region_case(benchmark::State& state, const std::string& code) {
    World& w = world();
    selection_with_floor(state, in_loader_order(region_statements(code)),
                         [&] { select_by_region(w.ctx, w.height, code); });
}

void BM_SelectByRegion(benchmark::State& state) {
    region_case(state, kLargeRegion);
}
BENCHMARK(BM_SelectByRegion)->Unit(benchmark::kMillisecond);

void BM_SelectWholeDatabase(benchmark::State& state) {
    region_case(state, "");
    state.counters["peak_rss_MB"] = peak_rss_mb();
}
BENCHMARK(BM_SelectWholeDatabase)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_BuildProcedurePaths(benchmark::State& state) {
    World& w = world();
    select_by_region(w.ctx, w.height, "");
    size_t legs = 0;
    for (const auto* t : {&w.nav.sids, &w.nav.stars})
        for (const ROUTE& r : *t) legs += r.legs.size();
    for (auto _ : state) {
        state.PauseTiming();
        for (auto* t : {&w.nav.sids, &w.nav.stars})
            for (ROUTE& r : *t) r.lines.clear();
        w.memo.lines.clear();
        state.ResumeTiming();
        build_procedure_paths(w.nav, w.frame.plane, w.memo);
    }
    state.SetItemsProcessed(static_cast<int64_t>(legs) * state.iterations());
}
BENCHMARK(BM_BuildProcedurePaths)->Unit(benchmark::kMillisecond);

void BM_WriteSector(benchmark::State& state) {
    World& w = world();
    select_by_region(w.ctx, w.height, kLargeRegion);
    const std::string path = "/tmp/karvel_bench.sct";
    std::vector<std::string> lines;
    write_sector(lines, w.nav, w.frame, {});
    const std::string bytes = sector_bytes(lines);
    double floor = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto t = Clock::now();
        write_file_atomically(path, bytes);
        floor = std::min(floor, seconds_since(t));
    }
    double total = 0;
    for (auto _ : state) {
        const auto t = Clock::now();
        std::vector<std::string> written;
        write_sector(written, w.nav, w.frame, {});
        OutputFiles files;
        files.add(path, sector_bytes(written));
        files.commit();
        total += seconds_since(t);
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / floor;
}
BENCHMARK(BM_WriteSector)->Unit(benchmark::kMillisecond);

void BM_ReadGeographyLevel3(benchmark::State& state) {
    const std::string dir = KARVEL_SOURCE_DIR "/runtime/geo/";
    const char* files[] = {"10m_coastline.shp", "10m_lakes.shp", "10m_rivers_lake_centerlines.shp"};
    std::ifstream probe(dir + files[0]);
    if (!probe) {
        state.SkipWithError("no level-3 geography: run script/make-geo");
        return;
    }
    size_t bytes = 0;
    double floor = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto t = Clock::now();
        bytes = 0;
        // Each file read once into memory and its bytes laid out as numbers
        // once: the least any reader does to hand over the points.
        for (const char* f : files) {
            const std::string path = dir + f;
            const auto size = static_cast<size_t>(std::filesystem::file_size(path));
            std::vector<char> raw(size);
            FILE* in = std::fopen(path.c_str(), "rb");
            if (!in || std::fread(raw.data(), 1, size, in) != size) state.SkipWithError(f);
            if (in) std::fclose(in);
            std::vector<double> numbers(size / sizeof(double));
            std::memcpy(numbers.data(), raw.data(), numbers.size() * sizeof(double));
            benchmark::DoNotOptimize(numbers.data());
            bytes += size;
        }
        floor = std::min(floor, seconds_since(t));
    }
    double total = 0;
    size_t polylines = 0;
    for (auto _ : state) {
        const auto t = Clock::now();
        std::vector<t_geo> out;
        for (const char* f : files) read_shp_file(dir + f, "coast", out);
        total += seconds_since(t);
        polylines = out.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["polylines"] = static_cast<double>(polylines);
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / floor;
}
BENCHMARK(BM_ReadGeographyLevel3)->Unit(benchmark::kMillisecond);

}  // namespace
