// The sections of the radar clients' sector file and companion file.
#pragma once

#include <set>
#include <string>

namespace karvel {

inline const std::set<std::string> kSectorSections = {
    "[INFO]",        "[VOR]",        "[NDB]",       "[AIRPORT]", "[RUNWAY]", "[FIXES]",
    "[ARTCC]",       "[ARTCC HIGH]", "[ARTCC LOW]", "[SID]",     "[STAR]",   "[LOW AIRWAY]",
    "[HIGH AIRWAY]", "[GEO]",        "[REGIONS]",   "[LABELS]"};
inline const std::set<std::string> kCompanionSections = {
    "[POSITIONS]", "[SIDSSTARS]", "[AIRSPACE]", "[FREETEXT]", "[RADAR]", "[GROUND]", "[OFFSET]"};

}  // namespace karvel
