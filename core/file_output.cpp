#include "core/file_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_sets.h"
#include "core/file_signals.h"
#include "core/numtext.h"

namespace karvel {

namespace {

// The system calls that change files, through a seam a test may hook: the
// hook runs before each of them and gives the error to fail it with, or 0.
std::atomic<FileCallHook> g_hook{nullptr};

bool injected_failure(const char* call) {
    const FileCallHook hook = g_hook.load();
    const int error = hook ? hook(call) : 0;
    if (error == 0) return false;
    errno = error;
    return true;
}
int sys_open(const char* path, int flags, mode_t mode = 0) {
    return injected_failure("open") ? -1 : ::open(path, flags, mode);
}
ssize_t sys_write(int fd, const void* data, size_t n) {
    return injected_failure("write") ? -1 : ::write(fd, data, n);
}
int sys_fsync(int fd) {
    return injected_failure("fsync") ? -1 : ::fsync(fd);
}
int sys_link(const char* from, const char* to) {
    return injected_failure("link") ? -1 : ::link(from, to);
}
int sys_rename(const char* from, const char* to) {
    return injected_failure("rename") ? -1 : ::rename(from, to);
}

[[noreturn]] void fail(const std::string& shown, const char* what, int error) {
    throw Error(w1252("Impossible d'écrire le fichier \"") + path_text(shown) + "\" (" +
                w1252(what) + " : " + system_error_text(error) + ")");
}

// What the target is, when that is the whole reason.
[[noreturn]] void refuse(const std::string& shown, const char* why) {
    throw Error(w1252("Impossible d'écrire le fichier \"") + path_text(shown) + "\" (" +
                w1252(why) + ")");
}

std::string folder_of(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? std::string(".") : dir;
}

bool write_all(int fd, std::string_view content) {
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = sys_write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// A name beside `target` that nothing uses yet, created with `mode` less the
// umask; -1 when the folder refuses. The name carries the process's number,
// so that a later run can tell a leftover of a killed one.
int create_beside(const std::string& target, const char* tag, std::string& name) {
    static std::mt19937_64 rng{std::random_device{}()};
    const std::filesystem::path t(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%s-%ld-%08llx", tag, static_cast<long>(::getpid()),
                      static_cast<unsigned long long>(rng() & 0xFFFFFFFFu));
        std::string leaf(1, '.');  // built step by step: GCC 12 misreads "." + s
        leaf += t.filename().string();
        leaf += suffix;
        name = (t.parent_path() / leaf).string();
        const StopSignalsHeld held;  // created and registered as one step
        const int fd = sys_open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) remember_temp(name);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    const int error = errno;
    name.clear();  // none was made
    errno = error;
    return -1;
}

// The temporary files a killed run left beside `target` (".NAME.new-PID-..."
// or ".NAME.old-PID-..." of a process that no longer runs) are removed, once
// its journal (".NAME.set-PID-...") has put the old set back; those of a
// running process, another import to the same file say, stay.
void remove_leftovers(const std::string& target) {
    const std::filesystem::path t(target);
    std::string prefix(1, '.');  // built step by step: GCC 12 misreads "." + s
    prefix += t.filename().string();
    prefix += '.';
    const std::filesystem::path dir = t.parent_path().empty() ? "." : t.parent_path();
    // Journals first: they name the old files the second pass would remove.
    for (const char* wanted : {"set", "new|old"}) {
        std::error_code ec;
        std::vector<std::filesystem::path> found;
        for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string leaf = it->path().filename().string();
            if (leaf.rfind(prefix, 0) != 0) continue;
            const std::string rest = leaf.substr(prefix.size());
            long pid = 0;
            char tag[4] = {};
            unsigned long long random = 0;
            int used = 0;
            if (std::sscanf(rest.c_str(), "%3[a-z]-%ld-%8llx%n", tag, &pid, &random, &used) != 3 ||
                static_cast<size_t>(used) != rest.size() || rest.size() < 14 || pid <= 0 ||
                std::strstr(wanted, tag) == nullptr || std::strlen(tag) != 3)
                continue;
            if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;  // running
            found.push_back(it->path());
        }
        for (const auto& f : found) {
            if (std::strcmp(wanted, "set") == 0) {
                file_sets::put_old_set_back(f.string());
            } else {
                std::error_code ignored;
                std::filesystem::remove(f, ignored);
            }
        }
    }
}

// A copy of `target` beside it, on the disk, in `backup`; 0 or the reason.
int copy_beside(const std::string& target, std::string& backup) {
    const int fd = create_beside(target, "old", backup);
    if (fd < 0) return errno;
    const int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok = in >= 0;
    char buffer[1 << 16];
    for (ssize_t n = 0; ok && (n = ::read(in, buffer, sizeof buffer)) != 0;)
        ok =
            (n < 0 && errno == EINTR) || (n > 0 && write_all(fd, {buffer, static_cast<size_t>(n)}));
    ok = ok && sys_fsync(fd) == 0;
    const int error = errno;
    if (in >= 0) ::close(in);
    ::close(fd);
    if (ok) return 0;
    drop_temp(backup);
    return error;
}

// A second name (a hard link) for an existing file, in `backup`; 0, or the
// reason it could not be made. A target that does not exist needs none.
int link_beside(const std::string& target, std::string& backup) {
    backup.clear();
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name;
        const int fd = create_beside(target, "old", name);
        if (fd < 0) return errno;
        ::close(fd);
        forget_temp(name);
        ::unlink(name.c_str());
        if (sys_link(target.c_str(), name.c_str()) == 0) {
            remember_temp(name);  // removed if the run is interrupted from here on
            backup = name;
            return 0;
        }
        if (errno == EEXIST) continue;
        if (errno != EPERM && errno != ENOTSUP && errno != EMLINK) return errno;
        return copy_beside(target, backup);  // a file system without hard links
    }
    return EEXIST;
}

}  // namespace

