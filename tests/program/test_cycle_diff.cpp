// One selection in two cycles: every kind of change found, matched as a
// maintainer would match it, and reported counts first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/numtext.h"
#include "program/cycle_diff.h"

using namespace karvel;

namespace {

NavTables first_cycle() {
    NavTables nav;
    nav.airports.append({"1", "LFPG", "PARIS", "", 49.0, 2.5});
    nav.runways.append({.id1 = "r1",
                        .id2 = "r2",
                        .airport_id = "1",
                        .ident1 = "09",
                        .ident2 = "27",
                        .lat1 = 49,
                        .lon1 = 2.5,
                        .lat2 = 49,
                        .lon2 = 2.55});
    nav.vors.append({"v", "ABC", "", "VOR", "", "114.700", 49.1, 2.6});
    nav.ndbs.append({"n", "OL", "", "NDB", "", "374.000", 48.9, 2.4});
    nav.ndbs.append({"n2", "ABC", "", "NDB", "", "300.000", 49.1, 2.6005});  // beside its VOR
    // Two fixes of one name 1.2 NM apart, and the name elsewhere.
    nav.waypoints = {
        {"f", "FIXA", "", 49.2, 2.7}, {"d1", "DUP", "", 49.3, 2.7}, {"d2", "DUP", "", 49.32, 2.7}};
    nav.airways.append({.name = "UN1", .lines = {{"", 49.2, 2.7, 49.3, 2.7, AirwayLevel::high}}});
    nav.sids.append({.icao = "LFPG", .name = "SID1", .lines = {{"RW09", 49, 2.5, 49.2, 2.7}}});
    nav.outlines.append(
        {.id = "o", .name = "CTR X", .source = "f", .rings = {{{49, 2}, {49.5, 2.5}, {48.5, 3}}}});
    nav.frequencies = {{"1", FrequencyKind::tower, 118150, "TWR"}};
    return nav;
}

}  // namespace

TEST(CycleDiff, EveryKindMatchedAndCountedFirst) {
    const NavTables before = first_cycle();
    EXPECT_EQ(change_report(cycle_changes(before, before)),
              std::vector<std::string>{"aucun changement"});

    NavTables after = first_cycle();
    // Both ends renumbered as the magnetic north drifted, one moved 22 m.
    RUNWAY& w = after.runways[0];
    w.ident1 = "08", w.ident2 = "26", w.lon2 += 0.0003;
    // The VOR moved 51 m, the NDB of its name now nearer its old place.
    after.vors[0].freq = "115.000", after.vors[0].longitude = 2.6007;
    after.ndbs = {before.ndbs[1]};
    after.waypoints = {{"f", "FIXA", "", 49.2 + 2.0 / 60, 2.7}, {"d1", "DUP", "", 49.3, 2.7}};
    // The same segment walked the other way, at another level.
    after.airways[0].lines = {{"", 49.3, 2.7, 49.2, 2.7, AirwayLevel::both}};
    after.sids[0].lines.push_back({"RW09", 49.2, 2.7, 49.4, 2.9});
    after.outlines[0].rings[0][1].latitude = 49.6;
    after.frequencies.push_back({"1", FrequencyKind::approach, 121000, "APP"});

    std::vector<std::string> expected;
    for (const char* line : {
             "pistes : 2 changées",
             "balises : 1 retirée, 1 déplacée, 1 changée",
             "points : 1 retiré, 1 déplacé",
             "segments de routes aériennes : 1 changé",
             "SID et STAR : 1 changée",
             "espaces : 1 changé",
             "fréquences : 1 ajoutée",
             "[pistes]",
             "  LFPG 09 : renumérotée 08",
             "  LFPG 27 : renumérotée 26",
             "[balises]",
             "  ABC : déplacée de 51 m (0.03 NM)",
             "  ABC : fréquence 114.700 devenue 115.000",
             "  OL : retirée",
             "[points]",
             "  DUP : retiré",
             "  FIXA : déplacé de 3711 m (2.00 NM)",  // two minutes on the equatorial sphere
             "[segments de routes aériennes]",
             "  UN1 49.20000,2.70000 - 49.30000,2.70000 : niveau haut devenu bas et haut",
             "[SID et STAR]",
             "  SID LFPG SID1 : tracé changé, 1 segment(s) ajouté(s), 0 retiré(s)",
             "[espaces]",
             "  CTR X : contour changé, 3 points devenus 3",
             "[fréquences]",
             "  LFPG APP 121.000 APP : ajoutée",
         })
        expected.push_back(w1252(line));
    const auto changes = cycle_changes(before, after);
    EXPECT_EQ(change_report(changes), expected);
    // For a map: the moved fix at both places, the segment a line each side.
    std::vector<std::string> drawn;
    const auto map = nlohmann::json::parse(changes_geojson(changes));
    for (const auto& f : map["features"])
        if (f["properties"]["kind"] == "points" ||
            f["properties"]["kind"] == "segments de routes aériennes")
            drawn.push_back(f["properties"]["side"].get<std::string>() + " " +
                            f["geometry"]["type"].get<std::string>() + " " +
                            f["geometry"]["coordinates"].dump());
    EXPECT_THAT(drawn, ::testing::ElementsAre("avant Point [2.7,49.32]", "avant Point [2.7,49.2]",
                                              "après Point [2.7,49.2333333]",
                                              "avant LineString [[2.7,49.2],[2.7,49.3]]",
                                              "après LineString [[2.7,49.3],[2.7,49.2]]"));
}
