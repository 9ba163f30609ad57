// The SIDs and STARs of one CIFP file (X-Plane's procedure data, version 1101).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "import/xplane_text.h"

namespace karvel::xplane {

// ---- CIFP/$ICAO.dat ------------------------------------------------------------

namespace {

enum class Field { angle, course, distance };

// A number in tenths ("2490" is 249.0), absent when blank. A true course
// is whole degrees followed by "T" ("270T"), kept as it is; a distance that
// begins with "T" is a time, not a distance, and counts as absent.
std::optional<double> tenths(const LineReader& in, std::string_view field, Field kind,
                             const char* what) {
    std::string_view s = trimmed(field);
    if (s.empty() || (kind == Field::distance && s.front() == 'T')) return std::nullopt;
    double divisor = 10;
    if (kind == Field::course && s.back() == 'T') {
        s.remove_suffix(1);
        divisor = 1;
    }
    const bool digits = !s.empty() && s.size() <= 6 && std::all_of(s.begin(), s.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    if (!digits)
        in.fail(std::string(what) + " : \"" + utf8_to_cp1252(std::string(field)) +
                w1252("\" n'est pas un nombre"));
    return static_cast<double>(std::strtol(std::string(s).c_str(), nullptr, 10)) / divisor;
}

PointRef point_ref(const LineReader& in, const std::vector<std::string_view>& f, size_t at) {
    PointRef p;
    p.ident = field(in, trimmed(f[at]));
    if (p.ident.empty()) return p;
    p.region = field(in, trimmed(f[at + 1]));
    p.section = field(in, std::string(trimmed(f[at + 2])) + std::string(trimmed(f[at + 3])));
    return p;
}

// Which part of the procedure a route type is: SIDs fly their runway part
// first, STARs last; engine-out SIDs (type 0) are not published routes.
char leg_kind(bool sid, std::string_view type) {
    if (type.size() != 1) return 0;
    const char c = type[0];
    if (sid) {
        if (std::strchr("14FT", c)) return 'R';
        if (std::strchr("25M", c)) return 'C';
        if (std::strchr("36SV", c)) return 'E';
    } else {
        if (std::strchr("147F", c)) return 'E';
        if (std::strchr("258M", c)) return 'C';
        if (std::strchr("369S", c)) return 'R';
    }
    return 0;
}

int kind_order(bool sid, char kind) {
    const char* order = sid ? "RCE" : "ECR";
    return static_cast<int>(std::strchr(order, kind) - order);
}

}  // namespace

void read_cifp(const std::string& path, const std::string& icao, std::vector<ProcedureRec>& out) {
    LineReader in(path);
    std::unordered_map<std::string, size_t> index;  // "S|name" or "A|name"
    const size_t first = out.size();
    std::string line;
    while (in.next(line)) {
        const std::string_view text = trimmed(line);
        if (text.empty()) continue;
        const size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            // A header ("I", "1101 Version ...") is let through on the first lines.
            if (in.number() <= 2 &&
                (text == "I" || text == "A" || text.find("Version") != std::string_view::npos))
                continue;
            in.fail(w1252("ligne sans type d'enregistrement (SID:, STAR:, APPCH:, RWY: ...)"));
        }
        const std::string_view record = text.substr(0, colon);
        if (record != "SID" && record != "STAR") continue;  // approaches, runways, procedure data
        const bool sid = record == "SID";
        std::string_view body = text.substr(colon + 1);
        if (const size_t end = body.find(';'); end != std::string_view::npos)
            body = body.substr(0, end);
        std::vector<std::string_view> f;
        for (size_t start = 0;;) {
            const size_t comma = body.find(',', start);
            f.push_back(body.substr(
                start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
            if (comma == std::string_view::npos) break;
            start = comma + 1;
        }
        // Every field a leg reads is there (up to its arc centre); those after
        // it may be left out.
        if (f.size() < 34)
            in.fail(w1252("ligne incomplète (") + std::to_string(f.size()) + " champs sur 38)");
        f.resize(std::max<size_t>(f.size(), 38));
        const char kind = leg_kind(sid, trimmed(f[1]));
        const std::string name = field(in, trimmed(f[2]));
        if (!kind || name.empty()) continue;

        ProcLeg leg;
        leg.kind = kind;
        leg.transition = field(in, trimmed(f[3]));
        leg.fix = point_ref(in, f, 4);
        leg.turndir = field(in, trimmed(f[9]));
        leg.trackcode = field(in, trimmed(f[11]));
        if (leg.trackcode.size() != 2)
            in.fail(w1252("terminaison de trajectoire attendue, pas \"") + leg.trackcode + "\"");
        leg.navaid = point_ref(in, f, 13);
        leg.theta = tenths(in, f[18], Field::angle, "theta");
        leg.rho = tenths(in, f[19], Field::distance, "rho");
        leg.course = tenths(in, f[20], Field::course, "cap");
        leg.distance = tenths(in, f[21], Field::distance, "distance");
        leg.centre = point_ref(in, f, 30);

        const std::string key = std::string(sid ? "S|" : "A|") + name;
        auto [it, added] = index.try_emplace(key, out.size());
        if (added) out.push_back({icao, sid, name, {}});
        out[it->second].legs.push_back(std::move(leg));
    }
    // The file lists a procedure by route type; karvel flies it in order.
    for (size_t i = first; i < out.size(); ++i) {
        ProcedureRec& p = out[i];
        std::stable_sort(p.legs.begin(), p.legs.end(), [&](const ProcLeg& a, const ProcLeg& b) {
            return kind_order(p.sid, a.kind) < kind_order(p.sid, b.kind);
        });
    }
}

void read_cifp_files(const std::vector<std::pair<std::string, std::string>>& files,
                     const std::function<void(const std::vector<ProcedureRec>&)>& each) {
    std::vector<ProcedureRec> batch;
    for (const auto& [icao, path] : files) {
        batch.clear();
        read_cifp(path, icao, batch);
        each(batch);
    }
}

}  // namespace karvel::xplane
