#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include "core/ini_file.h"

#include <SimpleIni.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/numtext.h"

namespace karvel {

struct IniFile::Data {
    // No Unicode conversion; every occurrence of a key kept, so that the
    // first one is the one read, as it is the one written.
    CSimpleIniA ini{false, true, false};
    bool utf8 = false;  // the file starts with a UTF-8 byte-order mark
};

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool starts_with_bom(std::string_view s) {
    return s.substr(0, 3) == kBom;
}
}  // namespace

IniFile::IniFile() : data_(std::make_unique<Data>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

std::string read_file_bytes(const std::string& path) {
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(fs_path(path), ec))  // not a folder or a device
        in.open(fs_path(path), std::ios::binary);             // reading only
    if (!in.is_open())
        throw Error(w1252("Impossible d'ouvrir le fichier \"") + path_text(path) + "\"");
    // Sized once and read in one go: the geography files are tens of MB.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size < 0 || !in.read(bytes.data(), size))
        throw Error(w1252("Impossible de lire le fichier \"") + path_text(path) + "\"");
    return bytes;
}

void IniFile::open(std::string path) {
    path_ = std::move(path);
    data_->ini.Reset();
    data_->utf8 = false;
    std::string content;
    try {
        content = read_file_bytes(path_);
    } catch (const Error&) {
        return;  // a missing file reads as all keys missing
    }
    load(content);
}

void IniFile::load(std::string_view content) {
    data_->ini.Reset();
    data_->utf8 = starts_with_bom(content);
    // A file saved as UTF-8 is read in the program's code page like any other.
    const std::string text = data_->utf8 ? utf8_to_cp1252(content.substr(3)) : std::string(content);
    data_->ini.LoadData(text.data(), text.size());
}

std::string IniFile::read(std::string_view section, std::string_view key,
                          std::string_view fallback) const {
    const std::string s(section), k(key);
    const char* v = data_->ini.GetValue(s.c_str(), k.c_str(), nullptr);
    return v ? std::string(v) : std::string(fallback);
}

std::vector<std::string> IniFile::keys(std::string_view section) const {
    CSimpleIniA::TNamesDepend names;
    data_->ini.GetAllKeys(std::string(section).c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const auto& e : names) {
        // A key given twice counts once, at its first place.
        const bool seen = std::any_of(out.begin(), out.end(), [&](const std::string& k) {
            return equals_nocase(k, e.pItem);
        });
        if (!seen) out.emplace_back(e.pItem);
    }
    return out;
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
    std::string content;
    try {
        content = read_file_bytes(path_);
    } catch (const Error&) {
        // a settings file that does not exist yet is created
    }
    // A UTF-8 file stays UTF-8, its byte-order mark in front.
    const bool utf8 = starts_with_bom(content);
    const std::string updated =
        utf8 ? std::string(kBom) + ini_set_value(std::string_view(content).substr(3), section, key,
                                                 cp1252_to_utf8(value))
             : ini_set_value(content, section, key, value);
    write_file_atomically(path_, updated);
    load(updated);
}

namespace {

struct Line {
    std::string_view text;  // without its end
    std::string_view end;   // "\r\n", "\n", "\r" or "" for the last line
};

std::vector<Line> split_lines(std::string_view s) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < s.size()) {
        size_t i = start;
        while (i < s.size() && s[i] != '\r' && s[i] != '\n') ++i;
        size_t end_len = 0;
        if (i < s.size()) end_len = (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
        lines.push_back({s.substr(start, i - start), s.substr(i, end_len)});
        start = i + end_len;
    }
    return lines;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool is_section(std::string_view line, std::string_view* name) {
    const std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    if (name) *name = trim(t.substr(1, close - 1));
    return true;
}

bool is_comment(std::string_view line) {
    const std::string_view t = trim(line);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

}  // namespace

std::string ini_set_value(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value) {
    const std::vector<Line> lines = split_lines(content);
    std::string_view eol = "\r\n";  // the file's own line end, CR LF for a new file
    for (const Line& l : lines)
        if (!l.end.empty()) {
            eol = l.end;
            break;
        }

    int section_line = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (is_section(lines[i].text, &name) && equals_nocase(name, section)) {
            section_line = static_cast<int>(i);
            break;
        }
    }

    std::string out;
    out.reserve(content.size() + key.size() + value.size() + 16);
    auto copy_lines = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            out += lines[i].text;
            out += lines[i].end;
        }
    };
    const std::string new_line = std::string(key) + "=" + std::string(value);

    if (section_line < 0) {
        out.append(content);
        if (!content.empty() && (content.back() != '\n' && content.back() != '\r')) out += eol;
        out += '[';
        out += section;
        out += ']';
        out += eol;
        out += new_line;
        out += eol;
        return out;
    }

    size_t section_end = lines.size();  // first line of the next section
    for (size_t i = static_cast<size_t>(section_line) + 1; i < lines.size(); ++i)
        if (is_section(lines[i].text, nullptr)) {
            section_end = i;
            break;
        }

    for (size_t i = static_cast<size_t>(section_line) + 1; i < section_end; ++i) {
        const std::string_view t = lines[i].text;
        if (is_comment(t)) continue;
        const size_t eq = t.find('=');
        if (eq == std::string_view::npos || !equals_nocase(trim(t.substr(0, eq)), key)) continue;
        // Keep the key as written and the blanks after "="; replace the rest.
        size_t value_start = eq + 1;
        while (value_start < t.size() && (t[value_start] == ' ' || t[value_start] == '\t'))
            ++value_start;
        copy_lines(0, i);
        out += t.substr(0, value_start);
        out += value;
        out += lines[i].end;
        copy_lines(i + 1, lines.size());
        return out;
    }

    // A new key goes after the section's last non-blank line.
    size_t insert_at = section_end;
    while (insert_at > static_cast<size_t>(section_line) + 1 &&
           trim(lines[insert_at - 1].text).empty())
        --insert_at;
    copy_lines(0, insert_at);
    if (insert_at > 0 && lines[insert_at - 1].end.empty()) out += eol;
    out += new_line;
    out += eol;
    copy_lines(insert_at, lines.size());
    return out;
}

}  // namespace karvel
