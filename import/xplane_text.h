// What the X-Plane readers share: the fields of a row read as numbers,
// coordinates and texts, each failure naming the file and the line.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "import/xplane.h"

namespace karvel::xplane {

// The blank- or tab-separated fields of a row.
std::vector<std::string_view> tokens(std::string_view s);
// A text the import keeps (an ident, a name, a region), in Windows-1252: a
// control character in it would reach the lists and the sector file, so it
// stops the import. Rows the import does not keep may hold them (the
// world's apt.dat does). A text longer than kMaxField bytes (no name or
// ident is) stops it too.
inline constexpr size_t kMaxField = 256;
std::string field(const LineReader& in, std::string_view t);
// The fields from `from` on, joined by single blanks, as a text.
std::string rest(const LineReader& in, const std::vector<std::string_view>& t, size_t from);
// A decimal number: sign, digits, a point, an exponent; nothing else
// ("0x1p5", "inf" and "nan" are no numbers of these files).
bool decimal(const std::string& s);
double number(const LineReader& in, std::string_view t, const char* what);
// A whole number of any size the file may hold, defined for every value.
int whole(double v);
double latitude(const LineReader& in, std::string_view t);
double longitude(const LineReader& in, std::string_view t);
// The row has at least `n` fields.
void need(const LineReader& in, const std::vector<std::string_view>& t, size_t n);
void check_version(LineReader& in, int version, std::initializer_list<int> known, const char* kind);
// Blanks and tabs off both ends.
std::string_view trimmed(std::string_view s);

}  // namespace karvel::xplane
