// karvel-sct: writes a sector file without the windows, for batch work.
//
// It runs from the program folder (the current directory) like the program:
// the same settings file, region index and database, the same selection, GEO
// and writer. Errors go to standard error in one line; nothing is written
// then, and the exit code is not 0.
#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_dialogs.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/file_output.h"
#include "core/ini_file.h"
#include "core/magnetic.h"
#include "core/numtext.h"
#include "core/program_folder.h"
#include "map/render.h"
#include "program/app_state.h"
#include "program/requests.h"
#include "program/startup.h"
#include "program/use_cases.h"

namespace {

using namespace karvel;

const char* const kUsage =
    "usage: karvel-sct (--airport ICAO --radius NM | --region CODE) [options]\n"
    "\n"
    "Writes the sector file of one selection, as the program's window would,\n"
    "from the program folder (the current directory): karvel_params.ini,\n"
    "index_regions.txt, the database of the settings, geo/ and secteurs/.\n"
    "\n"
    "  --airport ICAO     select around this airport ...\n"
    "  --radius NM        ... within this radius in nautical miles (decimal digits,\n"
    "                     above 0)\n"
    "  --region CODE      select a region: a two-character code of index_regions.txt\n"
    "                     (any letter case); \"\" takes every airport, runway, ILS,\n"
    "                     SID and STAR, and the navaids, waypoints and airways\n"
    "                     whose region code is empty\n"
    "  --geo LEVEL        coastlines, lakes and rivers: 0 (none, default), 1, 2 or 3\n"
    "  --name TEXT        sector name       } the three identity lines of [INFO],\n"
    "  --callsign TEXT    controller call   } empty by default\n"
    "  --sector-icao TEXT sector ICAO code  }\n"
    "  --database FILE    use this SQLite or Access file instead of the settings'\n"
    "  --memo FILE        also write the path construction's memo lines there\n"
    "  --output FILE      the sector file (default secteurs/ and a name made from\n"
    "                     the selection, such as LFPG_50nm.sct); - for standard output\n"
    "  --picture FILE     draw the map of the selection into a PNG file, as the map\n"
    "                     window shows it after \"carte\" (no display needed); with\n"
    "                     it, --ese or --geojson the sector file is written only\n"
    "                     when --output is given\n"
    "  --picture-size WxH the picture's size in pixels (default 976x674, the map\n"
    "                     window's client area)\n"
    "  --client-format    the sector file as radar clients read it: colours\n"
    "                     defined, no blank [INFO] line (--name, --callsign and\n"
    "                     --sector-icao needed, none starting with ; [ or #), the\n"
    "                     magnetic variation at the centre (West positive),\n"
    "                     frequencies 000.000 where unknown, each runway end's\n"
    "                     magnetic heading on three digits with its airport,\n"
    "                     [LOW AIRWAY] and [HIGH AIRWAY] by level, no line across\n"
    "                     180 degrees (two lines meeting there), each [GEO] line\n"
    "                     in a named group, the airports' tower frequencies and\n"
    "                     airspace classes; its companion file (--ese) has the\n"
    "                     controllers' [POSITIONS], the [FREETEXT] names and the\n"
    "                     outlines as sectors in [AIRSPACE], owned by the\n"
    "                     positions\n"
    "  --keep DIR         the folder of your own lines, one file a section\n"
    "                     (GEO.txt, FREETEXT.txt, POSITIONS.txt, AIRSPACE.txt...),\n"
    "                     written at the end of that section of the files\n"
    "                     (default: the sector file's name with .d, such as\n"
    "                     secteurs/LFPG_50nm.d)\n"
    "  --sectors KIND[,KIND...]\n"
    "                     the kinds of outline that become sectors (FIR, UIR,\n"
    "                     CTA, TMA, CTR, ATZ; default all)\n"
    "  --client-format=sct2\n"
    "                     the same as a .sct2 file, with [REGIONS] and [LABELS]\n"
    "  --client-format=sct\n"
    "                     a .sct without [REGIONS] and [LABELS]: the ground's\n"
    "                     areas as [GEO] lines, its stands in [FREETEXT] only\n"
    "  --date YYYY-MM-DD  the date of the magnetic north (default today), within\n"
    "                     the magnetic model's span (WMM2025.COF of the folder)\n"
    "  --centrelines NM   extended runway centrelines, NM nautical miles out\n"
    "                     from each threshold, as [GEO] lines (colour centreline);\n"
    "                     0 for none\n"
    "  --ground ICAO[,ICAO...]\n"
    "                     the ground drawings of these airports from the database\n"
    "                     (imported from apt.dat): runways, taxiways and aprons as\n"
    "                     [REGIONS] in pieces without holes, taxi centrelines and\n"
    "                     hold lines in [GEO], stand names in [LABELS]; in the\n"
    "                     client format, the GeoJSON and the picture only\n"
    "  --ese FILE         the SIDs and STARs as [SIDSSTARS] lines of a companion file\n"
    "  --geojson FILE     the selection as GeoJSON (RFC 7946), for map tools\n"
    "  --help             this text\n"
    "\n"
    "Every waypoint, SID, STAR and airway of the selection is written. Text given\n"
    "here is UTF-8 and becomes Windows-1252 in the file (a character it cannot\n"
    "hold, or a control character, is refused). The files are written together\n"
    "or not at all, and never over the database, settings or region index.\n";

// The arguments as given; the texts a user types become requests (the
// window's too) once read whole.
struct Options {
    std::optional<std::string> airport, radius, region, database, memo, output, picture, ese,
        geojson, ground, date, centrelines, picture_size, sectors, keep;
    bool client_format = false;
    std::string client_file;  // after "--client-format="
    std::string geo = "0";
    std::string name, callsign, sector_icao;
};

// What the options ask, checked.
struct Requests {
    std::optional<AirportRequest> airport;  // else the region of Options::region
    SaveRequest save;
    std::vector<std::string> ground;
    int geo_level = 0;
    int picture_width = kMapClientWidth, picture_height = kMapClientHeight;
};

// "WxH", each side from 1 to 16384 pixels.
void parse_size(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    int32_t w = 0, h = 0;
    if (x == std::string::npos || text.find_first_not_of("0123456789xX") != std::string::npos ||
        !try_str_to_int(text.substr(0, x), w) || !try_str_to_int(text.substr(x + 1), h) || w < 1 ||
        h < 1 || w > 16384 || h > 16384)
        throw Error(w1252("--picture-size : largeur x hauteur en pixels, de 1 à 16384 (par "
                          "exemple 976x674), pas \"") +
                    text + "\"");
    width = w;
    height = h;
}

void check_options(const Options& o);

Options parse(int argc, char** argv) {
    Options o;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw Error(std::string(argv[i]) + " attend une valeur");
        return argv[++i];
    };
    const std::pair<const char*, std::optional<std::string>*> optional_texts[] = {
        {"--airport", &o.airport}, {"--radius", &o.radius},
        {"--region", &o.region},   {"--database", &o.database},
        {"--memo", &o.memo},       {"--output", &o.output},
        {"--picture", &o.picture}, {"--picture-size", &o.picture_size},
        {"--ese", &o.ese},         {"--geojson", &o.geojson},
        {"--date", &o.date},       {"--centrelines", &o.centrelines},
        {"--ground", &o.ground},   {"--sectors", &o.sectors},
        {"--keep", &o.keep}};
    const std::pair<const char*, std::string*> texts[] = {{"--geo", &o.geo},
                                                          {"--name", &o.name},
                                                          {"--callsign", &o.callsign},
                                                          {"--sector-icao", &o.sector_icao}};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        bool known = a == "--client-format" || a.rfind("--client-format=", 0) == 0;
        if (known) {
            o.client_format = true;
            o.client_file = a.size() > 15 ? a.substr(16) : "";
        }
        for (const auto& [option, target] : optional_texts)
            if (!known && a == option) *target = value(i), known = true;
        for (const auto& [option, target] : texts)
            if (!known && a == option) *target = value(i), known = true;
        if (!known) throw Error(w1252("option inconnue : ") + utf8_to_cp1252(a) + " (voir --help)");
    }
    check_options(o);
    return o;
}

