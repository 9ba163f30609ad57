#include "core/file_sets.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace karvel::file_sets {

namespace {

std::string folder_of(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? std::string(".") : dir;
}

// A field of the journal: its length, ":", its bytes, a line end (so that
// a name may hold any byte).
void put_field(std::string& out, const std::string& text) {
    out += std::to_string(text.size());
    out += ':';
    out += text;
    out += '\n';
}

// One field of `text` from `at`; false at the end or on a damaged journal.
bool take_field(const std::string& text, size_t& at, std::string& field) {
    const size_t colon = text.find(':', at);
    if (colon == std::string::npos || colon == at || colon - at > 6) return false;
    size_t n = 0;
    for (size_t i = at; i < colon; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        n = n * 10 + static_cast<size_t>(text[i] - '0');
    }
    if (colon + 1 + n >= text.size() || text[colon + 1 + n] != '\n') return false;
    field = text.substr(colon + 1, n);
    at = colon + 2 + n;
    return true;
}

constexpr const char* kJournalHead = "karvel: fichiers remplacés ensemble\n";

}  // namespace

std::string journal_text(const std::vector<JournalEntry>& entries,
                         const std::vector<std::string>& copies) {
    std::string out = kJournalHead;
    put_field(out, std::to_string(entries.size()));
    for (const JournalEntry& e : entries) {
        put_field(out, e.target);
        put_field(out, e.backup);
        put_field(out, e.temp);
        put_field(out, std::to_string(e.dev));
        put_field(out, std::to_string(e.ino));
    }
    for (const std::string& c : copies) put_field(out, c);
    return out;
}

void put_old_set_back(const std::string& journal) {
    std::string text;
    {
        std::ifstream in(journal, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    size_t at = std::strlen(kJournalHead);
    std::string count;
    std::vector<JournalEntry> entries;
    std::vector<std::string> copies;
    bool whole =
        text.rfind(kJournalHead, 0) == 0 && take_field(text, at, count) && count.size() < 6;
    for (size_t n = whole ? std::stoul(count) : 0; whole && n > 0; --n) {
        JournalEntry e;
        std::string dev, ino;
        whole = take_field(text, at, e.target) && take_field(text, at, e.backup) &&
                take_field(text, at, e.temp) && take_field(text, at, dev) &&
                take_field(text, at, ino) && !dev.empty() && dev.size() < 20 && !ino.empty() &&
                ino.size() < 20 && dev.find_first_not_of("0123456789") == std::string::npos &&
                ino.find_first_not_of("0123456789") == std::string::npos;
        if (!whole) break;
        e.dev = std::stoull(dev);
        e.ino = std::stoull(ino);
        entries.push_back(std::move(e));
    }
    for (std::string c; whole && take_field(text, at, c);) copies.push_back(c);
    // A journal cut short was never complete: nothing had been replaced.
    if (whole)
        for (const JournalEntry& e : entries) {
            struct stat st {};
            if (!e.backup.empty() && ::lstat(e.backup.c_str(), &st) == 0) {
                // Still there after when it was the target already.
                if (::rename(e.backup.c_str(), e.target.c_str()) == 0) ::unlink(e.backup.c_str());
            } else if (e.backup.empty() && ::lstat(e.target.c_str(), &st) == 0 &&
                       static_cast<unsigned long long>(st.st_dev) == e.dev &&
                       static_cast<unsigned long long>(st.st_ino) == e.ino) {
                ::unlink(e.target.c_str());
            }
            ::unlink(e.temp.c_str());
        }
    for (const std::string& c : copies) ::unlink(c.c_str());
    ::unlink(journal.c_str());
}

FolderLocks::FolderLocks(const std::vector<std::string>& paths) {
    std::vector<std::pair<std::pair<dev_t, ino_t>, int>> folders;
    for (const std::string& p : paths) {
        const int fd = ::open(folder_of(p).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0) continue;
        if (::fstat(fd, &st) != 0) {
            ::close(fd);
            continue;
        }
        folders.push_back({{st.st_dev, st.st_ino}, fd});
    }
    std::sort(folders.begin(), folders.end());
    for (size_t i = 0; i < folders.size(); ++i) {
        if (i > 0 && folders[i].first == folders[i - 1].first) {
            ::close(folders[i].second);
            continue;
        }
        fds_.push_back(folders[i].second);
        // Another run's commit takes a moment: a minute is a lock left.
        for (int attempt = 0; attempt < 1200 && ::flock(fds_.back(), LOCK_EX | LOCK_NB) != 0;
             ++attempt)
            ::usleep(50000);
    }
}

FolderLocks::~FolderLocks() {
    for (const int fd : fds_) ::close(fd);  // the locks go with them
}

}  // namespace karvel::file_sets
