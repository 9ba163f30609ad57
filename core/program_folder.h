// Where an installed karvel works: a program folder of the user's own.
//
// A developer build runs in the folder it is started from (runtime/ through
// script/run). An installed program (its data in ../share/karvel beside its
// bin folder, wherever the installation was put) works in
// $XDG_DATA_HOME/karvel (by default ~/.local/share/karvel): created on first
// use with the shipped settings file, region index and secteurs/; the sample
// database and the geography are links into the installation, set again at
// every start so that a moved or newer installation is found. The user's
// own files there are never overwritten.
#pragma once

#include <optional>
#include <string>

namespace karvel {

// The installation's data folder when this executable is an installed one.
std::optional<std::string> installed_data_dir();

// Creates or refreshes the user's program folder from `data_dir` and returns
// its path; throws Error when it cannot be made.
std::string prepare_user_folder(const std::string& data_dir);

// For an installed executable: prepares the user folder and makes it the
// current directory. Returns the directory that was current before (empty
// for a developer build, which stays where it was started).
std::string enter_program_folder();

}  // namespace karvel
