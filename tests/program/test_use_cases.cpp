// The tasks both front ends run: a selection that replaces the current one
// only whole, the ground of chosen airports, and the save.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "navdb/sqlite_backend.h"
#include "navdb/sqlite_db.h"
#include "program/use_cases.h"
#include "selected.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

struct UseCaseTest : ::testing::Test, SampleDatabase {
    UseCaseTest() {
        state.info.folder = folder.str();
        state.info.version_caption = kVersionCaption;
        state.db.Query1.set_connection(std::make_shared<SqliteConnection>(sample_path()));
        state.map.client_height = 600;
        write_bytes(folder.file(kMagneticModelFile), source_file("runtime/WMM2025.COF"));
    }
    AppState state;
    RecordingView lists;
    NullProgress progress;
    MemoLines memo;
    ScriptedDialogs dialogs;
    SelectionOutput out{lists, progress, memo, dialogs};
};

}  // namespace

// The frame and tables change together, and only when the selection has
// loaded whole; the region's box is its waypoints' extent.
TEST_F(UseCaseTest, ASelectionReplacesTheCurrentOneWholeOrNotAtAll) {
    select(state, airport_request("LFMN", "30"), 0, out);
    EXPECT_EQ(selection_caption(state), "LFMN:30nm");
    EXPECT_FALSE(memo.lines.empty());
    const SelectionFrame before = state.frame;
    const std::string caption = selection_caption(state);
    const size_t airports = state.nav.airports.size(), lines = memo.lines.size();
    EXPECT_THROW(select(state, airport_request("ZZZZ", "100"), 0, out), Error);
    EXPECT_EQ(std::tuple(selection_caption(state), state.frame.box.lat_max, state.frame.view.range_nm,
                         state.nav.airports.size(), memo.lines.size()),
              std::tuple(caption, before.box.lat_max, before.view.range_nm, airports, lines));

    state.nav.geo_lines.push_back({"coast", {{1, 1}, {2, 2}}});
    select(state, RegionRequest{"LS", "LS Suisse"}, 0, out);
    const GeoBox& box = state.frame.box;
    const GeoBox& extent = state.frame.extent;
    EXPECT_EQ(std::tuple(box.lat_min, box.lat_max, box.lon_min, box.lon_max),
              std::tuple(extent.lat_min, extent.lat_max, extent.lon_min, extent.lon_max));
    EXPECT_EQ(std::pair(selection_caption(state), state.frame.view.range_nm),
              std::pair(std::string("LS Suisse"), 400));
    EXPECT_EQ(state.nav.geo_lines.size(), 1u);  // level 0 keeps the geography
}

TEST_F(UseCaseTest, TheSaveAsksInTheSectorFolderWithItsCompanionFile) {
    const std::string dir = folder.str();
    dialogs.save_answers.push_back(std::nullopt);  // cancel: nothing written
    EXPECT_FALSE(save_selection(state, dialogs, {}));
    EXPECT_EQ(dialogs.save_dirs[0], dir + "/secteurs");
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("secteurs")));  // made when missing
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("secteurs")));

    const std::string target = folder.file("secteurs/LFPG.sct");
    write_bytes(target, "old content");
    dialogs.save_answers.push_back(target);
    EXPECT_TRUE(save_selection(state, dialogs, {}));
    EXPECT_EQ(read_bytes(target).substr(0, 10), "; Ce fichi");
    EXPECT_FALSE(std::filesystem::exists(folder.file("secteurs/LFPG.ese")));

    // The client format writes the companion file beside it.
    select(state, airport_request("LFPG", "50"), 0, out);
    dialogs.save_answers.push_back(folder.file("secteurs/client.sct"));
    EXPECT_TRUE(
        save_selection(state, dialogs, SaveRequest{{"Paris", "LFPG_APP", "LFPG"}, true, Date{2026, 12, 7}}));
    // Every point the companion file names is defined in the sector file,
    // those outside the selection (ATREX, OKIPA at 50 nm) too.
    const std::string sct = read_bytes(folder.file("secteurs/client.sct"));
    EXPECT_THAT(sct, HasSubstr("[LOW AIRWAY]"));
    std::istringstream ese(read_bytes(folder.file("secteurs/client.ese")));
    std::set<std::string> named;
    for (std::string line; std::getline(ese, line);) {
        if (line.rfind("SID:", 0) != 0 && line.rfind("STAR:", 0) != 0) continue;
        std::istringstream route(line.substr(line.rfind(':') + 1));
        for (std::string ident; route >> ident;) named.insert(ident);
    }
    EXPECT_TRUE(named.count("ATREX") && named.count("OKIPA"));
    for (const std::string& ident : named)
        EXPECT_TRUE(sct.find("\r\n" + ident + " ") != std::string::npos) << ident;

    // The magnetic model's date: outside its span, a date given is refused,
    // today's is told and used.
    EXPECT_THAT(
        [&] {
            magnetic_date(state.info, Date{2030, 1, 1}, dialogs);
        },
        ThrowsMessage<Error>(HasSubstr(w1252("hors de la période"))));
    EXPECT_EQ(magnetic_date(state.info, Date{2029, 11, 13}, dialogs).year,
              decimal_year({2029, 11, 13}));
    std::filesystem::remove(folder.file(kMagneticModelFile));
    dialogs.save_answers.push_back(folder.file("secteurs/sans.sct"));
    EXPECT_THAT(
        [&] {
            save_selection(state, dialogs, SaveRequest{{"A", "B", "C"}, true});
        },
        ThrowsMessage<Error>(HasSubstr(w1252("modèle magnétique introuvable"))));
}

