// Access (.mdb / .accdb) files, read with libmdb and copied into SQLite.
#pragma once

#include <string>

#include "core/dialogs.h"

namespace karvel {

// Copies every user table of an Access file into a new SQLite file at
// `sqlite_path`: text columns COLLATE NOCASE, reals read raw, dates as
// "YYYY-MM-DD HH:MM:SS", memos whole, binary data as blobs; the join columns
// of the navigation tables indexed. Throws Error for a file libmdb cannot read.
void import_access(const std::string& mdb_path, const std::string& sqlite_path,
                   ProgressSink* progress);

// The SQLite copy of an Access file in `cache_dir`, reused while the file is
// unchanged and rebuilt when it changes. The import runs in a helper process
// (karvel-mdb-import beside the program) so that a damaged file cannot take
// the program down; it is built under a temporary name and renamed only when
// complete, so a failure leaves no broken cache.
std::string access_cache(const std::string& mdb_path, const std::string& cache_dir,
                         ProgressSink* progress);

// Days since 1899-12-30 (Access dates) as "YYYY-MM-DD HH:MM:SS".
std::string access_date_text(double days);

// The helper's name; KARVEL_MDB_IMPORT in the environment names another path.
inline constexpr const char* kImportHelper = "karvel-mdb-import";

}  // namespace karvel