// The options that go together.
void check_options(const Options& o) {
    if (o.region && (o.airport || o.radius))
        throw Error(w1252("--region ne va pas avec --airport ni --radius"));
    if (!o.region && (!o.airport || !o.radius))
        throw Error(w1252("il faut --airport et --radius, ou --region (voir --help)"));
    if (!o.client_format && (o.date || o.centrelines || o.sectors || o.keep))
        throw Error(std::string(o.date          ? "--date"
                                : o.centrelines ? "--centrelines"
                                : o.sectors     ? "--sectors"
                                                : "--keep") +
                    w1252(" va avec --client-format"));
    if (o.ground && !o.client_format && !o.geojson && !o.picture)
        throw Error(
            w1252("--ground va avec --client-format, --geojson ou --picture (le "
                  "format par défaut n'a pas de plan au sol)"));
    if (o.picture_size && !o.picture) throw Error(w1252("--picture-size va avec --picture"));
}

// The texts of the options as requests, refused as the window refuses
// them; the files are named later.
Requests requests_of(const Options& o) {
    Requests r;
    if (o.airport) r.airport = airport_request(*o.airport, *o.radius);
    if (!try_str_to_int(o.geo, r.geo_level) || r.geo_level < 0 || r.geo_level > 3)
        throw Error("--geo : 0, 1, 2 ou 3");
    if (o.picture_size) parse_size(*o.picture_size, r.picture_width, r.picture_height);
    SaveRequest& save = r.save;
    save.identity = identity_request(o.name, o.callsign, o.sector_icao, o.client_format);
    save.client = o.client_format;
    save.client_file = client_file_request(o.client_file);
    if (o.date) save.date = date_request(*o.date);
    if (o.centrelines) save.centrelines_nm = centrelines_request(*o.centrelines);
    if (o.sectors) save.sector_kinds = sector_kinds_request(*o.sectors);
    save.own_lines = o.keep;
    if (o.ground) r.ground = ground_request(*o.ground, true);
    return r;
}

