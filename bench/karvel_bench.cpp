// Speed at world scale, each case beside its floor: the same SQL statements
// only run and stepped through in SQLite, the same bytes only written or read.
//
// The database is bench/data/world.sqlite (script/bench makes it), or the
// file named by KARVEL_WORLD_DB.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QGuiApplication>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "core/cp1252.h"
#include "core/file_output.h"
#include "core/geometry.h"
#include "core/ini_file.h"
#include "core/settings.h"
#include "geography/geo_levels.h"
#include "import/database_writer.h"
#include "import/ground.h"
#include "import/outlines.h"
#include "map/qt_canvas.h"
#include "map/render.h"
#include "navdb/sqlite_backend.h"
#include "navdb/sqlite_db.h"
#include "sector/writer.h"
#include "selection/selection.h"

using namespace karvel;
using Clock = std::chrono::steady_clock;

namespace {

std::string world_db() {
    const char* env = std::getenv("KARVEL_WORLD_DB");
    return env ? env : KARVEL_SOURCE_DIR "/bench/data/world.sqlite";
}

// The densest spot of the generated world: the first airport of its first region.
const char* const kDenseAirport = "LFAA";
const char* const kLargeRegion = "LF";

// A memory figure of the process in MB: "VmHWM" its peak resident set so
// far, "VmRSS" its resident set now.
double status_mb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
    return 0.0;
}
double peak_rss_mb() {
    return status_mb("VmHWM");
}
double current_rss_mb() {
    return status_mb("VmRSS");
}

double seconds_since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The floor: each statement run and stepped through, nothing read.
long long run_floor(const SqliteDb& db, const std::vector<Statement>& statements) {
    long long rows = 0;
    for (const Statement& s : statements) {
        std::string sql;
        for (const std::string& l : s) sql += l + "\n";
        const SqliteStatement st(db, sql);
        while (sqlite3_step(st.get()) == SQLITE_ROW) ++rows;
    }
    return rows;
}

struct World {
    World() { query.set_connection(std::make_shared<SqliteConnection>(world_db())); }
    Query query;
    SqliteDb raw{world_db(), SqliteDb::Mode::read_only};
    NavTables nav;
    SelectionFrame frame;
    int height = 674;  // the map window's client height
    NullView lists;
    NullProgress progress;
    MemoLines memo;
    LoadContext ctx{query, nav, frame, lists, progress, memo};
};

World& world() {
    static World w;
    return w;
}

size_t loaded_rows(const NavTables& nav) {
    size_t legs = 0, segs = 0;
    for (const auto* t : {&nav.sids, &nav.stars})
        for (const ROUTE& r : *t) legs += r.legs.size();
    for (const ROUTE& a : nav.airways) segs += a.lines.size();
    return nav.airports.size() + nav.runways.size() * 2 + nav.vors.size() + nav.ndbs.size() +
           nav.waypoints.size() + nav.sids.size() + nav.stars.size() + legs + segs;
}

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

// Records every call a pass makes on its canvas (texts kept in one buffer),
// to replay them on a bitmap canvas: the floor of a map pass is the same
// primitives drawn by the same canvas with no per-item work (no projection,
// no visibility test, no label built).
class Recorder : public Canvas {
  public:
    void set_pen(TColor c, PenStyle s, int w) override {
        add(Op::pen, w, static_cast<int>(s), 0, 0, c);
    }
    void set_pen_colour(TColor c) override { add(Op::pen_colour, 0, 0, 0, 0, c); }
    void set_brush(TColor c) override { add(Op::brush, 0, 0, 0, 0, c); }
    void clear_brush() override { add(Op::no_brush, 0, 0, 0, 0, 0); }
    void set_font_colour(TColor c) override { add(Op::font_colour, 0, 0, 0, 0, c); }
    void set_font_size(int size) override { add(Op::font_size, size, 0, 0, 0, 0); }
    void fill_rect(int a, int b, int c, int d) override { add(Op::fill, a, b, c, d, 0); }
    void line(int a, int b, int c, int d) override {
        ++lines;
        add(Op::line, a, b, c, d, 0);
    }
    void rectangle(int a, int b, int c, int d) override { add(Op::rectangle, a, b, c, d, 0); }
    void ellipse(int a, int b, int c, int d) override { add(Op::ellipse, a, b, c, d, 0); }
    void polygon(const std::vector<std::vector<Pixel>>& rings) override {
        add(Op::polygon, static_cast<int>(polygons_.size()), 0, 0, 0, 0);
        polygons_.push_back(rings);
    }
    void text(int x, int y, std::string_view t) override {
        ++texts;
        add(Op::text, x, y, static_cast<int>(chars_.size()), static_cast<int>(t.size()), 0);
        chars_.append(t);
    }

