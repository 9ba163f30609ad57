// The user's own lines, kept across every regeneration: a folder beside the
// sector files (secteurs/LFPG_50nm.d/ for secteurs/LFPG_50nm.sct) holding
// one file a section, GEO.txt, FREETEXT.txt, "ARTCC HIGH.txt" or
// ARTCC_HIGH.txt..., whose lines go at the end of that section of every
// client-format file made for the selection, under a comment naming their
// file.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace karvel {

struct OwnFile {
    std::string path;
    std::string section;  // "[GEO]"
    std::vector<std::string> lines;
};

// The folder of a sector file's own lines: its path without the extension,
// and ".d".
std::string own_lines_folder(const std::string& sector_file);

// The files of `folder`, by name (none when there is no such folder). A
// file whose name is no section of either file goes into `unknown`. Throws
// Error, naming the file and line, for a file that is no text (a NUL byte),
// more than 64 MB, or a line that would open a section of its own.
std::vector<OwnFile> read_own_lines(const std::string& folder, std::vector<std::string>& unknown);

// Each file whose section is one of `sections` added to `lines` at the end
// of its section, under "; lignes de PATH"; a section the lines lack comes
// at the end. Returns how many lines were added.
size_t add_own_lines(std::vector<std::string>& lines, const std::vector<OwnFile>& own,
                     const std::set<std::string>& sections);

}  // namespace karvel
