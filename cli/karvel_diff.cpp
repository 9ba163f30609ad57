// karvel-diff: what changed in one selection between two navigation
// databases, an older cycle and a newer one. It runs from the program
// folder like karvel-sct, selects the same airport and radius or region in
// each database, and prints the changes grouped by kind, counts first.
// Exit status 0 when nothing changed, 1 when something did, 2 on an error.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_dialogs.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/numtext.h"
#include "core/program_folder.h"
#include "core/sinks.h"
#include "map/view.h"
#include "program/app_state.h"
#include "program/cycle_diff.h"
#include "program/requests.h"
#include "program/startup.h"
#include "program/use_cases.h"

using namespace karvel;

namespace {

const char* const kUsage =
    "usage : karvel-diff ANCIENNE NOUVELLE (--airport OACI --radius NM | --region CODE)\n"
    "\n"
    "Ce qui a changé dans une sélection d'une base de navigation à la suivante\n"
    "(SQLite ou Access) : aéroports, seuils de piste (déplacés, renumérotés), ILS,\n"
    "balises (déplacées, fréquence, type), points, segments de routes aériennes et\n"
    "leurs niveaux, SID et STAR, espaces, fréquences des aéroports. Les comptes par\n"
    "genre d'abord, puis chaque changement. Se lance dans le dossier du programme,\n"
    "comme karvel-sct.\n"
    "\n"
    "  --airport OACI --radius NM  autour d'un aéroport\n"
    "  --region CODE               une région de index_regions.txt\n"
    "  --keep DOSSIER              vos lignes (par défaut secteurs/LFPG_50nm.d pour\n"
    "                              LFPG 50 NM) : celles qui nomment un point que la\n"
    "                              nouvelle base n'a plus\n"
    "  --geojson FICHIER           les changements pour un outil de carte : chaque\n"
    "                              place d'avant et d'après, le genre, le changement\n"
    "                              et la ligne du rapport\n"
    "\n"
    "Statut de sortie : 0 sans changement, 1 avec, 2 en cas d'erreur.\n";

struct Options {
    std::string before, after;
    std::optional<std::string> airport, radius, region, geojson, keep;
};

Options options(int argc, char** argv) {
    Options o;
    // A path stays as the system gives it; a code or a number is text.
    const auto value = [&](int& i, const char* name, bool text = true) {
        if (i + 1 >= argc) throw Error(std::string(name) + " attend une valeur");
        ++i;
        return text ? utf8_to_cp1252(argv[i]) : std::string(argv[i]);
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--airport")
            o.airport = value(i, "--airport");
        else if (a == "--radius")
            o.radius = value(i, "--radius");
        else if (a == "--region")
            o.region = value(i, "--region");
        else if (a == "--keep")
            o.keep = value(i, "--keep", false);
        else if (a == "--geojson")
            o.geojson = value(i, "--geojson", false);
        else if (a.rfind("--", 0) == 0)
            throw Error(w1252("option inconnue : ") + utf8_to_cp1252(a) + " (voir --help)");
        else if (o.before.empty())
            o.before = a;
        else if (o.after.empty())
            o.after = a;
        else
            throw Error(w1252("deux bases de données, l'ancienne puis la nouvelle (voir --help)"));
    }
    if (o.after.empty())
        throw Error(w1252("deux bases de données, l'ancienne puis la nouvelle (voir --help)"));
    if (o.region.has_value() == (o.airport.has_value() || o.radius.has_value()) ||
        o.airport.has_value() != o.radius.has_value())
        throw Error(w1252("--airport et --radius, ou --region (voir --help)"));
    return o;
}

int run(const Options& o) {
    check_program_folder("karvel-diff");
    if (o.geojson)
        for (const std::string* db : {&o.before, &o.after})
            if (same_file(*o.geojson, *db))
                throw Error(w1252("--geojson nomme une des bases : ") + path_text(*o.geojson));
    ConsoleDialogs console;
    AppState program;  // the settings and the region index, for the request
    main_window_create(program, console);
    if (console.errors > 0) return 2;  // a damaged settings file or region index was told
    const SelectionRequest request = o.airport
                                         ? SelectionRequest(airport_request(*o.airport, *o.radius))
                                         : region_request(program.info, *o.region, true);
    const OtherSelection before = selection_in(o.before, request, console);
    const OtherSelection after = selection_in(o.after, request, console);
    const std::vector<Change> changes = cycle_changes(before.nav, after.nav);
    if (o.geojson) {
        OutputFiles files;
        files.add(*o.geojson, changes_geojson(changes));
        files.commit();
    }
    const std::string selection = selection_text(request);
    std::printf("%s\n", cp1252_to_utf8((selection.empty() ? "toute la base" : selection) +
                                       " : cycle " + before.cycle + " puis " + after.cycle)
                            .c_str());
    for (const std::string& line : change_report(changes))
        std::printf("%s\n", cp1252_to_utf8(line).c_str());
    std::vector<std::string> unknown;
    const std::string folder =
        o.keep.value_or(own_lines_folder("secteurs/" + sector_file_name(request, "sct")));
    const auto gone = own_lines_gone(read_own_lines(folder, unknown), before.nav, after.nav);
    if (!gone.empty()) std::printf("%s\n", cp1252_to_utf8(w1252("[vos lignes]")).c_str());
    for (const std::string& line : gone) std::printf("  %s\n", cp1252_to_utf8(line).c_str());
    return changes.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    ConsoleDialogs::program = "karvel-diff";
    if (print_help_if_asked(argc, argv, kUsage)) return 0;
    try {
        Options o = options(argc, argv);
        const std::string called_from = enter_program_folder();
        std::vector<std::string*> paths{&o.before, &o.after};
        if (o.geojson) paths.push_back(&*o.geojson);
        if (o.keep) paths.push_back(&*o.keep);
        if (!called_from.empty())
            for (std::string* p : paths)
                if (std::filesystem::path(*p).is_relative())
                    *p = (std::filesystem::path(called_from) / *p).string();
        return run(o);
    } catch (const Refusal& r) {
        ConsoleDialogs::warn(command_refusal(r));
    } catch (const std::exception& e) {
        ConsoleDialogs::warn(e.what());
    }
    return 2;
}
