// karvel-import and karvel-sct as processes, fed what a careless or hostile
// source gives them: outputs that are inputs, files of other users, bytes
// that are no text, endless lines, FIFOs, interruptions, absurd numbers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "support.h"

using namespace karvel::test;

namespace {

// Names in a folder that begin with `prefix`.
int count_named(const TempDir& dir, const std::string& prefix) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename().string().rfind(prefix, 0) == 0;
    return n;
}

const std::string kApt =
    "I\n1000 Version - data cycle 2013.10\n1 10 1 0 LFXX Essai\n"
    "100 45.0 1 0 0.25 1 3 1 09 48.90 002.40 0 0 3 7 1 1 27 48.90 002.46 0 0 3 7 1 1\n99\n";
const std::string kNav = "I\n810 Version\n3 48.95 002.45 300 11535 130 0.0 XVR ESSAI VOR-DME\n99\n";

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
    Outcome r = run(dir, import_cmd("F --output out.sqlite"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("1 fichiers, lus avec l'écriture, 2 autres"));
    EXPECT_THAT(r.out, HasSubstr("1 SID"));

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

    // Waiting on a FIFO nobody reads, nothing regular has changed yet; an
    // interruption then leaves the old file and no temporary file.
    write_bytes(dir.file("new.sct"), "old");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::chdir(dir.str().c_str());
        ::execl(KARVEL_SCT_PATH, KARVEL_SCT_PATH, "--airport", "LFPG", "--radius", "50", "--output",
                "new.sct", "--memo", "fifo", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(read_bytes(dir.file("new.sct")), "old");
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
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

    // Absurd numbers: the map's arithmetic failures are told, not written
    // into the settings file; a position off the globe never reaches SQL;
    // a control character in an ident becomes a blank in the file.
    build_database(dir.file("navdata.sqlite"),
                   "update runways set latitude = 1e308 where airportID ="
                   " (select ID from airports where ICAO = 'LFPG');"
                   "update airports set latitude = 1e308 where ICAO = 'LFMN';"
                   "update waypoints set ident = 'MO' || char(13) || 'PAR' where ident = 'MOPAR';");
    const std::string settings = read_bytes(dir.file("karvel_params.ini"));
    r = run(dir, sct + "--output map.sct --picture map.png");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("erreur de calcul"));
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), settings);
    EXPECT_THAT(read_bytes(dir.file("map.sct")), HasSubstr("\r\nMO PAR N049"));
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
