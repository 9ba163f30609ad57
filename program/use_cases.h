// The tasks of the program, one road each for the window and karvel-sct:
// choosing a region, selecting around an airport or a region, and saving
// the files of a selection. Every refusal of these tasks is told here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/file_output.h"
#include "core/magnetic.h"
#include "core/sinks.h"
#include "program/app_state.h"
#include "sector/writer.h"

namespace karvel {

// A line of the region index chosen for a selection by region: its code and
// the line itself, which becomes the selection's text.
struct RegionChoice {
    std::string code;
    std::string line;
};

// The line at `index` of the region index (an index the list shows).
RegionChoice region_at(const ProgramInfo& info, size_t index);

// The first line whose code is `typed`, two characters in any letter case;
// throws Error "code invalide" when no line has it.
RegionChoice region_by_code(const ProgramInfo& info, const std::string& typed);

// The radius text as a radius: an integer above 0 (a radius of 0 or less
// is refused with one text).
int32_t radius_from_text(const std::string& text);

// Where a selection reports: its lists and memo lines (told once it has
// loaded whole), its progress, and the messages of the geography.
struct SelectionOutput {
    SelectionView& lists;
    ProgressSink& progress;
    MemoSink& memo;
    Dialogs& dialogs;
};

// Selects around the airport `icao` within the radius typed, then loads the
// geography of `geo_level` (0 keeps the lines loaded before). The selection
// loads aside and replaces the tables and frame only once it has loaded
// whole: on any error (thrown) the state is as it was. The map's scale is
// set for its client height.
void select_airport(AppState& state, const std::string& icao, const std::string& radius_text,
                    int geo_level, SelectionOutput& out);

// Selects the region chosen (an empty code: everything of an empty region
// code), as select_airport does; its box is its waypoints' extent.
void select_region(AppState& state, const RegionChoice& region, int geo_level,
                   SelectionOutput& out);

// The ground drawings of the airports typed ("LFPG, KJFK"; empty: none)
// replace those loaded, and the memo tells what each airport has; a new
// selection keeps them. Returns the codes of the airports with nothing to
// draw. Throws, changing nothing, for a code that is none and for a
// database without ground drawings.
std::vector<std::string> choose_ground(AppState& state, const std::string& text, MemoSink& memo);

// What the ground's choice proposes: the airports loaded ("LFPG, KJFK"),
// else the airport of a selection by airport, else nothing.
std::string proposed_ground(const AppState& state);

// The files a save writes, each where given: the sector file, the companion
// file of the SIDs and STARs, the selection as GeoJSON.
struct SavedFiles {
    std::optional<std::string> sector;
    std::optional<std::string> ese;
    std::optional<std::string> geojson;
};

// How a save writes the sector file.
struct SaveOptions {
    SectorIdentity identity;
    bool client = false;  // the radar clients' format
    // The client format's magnetic north is taken at this date; today's
    // when none.
    std::optional<Date> date;
    double centrelines_nm = 0;  // the client format's extended centrelines
};

// The magnetic model of the program folder at the date of `options`: a date
// given outside the model's span is refused, today's date outside it is
// told through `dialogs` and used all the same. Throws for a missing or
// damaged model file.
struct MagneticDate {
    MagneticModel model;
    double year = 0;
};
MagneticDate magnetic_date(const ProgramInfo& info, const std::optional<Date>& date,
                           Dialogs& dialogs);

// Prepares the files of the current selection in `files`; the caller puts
// them in place together with whatever else goes with them (files.commit()).
void add_saved_files(OutputFiles& files, AppState& state, const SavedFiles& paths,
                     const SaveOptions& options, Dialogs& dialogs);

// The window's save: asks for a name in the program folder's "secteurs"
// (made when missing), proposing the one karvel-sct would write, default
// extension "sct", sector files or all files shown, no overwrite prompt;
// writes the sector file, in the client format with its companion file
// beside it (the same name, extension .ese), both or neither, and adds the
// paths written to `written`. False when cancelled; a write failure throws.
bool save_selection(AppState& state, Dialogs& dialogs, const SaveOptions& options,
                    std::vector<std::string>* written = nullptr);

// The file name a selection saves under: "LFPG_50nm.sct" by airport, the
// region's code by region ("LF.sct"), "tout.sct" for the empty code; no
// character a file system refuses.
std::string proposed_file_name(const std::string& selection_text);

// `stem` with each character a file system refuses ("/", "\\", ":", "*", "?",
// quotes, "<", ">", "|", control characters) made "_".
std::string safe_file_stem(std::string stem);

}  // namespace karvel
