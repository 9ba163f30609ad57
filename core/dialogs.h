// The dialogs the core asks for, behind one small interface: the windows
// implement it with the toolkit's boxes, tests with a script. Every text is
// Windows-1252.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "core/model.h"

namespace karvel {

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A plain message box with an OK button.
    virtual void message(const std::string& text) = 0;
    // A message about one file (a path in the system's bytes): the window
    // shows the text as it stands, the command line names the file after it.
    virtual void file_message(const std::string& text, const std::string& /*path*/) {
        message(text);
    }
    // The error box of the command boundary.
    virtual void error(const std::string& text) = 0;
    // One-line input box; nullopt when cancelled.
    virtual std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) = 0;
    // File dialogs; `filter` is "description|pattern[|description|pattern...]".
    // Folders and chosen files are paths in the system's own bytes.
    virtual std::optional<std::string> open_file(const std::string& title,
                                                 const std::string& filter,
                                                 const std::string& initial_dir) = 0;
    // The save dialog proposes `initial_name` in `initial_dir`.
    virtual std::optional<std::string> save_file(const std::string& default_extension,
                                                 const std::string& initial_dir,
                                                 const std::string& initial_name,
                                                 const std::string& filter) = 0;
    virtual std::optional<TColor> choose_colour(TColor initial) = 0;
};

// The progress window: maximum = rows of the current query, position = row.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    virtual void set_maximum(int maximum) = 0;
    virtual void set_position(int position) = 0;
};

// Runs one command; an error that escapes it is shown in the error box and
// ends the command, the program keeps running. The one place errors meet
// the user.
template <class F>
void run_command(Dialogs& dialogs, F&& body) {
    try {
        std::forward<F>(body)();
    } catch (const std::exception& e) {
        dialogs.error(e.what());
    }
}

class NullProgress : public ProgressSink {
  public:
    void set_maximum(int) override {}
    void set_position(int) override {}
};

}  // namespace karvel
