// What keeps a set of files whole while it is replaced: a journal beside
// each of its files, from which a later run puts back the old set of a run
// killed halfway, and a lock on the set's folders, so that two runs take
// turns. Used by OutputFiles::commit.
#pragma once

#include <string>
#include <vector>

namespace karvel::file_sets {

// One file of a set: the target, the second name of its old file (empty
// when it had none), its new file's temporary name and that file's identity.
struct JournalEntry {
    std::string target, backup, temp;
    unsigned long long dev = 0, ino = 0;
};

// The journal's text: the entries, then the names of its copies.
std::string journal_text(const std::vector<JournalEntry>& entries,
                         const std::vector<std::string>& copies);

// The old set put back from a killed run's journal at `journal`: every old
// file under its own name again, a file that had none removed only when it
// is the one the killed run put there; the journal's copies removed. A
// journal cut short was never complete (nothing had been replaced): only
// it goes.
void put_old_set_back(const std::string& journal);

// The folders of `paths` locked while the object lives, in the order of
// their identities (two sets in the same folders never wait on each other);
// after a minute without it the lock is taken as left behind.
class FolderLocks {
  public:
    explicit FolderLocks(const std::vector<std::string>& paths);
    ~FolderLocks();
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;

  private:
    std::vector<int> fds_;
};

}  // namespace karvel::file_sets
