// karvel-sct end to end, from a program folder made here: golden sector and
// companion files of the shipped sample database, identity texts, errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support.h"

using namespace karvel::test;

namespace {

struct SctTest : ::testing::Test {
    SctTest() { make_program_folder(dir); }
    // Runs the command in the program folder; arguments are shell words.
    Outcome sct(const std::string& args) { return run(dir, "'" KARVEL_SCT_PATH "' " + args); }
    std::string golden(const std::string& name) { return source_file("tests/golden/" + name); }
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

    // The companion file: each procedure once, its named points in flying
    // order, the points outside the selection by their database names.
    ASSERT_EQ(sct("--airport LFPG --radius 50 --ese lfpg.ese").status, 0);
    EXPECT_EQ(read_bytes(dir.file("lfpg.ese")), golden("LFPG_50nm.ese"));

    r = sct("--region lf --name France --callsign LFFF_CTR --sector-icao LFFF --output lf.sct");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_bytes(dir.file("lf.sct")), golden("LF.sct"));
}

TEST_F(SctTest, IdentityTextsMemoAndTheWholeDatabase) {
    const Outcome r = sct("--region '' --name 'Secteur \xC3\xA9t\xC3\xA9' --memo memo.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = read_bytes(dir.file("secteurs/tout.sct"));
    EXPECT_THAT(file, HasSubstr("\r\nSecteur \xE9t\xE9\r\n"));  // Windows-1252
    EXPECT_THAT(file, HasSubstr("LSGG-SPR 4J"));
    const std::string memo = read_bytes(dir.file("memo.txt"));
    EXPECT_THAT(memo, HasSubstr("LSGG-SPR 4J  CD 230"));
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
        {"--airport ZZZZ --radius 50", "ZZZZ"},
        {"--airport LFPG --radius -5", "-5"},
        {"--region LF --name \"$(printf 'Nord\\r\\n[VOR]')\"", "--name"},
        {"--region LF --callsign \"$(printf 'A\\tB')\"", "--callsign"},
        {"--region LF --sector-icao \xE6\x97\xA5", "--sector-icao"},
        {"--region LF --output navdata.sqlite", "--output"},
        {"--region LF --memo karvel_params.ini", "--memo"},
        {"--region LF --output a.sct --memo ./a.sct", "a.sct"},
        {"--region LF --output - --memo -", "--memo"},
        {"--region LF --picture-size 300x200", "--picture"},
        {"--region LF --picture p.png --picture-size 0x200", "--picture-size"},
    };
    const std::string settings = read_bytes(dir.file("karvel_params.ini"));
    for (const auto& [args, word] : cases) {
        const Outcome r = sct(args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_THAT(r.err, HasSubstr(word));
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("secteurs"))) << args;
    }
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), settings);  // refused runs write nothing
    // A file that cannot be written leaves the one that was there, and with
    // a memo that cannot be written the sector file stays as it was too.
    write_bytes(dir.file("a.sct"), "old sector");
    EXPECT_NE(sct("--region LF --output a.sct --memo no/such/memo.txt").status, 0);
    EXPECT_EQ(read_bytes(dir.file("a.sct")), "old sector");
    std::filesystem::create_directory(dir.file("blocked.sct"));
    EXPECT_NE(sct("--region LF --output blocked.sct").status, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("blocked.sct")));  // a folder is not ours
    EXPECT_NE(sct("--region LF --output missing/dir/x.sct").status, 0);
    EXPECT_EQ(sct("--help").status, 0);
}

TEST_F(SctTest, PathsStayWholeAndStandardOutput) {
    // A program folder and an output whose names Windows-1252 cannot hold.
    const std::string folder = dir.file("Δrt");
    std::filesystem::create_directory(folder);
    for (const char* f : {"karvel_params.ini", "index_regions.txt", "navdata.sqlite"})
        std::filesystem::rename(dir.file(f), folder + "/" + f);
    const std::string to = "'" KARVEL_SCT_PATH "' --airport LFPG --radius 50 --output ";
    const Outcome named = run(folder, to + "'日本.sct'");
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, "日本.sct\n");
    EXPECT_THAT(read_bytes(folder + "/日本.sct"), HasSubstr("[INFO]\r\n"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/??.sct"));
    // "-": the sector file alone on standard output.
    EXPECT_EQ(run(folder, to + "-").out, read_bytes(folder + "/日本.sct"));

    // Elsewhere: one line naming the missing file.
    const Outcome r = sct("--airport LFPG --radius 50");  // dir lost its files to the folder
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("karvel_params.ini"));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(SctTest, GeographyOfTheSelectionBox) {
    const std::string geo = std::string(KARVEL_SOURCE_DIR) + "/runtime/geo";
    if (!std::filesystem::exists(geo + "/50m_coastline.shp"))
        GTEST_SKIP() << "no generated geography in " << geo;
    // A missing level says which file it misses.
    const Outcome missing = sct("--airport LFMN --radius 40 --geo 1 --output nice.sct");
    EXPECT_EQ(missing.status, 0);
    EXPECT_THAT(missing.err, HasSubstr("fichier sph non trouv\xC3\xA9 : "));
    EXPECT_THAT(missing.err, HasSubstr("geo/110m_coastline.shp"));
    std::filesystem::create_directory_symlink(geo, dir.file("geo"));
    const Outcome r = sct("--airport LFMN --radius 40 --geo 2 --output nice.sct");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = read_bytes(dir.file("nice.sct"));
    const size_t start = file.find("[GEO]\r\n");
    ASSERT_NE(start, std::string::npos);
    EXPECT_NE(file.find(" coast\r\n", start), std::string::npos);  // the Riviera's shore
    EXPECT_EQ(file.substr(file.size() - 6), ";\r\n;\r\n");
}
