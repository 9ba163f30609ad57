// karvel-sct end to end, from a program folder made here: golden sector and
// companion files of the shipped sample database, identity texts, errors.
// Then karvel-import and karvel-sct fed what a careless or hostile source
// gives them: outputs that are inputs, files of other users, bytes that are
// no text, endless lines, FIFOs, interruptions, absurd numbers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support.h"

using namespace karvel::test;
using ::testing::AllOf;
using ::testing::Not;

namespace {

// The line, from 1, of the first line starting with `start`.
size_t line_of(const std::string& text, const std::string& start) {
    size_t line = 1;
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1, ++line)
        if (text.compare(at, start.size(), start) == 0) return line;
    return 0;
}

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

// Every client file karvel writes passes the checker with no error, and
// against a later cycle shows what moved and went; a file it cannot read
// ends it with status 2.
TEST_F(SctTest, TheCheckerPassesEveryClientFile) {
    for (const char* kind : {"", "=sct2", "=sct"}) {
        SCOPED_TRACE(kind);
        const std::string out = std::string("c.") + (std::string(kind) == "=sct2" ? "sct2" : "sct");
        ASSERT_EQ(sct("--airport LFPG --radius 50 --geo 1 --client-format" + std::string(kind) +
                      " --name N --callsign C --sector-icao LFPG --date 2026-12-07 --output " +
                      out + " --ese c.ese")
                      .status,
                  0);
        const Outcome r = run(dir, "'" KARVEL_CHECK_PATH "' " + out + " c.ese --date 2026-12-07");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_THAT(r.err, HasSubstr("karvel-check : 0 erreur(s)"));
    }
    // Against a later cycle: a fix moved 2 nm north, a VOR withdrawn, a fix
    // renamed.
    build_database(dir.file("navdata.sqlite"),
                   "update waypoints set latitude = latitude + 2.0 / 60 where ident = 'OL240';"
                   "delete from navaids where ident = 'RBT';"
                   "update waypoints set ident = 'OL24N' where ident = 'OL180';"
                   "update config set val = '2612' where key = 'CycleName';");
    const Outcome r = run(dir, "'" KARVEL_CHECK_PATH "' c.sct --database navdata.sqlite");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("c.sct:" + std::to_string(line_of(read_bytes(dir.file("c.sct")), "OL240 ")) +
                                 ": erreur: OL240 déplacé de "));
    EXPECT_THAT(r.out, HasSubstr(" m (2.00 NM) [cycle]"));
    EXPECT_THAT(r.out, HasSubstr("RBT n'est plus dans la base de données [cycle]"));
    EXPECT_THAT(r.out, HasSubstr("OL180 renommé OL24N [cycle]"));
    EXPECT_THAT(r.out, HasSubstr("c.sct:2: avertissement: fichier du cycle 2611, plus ancien"));
    EXPECT_EQ(run(dir, "'" KARVEL_CHECK_PATH "' absent.sct").status, 2);
    // An Access file is read through its SQLite copy: one without the
    // navigation tables is told so.
    const std::string mdb = KARVEL_SHARED_DIR "/data/mdb/nwind.mdb";
    if (!std::filesystem::exists(mdb)) return;
    const Outcome a = run(dir, "'" KARVEL_CHECK_PATH "' c.sct --database '" + mdb + "'");
    EXPECT_EQ(a.status, 2);
    EXPECT_THAT(a.err, HasSubstr("n'est pas une base de navigation"));
}

