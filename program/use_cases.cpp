#include "program/use_cases.h"

#include <algorithm>
#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/regions.h"
#include "geography/geo_levels.h"
#include "program/startup.h"
#include "sector/airspace.h"
#include "sector/client_files.h"
#include "sector/own_lines.h"
#include "sector/positions.h"
#include "sector/sections.h"
#include "selection/ground_loader.h"
#include "selection/selection.h"

namespace karvel {

namespace {

// No name or ident is longer than this: a longer one comes from a damaged
// database, and is cut while the tables are read.
constexpr size_t kMaxText = 1024;
struct TextLimit {
    Query& query;
    explicit TextLimit(Query& q) : query(q) { query.set_text_limit(kMaxText); }
    ~TextLimit() { query.set_text_limit(0); }
    TextLimit(const TextLimit&) = delete;
    TextLimit& operator=(const TextLimit&) = delete;
};

std::string texts_cut_told(size_t cut) {
    return w1252("textes de plus de ") + std::to_string(kMaxText) + w1252(" octets coupés : ") +
           std::to_string(cut) + w1252(" (la base de données est-elle endommagée ?)");
}

// What a damaged database cost the selection: texts cut, records off the
// globe left out.
void tell_damage(const LoadContext& ctx, size_t texts_cut, Dialogs& dialogs) {
    if (texts_cut > 0) dialogs.message(texts_cut_told(texts_cut));
    if (ctx.off_globe_count > 0) {
        std::string told = w1252("laissés de côté, leur position n'est pas un point du globe :");
        for (const std::string& record : ctx.off_globe) told += "\n" + record;
        if (ctx.off_globe_count > ctx.off_globe.size())
            told +=
                "\net " + std::to_string(ctx.off_globe_count - ctx.off_globe.size()) + " autres";
        dialogs.message(told);
    }
}

// The outlines [AIRSPACE] left out, the first twenty named.
std::string sector_warnings(const std::vector<std::string>& warnings) {
    std::string told = w1252("contours laissés hors de [AIRSPACE] :");
    for (size_t i = 0; i < warnings.size() && i < 20; ++i) told += "\n" + warnings[i];
    if (warnings.size() > 20) told += "\net " + std::to_string(warnings.size() - 20) + " autres";
    return told;
}

}  // namespace

void select(AppState& state, const SelectionRequest& request, int geo_level, SelectionOutput& out) {
    SelectionDraft draft(state.frame);
    LoadContext ctx{state.db.Query1,
                    draft.nav,
                    draft.frame,
                    draft.lists,
                    out.progress,
                    draft.memo,
                    state.db.airway_levels,
                    state.db.outlines,
                    state.db.frequencies,
                    state.db.outline_classes,
                    state.db.outline_rings};
    Query& query = state.db.Query1;
    const size_t cut_before = query.texts_cut();
    {
        const TextLimit limit(query);
        if (const auto* a = std::get_if<AirportRequest>(&request))
            select_by_airport(ctx, state.map.client_height, a->icao, a->radius_nm);
        else
            select_by_region(ctx, state.map.client_height, std::get<RegionRequest>(request).code);
    }
    tell_damage(ctx, query.texts_cut() - cut_before, out.dialogs);
    load_geography(state.info.folder, draft.nav.geo_lines, geo_level, out.dialogs);
    draft.commit(state.nav, state.frame, out.lists, out.memo, geo_level != 0);
    state.selected = request;
}

OtherSelection selection_in(const std::string& database, const SelectionRequest& request,
                            Dialogs& dialogs) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fs_path(database), ec))
        throw Error(w1252("base de données introuvable : \"") + path_text(database) + "\"");
    AppState other;
    main_window_create(other, dialogs);
    map_window_created(other.map, other.frame, kMapClientWidth, kMapClientHeight);
    Settings& settings = other.settings;
    settings.odbc.driver = kBuiltinDriver;
    settings.odbc.filename = database;
    if (!open_database(other.db, settings, dialogs, other.info.folder, nullptr))
        throw Error(w1252("Echec de création du DSN"));
    // The data source goes with the selection, whatever becomes of it.
    struct Unregister {
        AppState& s;
        ~Unregister() { s.db.sources.remove_dsn(s.settings.odbc.driver, s.settings.odbc.dsn); }
    } unregister{other};
    NullView view;
    NullProgress progress;
    MemoLines memo;
    SelectionOutput out{view, progress, memo, dialogs};
    select(other, request, 0, out);
    return {std::move(other.nav), other.db.cycle_name};
}

