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
std::optional<long long> runway_of(const WrittenPlaces& written, const AirportRec& a,
                                   const std::string& transition) {
    const std::string t = upper_ascii(transition);
    if (t.size() < 4 || t.rfind("RW", 0) != 0) return std::nullopt;
    const std::string ident = t.substr(2);
    if (const auto* end = written.runway_end(a.icao, ident)) return end->id;
    if (ident.size() == 3 && ident[2] == 'B')
        for (const char side : {'L', 'R', 'C'})
            if (const auto* end = written.runway_end(a.icao, ident.substr(0, 2) + side))
                return end->id;
    return std::nullopt;
}

}  // namespace

ProcedureWriter::ProcedureWriter(Db& db, const NavData& d, const WrittenPlaces& written,
                                 Waypoints& waypoints)
    : d_(d),
      written_(written),
      waypoints_(waypoints),
      places_(d, written, waypoints),
      terminal_(db,
                "INSERT INTO Terminals (ID, airportID, ICAO, proc, name, rwyid) VALUES (?, ?, ?, "
                "?, ?, ?)"),
      leg_(db,
           "INSERT INTO terminallegs (ID, terminalid, type, transition, trackcode,"
           " wptid, wptLat, wptLon, turndir, navid, navlat, navlon, navbear, navdist,"
           " course, distance, centerid, centerlat, centerlon)"
           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)") {}

std::optional<ProcedureWriter::Columns> ProcedureWriter::columns(const ProcLeg& l, size_t airport) {
    Columns c{&l, {}, {}, {}};
    if (!l.fix.ident.empty() && !(c.fix = places_.find(l.fix, airport, true))) return std::nullopt;
    if (!l.navaid.ident.empty()) c.navaid = places_.find(l.navaid, airport, false);
    if (dme_terminated(l.trackcode) && !c.navaid) return std::nullopt;
    if (l.trackcode == "RF" && !l.centre.ident.empty())
        c.centre = places_.find(l.centre, airport, true);
    if (l.trackcode == "AF" && c.navaid) c.centre = c.navaid;  // the arc runs around its navaid
    return c;
}

void ProcedureWriter::write_leg(long long terminal_id, const Columns& c) {
    const ProcLeg& l = *c.leg;
    const bool dme = dme_terminated(l.trackcode);
    const std::string transition = l.kind == 'C' ? std::string() : l.transition;
    Insert& leg = leg_;
    leg(++legs_)(terminal_id)(std::string(1, l.kind))(transition)(l.trackcode);
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
            id = waypoints_.find(l.navaid.ident, c.centre->at.lat, c.centre->at.lon);
        leg.id(id)(c.centre->at.lat)(c.centre->at.lon);
    } else {
        leg.null().null().null();
    }
    leg.run();
}

void ProcedureWriter::write_terminal(const ProcedureRec& p, size_t airport,
                                     std::optional<long long> runway,
                                     const std::vector<Columns>& rows) {
    const AirportRec& a = d_.airports[airport];
    const long long airport_id = static_cast<long long>(airport) + 1;
    const ProcedureKind kind = p.sid ? ProcedureKind::sid : ProcedureKind::star;
    terminal_(++terminals_)(airport_id)(a.icao)(std::string(procedure_code(kind)))(p.name);
    if (runway)
        terminal_(*runway);
    else
        terminal_.null();
    terminal_.run();
    for (const Columns& c : rows) write_leg(terminals_, c);
    ++(p.sid ? sids_ : stars_);
}

// A SID is flown from one runway: each runway transition makes a SID of its
// own, with the common route and the en-route transitions.
void ProcedureWriter::write_sid(const ProcedureRec& p, size_t airport,
                                const std::vector<Columns>& rows) {
    std::vector<std::string> runways;
    for (const Columns& c : rows)
        if (c.leg->kind == 'R' &&
            std::find(runways.begin(), runways.end(), c.leg->transition) == runways.end())
            runways.push_back(c.leg->transition);
    if (runways.empty()) {
        std::optional<long long> runway;
        for (const Columns& c : rows)
            if (c.leg->kind == 'C' &&
                (runway = runway_of(written_, d_.airports[airport], c.leg->transition)))
                break;
        write_terminal(p, airport, runway, rows);
        return;
    }
    for (const std::string& r : runways) {
        std::vector<Columns> own;
        for (const Columns& c : rows)
            if (c.leg->kind != 'R' || c.leg->transition == r) own.push_back(c);
        write_terminal(p, airport, runway_of(written_, d_.airports[airport], r), own);
    }
}

void ProcedureWriter::write_procedure(const ProcedureRec& p) {
    const std::optional<size_t> airport = written_.airport(p.airport);
    if (!airport) {
        ++no_airport_;
        return;
    }
    std::vector<Columns> rows;
    for (const ProcLeg& l : p.legs) {
        if (auto c = columns(l, *airport))
            rows.push_back(std::move(*c));
        else
            ++unplaced_;  // left out rather than drawn towards 0, 0
    }
    if (p.sid)
        write_sid(p, *airport, rows);
    else
        write_terminal(p, *airport, std::nullopt, rows);
}

void ProcedureWriter::write(const std::vector<ProcedureRec>& procedures) {
    for (const ProcedureRec& p : procedures) write_procedure(p);
}

std::string ProcedureWriter::summary(size_t files) const {
    return (files == 0 ? std::string() : std::to_string(files) + " fichiers CIFP : ") +
           std::to_string(sids_) + " SID, " + std::to_string(stars_) + " STAR (" +
           std::to_string(legs_) + w1252(" segments de procédure") +
           (unplaced_ ? ", " + std::to_string(unplaced_) + w1252(" sans position, laissés")
                      : std::string()) +
           (no_airport_
                ? ", " + std::to_string(no_airport_) + w1252(" d'aéroports inconnus, laissées")
                : std::string()) +
           ")";
}

}  // namespace karvel::xplane