// The user's own lines in both client files, which the checker passes;
// then one selection in two cycles: what went is told, the user's line that
// names it too, with status 1; the same cycle twice, status 0.
TEST_F(SctTest, OwnLinesKeptAndTheDiffOfTwoCycles) {
    std::filesystem::create_directories(dir.file("secteurs/LFPG_50nm.d"));
    write_bytes(dir.file("secteurs/LFPG_50nm.d/GEO.txt"), "carte RBT RBT OL240 OL240 centreline\n"
                "carte OL240 OL240 OL180 OL180 centreline ; ex RBT\n");
    write_bytes(dir.file("secteurs/LFPG_50nm.d/POSITIONS.txt"),
                "LFPG_X_APP:Paris X:125.100:PX:X:LFPG:APP:-:-:-:-\n");
    ASSERT_EQ(sct("--airport LFPG --radius 50 --client-format --name N --callsign C --sector-icao "
                  "LFPG --centrelines 10 --ese secteurs/LFPG_50nm.ese --output secteurs/LFPG_50nm.sct")
                  .status,
              0);
    EXPECT_THAT(read_bytes(dir.file("secteurs/LFPG_50nm.ese")),
                HasSubstr("POSITIONS.txt\r\nLFPG_X_APP:Paris X:125.100:"));
    Outcome r = run(dir, "'" KARVEL_CHECK_PATH "' secteurs/LFPG_50nm.sct secteurs/LFPG_50nm.ese");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_THAT(r.out, Not(HasSubstr("LFPG_X_APP")));
    build_sample_database(dir.file("new.sqlite"));
    // The VOR and the fix of its name both gone: the user's line names nothing.
    build_database(dir.file("new.sqlite"),
                   "delete from navaids where ident = 'RBT'; delete from waypoints where ident = 'RBT';");
    const std::string diff = "'" KARVEL_DIFF_PATH "' navdata.sqlite ";
    r = run(dir, diff + "new.sqlite --airport LFPG --radius 50");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\nbalises : 1 retirée\n"));
    EXPECT_THAT(r.out, HasSubstr("\n  RBT : retirée\n"));
    EXPECT_THAT(r.out, AllOf(HasSubstr("[vos lignes]\n  secteurs/LFPG_50nm.d/GEO.txt:1 : RBT n'est "
                                       "plus dans la nouvelle base\n"),
                             Not(HasSubstr("OL240 n'est")), Not(HasSubstr("GEO.txt:2"))));
    EXPECT_EQ(run(dir, diff + "navdata.sqlite --region LF").status, 0);
    r = run(dir, diff + "absent.sqlite --airport LFPG --radius 50");
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("introuvable"));
}

// Airway levels: a low airway under [LOW AIRWAY] only, one of both levels
// under each, one of no known level under [HIGH AIRWAY] only; the GeoJSON
// says each segment's level. The default format has them all as before.
TEST_F(SctTest, AirwayLevelsInTheClientFormatAndTheGeoJson) {
    build_database(dir.file("navdata.sqlite"),
                   "update airwaylegs set level = 'low' where airwayID ="
                   " (select ID from airways where ident = 'UN857');"
                   "update airwaylegs set level = 'both' where airwayID ="
                   " (select ID from airways where ident = 'A34');");
    const Outcome r = sct("--airport LFPG --radius 50 --client-format --name N --callsign C "
                          "--sector-icao I --output c.sct --geojson c.geojson");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string file = read_bytes(dir.file("c.sct"));
    const auto section = [&](const std::string& header) {
        const size_t from = file.find(header + "\r\n");
        if (from == std::string::npos) return std::string();
        return file.substr(from, file.find("\r\n[", from + 1) - from);
    };
    const std::string low = section("[LOW AIRWAY]"), high = section("[HIGH AIRWAY]");
    EXPECT_THAT(low, HasSubstr("\r\nUN857 "));
    EXPECT_THAT(low, HasSubstr("\r\nA34 "));
    EXPECT_THAT(low, Not(HasSubstr("UM605")));
    EXPECT_THAT(high, HasSubstr("\r\nA34 "));
    EXPECT_THAT(high, HasSubstr("\r\nUM605 "));
    EXPECT_THAT(high, Not(HasSubstr("UN857")));
    const std::string json = read_bytes(dir.file("c.geojson"));
    EXPECT_THAT(json, HasSubstr("\"name\":\"UN857\",\"level\":\"low\""));
    EXPECT_THAT(json, HasSubstr("\"name\":\"A34\",\"level\":\"both\""));
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
        {"--airport LFPG", "--radius"},
        {"--region LF --geo 5", "--geo"},
        {"--region LF --bad", "--bad"},
        {"--region LF --database absent.sqlite", "absent.sqlite"},
        {"--airport ZZZZ --radius 50", "ZZZZ"},
        {"--region LF --client-format --name N --callsign C --sector-icao I --date 2030-01-01",
         "2030-01-01"},
        {"--region LF --date 2026-12-07", "--client-format"},
        {"--region LF --output navdata.sqlite", "--output"},
        {"--region LF --memo karvel_params.ini", "--memo"},
        {"--region LF --output a.sct --memo ./a.sct", "a.sct"},
        {"--region LF --output - --memo -", "--memo"},
        {"--region LF --picture-size 300x200", "--picture"},
        {"--region LF --picture p.png --picture-size 0x200", "--picture-size"},
        {"--region LF --picture p.png --picture-size 200x16385", "--picture-size"},
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

namespace {

// Names in a folder that begin with `prefix`.
int count_named(const TempDir& dir, const std::string& prefix) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename().string().rfind(prefix, 0) == 0;
    return n;
}

// An airport with one runway, a VOR beside it.
const std::string kApt = source_file("tests/cli/data/apt.dat");
const std::string kNav = source_file("tests/cli/data/nav.dat");

// One CIFP row: a TF leg to FIXA, every field there.
std::string cifp_row(const char* seq) {
    std::string row = std::string("SID:") + seq + ",1,XVR1A,RW27,XVR,LF,D, ";
    for (int i = 8; i < 38; ++i) row += i == 11 ? ",TF" : ", ";
    return row + ";";
}

std::string import_cmd(const std::string& args) {
    return "'" KARVEL_IMPORT_PATH "' " + args;
}

}  // namespace

