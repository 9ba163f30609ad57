// Writing files: nothing that is not ours is ever replaced, permissions and
// links are kept, several files go in place together or not at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "core/error.h"
#include "core/file_output.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

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
    {
        OutputFiles files;
        files.add(dir.file("a.sct"), "new a");
        files.add("/dev/full", "no room");  // fails when written, after a.sct was replaced
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
