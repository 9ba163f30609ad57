#include "import/outlines.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/outline.h"
#include "import/outlines_openair.h"
#include "import/xplane.h"
#include "import/xplane_text.h"

namespace karvel::outlines {

const char* format_text(Format format) {
    switch (format) {
        case Format::arb:
            return "arb";
        case Format::openair:
            return "openair";
        case Format::geojson:
            break;
    }
    return "geojson";
}

namespace {

std::string file_error(const std::string& path, const std::string& what) {
    return w1252("fichier \"") + path_text(path) + "\" : " + what;
}

// A GeoJSON text as Windows-1252, without control characters.
std::string json_text(const nlohmann::json& v) {
    std::string s = v.is_string() ? v.get<std::string>() : v.is_number() ? v.dump() : "";
    s = utf8_to_cp1252(s);
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return s;
}

// The member's text, or nothing where it is missing or no text.
std::string member_text(const nlohmann::json& object, const char* key) {
    if (!object.is_object()) return "";
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : "";
}

// The first of `keys` the properties hold as a text or a number.
std::string property(const nlohmann::json& props, std::initializer_list<const char*> keys) {
    if (!props.is_object()) return "";
    for (const char* k : keys)
        if (const auto it = props.find(k); it != props.end() && !json_text(*it).empty())
            return json_text(*it);
    return "";
}

// One ring of longitude, latitude pairs; its closing point (the first
// repeated) is left out, and `open` set where it has none.
t_point json_ring(const nlohmann::json& ring, const std::string& where, bool& open) {
    if (!ring.is_array()) throw Error(where + w1252(" : anneau qui n'est pas une liste"));
    t_point points;
    for (const auto& p : ring) {
        if (!p.is_array() || p.size() < 2 || !p[0].is_number() || !p[1].is_number())
            throw Error(where + w1252(" : position qui n'est pas [longitude, latitude]"));
        const double lon = p[0].get<double>(), lat = p[1].get<double>();
        if (!(std::fabs(lat) <= 90) || !(std::fabs(lon) <= 180))
            throw Error(where + w1252(" : position hors du globe (") + format_fixed(lon, 6) +
                        ", " + format_fixed(lat, 6) + ")");
        points.push_back({lat, lon});
    }
    if (points.size() > 1 && points.front().latitude == points.back().latitude &&
        points.front().longitude == points.back().longitude)
        points.pop_back();
    else
        open = true;
    if (points.size() < 3) throw Error(where + w1252(" : anneau de moins de 3 points"));
    return points;
}

// The rings of a Polygon or MultiPolygon; none for another geometry.
// `open` is set when a ring does not end on its first position.
std::vector<t_point> json_rings(const nlohmann::json& geometry, const std::string& where,
                                bool& open) {
    std::vector<t_point> rings;
    if (!geometry.is_object()) return rings;
    const std::string type = member_text(geometry, "type");
    const auto coords = geometry.find("coordinates");
    if ((type != "Polygon" && type != "MultiPolygon") || coords == geometry.end()) return rings;
    if (!coords->is_array()) throw Error(where + w1252(" : coordonnées qui ne sont pas une liste"));
    if (type == "Polygon") {
        for (const auto& ring : *coords) rings.push_back(json_ring(ring, where, open));
        return rings;
    }
    for (const auto& polygon : *coords) {
        if (!polygon.is_array()) throw Error(where + w1252(" : polygone qui n'est pas une liste"));
        for (const auto& ring : polygon) rings.push_back(json_ring(ring, where, open));
    }
    return join_at_antimeridian(std::move(rings));
}

// The line of the byte at `offset` in `text`.
size_t line_of(const std::string& text, size_t offset) {
    size_t line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
    return line;
}

void read_features(const nlohmann::json& doc, OutlineFile& file) {
    std::vector<const nlohmann::json*> features;  // into the document, never copied
    if (member_text(doc, "type") == "FeatureCollection" && doc.contains("features") &&
        doc["features"].is_array())
        for (const nlohmann::json& f : doc["features"]) features.push_back(&f);
    else if (member_text(doc, "type") == "Feature")
        features.push_back(&doc);
    else
        throw Error(file_error(file.path, w1252("ni FeatureCollection ni Feature GeoJSON")));
    for (size_t i = 0; i < features.size(); ++i) {
        const nlohmann::json& f = *features[i];
        const nlohmann::json props = f.is_object() ? f.value("properties", nlohmann::json{})
                                                   : nlohmann::json{};
        Outline o;
        o.name = property(props, {"id", "name", "ident", "designator"});
        if (o.name.empty() && f.is_object() && f.contains("id")) o.name = json_text(f["id"]);
        const std::string where = file_error(file.path, w1252("entité n° ") +
                                                            std::to_string(i + 1) +
                                                            (o.name.empty() ? "" : " (" + o.name + ")"));
        bool open = false;
        static const nlohmann::json none;
        const auto geometry = f.is_object() ? f.find("geometry") : f.end();
        o.rings = json_rings(f.is_object() && geometry != f.end() ? *geometry : none, where, open);
        if (o.rings.empty()) {
            ++file.passed_over;
            continue;
        }
        // Rings are joined again at 180 degrees: a feature with one ring left
        // open has all its rings taken as open.
        for (size_t r = 0; open && r < o.rings.size(); ++r) o.open_rings.push_back(r);
        o.kind = property(props, {"kind", "type", "class"});
        if (o.kind.empty()) o.kind = "FIR";
        o.lower = property(props, {"lower", "lower_limit", "floor"});
        o.upper = property(props, {"upper", "upper_limit", "ceiling"});
        if (o.name.empty()) o.name = o.kind;
        o.layer = OutlineLayer::artcc;
        file.outlines.push_back(std::move(o));
    }
}

// GeoJSON nests six lists and objects deep at most (a collection, its
// features, a geometry, its polygons, rings and positions); a file nesting
// far deeper is refused before it is parsed, which would take a stack
// frame a level.
constexpr size_t kJsonDepth = 64;

// The offset of the first bracket nesting deeper than `limit`, or npos.
size_t too_deep(const std::string& text, size_t limit) {
    size_t depth = 0;
    bool in_string = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in_string) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                in_string = false;
        } else if (c == '"') {
            in_string = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::string::npos;
}

void read_geojson(const std::string& text, OutlineFile& file) {
    if (const size_t at = too_deep(text, kJsonDepth); at != std::string::npos)
        throw Error(w1252("fichier \"") + path_text(file.path) + "\", ligne " +
                    std::to_string(line_of(text, at)) + w1252(" : listes imbriquées sur plus de ") +
                    std::to_string(kJsonDepth) + w1252(" niveaux"));
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw Error(w1252("fichier \"") + path_text(file.path) + "\", ligne " +
                    std::to_string(line_of(text, e.byte > 0 ? e.byte - 1 : 0)) +
                    w1252(" : JSON illisible (octet ") + std::to_string(e.byte) + ")");
    } catch (const nlohmann::json::exception&) {  // a number beyond any double
        throw Error(file_error(file.path, w1252("JSON illisible (nombre hors limites)")));
    }
    try {
        read_features(doc, file);
    } catch (const nlohmann::json::exception&) {
        throw Error(file_error(file.path, w1252("GeoJSON mal formé (un membre n'a pas le type attendu)")));
    }
}