TEST(ImportUntrusted, NeverWritesOverItsInputsNorOtherUsersFiles) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("F/CIFP/SUB.dat"));
    write_bytes(dir.file("F/apt.dat"), kApt);
    write_bytes(dir.file("F/nav.dat"), kNav);
    write_bytes(dir.file("F/CIFP/LFXX.DAT"), cifp_row("010") + "\r" + cifp_row("020") + "\r");
    ::symlink("gone.dat", dir.file("F/CIFP/ZZZZ.dat").c_str());  // listed last or not
    ::symlink("F/nav.dat", dir.file("nav.sqlite").c_str());
    for (const char* output : {"F/apt.dat", "nav.sqlite", "F", "F/CIFP/LFXX.DAT"}) {
        const Outcome r = run(dir, import_cmd("F --output ") + output);
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_THAT(r.err, HasSubstr("--output"));
    }
    EXPECT_EQ(read_bytes(dir.file("F/apt.dat")), kApt);
    EXPECT_EQ(read_bytes(dir.file("F/nav.dat")), kNav);

    // Entries that are no readable .dat file are passed over and counted;
    // the CR-only file is read (its SID reaches the database).
    Outcome r = run(dir, import_cmd("F --progress --output out.sqlite"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("1 fichiers, lus avec l'écriture, 2 autres"));
    EXPECT_THAT(r.out, HasSubstr("1 SID"));
    EXPECT_THAT(r.err, HasSubstr("apt.dat : 100 %\nnav.dat : 100 %"));  // as it reads

    // A 0600 database stays 0600; as another user, a file of ours that we
    // may not write is refused and stays as it was.
    ::chmod(dir.file("out.sqlite").c_str(), 0600);
    ASSERT_EQ(run(dir, import_cmd("F --output out.sqlite")).status, 0);
    EXPECT_EQ(mode_of(dir.file("out.sqlite")) & 07777, 0600u);
    if (::geteuid() == 0) {
        for (const char* p : {"", "/F", "/F/CIFP"}) ::chmod((dir.str() + p).c_str(), 0777);
        ::chmod(dir.file("out.sqlite").c_str(), 0444);
        const std::string before = read_bytes(dir.file("out.sqlite"));
        r = run(dir, import_cmd("F --output out.sqlite"), true);
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.err, HasSubstr("permission refus"));
        EXPECT_EQ(mode_of(dir.file("out.sqlite")) & 07777, 0444u);
        EXPECT_EQ(read_bytes(dir.file("out.sqlite")), before);
    }
    EXPECT_EQ(count_named(dir, ".out.sqlite"), 0);

    // An outline file is read like the others: never written over, and a
    // bad line in it stops the import before any database is begun.
    write_bytes(dir.file("zones.txt"), "AC D\nDP 45:00:00 N 005:00:00 E\nDA 5,0,90\n");
    r = run(dir, import_cmd("F --boundaries zones.txt --output zones.txt"));
    EXPECT_THAT(std::pair(r.status, r.err), Pair(1, HasSubstr("--output")));
    r = run(dir, import_cmd("F --boundaries zones.txt --output z.sqlite"));
    EXPECT_THAT(std::pair(r.status, r.err), Pair(1, HasSubstr("zones.txt\", ligne 3 : arc sans centre")));
    r = run(dir, import_cmd("F --attribution CC --boundaries zones.txt --output z.sqlite"));
    EXPECT_THAT(std::pair(r.status, r.err), Pair(1, HasSubstr("--attribution suit le fichier")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("z.sqlite")));
}

