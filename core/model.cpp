#include "core/model.h"

#include "core/cp1252.h"
#include "core/geometry.h"

namespace karvel {

bool GeoBox::contains(const geo_point& p) const {
    return lat_min <= p.latitude && p.latitude <= lat_max &&
           lon_within(p.longitude, lon_min, lon_max);
}

size_t NoCaseHash::operator()(std::string_view s) const noexcept {
    size_t h = 1469598103934665603ull;  // FNV-1a over the folded bytes
    for (unsigned char c : s) {
        h ^= fold_case(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    return equals_nocase(a, b);
}

void IdIndex::clear() {
    ids_.clear();
    has_.clear();
    first_.clear();
}

void IdIndex::reserve(size_t n) {
    ids_.reserve(n);
    has_.reserve(n);
    first_.reserve(n);
}

void IdIndex::append(std::string_view id) {
    const int position = size();
    ids_.emplace_back(id);
    has_.push_back(true);
    first_.try_emplace(std::string(id), position);
}

void IdIndex::append_empty() {
    ids_.emplace_back();
    has_.push_back(false);
}

void IdIndex::forget(int position) {
    if (!has_[static_cast<size_t>(position)]) return;
    const std::string& old = ids_[static_cast<size_t>(position)];
    auto it = first_.find(std::string_view(old));
    if (it == first_.end() || it->second != position) return;
    // The next position holding the same ID (rare: only on re-pairing).
    for (int p = position + 1; p < size(); ++p) {
        if (has_[static_cast<size_t>(p)] && equals_nocase(ids_[static_cast<size_t>(p)], old)) {
            it->second = p;
            return;
        }
    }
    first_.erase(it);
}

void IdIndex::set(int position, std::string_view id) {
    forget(position);
    ids_[static_cast<size_t>(position)] = std::string(id);
    has_[static_cast<size_t>(position)] = true;
    auto [it, inserted] = first_.try_emplace(std::string(id), position);
    if (!inserted && it->second > position) it->second = position;
}

int IdIndex::find(std::string_view id) const {
    auto it = first_.find(id);
    return it == first_.end() ? -1 : it->second;
}

}  // namespace karvel