// The ground of chosen airports: refused by a database without it, kept by
// a new selection, replaced whole or not at all, written by the save.
TEST_F(UseCaseTest, TheGroundOfChosenAirports) {
    EXPECT_THAT([&] { choose_ground(state, ground_request("LFMN"), memo); },
                ThrowsMessage<Error>(HasSubstr(w1252("pas de plans au sol"))));
    EXPECT_TRUE(choose_ground(state, ground_request(" "), memo).empty());  // none asked: nothing to refuse
    {
        SqliteDb db(sample_path(), SqliteDb::Mode::read_write);
        db.exec(source_file("tests/program/data/ground.sql"));
        // A damaged name: cut as every other text.
        db.exec("update groundshapes set name = replace(hex(zeroblob(1000)), '0', 'x') where ID = 2");
    }
    state.db.ground = true;
    select(state, airport_request("LFMN", "30"), 0, out);
    EXPECT_EQ(proposed_ground(state), "LFMN");  // the airport selected
    memo.lines.clear();
    EXPECT_EQ(choose_ground(state, ground_request("lfmn, lfxx"), memo), std::vector<std::string>{"LFXX"});
    EXPECT_EQ(proposed_ground(state), "LFMN, LFXX");  // those loaded
    EXPECT_EQ(memo.lines, (std::vector<std::string>{
                              w1252("textes de plus de 1024 octets coupés : 1 (la base de données "
                                    "est-elle endommagée ?)"),
                              w1252("LFMN : plan au sol de 1 surfaces, 2 lignes, 1 postes"),
                              "LFXX : aucun plan au sol"}));
    EXPECT_THROW(choose_ground(state, ground_request("LFMN, L"), memo), Error);
    select(state, airport_request("LFMN", "50"), 0, out);
    ASSERT_EQ(state.nav.ground.shapes.size(), 3u);  // kept by the new selection
    EXPECT_EQ(state.nav.ground.shapes[0].rings.size(), 2u);
    EXPECT_EQ(state.nav.ground.airports, (std::vector<std::string>{"LFMN", "LFXX"}));

    SaveRequest save{{"Nice", "LFMN_GND", "LFMN"}, true};
    save.files.sector = folder.file("s.sct");
    OutputFiles files;
    add_saved_files(files, state, save, dialogs);
    files.commit();
    const std::string file = read_bytes(folder.file("s.sct"));
    // Two pieces round the hole, cut through its middle.
    EXPECT_THAT(file, HasSubstr("\r\nREGIONNAME LFMN chauss\xE9" "es\r\nsol_dur "));
    size_t pieces = 0;
    for (size_t at = 0; (at = file.find("\r\nsol_dur ", at)) != std::string::npos; ++at) ++pieces;
    EXPECT_EQ(pieces, 2u);
    EXPECT_THAT(file, HasSubstr(" N043.39.35.999 E007.12.00.000\r\n"));  // a corner, as written
    EXPECT_THAT(file, HasSubstr("\r\n\"P '12'\" N043.39.53.999 E007.12.18.000 sol_poste\r\n"));
    EXPECT_THAT(file, HasSubstr(" sol_axe\r\n"));
    choose_ground(state, {}, memo);
    EXPECT_TRUE(state.nav.ground.empty());
}
