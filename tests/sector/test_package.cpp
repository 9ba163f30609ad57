// The client format as a controller's package: the airports' frequency and
// class, the [GEO] groups, the companion file's positions and free texts,
// the file without [REGIONS] and [LABELS]; the default format untouched.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/cp1252.h"
#include "core/outline_shape.h"
#include "sector/coord.h"
#include "sector/positions.h"
#include "sector/writer.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

Outline area(const std::string& name, const std::string& kind, const std::string& cls,
             const std::string& lower, double lat0, double lon0, double lat1, double lon1) {
    return {.id = name, .name = name, .kind = kind, .lower = lower, .airspace_class = cls,
            .rings = {{{lat0, lon0}, {lat0, lon1}, {lat1, lon1}, {lat1, lon0}}},
            .box = {lat0, lat1, lon0, lon1}};
}

// Around Paris: LFPG in a small class D CTR inside a large class C surface
// area, LFPB in the large one only, LFPN (CTAF only) and KXPG (the same
// last letters as LFPG) in neither; a class A TMA above LFPN from 2000 ft;
// the FIR LFFF over all.
struct Package : ::testing::Test {
    Package() {
        nav.airports = {{"1", "LFPG", "CHARLES DE GAULLE", "", 49.0097, 2.5479},
                        {"2", "LFPB", "LE BOURGET", "", 48.9694, 2.4414},
                        {"3", "LFPN", "TOUSSUS", "", 48.7519, 2.1061},
                        {"4", "KXPG", "ESSAI", "", 40, -75}};
        using K = FrequencyKind;
        nav.frequencies = {{"1", K::atis, 128000, "DE GAULLE ATIS"},
                           {"1", K::delivery, 121755, "DE GAULLE DEL"},
                           {"1", K::ground, 121600, "DE GAULLE SOL"},
                           {"1", K::tower, 118650, "DE GAULLE TWR"},
                           {"1", K::tower, 119250, "DE GAULLE TWR 2"},
                           {"1", K::approach, 125825, "DE GAULLE APP"},
                           {"1", K::departure, 133375, "DE GAULLE DEP"},
                           {"2", K::tower, 119100, "LE BOURGET: TWR"},
                           {"3", K::unicom, 120950, "TOUSSUS CTAF"},
                           {"4", K::tower, 118300, ""}};
        nav.outlines = {area("CTR PARIS", "CTR", "D", "GND", 48.9, 2.45, 49.1, 2.7),
                        area("GRANDE", "CTA", "C", "SFC", 48.8, 2.3, 49.2, 2.8),
                        area("TMA", "TMA", "A", "2000FT AMSL", 48.5, 1.9, 49.5, 3.2),
                        area("LFFF", "FIR", "", "", 46, -1, 51, 6)};
        nav.ground.airports = {"LFPG"};
        nav.ground.shapes = {
            {.id = "1", .airport = "LFPG", .kind = GroundKind::pavement, .code = 1,
             .rings = {{{49.0, 2.5}, {49.0, 2.52}, {49.01, 2.52}}}},
            {.id = "2", .airport = "LFPG", .kind = GroundKind::line, .code = 1,
             .rings = {{{49.001, 2.5}, {49.001, 2.51}}}}};
        nav.ground.stands = {{.id = "1", .airport = "LFPG", .name = "A12", .latitude = 49.003,
                              .longitude = 2.507}};
        nav.ground.taxiways = {{.airport = "LFPG", .name = "W", .kind = "sign", .latitude = 49.004,
                                .longitude = 2.508}};
        nav.geo_lines = {{"coast", {{49.0, 2.0}, {49.1, 2.1}, {49.2, 2.2}}}};
        frame.box = {48, 50, 1, 4};
    }
    std::vector<std::string> sector(bool client, bool regions = true) const {
        SectorFormat format;
        format.client = client;
        format.regions = regions;
        std::vector<std::string> lines;
        write_sector(lines, nav, frame, {"a", "b", "c"}, format);
        return lines;
    }
    static std::string at(double lat, double lon) {
        const CoordText c = format_coord({lat, lon});
        return c.latitude + ":" + c.longitude;
    }
    NavTables nav;
    SelectionFrame frame;
};

std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& header) {
    auto from = std::find(lines.begin(), lines.end(), header);
    if (from == lines.end()) return {};
    const auto to = std::find_if(from + 1, lines.end(), [](const std::string& l) {
        return l == ";" || (!l.empty() && l[0] == '[');
    });
    return {from + 1, to};
}

}  // namespace

