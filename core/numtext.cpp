#include "core/numtext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/cp1252.h"
#include "core/error.h"

namespace karvel {

std::string w1252(std::string_view utf8) {
    return utf8_to_cp1252(utf8);
}

bool try_str_to_int(std::string_view s, int32_t& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    if (base == 16) {  // hexadecimal covers the whole 32-bit pattern
        const auto bits = static_cast<uint32_t>(v);
        value = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (negative ? v > 2147483648ull : v > 2147483647ull) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    return true;
}

std::string quoted_value(std::string_view text) {
    constexpr size_t kShown = 40;  // a whole line of text as a value says nothing more
    std::string q(1, '\'');
    q += text.substr(0, kShown);
    if (text.size() > kShown) q += "...";
    return q + '\'';
}

int32_t str_to_int(std::string_view text) {
    int32_t v = 0;
    if (!try_str_to_int(text, v))
        throw Error(quoted_value(text) + w1252(" n'est pas une valeur entière correcte"));
    return v;
}

std::string format_fixed(long double value, int decimals, int width) {
    if (decimals < 0) decimals = 0;
    if (std::isnan(value) || std::isinf(value))
        return pad_left(std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF"),
                        static_cast<size_t>(width < 0 ? 0 : width));

    // The value to 18 significant digits ("d.ddddddddddddddddde+x"), then
    // rounded by hand at the kept decimal with a tie going away from zero.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17Le", value);
    // The digits up to the exponent, whatever decimal separator the locale
    // put after the first one.
    const bool negative = buf[0] == '-';
    const char* q = buf + (negative ? 1 : 0);
    std::string digits;
    for (; *q && *q != 'e'; ++q)
        if (*q >= '0' && *q <= '9') digits += *q;
    const int exponent = *q ? std::atoi(q + 1) : 0;

    // Leading zeros so that the decimal point falls after digit `point`.
    int point = exponent + 1;
    if (point < 1) {
        digits.insert(0, static_cast<size_t>(1 - point), '0');
        point = 1;
    }
    const auto keep = static_cast<size_t>(point + decimals);
    if (digits.size() < keep + 1) digits.append(keep + 1 - digits.size(), '0');
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        size_t k = keep;
        while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
        if (k == 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        } else {
            ++digits[k - 1];
        }
    }

    std::string int_part = digits.substr(0, static_cast<size_t>(point));
    const size_t nonzero = int_part.find_first_not_of('0');
    int_part.erase(0, nonzero == std::string::npos ? int_part.size() - 1 : nonzero);
    const std::string frac = digits.substr(static_cast<size_t>(point));
    const bool zero = int_part == "0" && frac.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !zero) out += '-';
    out += int_part;
    if (decimals > 0) {
        out += '.';
        out += frac;
    }
    return pad_left(out, static_cast<size_t>(width < 0 ? 0 : width));
}

long long nearest_even(long double x) {
    if (std::isnan(x)) return 0;
    constexpr long double limit = 9223372036854775807.0L;  // 2^63 - 1 rounds up to 2^63
    if (x >= limit) return std::numeric_limits<long long>::max();
    if (x <= -limit) return std::numeric_limits<long long>::min();
    return static_cast<long long>(std::nearbyint(x));
}

std::string whole_text(long double x) {
    const long double v = std::nearbyint(x) + 0.0L;  // no "-0"
    if (std::isfinite(v) && std::fabs(v) < 9.0e18L)
        return std::to_string(static_cast<long long>(v));
    return format_fixed(v, 0);  // every digit of a huge value, "NAN", "INF"
}

std::string fill(std::string_view s, size_t n) {
    std::string out(s);
    if (out.size() < n) out.append(n - out.size(), ' ');
    return out;
}

std::string pad_left(std::string_view s, size_t n) {
    std::string out;
    if (s.size() < n) out.assign(n - s.size(), ' ');
    out += s;
    return out;
}

}  // namespace karvel