// A database imported with outlines: karvel-sct finds them and writes them
// in the client format, never in the default one.
TEST(ImportOutlines, TheCommandFindsThemInTheDatabase) {
    TempDir dir;
    make_program_folder(dir);
    write_bytes(dir.file("apt.dat"), kApt);
    write_bytes(dir.file("nav.dat"), kNav);
    write_bytes(dir.file("zones.txt"),
                "AC CTR\nAN ESSAI CTR\nAL SFC\nV X=48:54:00 N 002:25:00 E\nDC 8\n");
    ASSERT_EQ(run(dir, import_cmd(". --boundaries zones.txt --attribution 'à citer' --output o.sqlite"))
                  .status,
              0);
    const std::string sct = "'" KARVEL_SCT_PATH "' --database o.sqlite --airport LFXX --radius 30 ";
    ASSERT_EQ(run(dir, sct + "--output plain.sct").status, 0);
    const Outcome client = run(dir, sct + "--client-format --name N --callsign C --sector-icao I "
                                          "--date 2026-12-07 --output client.sct");
    ASSERT_EQ(client.status, 0) << client.err;
    EXPECT_THAT(read_bytes(dir.file("client.sct")),
                HasSubstr("[ARTCC LOW]\r\n; zones.txt : \xE0 citer\r\nESSAI CTR N049.01.59"));
    EXPECT_EQ(read_bytes(dir.file("plain.sct")).find("ARTCC"), std::string::npos);
}

