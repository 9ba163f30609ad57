// The settings file: reading, the byte-preserving write, colours.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/colours.h"
#include "app/error.h"
#include "app/ini_file.h"
#include "app/settings.h"
#include "support.h"

using namespace karvel;
using karvel::test::TempDir;

namespace {

std::string colour_section(int keys, const std::string& bad_at_5 = "") {
    std::string couleur = "[couleur]\r\n", afich = "[afich]\r\n";
    for (int i = 0; i < keys; ++i) {
        const std::string k = "elem" + std::to_string(i);
        couleur += k + "=" + (i == 5 && !bad_at_5.empty() ? bad_at_5 : std::to_string(i)) + "\r\n";
        afich += k + "=" + (i % 3 == 0 ? "true" : i % 3 == 1 ? "True" : "false") + "\r\n";
    }
    return couleur + afich;
}

Settings settings_from(const TempDir& dir, const std::string& content) {
    const std::string path = dir.file("karvel_params.ini");
    karvel::test::write_bytes(path, content);
    Settings s;
    s.ini.open(path);
    return s;
}

}  // namespace

TEST(IniFile, ReadsWithoutRegardToCaseAndListsKeysInFileOrder) {
    TempDir dir;
    Settings s = settings_from(dir, "[File]\r\nzeta=1\r\nAlpha = two words \r\nmid=3\r\n");
    EXPECT_EQ(s.ini.read("file", "ALPHA"), "two words");
    EXPECT_EQ(s.ini.read("file", "missing"), "ERROR");
    EXPECT_EQ(s.ini.read("nosection", "zeta"), "ERROR");
    EXPECT_EQ(s.ini.keys("FILE"), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    EXPECT_TRUE(s.ini.keys("none").empty());

    IniFile missing;
    missing.open(dir.file("absent.ini"));
    EXPECT_EQ(missing.read("file", "DNS"), "ERROR");
}

TEST(IniFile, WritingOneValueKeepsEveryOtherByte) {
    const std::string before =
        "; head comment\r\n[screen]\r\neqdist=10\r\n\r\n[file]\r\ndriver=karvel SQLite\r\n"
        "; DNS=commented out\r\nDNS = old name\r\nfilename=C:\\nav\\old.mdb\r\n\r\n"
        "[other]\r\nDNS=not this one\r\n; trailing comment";
    EXPECT_EQ(ini_set_value(before, "FILE", "dns", "new"),
              "; head comment\r\n[screen]\r\neqdist=10\r\n\r\n[file]\r\ndriver=karvel SQLite\r\n"
              "; DNS=commented out\r\nDNS = new\r\nfilename=C:\\nav\\old.mdb\r\n\r\n"
              "[other]\r\nDNS=not this one\r\n; trailing comment");
    // A missing key goes after the section's last line, before the blank line.
    EXPECT_EQ(ini_set_value("[file]\nDNS=a\n\n[x]\ny=1\n", "file", "filename", "/p"),
              "[file]\nDNS=a\nfilename=/p\n\n[x]\ny=1\n");
    // A missing section is appended, in the file's own line ends.
    EXPECT_EQ(ini_set_value("[x]\ny=1", "file", "DNS", "d"), "[x]\ny=1\n[file]\nDNS=d\n");
    EXPECT_EQ(ini_set_value("", "file", "DNS", "d"), "[file]\r\nDNS=d\r\n");
    // Key at the very end of a file without a final line end.
    EXPECT_EQ(ini_set_value("[file]\r\nDNS=a", "file", "DNS", "b"), "[file]\r\nDNS=b");
    EXPECT_EQ(ini_set_value("[file]\r\nx=a", "file", "DNS", "b"), "[file]\r\nx=a\r\nDNS=b\r\n");
}

TEST(IniFile, WriteUpdatesTheFileAndLaterReads) {
    TempDir dir;
    Settings s = settings_from(dir, "[file]\r\nDNS=old\r\n");
    s.ini.write("file", "DNS", "nouveau \xE9");
    EXPECT_EQ(karvel::test::read_bytes(dir.file("karvel_params.ini")),
              "[file]\r\nDNS=nouveau \xE9\r\n");
    EXPECT_EQ(s.ini.read("file", "dns"), "nouveau \xE9");
}

TEST(IniFile, AFailedWriteLeavesTheFileWholeAndNoTemporaryBehind) {
    if (::geteuid() == 0) {
        // root writes through permissions; a missing folder fails for everybody
        IniFile ini;
        ini.open("/nonexistent-karvel-dir/karvel_params.ini");
        EXPECT_THROW(ini.write("file", "DNS", "x"), Error);
        return;
    }
    TempDir dir;
    Settings s = settings_from(dir, "[file]\r\nDNS=old\r\n");
    ::chmod(dir.str().c_str(), 0555);
    EXPECT_THROW(s.ini.write("file", "DNS", "new"), Error);
    ::chmod(dir.str().c_str(), 0755);
    EXPECT_EQ(karvel::test::read_bytes(dir.file("karvel_params.ini")), "[file]\r\nDNS=old\r\n");
}

TEST(IniFile, AtomicReplaceKeepsModeAndLeavesNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("f.ini");
    karvel::test::write_bytes(path, "x");
    ::chmod(path.c_str(), 0600);
    write_file_atomically(path, "y");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(karvel::test::read_bytes(path), "y");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(Colours, IdentifiersIntegersAndTheirErrors) {
    EXPECT_EQ(parse_colour("clRed"), 0x0000FF);
    EXPECT_EQ(parse_colour("CLRED"), 0x0000FF);
    EXPECT_EQ(parse_colour("clblue"), 0xFF0000);
    EXPECT_EQ(parse_colour("clScrollBar"), static_cast<TColor>(0x80000000u));
    EXPECT_EQ(parse_colour("clInfoBk"), static_cast<TColor>(0x80000018u));
    EXPECT_EQ(parse_colour("$00808000"), 0x808000);
    EXPECT_EQ(parse_colour("255"), 255);
    EXPECT_THROW(parse_colour("rouge"), Error);
    EXPECT_THROW(parse_colour("ERROR"), Error);
    EXPECT_THROW(parse_colour("clRedd"), Error);
    for (const char* text : {"clTeal", "clBtnFace", "$00123456", "$80000005"})
        EXPECT_EQ(parse_colour(colour_to_text(parse_colour(text))), parse_colour(text)) << text;
    EXPECT_EQ(colour_to_text(0x123456), "$00123456");
    EXPECT_EQ(to_qcolor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(from_qcolor(QColor(1, 2, 3)), 0x030201);
}

TEST(Colours, TheFirstTwentyKeysInFileOrderAndOnlyTrueShows) {
    TempDir dir;
    Settings s = settings_from(dir, colour_section(25));
    read_colours(s);
    for (int i = 0; i < kColourCount; ++i) {
        const t_couleur& c = s.colours[static_cast<size_t>(i)];
        EXPECT_EQ(c.name, "elem" + std::to_string(i));
        EXPECT_EQ(c.color, i);
        EXPECT_EQ(c.visible, i % 3 == 0) << i;  // "True" is hidden
    }
}

TEST(Colours, FailuresKeepTheElementsBeforeThem) {
    TempDir dir;
    Settings few = settings_from(dir, colour_section(12));
    try {
        read_colours(few);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Index de liste hors limites (12)");
    }
    EXPECT_EQ(few.colours[11].name, "elem11");
    EXPECT_EQ(few.colours[12].name, "");

    Settings bad = settings_from(dir, colour_section(20, "pas une couleur"));
    EXPECT_THROW(read_colours(bad), Error);
    EXPECT_EQ(bad.colours[4].color, 4);
    EXPECT_TRUE(bad.colours[3].visible);
    EXPECT_EQ(bad.colours[6].name, "");
}

TEST(Settings, DetailsInFileOrder) {
    TempDir dir;
    Settings s = settings_from(dir, "[detail]\nriver=clBlue\ncoast=$00808000\n");
    read_details(s);
    ASSERT_EQ(s.details.size(), 2u);
    EXPECT_EQ(s.details[0].key, "river");
    EXPECT_EQ(s.details[1].value, "$00808000");
}
