// The settings file: reading, the byte-preserving write, colours. Writing
// files: nothing that is not ours is ever replaced, permissions and links
// are kept, several files go in place together or not at all.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "core/colours.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/numtext.h"
#include "core/settings.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

Settings settings_from(const TempDir& dir, const std::string& content) {
    write_bytes(dir.file("karvel_params.ini"), content);
    Settings s;
    s.ini.open(dir.file("karvel_params.ini"));
    return s;
}

// [couleur] and [afich] with `keys` elements; element i is colour i, shown
// for "true", hidden for "True" and "false".
std::string colour_sections(int keys, const std::string& bad_at_5 = "") {
    std::string couleur = "[couleur]\r\n", afich = "[afich]\r\n";
    for (int i = 0; i < keys; ++i) {
        const std::string k = "elem" + std::to_string(i);
        couleur += k + "=" + (i == 5 && !bad_at_5.empty() ? bad_at_5 : std::to_string(i)) + "\r\n";
        afich += k + "=" + (i % 3 == 0 ? "true" : i % 3 == 1 ? "True" : "false") + "\r\n";
    }
    return couleur + afich;
}

}  // namespace

TEST(IniFile, ReadsWithoutRegardToCaseKeysInFileOrder) {
    TempDir dir;
    Settings s = settings_from(dir, "[File]\r\nzeta=1\r\nAlpha = two words \r\nmid=3\r\n");
    EXPECT_EQ(s.ini.read("file", "ALPHA"), "two words");
    EXPECT_EQ(s.ini.read("file", "missing"), "ERROR");
    EXPECT_EQ(s.ini.keys("FILE"), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    IniFile missing;
    missing.open(dir.file("absent.ini"));
    EXPECT_EQ(missing.read("file", "DNS"), "ERROR");
    missing.open(dir.str());  // a folder by that name reads as a missing file
    EXPECT_EQ(missing.read("file", "DNS"), "ERROR");
}

TEST(IniFile, WritingOneValueKeepsEveryOtherByte) {
    const std::string before =
        "; head\r\n[file]\r\ndriver=x\r\n; DNS=commented\r\nDNS = old\r\nfilename=C:\\a.mdb\r\n"
        "\r\n[other]\r\nDNS=not this one\r\n; trailing comment";
    EXPECT_EQ(
        ini_set_value(before, "FILE", "dns", "new"),
        "; head\r\n[file]\r\ndriver=x\r\n; DNS=commented\r\nDNS = new\r\nfilename=C:\\a.mdb\r\n"
        "\r\n[other]\r\nDNS=not this one\r\n; trailing comment");
    // A new key after the section's last line; a new section at the end; the
    // file's own line ends, CR LF for a new file.
    EXPECT_EQ(ini_set_value("[file]\nDNS=a\n\n[x]\ny=1\n", "file", "filename", "/p"),
              "[file]\nDNS=a\nfilename=/p\n\n[x]\ny=1\n");
    EXPECT_EQ(ini_set_value("[x]\ny=1", "file", "DNS", "d"), "[x]\ny=1\n[file]\nDNS=d\n");
    EXPECT_EQ(ini_set_value("[x]\ny=1", "x", "z", "2"), "[x]\ny=1\nz=2\n");
    EXPECT_EQ(ini_set_value("", "file", "DNS", "d"), "[file]\r\nDNS=d\r\n");
    EXPECT_EQ(ini_set_value("[file]\r\nDNS=a", "file", "DNS", "b"), "[file]\r\nDNS=b");
}

TEST(IniFile, TheFirstOfATwiceGivenKeyAndUtf8Files) {
    TempDir dir;
    Settings s = settings_from(dir, "[file]\r\nfilename=first\r\nFILENAME=second\r\nx=1\r\n");
    EXPECT_EQ(s.ini.read("file", "filename"), "first");
    EXPECT_EQ(s.ini.keys("file"), (std::vector<std::string>{"filename", "x"}));
    s.ini.write("file", "filename", "chosen");
    EXPECT_EQ(s.ini.read("file", "filename"), "chosen");  // what was written is what is read

    // Saved as UTF-8 with a byte-order mark: read in the code page, written back as UTF-8.
    Settings u = settings_from(dir, "\xEF\xBB\xBF[file]\r\nfilename=données.sqlite\r\n");
    EXPECT_EQ(u.ini.read("file", "filename"), w1252("données.sqlite"));
    u.ini.write("file", "DNS", w1252("été"));
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")),
              "\xEF\xBB\xBF[file]\r\nfilename=données.sqlite\r\nDNS=été\r\n");
}