// The ground of the airports asked, into the client format; refused where
// it cannot go, and nothing written then.
TEST(ImportGround, TheCommandWritesTheAirportsAsked) {
    TempDir dir;
    make_program_folder(dir);
    write_bytes(dir.file("apt.dat"), kApt.substr(0, kApt.size() - 3) +
                                         "1300 48.91 002.42 90 gate jets Poste \"7\"\n99\n");
    write_bytes(dir.file("nav.dat"), kNav);
    const Outcome import = run(dir, import_cmd(". --output o.sqlite"));
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_THAT(import.out, HasSubstr("sol : 1 a\xC3\xA9rodromes, 1 surfaces, 0 lignes, 1 postes"));
    const std::string sct = "'" KARVEL_SCT_PATH "' --database o.sqlite --airport LFXX --radius 30 ";
    const std::string client = "--client-format --name N --callsign C --sector-icao I --date 2026-12-07 ";
    const Outcome ok = run(dir, sct + client + "--ground lfxx,ZZZZ --output c.sct");
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_THAT(ok.err, HasSubstr("ZZZZ : aucun plan au sol dans la base"));
    const std::string file = read_bytes(dir.file("c.sct"));
    EXPECT_THAT(file, HasSubstr("[REGIONS]\r\nREGIONNAME LFXX pistes\r\nsol_piste N048.54.00.7"));
    EXPECT_THAT(file, HasSubstr("[LABELS]\r\n\"Poste '7'\" N048.54.35.999 E002.25.11.999 sol_poste\r\n"));
    // For the client that reads no [REGIONS]: the runway as [GEO] lines, the
    // stand as free text only.
    const Outcome bare = run(dir, sct + "--client-format=sct" + client.substr(15) +
                                      "--ground LFXX --output b.sct --ese b.ese");
    ASSERT_EQ(bare.status, 0) << bare.err;
    EXPECT_THAT(read_bytes(dir.file("b.sct")),
                AllOf(Not(HasSubstr("[REGIONS]")), Not(HasSubstr("[LABELS]")),
                      HasSubstr("\r\nLFXX pistes               N048.54.00.7")));
    EXPECT_THAT(read_bytes(dir.file("b.ese")),
                HasSubstr(":LFXX postes de stationnement:Poste \"7\"\r\n"));
    const std::pair<std::string, std::string> refused[] = {
        {sct + "--ground LFXX --output d.sct", "--ground va avec --client-format"},
        {sct + client + "--ground , --output d.sct", "--ground : aucun code OACI"}};
    for (const auto& [command, message] : refused) {
        const Outcome r = run(dir, command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_THAT(r.err, HasSubstr(message)) << command;
        EXPECT_FALSE(std::filesystem::exists(dir.file("d.sct")) ||
                     std::filesystem::exists(dir.file("d.png")));
    }
}

// Every row below stops the import with the file and the line, at once and
// in bounded memory; a byte-order mark is read as nothing.
TEST(ImportUntrusted, BytesThatAreNoTextAndLinesWithoutEnd) {
    TempDir dir;
    write_bytes(dir.file("apt.dat"), kApt);
    const std::string head = "I\n810 Version\n";
    const std::pair<std::string, std::string> cases[] = {
        {head + "3 48.95 002.45 300 11535 130 0.0 X\vR ESSAI\n99\n",
         "ligne 3 : caract\xC3\xA8re de contr\xC3\xB4le 0x0B dans \"X?R\""},
        {head + "3 48.95 002.45 300 11535 130 0.0 XVR ESSAI\n" + std::string("\0\n99\n", 5),
         "ligne 4 : octet 0x00"},
        {head + std::string(5 << 20, '3'), "ligne 3 : ligne de plus de 16384"},
        {head + "3 0x1p5 002.45 300 11535 130 0.0 XVR ESSAI\n99\n",
         "ligne 3 : latitude : \"0x1p5\""},
        {head + "3 48.95 002.45 300 11535 130 0.0 FI\rXB ESSAI\n99\n", "ligne 3 : ligne incompl"},
        {head + "3 48.95 002.45 300 11535 130 0.0 " + std::string(257, 'X') + " ESSAI\n99\n",
         "ligne 3 : texte de plus de 256 octets : \"XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX...\""},
    };
    for (const auto& [nav, expected] : cases) {
        write_bytes(dir.file("nav.dat"), nav);
        const Outcome r = run(dir, import_cmd(". --output out.sqlite"));
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.err, HasSubstr("nav.dat\", " + expected));
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.sqlite")));
    }
    write_bytes(dir.file("nav.dat"), "\xEF\xBB\xBF" + kNav);
    EXPECT_EQ(run(dir, import_cmd(". --output out.sqlite")).status, 0);

    std::filesystem::create_directory(dir.file("CIFP"));
    write_bytes(dir.file("CIFP/LFXX.dat"), "SID:010,1,XVR1A,RW27,,,,,,,,CA,XVR,LF,D,;\n");
    const Outcome cut = run(dir, import_cmd(". --output out.sqlite"));
    EXPECT_THAT(cut.err, HasSubstr("LFXX.dat\", ligne 1 : ligne incompl"));
}