std::string resolve_links(const std::string& path) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::error_code ec;
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec) return p;
        const std::string next = link.is_absolute()
                                     ? link.string()
                                     : (std::filesystem::path(p).parent_path() / link).string();
        // A link only the system can follow (/dev/stdout to "pipe:[...]"):
        // the path as given names the file.
        struct stat there {};
        if (::lstat(next.c_str(), &there) != 0 && errno == ENOENT &&
            ::stat(path.c_str(), &there) == 0)
            return path;
        p = next;
    }
    return p;  // a loop: checking it fails with its own message
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto full = [&](const std::string& p) {
        return std::filesystem::weakly_canonical(std::filesystem::absolute(resolve_links(p), ec),
                                                 ec);
    };
    const auto ca = full(a);
    if (ec) return false;
    const auto cb = full(b);
    return !ec && ca == cb;
}

OutputFiles::~OutputFiles() {
    for (Entry& e : entries_) {
        drop_temp(e.temp);
        drop_temp(e.source);
    }
}

namespace {

// A file rewritten in place is kept in memory meanwhile, up to this size.
constexpr off_t kMaxInPlaceBytes = off_t{1} << 30;

// The whole content of a file, or false with errno set.
bool read_whole(const std::string& path, std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    content.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return n == 0;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

OutputFiles::Entry OutputFiles::check(const std::string& path) {
    Entry e;
    e.shown = path;
    if (path == "-") {
        e.kind = Kind::standard_output;
        e.stream = true;
        return e;
    }
    if (path.empty()) throw Error(w1252("Impossible d'écrire un fichier sans nom"));
    e.target = resolve_links(path);
    struct stat st {};
    const bool exists = ::stat(e.target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) fail(path, "ouverture", errno);  // a loop of links, say
    if (exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) refuse(path, "c'est un dossier");
        if (S_ISSOCK(st.st_mode)) refuse(path, "c'est une socket, pas un fichier");
        e.kind = Kind::in_place;  // a device or a FIFO: written through, never replaced
        e.stream = true;
        return e;
    }
    if (exists && ::faccessat(AT_FDCWD, e.target.c_str(), W_OK, AT_EACCESS) != 0)
        fail(path, "ouverture", errno);
    const std::string dir = folder_of(e.target);
    if (exists && ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        // The folder takes no new name: the file itself is rewritten, its
        // old content kept to be put back if anything fails.
        e.kind = Kind::in_place;
        if (st.st_size > kMaxInPlaceBytes)
            refuse(path, "trop grand pour être réécrit sur place, et son dossier n'accepte "
                         "pas de nouveau fichier");
        if (!read_whole(e.target, e.old_content)) fail(path, "lecture de l'ancien contenu", errno);
        return e;
    }
    remove_leftovers(e.target);
    const int fd = create_beside(e.target, "new", e.temp);
    if (fd < 0) fail(path, "création", errno);
    if (exists) {
        // The replaced file's permissions and owner stay.
        (void)::fchown(fd, st.st_uid, st.st_gid);
        ::fchmod(fd, st.st_mode & 07777);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        drop_temp(e.temp);
        fail(path, "écriture", error);
    }
    return e;
}

void OutputFiles::add(const std::string& path, std::string_view content) {
    Entry e = check(path);
    if (e.kind != Kind::replace) {
        e.content = content;
        entries_.push_back(std::move(e));
        return;
    }
    const int fd = sys_open(e.temp.c_str(), O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && write_all(fd, content);
    const int error = errno;
    const bool synced = written && sys_fsync(fd) == 0;
    const bool closed = fd >= 0 && ::close(fd) == 0;
    if (!written || !synced || !closed) {
        drop_temp(e.temp);
        fail(path, "écriture", written ? errno : error);
    }
    entries_.push_back(std::move(e));
}

std::string OutputFiles::add_to_fill(const std::string& path) {
    if (path == "-") throw Error(w1252("Ce fichier ne peut pas aller sur la sortie standard"));
    Entry e = check(path);
    e.database = true;
    if (e.kind == Kind::in_place) {
        // Filled in the temporary folder, then copied into the file itself
        // at commit time. The name carries the process's number, so that a
        // later run removes what a killed one left.
        const std::string beside = std::filesystem::temp_directory_path().string() + "/karvel-fill";
        remove_leftovers(beside);
        const int fd = create_beside(beside, "new", e.source);
        if (fd < 0) fail(path, "création", errno);
        ::fchmod(fd, 0600);  // a shared folder: the data is the user's alone until copied
        ::close(fd);
    }
    entries_.push_back(std::move(e));
    return entries_.back().kind == Kind::replace ? entries_.back().temp : entries_.back().source;
}

namespace {

// The whole of a file's content written to `fd`.
bool copy_into(const std::string& source, int fd) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    char buffer[1 << 16];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!write_all(fd, std::string_view(buffer, static_cast<size_t>(n)))) {
            ok = false;
            break;
        }
    }
    const int error = errno;
    ::close(in);
    errno = error;
    return ok;
}

