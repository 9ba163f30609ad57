#include "program/cycle_diff.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/geometry.h"
#include "core/numtext.h"
#include "sector/geojson.h"

namespace karvel {

namespace {

// A point moved less than this is the same point: the sources round their
// coordinates to about a centimetre.
constexpr double kStillM = 1;
// Two points of one ident further apart than this are two points.
constexpr double kSameNm = 10;
// A runway end of a new ident this near an end that went is that end renumbered.
constexpr double kRenumberedM = 100;

struct KindInfo {
    const char* name;
    bool feminine;  // the words agree: "ajoutée"
};
const KindInfo kKinds[kChangeKindCount] = {
    {"aéroports", false},  {"pistes", true},   {"ILS", false},
    {"balises", true},     {"points", false},  {"segments de routes aériennes", false},
    {"SID et STAR", true}, {"espaces", false}, {"fréquences", true}};

const KindInfo& info(ChangeKind k) {
    return kKinds[static_cast<int>(k)];
}

// "ajouté", "ajoutée", "ajoutés" as the kind and the count ask.
std::string agreed(const char* word, ChangeKind kind, size_t count = 1) {
    return w1252(word) + (info(kind).feminine ? "e" : "") + (count > 1 ? "s" : "");
}

double metres(geo_point a, geo_point b) {
    return static_cast<double>(great_circle_nm(a.latitude, a.longitude, b.latitude, b.longitude) *
                               kMetresPerNm);
}

std::string place_text(geo_point p) {
    return format_fixed(p.latitude, 5) + "," + format_fixed(p.longitude, 5);
}

struct Place {
    std::string key;    // what matches it: its ident, or its airport and ident
    std::string label;  // how the report names it
    geo_point at;
    std::string freq, type;
};

struct Matched {
    std::vector<std::pair<const Place*, const Place*>> pairs;
    std::vector<const Place*> gone, come;
};

// Each place before with the nearest unmatched place after of its key, if
// within kSameNm.
Matched match(const std::vector<Place>& before, const std::vector<Place>& after) {
    std::unordered_map<std::string, std::vector<size_t>> by_key;
    for (size_t i = 0; i < after.size(); ++i) by_key[after[i].key].push_back(i);
    std::vector<bool> taken(after.size());
    Matched m;
    for (const Place& b : before) {
        const auto it = by_key.find(b.key);
        size_t best = after.size();
        double best_m = kSameNm * kMetresPerNm;
        if (it != by_key.end())
            for (const size_t i : it->second) {
                if (taken[i]) continue;
                const double m = metres(b.at, after[i].at);
                if (m <= best_m) best = i, best_m = m;
            }
        if (best == after.size()) {
            m.gone.push_back(&b);
            continue;
        }
        taken[best] = true;
        m.pairs.emplace_back(&b, &after[best]);
    }
    for (size_t i = 0; i < after.size(); ++i)
        if (!taken[i]) m.come.push_back(&after[i]);
    return m;
}

class Changes {
  public:
    void add(ChangeKind kind, ChangeWhat what, std::string text, std::vector<t_point> before,
             std::vector<t_point> after) {
        out.push_back({kind, what, std::move(text), std::move(before), std::move(after)});
    }

    // Places added, withdrawn, moved, and their frequency or type changed;
    // returns what neither side matched, for the caller to pair otherwise.
    Matched places(ChangeKind kind, const std::vector<Place>& before,
                   const std::vector<Place>& after) {
        Matched m = match(before, after);
        for (const auto& [b, a] : m.pairs) {
            const double d = metres(b->at, a->at);
            if (d >= kStillM)
                add(kind, ChangeWhat::moved,
                    b->label + " : " + agreed("déplacé", kind) + " de " + distance_text(d),
                    {{b->at}}, {{a->at}});
            if (b->freq != a->freq)
                add(kind, ChangeWhat::changed,
                    b->label + w1252(" : fréquence ") + b->freq + w1252(" devenue ") + a->freq,
                    {{b->at}}, {{a->at}});
            if (b->type != a->type)
                add(kind, ChangeWhat::changed,
                    b->label + " : type " + b->type + " devenu " + a->type, {{b->at}}, {{a->at}});
        }
        return m;
    }

    void gone_and_come(ChangeKind kind, const Matched& m) {
        for (const Place* p : m.gone)
            add(kind, ChangeWhat::withdrawn, p->label + " : " + agreed("retiré", kind), {{p->at}},
                {});
        for (const Place* p : m.come)
            add(kind, ChangeWhat::added, p->label + " : " + agreed("ajouté", kind), {}, {{p->at}});
    }

