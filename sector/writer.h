// The sector file: its lines from the loaded tables, and the save command.
#pragma once

#include <string>
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

// Appends the whole file, line by line, to `lines`.
void write_sector(std::vector<std::string>& lines, const NavState& nav, PlaneScale scale,
                  const SectorIdentity& identity);

// The file's bytes: every line followed by CR LF, Windows-1252, no mark.
std::string sector_bytes(const std::vector<std::string>& lines);

// Writes the sector file at `path` through a temporary file renamed over it,
// so that a failure leaves any previous file as it was.
void save_sector_file(const std::string& path, const NavState& nav, PlaneScale scale,
                      const SectorIdentity& identity);

// The save command: asks for a name in `program_dir`/secteurs (made when
// missing), default extension "sct", no overwrite prompt. False when
// cancelled; a write failure throws.
bool save_sector(const NavState& nav, PlaneScale scale, const SectorIdentity& identity,
                 Dialogs& dialogs);

}  // namespace karvel