TEST(SctUntrusted, FifosInterruptionsLeftoversAndTheSettingsFile) {
    TempDir dir;
    make_program_folder(dir);
    const std::string sct = "'" KARVEL_SCT_PATH "' --airport LFPG --radius 50 ";
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);

    // A database that is a FIFO is refused at once.
    Outcome r = run(dir, "timeout 20 " + sct + "--database fifo");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("pas un fichier ordinaire"));

    // Waiting on a FIFO nobody reads, nothing regular has changed yet: an
    // interruption then leaves the old file and no temporary file.
    write_bytes(dir.file("new.sct"), "old");
    EXPECT_EQ(run(dir, "timeout 1.5 " + sct + "--output new.sct --memo fifo").status, 124);
    EXPECT_EQ(read_bytes(dir.file("new.sct")), "old");
    EXPECT_EQ(count_named(dir, ".new.sct"), 0);

    // A killed run's leftover goes with the next run to the same file; a
    // running process's (this one's) stays.
    write_bytes(dir.file(".new.sct.new-999999999-0000abcd"), "killed");
    const std::string mine = ".new.sct.new-" + std::to_string(::getpid()) + "-0000abcd";
    write_bytes(dir.file(mine), "running");
    ASSERT_EQ(run(dir, sct + "--output new.sct").status, 0);
    EXPECT_EQ(count_named(dir, ".new.sct"), 1);
    EXPECT_TRUE(std::filesystem::exists(dir.file(mine)));

    // Absurd numbers: a record whose position is no point of the globe, or
    // whose numbers are not finite, is left out and named on one line; no
    // output holds a number that is none, the GeoJSON stays JSON; the
    // settings file is not written; a position off the globe or missing
    // never reaches SQL; a control character in an ident becomes a blank.
    build_database(dir.file("navdata.sqlite"), source_file("tests/cli/data/absurd.sql"));
    const std::string settings = read_bytes(dir.file("karvel_params.ini"));
    r = run(dir, sct + "--output map.sct --ese map.ese --geojson map.geojson --picture map.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("pas un point du globe : runway PARIS CHARLES DE GAULLE 09L; "));
    EXPECT_THAT(r.err, HasSubstr("; ILS GLE"));
    EXPECT_THAT(r.err, HasSubstr("; leg "));
    EXPECT_THAT(r.err, HasSubstr("octets coupés : 1 ("));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_LT(read_bytes(dir.file("map.sct")).size(), 1'000'000u);
    for (const char* f : {"map.sct", "map.ese", "map.geojson"}) {
        std::string text = read_bytes(dir.file(f));
        std::transform(text.begin(), text.end(), text.begin(), ::tolower);
        EXPECT_EQ(text.find("nan"), std::string::npos) << f;
        for (size_t at = text.find("inf"); at != std::string::npos; at = text.find("inf", at + 1))
            EXPECT_EQ(text.substr(at, 4), "info") << f;  // [INFO], never a number
    }
    EXPECT_EQ(run(dir, "python3 -m json.tool map.geojson").status, 0);
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), settings);
    EXPECT_THAT(read_bytes(dir.file("map.sct")), HasSubstr("\r\nMO PAR N049"));
    r = run(dir, "'" KARVEL_SCT_PATH "' --airport LFPO --radius 50");
    EXPECT_THAT(std::pair(r.status, r.err), Pair(1, HasSubstr("sans position dans la base")));
    r = run(dir, "'" KARVEL_SCT_PATH "' --airport LFMN --radius 50");
    EXPECT_THAT(r.err, HasSubstr("hors du globe"));

    // Messages name the path and say why; a damaged settings file is one line.
    r = run(dir, sct + "--output nope/x.sct");
    EXPECT_THAT(r.err, HasSubstr("nope/x.sct\" (création : fichier ou dossier inexistant)"));
    write_bytes(dir.file("karvel_params.ini"), "");
    r = run(dir, sct);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

