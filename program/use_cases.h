// The tasks of the program, one road each for the window and karvel-sct:
// selecting around an airport or a region, choosing the airports whose
// ground is drawn, and saving the files of a selection. They take the
// requests of program/requests.h, already checked; what only the data can
// refuse (an unknown airport, a date the magnetic model does not cover) is
// told here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/file_output.h"
#include "core/magnetic.h"
#include "core/sinks.h"
#include "program/app_state.h"
#include "program/requests.h"
#include "sector/writer.h"

namespace karvel {

// Where a selection reports: its lists and memo lines (told once it has
// loaded whole), its progress, and the messages of the geography.
struct SelectionOutput {
    SelectionView& lists;
    ProgressSink& progress;
    MemoSink& memo;
    Dialogs& dialogs;
};

// Selects what `request` asks, then loads the geography of `geo_level` (0
// keeps the lines loaded before). The selection loads aside and replaces
// the tables, the frame and the request kept only once it has loaded
// whole: on any error (thrown) the state is as it was. The map's scale is
// set for its client height.
void select(AppState& state, const SelectionRequest& request, int geo_level, SelectionOutput& out);

// The selection `request` in another database (SQLite or Access), made as
// the program folder's settings make it, beside the current state: its
// tables, and in `cycle` the database's cycle. Throws for a file that is
// not there or not a navigation database.
struct OtherSelection {
    NavTables nav;
    std::string cycle;
};
OtherSelection selection_in(const std::string& database, const SelectionRequest& request,
                            Dialogs& dialogs);

// The current selection's text ("LFPG:50nm", a region's line; empty before
// the first one), for the window's caption and the map's title.
std::string selection_caption(const AppState& state);

// The ground drawings of the airports `codes` (none: no ground) replace
// those loaded, and the memo tells what each airport has; a new selection
// keeps them. Returns the codes of the airports with nothing to draw.
// Throws, changing nothing, for a database without ground drawings.
std::vector<std::string> choose_ground(AppState& state, const std::vector<std::string>& codes,
                                       MemoSink& memo);

// What the ground's choice proposes: the airports loaded ("LFPG, KJFK"),
// else the airport of a selection by airport, else nothing.
std::string proposed_ground(const AppState& state);

// The magnetic model of the program folder at the date asked: a date
// given outside the model's span is refused, today's date outside it is
// told through `dialogs` and used all the same. Throws for a missing or
// damaged model file.
struct MagneticDate {
    MagneticModel model;
    double year = 0;
};
MagneticDate magnetic_date(const ProgramInfo& info, const std::optional<Date>& date,
                           Dialogs& dialogs);

// Prepares the files `request` names for the current selection in `files`;
// the caller puts them in place together with whatever else goes with them
// (files.commit()).
void add_saved_files(OutputFiles& files, AppState& state, const SaveRequest& request,
                     Dialogs& dialogs);

// The window's save: asks for a name in the program folder's "secteurs"
// (made when missing), proposing the one karvel-sct would write, default
// extension "sct", sector files or all files shown, no overwrite prompt;
// writes the sector file, in the client format with its companion file
// beside it (the same name, extension .ese), both or neither, and adds the
// paths written to `written`. The request's files are those chosen. False
// when cancelled; a write failure throws.
bool save_selection(AppState& state, Dialogs& dialogs, SaveRequest request,
                    std::vector<std::string>* written = nullptr);

}  // namespace karvel
