#include "support.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "navdb/sqlite_db.h"

namespace karvel::test {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "karvel-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

CurrentDir::CurrentDir(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
}

CurrentDir::~CurrentDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
}

void write_bytes(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + path);
}

unsigned mode_of(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode;
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string source_file(const std::string& relative) {
    return read_bytes(std::string(KARVEL_SOURCE_DIR) + "/" + relative);
}

void build_database(const std::string& path, const std::string& sql) {
    try {
        SqliteDb(path, SqliteDb::Mode::create).exec(sql);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("sql: ") + e.what());
    }
}

void build_sample_database(const std::string& path) {
    build_database(path,
                   source_file("navdb/sample/schema.sql") + source_file("navdb/sample/data.sql"));
}

void make_program_folder(const TempDir& dir, bool geo) {
    for (const char* f : {"karvel_params.ini", "index_regions.txt", "WMM2025.COF"})
        write_bytes(dir.file(f), source_file(std::string("runtime/") + f));
    build_sample_database(dir.file("navdata.sqlite"));
    if (geo)
        std::filesystem::create_directory_symlink(KARVEL_SOURCE_DIR "/runtime/geo",
                                                  dir.file("geo"));
}

// The next answer of a queue; an empty queue fails the test, or cancels
// when `cancel_when_empty`.
template <class T>
static T next_answer(std::deque<T>& queue, const char* what, bool cancel_when_empty = false) {
    if (queue.empty()) {
        if (!cancel_when_empty) ADD_FAILURE() << "unexpected " << what << " dialog";
        return T{};
    }
    T answer = queue.front();
    queue.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::open_file(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string&) {
    open_titles.push_back(title);
    open_filters.push_back(filter);
    return next_answer(open_answers, "open");
}

std::optional<std::string> ScriptedDialogs::save_file(const std::string&, const std::string& dir,
                                                      const std::string& name,
                                                      const std::string& filter) {
    save_dirs.push_back(dir);
    save_names.push_back(name);
    save_filters.push_back(filter);
    return next_answer(save_answers, "save");
}

std::optional<std::string> ScriptedDialogs::input(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
    inputs.push_back(caption + "|" + prompt + "|" + initial);
    return next_answer(input_answers, "input", true);
}

std::optional<TColor> ScriptedDialogs::choose_colour(TColor initial) {
    colour_initials.push_back(initial);
    return next_answer(colour_answers, "colour", true);
}

Outcome run(const std::string& dir, const std::string& command, bool nobody) {
    const std::string as =
        nobody && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const std::string cmd =
        "cd '" + dir + "' && " + as + command + " > '" + dir + "/out.txt' 2> '" + dir + "/err.txt'";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_bytes(dir + "/out.txt"),
            read_bytes(dir + "/err.txt")};
}

}  // namespace karvel::test
