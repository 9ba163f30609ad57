// The SQLite cache of an Access file, built by a helper process.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/numtext.h"
#include "navdb/access_import.h"
#include "navdb/sqlite_db.h"

extern char** environ;

namespace karvel {
namespace {

constexpr int kCacheFormat = 1;          // bumped whenever the importer changes what it writes
constexpr int kSilenceLimitMs = 120000;  // a helper silent this long is stuck

struct SourceStamp {
    std::string path;
    long long size = 0;
    long long mtime_ns = 0;
};

SourceStamp stamp_of(const std::string& mdb_path) {
    const std::filesystem::path p = fs_path(mdb_path);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        throw Error(w1252("Fichier introuvable : \"") + path_text(mdb_path) + "\"");
    std::error_code ec;
    const std::filesystem::path abs = std::filesystem::absolute(p, ec);
    return {abs.string(), static_cast<long long>(st.st_size),
            static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

// The cache was made from this very file by this version of the import.
bool cache_is_current(const std::string& cache, const SourceStamp& s) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(cache, ec)) return false;
    try {
        const SqliteDb db(cache, SqliteDb::Mode::read_only);
        const SqliteStatement st(db, "select path, size, mtime_ns, format from _karvel_import");
        if (sqlite3_step(st.get()) != SQLITE_ROW) return false;
        const auto* path = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
        return path && s.path == path && sqlite3_column_int64(st.get(), 1) == s.size &&
               sqlite3_column_int64(st.get(), 2) == s.mtime_ns &&
               sqlite3_column_int(st.get(), 3) == kCacheFormat;
    } catch (const Error&) {
        return false;  // no cache, or not one of ours: made again
    }
}

void write_stamp(const std::string& cache, const SourceStamp& s) {
    try {
        SqliteDb db(cache, SqliteDb::Mode::read_write);
        db.exec("create table _karvel_import(path, size, mtime_ns, format)");
        const SqliteStatement st(db, "insert into _karvel_import values (?,?,?,?)");
        sqlite3_bind_text(st.get(), 1, s.path.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(st.get(), 2, s.size);
        sqlite3_bind_int64(st.get(), 3, s.mtime_ns);
        sqlite3_bind_int(st.get(), 4, kCacheFormat);
        if (sqlite3_step(st.get()) != SQLITE_DONE) throw Error(db.last_error());
    } catch (const Error&) {
        throw Error(w1252("Impossible d'écrire le cache de la base Access"));
    }
}

std::string helper_path() {
    if (const char* env = std::getenv("KARVEL_MDB_IMPORT"); env && *env) return env;
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    // Beside the program (a build), or in the installation's libexec folder.
    for (const auto& candidate :
         {self.parent_path() / kImportHelper,
          self.parent_path().parent_path() / "libexec" / "karvel" / kImportHelper})
        if (std::filesystem::exists(candidate, ec)) return candidate.string();
    return {};
}

// Runs the helper and relays its progress lines: "T n" (rows in all),
// "P n" (rows copied), "E text" (why it failed).
void run_helper(const std::string& helper, const std::string& src, const std::string& dst,
                ProgressSink* progress) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw Error("pipe : " + system_error_text(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    // The Access library's own warnings never reach the terminal: what fails
    // comes back as one line of ours.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string a0 = helper, a1 = src, a2 = dst;
    char* argv[] = {a0.data(), a1.data(), a2.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, helper.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        throw Error(w1252("Impossible de lancer ") + path_text(helper) + " : " +
                    system_error_text(rc));
    }

    std::string pending, failure;
    bool stuck = false;
    char buf[4096];
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, kSilenceLimitMs);
        if (ready == 0) {
            stuck = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending.append(buf, static_cast<size_t>(n));
        size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (line.size() < 2) continue;
            if (line[0] == 'E')
                failure = line.substr(2);
            else if (progress && line[0] == 'T')
                progress->set_maximum(std::atoi(line.c_str() + 2));
            else if (progress && line[0] == 'P')
                progress->set_position(std::atoi(line.c_str() + 2));
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (stuck)
        throw Error(w1252("L'import du fichier Access \"") + src +
                    w1252("\" ne progresse plus : fichier endommagé ?"));
    if (WIFSIGNALED(status))
        throw Error(w1252("Le fichier Access \"") + src +
                    w1252("\" est endommagé : sa lecture a échoué (signal ") +
                    std::to_string(WTERMSIG(status)) + ")");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(failure.empty()
                        ? w1252("L'import du fichier Access \"") + src + w1252("\" a échoué")
                        : failure);
}

}  // namespace

std::string access_cache(const std::string& mdb_path, const std::string& cache_dir,
                         ProgressSink* progress) {
    const SourceStamp stamp = stamp_of(mdb_path);
    std::error_code ec;
    const std::filesystem::path dir = fs_path(cache_dir.empty() ? std::string(".") : cache_dir);
    std::filesystem::create_directories(dir, ec);

    // One cache file per source path.
    const std::string stem = fs_path(mdb_path).stem().string();
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>{}(stamp.path));
    const std::filesystem::path cache = dir / (stem + "-" + hash + ".sqlite");
    if (cache_is_current(cache.string(), stamp)) return from_fs_path(cache);

    // Made under a temporary name and put in place whole, as every file the
    // program writes; the temporary goes whatever step fails, or on a signal.
    remove_temporary_files_on_signals();
    OutputFiles files;
    const std::string tmp = files.add_to_fill(from_fs_path(cache));
    const std::string helper = helper_path();
    if (helper.empty())
        import_access(mdb_path, tmp, progress);
    else
        run_helper(helper, fs_path(mdb_path).string(), fs_path(tmp).string(), progress);
    write_stamp(fs_path(tmp).string(), stamp);
    files.commit();
    return from_fs_path(cache);
}

}  // namespace karvel
