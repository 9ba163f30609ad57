// What changed in one selection from a cycle of the navigation data to the
// next: airports, runway ends, ILS, navaids, fixes, airway segments, SIDs
// and STARs, airspace outlines and airport frequencies, each added,
// withdrawn, moved or changed. Points are matched by their ident, the
// nearest of those that share it; runway ends by their airport and ident.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"
#include "sector/own_lines.h"

namespace karvel {

enum class ChangeKind { airport, runway, ils, navaid, fix, airway, procedure, outline, frequency };
inline constexpr int kChangeKindCount = 9;
enum class ChangeWhat { added, withdrawn, moved, changed };

struct Change {
    ChangeKind kind;
    ChangeWhat what;
    std::string text;  // one French line: "LFPG 09L : seuil déplacé de 12 m"
    // Where it was and where it is, for a map: points (a part of one) or
    // lines (an airway segment, an outline's rings).
    std::vector<t_point> before, after;
};

// The changes from `before` to `after`, by kind in the order above, each
// kind sorted by its text.
std::vector<Change> cycle_changes(const NavTables& before, const NavTables& after);

// The report: one line of counts a kind that changed ("aucun changement"
// when none did), then each kind's changes under its name.
std::vector<std::string> change_report(const std::vector<Change>& changes);

// The changes as GeoJSON features, one a place before and one a place
// after: its kind, what changed ("ajouté", "retiré", "déplacé", "changé"),
// "avant" or "après", and the report's text.
std::string changes_geojson(const std::vector<Change>& changes);

// The lines of the user's own files that name a point (fix, navaid or
// airport) of `before` that `after` no longer has: "GEO.txt:3 : OPALE n'est
// plus dans la nouvelle base".
std::vector<std::string> own_lines_gone(const std::vector<OwnFile>& own, const NavTables& before,
                                        const NavTables& after);

// "aéroports", "pistes"...
std::string change_kind_name(ChangeKind kind);

}  // namespace karvel
