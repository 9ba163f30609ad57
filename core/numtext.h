// Numbers as text: conversions and fixed-decimal formatting, always with "."
// as decimal point whatever the locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace karvel {

// A UTF-8 literal in the core's Windows-1252 (for the French message texts).
std::string w1252(std::string_view utf8);

// Text to a 32-bit integer: optional leading blanks and sign, decimal digits,
// or hexadecimal after "$" or "0x". Anything else, or a value out of range,
// throws Error "'text' n'est pas une valeur entière correcte".
int32_t str_to_int(std::string_view text);
// A value quoted in a message: 'text', cut after 40 bytes ("...").
std::string quoted_value(std::string_view text);
bool try_str_to_int(std::string_view text, int32_t& value);

// Fixed notation with `decimals` decimals, right-aligned with blanks in at
// least `width` characters (never cut). A tie at the last kept digit goes
// away from zero, judged on the value written to 18 significant digits.
std::string format_fixed(long double value, int decimals, int width = 0);

// The whole number nearest to x, a half going to the even neighbour; held to
// the 64-bit range (not-a-number gives 0), so defined for any input.
long long nearest_even(long double x);
// The same as text, for any value: every digit of a huge one, "NAN", "INF".
std::string whole_text(long double x);

// s followed by blanks up to n characters; a longer text stays whole.
std::string fill(std::string_view s, size_t n);
std::string pad_left(std::string_view s, size_t n);

}  // namespace karvel
