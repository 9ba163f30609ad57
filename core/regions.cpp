#include "core/regions.h"

#include "core/cp1252.h"
#include "core/ini_file.h"

namespace karvel {

std::vector<std::string> split_text_lines(std::string_view s) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < s.size()) {
        size_t i = start;
        while (i < s.size() && s[i] != '\r' && s[i] != '\n') ++i;
        lines.emplace_back(s.substr(start, i - start));
        if (i < s.size() && s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines;
}

void load_region_index(const std::string& path, std::vector<std::string>& lines,
                       std::vector<std::string>& codes) {
    std::string content = read_file_bytes(path);
    if (content.starts_with("\xEF\xBB\xBF"))  // saved as UTF-8 by an editor
        content = utf8_to_cp1252(std::string_view(content).substr(3));
    lines = split_text_lines(content);
    codes.clear();
    codes.reserve(lines.size());
    for (const std::string& l : lines) codes.push_back(l.substr(0, 2));
}

int find_region_code(const std::vector<std::string>& codes, std::string_view code) {
    for (size_t i = 0; i < codes.size(); ++i)
        if (equals_nocase(codes[i], code)) return static_cast<int>(i);
    return -1;
}

}  // namespace karvel
