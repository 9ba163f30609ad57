#include "import/ground.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/ground.h"
#include "core/numtext.h"
#include "import/xplane.h"
#include "import/xplane_text.h"

namespace karvel::xplane {

namespace {

// A node row (111 to 116) read: where it is, its curve, the line type it
// paints from itself on (its lit type where it paints none), and what it
// does to its chain.
struct NodeRow {
    GroundNode node;
    int code = 0;
    bool closes = false;  // 113, 114: the chain returns to its first node
    bool ends = false;    // 115, 116: the chain ends here
};

// A name of the ground (an area's, a line's, a stand's): the fields from
// `from` on, joined by single blanks. The world's file has control
// characters in a few of them: each becomes a blank, and blanks at the ends
// go (a name is only a label, not worth an import).
std::string name_text(const std::vector<std::string_view>& t, size_t from) {
    std::string out;
    for (size_t i = from; i < t.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += t[i];
    }
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return utf8_to_cp1252(std::string(trimmed(out)));
}

// The designators a sign's text shows on a location (black and yellow)
// face: each run of characters after "{@L}" up to the next brace or '|'.
// "{@Y}", "{@R}", "{@B}" choose another face, "{@@}" starts the back side.
std::vector<std::string> location_designators(const std::string& text) {
    std::vector<std::string> out;
    bool location = false;
    std::string run;
    const auto done = [&] {
        if (location && !std::string(trimmed(run)).empty())
            out.push_back(utf8_to_cp1252(std::string(trimmed(run))));
        run.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            done();
            const size_t end = text.find('}', i);
            const std::string inside = text.substr(i + 1, end == std::string::npos ? end : end - i - 1);
            for (size_t at = 0; at < inside.size(); at = inside.find(',', at) + 1) {
                const std::string_view code = std::string_view(inside).substr(at, inside.find(',', at) - at);
                if (code.size() == 2 && code[0] == '@') location = code[1] == 'L' || code[1] == 'l';
                if (inside.find(',', at) == std::string::npos) break;
            }
            if (end == std::string::npos) break;
            i = end;
        } else if (text[i] == '|') {
            done();
        } else if (static_cast<unsigned char>(text[i]) >= 0x20) {
            run += text[i];
        }
    }
    done();
    return out;
}

bool is_node(std::string_view code) {
    return code.size() == 3 && code[0] == '1' && code[1] == '1' && code[2] >= '1' &&
           code[2] <= '6';
}

NodeRow node_row(const LineReader& in, const std::vector<std::string_view>& t) {
    const int kind = t[0][2] - '0';
    const bool curved = kind % 2 == 0;  // 112, 114, 116
    need(in, t, curved ? 5 : 3);
    NodeRow r;
    r.node.at = {latitude(in, t[1]), longitude(in, t[2])};
    if (curved) r.node.control = geo_point{latitude(in, t[3]), longitude(in, t[4])};
    const size_t types = curved ? 5 : 3;
    const int painted = t.size() > types ? whole(number(in, t[types], "type de ligne")) : 0;
    const int lit = t.size() > types + 1 ? whole(number(in, t[types + 1], "type de ligne")) : 0;
    // One code a run: its paint, or its light where the paint is none that
    // is drawn (an edge line with centreline lights is a lit centreline).
    r.code = painted && (line_paint(painted) != GroundPaint::none ||
                         line_paint(lit) == GroundPaint::none)
                 ? painted
                 : lit;
    r.closes = kind == 3 || kind == 4;
    r.ends = kind == 5 || kind == 6;
    return r;
}

// A line's nodes cut into runs of one line type; a run of type 0 paints
// nothing and is left out.
void line_runs(const std::vector<NodeRow>& nodes, bool closed, const std::string& icao,
               const std::string& name, std::vector<GroundShape>& out) {
    const size_t n = nodes.size();
    const size_t edges = closed ? n : (n ? n - 1 : 0);
    size_t i = 0;
    while (i < edges) {
        const int code = nodes[i].code;
        size_t j = i;
        while (j + 1 < edges && nodes[j + 1].code == code) ++j;
        if (code != 0) {
            std::vector<GroundNode> chain;
            for (size_t k = i; k <= j + 1; ++k) chain.push_back(nodes[k % n].node);
            GroundShape s;
            s.airport = icao;
            s.kind = GroundKind::line;
            s.code = code;
            s.name = name;
            s.rings.push_back(chain_points(chain, false));
            out.push_back(std::move(s));
        }
        i = j + 1;
    }
}

class GroundReader : public AptRows {
  public:
    GroundReader(const LineReader& in, const std::function<void(AirportGround&)>& each)
        : in_(in), each_(each) {}

