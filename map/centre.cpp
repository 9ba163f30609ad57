#include "map/centre.h"

#include <QCollator>
#include <algorithm>
#include <cctype>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

namespace {

// Each record of the kind as (code, latitude, longitude), in table order.
template <class F>
void for_each_record(const NavTables& nav, CentreKind kind, F&& f) {
    switch (kind) {
        case CentreKind::airports:
            for (const Airport& a : nav.airports) f(a.icao, a.latitude, a.longitude);
            break;
        case CentreKind::vors:
            for (const VOR& v : nav.vors) f(v.ident, v.latitude, v.longitude);
            break;
        case CentreKind::ndbs:
            for (const VOR& v : nav.ndbs) f(v.ident, v.latitude, v.longitude);
            break;
        case CentreKind::fixes:
            for (const FIXE& w : nav.waypoints) f(w.ident, w.latitude, w.longitude);
            break;
    }
}

}  // namespace

std::vector<std::string> centre_items(const NavTables& nav, CentreKind kind) {
    std::vector<std::string> items;
    for_each_record(nav, kind,
                    [&](const std::string& code, double, double) { items.push_back(code); });
    QCollator collator;  // the locale's order
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QString, size_t>> keyed;
    keyed.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) keyed.emplace_back(to_qstring(items[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    std::vector<std::string> sorted;
    sorted.reserve(items.size());
    for (const auto& k : keyed) sorted.push_back(std::move(items[k.second]));
    return sorted;
}

bool centre_on(const NavTables& nav, SelectionFrame& frame, CentreKind kind,
               const std::string& code) {
    bool found = false;
    double lat = 0, lon = 0;
    for_each_record(nav, kind, [&](const std::string& c, double la, double lo) {
        if (c != code) return;  // letter case counts
        found = true;
        lat = la;
        lon = lo;
    });
    if (!found) return false;
    frame.centre_lat = lat;
    frame.centre_lon = lon;
    return true;
}

std::string map_caption(const std::string& selection_text, int32_t range_nm) {
    return selection_text + "   visu:" + std::to_string(range_nm) + "nm";
}

int32_t decimal_range(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    size_t digits = i + (i < text.size() && (text[i] == '+' || text[i] == '-'));
    const bool only_digits = digits < text.size() &&
                             std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits),
                                         text.end(), [](char c) { return c >= '0' && c <= '9'; });
    int32_t value = 0;
    if (!only_digits || !try_str_to_int(text.substr(i), value))
        throw Error(quoted_value(text) + w1252(" n'est pas une valeur entière correcte"));
    return value;
}

}  // namespace karvel
