// The shapefile reader on files written here with shapelib, damaged ones
// included, and the GEO levels.
#include <gtest/gtest.h>
#include <shapefil.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geography/geo_levels.h"
#include "geography/shapefile.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

using Points = std::vector<std::pair<double, double>>;  // X, Y

Points line(int n, double x0 = 0) {
    Points pts;
    for (int i = 0; i < n; ++i) pts.emplace_back(x0 + i, 40.0 + i / 10.0);
    return pts;
}

// A record: the first point of each part, and the points.
struct Shape {
    std::vector<int> parts;
    Points points;
};

// The .shp bytes of a file of `type` (3 PolyLine, 5 Polygon, 13 PolyLineZ, ...)
// written by shapelib, Z and M values made up where the type has them.
std::string shp_file(const std::vector<Shape>& shapes, int type = SHPT_ARC) {
    TempDir dir;
    SHPHandle h = SHPCreate(dir.file("f").c_str(), type);
    for (const Shape& s : shapes) {
        std::vector<double> x, y, z, m;
        for (const auto& [px, py] : s.points)
            x.push_back(px), y.push_back(py), z.push_back(100.0 * z.size()), m.push_back(0.5);
        SHPObject* o =
            SHPCreateObject(type, -1, static_cast<int>(s.parts.size()), s.parts.data(), nullptr,
                            static_cast<int>(x.size()), x.data(), y.data(), z.data(), m.data());
        SHPWriteObject(h, -1, o);
        SHPDestroyObject(o);
    }
    SHPClose(h);
    return read_bytes(dir.file("f.shp"));
}

// `v` written over the four bytes at `at`, most significant first when `big`.
void put(std::string& s, size_t at, uint32_t v, bool big = false) {
    char b[4];
    std::memcpy(b, &v, 4);
    if (big) std::reverse(b, b + 4);
    s.replace(at, 4, b, 4);
}

std::vector<size_t> sizes(const std::vector<t_geo>& g) {
    std::vector<size_t> out;
    for (const t_geo& x : g) out.push_back(x.points.size());
    return out;
}

std::vector<t_geo> read(const std::string& bytes, bool* ok = nullptr) {
    std::vector<t_geo> out;
    const bool r = read_shp(bytes, "coast", out);
    if (ok) *ok = r;
    return out;
}

}  // namespace

TEST(ShapefileReader, PartsRecordsAndAxes) {
    bool ok = false;
    auto g = read(shp_file({{{0, 5, 9}, line(12)}, {{0}, line(2, 100)}}), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sizes(g), (std::vector<size_t>{5, 4, 3, 2}));
    EXPECT_EQ(g[1].points[0].longitude, 5);  // part 2 starts at point 5
    EXPECT_EQ(g[3].name, "coast");

    g = read(shp_file({{{0}, {{2.35, 48.85}}}}));  // Y is the latitude
    ASSERT_EQ(g.size(), 1u);
    EXPECT_EQ(std::pair(g[0].points[0].latitude, g[0].points[0].longitude), std::pair(48.85, 2.35));

    // Z and M variants give the same polylines as their plain twins.
    const auto points = [](const std::vector<t_geo>& g) {
        std::vector<std::pair<double, double>> out;
        for (const t_geo& l : g)
            for (const geo_point& p : l.points) out.emplace_back(p.latitude, p.longitude);
        return out;
    };
    // Polygons, and Z and M variants, give the same lines as plain polylines.
    const Shape plain{{0, 4}, line(7)};
    const auto a = read(shp_file({plain, plain}));
    for (int type : {SHPT_POLYGON, SHPT_ARCZ, SHPT_POLYGONZ, SHPT_ARCM, SHPT_POLYGONM}) {
        const auto b = read(shp_file({plain, plain}, type));
        EXPECT_EQ(sizes(a), sizes(b)) << type;
        EXPECT_EQ(points(a), points(b)) << type;
    }

    EXPECT_TRUE(read(shp_file({}), &ok).empty());  // no record at all
    EXPECT_TRUE(ok);
}