    void replay(Canvas& c) const {
        for (const Op& o : ops_) switch (o.kind) {
                case Op::pen:
                    c.set_pen(o.colour, static_cast<PenStyle>(o.b), o.a);
                    break;
                case Op::pen_colour:
                    c.set_pen_colour(o.colour);
                    break;
                case Op::brush:
                    c.set_brush(o.colour);
                    break;
                case Op::no_brush:
                    c.clear_brush();
                    break;
                case Op::font_colour:
                    c.set_font_colour(o.colour);
                    break;
                case Op::font_size:
                    c.set_font_size(o.a);
                    break;
                case Op::fill:
                    c.fill_rect(o.a, o.b, o.c, o.d);
                    break;
                case Op::line:
                    c.line(o.a, o.b, o.c, o.d);
                    break;
                case Op::rectangle:
                    c.rectangle(o.a, o.b, o.c, o.d);
                    break;
                case Op::ellipse:
                    c.ellipse(o.a, o.b, o.c, o.d);
                    break;
                case Op::polygon:
                    c.polygon(polygons_[static_cast<size_t>(o.a)]);
                    break;
                case Op::text:
                    c.text(o.a, o.b, std::string_view(chars_).substr(o.c, o.d));
                    break;
            }
    }
    long lines = 0, texts = 0;

  private:
    struct Op {
        enum Kind : uint8_t {
            pen,
            pen_colour,
            brush,
            no_brush,
            font_colour,
            font_size,
            fill,
            line,
            rectangle,
            polygon,
            ellipse,
            text
        } kind;
        int a, b, c, d;
        TColor colour;
    };
    void add(Op::Kind k, int a, int b, int c, int d, TColor colour) {
        ops_.push_back({k, a, b, c, d, colour});
    }
    std::vector<Op> ops_;
    std::string chars_;
    std::vector<std::vector<std::vector<Pixel>>> polygons_;
};

// The floor of a map pass: its recorded calls replayed on the bitmap, best
// of three (the labels are then ready, as in the passes timed beside it).
double replay_floor(MapView& view, LabelCache& labels, const Recorder& recorded) {
    double floor = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto t = Clock::now();
        QtCanvas canvas(view.map_bitmap, view.font_name, labels);
        recorded.replay(canvas);
        floor = std::min(floor, seconds_since(t));
    }
    return floor;
}

struct NoErrors : ArithmeticErrors {
    void record(const std::string&, const std::string&) override {}
};

// A map case: the map window's view with the map font, the shipped
// settings with every element shown, and the level-3 geography when asked.
struct MapCase {
    explicit MapCase(benchmark::State& state) {
        map_window_created(view, scratch, kMapClientWidth, kMapClientHeight);
        view.font_name = "MS Sans Serif";
        view.map_font_size = 8;
        settings.ini.open(KARVEL_SOURCE_DIR "/runtime/karvel_params.ini");
        read_colours(settings);
        read_details(settings);
        for (t_couleur& c : settings.colours) c.visible = true;
        ok = std::ifstream(dir + "10m_coastline.shp").good();
        if (!ok) state.SkipWithError("no level-3 geography: run script/make-geo");
    }
    void read_geography(NavTables& nav) const {
        nav.geo_lines.clear();
        read_shp_file(dir + "10m_coastline.shp", "coast", nav.geo_lines);
        read_shp_file(dir + "10m_lakes.shp", "river", nav.geo_lines);
        read_shp_file(dir + "10m_rivers_lake_centerlines.shp", "river", nav.geo_lines);
    }
    void draw(const NavTables& nav, const SelectionFrame& frame) {
        draw_map(view, labels, {nav, frame, settings.colours, settings.details, settings.outlines, settings.ground}, errors);
    }
    // The floor: this pass's canvas calls recorded, then replayed.
    double floor(const NavTables& nav, const SelectionFrame& frame) {
        draw_map(drawn, compute_view_edges(view, frame), view,
                 {nav, frame, settings.colours, settings.details, settings.outlines, settings.ground}, errors);
        return replay_floor(view, labels, drawn);
    }