TEST_F(Package, AirportsTheirTowerAndTheClassOfTheSmallestSurfaceOutline) {
    std::vector<std::string> airports;
    for (const std::string& l : section(sector(true), "[AIRPORT]"))
        airports.push_back(l.substr(0, 13) + l.substr(l.size() - 3));
    EXPECT_THAT(airports, ElementsAre("LFPG 118.650 D ;", "LFPB 119.100 C ;", "LFPN 120.950 G ;",
                                      "KXPG 118.300 D ;"));
    // The default format is the same with the frequencies and classes as without.
    NavTables bare = nav;
    bare.frequencies.clear();
    for (Outline& o : bare.outlines) o.airspace_class.clear();
    std::vector<std::string> plain;
    write_sector(plain, bare, frame, {"a", "b", "c"}, {});
    EXPECT_EQ(sector(false), plain);
}

TEST_F(Package, EveryGeoLineInANamedGroupAndTheFileWithoutRegions) {
    const auto geo = section(sector(true), "[GEO]");
    ASSERT_EQ(geo.size(), 3u);
    EXPECT_TRUE(geo[0].starts_with(w1252("côtes                     N049.00.00.000 ")));
    EXPECT_TRUE(geo[1].starts_with("                          N049.06.00.000 "));
    EXPECT_TRUE(geo[2].starts_with("LFPG axes de circulation  "));
    // Without [REGIONS] and [LABELS], the area's three edges are [GEO] lines.
    const auto lines = sector(true, false);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[REGIONS]") +
                  std::count(lines.begin(), lines.end(), "[LABELS]"),
              0);
    const auto bare = section(lines, "[GEO]");
    EXPECT_EQ(bare.size(), geo.size() + 3);
    EXPECT_TRUE(bare[geo.size()].starts_with(w1252("LFPG chaussées ")));
}

TEST_F(Package, PositionsOfEachControllerWithUniqueIdentifiers) {
    const std::string lfpg = ":LFPG:", pg = ":-:-:-:-:" + at(49.0097, 2.5479);
    EXPECT_THAT(position_lines(positions(nav)),
                ElementsAre("[POSITIONS]",
                            "LFPG_DEL:DE GAULLE DEL:121.755:PGD:D" + lfpg + "DEL" + pg,
                            "LFPG_GND:DE GAULLE SOL:121.600:PGG:G" + lfpg + "GND" + pg,
                            "LFPG_TWR:DE GAULLE TWR:118.650:PGT:T" + lfpg + "TWR" + pg,
                            "LFPG_APP:DE GAULLE APP:125.825:PGA:A" + lfpg + "APP" + pg,
                            "LFPG_DEP:DE GAULLE DEP:133.375:PGE:E" + lfpg + "DEP" + pg,
                            "LFPG_ATIS:DE GAULLE ATIS:128.000:PGI:I" + lfpg + "ATIS" + pg,
                            "LFPB_TWR:LE BOURGET- TWR:119.100:PBT:T:LFPB:TWR:-:-:-:-:" +
                                at(48.9694, 2.4414),
                            "KXPG_TWR:ESSAI Tour:118.300:XPGT:T:KXPG:TWR:-:-:-:-:" + at(40, -75),
                            w1252("; LFFF_CTR : fréquence inconnue, 199.998"),
                            "LFFF_CTR:LFFF:199.998:FFC:C:LFFF:CTR:-:-:-:-:" + at(48.5, 2.5)));
}

TEST_F(Package, FreeTextsByGroupAtTheirPlaceAndInsideTheirOutline) {
    const auto text = freetext_lines(nav);
    ASSERT_EQ(text.size(), 7u);
    EXPECT_EQ(text[1], at(49.003, 2.507) + ":LFPG postes de stationnement:A12");
    EXPECT_EQ(text[2], at(49.004, 2.508) + ":LFPG voies de circulation:W");
    EXPECT_EQ(text[3], at(49, 2.575) + w1252(":espaces aériens:CTR PARIS"));
    // A C-shaped outline is named inside, not at the middle of its box.
    Outline c = area("C", "", "", "", 0, 0, 3, 3);
    c.rings[0] = {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}};
    const auto inside = point_inside(c);
    ASSERT_TRUE(inside);
    EXPECT_TRUE(outline_holds(c, *inside));
    EXPECT_FALSE(outline_holds(c, {1.5, 1.5}));  // in its gap
    EXPECT_FALSE(outline_holds(c, {1.5, -1}));   // west of it, crossing it twice
    EXPECT_NEAR(outline_area_nm2(c), 7 * 3600, 30);  // 7 square degrees on the equator
}
