// The import at world scale, a national airspace file, a hub's ground.
#include "bench_support.h"

using namespace karvel;
using namespace karvel::bench;

namespace {

// The import at world scale: 10,000 airports with two runways, a VOR and
// eight fixes each, and a CIFP file each with six SIDs (two runway
// transitions, a common route, two en-route transitions) and six STARs.
struct ImportWorld {
    ImportWorld() {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> offset(-0.4, 0.4);
        dir = std::filesystem::temp_directory_path() / "karvel-bench-import";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "CIFP");
        auto code = [](int n, int width) {
            std::string s(static_cast<size_t>(width), 'A');
            for (int i = width - 1; i >= 0; --i, n /= 26)
                s[static_cast<size_t>(i)] = static_cast<char>('A' + n % 26);
            return s;
        };
        for (int a = 0; a < 10000; ++a) {
            const double lat = -55 + (a / 200) * 1.25, lon = -179 + (a % 200) * 1.79;
            const std::string icao = code(a, 4), region = icao.substr(0, 2), vor = code(a, 3);
            xplane::AirportRec ap{icao, "BENCH " + icao, region, lat, lon, 100, {}};
            ap.runways.push_back({"09", "27", lat, lon - 0.02, lat, lon + 0.02});
            ap.runways.push_back({"04", "22", lat - 0.015, lon - 0.01, lat + 0.015, lon + 0.01});
            data.airports.push_back(std::move(ap));
            data.navaids.push_back(
                {NavaidType::vor_dme, vor, "BENCH", region, 0x1153500, lat + 0.1, lon});
            std::vector<std::string> fixes;
            for (int f = 0; f < 8; ++f) {
                fixes.push_back(code(a * 8 + f, 5));
                data.fixes.push_back(
                    {fixes.back(), "", region, "ENRT", lat + offset(random), lon + offset(random)});
            }
            std::string cifp;
            auto row = [&](const char* kind, int seq, char type, const std::string& name,
                           const std::string& transition, const std::string& fix, const char* leg) {
                cifp += std::string(kind) + ":" + std::to_string(seq) + "," + type + "," + name +
                        "," + transition + "," + fix + "," + region + ",E,A,E   , ,   ," + leg +
                        ", ," + vor + "," + region +
                        ",D, ,      ,0900,0120,0900,0050, ,     ,     ,05000, ,   ,    ,   , , , , "
                        ", , , , ;\n";
            };
            for (int p = 0; p < 12; ++p) {
                const bool sid = p < 6;
                const char* kind = sid ? "SID" : "STAR";
                const std::string name =
                    fixes[static_cast<size_t>(p % 8)].substr(0, 4) + std::to_string(p % 10) + "A";
                int seq = 10;
                for (const char* rw : {"RW09", "RW27"})
                    for (int l = 0; l < 3; ++l)
                        row(kind, seq += 10, sid ? '1' : '3', name, rw, fixes[(p + l) % 8], "TF");
                for (int l = 0; l < 6; ++l)
                    row(kind, seq += 10, '2', name, "ALL", fixes[(p + l + 3) % 8], l ? "CF" : "IF");
                for (int t = 0; t < 2; ++t)
                    for (int l = 0; l < 3; ++l)
                        row(kind, seq += 10, sid ? '3' : '1', name, fixes[(p + t) % 8],
                            fixes[(p + t + l) % 8], l ? "TF" : "IF");
            }
            const std::string path = (dir / "CIFP" / (icao + ".dat")).string();
            std::ofstream(path) << cifp;
            cifp_files.emplace_back(icao, path);
        }
    }
    ~ImportWorld() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    xplane::NavData data;
    std::vector<std::pair<std::string, std::string>> cifp_files;  // ICAO, path
};

void BM_ImportWorld(benchmark::State& state) {
    static ImportWorld w;
    const std::string out = (w.dir / "world.sqlite").string();
    std::string last;
    for (auto _ : state) {
        // As karvel-import does: the procedures one CIFP file at a time.
        xplane::DatabaseWriter writer(w.data, out, [&](const std::string& line) { last = line; });
        xplane::read_cifp_files(w.cifp_files, [&](const std::vector<xplane::ProcedureRec>& batch) {
            writer.write_procedures(batch);
        });
        writer.finish();
    }
    state.SetLabel(cp1252_to_utf8(last));
    state.counters["peak_rss_MB"] = peak_rss_mb();
}
BENCHMARK(BM_ImportWorld)->Unit(benchmark::kMillisecond)->Iterations(1);

