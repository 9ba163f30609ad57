// The sector file: its lines from the loaded tables, and the save command.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "core/dialogs.h"
#include "core/model.h"
#include "procedures/paths.h"

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
    // The client format's companion file: the idents of procedure points
    // outside the selection, by waypoint ID.
    std::unordered_map<std::string, std::string> point_idents;
};

// Appends the whole file, line by line, to `lines`.
void write_sector(std::vector<std::string>& lines, const NavState& nav, PlaneScale scale,
                  const SectorIdentity& identity, const SectorFormat& format = {});

// The identity field the client format lacks, the first of name, callsign
// and airport (0, 1, 2), or -1 when all three are filled.
int missing_identity(const SectorIdentity& identity);

// The file's bytes: every line followed by CR LF, Windows-1252, no mark.
std::string sector_bytes(const std::vector<std::string>& lines);

// Writes the sector file at `path` through a temporary file renamed over it,
// so that a failure leaves any previous file as it was. In the client
// format the companion file of the SIDs and STARs (`path` with the
// extension .ese) is written with it, both or neither.
void save_sector_file(const std::string& path, const NavState& nav, PlaneScale scale,
                      const SectorIdentity& identity, const SectorFormat& format = {});

// The save command: asks for a name in `program_dir`/secteurs (made when
// missing), default extension "sct", no overwrite prompt. False when
// cancelled; a write failure throws.
bool save_sector(const NavState& nav, PlaneScale scale, const SectorIdentity& identity,
                 Dialogs& dialogs, const SectorFormat& format = {});

}  // namespace karvel
