#include "map/hover.h"

#include "core/settings.h"

namespace karvel {

namespace {

// The nearest candidate so far and its text.
class Nearest {
  public:
    Nearest(const Viewport& view, int x, int y, int reach)
        : view_(view), x_(x), y_(y), best_(static_cast<long long>(reach) * reach) {}

    // True when the point is drawn at least as near as the best so far; the
    // first of equally near items keeps its place.
    bool nearer(double lat, double lon) {
        if (!view_.contains(lat, lon)) return false;
        const Pixel p = view_.to_pixel(lat, lon);
        const long long dx = p.x - x_, dy = p.y - y_;
        const long long d = dx * dx + dy * dy;
        if (d > best_ || (found_ && d == best_)) return false;
        best_ = d;
        found_ = true;
        return true;
    }
    std::string text;

  private:
    const Viewport& view_;
    long long x_, y_;
    long long best_;
    bool found_ = false;
};

const std::string kNone;

std::string lines(std::initializer_list<const std::string*> parts) {
    std::string s;
    for (const std::string* p : parts) {
        if (p->empty()) continue;
        if (!s.empty()) s += '\n';
        s += *p;
    }
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
    Nearest n(view, x, y, reach);
    if (shown(colour::airport))
        for (const Airport& a : nav.airports)
            if (n.nearer(a.latitude, a.longitude)) n.text = lines({&a.icao, &a.name, &a.freq});
    if (shown(colour::fixes))
        for (const FIXE& f : nav.waypoints)
            if (f.selected && n.nearer(f.latitude, f.longitude))
                n.text = lines({&f.ident, f.name == f.ident ? &kNone : &f.name});
    for (const auto& [entry, table] : {std::pair{colour::vor, &nav.vors}, {colour::ndb, &nav.ndbs}})
        if (shown(entry))
            for (const VOR& v : *table)
                if (n.nearer(v.latitude, v.longitude)) n.text = lines({&v.ident, &v.name, &v.freq});
    for (const auto& [entry, table] :
         {std::pair{colour::sid, &nav.sids}, {colour::star, &nav.stars}})
        if (shown(entry))
            for (const ROUTE& r : *table) {
                if (!r.selected) continue;
                const std::string procedure = r.icao + "-" + r.name;
                for (const t_leg& l : r.legs)
                    if (const std::string* ident = point_ident(nav, l.wptid);
                        ident && n.nearer(l.wptlat, l.wptlon))
                        n.text = lines({ident, &procedure});
            }
    return n.text;
}

}  // namespace karvel