// SQLite's lock bytes: a reader holds part of them while it reads, so a
// writer holding all of them makes readers wait.
constexpr off_t kSqliteLockStart = 0x40000000;
constexpr off_t kSqliteLockBytes = 512;

bool lock_sqlite_readers_out(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kSqliteLockStart;
    lock.l_len = kSqliteLockBytes;
    for (int attempt = 0; attempt < 200; ++attempt) {  // ten seconds of readers at most
        if (::fcntl(fd, F_SETLK, &lock) == 0) return true;
        if (errno != EACCES && errno != EAGAIN) return false;
        ::usleep(50000);
    }
    errno = EBUSY;
    return false;
}

// Room for `size` bytes in place of `old_size`: the disk's free space and
// the process's file-size limit; 0 or the reason.
int room_for(const std::string& target, off_t old_size, off_t size) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur)
        return EFBIG;
    struct statvfs fs {};
    if (::statvfs(target.c_str(), &fs) == 0 &&
        static_cast<unsigned long long>(size) >
            static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize +
                static_cast<unsigned long long>(old_size))
        return ENOSPC;
    return 0;
}

// The file's content made `content` (or the content of the file `source`),
// on the disk when this returns 0; else the reason.
int rewrite(const std::string& target, std::string_view content, const std::string& source,
            bool database) {
    const int fd = sys_open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    bool ok = !database || lock_sqlite_readers_out(fd);
    ok = ok && ::ftruncate(fd, 0) == 0;
    ok = ok && (source.empty() ? write_all(fd, content) : copy_into(source, fd));
    ok = ok && sys_fsync(fd) == 0;
    const int error = ok ? 0 : errno;
    ::close(fd);  // the lock goes with it
    return error;
}

void sync_folder(const std::string& path) {
    const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

off_t size_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

}  // namespace

void OutputFiles::write_streams() {
    for (Entry& e : entries_) {
        if (!e.stream) continue;
        int fd = STDOUT_FILENO;
        if (e.kind == Kind::in_place) {
            fd = ::open(e.target.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) fail(e.shown, "ouverture", errno);
        } else {
            std::fflush(stdout);
        }
        const bool ok = e.source.empty() ? write_all(fd, e.content) : copy_into(e.source, fd);
        const int error = errno;
        if (e.kind == Kind::in_place) ::close(fd);
        if (!ok) fail(e.shown, "écriture", error);
    }
}

struct OutputFiles::Commit {
    std::vector<Entry*> done;  // replaced or rewritten so far, in order
    std::vector<file_sets::JournalEntry> journal;
    std::vector<std::string> journals;  // its copies, one beside each file
};

// Journals before backups: a run killed in between leaves every old file,
// or no journal.
void OutputFiles::drop_backups(Commit& c) {
    for (std::string& j : c.journals) drop_temp(j);
    for (Entry& e : entries_) drop_temp(e.backup);
}