std::string selection_caption(const AppState& state) {
    return state.selected ? selection_text(*state.selected) : std::string();
}

std::vector<std::string> choose_ground(AppState& state, const std::vector<std::string>& codes,
                                       MemoSink& memo) {
    if (!codes.empty() && !state.db.ground)
        throw Error(
            w1252("cette base de données n'a pas de plans au sol : importez-la de "
                  "nouveau avec karvel-import"));
    std::vector<std::string> without;
    Query& query = state.db.Query1;
    const size_t cut_before = query.texts_cut();
    Ground ground = [&] {
        const TextLimit limit(query);
        return read_ground(query, codes, without, state.db.ground_names);
    }();
    if (const size_t cut = query.texts_cut() - cut_before) memo.add_line(texts_cut_told(cut));
    for (const std::string& icao : codes) {
        if (std::find(without.begin(), without.end(), icao) != without.end()) {
            memo.add_line(icao + w1252(" : aucun plan au sol"));
            continue;
        }
        size_t areas = 0, lines = 0, stands = 0;
        for (const GroundShape& s : ground.shapes)
            if (s.airport == icao) ++(s.kind == GroundKind::line ? lines : areas);
        for (const Stand& s : ground.stands)
            if (s.airport == icao) ++stands;
        memo.add_line(icao + w1252(" : plan au sol de ") + std::to_string(areas) +
                      w1252(" surfaces, ") + std::to_string(lines) + " lignes, " +
                      std::to_string(stands) + " postes");
    }
    state.nav.ground = std::move(ground);
    return without;
}

std::string proposed_ground(const AppState& state) {
    std::string text;
    for (const std::string& icao : state.nav.ground.airports)
        text += (text.empty() ? "" : ", ") + icao;
    if (text.empty() && state.selected)
        if (const auto* a = std::get_if<AirportRequest>(&*state.selected)) text = a->icao;
    return text;
}

MagneticDate magnetic_date(const ProgramInfo& info, const std::optional<Date>& date,
                           Dialogs& dialogs) {
    const std::string path = info.folder + "/" + kMagneticModelFile;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fs_path(path), ec))
        throw Error(w1252("modèle magnétique introuvable : ") + path_text(path));
    MagneticDate m{MagneticModel::read(path), 0};
    const Date when = date.value_or(today());
    if (!m.model.covers(when)) {
        const std::string text = w1252("la date ") + date_text(when) +
                                 w1252(" est hors de la période du modèle magnétique (") +
                                 date_text(m.model.valid_from()) + w1252(" à ") +
                                 date_text(m.model.valid_to()) + ")";
        if (date) throw Error(text);
        dialogs.message(text + w1252(" : le nord magnétique est celui de cette date"));
    }
    m.year = decimal_year(when);
    return m;
}