// The files the command writes, each with the option naming it.
using Outputs = std::vector<std::pair<std::string, std::string>>;

Outputs outputs_of(const Options& o, const std::string& sector_path) {
    Outputs outputs;
    if (!sector_path.empty()) outputs.emplace_back("--output", sector_path);
    if (o.memo) outputs.emplace_back("--memo", *o.memo);
    if (o.picture) outputs.emplace_back("--picture", *o.picture);
    if (o.ese) outputs.emplace_back("--ese", *o.ese);
    if (o.geojson) outputs.emplace_back("--geojson", *o.geojson);
    return outputs;
}

// Nothing read is ever written over, and no two outputs share a file.
void check_outputs(const Outputs& outputs, const AppState& state) {
    const std::pair<std::string, std::string> inputs[] = {
        {w1252("la base de données"), state.settings.odbc.filename},
        {w1252("le fichier de réglages"), settings_path(state.info)},
        {w1252("l'index des régions"), region_index_path(state.info)}};
    for (size_t i = 0; i < outputs.size(); ++i) {
        const auto& [option, target] = outputs[i];
        for (const auto& [what, input] : inputs)
            if (target != "-" && same_file(target, input))
                throw Error(option + w1252(" nomme ") + what + " : " + path_text(target));
        for (size_t j = i + 1; j < outputs.size(); ++j)
            if (target == outputs[j].second ||
                (target != "-" && same_file(target, outputs[j].second)))
                throw Error(option + w1252(" et ") + outputs[j].first +
                            w1252(" nomment le même fichier : ") + path_text(target));
    }
}

// The map as "carte" shows it right after the selection, as PNG bytes. A
// headless command only reads the settings: the map's arithmetic failures
// are told on standard error, not written into the settings file.
QByteArray map_picture(AppState& state) {
    struct ConsoleErrors : ArithmeticErrors {
        void record(const std::string& key, const std::string& value) override {
            ConsoleDialogs::warn(w1252("carte, erreur de calcul : ") + key + "=" + value);
        }
    } errors;
    LabelCache labels;
    draw_map(state.map, labels,
             {state.nav, state.frame, state.settings.colours, state.settings.details,
              state.settings.outlines, state.settings.ground},
             errors);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!state.map.map_bitmap.save(&buffer, "PNG"))
        throw Error(w1252("l'image n'a pas pu être codée en PNG"));
    return png;
}

