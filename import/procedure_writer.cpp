#include "import/procedure_writer.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/numtext.h"

namespace karvel::xplane {

namespace {

// Legs that end at a DME distance carry it in their distance field.
bool dme_terminated(const std::string& code) {
    return code == "CD" || code == "FD" || code == "VD";
}

// A SID's runway transition "RW27L" (or "RW09B", both parallel runways 09)
// names its runway end; the first end that matches is the SID's.
std::optional<long long> runway_of(const Written& w, const AirportRec& a,
                                   const std::string& transition) {
    const std::string t = upper_ascii(transition);
    if (t.size() < 4 || t.rfind("RW", 0) != 0) return std::nullopt;
    const std::string icao = upper_ascii(a.icao), ident = t.substr(2);
    if (auto it = w.runway_ends.find(icao + "|" + ident); it != w.runway_ends.end())
        return it->second.id;
    if (ident.size() == 3 && ident[2] == 'B')
        for (const char side : {'L', 'R', 'C'})
            if (auto it = w.runway_ends.find(icao + "|" + ident.substr(0, 2) + side);
                it != w.runway_ends.end())
                return it->second.id;
    return std::nullopt;
}

}  // namespace

void write_procedures(Db& db, const NavData& d, Written& w, Waypoints& waypoints,
                      const Report& report) {
    if (d.procedures.empty() && d.cifp_files.empty()) return;
    Places places(d, w, waypoints);
    Insert terminal(
        db,
        "INSERT INTO Terminals (ID, airportID, ICAO, proc, name, rwyid) VALUES (?, ?, ?, ?, ?, ?)");
    Insert leg(db,
               "INSERT INTO terminallegs (ID, terminalid, type, transition, trackcode,"
               " wptid, wptLat, wptLon, turndir, navid, navlat, navlon, navbear, navdist,"
               " course, distance, centerid, centerlat, centerlon)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    long long terminals = 0, legs = 0, sids = 0, stars = 0, no_airport = 0, unplaced = 0;

    // The columns of one leg, or nothing when it needs a place no file gives.
    struct Columns {
        const ProcLeg* leg;
        std::optional<Places::Found> fix, navaid, centre;
    };
    auto columns = [&](const ProcLeg& l, size_t airport) -> std::optional<Columns> {
        Columns c{&l, {}, {}, {}};
        if (!l.fix.ident.empty() && !(c.fix = places.find(l.fix, airport, true)))
            return std::nullopt;
        if (!l.navaid.ident.empty()) c.navaid = places.find(l.navaid, airport, false);
        if (dme_terminated(l.trackcode) && !c.navaid) return std::nullopt;
        if (l.trackcode == "RF" && !l.centre.ident.empty())
            c.centre = places.find(l.centre, airport, true);
        if (l.trackcode == "AF" && c.navaid) c.centre = c.navaid;  // the arc runs around its navaid
        return c;
    };
    auto write_leg = [&](long long terminal_id, const Columns& c) {
        const ProcLeg& l = *c.leg;
        const bool dme = dme_terminated(l.trackcode);
        const std::string transition = l.kind == 'C' ? std::string() : l.transition;
        leg(++legs)(terminal_id)(std::string(1, l.kind))(transition)(l.trackcode);
        if (c.fix)
            leg.id(c.fix->waypoint)(c.fix->at.lat)(c.fix->at.lon);
        else
            leg.null().null().null();
        leg.text(l.turndir);
        // A course to a fix without a navaid: the course line runs through the
        // fix, and that is the line an intercept leg before it aims at.
        const std::optional<Places::Found> nav = c.navaid              ? c.navaid
                                                 : l.trackcode == "CF" ? c.fix
                                                                       : std::nullopt;
        if (nav)
            leg.id(c.navaid ? nav->navaid : 0)(nav->at.lat)(nav->at.lon);
        else
            leg.null().null().null();
        leg(l.theta)(dme ? l.distance : l.rho)(l.course)(dme ? std::nullopt : l.distance);
        if (c.centre) {
            long long id = c.centre->waypoint;
            if (!id && l.trackcode == "AF")
                id = waypoints.find(l.navaid.ident, c.centre->at.lat, c.centre->at.lon);
            leg.id(id)(c.centre->at.lat)(c.centre->at.lon);
        } else {
            leg.null().null().null();
        }
        leg.run();
    };
    auto write_terminal = [&](const ProcedureRec& p, size_t airport,
                              std::optional<long long> runway, const std::vector<Columns>& rows) {
        const AirportRec& a = d.airports[airport];
        const long long airport_id = static_cast<long long>(airport) + 1;
        terminal(++terminals)(airport_id)(a.icao)(std::string(p.sid ? "2" : "1"))(p.name);
        if (runway)
            terminal(*runway);
        else
            terminal.null();
        terminal.run();
        for (const Columns& c : rows) write_leg(terminals, c);
        ++(p.sid ? sids : stars);
    };

    auto write_procedure = [&](const ProcedureRec& p) {
        const auto at = w.airport_at.find(upper_ascii(p.airport));
        if (at == w.airport_at.end()) {
            ++no_airport;
            return;
        }
        const size_t airport = at->second;
        std::vector<Columns> rows;
        for (const ProcLeg& l : p.legs) {
            if (auto c = columns(l, airport))
                rows.push_back(std::move(*c));
            else
                ++unplaced;  // left out rather than drawn towards 0, 0
        }
        if (!p.sid) {
            write_terminal(p, airport, std::nullopt, rows);
            return;
        }
        // A SID is flown from one runway: each runway transition makes a SID
        // of its own, with the common route and the en-route transitions.
        std::vector<std::string> runways;
        for (const Columns& c : rows)
            if (c.leg->kind == 'R' &&
                std::find(runways.begin(), runways.end(), c.leg->transition) == runways.end())
                runways.push_back(c.leg->transition);
        if (runways.empty()) {
            std::optional<long long> runway;
            for (const Columns& c : rows)
                if (c.leg->kind == 'C' &&
                    (runway = runway_of(w, d.airports[airport], c.leg->transition)))
                    break;
            write_terminal(p, airport, runway, rows);
            return;
        }
        for (const std::string& r : runways) {
            std::vector<Columns> own;
            for (const Columns& c : rows)
                if (c.leg->kind != 'R' || c.leg->transition == r) own.push_back(c);
            write_terminal(p, airport, runway_of(w, d.airports[airport], r), own);
        }
    };
    for (const ProcedureRec& p : d.procedures) write_procedure(p);
    std::vector<ProcedureRec> read;
    for (const auto& [icao, path] : d.cifp_files) {
        read.clear();
        read_cifp(path, icao, read);
        for (const ProcedureRec& p : read) write_procedure(p);
    }
    report((d.cifp_files.empty() ? std::string()
                                 : std::to_string(d.cifp_files.size()) + " fichiers CIFP : ") +
           std::to_string(sids) + " SID, " + std::to_string(stars) + " STAR (" +
           std::to_string(legs) + w1252(" segments de procédure") +
           (unplaced ? ", " + std::to_string(unplaced) + w1252(" sans position, laissés")
                     : std::string()) +
           (no_airport
                ? ", " + std::to_string(no_airport) + w1252(" d'aéroports inconnus, laissées")
                : std::string()) +
           ")");
}

}  // namespace karvel::xplane
