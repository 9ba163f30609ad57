// karvel-sct end to end, from a program folder made here: golden sector files
// of the shipped sample database, identity texts, errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support.h"

using karvel::test::read_bytes;
using karvel::test::TempDir;
using karvel::test::write_bytes;

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

struct SctTest : ::testing::Test {
    SctTest() { karvel::test::make_program_folder(dir); }
    // Runs the command in the program folder; arguments are shell words.
    Outcome sct(const std::string& args) {
        const std::string cmd =
            "cd '" + dir.str() + "' && '" KARVEL_SCT_PATH "' " + args + " > out.txt 2> err.txt";
        const int raw = std::system(cmd.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(dir.file("out.txt")),
                read_bytes(dir.file("err.txt"))};
    }
    std::string golden(const std::string& name) {
        return karvel::test::source_file("tests/golden/" + name);
    }
    TempDir dir;
};

}  // namespace

TEST_F(SctTest, GoldenFilesOfAnAirportAndARegion) {
    Outcome r =
        sct("--airport LFPG --radius 50 --name 'Paris Nord' --callsign LFPG_N_APP "
            "--sector-icao LFPG");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "secteurs/LFPG_50nm.sct\n");
    EXPECT_EQ(read_bytes(dir.file("secteurs/LFPG_50nm.sct")), golden("LFPG_50nm.sct"));

    r = sct("--region lf --name France --callsign LFFF_CTR --sector-icao LFFF --output lf.sct");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_bytes(dir.file("lf.sct")), golden("LF.sct"));
}

TEST_F(SctTest, IdentityTextsMemoAndTheWholeDatabase) {
    const Outcome r = sct("--region '' --name 'Secteur \xC3\xA9t\xC3\xA9' --memo memo.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = read_bytes(dir.file("secteurs/tout.sct"));
    EXPECT_NE(file.find("\r\nSecteur \xE9t\xE9\r\n"), std::string::npos);  // Windows-1252
    EXPECT_NE(file.find("LSGG-SPR 4J"), std::string::npos);
    const std::string memo = read_bytes(dir.file("memo.txt"));
    EXPECT_NE(memo.find("LSGG-SPR 4J  CD 230"), std::string::npos);
    EXPECT_EQ(memo.find('\r'), std::string::npos);
    EXPECT_EQ(memo.back(), '\n');
}

TEST_F(SctTest, ErrorsSayOneLineAndWriteNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"--region ZZ", "code invalide"},
        {"--region LFX", "code invalide"},
        {"--airport LFPG --radius 0", "0"},
        {"--airport LFPG --radius douze", "douze"},
        {"--airport LFPG", "--radius"},
        {"--region LF --geo 5", "--geo"},
        {"--region LF --bad", "--bad"},
        {"--region LF --database absent.sqlite", "absent.sqlite"},
    };
    for (const auto& [args, word] : cases) {
        const Outcome r = sct(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_NE(r.err.find(word), std::string::npos) << args << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("secteurs"))) << args;
    }
    // A file that cannot be written leaves the one that was there.
    write_bytes(dir.file("keep.sct"), "before");
    std::filesystem::create_directory(dir.file("blocked.sct"));
    EXPECT_NE(sct("--region LF --output blocked.sct").status, 0);
    EXPECT_NE(sct("--region LF --output missing/dir/x.sct").status, 0);
    EXPECT_EQ(read_bytes(dir.file("keep.sct")), "before");
    EXPECT_EQ(sct("--help").status, 0);
}

TEST_F(SctTest, GeographyOfTheSelectionBox) {
    const std::string geo = std::string(KARVEL_SOURCE_DIR) + "/runtime/geo";
    if (!std::filesystem::exists(geo + "/50m_coastline.shp"))
        GTEST_SKIP() << "no generated geography in " << geo;
    std::filesystem::create_directory_symlink(geo, dir.file("geo"));
    const Outcome r = sct("--airport LFMN --radius 40 --geo 2 --output nice.sct");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = read_bytes(dir.file("nice.sct"));
    const size_t start = file.find("[GEO]\r\n");
    ASSERT_NE(start, std::string::npos);
    EXPECT_NE(file.find(" coast\r\n", start), std::string::npos);  // the Riviera's shore
    EXPECT_EQ(file.substr(file.size() - 6), ";\r\n;\r\n");
}
