// The checker on a client file of 20 MB and its companion file, made here
// from a fixed seed: fixes, navaids, airports with runways, airway and
// outline lines naming points by their names or coordinates, positions,
// procedures and sectors.
#include "bench_support.h"
#include "sector/check.h"
#include "sector/coord.h"

namespace karvel::bench {

namespace {

std::string place(double lat, double lon, char sep) {
    const CoordText c = format_coord({lat, lon});
    return c.latitude + sep + c.longitude;
}

// The two files in `dir`, about `megabytes` MB of sector file.
void make_files(const std::string& sct, const std::string& ese, size_t megabytes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(-60, 60), lon(-179, 179), step(-0.5, 0.5);
    std::ofstream s(sct, std::ios::binary), e(ese, std::ios::binary);
    s << "#define coast 12615680\r\n[INFO]\r\nBANC\r\nBANC_CTR\r\nXXXX\r\nN045.00.00.000\r\n"
         "E005.00.00.000\r\n60\r\n42.4\r\n-2.0\r\n[FIXES]\r\n";
    const size_t fixes = 20000;
    std::vector<std::pair<double, double>> at;
    for (size_t i = 0; i < fixes; ++i) {
        at.emplace_back(lat(random), lon(random));
        s << "F" << i << " " << place(at.back().first, at.back().second, ' ') << "\r\n";
    }
    s << "[AIRPORT]\r\n";
    for (size_t i = 0; i < 2000; ++i)
        s << "A" << i << " 118.000 " << place(at[i].first, at[i].second, ' ') << " D\r\n";
    s << "[RUNWAY]\r\n";
    for (size_t i = 0; i < 2000; ++i)
        s << "09 27 000 000 " << place(at[i].first, at[i].second, ' ') << " "
          << place(at[i].first, at[i].second + 0.02, ' ') << " A" << i << "\r\n";
    s << "[HIGH AIRWAY]\r\n";
    for (size_t i = 1; i < fixes; ++i)
        s << "J" << i % 500 << " F" << i - 1 << " F" << i - 1 << " F" << i << " F" << i << "\r\n";
    s << "[GEO]\r\n";
    double y = 0, x = 0;
    while (static_cast<size_t>(s.tellp()) < megabytes << 20) {
        const double ny = std::clamp(y + step(random), -80.0, 80.0);
        const double nx = std::clamp(x + step(random), -179.0, 179.0);
        s << "cote " << place(y, x, ' ') << " " << place(ny, nx, ' ') << " coast\r\n";
        y = ny, x = nx;
    }
    e << "[POSITIONS]\r\n";
    for (size_t i = 0; i < 2000; ++i)
        e << "A" << i << "_TWR:T:118.000:T" << i << ":T:A" << i << ":TWR:-:-:-:-\r\n";
    e << "[SIDSSTARS]\r\n";
    for (size_t i = 0; i < 2000; ++i)
        e << "SID:A" << i << ":09:S" << i << ":F" << i << " F" << i + 1 << "\r\n";
    e << "[AIRSPACE]\r\n";
    for (size_t i = 0; i < 2000; ++i) {
        const double a = at[i].first, o = at[i].second;
        e << "SECTORLINE:L" << i << "\r\nCOORD:" << place(a, o, ':') << "\r\nCOORD:"
          << place(a + 0.1, o, ':') << "\r\nCOORD:" << place(a + 0.1, o + 0.1, ':') << "\r\nCOORD:"
          << place(a, o, ':') << "\r\n";
    }
    for (size_t i = 0; i < 2000; ++i)
        e << "SECTOR:S" << i << ":0:5000\r\nOWNER:T" << i << "\r\nBORDER:L" << i << "\r\n";
}

void BM_CheckClientFile20MB(benchmark::State& state) {
    const std::string dir = (std::filesystem::temp_directory_path() / "karvel-bench-check").string();
    std::filesystem::create_directories(dir);
    const std::string sct = dir + "/banc.sct", ese = dir + "/banc.ese";
    make_files(sct, ese, 20);
    const double size_mb = static_cast<double>(std::filesystem::file_size(sct) +
                                               std::filesystem::file_size(ese)) /
                           (1 << 20);
    const double before = current_rss_mb();
    size_t findings = 0;
    for (auto _ : state) {
        std::vector<Finding> out;
        check_companion_file(ese, check_sector_file(sct, {}, out), out);
        findings = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["files_mb"] = size_mb;
    state.counters["findings"] = static_cast<double>(findings);
    state.counters["peak_over_files"] = (peak_rss_mb() - before) / size_mb;
    if (!std::getenv("KARVEL_BENCH_KEEP")) std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CheckClientFile20MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

}  // namespace karvel::bench
