#include "sector/geojson.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "sector/coord.h"

namespace karvel::geojson {

std::string json(const std::string& text) {
    std::string out = "\"";
    for (const char c : cp1252_to_utf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string number(double v) {
    std::string s = format_fixed(v, 7);
    // Trailing zeros say nothing.
    while (s.size() > 1 && s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string position(const geo_point& p) {
    std::string s(1, '[');  // built step by step: GCC 12 misreads "[" + s
    s += number(p.longitude);
    s += ',';
    s += number(p.latitude);
    s += ']';
    return s;
}

std::string prop(const char* key, const std::string& value) {
    return std::string("\"") + key + "\":" + json(value);
}

void Writer::feature(const std::string& geometry, const std::string& properties) {
    out += first ? "\n" : ",\n";
    first = false;
    out +=
        "{\"type\":\"Feature\",\"geometry\":" + geometry + ",\"properties\":{" + properties + "}}";
}

void Writer::point(const geo_point& p, const std::string& properties) {
    feature("{\"type\":\"Point\",\"coordinates\":" + position(p) + "}", properties);
}

void Writer::line(const std::vector<geo_point>& points, const std::string& properties) {
    if (points.size() < 2) return;
    const auto parts = split_at_antimeridian(points);
    auto coordinates = [](const std::vector<geo_point>& part) {
        std::string s(1, '[');
        for (size_t i = 0; i < part.size(); ++i) {
            if (i) s += ',';
            s += position(part[i]);
        }
        s += ']';
        return s;
    };
    if (parts.size() == 1) {
        feature("{\"type\":\"LineString\",\"coordinates\":" + coordinates(parts[0]) + "}",
                properties);
        return;
    }
    std::string all(1, '[');
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) all += ',';
        all += coordinates(parts[i]);
    }
    feature("{\"type\":\"MultiLineString\",\"coordinates\":" + all + "]}", properties);
}

}  // namespace karvel::geojson