    const std::string dir = KARVEL_SOURCE_DIR "/runtime/geo/";
    bool ok = false;
    MapView view;
    SelectionFrame scratch;  // the frame of the map window's creation
    LabelCache labels;
    Settings settings;
    NoErrors errors;
    Recorder drawn;
};

// draw_map of a selection with the level-3 geography and every element shown,
// into the map window's 976 x 674 bitmap. Floor: the pass's calls replayed.
void draw_case(benchmark::State& state, bool region) {
    World& w = world();
    MapCase m(state);
    if (!m.ok) return;
    if (region) {
        select_by_region(w.ctx, w.height, kLargeRegion);
    } else {
        // The busiest airport of the generated world's largest region.
        select_by_airport(w.ctx, w.height, kDenseAirport, 300);
    }
    m.read_geography(w.nav);
    const double floor = m.floor(w.nav, w.frame);
    double total = 0;
    for (auto _ : state) {
        const auto t = Clock::now();
        m.draw(w.nav, w.frame);
        total += seconds_since(t);
    }
    long points = 0;
    for (const t_geo& g : w.nav.geo_lines) points += static_cast<long>(g.points.size());
    state.counters["geo_points"] = static_cast<double>(points);
    state.counters["lines"] = static_cast<double>(m.drawn.lines);
    state.counters["texts"] = static_cast<double>(m.drawn.texts);
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / floor;
}

void BM_DrawMapRegion(benchmark::State& state) {
    draw_case(state, true);
}
BENCHMARK(BM_DrawMapRegion)->Unit(benchmark::kMillisecond);

void BM_DrawMapAirport300(benchmark::State& state) {
    draw_case(state, false);
}
BENCHMARK(BM_DrawMapAirport300)->Unit(benchmark::kMillisecond);

// The whole database selected (10,800 nm around the densest airport), without
// geography (argument 0) and with the level-3 geography (1), the map at the
// window's size showing all of it. The first pass after the labels are
// forgotten is reported apart (cold_ms); the timed passes pan by a tenth of
// the view and zoom in and out in turn, as a user does. Floor: the replayed
// calls of the first pass.
void BM_DrawMapWorld(benchmark::State& state) {
    World& w = world();
    MapCase m(state);
    if (!m.ok) return;
    select_by_airport(w.ctx, w.height, kDenseAirport, 10800);
    w.nav.geo_lines.clear();
    if (state.range(0)) m.read_geography(w.nav);

    const double rss_selection = current_rss_mb();
    m.labels.clear();
    auto t = Clock::now();
    m.draw(w.nav, w.frame);
    const double cold = seconds_since(t);
    const double floor = m.floor(w.nav, w.frame);
    double total = 0;
    long pass = 0;
    const double lat0 = w.frame.centre_lat, lon0 = w.frame.centre_lon;
    const float scale0 = w.frame.view.px_per_nm;
    for (auto _ : state) {
        // Pan east a tenth of the view, then zoom in and back out.
        switch (pass++ % 3) {
            case 0:
                w.frame.centre_lon = normal_lon(w.frame.centre_lon + 36);
                break;
            case 1:
                w.frame.view.px_per_nm = scale0 * 1.2f;
                break;
            default:
                w.frame.view.px_per_nm = scale0;
                break;
        }
        t = Clock::now();
        m.draw(w.nav, w.frame);
        total += seconds_since(t);
    }
    w.frame.centre_lat = lat0;
    w.frame.centre_lon = lon0;
    state.counters["lines"] = static_cast<double>(m.drawn.lines);
    state.counters["texts"] = static_cast<double>(m.drawn.texts);
    state.counters["cold_ms"] = cold * 1000;
    state.counters["floor_ms"] = floor * 1000;
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / floor;
    state.counters["map_mb"] = current_rss_mb() - rss_selection;
}
BENCHMARK(BM_DrawMapWorld)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(6);

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

// Text needs the toolkit's fonts: its offscreen platform, no display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