    std::vector<Change> out;
};

std::unordered_map<std::string, std::string> airport_codes(const NavTables& nav) {
    std::unordered_map<std::string, std::string> codes;
    for (const Airport& a : nav.airports) codes[a.id] = a.icao;
    return codes;
}

std::vector<Place> airports(const NavTables& nav) {
    std::vector<Place> out;
    for (const Airport& a : nav.airports)
        out.push_back({upper_ascii(a.icao), a.icao, {a.latitude, a.longitude}, a.freq, ""});
    return out;
}

std::vector<Place> runway_ends(const NavTables& nav) {
    const auto codes = airport_codes(nav);
    std::vector<Place> out;
    for (const RUNWAY& r : nav.runways) {
        const auto it = codes.find(r.airport_id);
        const std::string icao = it == codes.end() ? r.airport_id : it->second;
        out.push_back(
            {upper_ascii(icao + " " + r.ident1), icao + " " + r.ident1, {r.lat1, r.lon1}, "", ""});
        if (r.paired())
            out.push_back({upper_ascii(icao + " " + r.ident2),
                           icao + " " + r.ident2,
                           {r.lat2, r.lon2},
                           "",
                           ""});
    }
    return out;
}

std::vector<Place> navaids(const NavTables& nav, bool ils) {
    std::vector<Place> out;
    // A VOR and an NDB of one ident are two navaids, whatever lies nearest.
    for (const Table<VOR>* t : {&nav.vors, &nav.ndbs})
        for (const VOR& v : *t)
            if ((v.desc == "ILS") == ils)
                out.push_back({(t == &nav.ndbs ? "NDB " : "VOR ") + upper_ascii(v.ident),
                               v.ident,
                               {v.latitude, v.longitude},
                               v.freq,
                               v.desc});
    return out;
}

std::vector<Place> fixes(const NavTables& nav) {
    std::vector<Place> out;
    for (const FIXE& f : nav.waypoints)
        out.push_back({upper_ascii(f.ident), f.ident, {f.latitude, f.longitude}, "", ""});
    return out;
}

// A renumbered end: an end that went, and one of a new ident at its
// airport within kRenumberedM of it.
void runways(Changes& c, const NavTables& before, const NavTables& after) {
    const auto b = runway_ends(before), a = runway_ends(after);
    Matched m = c.places(ChangeKind::runway, b, a);
    std::vector<const Place*> gone;
    for (const Place* old : m.gone) {
        const std::string airport = old->key.substr(0, old->key.find(' '));
        const auto now = std::find_if(m.come.begin(), m.come.end(), [&](const Place* p) {
            return p->key.substr(0, p->key.find(' ')) == airport &&
                   metres(old->at, p->at) <= kRenumberedM;
        });
        if (now == m.come.end()) {
            gone.push_back(old);
            continue;
        }
        c.add(ChangeKind::runway, ChangeWhat::changed,
              old->label + w1252(" : renumérotée ") + (*now)->label.substr(airport.size() + 1),
              {{old->at}}, {{(*now)->at}});
        m.come.erase(now);
    }
    m.gone = gone;
    c.gone_and_come(ChangeKind::runway, m);
}

std::string segment_key(const LINE& l) {
    std::string a = place_text({l.lat1, l.lon1}), b = place_text({l.lat2, l.lon2});
    if (b < a) std::swap(a, b);  // either way along
    return a + " - " + b;
}

const char* level_text(AirwayLevel level) {
    switch (level) {
        case AirwayLevel::low:
            return "bas";
        case AirwayLevel::high:
            return "haut";
        case AirwayLevel::both:
            return "bas et haut";
        case AirwayLevel::unknown:
            break;
    }
    return "inconnu";
}

// Airway segments by airway and ends, and their levels.
void airways(Changes& c, const NavTables& before, const NavTables& after) {
    using Segments = std::map<std::string, const LINE*>;  // "AIRWAY ends"
    const auto segments = [](const NavTables& nav) {
        Segments s;
        for (const ROUTE& r : nav.airways)
            for (const LINE& l : r.lines) s.emplace(r.name + " " + segment_key(l), &l);
        return s;
    };
    const Segments b = segments(before), a = segments(after);
    const auto ends = [](const LINE* l) {
        return std::vector<t_point>{{{l->lat1, l->lon1}, {l->lat2, l->lon2}}};
    };
    for (const auto& [key, line] : b) {
        const auto it = a.find(key);
        if (it == a.end())
            c.add(ChangeKind::airway, ChangeWhat::withdrawn, key + w1252(" : retiré"), ends(line),
                  {});
        else if (it->second->level != line->level)
            c.add(ChangeKind::airway, ChangeWhat::changed,
                  key + w1252(" : niveau ") + level_text(line->level) + " devenu " +
                      level_text(it->second->level),
                  ends(line), ends(it->second));
    }
    for (const auto& [key, line] : a)
        if (!b.count(key))
            c.add(ChangeKind::airway, ChangeWhat::added, key + w1252(" : ajouté"), {}, ends(line));
}

// SIDs and STARs by airport and name; a procedure whose drawn segments
// differ has changed.
void procedures(Changes& c, const NavTables& before, const NavTables& after) {
    using Drawn = std::map<std::string, std::multiset<std::string>>;
    const auto drawn = [](const NavTables& nav) {
        Drawn d;
        for (const auto& [table, word] :
             {std::pair(&nav.sids, "SID"), std::pair(&nav.stars, "STAR")})
            for (const ROUTE& r : *table) {
                auto& lines = d[std::string(word) + " " + r.icao + " " + r.name];
                for (const LINE& l : r.lines) lines.insert(l.transition + " " + segment_key(l));
            }
        return d;
    };
    const Drawn b = drawn(before), a = drawn(after);
    const ChangeKind k = ChangeKind::procedure;
    for (const auto& [name, lines] : b) {
        const auto it = a.find(name);
        if (it == a.end()) {
            c.add(k, ChangeWhat::withdrawn, name + " : " + agreed("retiré", k), {}, {});
            continue;
        }
        size_t gone = 0, come = 0;
        for (const std::string& l : lines) gone += !it->second.count(l);
        for (const std::string& l : it->second) come += !lines.count(l);
        if (gone || come)
            c.add(k, ChangeWhat::changed,
                  name + w1252(" : tracé changé, ") + std::to_string(come) +
                      w1252(" segment(s) ajouté(s), ") + std::to_string(gone) + w1252(" retiré(s)"),
                  {}, {});
    }
    for (const auto& [name, lines] : a)
        if (!b.count(name)) c.add(k, ChangeWhat::added, name + " : " + agreed("ajouté", k), {}, {});
}

// Outlines by source and name; one whose points differ has changed.
void outlines(Changes& c, const NavTables& before, const NavTables& after) {
    using Shapes = std::map<std::string, const Outline*>;
    const auto shapes = [](const NavTables& nav) {
        Shapes s;
        for (const Outline& o : nav.outlines) s.emplace(o.source + " " + o.name, &o);
        return s;
    };
    const auto points = [](const Outline* o) {
        std::vector<geo_point> all;
        for (const t_point& ring : o->rings) all.insert(all.end(), ring.begin(), ring.end());
        return all;
    };
    const auto same = [&](const Outline* x, const Outline* y) {
        const auto p = points(x), q = points(y);
        return p.size() == q.size() &&
               std::equal(p.begin(), p.end(), q.begin(),
                          [](auto u, auto v) { return place_text(u) == place_text(v); });
    };
    const Shapes b = shapes(before), a = shapes(after);
    for (const auto& [name, o] : b) {
        const auto it = a.find(name);
        if (it == a.end())
            c.add(ChangeKind::outline, ChangeWhat::withdrawn, o->name + w1252(" : retiré"),
                  o->rings, {});
        else if (!same(o, it->second))
            c.add(ChangeKind::outline, ChangeWhat::changed,
                  o->name + w1252(" : contour changé, ") + std::to_string(points(o).size()) +
                      " points devenus " + std::to_string(points(it->second).size()),
                  o->rings, it->second->rings);
    }
    for (const auto& [name, o] : a)
        if (!b.count(name))
            c.add(ChangeKind::outline, ChangeWhat::added, o->name + w1252(" : ajouté"), {},
                  o->rings);
}

// Airport frequencies: "LFPG TWR 118.150 DE GAULLE TWR" added or withdrawn.
void frequencies(Changes& c, const NavTables& before, const NavTables& after) {
    static const char* const kCodes[kFrequencyKindCount] = {"ATIS", "UNICOM", "DEL", "GND",
                                                            "TWR",  "APP",    "DEP"};
    const auto listed = [](const NavTables& nav) {
        const auto codes = airport_codes(nav);
        std::multiset<std::string> s;
        for (const AirportFrequency& f : nav.frequencies) {
            const auto it = codes.find(f.airport_id);
            s.insert((it == codes.end() ? f.airport_id : it->second) + " " +
                     kCodes[static_cast<int>(f.kind)] + " " + format_fixed(f.khz / 1000.0L, 3) +
                     " " + f.name);
        }
        return s;
    };
    const auto b = listed(before), a = listed(after);
    for (const std::string& f : b)
        if (!a.count(f))
            c.add(ChangeKind::frequency, ChangeWhat::withdrawn, f + w1252(" : retirée"), {}, {});
    for (const std::string& f : a)
        if (!b.count(f))
            c.add(ChangeKind::frequency, ChangeWhat::added, f + w1252(" : ajoutée"), {}, {});
}

}  // namespace

std::string change_kind_name(ChangeKind kind) {
    return w1252(info(kind).name);
}

std::vector<Change> cycle_changes(const NavTables& before, const NavTables& after) {
    Changes c;
    const auto points = [&](ChangeKind kind, const std::vector<Place>& b,
                            const std::vector<Place>& a) {
        c.gone_and_come(kind, c.places(kind, b, a));
    };
    points(ChangeKind::airport, airports(before), airports(after));
    runways(c, before, after);
    points(ChangeKind::ils, navaids(before, true), navaids(after, true));
    points(ChangeKind::navaid, navaids(before, false), navaids(after, false));
    points(ChangeKind::fix, fixes(before), fixes(after));
    airways(c, before, after);
    procedures(c, before, after);
    outlines(c, before, after);
    frequencies(c, before, after);
    std::stable_sort(c.out.begin(), c.out.end(), [](const Change& x, const Change& y) {
        return std::pair(x.kind, x.text) < std::pair(y.kind, y.text);
    });
    return c.out;
}

std::vector<std::string> change_report(const std::vector<Change>& changes) {
    if (changes.empty()) return {"aucun changement"};
    std::vector<std::string> counts, details;
    for (int k = 0; k < kChangeKindCount; ++k) {
        const ChangeKind kind = static_cast<ChangeKind>(k);
        size_t n[4] = {};
        std::vector<std::string> lines;
        for (const Change& c : changes)
            if (c.kind == kind) ++n[static_cast<int>(c.what)], lines.push_back("  " + c.text);
        if (lines.empty()) continue;
        std::string line = change_kind_name(kind) + " :";
        const char* const words[] = {"ajouté", "retiré", "déplacé", "changé"};
        bool first = true;
        for (int w = 0; w < 4; ++w) {
            if (!n[w]) continue;
            line += std::string(first ? " " : ", ") + std::to_string(n[w]) + " " +
                    agreed(words[w], kind, n[w]);
            first = false;
        }
        counts.push_back(line);
        details.push_back("[" + change_kind_name(kind) + "]");
        details.insert(details.end(), lines.begin(), lines.end());
    }
    counts.insert(counts.end(), details.begin(), details.end());
    return counts;
}

std::vector<std::string> own_lines_gone(const std::vector<OwnFile>& own, const NavTables& before,
                                        const NavTables& after) {
    const auto names = [](const NavTables& nav) {
        std::set<std::string> n;
        for (const Table<VOR>* t : {&nav.vors, &nav.ndbs})
            for (const VOR& v : *t) n.insert(upper_ascii(v.ident));
        for (const FIXE& f : nav.waypoints) n.insert(upper_ascii(f.ident));
        for (const Airport& a : nav.airports) n.insert(upper_ascii(a.icao));
        return n;
    };
    const std::set<std::string> was = names(before), is = names(after);
    std::vector<std::string> told;
    for (const OwnFile& file : own)
        for (size_t i = 0; i < file.lines.size(); ++i) {
            const std::string& line = file.lines[i];
            std::string word;
            std::set<std::string> gone;
            // Words between blanks and the companion file's colons, up to a comment.
            for (size_t at = 0; at <= line.size(); ++at) {
                const char c = at < line.size() ? line[at] : ' ';
                if (c != ' ' && c != '\t' && c != ':' && c != ';') {
                    word += c;
                    continue;
                }
                const std::string name = upper_ascii(word);
                if (!name.empty() && was.count(name) && !is.count(name)) gone.insert(name);
                word.clear();
                if (c == ';') break;
            }
            for (const std::string& name : gone)
                told.push_back(path_text(file.path) + ":" + std::to_string(i + 1) + " : " + name +
                               w1252(" n'est plus dans la nouvelle base"));
        }
    return told;
}

std::string changes_geojson(const std::vector<Change>& changes) {
    using namespace geojson;
    static const char* const kWhat[] = {"ajouté", "retiré", "déplacé", "changé"};
    Writer w;
    for (const Change& c : changes)
        for (const auto& [parts, side] :
             {std::pair(&c.before, "avant"), std::pair(&c.after, "après")})
            for (const t_point& part : *parts) {
                const std::string properties =
                    prop("kind", change_kind_name(c.kind)) + "," +
                    prop("change", w1252(kWhat[static_cast<int>(c.what)])) + "," +
                    prop("side", w1252(side)) + "," + prop("text", c.text);
                if (part.size() == 1)
                    w.point(part[0], properties);
                else
                    w.line(part, properties);
            }
    return w.text();
}

}  // namespace karvel
