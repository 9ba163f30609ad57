// The text of a file to check: its lines with their numbers, their
// sections, comments left out, and the coordinates as the formats write
// them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sector/check.h"

namespace karvel::check {

struct Line {
    size_t number = 0;
    std::string section;  // "[VOR]"; "" before the first
    std::string text;     // without its comment and trailing blanks
};

// The lines that say something, read from `path`: CR LF or LF, a comment
// from `comment` to the end of the line (outside double quotes) when
// `anywhere`, else only where the line starts with it. A line longer than
// 1 MB is a finding and passed over. Throws Error for a file that cannot be
// read or holds a NUL byte (no text).
std::vector<Line> read_lines(const std::string& path, char comment, bool anywhere,
                             std::vector<Finding>& out);

// Blank-separated words.
std::vector<std::string> words(const std::string& text);
// ':'-separated fields, empty ones kept.
std::vector<std::string> fields(const std::string& text);

// A latitude ("N049.00.35.071", degrees, minutes, seconds; or decimal
// degrees "N049.00974") or a longitude ("E002.33.45.429"); nothing for
// another text or a value off the globe.
std::optional<double> latitude(std::string_view text);
std::optional<double> longitude(std::string_view text);
// Looks like one (a hemisphere letter then a digit), valid or not.
bool coordinate_like(std::string_view text);

// A number of the text whole ("114.700", "-2.16").
std::optional<double> number(std::string_view text);

// Reports into one list for one file.
struct Reporter {
    std::string file;
    std::vector<Finding>& out;
    void error(size_t line, const char* code, const std::string& message) const {
        out.push_back({file, line, true, code, message});
    }
    void warning(size_t line, const char* code, const std::string& message) const {
        out.push_back({file, line, false, code, message});
    }
};

// A point written as its latitude and longitude, or as the name of a point
// of `defs` twice; reported at `line` where it is neither (`undefined` the
// message before an unknown name, `separator` what joins the two texts), or
// where its name is that of two places.
std::optional<geo_point> point_at(const Reporter& report, size_t line,
                                  const SectorDefinitions& defs, const std::string& lat,
                                  const std::string& lon, const std::string& undefined,
                                  char separator);

}  // namespace karvel::check