// A user who may write the files but not their folder: each is rewritten in
// place. Under a file-size limit the run fails in French before touching
// any; stopped at any moment, every file is whole, old or new; a database
// likewise, and its filling leaves nothing in the temporary folder.
TEST(SctUntrusted, FilesRewrittenInPlaceStayWhole) {
    if (::geteuid() != 0) GTEST_SKIP() << "run as root, to act as another user";
    TempDir dir;
    make_program_folder(dir);
    ::chmod(dir.str().c_str(), 0755);
    std::filesystem::create_directory(dir.file("out"));
    const std::string sct = "'" KARVEL_SCT_PATH "' --airport LFPG --radius 50 ";
    ASSERT_EQ(run(dir, sct + "--output new.sct --geojson new.geojson").status, 0);
    const std::string new_sct = read_bytes(dir.file("new.sct"));
    const std::string new_json = read_bytes(dir.file("new.geojson"));
    const auto reset = [&] {
        for (const char* f : {"out/old.sct", "out/old.geojson"}) {
            write_bytes(dir.file(f), "old");
            ASSERT_EQ(::chown(dir.file(f).c_str(), 65534, 65534), 0);
        }
    };
    const std::string both = "--output out/old.sct --geojson out/old.geojson";

    // Room for the sector file, not for the GeoJSON.
    reset();
    const size_t blocks = (new_sct.size() + 511) / 512 + 1;
    ASSERT_LT(blocks * 512, new_json.size());
    Outcome r = run(dir, "sh -c \"ulimit -f " + std::to_string(blocks) + "; exec " + sct + both +
                             "\"", true);
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("old.geojson\" (réécriture sur place : fichier trop grand"));
    EXPECT_EQ(read_bytes(dir.file("out/old.sct")), "old");
    EXPECT_EQ(read_bytes(dir.file("out/old.geojson")), "old");
    r = run(dir, sct + both, true);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_bytes(dir.file("out/old.sct")), new_sct);

    // Stopped after 0 to 190 ms: both old or both new, never cut.
    for (int ms = 0; ms < 200; ms += 10) {
        reset();
        run(dir, "sh -c '" + sct + both + " & sleep " + std::to_string(ms / 1000.0) +
                     "; kill -TERM $!; wait'", true);
        const std::string s = read_bytes(dir.file("out/old.sct"));
        const std::string g = read_bytes(dir.file("out/old.geojson"));
        EXPECT_TRUE((s == "old" && g == "old") || (s == new_sct && g == new_json)) << ms << " ms";
    }
    EXPECT_EQ(count_named(dir, ".old"), 0);

    // A database: too big for the limit, the old one stays and the filling
    // in the temporary folder goes.
    std::filesystem::create_directories(dir.file("F"));
    write_bytes(dir.file("F/apt.dat"), kApt);
    write_bytes(dir.file("F/nav.dat"), kNav);
    write_bytes(dir.file("out/old.sqlite"), "old");
    ASSERT_EQ(::chown(dir.file("out/old.sqlite").c_str(), 65534, 65534), 0);
    const std::string tmp = dir.file("tmp");
    std::filesystem::create_directory(tmp);
    ::chmod(tmp.c_str(), 01777);
    r = run(dir, "sh -c \"ulimit -f 8; TMPDIR='" + tmp + "' exec " +
                     import_cmd("F --output out/old.sqlite") + "\"", true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read_bytes(dir.file("out/old.sqlite")), "old");
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
    write_bytes(tmp + "/.karvel-fill.new-999999999-0000abcd", "a killed import's");
    ASSERT_EQ(::chown((tmp + "/.karvel-fill.new-999999999-0000abcd").c_str(), 65534, 65534), 0);
    r = run(dir, "env TMPDIR='" + tmp + "' " + import_cmd("F --output out/old.sqlite"), true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_bytes(dir.file("out/old.sqlite")).substr(0, 15), "SQLite format 3");
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
}

// What an output cannot be, each with its own reason; /dev/stdout on a
// pipe is the pipe.
TEST(SctUntrusted, OutputsThatAreNoFile) {
    TempDir dir;
    make_program_folder(dir);
    const std::string sct = "'" KARVEL_SCT_PATH "' --airport LFPG --radius 50 ";
    ::symlink("loop.sct", dir.file("loop.sct").c_str());
    Outcome r = run(dir, sct + "--output loop.sct");
    EXPECT_THAT(std::pair(r.status, r.err),
                Pair(1, HasSubstr("loop.sct\" (ouverture : trop de liens symboliques)")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("loop.sct")));
    std::filesystem::create_directory(dir.file("dossier"));
    r = run(dir, sct + "--ese dossier");
    EXPECT_THAT(r.err, HasSubstr("dossier\" (c'est un dossier)\n"));
    r = run(dir, "python3 -c \"import socket; s = socket.socket(socket.AF_UNIX); s.bind('sock')\"");
    if (r.status == 0) {
        r = run(dir, sct + "--output sock");
        EXPECT_THAT(r.err, HasSubstr("sock\" (c'est une socket, pas un fichier)"));
    }
    r = run(dir, sct + "--ese /dev/stdout | cat");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("[SIDSSTARS]"));
}
