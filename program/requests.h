// What a user asks of the program, as typed in the window or given to
// karvel-sct: a selection, a save, the airports whose ground is drawn. Each
// request has one parser from the texts typed (UTF-8, as both front ends
// receive them), and every refusal of those texts is written here once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/error.h"
#include "core/magnetic.h"
#include "core/model.h"
#include "sector/writer.h"

namespace karvel {

// The texts a user types, each named the way its front end names it.
enum class Input {
    airport,
    radius,
    region,
    name,
    callsign,
    sector_icao,
    date,
    centrelines,
    ground,
    client_file,
    sectors
};

// A text refused: what() says why, in French, as the window shows it.
class Refusal : public Error {
  public:
    Refusal(Input input, const std::string& text) : Error(text), input(input) {}
    Input input;
};

// The command's option for an input ("--radius"), and the one line the
// command refuses it with: the option, then the window's text.
const char* option_of(Input input);
std::string command_refusal(const Refusal& refusal);

// A selection around an airport: its code and the radius as typed (the
// caption and file name keep the typed digits), and that radius.
struct AirportRequest {
    std::string icao;
    std::string radius_text;
    int32_t radius_nm = 0;
};

// A selection of a region: its code as the region index has it, and its
// line of the index. An empty code (no region chosen, or "" typed) takes
// every airport of the database.
struct RegionRequest {
    std::string code;
    std::string line;
};

using SelectionRequest = std::variant<AirportRequest, RegionRequest>;

// A radius of decimal digits only, above 0.
AirportRequest airport_request(const std::string& icao, const std::string& radius);
// The line at `index` of the region index, as the list shows it.
RegionRequest region_at(const ProgramInfo& info, size_t index);
// The first line whose code is `typed`, two characters in any letter case;
// "" when `everything_allowed` is the whole database.
RegionRequest region_request(const ProgramInfo& info, const std::string& typed,
                             bool everything_allowed = false);

// What the window's caption and the map's title say of a selection:
// "LFPG:50nm" by airport, the region's line by region.
std::string selection_text(const SelectionRequest& request);
// The name a selection's sector file takes by default, in the window and
// in karvel-sct alike: "LFPG_50nm.sct", "LF.sct", "tout.sct" for the whole
// database; no character a file system refuses.
// `extension` is that of the file asked ("sct2").
std::string sector_file_name(const std::optional<SelectionRequest>& request,
                             const std::string& extension = "sct");
// `stem` with each character a file system refuses ("/", "\\", ":", "*", "?",
// quotes, "<", ">", "|", control characters) made "_".
std::string safe_file_stem(std::string stem);

// The sector identity typed: each field Windows-1252 without control
// characters; for the client format none blank or opening a comment, a
// section or a definition.
SectorIdentity identity_request(const std::string& name, const std::string& callsign,
                                const std::string& sector_icao, bool client);
// How far the client format extends the runway centrelines: whole nautical
// miles in decimal digits, 0 for none.
int32_t centrelines_request(const std::string& text);
// The date of the magnetic north, "YYYY-MM-DD", a day that exists.
Date date_request(const std::string& text);

// Which file the client format writes, for which radar client: a .sct
// with [REGIONS] and [LABELS] (the first client format), a .sct2 with them,
// or a .sct without them (the ground's areas then as [GEO] lines, its
// stands in the companion file's [FREETEXT] only).
enum class ClientFile { sct_regions, sct2, sct };
// "" (the first), "sct2" or "sct".
ClientFile client_file_request(const std::string& text);
// The file's extension: "sct" or "sct2".
const char* client_file_extension(ClientFile file);

// The kinds of sector chosen, typed "FIR,CTR tma": separated by commas,
// semicolons or blanks, in any letter case, each once; none (every kind)
// when the text is blank.
std::vector<std::string> sector_kinds_request(const std::string& text);

// The files a save writes, each where given: the sector file, the
// companion file of the client format, the selection as GeoJSON.
struct SavedFiles {
    std::optional<std::string> sector;
    std::optional<std::string> ese;
    std::optional<std::string> geojson;
};

// A save of the current selection.
struct SaveRequest {
    SectorIdentity identity;
    bool client = false;  // the radar clients' format
    // The client format's magnetic north is taken at this date; today's
    // when none.
    std::optional<Date> date;
    int32_t centrelines_nm = 0;  // the client format's extended centrelines
    ClientFile client_file = ClientFile::sct_regions;
    // The kinds of outline that become sectors of the companion file; every
    // kind when none.
    std::vector<std::string> sector_kinds;
    // The folder of the user's own lines for the client format's files; by
    // default the sector file's path without its extension, and ".d".
    std::optional<std::string> own_lines;
    SavedFiles files;
};

// The airports whose ground is drawn, typed "LFPG, lfpo KJFK": separated by
// commas, semicolons or blanks, in capitals, each once, in their order;
// none when the text is blank, which `some_needed` refuses.
std::vector<std::string> ground_request(const std::string& text, bool some_needed = false);

}  // namespace karvel
