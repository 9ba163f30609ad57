// A checker of sector files and their companion files as radar clients
// read them, whoever wrote them: every finding with its file, line, weight
// (an error, which a client misreads or refuses, or a warning), short code
// and one French line; it never stops at the first.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/magnetic.h"
#include "core/model.h"

namespace karvel {

struct Finding {
    std::string file;
    size_t line = 0;  // from 1; 0 for the whole file
    bool error = true;
    std::string code;     // "couleur", "point"...
    std::string message;  // French, Windows-1252
};

// "FILE:LINE: erreur: message [code]" (or "avertissement").
std::string finding_text(const Finding& f);

// What the sector file defines, for its companion file's rules and the
// comparison with a database.
struct SectorDefinitions {
    struct Point {
        std::string name;
        std::string section;  // "[VOR]", "[NDB]", "[FIXES]", "[AIRPORT]"
        std::string frequency;
        geo_point at;
        size_t line = 0;
    };
    struct Runway {
        std::string airport, id1, id2;
        int heading1 = 0, heading2 = 0;
        geo_point end1, end2;
        size_t line = 0;
    };
    std::vector<Point> points;
    std::map<std::string, geo_point> named;  // every point by its name (the first)
    std::set<std::string> ambiguous;         // names of points more than 1 nm apart
    std::vector<Runway> runways;
    // The data's cycle the file says it was made from, on one of its first
    // lines ("; cycle des données : 2613"); "" when it says none.
    std::string cycle;
    size_t cycle_line = 0;
};

// Runway headings are checked against the magnetic model at `year` when
// there is one, else only against the runway's own line.
struct CheckOptions {
    const MagneticModel* magnetic = nullptr;
    double year = 0;
};

// The findings of a .sct or .sct2 file, added to `out`. Throws Error for a
// file that cannot be read or is no text.
SectorDefinitions check_sector_file(const std::string& path, const CheckOptions& options,
                                    std::vector<Finding>& out);

// The findings of a companion file, its names looked up in `sector`.
void check_companion_file(const std::string& path, const SectorDefinitions& sector,
                          std::vector<Finding>& out);

}  // namespace karvel
