// What the headless commands that run a selection share: their dialogs,
// which tell on standard error and never ask, and the data source they
// register for the run.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "core/cp1252.h"
#include "core/dialogs.h"
#include "core/error.h"
#include "core/numtext.h"
#include "navdb/database.h"

namespace karvel {

// Start-up messages are told on standard error; work goes on.
class ConsoleDialogs : public Dialogs {
  public:
    void message(const std::string& text) override { warn(text); }
    void file_message(const std::string& text, const std::string& path) override {
        warn(text + " : " + path_text(path));
    }
    void error(const std::string& text) override {
        warn(text);
        ++errors;
    }
    std::optional<std::string> input(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> open_file(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> save_file(const std::string&, const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    std::optional<TColor> choose_colour(TColor) override { return std::nullopt; }

    // One line a message: the lines of a longer one are joined by "; ".
    static void warn(std::string text) {
        for (size_t at; (at = text.find('\n')) != std::string::npos;)
            text.replace(at, 1,
                         at + 1 == text.size()           ? ""
                         : at > 0 && text[at - 1] == ':' ? " "
                                                         : "; ");
        std::fprintf(stderr, "%s: %s\n", program, cp1252_to_utf8(text).c_str());
    }

    int errors = 0;
    static inline const char* program = "karvel";  // what each line starts with
};

// The program folder is the current directory: its settings file and
// region index must be there.
inline void check_program_folder(const char* program) {
    for (const char* f : {"karvel_params.ini", "index_regions.txt"}) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(f, ec))
            throw Error(w1252("fichier introuvable : ") +
                        path_text((std::filesystem::current_path(ec) / f).string()) + " (" +
                        program + w1252(" se lance dans le dossier du programme)"));
    }
}

// The data source goes when the command ends, as at quit.
struct Unregister {
    Database& db;
    const t_ODBC& odbc;
    ~Unregister() { db.sources.remove_dsn(odbc.driver, odbc.dsn); }
};

}  // namespace karvel
