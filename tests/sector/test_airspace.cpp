// The companion file's sectors from an OpenAir file of known shapes:
// neighbours that share their borders, a CTR in a TMA in a FIR and who owns
// each, a circle, two FIRs either side of 180 degrees, the order, the areas
// left out and why.
#include <gtest/gtest.h>

#include <map>

#include "core/cp1252.h"
#include "import/outlines.h"
#include "sector/airspace.h"
#include "sector/check_text.h"
#include "sector/positions.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct Sector {
    std::string limits;
    std::vector<std::string> owners, border, airports;
};

// The fields after a line's key.
std::vector<std::string> fields(const std::string& line) {
    auto f = check::fields(line);
    f.erase(f.begin());
    return f;
}

// [AIRSPACE] read back: the lines' points (a circle's centre and radius),
// the sectors in their order.
struct Airspace {
    explicit Airspace(const AirspaceSection& s) {
        std::vector<std::string>* line = nullptr;
        for (const std::string& l : s.lines) {
            const std::string key = l.substr(0, l.find(':'));
            const auto f = fields(l);
            if (key == "SECTORLINE") line = &lines[f[0]];
            if (key == "COORD") line->push_back(f[0] + ":" + f[1]);
            if (key == "CIRCLE_SECTORLINE") lines[f[0]] = {f[1] + ":" + f[2] + ":" + f[3]};
            if (key == "SECTOR") {
                order.push_back(f[0]);
                sectors[f[0]].limits = f[1] + ":" + f[2];
            }
            if (key == "OWNER") sectors[order.back()].owners = f;
            if (key == "BORDER") sectors[order.back()].border = f;
            if (key == "DEPAPT") sectors[order.back()].airports = f;
        }
    }
    // The border's lines meet end to end and close (180 E is 180 W).
    bool closed(const std::string& sector) const {
        const auto same = [](std::string a, std::string b) {
            for (std::string* p : {&a, &b})
                if (p->find("W180.00.00.000") != std::string::npos) (*p)[15] = 'E';
            return a == b;
        };
        const auto& border = sectors.at(sector).border;
        const auto& l0 = lines.at(border[0]);
        std::string first = l0.front(), end = l0.back();
        if (border.size() > 1) {  // the first line walked towards the second
            const auto& l1 = lines.at(border[1]);
            if (!same(end, l1.front()) && !same(end, l1.back())) std::swap(first, end);
        }
        for (size_t i = 1; i < border.size(); ++i) {
            const auto& l = lines.at(border[i]);
            if (same(end, l.front()))
                end = l.back();
            else if (same(end, l.back()))
                end = l.front();
            else
                return false;
        }
        return same(first, end);
    }
    std::map<std::string, std::vector<std::string>> lines;
    std::map<std::string, Sector> sectors;
    std::vector<std::string> order;
};

struct Sectors : ::testing::Test {
    Sectors() {
        auto file =
            outlines::read_outlines(KARVEL_SOURCE_DIR "/tests/sector/data/secteurs.openair", "");
        for (Outline& o : file.outlines) nav.outlines.append(std::move(o));
        // XXAB comes first, but XXAA with its longer runway is the larger.
        nav.airports = {{"2", "XXAB", "PETIT", "", 45.6, 5 + 5 / 60.0},
                        {"1", "XXAA", "GRAND", "", 45 + 35 / 60.0, 5}};
        nav.runways = {{.id1 = "1",
                        .id2 = "2",
                        .airport_id = "1",
                        .ident1 = "09",
                        .ident2 = "27",
                        .lat1 = 45.58,
                        .lon1 = 4.97,
                        .lat2 = 45.58,
                        .lon2 = 5.03},
                       {.id1 = "3",
                        .id2 = "4",
                        .airport_id = "2",
                        .ident1 = "09",
                        .ident2 = "27",
                        .lat1 = 45.6,
                        .lon1 = 5.08,
                        .lat2 = 45.6,
                        .lon2 = 5.09}};
        using K = FrequencyKind;
        nav.frequencies = {{"2", K::tower, 119000, ""},
                           {"2", K::approach, 120000, ""},
                           {"1", K::tower, 118000, ""},
                           {"1", K::approach, 121000, ""}};
        controllers = positions(nav);
    }
    std::string id(const std::string& position) const {
        for (const Position& p : controllers)
            if (p.name == position) return p.id;
        return "?" + position;
    }
    NavTables nav;
    std::vector<Position> controllers;
};

}  // namespace

