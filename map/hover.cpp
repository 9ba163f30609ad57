#include "map/hover.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/numtext.h"
#include "core/settings.h"

namespace karvel {

namespace {

// What lies within reach of the cursor: each item's rank (navaids first),
// its distance and its lines.
struct Found {
    int rank;
    long long distance;
    std::string text;
};

class Under {
  public:
    Under(const Viewport& view, int x, int y, int reach)
        : view_(view), x_(x), y_(y), reach_(static_cast<long long>(reach) * reach) {}

    // The item at (lat, lon), when it is drawn within reach.
    void add(int rank, double lat, double lon, std::string text) {
        if (!view_.contains(lat, lon)) return;
        const Pixel p = view_.to_pixel(lat, lon);
        const long long dx = p.x - x_, dy = p.y - y_;
        const long long d = dx * dx + dy * dy;
        if (d <= reach_) found.push_back({rank, d, std::move(text)});
    }
    std::vector<Found> found;

  private:
    const Viewport& view_;
    long long x_, y_;
    long long reach_;
};

// "IDENT (kind)", then the name where it says more, then the frequency.
std::string block(const std::string& ident, const std::string& kind, const std::string& name,
                  const std::string& freq) {
    std::string s = ident + " (" + kind + ")";
    if (!name.empty() && name != ident) s += "\n" + name;
    if (!freq.empty()) s += "\n" + freq;
    return s;
}

// A procedure point's ident: a loaded waypoint's or navaid's.
const std::string* point_ident(const NavTables& nav, const std::string& id) {
    if (const int i = nav.waypoints.ids().find(id); i >= 0)
        return &nav.waypoints[static_cast<size_t>(i)].ident;
    if (const int i = nav.vors.ids().find(id); i >= 0)
        return &nav.vors[static_cast<size_t>(i)].ident;
    if (const int i = nav.ndbs.ids().find(id); i >= 0)
        return &nav.ndbs[static_cast<size_t>(i)].ident;
    return nullptr;
}

}  // namespace

std::string hover_text(const Viewport& view, const NavTables& nav, const ColourTable& colours,
                       int x, int y, int reach) {
    const auto shown = [&](int entry) { return colours[static_cast<size_t>(entry)].visible; };
    Under u(view, x, y, reach);
    for (const auto& [entry, table, kind] : {std::tuple{colour::vor, &nav.vors, "VOR"},
                                             std::tuple{colour::ndb, &nav.ndbs, "NDB"}})
        if (shown(entry))
            for (const VOR& v : *table)
                u.add(0, v.latitude, v.longitude,
                      block(v.ident, v.desc.empty() ? kind : v.desc, v.name, v.freq));
    if (shown(colour::airport))
        for (const Airport& a : nav.airports)
            u.add(1, a.latitude, a.longitude, block(a.icao, w1252("aérodrome"), a.name, a.freq));
    if (shown(colour::fixes))
        for (const FIXE& f : nav.waypoints)
            if (f.selected) u.add(2, f.latitude, f.longitude, block(f.ident, "point", f.name, ""));
    for (const auto& [entry, table] :
         {std::pair{colour::sid, &nav.sids}, {colour::star, &nav.stars}})
        if (shown(entry))
            for (const ROUTE& r : *table) {
                if (!r.selected) continue;
                for (const t_leg& l : r.legs)
                    if (const std::string* ident = point_ident(nav, l.wptid))
                        u.add(3, l.wptlat, l.wptlon, block(*ident, r.icao + "-" + r.name, "", ""));
            }
    // Navaids first, then airports, fixes and procedure points, each kind
    // nearest first; an item told twice (a point of two legs) once.
    std::stable_sort(u.found.begin(), u.found.end(), [](const Found& a, const Found& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.distance < b.distance;
    });
    std::string text;
    size_t told = 0;
    std::vector<const std::string*> seen;
    for (const Found& f : u.found) {
        if (std::any_of(seen.begin(), seen.end(), [&](const std::string* t) { return *t == f.text; }))
            continue;
        seen.push_back(&f.text);
        if (told == kHoverItems) {
            text += w1252("\n\n(et d'autres)");
            break;
        }
        text += (text.empty() ? "" : "\n\n") + f.text;
        ++told;
    }
    return text;
}

}  // namespace karvel
