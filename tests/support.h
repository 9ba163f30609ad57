// Helpers shared by the tests: folders, files, databases, scripted dialogs,
// recording sinks.
#pragma once

#include <gmock/gmock.h>

#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/numtext.h"
#include "core/sinks.h"

namespace karvel::test {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using ::testing::ThrowsMessage;

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Makes `dir` the current directory for the lifetime of the object.
class CurrentDir {
  public:
    explicit CurrentDir(const std::filesystem::path& dir);
    ~CurrentDir();

  private:
    std::filesystem::path previous_;
};

void write_bytes(const std::string& path, const std::string& content);
unsigned mode_of(const std::string& path);  // the permission bits and the file type
std::string read_bytes(const std::string& path);
std::string source_file(const std::string& relative);  // from the repository

// An SQLite database made of the given SQL; the shipped sample from its SQL.
void build_database(const std::string& path, const std::string& sql);
void build_sample_database(const std::string& path);

// A program folder: the shipped settings and region index, the sample
// database as navdata.sqlite; the geography of runtime/geo when `geo`.
void make_program_folder(const TempDir& dir, bool geo = false);

// A shell command line run in `dir`, as user nobody when `nobody` and the
// suite runs as root: its exit status (-1 when a signal ended it) and what
// it wrote.
struct Outcome {
    int status;
    std::string out, err;
};
Outcome run(const std::string& dir, const std::string& command, bool nobody = false);
inline Outcome run(const TempDir& dir, const std::string& command, bool nobody = false) {
    return run(dir.str(), command, nobody);
}

// Answers the dialogs from queues and records what was shown.
class ScriptedDialogs : public Dialogs {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }
    // The input box and the colour chooser answer from their queues, and
    // cancel once those are empty.
    std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> open_file(const std::string& title, const std::string& filter,
                                         const std::string&) override;
    std::optional<std::string> save_file(const std::string&, const std::string& dir,
                                         const std::string& name,
                                         const std::string& filter) override;
    std::optional<TColor> choose_colour(TColor initial) override;

    std::vector<std::string> messages, errors, open_titles, open_filters, save_dirs;
    std::vector<std::string> save_names, save_filters;  // what each save dialog proposed
    std::deque<std::optional<std::string>> open_answers, save_answers, input_answers;
    std::vector<std::string> inputs;  // "caption|prompt|initial" of each input box
    std::deque<std::optional<TColor>> colour_answers;
    std::vector<TColor> colour_initials;
};

// Records what the loaders show.
class RecordingView : public SelectionView {
  public:
    void clear_list(List list) override { lists[list].clear(); }
    void add_items(List list, const std::vector<std::string>& items) override {
        lists[list].insert(lists[list].end(), items.begin(), items.end());
    }
    void set_count_label(List list, const std::string& text) override { labels[list] = text; }
    std::map<List, std::vector<std::string>> lists;
    std::map<List, std::string> labels;
};

class RecordingProgress : public ProgressSink {
  public:
    void set_maximum(int m) override { maximum = m; }
    void set_position(int p) override { positions.push_back(p); }
    int maximum = -1;
    std::vector<int> positions;
};

}  // namespace karvel::test