    void row(const std::vector<std::string_view>& t) override {
        if (is_node(t[0])) {
            node(t);
            return;
        }
        end_chain();  // any other row ends the area or line being read
        if (airport_row(t[0])) {
            finish();
            open_ = t[0] == apt_row::land_airport;  // seaplane bases and heliports are left out
            if (open_) {
                need(in_, t, 5);
                airport_ = AirportGround{};
                airport_.icao = field(in_, t[4]);
            }
        } else if (!open_) {
            return;
        } else if (t[0] == apt_row::code && t.size() >= 3 && t[1] == "icao_code") {
            airport_.icao = field(in_, t[2]);
        } else if (t[0] == apt_row::runway) {
            runway(t);
        } else if (t[0] == apt_row::helipad) {
            helipad(t);
        } else if (t[0] == "110") {
            need(in_, t, 2);
            owner_ = Owner::area;
            area_ = GroundShape{};
            area_.kind = GroundKind::pavement;
            area_.code = whole(number(in_, t[1], "surface"));
            area_.name = name_text(t, 4);
        } else if (t[0] == "120") {
            owner_ = Owner::line;
            line_name_ = name_text(t, 1);
        } else if (t[0] == "130") {
            owner_ = Owner::other;  // the airport's boundary: not drawn
        } else if (t[0] == "15") {
            need(in_, t, 4);
            stand(t, 4, "");
        } else if (t[0] == "1300") {
            need(in_, t, 5);
            stand(t, 6, field(in_, t[4]));
        } else if (t[0] == "20") {
            need(in_, t, 7);
            for (std::string& d : location_designators(rest(in_, t, 6)))
                taxiway({latitude(in_, t[1]), longitude(in_, t[2])}, std::move(d), "sign");
        } else if (t[0] == "1201") {
            need(in_, t, 5);
            network_[field(in_, t[4])] = {latitude(in_, t[1]), longitude(in_, t[2])};
        } else if (t[0] == "1202") {
            taxi_edge(t);
        }
    }

    void end() override {
        end_chain();
        finish();
    }

  private:
    enum class Owner { none, area, line, other };

    // A named taxiway edge between two known nodes: its name at its middle.
    void taxi_edge(const std::vector<std::string_view>& t) {
        if (t.size() < 6 || t[4].rfind("taxiway", 0) != 0) return;  // runways, unnamed edges
        const auto a = network_.find(field(in_, t[1])), b = network_.find(field(in_, t[2]));
        if (a == network_.end() || b == network_.end()) return;
        taxiway({(a->second.latitude + b->second.latitude) / 2,
                 (a->second.longitude + b->second.longitude) / 2},
                name_text(t, 5), "edge");
    }

    // A name kept unless one alike lies within 150 m.
    void taxiway(geo_point at, std::string name, const char* kind) {
        if (name.empty()) return;
        for (const Stand& s : airport_.taxiways)
            if (s.name == name &&
                great_circle_nm(s.latitude, s.longitude, at.latitude, at.longitude) * 1852 < 150)
                return;
        Stand s;
        s.name = std::move(name);
        s.kind = kind;
        s.latitude = at.latitude;
        s.longitude = at.longitude;
        airport_.taxiways.push_back(std::move(s));
        count(1);
    }

    // A runway's or helipad's size in metres. The world's file has runways
    // 2,800 m wide: they are drawn as given; only what no airport can have
    // is refused.
    double width(std::string_view t, const char* what) {
        const double w = number(in_, t, what);
        if (!(w >= 0 && w <= 10000)) in_.fail(std::string(what) + w1252(" hors de 0 à 10000 m"));
        return w;
    }

    void runway(const std::vector<std::string_view>& t) {
        const RunwayEnds ends = runway_row(in_, t);
        GroundShape s;
        s.kind = GroundKind::runway;
        s.code = whole(number(in_, t[2], "surface"));
        s.name = ends.ident1 + "/" + ends.ident2;  // as the runways are named
        const double w = width(t[1], "largeur de piste");
        if (w <= 0) return;
        s.rings.push_back(runway_outline({latitude(in_, t[9]), longitude(in_, t[10])},
                                         {latitude(in_, t[18]), longitude(in_, t[19])}, w));
        add(std::move(s));
    }

    void helipad(const std::vector<std::string_view>& t) {
        need(in_, t, 8);
        GroundShape s;
        s.kind = GroundKind::runway;
        s.code = whole(number(in_, t[7], "surface"));
        s.name = field(in_, t[1]);
        const double length = width(t[5], "longueur d'aire"), w = width(t[6], "largeur d'aire");
        if (length <= 0 || w <= 0) return;
        const double heading = number(in_, t[4], "cap");
        s.rings.push_back(
            helipad_outline({latitude(in_, t[2]), longitude(in_, t[3])}, heading, length, w));
        add(std::move(s));
    }