// ---- the FAA's ARTCC boundary file -------------------------------------------

// "35-46-00.0N" or "111-50-30.0W": degrees, minutes, seconds, hemisphere.
// False for a text of another shape.
bool dms(const std::string& text, char plus, char minus, int max_degrees, double& value) {
    if (text.size() < 6) return false;
    const char hemi = text.back();
    int d = 0, m = 0, used = 0;
    // Seconds read apart: a number scan would take the "E" of "0.0E" for an exponent.
    if (std::sscanf(text.c_str(), "%d-%d-%n", &d, &m, &used) != 2 || used == 0) return false;
    const std::string seconds = text.substr(static_cast<size_t>(used), text.size() - 1 - used);
    if (!xplane::decimal(seconds) || (hemi != plus && hemi != minus) || d < 0 || m < 0 ||
        m >= 60)
        return false;
    const double s = std::stod(seconds);
    if (s < 0 || s >= 60) return false;
    const double v = d + m / 60.0 + s / 3600.0;
    if (v > max_degrees) return false;
    value = hemi == minus ? -v : v;
    return true;
}

double arb_angle(const xplane::LineReader& in, std::string_view t, bool latitude) {
    const std::string text(xplane::trimmed(t));
    double v = 0;
    if (!dms(text, latitude ? 'N' : 'E', latitude ? 'S' : 'W', latitude ? 90 : 180, v))
        in.fail((latitude ? w1252("latitude illisible : \"") : w1252("longitude illisible : \"")) +
                utf8_to_cp1252(text.substr(0, 40)) + "\"");
    return v;
}

// A line of the ARB file: 397 characters, the point's latitude at 63 and
// longitude at 77 (columns from 1).
bool arb_line(const std::string& line) {
    double v = 0;
    return line.size() >= 90 &&
           dms(std::string(xplane::trimmed(std::string_view(line).substr(62, 14))), 'N', 'S', 90, v);
}

