#include "shp_writer.h"

#include <cstring>

namespace karvel::test {
namespace {

void be32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void le32(std::string& s, int32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}
void le64(std::string& s, double v) {
    char b[8];
    std::memcpy(b, &v, 8);
    s.append(b, 8);
}

std::string content(const ShpRecord& r) {
    if (!r.raw.empty()) return r.raw;
    std::string c;
    le32(c, r.type);
    for (int i = 0; i < 4; ++i) le64(c, 0);  // box, not read
    le32(c, static_cast<int32_t>(r.parts.size()));
    le32(c, static_cast<int32_t>(r.points.size()));
    for (int32_t p : r.parts) le32(c, p);
    for (const auto& [x, y] : r.points) {
        le64(c, x);
        le64(c, y);
    }
    const bool z = r.type == 13 || r.type == 15;
    const bool m = z || r.type == 23 || r.type == 25;
    if (z) {  // Z range and values
        le64(c, 0);
        le64(c, 100);
        for (size_t i = 0; i < r.points.size(); ++i) le64(c, 100.0 * i);
    }
    if (m) {
        le64(c, 0);
        le64(c, 1);
        for (size_t i = 0; i < r.points.size(); ++i) le64(c, 0.5);
    }
    return c;
}

}  // namespace

void put_be32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * (3 - i))) & 0xFF);
}

void put_le32(std::string& s, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}

std::string shp_file(const std::vector<ShpRecord>& records, int32_t shape_type) {
    std::string body;
    int32_t number = 1;
    for (const ShpRecord& r : records) {
        const std::string c = content(r);
        be32(body, static_cast<uint32_t>(number++));
        be32(body, static_cast<uint32_t>(c.size() / 2));
        body += c;
    }
    std::string h;
    be32(h, 9994);
    for (int i = 0; i < 5; ++i) be32(h, 0);
    be32(h, static_cast<uint32_t>((100 + body.size()) / 2));
    le32(h, 1000);
    le32(h, shape_type);
    for (int i = 0; i < 8; ++i) le64(h, 0);
    return h + body;
}

}  // namespace karvel::test