    void stand(const std::vector<std::string_view>& t, size_t name_at, std::string kind) {
        Stand s;
        s.latitude = latitude(in_, t[1]);
        s.longitude = longitude(in_, t[2]);
        s.heading = number(in_, t[3], "cap");
        s.name = name_text(t, name_at);
        s.kind = std::move(kind);
        if (s.name.empty()) return;  // nothing to label it with
        (t[0] == "15" ? old_stands_ : airport_.stands).push_back(std::move(s));
    }

    void node(const std::vector<std::string_view>& t) {
        if (!open_ || owner_ == Owner::none || owner_ == Owner::other) return;
        NodeRow r = node_row(in_, t);
        const bool closes = r.closes, ends = r.ends;
        // The most the chain can make: a curve on each side of a shaped node,
        // a point for a plain one.
        chain_most_ += r.node.control ? 2 * kMaxCurvePoints : 1;
        nodes_.push_back(std::move(r));
        count(0, chain_most_);
        if (owner_ == Owner::area && (closes || ends)) {
            ring_done();
        } else if (owner_ == Owner::line && (closes || ends)) {
            end_line(closes);
            clear_chain();
            owner_ = Owner::other;  // nodes after its end belong to nothing
        }
    }

    void end_line(bool closed) {
        const size_t from = airport_.shapes.size();
        line_runs(nodes_, closed, airport_.icao, line_name_, airport_.shapes);
        for (size_t i = from; i < airport_.shapes.size(); ++i) count(airport_.shapes[i].rings[0].size());
    }

    // The area's ring read so far is closed: its outline, or a hole.
    void ring_done() {
        std::vector<GroundNode> chain;
        for (const NodeRow& r : nodes_) chain.push_back(r.node);
        clear_chain();
        if (chain.size() < 3) return;  // no area
        area_.rings.push_back(chain_points(chain, true));
        count(area_.rings.back().size());
    }

    // A row that is no node ends the chain being read; an area's last ring
    // left open is closed, a line left open ends on its last node.
    void end_chain() {
        if (owner_ == Owner::area) {
            if (!nodes_.empty()) ring_done();
            if (!area_.rings.empty()) add(std::move(area_));
            area_ = GroundShape{};
        } else if (owner_ == Owner::line && nodes_.size() > 1) {
            end_line(false);
        }
        clear_chain();
        owner_ = Owner::none;
    }

    void clear_chain() {
        nodes_.clear();
        chain_most_ = 0;
    }

    void add(GroundShape s) {
        s.airport = airport_.icao;
        airport_.shapes.push_back(std::move(s));
    }

    // The points of the airport read so far grow by `n`, and `more` may
    // follow.
    void count(size_t n, size_t more = 0) {
        points_ += n;
        if (points_ + more > kMaxAirportGroundPoints)
            in_.fail(w1252("plus de ") + std::to_string(kMaxAirportGroundPoints) +
                     w1252(" points de plan au sol pour l'aérodrome ") + airport_.icao);
    }

    void finish() {
        if (!open_) return;
        open_ = false;
        std::set<std::string> named;
        for (const Stand& s : airport_.stands) named.insert(s.name);
        for (Stand& s : old_stands_)
            if (!named.count(s.name)) airport_.stands.push_back(std::move(s));
        old_stands_.clear();
        for (GroundShape& s : airport_.shapes) s.airport = airport_.icao;
        for (Stand& s : airport_.stands) s.airport = airport_.icao;
        for (Stand& s : airport_.taxiways) s.airport = airport_.icao;
        if (!airport_.shapes.empty() || !airport_.stands.empty() || !airport_.taxiways.empty())
            each_(airport_);
        network_.clear();
        airport_ = AirportGround{};
        points_ = 0;
    }

    const LineReader& in_;
    const std::function<void(AirportGround&)>& each_;
    bool open_ = false;
    AirportGround airport_;
    std::vector<Stand> old_stands_;  // rows 15, kept where no row 1300 has the name
    Owner owner_ = Owner::none;
    GroundShape area_;
    std::string line_name_;
    std::vector<NodeRow> nodes_;
    size_t chain_most_ = 0;
    std::unordered_map<std::string, geo_point> network_;  // the taxi network's nodes, rows 1201
    size_t points_ = 0;  // of the airport being read
};

}  // namespace

std::unique_ptr<AptRows> ground_rows(const LineReader& in,
                                     const std::function<void(AirportGround&)>& each) {
    return std::make_unique<GroundReader>(in, each);
}

void read_ground(const std::string& path, const std::function<void(AirportGround&)>& each) {
    read_apt_rows(path, nullptr, {[&](const LineReader& in) { return ground_rows(in, each); }});
}

void read_apt_and_ground(const std::string& path, NavData& data,
                         const std::function<void(AirportGround&)>& each) {
    read_apt_rows(path, &data,
                  {[&](const LineReader& in) { return airport_rows(in, data); },
                   [&](const LineReader& in) { return ground_rows(in, each); }});
}

}  // namespace karvel::xplane
