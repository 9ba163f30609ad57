// The import of the real world (FlightGear's X-Plane files, which
// script/world-data fetches into build/world-data/) beside its floor: the
// same four files decompressed once and their rows split, and the rows of
// the database the import makes inserted into an empty one of the same
// tables in one transaction, its indexes made after (the outlines' left
// out: the import measured reads none), and the file on the disk. Skipped when the
// world's files or its database are not there.
#include <fcntl.h>
#include <unistd.h>

#include "bench_support.h"
#include "import/xplane.h"
#include "import/xplane_text.h"

using namespace karvel;

namespace {

const std::string kWorldData = KARVEL_SOURCE_DIR "/build/world-data";
const std::string kWorldDb = KARVEL_SOURCE_DIR "/runtime/world.sqlite";
const char* const kFiles[] = {"apt.dat.gz", "nav.dat.gz", "fix.dat.gz", "awy.dat.gz"};

bool world_here(benchmark::State& state) {
    for (const char* f : kFiles)
        if (!std::filesystem::exists(kWorldData + "/" + f)) {
            state.SkipWithError("no build/world-data: run script/world-data");
            return false;
        }
    if (!std::filesystem::exists(kWorldDb)) {
        state.SkipWithError("no runtime/world.sqlite: run script/world-data");
        return false;
    }
    return true;
}

// Every table's rows of the world's database, as SQLite gives them.
struct Table {
    std::string insert;  // "INSERT INTO t VALUES (?, ...)"
    int columns = 0;
    std::vector<std::vector<std::string>> text;  // NULL as a missing optional is not kept
    std::vector<std::vector<int>> types;
};

std::vector<Table> world_rows(std::string& schema) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(kWorldDb.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> names;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "select name, sql from sqlite_master where type='table'", -1, &s,
                       nullptr);
    while (sqlite3_step(s) == SQLITE_ROW) {
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        schema += reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        schema += ";\n";
    }
    sqlite3_finalize(s);
    std::vector<Table> tables;
    for (const std::string& n : names) {
        if (n.rfind("outline", 0) == 0) continue;  // the import measured reads no outline
        Table t;
        sqlite3_prepare_v2(db, ("select * from " + n).c_str(), -1, &s, nullptr);
        t.columns = sqlite3_column_count(s);
        t.insert = "INSERT INTO " + n + " VALUES (";
        for (int c = 0; c < t.columns; ++c) t.insert += c ? ",?" : "?";
        t.insert += ")";
        while (sqlite3_step(s) == SQLITE_ROW) {
            std::vector<std::string> row;
            std::vector<int> types;
            for (int c = 0; c < t.columns; ++c) {
                types.push_back(sqlite3_column_type(s, c));
                const unsigned char* v = sqlite3_column_text(s, c);
                row.emplace_back(v ? reinterpret_cast<const char*>(v) : "");
            }
            t.text.push_back(std::move(row));
            t.types.push_back(std::move(types));
        }
        sqlite3_finalize(s);
        tables.push_back(std::move(t));
    }
    sqlite3_close(db);
    return tables;
}

void BM_WorldImportFloor(benchmark::State& state) {
    if (!world_here(state)) return;
    std::string schema;
    const std::vector<Table> tables = world_rows(schema);
    sqlite3* source = nullptr;
    sqlite3_open_v2(kWorldDb.c_str(), &source, SQLITE_OPEN_READONLY, nullptr);
    std::string indexes;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(source,
                       "select sql from sqlite_master where type='index' and sql is not null", -1,
                       &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        indexes += std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))) + ";\n";
    sqlite3_finalize(s);
    sqlite3_close(source);
    const std::string out = std::filesystem::temp_directory_path() / "karvel-bench-floor.sqlite";
    for (auto _ : state) {
        size_t fields = 0;
        for (const char* f : kFiles) {
            xplane::LineReader in(kWorldData + "/" + f);
            for (std::string line; in.next(line);) fields += xplane::tokens(line).size();
        }
        std::filesystem::remove(out);
        sqlite3* db = nullptr;
        sqlite3_open(out.c_str(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr,
                     nullptr);
        sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const Table& t : tables) {
            sqlite3_stmt* insert = nullptr;
            sqlite3_prepare_v2(db, t.insert.c_str(), -1, &insert, nullptr);
            for (size_t r = 0; r < t.text.size(); ++r) {
                for (int c = 0; c < t.columns; ++c) {
                    const std::string& v = t.text[r][static_cast<size_t>(c)];
                    switch (t.types[r][static_cast<size_t>(c)]) {
                        case SQLITE_INTEGER:
                            sqlite3_bind_int64(insert, c + 1, std::stoll(v));
                            break;
                        case SQLITE_FLOAT:
                            sqlite3_bind_double(insert, c + 1, std::stod(v));
                            break;
                        case SQLITE_NULL:
                            sqlite3_bind_null(insert, c + 1);
                            break;
                        default:
                            sqlite3_bind_text(insert, c + 1, v.c_str(), -1, SQLITE_STATIC);
                    }
                }
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
            sqlite3_finalize(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_exec(db, indexes.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        // On the disk, as the import leaves its database.
        const int fd = ::open(out.c_str(), O_RDONLY);
        ::fsync(fd);
        ::close(fd);
        benchmark::DoNotOptimize(fields);
    }
    std::filesystem::remove(out);
}
BENCHMARK(BM_WorldImportFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

// The import itself, as script/world-data runs it without the outlines.
void BM_WorldImport(benchmark::State& state) {
    if (!world_here(state)) return;
    const std::string out = std::filesystem::temp_directory_path() / "karvel-bench-world.sqlite";
    const std::string command = "'" KARVEL_SOURCE_DIR "/build/karvel-import' '" + kWorldData +
                                "' --output '" + out + "' >/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("karvel-import failed");
    std::filesystem::remove(out);
}
BENCHMARK(BM_WorldImport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
