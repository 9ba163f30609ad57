// The centring dialog and the visibility range, driven through the map's
// menu and the dialog's widgets.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "map/centre.h"
#include "sector/coord.h"
#include "sector/writer.h"
#include "window_fixture.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct CentreTest : WindowFixture {
    CentreTest() {
        select("LFPG", "50", 0);
        form->Button1->click();  // "carte"
        carte->centrer1->trigger();
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < centre->ListBox1->count(); ++i)
            out.push_back(from_qstring(centre->ListBox1->item(i)->text()));
        return out;
    }
    void choose_kind(int k) { centre->RadioGroup1->findChildren<QAbstractButton*>()[k]->click(); }
};

std::vector<std::string> sorted_codes(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());  // the sample's codes are capitals and digits
    return v;
}

}  // namespace

TEST_F(CentreTest, KindsListTheirCodesSortedAndTheShowStepStartsOver) {
    ASSERT_TRUE(centre->isVisible());
    EXPECT_EQ(centre->RadioGroup1->item_index(), 0);
    std::vector<std::string> icaos;
    for (const Airport& a : state.nav.airports) icaos.push_back(a.icao);
    EXPECT_EQ(lines(), sorted_codes(icaos));

    choose_kind(1);  // VORs and the ILS localisers together
    std::vector<std::string> vors;
    bool has_ils = false;
    for (const VOR& v : state.nav.vors) {
        vors.push_back(v.ident);
        has_ils |= !v.runway_id.empty();
    }
    EXPECT_TRUE(has_ils);
    EXPECT_EQ(lines(), sorted_codes(vors));

    state.nav.waypoints[0].selected = false;
    choose_kind(3);
    const auto fixes = lines();
    EXPECT_EQ(fixes.size(), state.nav.waypoints.size());
    EXPECT_NE(std::find(fixes.begin(), fixes.end(), state.nav.waypoints[0].ident), fixes.end());

    centre->Button_anul->click();
    EXPECT_FALSE(centre->isVisible());
    carte->centrer1->trigger();
    EXPECT_EQ(centre->RadioGroup1->item_index(), 0);
    EXPECT_EQ(lines().size(), state.nav.airports.size());  // built once, not twice
}

TEST_F(CentreTest, CentresOnTheLastOfEqualCodesAndTheSectorFileFollows) {
    ASSERT_GE(state.nav.vors.size(), 3u);
    state.nav.vors[2].ident = state.nav.vors[0].ident;
    choose_kind(1);
    const auto all = lines();
    const auto first = std::find(all.begin(), all.end(), state.nav.vors[0].ident);
    ASSERT_EQ(std::count(all.begin(), all.end(), *first), 2);

    // No line chosen: nothing happens, the dialog stays.
    centre->ListBox1->setCurrentRow(-1);
    const double lat = state.nav.centre_lat;
    centre->Button_centrer->click();
    EXPECT_TRUE(centre->isVisible());
    EXPECT_EQ(state.nav.centre_lat, lat);
    EXPECT_TRUE(dialogs.errors.empty());

    centre->ListBox1->setCurrentRow(static_cast<int>(first - all.begin()));
    const float px = state.map.px_per_nm;
    centre->Button_centrer->click();
    EXPECT_FALSE(centre->isVisible());
    EXPECT_EQ(state.nav.centre_lat, state.nav.vors[2].latitude);
    EXPECT_EQ(state.nav.centre_lon, state.nav.vors[2].longitude);
    EXPECT_EQ(state.map.px_per_nm, px);
    // The map was drawn about the new centre.
    EXPECT_EQ(
        state.map.viewport().to_pixel(state.nav.vors[2].latitude, state.nav.vors[2].longitude),
        (Pixel{488, 337}));

    save_sector_file(dir.file("s.sct"), state.nav,
                     {state.map.nm_per_deg_lat, state.map.nm_per_deg_lon}, {"", "", ""});
    const CoordText c = format_coord({state.nav.vors[2].latitude, state.nav.vors[2].longitude});
    EXPECT_THAT(read_bytes(dir.file("s.sct")),
                HasSubstr("\r\n" + c.latitude + "\r\n" + c.longitude + "\r\n"));
}

TEST_F(CentreTest, VisibilityRange) {
    const float px = state.map.px_per_nm;
    dialogs.input_answers = {std::string("80"), std::nullopt, std::string("abc")};
    carte->visibili1->trigger();
    EXPECT_EQ(dialogs.inputs[0], w1252("visiblité|nm|50"));
    EXPECT_EQ(state.map.range_nm, 80);
    EXPECT_EQ(carte->windowTitle(), QStringLiteral("LFPG:50nm   visu:80nm"));
    EXPECT_EQ(state.map.px_per_nm, px);

    carte->setWindowTitle(QString());
    carte->visibili1->trigger();  // cancelled: the range stays, the caption is rewritten
    EXPECT_EQ(state.map.range_nm, 80);
    EXPECT_EQ(carte->windowTitle(), QStringLiteral("LFPG:50nm   visu:80nm"));

    carte->visibili1->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], w1252("'abc' n'est pas une valeur entière correcte"));
    EXPECT_EQ(state.map.range_nm, 80);
    EXPECT_THROW(decimal_range("$10"), std::exception);
    EXPECT_EQ(decimal_range(" -7"), -7);
}
