// The sector file: its lines from the loaded tables.
#pragma once

#include <string>
#include <vector>

#include "core/ground.h"
#include "core/magnetic.h"
#include "core/model.h"

namespace karvel {

// The three identity fields of the main window, as typed.
struct SectorIdentity {
    std::string name;
    std::string callsign;
    std::string icao;
};

// The ground's paints in their default colours.
std::array<TColor, kGroundPaintCount> default_ground_paints();

// The layout of the file. The default is the program's own, byte for byte.
// The client format is what radar clients' readers take: the colours it
// names defined at the top (from `details`, the GEO kinds' colours), an
// [INFO] without blank lines, a frequency 000.000 where none is known,
// runway headings on three digits (360 for north) with the runway's airport,
// and airways under [LOW AIRWAY] and [HIGH AIRWAY] by their level.
// The client format's line that names the data's cycle, before the cycle.
inline constexpr const char* kCycleComment = "; cycle des donn\xE9" "es : ";

struct SectorFormat {
    bool client = false;
    std::vector<t_define> details;
    std::string version = kVersionCaption;  // the program named in the first line
    // The client format's second line names the data's cycle, for the
    // checker to tell a file older than the data ("" writes none).
    std::string cycle;
    // The client format's magnetic north: the model, and the date it is
    // taken at as a decimal year. The variation in [INFO] is the one at the
    // centre, and each runway end's heading the magnetic one.
    const MagneticModel* magnetic = nullptr;
    double year = 0;
    // The client format's extended centrelines: a [GEO] line this many
    // nautical miles out from each threshold along its approach course
    // (none at 0), in the colour "centreline".
    double centrelines_nm = 0;
    // The client format's fixes of the procedures' points that lie outside
    // the selection, so that every point the companion file names is defined.
    std::vector<FIXE> outside_points;
    // The client format's ground drawings (the tables' `ground`): their
    // colours by paint, #defined under the names "sol_piste"...; areas go
    // into [REGIONS] in pieces without holes, grouped by airport and paint
    // under a REGIONNAME line, taxi centrelines and hold lines into [GEO],
    // stands into [LABELS].
    std::array<TColor, kGroundPaintCount> ground_colours = default_ground_paints();
    // The client format's [REGIONS] and [LABELS] (for the client that reads
    // them, from a .sct2): without them the ground's areas are [GEO] lines
    // and its stands are only in the companion file's [FREETEXT].
    bool regions = true;

    // The declination at a point, East positive (0 without a model).
    double declination(double lat, double lon) const {
        return magnetic ? magnetic->declination(lat, lon, year) : 0;
    }
};

// The colour name of the extended centrelines.
inline constexpr const char* kCentrelineColour = "centreline";

// Appends the whole file, line by line, to `lines`: the tables of the
// selection, its centre and plane in [INFO], its box for the [GEO] lines.
void write_sector(std::vector<std::string>& lines, const NavTables& nav,
                  const SelectionFrame& frame, const SectorIdentity& identity,
                  const SectorFormat& format = {});

// The first identity field (0 name, 1 callsign, 2 airport) the client
// format cannot write, and why: empty or blank (readers skip blank lines,
// and the next ones would shift), or beginning with ';', '[' or '#' after
// any blanks (a comment, a section header, a definition); field -1 when all
// three can go.
struct IdentityFault {
    int field = -1;
    bool blank = false;
};
IdentityFault client_identity_fault(const SectorIdentity& identity);

// The file's bytes: every line followed by CR LF, Windows-1252, no mark.
std::string sector_bytes(const std::vector<std::string>& lines);

}  // namespace karvel