TEST(ShapefileReader, OtherShapesAndEmptyPartsAddNothing) {
    // Files of points, of multipoints and of null shapes; among lines, a
    // line without points and one with an empty middle part.
    bool ok = false;
    for (int type : {SHPT_POINT, SHPT_MULTIPOINT, SHPT_NULL}) {
        EXPECT_TRUE(read(shp_file({{{}, line(1)}, {{}, line(3)}}, type), &ok).empty()) << type;
        EXPECT_TRUE(ok);
    }
    const auto g = read(shp_file({{}, {{0, 3, 3}, line(5)}, {{0}, line(2)}}), &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(sizes(g), (std::vector<size_t>{3, 2, 2}));
}

TEST(ShapefileReader, DamagedRecordsArePassedOverAndTheRestKept) {
    const std::string good = shp_file({{{0}, line(3)}, {{0, 2}, line(6)}, {{0}, line(4)}});
    const size_t second = 100 + 8 + 44 + 4 + 3 * 16;  // start of record 2
    auto read_changed = [&](auto change, bool whole) {
        std::string f = good;
        change(f);
        bool ok = !whole;
        const auto g = read(f, &ok);
        EXPECT_EQ(ok, whole);
        return sizes(g);
    };
    const std::vector<size_t> first_only{3}, second_skipped{3, 4}, all{3, 2, 4, 4};
    // cut in the middle of record 2, and the header still claiming the rest
    EXPECT_EQ(read_changed([&](std::string& f) { f.resize(second + 30); }, false), first_only);
    // a content length past the end of the file: nothing after it can be found
    EXPECT_EQ(read_changed([&](std::string& f) { put(f, second + 4, 0x7FFFFFFF, true); }, false),
              first_only);
    // absurd counts inside a record of sound length: that record is passed over
    const size_t c = second + 8;
    for (const auto& [offset, value] : std::vector<std::pair<size_t, int32_t>>{
             {36, 0x7FFFFFFF}, {40, 0x7FFFFFFF}, {40, -1}, {48, 7}})
        EXPECT_EQ(read_changed([&](std::string& f) { put(f, c + offset, value); }, false),
                  second_skipped)
            << offset;
    // the first part takes every point from the record's first, whatever its start says
    EXPECT_EQ(read_changed([&](std::string& f) { put(f, c + 44, 3); }, true), all);
    EXPECT_EQ(read_changed([&](std::string& f) { put(f, c + 44, -2); }, true), all);
    // points that are not numbers are left out
    std::string nan = good;
    put(nan, c + 44 + 8 + 16 + 4, 0x7FF80000);  // high word of point 1's X
    EXPECT_EQ(read_changed([&](std::string& f) { f = nan; }, true),
              (std::vector<size_t>{3, 1, 4, 4}));
    for (const t_geo& l : read(nan))
        for (const geo_point& p : l.points) EXPECT_TRUE(std::isfinite(p.longitude));
    // a header shorter than 100 bytes, or nothing at all
    bool ok = true;
    EXPECT_TRUE(read(good.substr(0, 60), &ok).empty() && !ok);
    EXPECT_TRUE(read("", &ok).empty());
    // a file length in the header shorter than the file: the rest is not read
    std::string shorter = good;
    put(shorter, 24, second / 2, true);
    EXPECT_EQ(sizes(read(shorter)), first_only);
}

namespace {

struct GeoLevelTest : ::testing::Test {
    GeoLevelTest() { std::filesystem::create_directory(dir.file("geo")); }
    TempDir dir;
    NavTables nav;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(GeoLevelTest, LevelZeroKeepsTheGeographyAndMissingFilesAreReported) {
    nav.geo_lines.push_back({"river", {{1, 1}}});
    load_geography(dir.str(), nav.geo_lines, 0, dialogs);
    EXPECT_EQ(nav.geo_lines.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());

    write_bytes(dir.file("geo/50m_coastline.shp"), shp_file({{{0}, line(3)}}));
    ::chmod(dir.file("geo/50m_coastline.shp").c_str(), 0444);  // read-only loads too
    load_geography(dir.str(), nav.geo_lines, 2, dialogs);
    ASSERT_EQ(nav.geo_lines.size(), 1u);
    EXPECT_EQ(nav.geo_lines[0].name, "coast");
    EXPECT_THAT(dialogs.messages,
                ElementsAre(w1252("fichier sph non trouvé"), w1252("fichier sph non trouvé")));

    write_bytes(dir.file("geo/50m-lakes.shp"), shp_file({{{0}, line(4)}}, SHPT_POLYGON));
    write_bytes(dir.file("geo/50m-rivers-lake-centerlines.shp"), shp_file({{{0}, line(2)}}));
    load_geography(dir.str(), nav.geo_lines, 2, dialogs);
    ASSERT_EQ(nav.geo_lines.size(), 3u);
    EXPECT_EQ(nav.geo_lines[1].name + nav.geo_lines[2].name,
              "riverriver");  // lakes drawn as rivers

    // A damaged file: what could be read, and one message naming the file.
    std::string cut = shp_file({{{0}, line(2)}, {{0}, line(5)}});
    cut.resize(cut.size() - 20);
    write_bytes(dir.file("geo/50m-lakes.shp"), cut);
    dialogs.messages.clear();
    load_geography(dir.str(), nav.geo_lines, 2, dialogs);
    EXPECT_EQ(nav.geo_lines.size(), 3u);
    EXPECT_THAT(dialogs.messages, ElementsAre(w1252("fichier sph endommagé, lu en partie : ") +
                                              dir.file("geo/50m-lakes.shp")));
    EXPECT_EQ(geo_file("/p", GeoKind::rivers, 3), "/p/geo/10m_rivers_lake_centerlines.shp");
    EXPECT_EQ(geo_file("/p", GeoKind::lakes, 1), "/p/geo/110m_lakes.shp");
    EXPECT_EQ(geo_file("/p", GeoKind::coast, 4), "");
}
