#include "geography/shapefile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace karvel {
namespace {

constexpr size_t kHeaderSize = 100;
constexpr size_t kRecordHeaderSize = 8;
constexpr size_t kPolyHeaderSize = 44;  // type, box, NumParts, NumPoints

uint32_t be32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return (uint32_t{u[0]} << 24) | (uint32_t{u[1]} << 16) | (uint32_t{u[2]} << 8) | u[3];
}

static_assert(std::endian::native == std::endian::little, "little-endian fields read as they are");

int32_t le32(const char* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

double le64(const char* p) {
    double v;
    std::memcpy(&v, p, 8);
    return v;
}

bool is_poly(int32_t type) {
    switch (type) {
        case 3:   // PolyLine
        case 5:   // Polygon
        case 13:  // PolyLineZ
        case 15:  // PolygonZ
        case 23:  // PolyLineM
        case 25:  // PolygonM
            return true;
        default:
            return false;
    }
}

// One polyline or polygon record; false (and nothing added) when its counts
// do not fit it. Points go to the part whose start they have reached; the
// first part takes every point from the record's first, whatever its stored
// start. Points that are not finite numbers are left out.
bool read_poly(const char* c, size_t size, const std::string& kind, std::vector<t_geo>& out) {
    if (size < kPolyHeaderSize) return false;
    const int64_t parts = le32(c + 36);
    const int64_t points = le32(c + 40);
    if (parts < 0 || points < 0) return false;
    if (kPolyHeaderSize + 4 * parts + 16 * points > size) return false;
    const char* part_starts = c + kPolyHeaderSize;
    const char* xy = part_starts + 4 * parts;
    const int64_t count = std::max<int64_t>(parts, 1);
    auto start = [&](int64_t p) -> int64_t {
        if (p == 0) return 0;
        return p < parts ? le32(part_starts + 4 * p) : points;
    };
    for (int64_t p = 1; p <= count; ++p)
        if (start(p) < start(p - 1) || start(p) > points) return false;
    for (int64_t p = 0; p < count; ++p) {
        t_geo g;
        g.name = kind;
        g.points.reserve(static_cast<size_t>(start(p + 1) - start(p)));
        for (int64_t i = start(p); i < start(p + 1); ++i) {
            const char* pt = xy + 16 * i;
            const double x = le64(pt), y = le64(pt + 8);
            if (std::isfinite(x) && std::isfinite(y)) g.points.push_back({y, x});  // Y is the latitude
        }
        if (g.points.empty()) continue;  // an empty part draws nothing
        g.bounds = bounds_of(g.points);
        out.push_back(std::move(g));
    }
    return true;
}

}  // namespace

bool read_shp(std::string_view file, const std::string& kind, std::vector<t_geo>& out) {
    if (file.size() < kHeaderSize) return false;
    // The header's length (16-bit words) bounds the records, and so does the
    // file itself when it was cut short.
    const uint64_t declared = uint64_t{be32(file.data() + 24)} * 2;
    const uint64_t end = std::min<uint64_t>(declared, file.size());
    uint64_t pos = kHeaderSize;
    bool whole = true;
    while (pos + kRecordHeaderSize <= end) {
        const uint64_t content = uint64_t{be32(file.data() + pos + 4)} * 2;
        const uint64_t start = pos + kRecordHeaderSize;
        if (content > end - start) return false;  // a record that runs past the end
        const char* c = file.data() + start;
        // A record whose counts do not fit is passed over by its length.
        if (content >= 4 && is_poly(le32(c)) && !read_poly(c, content, kind, out)) whole = false;
        pos = start + content;  // null shapes, points and the like are passed over
    }
    return whole && pos == end && declared <= file.size();
}

}  // namespace karvel