// A national airspace file at ten times its usual size: 5,000 OpenAir
// areas, each four points, an arc of 90 degrees between two of them and,
// every other one, a circle of 8 nm.
void BM_ReadOpenAir(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "karvel-bench-zones.txt").string();
    {
        std::ofstream f(path);
        for (int a = 0; a < 5000; ++a) {
            const int lat = 40 + a / 100 % 10, lon = a % 100 / 10;
            const auto at = [](int deg, int min, char h) {
                char t[24];
                std::snprintf(t, sizeof t, "%03d:%02d:00 %c", deg, min, h);
                return std::string(t);
            };
            f << "AC D\nAN ZONE " << a << "\nAL SFC\nAH FL" << 65 + a % 200 << "\n"
              << "V X=" << at(lat, 30, 'N') << " " << at(lon, 30, 'E') << "\n"
              << "DP " << at(lat, 10, 'N') << " " << at(lon, 10, 'E') << "\n"
              << "DP " << at(lat, 50, 'N') << " " << at(lon, 10, 'E') << "\n"
              << "DA 15,0,90\nDP " << at(lat, 10, 'N') << " " << at(lon, 50, 'E') << "\n";
            if (a % 2)
                f << "AC R\nAN CERCLE " << a << "\nV X=" << at(lat, 30, 'N') << " "
                  << at(lon, 30, 'E') << "\nDC 8\n";
        }
    }
    size_t points = 0;
    for (auto _ : state) {
        const auto file = outlines::read_outlines(path, "");
        points = 0;
        for (const Outline& o : file.outlines)
            for (const t_point& r : o.rings) points += r.size();
    }
    std::filesystem::remove(path);
    state.SetLabel(std::to_string(points) + " points");
    state.counters["peak_rss_MB"] = peak_rss_mb();
}
BENCHMARK(BM_ReadOpenAir)->Unit(benchmark::kMillisecond);

// A hub's ground beyond the world's largest (EHAM: 27,055 points): 300
// areas of 120 nodes, a node in three curved, every fifth area with two
// holes; 2,000 lines of 12 nodes changing type once; 300 stands. Read from
// apt.dat, then written into the client format's sections (the areas cut
// round their holes).
void BM_GroundOfAHub(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "karvel-bench-apt.dat").string();
    {
        std::ofstream f(path);
        f.precision(10);
        f << "I\n1000 Version\n1 300 1 0 XHUB Essai\n";
        const auto ring = [&](double lat, double lon, double r, int nodes, int close) {
            for (int i = 0; i < nodes; ++i) {
                const double a = 2 * 3.14159265358979 * i / nodes, b = a + 0.02;
                const bool curved = i % 3 == 0, last = i + 1 == nodes;
                f << (last ? (curved ? close + 1 : close) : (curved ? 112 : 111)) << ' '
                  << lat + r * std::sin(a) << ' ' << lon + r * std::cos(a);
                if (curved) f << ' ' << lat + 1.02 * r * std::sin(b) << ' ' << lon + 1.02 * r * std::cos(b);
                f << '\n';
            }
        };
        for (int a = 0; a < 300; ++a) {
            const double lat = 49 + a / 20 * 0.004, lon = 2.5 + a % 20 * 0.004;
            f << "110 1 0 0 Aire " << a << '\n';
            ring(lat, lon, 0.0015, 120, 113);
            if (a % 5 == 0) {
                ring(lat + 0.0005, lon, 0.0003, 12, 113);
                ring(lat - 0.0005, lon, 0.0003, 12, 113);
            }
        }
        for (int l = 0; l < 2000; ++l) {
            f << "120 Ligne\n";
            for (int i = 0; i < 12; ++i) {
                const double lat = 49 + l * 1e-5, lon = 2.5 + i * 1e-4;
                f << (i == 11 ? 115 : i % 4 == 1 ? 112 : 111) << ' ' << lat << ' ' << lon;
                if (i % 4 == 1) f << ' ' << lat + 2e-5 << ' ' << lon + 5e-5;
                f << (i < 6 ? " 1" : " 4") << '\n';
            }
        }
        for (int k = 0; k < 300; ++k) f << "1300 " << 49 + k * 1e-4 << " 2.51 90 gate jets P" << k << '\n';
        f << "99\n";
    }
    size_t lines = 0, points = 0;
    for (auto _ : state) {
        NavTables nav;
        nav.ground.airports = {"XHUB"};
        xplane::read_ground(path, [&](xplane::AirportGround& g) {
            for (GroundShape& shape : g.shapes) {
                shape.id = std::to_string(nav.ground.shapes.size());
                nav.ground.shapes.append(std::move(shape));
            }
            for (Stand& st : g.stands) {
                st.id = std::to_string(nav.ground.stands.size());
                nav.ground.stands.append(std::move(st));
            }
        });
        std::vector<std::string> out;
        SectorFormat format;
        format.client = true;
        write_sector(out, nav, SelectionFrame{}, {"a", "b", "c"}, format);
        lines = out.size();
        points = 0;
        for (const GroundShape& shape : nav.ground.shapes)
            for (const t_point& r : shape.rings) points += r.size();
    }
    std::filesystem::remove(path);
    state.SetLabel(std::to_string(points) + " points, " + std::to_string(lines) + " lines");
    state.counters["peak_rss_MB"] = peak_rss_mb();
}
BENCHMARK(BM_GroundOfAHub)->Unit(benchmark::kMillisecond);

}  // namespace