TEST(IniFile, WriteReplacesTheFileWholeOrNotAtAll) {
    TempDir dir;
    Settings s = settings_from(dir, "[file]\r\nDNS=old\r\n");
    ::chmod(dir.file("karvel_params.ini").c_str(), 0600);
    s.ini.write("file", "DNS", "nouveau \xE9");
    EXPECT_EQ(read_bytes(dir.file("karvel_params.ini")), "[file]\r\nDNS=nouveau \xE9\r\n");
    EXPECT_EQ(s.ini.read("file", "dns"), "nouveau \xE9");
    EXPECT_EQ(mode_of(dir.file("karvel_params.ini")) & 0777, 0600u);

    IniFile nowhere;  // a folder that does not exist fails even for root
    nowhere.open(dir.file("absent/karvel_params.ini"));
    EXPECT_THROW(nowhere.write("file", "DNS", "x"), Error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Colours, IdentifiersIntegersAndTheirErrors) {
    EXPECT_EQ(std::tuple(parse_colour("clRed"), parse_colour("CLBLUE"), parse_colour("clInfoBk"),
                         parse_colour("$00808000"), parse_colour("255")),
              std::tuple(0x0000FF, 0xFF0000, static_cast<TColor>(0x80000018u), 0x808000, 255));
    for (const char* bad : {"rouge", "ERROR", "clRedd"}) EXPECT_THROW(parse_colour(bad), Error);
    for (const char* text : {"clTeal", "clBtnFace", "$00123456"})
        EXPECT_EQ(parse_colour(colour_to_text(parse_colour(text))), parse_colour(text)) << text;
    EXPECT_EQ(to_qcolor(0x0000FF), QColor(255, 0, 0));
}

TEST(Colours, TheFirstTwentyKeysInFileOrderAndOnlyTrueShows) {
    TempDir dir;
    Settings s = settings_from(dir, colour_sections(25));
    read_colours(s);
    for (int i = 0; i < kColourCount; ++i) {
        const t_couleur& c = s.colours[static_cast<size_t>(i)];
        EXPECT_EQ(std::tuple(c.name, c.color, c.visible),
                  std::tuple("elem" + std::to_string(i), i, i % 3 == 0));
    }
    // Failures keep the elements before them.
    Settings few = settings_from(dir, colour_sections(12));
    EXPECT_THROW(read_colours(few), Error);
    EXPECT_EQ(few.colours[11].name + "|" + few.colours[12].name, "elem11|");
    Settings bad = settings_from(dir, colour_sections(20, "pas une couleur"));
    EXPECT_THROW(read_colours(bad), Error);
    EXPECT_EQ(std::pair(bad.colours[4].color, bad.colours[6].name), std::pair(4, std::string()));
    // The outlines keep their own colour where [contours] says none, and
    // take what it says otherwise.
    EXPECT_EQ(std::pair(s.outlines.color, s.outlines.visible),
              std::pair(kOutlineDefaultColour, true));
    Settings own = settings_from(dir, colour_sections(20) + "[contours]\ncouleur=clRed\nafich=false\n");
    read_colours(own);
    EXPECT_EQ(std::pair(own.outlines.color, own.outlines.visible), std::pair(0x0000FF, false));
    Settings wrong = settings_from(dir, colour_sections(20) + "[contours]\ncouleur=rouge\n");
    EXPECT_THROW(read_colours(wrong), Error);
}

namespace {

// Runs `body` as an ordinary user (nobody) when the tests run as root;
// true when it returned true.
template <class F>
bool as_ordinary_user(F body) {
    if (::geteuid() != 0) return body();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST(OutputFiles, LinksDevicesAndFifosAreWrittenThroughNeverReplaced) {
    TempDir dir;
    write_bytes(dir.file("target.sct"), "old");
    ::symlink("target.sct", dir.file("link.sct").c_str());
    write_file_atomically(dir.file("link.sct"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.sct")));
    EXPECT_EQ(read_bytes(dir.file("target.sct")), "new");

    ::symlink("/dev/null", dir.file("null.sct").c_str());
    write_file_atomically(dir.file("null.sct"), "into nothing");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("null.sct")));
    EXPECT_TRUE(S_ISCHR(mode_of("/dev/null")));

    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = read_bytes(dir.file("pipe")); });
    write_file_atomically(dir.file("pipe"), "through the pipe");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(S_ISFIFO(mode_of(dir.file("pipe"))));
    // Only what was written is left: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(OutputFiles, PermissionsKeptUmaskHonouredForeignFilesRefused) {
    TempDir dir;
    write_bytes(dir.file("kept.sct"), "old");
    ::chmod(dir.file("kept.sct").c_str(), 0640);
    write_file_atomically(dir.file("kept.sct"), "new");
    EXPECT_EQ(mode_of(dir.file("kept.sct")) & 0777, 0640u);
    const mode_t old_mask = ::umask(027);
    write_file_atomically(dir.file("fresh.sct"), "x");
    ::umask(old_mask);
    EXPECT_EQ(mode_of(dir.file("fresh.sct")) & 0777, 0640u);

    // A file its user may not write is not replaced; one they may write in a
    // folder they may not is written in place.
    ::chmod(dir.str().c_str(), 0755);
    write_bytes(dir.file("theirs.sct"), "theirs");
    ::chmod(dir.file("theirs.sct").c_str(), 0644);
    write_bytes(dir.file("shared.sct"), "shared");
    ::chmod(dir.file("shared.sct").c_str(), 0666);
    const std::string theirs = dir.file("theirs.sct"), shared = dir.file("shared.sct");
    EXPECT_TRUE(as_ordinary_user([&] {
        try {
            write_file_atomically(theirs, "mine");
            return false;
        } catch (const Error&) {
        }
        write_file_atomically(shared, "written in place");
        return true;
    }));
    EXPECT_EQ(read_bytes(theirs), "theirs");
    EXPECT_EQ(read_bytes(shared), "written in place");
}

TEST(OutputFiles, AllOrNothing) {
    TempDir dir;
    write_bytes(dir.file("a.sct"), "old a");
    write_bytes(dir.file("b.sct"), "old b");
    {
        OutputFiles files;
        files.add(dir.file("a.sct"), "new a");
        files.add(dir.file("b.sct"), "new b");
        // b.sct's temporary file goes missing: its replacement fails after
        // a.sct was replaced, and a.sct gets its old content back.
        for (const auto& f : std::filesystem::directory_iterator(dir.path()))
            if (f.path().filename().string().starts_with(".b.sct.new-"))
                std::filesystem::remove(f.path());
        EXPECT_THROW(files.commit(), Error);
    }
    EXPECT_EQ(read_bytes(dir.file("a.sct")), "old a");
    EXPECT_EQ(read_bytes(dir.file("b.sct")), "old b");
    std::filesystem::remove(dir.file("b.sct"));
    {
        OutputFiles files;
        files.add(dir.file("a.sct"), "new a");
        files.add("/dev/full", "no room");  // a device, written before any file is replaced
        EXPECT_THROW(files.commit(), Error);
    }
    EXPECT_EQ(read_bytes(dir.file("a.sct")), "old a");
    {
        OutputFiles files;
        files.add(dir.file("a.sct"), "new a");
        EXPECT_THROW(files.add(dir.file("no/such/folder.txt"), "m"), Error);
    }  // never committed
    EXPECT_EQ(read_bytes(dir.file("a.sct")), "old a");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_THROW(write_file_atomically(dir.str(), "a folder"), Error);
}

namespace {

// The calls a hook has seen, and what it does at the n-th.
std::atomic<long> g_seen{0}, g_at{0};
int fail_links_and_nth(const char* call) {
    return std::string_view(call) == "link" || ++g_seen == g_at ? EIO : 0;
}
int kill_at_nth(const char*) {
    if (++g_seen == g_at) ::raise(SIGKILL);
    return 0;
}
pthread_t g_other;
int term_other_thread_at_nth(const char*) {
    if (++g_seen == g_at) {
        ::pthread_kill(g_other, SIGTERM);
        ::usleep(20000);  // its handler has run
    }
    return 0;
}
// Two savers: x, between its two renames, lets y go on with its own and
// waits for it to end (a third of a second at most); y waits for that
// before its first rename (a second at most). Unless they take turns, y's
// set falls inside x's.
char g_role = 'x';
int g_go[2], g_done[2];
int x_or_y(const char* call) {
    if (std::string_view(call) != "rename") return 0;
    pollfd p{g_role == 'x' ? g_done[0] : g_go[0], POLLIN, 0};
    if (g_role == 'x' && ++g_seen == 2) {
        (void)!::write(g_go[1], "g", 1);
        ::poll(&p, 1, 300);
    } else if (g_role == 'y' && ++g_seen == 1) {
        ::poll(&p, 1, 1000);
    }
    return 0;
}

// a.sct and b.sct with `a` and `b`; their content together, and whether
// anything else is in the folder.
std::string set_of(const TempDir& dir) {
    const bool alone = std::distance(std::filesystem::directory_iterator(dir.path()), {}) == 2;
    return read_bytes(dir.file("a.sct")) + read_bytes(dir.file("b.sct")) + (alone ? "" : " +");
}

void commit_new(const TempDir& dir, const std::string& tag = "new") {
    OutputFiles files;
    files.add(dir.file("a.sct"), tag + " a");
    files.add(dir.file("b.sct"), tag + " b");
    files.commit();
}

// Runs `body` in a child process; its wait status.
template <class F>
int in_child(F body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace

// Whatever call fails, whenever the run is killed or told to stop from
// another thread, and however two runs meet: the old set or the new,
// whole, and nothing else left beside them.
TEST(OutputFiles, OneSetWholeWhateverHappens) {
    TempDir dir;
    const auto old_set = [&] {
        write_bytes(dir.file("a.sct"), "old a");
        write_bytes(dir.file("b.sct"), "old b");
    };
    // No second name for the old files: refused before any is replaced.
    for (g_at = 1;; ++g_at) {
        old_set();
        g_seen = 0;
        set_file_call_hook(fail_links_and_nth);
        EXPECT_THROW(commit_new(dir), Error);
        set_file_call_hook(nullptr);
        ASSERT_EQ(set_of(dir), "old aold b") << g_at;
        if (g_seen < g_at) break;
    }
    for (g_at = 1;; ++g_at) {
        old_set();
        g_seen = 0;
        const int status = in_child([&] {
            set_file_call_hook(kill_at_nth);
            commit_new(dir);
        });
        {  // the next run, never committed
            OutputFiles next;
            next.add(dir.file("a.sct"), "next");
            next.add(dir.file("b.sct"), "next");
        }
        const std::string set = set_of(dir);
        ASSERT_TRUE(set == "old aold b" || set == "new anew b") << g_at << ": " << set;
        if (WIFEXITED(status)) break;
    }
    remove_temporary_files_on_signals();
    for (g_at = 1;; ++g_at) {
        old_set();
        g_seen = 0;
        const int status = in_child([&] {
            std::thread other([] { ::sleep(5); });
            g_other = other.native_handle();
            other.detach();
            set_file_call_hook(term_other_thread_at_nth);
            commit_new(dir);
        });
        const std::string set = set_of(dir);
        ASSERT_TRUE(set == "old aold b" || set == "new anew b") << g_at << ": " << set;
        if (WIFEXITED(status)) break;
        EXPECT_EQ(WTERMSIG(status), SIGTERM);
    }
    std::signal(SIGTERM, SIG_DFL);
    ASSERT_EQ(::pipe(g_go) | ::pipe(g_done), 0);
    std::vector<pid_t> savers;
    for (const char role : {'x', 'y'})
        if (const pid_t pid = ::fork(); pid == 0) {
            g_role = role;
            g_seen = 0;
            set_file_call_hook(x_or_y);
            commit_new(dir, std::string(1, role));
            if (role == 'y') (void)!::write(g_done[1], "d", 1);
            ::_exit(0);
        } else {
            savers.push_back(pid);
        }
    for (const pid_t pid : savers) ::waitpid(pid, nullptr, 0);
    const std::string set = set_of(dir);
    EXPECT_TRUE(set == "x ax b" || set == "y ay b") << set;
}
