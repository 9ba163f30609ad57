#include "geography/shapefile.h"

#include <bit>
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

// One polyline or polygon record; false when its counts do not fit it.
bool read_poly(const char* c, size_t size, const std::string& kind, std::vector<t_geo>& out) {
    if (size < kPolyHeaderSize) return false;
    const int64_t parts = le32(c + 36);
    const int64_t points = le32(c + 40);
    if (parts < 0 || points < 0) return false;
    if (kPolyHeaderSize + 4 * parts + 16 * points > size) return false;
    const char* part_starts = c + kPolyHeaderSize;
    const char* xy = part_starts + 4 * parts;
    for (int64_t p = 0; p < parts; ++p) {
        const int64_t first = le32(part_starts + 4 * p);
        const int64_t next = p + 1 < parts ? le32(part_starts + 4 * (p + 1)) : points;
        if (first < 0 || next < first || next > points) return false;
        if (next == first) continue;  // an empty part draws nothing
        t_geo g;
        g.name = kind;
        g.points.reserve(static_cast<size_t>(next - first));
        for (int64_t i = first; i < next; ++i) {
            const char* pt = xy + 16 * i;
            g.points.push_back({le64(pt + 8), le64(pt)});  // Y is the latitude
        }
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
    while (pos + kRecordHeaderSize <= end) {
        const uint64_t content = uint64_t{be32(file.data() + pos + 4)} * 2;
        const uint64_t start = pos + kRecordHeaderSize;
        if (content > end - start) return false;  // a record that runs past the end
        const char* c = file.data() + start;
        if (content >= 4 && is_poly(le32(c))) {
            if (!read_poly(c, content, kind, out)) return false;
        }
        pos = start + content;  // null shapes, points and the like are passed over
    }
    return pos == end && declared <= file.size();
}

}  // namespace karvel
