#include "sector/check_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel::check {

namespace {

constexpr size_t kLongestLine = 1 << 20;

std::string without_comment(const std::string& line, char comment, bool anywhere) {
    if (!anywhere) {
        const size_t first = line.find_first_not_of(" \t");
        return first != std::string::npos && line[first] == comment ? std::string() : line;
    }
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == comment && !quoted) return line.substr(0, i);
    }
    return line;
}

std::string trimmed_end(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
    return s;
}

// Degrees of "DDD.MM.SS.sss" or "DDD.ddd" after the hemisphere letter.
std::optional<double> degrees(std::string_view t, double max) {
    std::vector<std::string_view> parts;
    size_t from = 0;
    for (size_t dot; (dot = t.find('.', from)) != std::string_view::npos; from = dot + 1)
        parts.push_back(t.substr(from, dot - from));
    parts.push_back(t.substr(from));
    for (const auto& p : parts)
        if (p.empty() || p.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
    double v = 0;
    if (parts.size() == 4) {
        const double m = *number(parts[1]);
        const double s = *number(std::string(parts[2]) + "." + std::string(parts[3]));
        if (m >= 60 || s >= 60) return std::nullopt;
        v = *number(parts[0]) + m / 60 + s / 3600;
    } else if (parts.size() <= 2) {
        v = *number(t);
    } else {
        return std::nullopt;
    }
    if (!(v <= max)) return std::nullopt;
    return v;
}

std::optional<double> angle(std::string_view t, char plus, char minus, double max) {
    if (t.size() < 2) return std::nullopt;
    const char h = static_cast<char>(t[0] & ~0x20);
    if (h != plus && h != minus) return std::nullopt;
    const auto v = degrees(t.substr(1), max);
    if (!v) return std::nullopt;
    return h == minus ? -*v : *v;
}

}  // namespace

std::vector<Line> read_lines(const std::string& path, char comment, bool anywhere,
                             std::vector<Finding>& out) {
    std::ifstream f(fs_path(path), std::ios::binary | std::ios::ate);
    if (!f) throw Error(w1252("Impossible d'ouvrir le fichier \"") + path_text(path) + "\"");
    std::string text(static_cast<size_t>(std::max<std::streamoff>(0, f.tellg())), '\0');
    f.seekg(0);
    f.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (f.bad() || f.gcount() != static_cast<std::streamsize>(text.size()))
        throw Error(w1252("fichier illisible : ") + path_text(path));
    if (text.find('\0') != std::string::npos)
        throw Error(path_text(path) + w1252(" : ce n'est pas un fichier texte (octet nul)"));
    std::vector<Line> lines;
    std::string section;
    size_t number = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        ++number;
        if (end - at > kLongestLine) {
            out.push_back({path, number, true, "ligne", w1252("ligne de plus de 1 Mo, passée")});
            at = end + 1;
            continue;
        }
        std::string line =
            trimmed_end(without_comment(text.substr(at, end - at), comment, anywhere));
        at = end + 1;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        if (line[first] == '[')
            section = upper_ascii(line.substr(first, line.find(']') + 1 - first));
        lines.push_back({number, section, std::move(line)});
    }
    return lines;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::vector<std::string> fields(const std::string& text) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t colon; (colon = text.find(':', from)) != std::string::npos; from = colon + 1)
        out.push_back(text.substr(from, colon - from));
    out.push_back(text.substr(from));
    return out;
}

std::optional<double> latitude(std::string_view text) {
    return angle(text, 'N', 'S', 90);
}

std::optional<double> longitude(std::string_view text) {
    return angle(text, 'E', 'W', 180);
}

bool coordinate_like(std::string_view t) {
    if (t.size() < 2) return false;
    const char h = static_cast<char>(t[0] & ~0x20);
    return (h == 'N' || h == 'S' || h == 'E' || h == 'W') && t[1] >= '0' && t[1] <= '9';
}

std::optional<double> number(std::string_view text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, v);
    if (error != std::errc() || stop != end || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<geo_point> point_at(const Reporter& report, size_t line,
                                  const SectorDefinitions& defs, const std::string& lat,
                                  const std::string& lon, const std::string& undefined,
                                  char separator) {
    if (!coordinate_like(lat) && lat == lon) {
        const auto it = defs.named.find(lat);
        if (defs.ambiguous.count(lat))
            report.error(line, "ambigu", w1252("point de deux endroits : ") + lat);
        if (it != defs.named.end()) return it->second;
        report.error(line, "point", undefined + lat);
        return std::nullopt;
    }
    const auto a = latitude(lat), o = longitude(lon);
    if (!a || !o) {
        report.error(line, "coordonnee", w1252("coordonnée invalide : ") + lat + separator + lon);
        return std::nullopt;
    }
    return geo_point{*a, *o};
}

}  // namespace karvel::check
