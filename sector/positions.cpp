#include "sector/positions.h"

#include <array>
#include <cctype>
#include <set>

#include "core/cp1252.h"
#include "core/ground.h"
#include "core/numtext.h"
#include "core/outline_shape.h"
#include "sector/client_sections.h"
#include "sector/coord.h"

namespace karvel {

std::string field_text(const std::string& s) {
    std::string out;
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        out += c == ':' ? '-' : u < 0x20 || u == 0x7F ? ' ' : c;
    }
    const size_t a = out.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : out.substr(a, out.find_last_not_of(' ') - a + 1);
}

namespace {

// "LAT:LON" of a position.
std::string place(double latitude, double longitude) {
    const CoordText c = format_coord({latitude, longitude});
    return c.latitude + ":" + c.longitude;
}

struct Controller {
    FrequencyKind kind;
    const char* suffix;
    char middle;
    const char* what;  // the callsign's word where the source names none
};

constexpr std::array<Controller, 6> kControllers{{
    {FrequencyKind::delivery, "DEL", 'D', "Prévol"},
    {FrequencyKind::ground, "GND", 'G', "Sol"},
    {FrequencyKind::tower, "TWR", 'T', "Tour"},
    {FrequencyKind::approach, "APP", 'A', "Approche"},
    {FrequencyKind::departure, "DEP", 'E', "Départ"},
    {FrequencyKind::atis, "ATIS", 'I', "ATIS"},
}};

// An identifier no earlier position has: the name's last two letters and
// the middle letter, else its last three, else the whole code, else a
// number after them.
std::string identifier(const std::string& name, char middle, std::set<std::string>& taken) {
    std::string code;  // its letters and digits ("EGTLN" of "EGTL-N")
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80)
            code += c;
    std::vector<std::string> tries;
    for (size_t n : {size_t{2}, size_t{3}, code.size()})
        if (code.size() >= n) tries.push_back(code.substr(code.size() - n) + middle);
    if (tries.empty()) tries.push_back(std::string(1, middle));
    for (const std::string& t : tries)
        if (taken.insert(t).second) return t;
    for (int i = 2;; ++i)
        if (const std::string t = tries.back() + std::to_string(i); taken.insert(t).second) return t;
}

bool is_fir(const Outline& o) {
    return upper_ascii(o.kind) == "FIR";
}

}  // namespace

std::vector<Position> positions(const NavTables& nav) {
    std::vector<Position> out;
    std::set<std::string> taken;
    const AirportRadio radio(nav);
    for (const Airport& a : nav.airports) {
        const std::string code = field_text(a.icao);
        if (code.empty()) continue;
        for (const Controller& c : kControllers) {
            const AirportFrequency* f = radio.first(a.id, c.kind);
            if (!f) continue;
            const std::string named = field_text(f->name);
            out.push_back({code + "_" + c.suffix,
                           named.empty() ? field_text(a.name) + " " + w1252(c.what) : named,
                           khz_text(f->khz), identifier(code, c.middle, taken), c.middle, code,
                           c.suffix, {a.latitude, a.longitude}, &a, nullptr});
        }
    }
    std::set<std::string> centres;
    for (const Outline& o : nav.outlines) {
        const std::string code = field_text(o.name);
        if (!o.selected || !is_fir(o) || code.empty() || !centres.insert(code).second) continue;
        const auto at = point_inside(o);
        if (!at) continue;
        out.push_back({code + "_CTR", code, kNoFrequency, identifier(code, 'C', taken), 'C', code,
                       "CTR", *at, nullptr, &o});
    }
    return out;
}

std::vector<std::string> position_lines(const std::vector<Position>& positions) {
    std::vector<std::string> lines{"[POSITIONS]"};
    for (const Position& p : positions) {
        if (p.fir) lines.push_back("; " + p.name + w1252(" : fréquence inconnue, ") + kNoFrequency);
        lines.push_back(p.name + ":" + p.callsign + ":" + p.frequency + ":" + p.id + ":" + p.middle +
                        ":" + p.prefix + ":" + p.suffix + ":-:-:-:-:" +
                        place(p.at.latitude, p.at.longitude));
    }
    return lines;
}

std::vector<std::string> freetext_lines(const NavTables& nav) {
    std::vector<std::string> lines{"[FREETEXT]"};
    const Ground& g = nav.ground;
    const std::string stands = ground_paint_info(GroundPaint::stand).group;
    for (const std::string& icao : g.airports) {
        const std::string code = field_text(icao);
        for (const Stand& s : g.stands)
            if (s.airport == icao && !field_text(s.name).empty())
                lines.push_back(place(s.latitude, s.longitude) + ":" + code + " " + stands + ":" +
                                field_text(s.name));
        for (const Stand& s : g.taxiways)
            if (s.airport == icao && !field_text(s.name).empty())
                lines.push_back(place(s.latitude, s.longitude) + ":" + code + " voies de circulation:" +
                                field_text(s.name));
    }
    for (const Outline& o : nav.outlines) {
        if (!o.selected || field_text(o.name).empty()) continue;
        if (const auto at = point_inside(o))
            lines.push_back(place(at->latitude, at->longitude) + w1252(":espaces aériens:") +
                            field_text(o.name));
    }
    return lines;
}

}  // namespace karvel