void add_saved_files(OutputFiles& files, AppState& state, const SaveRequest& request,
                     Dialogs& dialogs) {
    const SavedFiles& paths = request.files;
    // The procedures' points outside the selection: named in the companion
    // file, defined in the client format's sector file.
    std::unordered_map<std::string, FIXE> outside;
    if (paths.ese || (paths.sector && request.client))
        outside = procedure_points(state.db.Query1, state.nav);
    // The user's own lines, read before anything is written.
    std::vector<OwnFile> own;
    if (request.client && (paths.sector || paths.ese)) {
        std::vector<std::string> unknown;
        own = read_own_lines(
            request.own_lines.value_or(own_lines_folder(paths.sector ? *paths.sector : *paths.ese)),
            unknown);
        if (!unknown.empty()) {
            std::string told = w1252(
                "fichiers laissés de côté, leur nom n'est pas celui d'une section (GEO.txt...) :");
            for (const std::string& f : unknown) told += "\n" + path_text(f);
            dialogs.message(told);
        }
    }
    if (paths.sector) {
        SectorFormat format;
        format.client = request.client;
        format.details = state.settings.details;
        format.version = state.info.version_caption;
        format.cycle = state.db.cycle_name;
        format.centrelines_nm = request.centrelines_nm;
        format.regions = request.client_file != ClientFile::sct;
        for (size_t i = 0; i < kGroundPaintCount; ++i)
            format.ground_colours[i] = state.settings.ground[i].color;
        if (request.client) {
            for (auto& [id, fix] : outside) format.outside_points.push_back(fix);
            // Sorted by their ID texts, whatever the hash table's order.
            std::sort(format.outside_points.begin(), format.outside_points.end(),
                      [](const FIXE& a, const FIXE& b) { return a.id < b.id; });
        }
        std::optional<MagneticDate> magnetic;
        if (request.client) {
            magnetic = magnetic_date(state.info, request.date, dialogs);
            format.magnetic = &magnetic->model;
            format.year = magnetic->year;
        }
        std::vector<std::string> lines;
        write_sector(lines, state.nav, state.frame, request.identity, format);
        add_own_lines(lines, own, kSectorSections);
        files.add(*paths.sector, sector_bytes(lines));
    }
    if (paths.ese) {
        std::vector<std::string> lines;
        const std::vector<Position> controllers =
            request.client ? positions(state.nav) : std::vector<Position>{};
        if (request.client) lines = position_lines(controllers);
        for (std::string& l : ese_lines(state.nav, outside)) lines.push_back(std::move(l));
        if (request.client) {
            for (std::string& l : freetext_lines(state.nav)) lines.push_back(std::move(l));
            AirspaceSection airspace =
                airspace_section(state.nav, controllers, request.sector_kinds);
            for (std::string& l : airspace.lines) lines.push_back(std::move(l));
            if (!airspace.warnings.empty()) dialogs.message(sector_warnings(airspace.warnings));
            add_own_lines(lines, own, kCompanionSections);
        }
        files.add(*paths.ese, sector_bytes(lines));
    }
    if (paths.geojson)
        files.add(
            *paths.geojson,
            geojson_text(state.nav, state.frame.box, state.settings.colours, state.settings.details,
                         state.settings.outlines.color, state.settings.ground));
}

bool save_selection(AppState& state, Dialogs& dialogs, SaveRequest request,
                    std::vector<std::string>* written) {
    const std::string folder = state.info.folder + "/secteurs";
    const std::string extension =
        request.client ? client_file_extension(request.client_file) : "sct";
    std::error_code ec;
    std::filesystem::create_directories(fs_path(folder), ec);  // a failure shows at the write
    const auto chosen =
        dialogs.save_file(extension, folder, sector_file_name(state.selected, extension),
                          w1252("Fichiers secteur (*.") + extension + ")|*." + extension +
                              w1252("|Tous les fichiers (*)|*"));
    if (!chosen) return false;
    SavedFiles& paths = request.files;
    paths = {*chosen, std::nullopt, std::nullopt};
    if (request.client) {
        // The SIDs and STARs beside it, for the radar client.
        std::filesystem::path ese(fs_path(*chosen));
        ese.replace_extension(".ese");
        paths.ese = ese.string();
        // And the selection for map tools.
        std::filesystem::path geojson(fs_path(*chosen));
        geojson.replace_extension(".geojson");
        paths.geojson = geojson.string();
    }
    OutputFiles files;
    add_saved_files(files, state, request, dialogs);
    files.commit();
    if (written) {
        written->push_back(*paths.sector);
        if (paths.ese) written->push_back(*paths.ese);
        if (paths.geojson) written->push_back(*paths.geojson);
    }
    return true;
}

}  // namespace karvel
