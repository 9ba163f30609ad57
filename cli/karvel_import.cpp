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
#include "core/file_output.h"
#include "core/numtext.h"
#include "import/database_writer.h"
#include "import/ground.h"

namespace {

using namespace karvel;
namespace fs = std::filesystem;

const char* const kUsage =
    "usage : karvel-import DOSSIER [--boundaries FICHIER [--attribution TEXTE]]...\n"
    "                      [--progress] --output FICHIER.sqlite\n"
    "\n"
    "Lit les données de navigation aux formats X-Plane du DOSSIER et écrit une\n"
    "base de navigation karvel, que karvel et karvel-sct ouvrent ensuite comme\n"
    "l'exemple (karvel-sct --database FICHIER.sqlite ...).\n"
    "\n"
    "Le DOSSIER contient apt.dat, nav.dat (ou earth_nav.dat), fix.dat (ou\n"
    "earth_fix.dat) et awy.dat (ou earth_awy.dat), en clair ou gzip (.gz),\n"
    "directement ou sous Airports/ et Navaids/ comme FlightGear les livre, et les\n"
    "SID et STAR des fichiers CIFP/OACI.dat s'il a un dossier CIFP. Versions : apt\n"
    "1000 à 1200, nav 810, 1100, 1150, 1200, fix 600, 1101, 1200, awy 640, 1100,\n"
    "CIFP 1101.\n"
    "\n"
    "Un numéro de piste d'un chiffre prend son zéro (\"7R\" devient \"07R\") ; une\n"
    "piste dont les bouts ne s'apparient pas est enregistrée et nommée dans un\n"
    "avertissement ; un segment de voie aérienne donné une fois par niveau est\n"
    "écrit une fois ; un bout de voie qui est un point déjà écrit (même\n"
    "identifiant et même région, à moins de 0,01 nm) est ce point.\n"
    "\n"
    "Les plans au sol des aérodromes d'apt.dat sont lus dans le même passage, un\n"
    "aérodrome à la fois : aires et leurs trous, pistes et hélisurfaces, lignes\n"
    "peintes ou balisées, postes, courbes en points à moins de 0,5 m\n"
    "(karvel-sct --ground les écrit).\n"
    "\n"
    "--boundaries FICHIER ajoute les contours d'espace aérien du FICHIER (peut\n"
    "être répété) : polygones GeoJSON (nommés par leur \"id\" ou \"name\"),\n"
    "fichier des limites ARTCC de la FAA (ARB.txt) ou OpenAir, le format reconnu\n"
    "au contenu. Arcs et cercles deviennent des points à moins de 0,05 nm de la\n"
    "courbe. --attribution TEXTE, après son fichier, est ce qu'un fichier secteur\n"
    "qui en est tiré dit de la source (une licence qui le demande, comme CC\n"
    "BY-SA) : le format client l'écrit en commentaire sous chaque section de\n"
    "contours.\n"
    "\n"
    "--progress dit sur la sortie d'erreur, une fois par seconde au plus, la part\n"
    "lue de chaque fichier (de même sans l'option quand c'est un terminal).\n"
    "\n"
    "La base est écrite sous un nom temporaire à elle puis mise en place une fois\n"
    "complète, en gardant les droits et le propriétaire d'un ancien fichier : un\n"
    "import en échec ou interrompu laisse l'ancien fichier tel quel et aucun\n"
    "fichier temporaire. Une erreur nomme le fichier et la ligne, et sort avec le\n"
    "code 1.\n";

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

// A file name that ends in `suffix`, letters in any case.
bool ends_with_nocase(const std::string& name, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return name.size() > n && upper_ascii(name.substr(name.size() - n)) == upper_ascii(suffix);
}

// CIFP/ICAO.dat (or .dat.gz, any letter case), one file per airport, in name
// order. Entries that are not readable regular files of that name (a
// dangling link, a folder, a file nobody may read) are passed over and
// counted.
std::vector<std::pair<std::string, std::string>> procedure_files(const fs::path& cifp,
                                                                 size_t& passed_over) {
    std::vector<std::pair<std::string, std::string>> files;  // ICAO, path
    std::error_code ec;
    fs::directory_iterator it(cifp, ec), end;
    if (ec) throw Error(w1252("dossier illisible : ") + path_text(cifp.string()));
    for (; it != end; it.increment(ec)) {
        if (ec) throw Error(w1252("dossier illisible : ") + path_text(cifp.string()));
        std::string name = it->path().filename().string();
        std::error_code kind;
        const bool regular = it->is_regular_file(kind) && !kind;
        if (ends_with_nocase(name, ".gz")) name.resize(name.size() - 3);
        const bool dat = ends_with_nocase(name, ".dat");
        if (!regular || !dat || ::access(it->path().c_str(), R_OK) != 0) {
            ++passed_over;
            continue;
        }
        files.emplace_back(upper_ascii(utf8_to_cp1252(name.substr(0, name.size() - 4))),
                           it->path().string());
    }
    if (ec) throw Error(w1252("dossier illisible : ") + path_text(cifp.string()));
    std::sort(files.begin(), files.end());
    return files;
}

// An outline file and what its source asks to be said of it.
struct BoundaryArg {
    std::string path;
    std::string attribution;  // Windows-1252
};

// What the command line asks for.
struct Arguments {
    std::string folder, output;
    std::vector<BoundaryArg> boundaries;
    bool progress = false;
};

// The input folder, the outline files and the database to write, from the
// command line.
Arguments arguments(int argc, char** argv) {
    Arguments args;
    std::string& folder = args.folder;
    std::string& output = args.output;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--output" && i + 1 < argc)
            output = argv[++i];
        else if (a == "--progress")
            args.progress = true;
        else if (a == "--boundaries" && i + 1 < argc)
            args.boundaries.push_back({argv[++i], ""});
        else if (a == "--attribution" && i + 1 < argc && !args.boundaries.empty() &&
                 args.boundaries.back().attribution.empty())
            args.boundaries.back().attribution = utf8_to_cp1252(argv[++i]);
        else if (a == "--attribution")
            throw Error(w1252("--attribution suit le fichier --boundaries qu'elle accompagne"));
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
    return args;
}

// One file of the folder and its reader.
struct Input {
    const char* what;
    std::optional<std::string> file;
    void (*read)(const std::string&, xplane::NavData&);
};

// Every input of the folder, found before anything is read.
struct Inputs {
    std::vector<Input> files;
    std::optional<fs::path> cifp;  // the procedures' folder, where there is one
    std::vector<std::pair<std::string, std::string>> procedures;  // ICAO, path
    size_t passed_over = 0;  // entries of the CIFP folder that are no procedure file
};

Inputs find_inputs(const std::string& folder) {
    Inputs in;
    in.files = {{"apt.dat", find_file(folder, {"apt.dat"}), xplane::read_apt},
                {"nav.dat", find_file(folder, {"nav.dat", "earth_nav.dat"}), xplane::read_nav},
                {"fix.dat", find_file(folder, {"fix.dat", "earth_fix.dat"}), xplane::read_fix},
                {"awy.dat", find_file(folder, {"awy.dat", "earth_awy.dat"}), xplane::read_awy}};
    for (const Input& i : {in.files[0], in.files[1]})
        if (!i.file)
            throw Error(std::string(i.what) + w1252(" introuvable dans ") + path_text(folder));
    const fs::path cifp = folder / fs::path("CIFP");
    std::error_code ec;
    if (fs::is_directory(cifp, ec)) {
        in.cifp = cifp;
        in.procedures = procedure_files(cifp, in.passed_over);
    }
    return in;
}

// The import never writes over what it reads.
void check_output(const std::string& output, const std::string& folder, const Inputs& in,
                  const std::vector<BoundaryArg>& boundaries) {
    std::vector<std::string> read_paths{folder};
    for (const BoundaryArg& b : boundaries) read_paths.push_back(b.path);
    if (in.cifp) read_paths.push_back(in.cifp->string());
    for (const Input& i : in.files)
        if (i.file) read_paths.push_back(*i.file);
    for (const auto& p : in.procedures) read_paths.push_back(p.second);
    for (const std::string& p : read_paths)
        if (same_file(output, p))
            throw Error(w1252("--output nomme un fichier lu par l'import : ") + path_text(p));
}

double seconds_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// The files of the folder into `data`; apt.dat once, each airport's ground
// into `writer` as it comes, so that the world's ground is never held whole.
xplane::NavData read_inputs(const Inputs& in, xplane::DatabaseWriter& writer) {
    xplane::NavData data;
    for (const Input& i : in.files) {
        if (!i.file) {
            std::printf("%s : absent\n", i.what);
            continue;
        }
        const auto t = std::chrono::steady_clock::now();
        const bool apt = &i == &in.files[0];
        if (apt)
            xplane::read_apt_and_ground(
                *i.file, data, [&](const xplane::AirportGround& a) { writer.write_ground(a); });
        else
            i.read(*i.file, data);
        std::printf("%s : lu en %.1f s%s\n", cp1252_to_utf8(path_text(*i.file)).c_str(),
                    seconds_since(t), apt ? ", sol compris" : "");
        std::fflush(stdout);
    }
    if (const auto& odd = data.unpaired_runways; !odd.empty()) {
        std::string list;
        for (size_t i = 0; i < odd.size() && i < 20; ++i) list += (i ? ", " : "") + odd[i];
        std::printf(
            "attention : %zu pistes dont les extrémités ne s'apparient pas (numéros à 18 "
            "d'écart, L avec R), enregistrées mais jamais tracées : %s%s\n",
            odd.size(), cp1252_to_utf8(list).c_str(), odd.size() > 20 ? "..." : "");
    }
    if (!in.cifp) {
        std::printf("CIFP : absent\n");
    } else {
        std::printf("%s : %zu fichiers, lus avec l'écriture%s\n",
                    cp1252_to_utf8(path_text(in.cifp->string())).c_str(), in.procedures.size(),
                    in.passed_over ? (", " + std::to_string(in.passed_over) +
                                      " autres entrées laissées (ni fichier .dat lisible)")
                                         .c_str()
                                   : "");
    }
    return data;
}

// Every outline file, read before the database is begun.
std::vector<outlines::OutlineFile> read_boundaries(const std::vector<BoundaryArg>& boundaries) {
    std::vector<outlines::OutlineFile> files;
    for (const BoundaryArg& b : boundaries) {
        const auto t = std::chrono::steady_clock::now();
        files.push_back(outlines::read_outlines(b.path, b.attribution));
        std::printf("%s : lu en %.1f s\n", cp1252_to_utf8(path_text(b.path)).c_str(),
                    seconds_since(t));
        std::fflush(stdout);
    }
    return files;
}

// The share read of each file on standard error, once a second at most
// and at its end: on a terminal the line is rewritten in place.
void show_progress() {
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    auto last = std::chrono::steady_clock::now();
    xplane::LineReader::set_progress(
        [terminal, last](const std::string& path, double fraction) mutable {
            const auto now = std::chrono::steady_clock::now();
            if (fraction < 1 && now - last < std::chrono::seconds(1)) return;
            last = now;
            const std::string leaf = cp1252_to_utf8(path_text(fs::path(path).filename().string()));
            std::fprintf(stderr, terminal ? "\r%s : %3d %%%s" : "%s : %d %%%s\n", leaf.c_str(),
                         static_cast<int>(fraction * 100), terminal && fraction >= 1 ? "\n" : "");
            std::fflush(stderr);
        });
}

int run(int argc, char** argv) {
    const Arguments args = arguments(argc, argv);
    if (args.progress || ::isatty(STDERR_FILENO)) show_progress();
    const std::string& folder = args.folder;
    const std::string& output = args.output;
    const Inputs in = find_inputs(folder);
    check_output(output, folder, in, args.boundaries);
    const auto started = std::chrono::steady_clock::now();
    const std::vector<outlines::OutlineFile> boundaries = read_boundaries(args.boundaries);
    xplane::DatabaseWriter writer(output, [](const std::string& line) {
        std::printf("  %s\n", cp1252_to_utf8(line).c_str());
        std::fflush(stdout);
    });
    writer.begin_ground();
    const xplane::NavData data = read_inputs(in, writer);
    writer.write_navigation(data);
    xplane::read_cifp_files(in.procedures, [&](const std::vector<xplane::ProcedureRec>& batch) {
        writer.write_procedures(batch);
    });
    if (!boundaries.empty()) writer.write_outlines(boundaries);
    writer.finish();
    std::printf("%s : cycle %s, %.1f s\n", output.c_str(), data.cycle.c_str(),
                seconds_since(started));
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