TEST_F(Sectors, OwnedSmallestFirstSharingTheirBorders) {
    const AirspaceSection section = airspace_section(nav, controllers, {});
    const Airspace a(section);
    EXPECT_EQ(a.order,
              (std::vector<std::string>{"CTR ESSAI", "TMA CERCLE", "TMA CERCLE HAUT", "TMA ESSAI", "XXSE", "XXNN-C",
                                        "XXSW", "XXNN", "XXEE", "XXQQ", "XXPP"}));
    const auto& ctr = a.sectors.at("CTR ESSAI");
    EXPECT_EQ(ctr.limits, "0:1500");
    // A CTR by its airport's tower, then approach, then the centre of the
    // whole FIR nearest: not the sector XXNN-C, not XXEE over its east.
    EXPECT_EQ(ctr.owners,
              (std::vector<std::string>{id("XXAA_TWR"), id("XXAA_APP"), id("XXNN_CTR")}));
    EXPECT_EQ(ctr.airports, (std::vector<std::string>{"XXAA", "XXAB"}));
    for (const char* tma : {"TMA ESSAI", "TMA CERCLE", "TMA CERCLE HAUT"}) {
        EXPECT_EQ(a.sectors.at(tma).owners,
                  (std::vector<std::string>{id("XXAA_APP"), id("XXNN_CTR")}))
            << tma;
        EXPECT_TRUE(a.sectors.at(tma).airports.empty()) << tma;  // not from the surface
    }
    EXPECT_EQ(a.sectors.at("TMA ESSAI").limits, "1500:9500");
    EXPECT_EQ(a.sectors.at("XXNN").limits, "0:99999");
    EXPECT_EQ(a.sectors.at("XXNN").owners, std::vector<std::string>{id("XXNN_CTR")});
    EXPECT_EQ(a.sectors.at("XXNN-C").owners,
              (std::vector<std::string>{id("XXNN-C_CTR"), id("XXNN_CTR")}));
    // The circle is one, round its centre, the level above on the same.
    const auto& circle = a.sectors.at("TMA CERCLE").border;
    ASSERT_EQ(circle.size(), 1u);
    EXPECT_EQ(a.lines.at(circle[0]), std::vector<std::string>{"N045.35.00.000:E005.00.00.000:15"});
    EXPECT_EQ(a.sectors.at("TMA CERCLE HAUT").border, circle);

    // Every border closes; the neighbours meet on lines they share, walked
    // either way, the point 0.002 s apart made one.
    for (const auto& [name, s] : a.sectors) {
        if (name.rfind("TMA CERCLE", 0) != 0) {
            EXPECT_TRUE(a.closed(name)) << name;
        }
    }
    const auto shared = [&](const char* x, const char* y) {
        std::vector<std::string> both;
        for (const std::string& l : a.sectors.at(x).border)
            for (const std::string& m : a.sectors.at(y).border)
                if (l == m) both.push_back(l);
        return both;
    };
    ASSERT_EQ(shared("XXNN", "XXSW").size(), 1u);
    EXPECT_EQ(a.lines.at(shared("XXNN", "XXSW")[0]),
              (std::vector<std::string>{"N045.00.00.000:E005.00.00.000",
                                        "N045.00.00.000:E004.00.00.000"}));
    EXPECT_EQ(shared("XXNN", "XXSE").size(), 1u);
    EXPECT_EQ(shared("XXSW", "XXSE").size(), 1u);
    EXPECT_TRUE(shared("XXNN", "XXEE").empty());
    // Across 180: no line steps over it, the two FIRs share their pieces.
    EXPECT_EQ(shared("XXPP", "XXQQ").size(), 2u);
    for (const auto& [name, points] : a.lines)
        for (size_t i = 1; i < points.size(); ++i)
            EXPECT_FALSE(points[i - 1].substr(15, 4) == "E178" && points[i].substr(15, 4) == "W178")
                << name;

    // Left out, each once and why; an unreadable ceiling in a comment too.
    EXPECT_EQ(section.warnings,
              (std::vector<std::string>{
                  w1252("CTR OUVERTE : contour ouvert (son dernier point n'est pas le premier), "
                        "pas de secteur"),
                  w1252("ATZ NOEUD : contour qui se croise, pas de secteur"),
                  w1252("CTA ILLISIBLE : limite illisible \"VOIR NOTAM\", pas de secteur"),
                  w1252("CTA PLATE : contour de moins de 3 points, pas de secteur")}));
    EXPECT_NE(std::find(section.lines.begin(), section.lines.end(),
                        w1252("; CTA ILLISIBLE : limite illisible \"VOIR NOTAM\", pas de secteur")),
              section.lines.end());

    // Narrowed to chosen kinds.
    const Airspace firs(airspace_section(nav, controllers, {"FIR"}));
    EXPECT_EQ(firs.order,
              (std::vector<std::string>{"XXSE", "XXNN-C", "XXSW", "XXNN", "XXEE", "XXQQ", "XXPP"}));
}