void OutputFiles::fail_undone(Commit& c, const std::string& shown, const char* what, int error) {
    for (auto it = c.done.rbegin(); it != c.done.rend(); ++it) {
        Entry& e = **it;
        if (e.kind == Kind::in_place) {
            (void)rewrite(e.target, e.old_content, {}, e.database);
        } else if (!e.backup.empty()) {
            ::rename(e.backup.c_str(), e.target.c_str());
            forget_temp(e.backup);
            e.backup.clear();
        } else {
            ::unlink(e.target.c_str());
        }
    }
    drop_backups(c);
    fail(shown, what, error);
}

// Every new file on the disk, every old one under a second name, before
// any is replaced.
void OutputFiles::keep_old_files(Commit& c) {
    for (Entry& e : entries_) {
        if (e.kind != Kind::replace) continue;
        // A file its maker filled reaches the disk before its name does.
        if (e.database) {
            const int fd = sys_open(e.temp.c_str(), O_RDONLY | O_CLOEXEC);
            const bool synced = fd >= 0 && sys_fsync(fd) == 0;
            const int error = errno;
            if (fd >= 0) ::close(fd);
            if (!synced) fail_undone(c, e.shown, "écriture", error);
        }
        if (const int r = link_beside(e.target, e.backup); r != 0)
            fail_undone(c, e.shown, "copie de sûreté de l'ancien fichier", r);
        struct stat st {};
        ::stat(e.temp.c_str(), &st);
        std::error_code ec;
        const auto whole = [&](const std::string& p) {
            return p.empty() ? p : std::filesystem::absolute(p, ec).string();
        };
        c.journal.push_back({whole(e.target), whole(e.backup), whole(e.temp),
                             static_cast<unsigned long long>(st.st_dev),
                             static_cast<unsigned long long>(st.st_ino)});
    }
}

// The journal of a set, beside each of its files, on the disk: a run
// killed from here on leaves the next one the old set to put back.
void OutputFiles::write_journals(Commit& c) {
    std::vector<std::string> names;
    for (const file_sets::JournalEntry& j : c.journal) {
        std::string name;
        const int fd = create_beside(j.target, "set", name);
        if (fd < 0) fail_undone(c, j.target, "journal de remplacement", errno);
        ::close(fd);
        c.journals.push_back(name);
        std::error_code ec;
        names.push_back(std::filesystem::absolute(name, ec).string());
    }
    const std::string text = file_sets::journal_text(c.journal, names);
    for (const std::string& name : c.journals) {
        const int fd = sys_open(name.c_str(), O_WRONLY | O_CLOEXEC);
        const bool ok = fd >= 0 && write_all(fd, text) && sys_fsync(fd) == 0;
        const int error = errno;
        if (fd >= 0) ::close(fd);
        if (!ok) fail_undone(c, name, "journal de remplacement", error);
    }
}

void OutputFiles::put_in_place(Commit& c) {
    for (Entry& e : entries_) {
        if (e.kind != Kind::replace) continue;
        // The target itself is replaced in one step.
        if (sys_rename(e.temp.c_str(), e.target.c_str()) != 0)
            fail_undone(c, e.shown, "remplacement", errno);
        forget_temp(e.temp);
        e.temp.clear();
        c.done.push_back(&e);
    }
    // Regular files rewritten in place (their folder takes no new name) last,
    // so that a failure can still put the replaced ones back.
    for (Entry& e : entries_) {
        if (e.kind != Kind::in_place || e.stream) continue;
        c.done.push_back(&e);
        if (const int r = rewrite(e.target, e.content, e.source, e.database); r != 0)
            fail_undone(c, e.shown, "écriture", r);
    }
}

void OutputFiles::commit() {
    // Devices, FIFOs and the standard output first: one may wait for its
    // reader as long as it likes, and an interruption meanwhile finds every
    // regular file as it was.
    write_streams();

    const StopSignalsHeld held;  // from here on, all old or all new
    std::vector<std::string> targets;
    for (const Entry& e : entries_)
        if (!e.stream) targets.push_back(e.target);
    const file_sets::FolderLocks locks(targets);
    for (Entry& e : entries_) {
        if (e.kind != Kind::in_place || e.stream) continue;
        const off_t size =
            e.source.empty() ? static_cast<off_t>(e.content.size()) : size_of(e.source);
        if (const int r = room_for(e.target, static_cast<off_t>(e.old_content.size()), size))
            fail(e.shown, "réécriture sur place", r);
    }
    Commit c;
    keep_old_files(c);
    if (c.journal.size() > 1) write_journals(c);
    put_in_place(c);
    for (Entry& e : entries_)
        if (e.kind == Kind::replace) sync_folder(e.target);
    drop_backups(c);
}

void set_file_call_hook(FileCallHook hook) {
    g_hook = hook;
}

void write_file_atomically(const std::string& path, std::string_view content) {
    OutputFiles files;
    files.add(path, content);
    files.commit();
}

}  // namespace karvel
