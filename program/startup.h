// Start-up of the main window and the quit command.
#pragma once

#include <string>

#include "core/dialogs.h"
#include "program/app_state.h"

namespace karvel {

// The main window's creation steps: version, program folder (the current
// directory), the region index, then the settings file. A step that fails is
// reported through `dialogs.error` and the independent steps after it still
// run, so one bad line never costs the data source settings.
void main_window_create(AppState& state, Dialogs& dialogs);

// Text of the main window's title once it is shown.
std::string main_window_title(const ProgramInfo& info);

// Writes [file] "DNS" and "filename" back; nothing else is ever written.
void write_back_data_source(Settings& settings);

std::string settings_path(const ProgramInfo& info);
std::string region_index_path(const ProgramInfo& info);

}  // namespace karvel