void read_arb(OutlineFile& file) {
    xplane::LineReader in(file.path);
    std::map<std::string, size_t> by_key;  // centre and stratum: position in the file's list
    std::string line;
    bool closed = true;  // the last point ended its shape
    std::string last_key;
    // Shapes that end without going back to their beginning: outline and ring.
    std::set<std::pair<size_t, size_t>> open;
    const auto left_open = [&](const std::string& key) {
        const size_t at = by_key.at(key);
        open.emplace(at, file.outlines[at].rings.size() - 1);
    };
    while (in.next(line)) {
        if (xplane::trimmed(line).empty()) continue;
        if (!arb_line(line)) in.fail(w1252("ligne qui n'est pas de la forme du fichier ARB"));
        const std::string ident = xplane::field(in, xplane::trimmed(line.substr(0, 4)));
        const std::string stratum = xplane::field(in, xplane::trimmed(line.substr(52, 10)));
        const std::string key = ident + "|" + line.substr(4, 3);
        const geo_point p{arb_angle(in, line.substr(62, 14), true),
                          arb_angle(in, line.substr(76, 14), false)};
        auto [it, added] = by_key.emplace(key, file.outlines.size());
        if (added) {
            Outline o;
            o.kind = stratum;
            o.layer = stratum == "HIGH"  ? OutlineLayer::high
                      : stratum == "LOW" ? OutlineLayer::low
                                         : OutlineLayer::artcc;
            o.name = o.layer != OutlineLayer::artcc ? ident
                     : stratum == "FIR ONLY"        ? ident + " FIR"
                                                    : ident + " " + stratum;
            file.outlines.push_back(std::move(o));
        }
        Outline& o = file.outlines[it->second];
        // A shape ends at the point whose text says it goes back to the
        // beginning; a new centre or stratum ends one too.
        if (closed || key != last_key) {
            if (!closed) left_open(last_key);
            o.rings.emplace_back();
        }
        o.rings.back().push_back(p);
        closed = line.size() > 90 && line.find("POINT OF BEGINNING", 90) != std::string::npos;
        last_key = key;
    }
    if (!closed && !last_key.empty()) left_open(last_key);
    for (size_t i = 0; i < file.outlines.size(); ++i) {
        Outline& o = file.outlines[i];
        std::vector<t_point> rings;
        for (size_t r = 0; r < o.rings.size(); ++r)
            if (o.rings[r].size() >= 3) {
                if (open.count({i, r})) o.open_rings.push_back(rings.size());
                rings.push_back(std::move(o.rings[r]));
            } else {
                ++file.passed_over;
            }
        o.rings = std::move(rings);
    }
    // A shape of fewer than three points is no outline: one left with none
    // is no outline either.
    std::erase_if(file.outlines, [](const Outline& o) { return o.rings.empty(); });
}

// ---- the format ---------------------------------------------------------------

// An outline file is read whole and a GeoJSON parsed at once, taking some
// five times its size: one past this size, or a device that never ends, is
// refused before memory runs out (the world's FIR file is 2 MB).
constexpr size_t kMaxOutlineBytes = size_t{64} << 20;

std::string whole_file(const std::string& path) {
    std::ifstream f(fs_path(path), std::ios::binary);
    if (!f) throw Error(w1252("Impossible d'ouvrir le fichier \"") + path_text(path) + "\"");
    const auto too_big = [&] {
        return Error(file_error(path, w1252("plus de ") + std::to_string(kMaxOutlineBytes >> 20) +
                                          w1252(" Mo : trop grand pour un fichier de contours")));
    };
    std::error_code ec;
    const auto size = std::filesystem::file_size(fs_path(path), ec);
    if (!ec && size > kMaxOutlineBytes) throw too_big();
    std::string text;
    if (!ec) text.reserve(static_cast<size_t>(size));
    char chunk[1 << 16];
    while (f.read(chunk, sizeof chunk) || f.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(f.gcount()));
        if (text.size() > kMaxOutlineBytes) throw too_big();
    }
    if (f.bad()) throw Error(file_error(path, w1252("illisible")));
    return text;
}

Format format_of(const std::string& path, const std::string& text) {
    size_t i = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && text[i] == '{') return Format::geojson;
    const std::string first = text.substr(i, text.find_first_of("\r\n", i) - i);
    if (arb_line(first)) return Format::arb;
    if (openair_start(text.substr(i))) return Format::openair;
    throw Error(file_error(path, w1252("ni GeoJSON, ni fichier ARB de la FAA, ni OpenAir")));
}

}  // namespace

OutlineFile read_outlines(const std::string& path, const std::string& attribution) {
    OutlineFile file;
    file.path = path;
    file.attribution = attribution;
    {
        const std::string text = whole_file(path);
        file.format = format_of(path, text);
        if (file.format == Format::geojson) read_geojson(text, file);
    }
    if (file.format == Format::arb) read_arb(file);
    if (file.format == Format::openair) read_openair(file.path, file.outlines, file.passed_over);
    const std::string source = from_fs_path(fs_path(path).filename());
    for (Outline& o : file.outlines) {
        o.source = path_text(source);
        o.attribution = attribution;
        o.box = rings_box(o.rings);
    }
    return file;
}

}  // namespace karvel::outlines
