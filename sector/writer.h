// The sector file: its lines from the loaded tables.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

// The three identity fields of the main window, as typed.
struct SectorIdentity {
    std::string name;
    std::string callsign;
    std::string icao;
};

// The layout of the file. The default is the program's own, byte for byte.
// The client format is what radar clients' readers take: the colours it
// names defined at the top (from `details`, the GEO kinds' colours), an
// [INFO] without blank lines, a frequency 000.000 where none is known,
// runway headings on three digits (360 for north) with the runway's airport,
// and airways under [LOW AIRWAY] and [HIGH AIRWAY] by their level.
struct SectorFormat {
    bool client = false;
    std::vector<t_define> details;
    std::string version = kVersionCaption;  // the program named in the first line
};

// Appends the whole file, line by line, to `lines`: the tables of the
// selection, its centre and plane in [INFO], its box for the [GEO] lines.
void write_sector(std::vector<std::string>& lines, const NavTables& nav,
                  const SelectionFrame& frame, const SectorIdentity& identity,
                  const SectorFormat& format = {});

// The identity field the client format lacks, the first of name, callsign
// and airport (0, 1, 2), or -1 when all three are filled.
int missing_identity(const SectorIdentity& identity);

// The file's bytes: every line followed by CR LF, Windows-1252, no mark.
std::string sector_bytes(const std::vector<std::string>& lines);

}  // namespace karvel
