#include "sector/own_lines.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "sector/sections.h"

namespace karvel {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// "ARTCC_HIGH.txt", "artcc high.txt" -> "[ARTCC HIGH]"; "" for a name of
// another extension.
std::string section_of(const std::filesystem::path& file) {
    std::string ext = from_fs_path(file.extension());
    if (upper_ascii(ext) != ".TXT") return "";
    std::string name = upper_ascii(from_fs_path(file.stem()));
    std::replace(name.begin(), name.end(), '_', ' ');
    return "[" + name + "]";
}

std::vector<std::string> text_lines(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::file_size(fs_path(path), ec) > kMaxFileBytes && !ec)
        throw Error(path_text(path) +
                    w1252(" : plus de 64 Mo, est-ce bien un fichier de lignes ?"));
    std::ifstream f(fs_path(path), std::ios::binary);
    if (!f) throw Error(w1252("Impossible de lire \"") + path_text(path) + "\"");
    std::vector<std::string> lines;
    for (std::string line; std::getline(f, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string where = path_text(path) + ":" + std::to_string(lines.size() + 1);
        if (line.find('\0') != std::string::npos)
            throw Error(where + w1252(" : ce n'est pas du texte (un octet nul)"));
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '[')
            throw Error(where + w1252(" : une ligne de section ; la section est celle du nom du "
                                      "fichier"));
        lines.push_back(std::move(line));
    }
    return lines;
}

bool is_header(const std::string& line) {
    return !line.empty() && line[0] == '[';
}

}  // namespace

std::string own_lines_folder(const std::string& sector_file) {
    std::filesystem::path p = fs_path(sector_file);
    p.replace_extension(".d");
    return from_fs_path(p);
}

std::vector<OwnFile> read_own_lines(const std::string& folder, std::vector<std::string>& unknown) {
    std::error_code ec;
    if (!std::filesystem::is_directory(fs_path(folder), ec)) return {};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(fs_path(folder), ec))
        if (entry.is_regular_file(ec)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<OwnFile> own;
    for (const auto& file : files) {
        const std::string section = section_of(file.filename());
        const std::string path = from_fs_path(file);
        if (!kSectorSections.count(section) && !kCompanionSections.count(section)) {
            unknown.push_back(path);
            continue;
        }
        own.push_back({path, section, text_lines(path)});
    }
    return own;
}

size_t add_own_lines(std::vector<std::string>& lines, const std::vector<OwnFile>& own,
                     const std::set<std::string>& sections) {
    size_t added = 0;
    for (const OwnFile& file : own) {
        if (!sections.count(file.section) || file.lines.empty()) continue;
        std::vector<std::string> block{"; lignes de " + path_text(file.path)};
        block.insert(block.end(), file.lines.begin(), file.lines.end());
        auto at = std::find(lines.begin(), lines.end(), file.section);
        if (at == lines.end()) {
            lines.push_back(file.section);
            at = lines.end();
        } else {
            // Before the next section and the separators that lead to it.
            at = std::find_if(at + 1, lines.end(), is_header);
            while (at != lines.end() && at[-1] == ";") --at;
        }
        lines.insert(at, block.begin(), block.end());
        added += file.lines.size();
    }
    return added;
}

}  // namespace karvel
