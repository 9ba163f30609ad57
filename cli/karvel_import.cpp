// karvel-import: navigation data in the X-Plane formats into a karvel
// navigation database.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_line.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "import/database_writer.h"

namespace {

using namespace karvel;
namespace fs = std::filesystem;

const char* const kUsage =
    "usage: karvel-import FOLDER --output FILE.sqlite\n"
    "\n"
    "Reads navigation data in the X-Plane formats from FOLDER and writes a karvel\n"
    "navigation database, which karvel and karvel-sct then open like the sample\n"
    "(karvel-sct --database FILE.sqlite ...).\n"
    "\n"
    "FOLDER holds apt.dat, nav.dat (or earth_nav.dat), fix.dat (or earth_fix.dat)\n"
    "and awy.dat (or earth_awy.dat), plain or gzip (.gz), directly or under\n"
    "Airports/ and Navaids/ as FlightGear ships them, and the SIDs and STARs of\n"
    "CIFP/ICAO.dat files where FOLDER has a CIFP folder. Versions: apt 1000 to\n"
    "1200, nav 810, 1100, 1150, 1200, fix 600, 1101, 1200, awy 640, 1100, CIFP 1101.\n"
    "\n"
    "Runway numbers of one digit get their leading zero (\"7R\" is \"07R\"); an\n"
    "airway segment listed once per level is written once; an airway end that is\n"
    "a waypoint already written (same ident and region, within 0.01 nm) is that\n"
    "waypoint.\n"
    "\n"
    "The database is written under a temporary name of its own and put in place\n"
    "when complete, keeping an old file's permissions and owner: a failed or\n"
    "interrupted import leaves the old file as it was and no temporary file. An\n"
    "error names the file and the line, and exits with status 1.\n";

std::optional<std::string> find_file(const fs::path& folder,
                                     std::initializer_list<const char*> names) {
    std::error_code ec;
    for (const char* sub : {"", "Airports", "Navaids"})
        for (const char* n : names)
            for (const char* ext : {"", ".gz"}) {
                const fs::path p = folder / sub / (std::string(n) + ext);
                if (fs::is_regular_file(p, ec)) return p.string();
            }
    return std::nullopt;
}

// CIFP/ICAO.dat (or .dat.gz), one file per airport, in name order.
void read_procedures(const fs::path& cifp, xplane::NavData& data) {
    std::error_code ec;
    if (!fs::is_directory(cifp, ec)) {
        std::printf("CIFP : absent\n");
        return;
    }
    std::vector<std::pair<std::string, std::string>> files;  // ICAO, path
    for (const auto& entry : fs::directory_iterator(cifp, ec)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(ec)) continue;
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0)
            name.resize(name.size() - 3);
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".dat") != 0) continue;
        files.emplace_back(utf8_to_cp1252(name.substr(0, name.size() - 4)), entry.path().string());
    }
    if (ec) throw Error(w1252("dossier illisible : ") + path_text(cifp.string()));
    std::sort(files.begin(), files.end());
    std::printf("%s : %zu fichiers, lus avec l'écriture\n",
                cp1252_to_utf8(path_text(cifp.string())).c_str(), files.size());
    data.cifp_files = std::move(files);
}

int run(int argc, char** argv) {
    std::string folder, output;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--output" && i + 1 < argc)
            output = argv[++i];
        else if (a.rfind("--", 0) == 0)
            throw Error(w1252("option inconnue : ") + utf8_to_cp1252(a) + " (voir --help)");
        else if (folder.empty())
            folder = a;
        else
            throw Error(w1252("un seul dossier, pas aussi ") + path_text(a));
    }
    if (folder.empty() || output.empty())
        throw Error(w1252("il faut un dossier et --output (voir --help)"));
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw Error(w1252("dossier introuvable : ") + path_text(folder));

    xplane::NavData data;
    const auto clock = std::chrono::steady_clock::now;
    const auto started = clock();
    auto step = [&](const char* what, std::initializer_list<const char*> names,
                    void (*read)(const std::string&, xplane::NavData&), bool required) {
        const auto file = find_file(folder, names);
        if (!file) {
            if (required)
                throw Error(std::string(what) + w1252(" introuvable dans ") + path_text(folder));
            std::printf("%s : absent\n", what);
            return;
        }
        const auto t = clock();
        read(*file, data);
        std::printf("%s : lu en %.1f s\n", cp1252_to_utf8(path_text(*file)).c_str(),
                    std::chrono::duration<double>(clock() - t).count());
        std::fflush(stdout);
    };
    step("apt.dat", {"apt.dat"}, xplane::read_apt, true);
    step("nav.dat", {"nav.dat", "earth_nav.dat"}, xplane::read_nav, true);
    step("fix.dat", {"fix.dat", "earth_fix.dat"}, xplane::read_fix, false);
    step("awy.dat", {"awy.dat", "earth_awy.dat"}, xplane::read_awy, false);
    read_procedures(folder / fs::path("CIFP"), data);
    xplane::write_database(data, output, [](const std::string& line) {
        std::printf("  %s\n", cp1252_to_utf8(line).c_str());
        std::fflush(stdout);
    });
    std::printf("%s : cycle %s, %.1f s\n", output.c_str(), data.cycle.c_str(),
                std::chrono::duration<double>(clock() - started).count());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (karvel::print_help_if_asked(argc, argv, kUsage)) return 0;
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        return karvel::report_failure("karvel-import", e);
    }
}
