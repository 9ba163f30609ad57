// Writing files without ever destroying one.
//
// A regular file is written beside its target under a temporary name and
// renamed over it once complete, keeping the old file's permission bits and
// owner (a new file gets the umask's). A symbolic link is followed: the file
// it points to is replaced, never the link. A target that is not a regular
// file (a device, a FIFO) is written in place, and so is a regular file in a
// folder the user may not write; a file the user may not write is refused.
// "-" is the standard output.
//
// Several files go in place together or not at all: every one is prepared
// first, then all are put in place; if one fails (a full disk, a size
// limit), those already replaced or rewritten get their old content back.
// A file rewritten in place is kept in memory meanwhile, and the room it
// needs is checked before it is touched. Devices, FIFOs and the standard
// output are written before any regular file is replaced, so that waiting on
// one changes nothing; the stop signals wait while regular files change, in
// whichever thread they arrive, so that an interruption finds them all old
// or all new. Every old file keeps a second name until the set is in place
// (a copy where the file system has no hard links; the commit is refused
// when neither can be made). Two runs committing to the same folders take
// turns. A set of several files leaves a journal beside each while it is
// replaced: a run killed meanwhile (SIGKILL, a power cut after the journal
// reached the disk) leaves the next run to any of its targets the old set
// to put back, whole. Everything written is on the disk, its folder's entry
// too, before commit() returns. A temporary file that a killed run left
// beside a target is removed by the next run to that target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karvel {

class OutputFiles {
  public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles();  // what was prepared and not put in place is removed

    // Checks the target and writes the temporary file; throws Error.
    void add(const std::string& path, std::string_view content);
    // The same for a file its maker writes itself (a database): checks the
    // target and returns the name of an empty temporary file to fill, which
    // commit() puts in place like the others (removed if it never is).
    std::string add_to_fill(const std::string& path);
    // Puts every prepared file in place, or none; throws Error.
    void commit();

  private:
    enum class Kind { replace, in_place, standard_output };
    struct Entry {
        std::string shown;   // the path as given, for messages
        std::string target;  // symbolic links followed
        Kind kind = Kind::replace;
        std::string temp;     // Kind::replace: the complete new file
        std::string backup;   // Kind::replace: the old file, while committing
        std::string content;  // written at commit time: in place, standard output
        std::string source;   // in place: a filled temporary file elsewhere, copied at commit
        bool stream = false;  // a device, a FIFO or the standard output
        std::string old_content;  // in place: the file as it was, put back on failure
        bool database = false;    // filled by its maker: SQLite's readers wait while in place
    };
    struct Commit;
    Entry check(const std::string& path);
    void write_streams();
    void keep_old_files(Commit& c);
    void write_journals(Commit& c);
    void put_in_place(Commit& c);
    void drop_backups(Commit& c);
    // What was replaced put back, then Error.
    [[noreturn]] void fail_undone(Commit& c, const std::string& shown, const char* what, int error);
    std::vector<Entry> entries_;
};

// An interruption (SIGINT, SIGTERM, SIGHUP) removes the temporary files
// being written before the program ends as the signal wants. A file-size
// limit makes a write fail with its reason instead of ending the program.
void remove_temporary_files_on_signals();

// For the tests of what a failure or an interruption leaves: `hook` runs
// before every open, write, fsync, link and rename that changes files, and
// gives the error that call fails with, or 0 (nullptr: no hook). It is
// given the call's name: "open", "write", "fsync", "link" or "rename".
using FileCallHook = int (*)(const char* call);
void set_file_call_hook(FileCallHook hook);

// One file, as above.
void write_file_atomically(const std::string& path, std::string_view content);

// The file a path names once its symbolic links are followed (the path
// itself when it is none); a path that names no file yet stays as it is.
std::string resolve_links(const std::string& path);

// Both paths name the same file (existing or not).
bool same_file(const std::string& a, const std::string& b);

}  // namespace karvel
