// The map at world scale: a pass beside the replay of its drawing calls.
#include "bench_support.h"

using namespace karvel;
using namespace karvel::bench;

namespace {

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

}  // namespace
