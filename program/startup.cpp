#include "program/startup.h"

#include <filesystem>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"
#include "core/regions.h"
#include "navdb/database.h"

namespace karvel {
std::string settings_path(const ProgramInfo& info) {
    return info.folder + "/karvel_params.ini";
}

std::string region_index_path(const ProgramInfo& info) {
    return info.folder + "/index_regions.txt";
}

void main_window_create(AppState& state, Dialogs& dialogs) {
    ProgramInfo& info = state.info;
    Settings& s = state.settings;
    MapView& map = state.map;

    info.version_caption = kVersionCaption;
    std::error_code ec;
    info.folder = from_fs_path(std::filesystem::current_path(ec));
    state.db.sources.cache_dir = info.folder + "/cache";
    info.region_lines.clear();
    info.region_codes.clear();
    create_map_bitmap(map);

    run_command(dialogs, [&] {
        load_region_index(region_index_path(info), info.region_lines, info.region_codes);
    });

    const std::string settings_file = settings_path(info);
    s.ini.open(settings_file);
    read_odbc(s);
    if (!std::filesystem::is_regular_file(fs_path(settings_file), ec)) {
        // One message for the file, not one for each of its values.
        dialogs.error(w1252("Le fichier de réglages \"") + path_text(settings_file) +
                      w1252("\" est introuvable : la carte n'a ni couleurs ni police, et la base "
                            "de données est à choisir."));
        return;
    }
    // Each step runs whatever the others do; what fails is told once, together.
    std::vector<std::string> faults;
    auto step = [&](auto&& body) {
        try {
            body();
        } catch (const std::exception& e) {
            faults.push_back(e.what());
        }
    };
    auto number = [&](const char* section, const char* key) {
        try {
            return str_to_int(s.ini.read(section, key));
        } catch (const Error& e) {
            throw Error(std::string("[") + section + "] " + key + " : " + e.what());
        }
    };
    step([&] { state.frame.view.ring_step_nm = number("screen", "eqdist"); });
    map.font_name = s.ini.read("caract", "style");
    step([&] { map.map_font_size = number("caract", "size"); });
    s.list_style = s.ini.read("caract", "liststyle");
    step([&] { s.list_size = number("caract", "listsize"); });
    step([&] { read_colours(s); });
    step([&] { read_details(s); });
    if (faults.empty()) return;
    std::string text =
        w1252("Le fichier de réglages \"") + path_text(settings_file) + w1252("\" est endommagé :");
    for (const std::string& f : faults) text += "\n" + f;
    dialogs.error(text);
}

std::string main_window_title(const ProgramInfo& info) {
    return "Creation de fichier secteur  " + info.version_caption;
}

void write_back_data_source(Settings& settings) {
    settings.ini.write("file", "DNS", settings.odbc.dsn);
    settings.ini.write("file", "filename", stored_path(settings.odbc.filename));
}

}  // namespace karvel
