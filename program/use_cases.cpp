#include "program/use_cases.h"

#include <algorithm>
#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/regions.h"
#include "geography/geo_levels.h"
#include "sector/client_files.h"
#include "selection/ground_loader.h"
#include "selection/selection.h"

namespace karvel {

RegionChoice region_at(const ProgramInfo& info, size_t index) {
    return {info.region_codes.at(index), info.region_lines.at(index)};
}

RegionChoice region_by_code(const ProgramInfo& info, const std::string& typed) {
    const int p = typed.size() == 2 ? find_region_code(info.region_codes, typed) : -1;
    if (p < 0) throw Error("code invalide");
    return region_at(info, static_cast<size_t>(p));
}

int32_t radius_from_text(const std::string& text) {
    const int32_t radius = str_to_int(text);
    if (radius <= 0)
        throw Error(w1252("Le rayon de la sélection doit être un nombre de milles différent de 0"));
    return radius;
}

namespace {

// Loads a selection aside with `select`, then the geography, and commits
// both only when everything has loaded.
template <class Select>
void load_selection(AppState& state, int geo_level, SelectionOutput& out, Select&& select) {
    SelectionDraft draft(state.frame);
    LoadContext ctx{state.db.Query1, draft.nav,  draft.frame,           draft.lists,
                    out.progress,    draft.memo, state.db.airway_levels, state.db.outlines};
    // No name or ident is longer than this: a longer one comes from a
    // damaged database, and is cut.
    constexpr size_t kMaxText = 1024;
    Query& query = state.db.Query1;
    const size_t cut_before = query.texts_cut();
    query.set_text_limit(kMaxText);
    try {
        select(ctx, draft.frame);
    } catch (...) {
        query.set_text_limit(0);
        throw;
    }
    query.set_text_limit(0);
    if (const size_t cut = query.texts_cut() - cut_before; cut > 0)
        out.dialogs.message(w1252("textes de plus de ") + std::to_string(kMaxText) +
                            w1252(" octets coupés : ") + std::to_string(cut) +
                            w1252(" (la base de données est-elle endommagée ?)"));
    if (ctx.off_globe_count > 0) {
        std::string told = w1252("laissés de côté, leur position n'est pas un point du globe :");
        for (const std::string& record : ctx.off_globe) told += "\n" + record;
        if (ctx.off_globe_count > ctx.off_globe.size())
            told += "\net " + std::to_string(ctx.off_globe_count - ctx.off_globe.size()) + " autres";
        out.dialogs.message(told);
    }
    load_geography(state.info.folder, draft.nav.geo_lines, geo_level, out.dialogs);
    draft.commit(state.nav, state.frame, out.lists, out.memo, geo_level != 0);
}

}  // namespace

void select_airport(AppState& state, const std::string& icao, const std::string& radius_text,
                    int geo_level, SelectionOutput& out) {
    const int32_t radius = radius_from_text(radius_text);  // before anything changes
    load_selection(state, geo_level, out, [&](LoadContext& ctx, SelectionFrame& frame) {
        frame.text = icao + ":" + radius_text + "nm";
        select_by_airport(ctx, state.map.client_height, icao, radius);
    });
}

void select_region(AppState& state, const RegionChoice& region, int geo_level,
                   SelectionOutput& out) {
    load_selection(state, geo_level, out, [&](LoadContext& ctx, SelectionFrame& frame) {
        frame.text = region.line;
        select_by_region(ctx, state.map.client_height, region.code);
    });
}

std::vector<std::string> choose_ground(AppState& state, const std::string& text, MemoSink& memo) {
    const std::vector<std::string> codes = ground_codes(text);  // before anything changes
    if (!codes.empty() && !state.db.ground)
        throw Error(w1252("cette base de données n'a pas de plans au sol : importez-la de "
                          "nouveau avec karvel-import"));
    std::vector<std::string> without;
    Ground ground = read_ground(state.db.Query1, codes, without);
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
    const std::string& selection = state.frame.text;  // "LFPG:50nm" by airport
    if (const size_t colon = selection.find(':');
        text.empty() && colon != std::string::npos && selection.ends_with("nm"))
        text = selection.substr(0, colon);
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

void add_saved_files(OutputFiles& files, AppState& state, const SavedFiles& paths,
                     const SaveOptions& options, Dialogs& dialogs) {
    // The procedures' points outside the selection: named in the companion
    // file, defined in the client format's sector file.
    std::unordered_map<std::string, FIXE> outside;
    if (paths.ese || (paths.sector && options.client))
        outside = procedure_points(state.db.Query1, state.nav);
    if (paths.sector) {
        SectorFormat format;
        format.client = options.client;
        format.details = state.settings.details;
        format.version = state.info.version_caption;
        format.centrelines_nm = options.centrelines_nm;
        for (size_t i = 0; i < kGroundPaintCount; ++i)
            format.ground_colours[i] = state.settings.ground[i].color;
        if (options.client) {
            for (auto& [id, fix] : outside) format.outside_points.push_back(fix);
            // Sorted by their ID texts, whatever the hash table's order.
            std::sort(format.outside_points.begin(), format.outside_points.end(),
                      [](const FIXE& a, const FIXE& b) { return a.id < b.id; });
        }
        std::optional<MagneticDate> magnetic;
        if (options.client) {
            magnetic = magnetic_date(state.info, options.date, dialogs);
            format.magnetic = &magnetic->model;
            format.year = magnetic->year;
        }
        std::vector<std::string> lines;
        write_sector(lines, state.nav, state.frame, options.identity, format);
        files.add(*paths.sector, sector_bytes(lines));
    }
    if (paths.ese) files.add(*paths.ese, sector_bytes(ese_lines(state.nav, outside)));
    if (paths.geojson)
        files.add(*paths.geojson,
                  geojson_text(state.nav, state.frame.box, state.settings.colours,
                               state.settings.details, state.settings.outlines.color,
                               state.settings.ground));
}

bool save_selection(AppState& state, Dialogs& dialogs, const SaveOptions& options,
                    std::vector<std::string>* written) {
    const std::string folder = state.info.folder + "/secteurs";
    std::error_code ec;
    std::filesystem::create_directories(fs_path(folder), ec);  // a failure shows at the write
    const auto chosen = dialogs.save_file(
        "sct", folder, proposed_file_name(state.frame.text),
        w1252("Fichiers secteur (*.sct)|*.sct|Tous les fichiers (*)|*"));
    if (!chosen) return false;
    SavedFiles paths{*chosen, std::nullopt, std::nullopt};
    if (options.client) {
        // The SIDs and STARs beside it, for the radar client.
        std::filesystem::path ese(fs_path(*chosen));
        ese.replace_extension(".ese");
        paths.ese = ese.string();
    }
    OutputFiles files;
    add_saved_files(files, state, paths, options, dialogs);
    files.commit();
    if (written) {
        written->push_back(*paths.sector);
        if (paths.ese) written->push_back(*paths.ese);
    }
    return true;
}

std::string proposed_file_name(const std::string& selection_text) {
    std::string stem;
    if (const size_t colon = selection_text.find(':');
        colon != std::string::npos && selection_text.ends_with("nm"))
        stem = selection_text.substr(0, colon) + "_" + selection_text.substr(colon + 1);
    else
        stem = selection_text.substr(0, selection_text.find(' '));
    if (stem.empty()) stem = "tout";
    return safe_file_stem(stem) + ".sct";
}

std::string safe_file_stem(std::string stem) {
    for (char& c : stem)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || static_cast<unsigned char>(c) < 32)
            c = '_';
    return stem;
}

}  // namespace karvel
