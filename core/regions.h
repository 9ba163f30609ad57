// The region index: one region a line, its first two characters the code.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karvel {

// Lines of a text with CR LF, LF or CR ends; a final line end adds no line.
std::vector<std::string> split_text_lines(std::string_view text);

// Reads the file into `lines` (every line, empty ones included) and `codes`
// (the first two characters of each). Throws Error when it cannot be read.
void load_region_index(const std::string& path, std::vector<std::string>& lines,
                       std::vector<std::string>& codes);

// First position of `code` among `codes`, without regard to case; -1.
int find_region_code(const std::vector<std::string>& codes, std::string_view code);

}  // namespace karvel
