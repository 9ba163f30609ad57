// The parameters dialog offscreen on the shipped settings and sample
// database, driven through its widgets: element marks, export lists, toggle
// buttons, colour grids, the map drawn anew when it closes.
#include <gtest/gtest.h>

#include <QTableWidget>
#include <algorithm>

#include "core/colours.h"
#include "params/selection_flags.h"
#include "window_fixture.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct AfichTest : WindowFixture {
    AfichTest() { select("LFPG", "50", 0); }
    QListWidgetItem* element(const char* name) {
        return afich->CheckListBox_elem->findItems(QString::fromLatin1(name), Qt::MatchExactly)
            .value(0);
    }
    static std::vector<bool> marks(QListWidget* list) {
        std::vector<bool> out;
        for (int i = 0; i < list->count(); ++i)
            out.push_back(list->item(i)->checkState() == Qt::Checked);
        return out;
    }
    // A click on a grid cell.
    static void press(QTableWidget* grid, int row, int column) {
        click(grid, grid->visualRect(grid->model()->index(row, column)).center());
    }
    bool all_sids(bool selected) const {
        const auto& s = state.nav.sids;
        return std::all_of(s.begin(), s.end(),
                           [&](const ROUTE& r) { return r.selected == selected; });
    }
};

}  // namespace

TEST_F(AfichTest, SidElementOffKeepsTheFlagsAndOnShowsThemAgain) {
    ASSERT_GE(state.nav.sids.size(), 2u);
    in_parameters([&] {
        EXPECT_EQ(afich->windowTitle(), QStringLiteral("paramètres de l'affichage"));
        ASSERT_EQ(afich->CheckListBox_elem->count(), 21);  // the 20 elements, then the outlines
        EXPECT_EQ(afich->CheckListBox_SID->count(), static_cast<int>(state.nav.sids.size()));
        EXPECT_EQ(afich->CheckListBox_SID->item(0)->text().toStdString(),
                  state.nav.sids[0].icao + "-" + state.nav.sids[0].name);

        element("SID")->setCheckState(Qt::Unchecked);  // hidden, still exported
        EXPECT_FALSE(state.settings.colours[6].visible);
        EXPECT_TRUE(afich->CheckListBox_SID->count() == 0 && all_sids(true));

        element("SID")->setCheckState(Qt::Checked);
        EXPECT_EQ(marks(afich->CheckListBox_SID), std::vector<bool>(state.nav.sids.size(), true));
        afich->CheckListBox_SID->item(1)->setCheckState(Qt::Unchecked);  // a click on one mark
        EXPECT_TRUE(state.nav.sids[0].selected && !state.nav.sids[1].selected);

        // A single waypoint mark is the waypoint's export flag too.
        afich->CheckListBox_fix->item(2)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(state.nav.waypoints[2].selected);
    });
    EXPECT_TRUE(state.settings.colours[6].visible);
}

TEST_F(AfichTest, AirwaysOfOneNameAndTheToggleButtons) {
    ASSERT_GE(state.nav.airways.size(), 3u);
    state.nav.airways[2].name = state.nav.airways[0].name;
    for (auto& c : state.nav.airways[2].name) c = static_cast<char>(std::tolower(c));
    state.nav.airways[0].selected = false;  // the last of the name says true
    in_parameters([&] {
        const auto m = marks(afich->CheckListBox_airway);
        EXPECT_TRUE(m[0] && !m[2]);

        afich->Button_tousid->click();
        EXPECT_EQ(afich->Button_tousid->text(), QStringLiteral("tous les SID"));
        EXPECT_EQ(marks(afich->CheckListBox_SID), std::vector<bool>(state.nav.sids.size(), false));
        EXPECT_TRUE(all_sids(false));
        afich->Button_tousid->click();
        EXPECT_TRUE(afich->Button_tousid->text() == QStringLiteral("aucun SID") && all_sids(true));

        // With its list emptied a toggle only flips its caption.
        element("STAR")->setCheckState(Qt::Unchecked);
        afich->Button_toustar->click();
        EXPECT_EQ(afich->Button_toustar->text(), QStringLiteral("tous les STAR"));
        for (const ROUTE& r : state.nav.stars) EXPECT_TRUE(r.selected);

        afich->Button_tousairway->click();
        EXPECT_EQ(afich->Button_tousairway->text(), QStringLiteral("Tous les AIRWAYS"));
        for (const ROUTE& r : state.nav.airways) EXPECT_FALSE(r.selected);
    });
    // A new selection puts every caption back.
    select("LFPG", "50", 0);
    EXPECT_EQ(afich->Button_tousairway->text(), QStringLiteral("aucun AIRWAY"));
}

