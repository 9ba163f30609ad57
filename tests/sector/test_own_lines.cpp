// The user's own lines: each file of the folder at the end of its section,
// whatever the program writes there; what is no section file left aside;
// a file that would break the structure refused with its line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/error.h"
#include "sector/own_lines.h"
#include "sector/sections.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;
using ::testing::ElementsAre;

TEST(OwnLines, EachAtTheEndOfItsSection) {
    TempDir dir;
    const std::string folder = own_lines_folder(dir.file("LFPG_50nm.sct"));
    EXPECT_EQ(folder, dir.file("LFPG_50nm.d"));
    std::vector<std::string> unknown;
    EXPECT_TRUE(read_own_lines(folder, unknown).empty());  // no folder: nothing
    std::filesystem::create_directory(folder);
    write_bytes(folder + "/GEO.txt", "carte A A B B c\r\ncarte B B C C c\r\n");
    write_bytes(folder + "/ARTCC_HIGH.txt", "UIR A A B B\n");
    write_bytes(folder + "/FREETEXT.txt", "N049.00.00.000:E002.00.00.000:carte:repere\n");
    write_bytes(folder + "/notes.md", "not a section\n");
    const auto own = read_own_lines(folder, unknown);
    EXPECT_THAT(unknown, ElementsAre(folder + "/notes.md"));
    std::vector<std::string> lines = {"[ARTCC HIGH]", "X", ";", ";",
                                      "[GEO]",        "Y", ";", "[REGIONS]"};
    EXPECT_EQ(add_own_lines(lines, own, kSectorSections), 3u);
    EXPECT_THAT(lines, ElementsAre("[ARTCC HIGH]", "X", "; lignes de " + folder + "/ARTCC_HIGH.txt",
                                   "UIR A A B B", ";", ";", "[GEO]", "Y",
                                   "; lignes de " + folder + "/GEO.txt", "carte A A B B c",
                                   "carte B B C C c", ";", "[REGIONS]"));
    // The companion file has no [FREETEXT] yet: it comes at the end.
    std::vector<std::string> ese = {"[SIDSSTARS]"};
    add_own_lines(ese, own, kCompanionSections);
    EXPECT_THAT(ese,
                ElementsAre("[SIDSSTARS]", "[FREETEXT]", "; lignes de " + folder + "/FREETEXT.txt",
                            "N049.00.00.000:E002.00.00.000:carte:repere"));

    write_bytes(folder + "/LABELS.txt", "\"a\" N049.00.00.000 E002.00.00.000 c\n[VOR]\n");
    try {
        read_own_lines(folder, unknown);
        ADD_FAILURE() << "a section opened by the user's lines";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("LABELS.txt:2 : une ligne de section"));
    }
}
