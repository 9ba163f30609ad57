#include "shp_writer.h"

#include <algorithm>
#include <cstring>

namespace karvel::test {
namespace {

// Appends `v`'s bytes, least significant first or, when `big`, last.
template <class T>
void put(std::string& s, T v, bool big = false) {
    char b[sizeof v];
    std::memcpy(b, &v, sizeof v);
    if (big) std::reverse(b, b + sizeof v);
    s.append(b, sizeof v);
}

std::string content(const ShpRecord& r) {
    if (!r.raw.empty()) return r.raw;
    std::string c;
    put(c, r.type);
    for (int i = 0; i < 4; ++i) put(c, 0.0);  // box, not read
    put(c, static_cast<int32_t>(r.parts.size()));
    put(c, static_cast<int32_t>(r.points.size()));
    for (int32_t p : r.parts) put(c, p);
    for (const auto& [x, y] : r.points) put(c, x), put(c, y);
    const bool z = r.type == 13 || r.type == 15, m = z || r.type == 23 || r.type == 25;
    if (z) {  // Z range and values
        put(c, 0.0), put(c, 100.0);
        for (size_t i = 0; i < r.points.size(); ++i) put(c, 100.0 * i);
    }
    if (m) {
        put(c, 0.0), put(c, 1.0);
        for (size_t i = 0; i < r.points.size(); ++i) put(c, 0.5);
    }
    return c;
}

}  // namespace

void put_be32(std::string& s, size_t at, uint32_t v) {
    std::string b;
    put(b, v, true);
    s.replace(at, 4, b);
}

void put_le32(std::string& s, size_t at, int32_t v) {
    std::string b;
    put(b, v);
    s.replace(at, 4, b);
}

std::string shp_file(const std::vector<ShpRecord>& records, int32_t shape_type) {
    std::string body, h;
    uint32_t number = 1;
    for (const ShpRecord& r : records) {
        const std::string c = content(r);
        put(body, number++, true);
        put(body, static_cast<uint32_t>(c.size() / 2), true);
        body += c;
    }
    put(h, 9994u, true);
    for (int i = 0; i < 5; ++i) put(h, 0u, true);
    put(h, static_cast<uint32_t>((100 + body.size()) / 2), true);
    put(h, int32_t{1000}), put(h, shape_type);
    for (int i = 0; i < 8; ++i) put(h, 0.0);
    return h + body;
}

}  // namespace karvel::test