// Everything is prepared first, then put in place together: on any error
// no file changes.
void write_outputs(AppState& state, const Options& o, SaveRequest save, const MemoLines& memo,
                   Dialogs& dialogs) {
    OutputFiles files;
    if (o.picture) {
        const QByteArray png = map_picture(state);
        files.add(*o.picture, std::string_view(png.constData(), png.size()));
    }
    if (save.files.sector && !o.output) {
        std::error_code ec;
        std::filesystem::create_directories("secteurs", ec);
    }
    add_saved_files(files, state, save, dialogs);
    if (o.memo) {
        std::string text;
        for (const std::string& l : memo.lines) text += l + "\n";
        files.add(*o.memo, text);
    }
    files.commit();
}

int run(const Options& o) {
    Requests asked = requests_of(o);
    check_program_folder("karvel-sct");
    AppState state;
    ConsoleDialogs console;
    main_window_create(state, console);
    // A damaged settings file or region index was told in one line: a batch
    // run stops there rather than work from half its settings.
    if (console.errors > 0) return 1;
    // The map window's creation, for the view a selection sets.
    map_window_created(state.map, state.frame, asked.picture_width, asked.picture_height);
    // A date the magnetic model does not cover stops before anything.
    if (asked.save.date) magnetic_date(state.info, asked.save.date, console);
    // The region choice comes first: an invalid code stops before anything.
    const SelectionRequest selection = asked.airport ? SelectionRequest(*asked.airport)
                                                     : region_request(state.info, *o.region, true);
    Settings& settings = state.settings;
    if (o.database) {
        settings.odbc.driver = kBuiltinDriver;
        settings.odbc.filename = *o.database;
    }
    const std::string& file = settings.odbc.filename;
    std::error_code ec;
    if (file.empty() || !std::filesystem::exists(fs_path(file), ec))
        throw Error(w1252("base de données introuvable : \"") + path_text(file) + "\"");

    SavedFiles& saved = asked.save.files;
    saved = {std::nullopt, o.ese, o.geojson};
    if (o.output || !(o.picture || o.ese || o.geojson))
        saved.sector =
            o.output ? *o.output
                     : "secteurs/" + path_from_text(sector_file_name(
                                         selection, client_file_extension(asked.save.client_file)));
    const Outputs outputs = outputs_of(o, saved.sector.value_or(""));
    check_outputs(outputs, state);

    if (!open_database(state.db, settings, console, state.info.folder, nullptr))
        return 1;  // "Echec de création du DSN" was told
    Unregister unregister{state.db, settings.odbc};

    NullView view;
    NullProgress progress;
    MemoLines memo;
    SelectionOutput out{view, progress, memo, console};
    select(state, selection, asked.geo_level, out);
    if (o.ground)
        for (const std::string& icao : choose_ground(state, asked.ground, memo))
            ConsoleDialogs::warn(icao + w1252(" : aucun plan au sol dans la base"));
    write_outputs(state, o, asked.save, memo, console);

    // The files written, one a line, unless one of them went to standard output.
    bool to_stdout = false;
    for (const auto& output : outputs) to_stdout |= output.second == "-";
    if (!to_stdout)
        for (const auto& output : outputs)
            if (output.first != "--memo") std::printf("%s\n", output.second.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    karvel::ConsoleDialogs::program = "karvel-sct";
    if (karvel::print_help_if_asked(argc, argv, kUsage)) return 0;
    // Numbers keep "." whatever the locale. A picture needs the toolkit's
    // fonts: its offscreen platform draws them without a display.
    bool picture = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--picture") == 0) picture = true;
    std::unique_ptr<QCoreApplication> app;
    if (picture) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The toolkit's own notes (a runtime folder it would like, say) are
        // not this command's errors: standard error keeps one line of ours.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    karvel::remove_temporary_files_on_signals();
    try {
        Options o = parse(argc, argv);
        // Installed, it works in the user's program folder; paths given on
        // the command line keep meaning what they meant where it was called.
        const std::string called_from = enter_program_folder();
        if (!called_from.empty())
            for (std::optional<std::string>* p :
                 {&o.database, &o.memo, &o.output, &o.picture, &o.ese, &o.geojson, &o.keep})
                if (*p && **p != "-" && std::filesystem::path(**p).is_relative())
                    **p = (std::filesystem::path(called_from) / **p).string();
        return run(o);
    } catch (const Refusal& r) {
        ConsoleDialogs::warn(command_refusal(r));
        return 1;
    } catch (const std::exception& e) {
        ConsoleDialogs::warn(e.what());
        return 1;
    }
}