TEST_F(AfichTest, ColoursChosenStayAfterCancelAndDetailsReadBack) {
    dialogs.colour_answers = {TColor{0x0080FF}, TColor{0x0000FF}, TColor{0x123456}};
    in_parameters(
        [&] {
            press(afich->StringGrid_couleur, 5, 1);  // runway
            EXPECT_EQ(afich->StringGrid_couleur->item(5, 1)->background().color(),
                      QColor(255, 128, 0));
            press(afich->StringGrid_couleur, 5, 0);  // names: no chooser
            press(afich->StringGrid_detail, 0, 1);
            EXPECT_EQ(state.settings.details[0].value, "clRed");
            press(afich->StringGrid_detail, 1, 1);
        },
        &TForm_afich::Button_anul);
    EXPECT_EQ(dialogs.colour_initials.size(), 3u);
    EXPECT_EQ(state.settings.colours[5].color, 0x0080FF);
    EXPECT_EQ(state.settings.details[1].value, "$00123456");
    // Nothing reaches the settings file.
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), source_file("runtime/karvel_params.ini"));
}

// The outlines follow the 20 elements: shown or hidden, coloured, and each
// kept in or left out of the file through its list.
TEST_F(AfichTest, OutlinesHaveTheirRowListAndToggle) {
    state.nav.outlines.append({.id = "1", .name = "LFFF", .kind = "FIR"});
    state.nav.outlines.append({.id = "2", .name = "ZNY", .kind = "HIGH"});
    dialogs.colour_answers = {TColor{0x00FF00}};
    in_parameters([&] {
        ASSERT_EQ(afich->CheckListBox_contour->count(), 2);
        EXPECT_EQ(afich->CheckListBox_contour->item(1)->text(), QStringLiteral("ZNY (HIGH)"));
        afich->CheckListBox_contour->item(1)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(state.nav.outlines[0].selected && !state.nav.outlines[1].selected);
        afich->Button_touscontour->click();
        EXPECT_EQ(afich->Button_touscontour->text(), QStringLiteral("tous les contours"));
        EXPECT_EQ(marks(afich->CheckListBox_contour), std::vector<bool>(2, false));
        EXPECT_FALSE(state.nav.outlines[0].selected || state.nav.outlines[1].selected);
        afich->Button_touscontour->click();
        EXPECT_TRUE(state.nav.outlines[0].selected && state.nav.outlines[1].selected);

        press(afich->StringGrid_couleur, 20, 1);
        EXPECT_EQ(afich->StringGrid_couleur->item(20, 0)->text(), QStringLiteral("contours"));
        element("contours")->setCheckState(Qt::Unchecked);
        EXPECT_EQ(afich->CheckListBox_contour->count(), 0);
    });
    EXPECT_EQ(state.settings.outlines.color, 0x00FF00);
    EXPECT_FALSE(state.settings.outlines.visible);
    EXPECT_TRUE(state.settings.colours[0].visible);  // the elements' own rows untouched
}

TEST_F(AfichTest, EmptyDetailsLeaveOneInertRow) {
    state.settings.details.clear();
    dialogs.colour_answers = {TColor{0x0000FF}};
    in_parameters([&] {
        ASSERT_EQ(afich->StringGrid_detail->rowCount(), 1);
        EXPECT_TRUE(afich->StringGrid_detail->item(0, 0)->text().isEmpty());
        press(afich->StringGrid_detail, 0, 1);
    });
    EXPECT_TRUE(dialogs.colour_initials.empty() && state.settings.details.empty());
}

TEST_F(AfichTest, TheMapFollowsTheDialog) {
    form->Button1->click();  // "carte"
    auto count = [&](QRgb colour) {
        int n = 0;
        const QImage& b = state.map.map_bitmap;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x) n += b.pixel(x, y) == colour;
        return n;
    };
    const QRgb aqua = qRgb(0, 255, 255);  // VORs
    EXPECT_GT(count(aqua), 100);
    in_parameters([&] { element("VOR")->setCheckState(Qt::Unchecked); });
    EXPECT_EQ(count(aqua), 0);
}

// The marks of the export lists are the records' own flags, through the
// first item bearing each name.
TEST(ExportMarks, FollowTheFlagsOfEachName) {
    const FIXE kept{.ident = "MOPAR", .selected = true}, dropped{.ident = "BANOX"};
    const FIXE again{.ident = "mopar"};  // the same name: its flag lands on the first
    EXPECT_THAT(waypoint_items({kept, dropped, again}).checked, ElementsAre(false, false, false));
    EXPECT_THAT(waypoint_items({kept, dropped}).checked, ElementsAre(true, false));
}
