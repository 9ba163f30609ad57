#include "app/startup.h"

#include <filesystem>

#include "app/cp1252.h"
#include "app/numtext.h"
#include "app/regions.h"

namespace karvel {
std::string settings_path(const NavState& nav) {
    return nav.program_dir + "/karvel_params.ini";
}

std::string region_index_path(const NavState& nav) {
    return nav.program_dir + "/index_regions.txt";
}

void main_window_create(AppState& state, Dialogs& dialogs) {
    NavState& nav = state.nav;
    Settings& s = state.settings;
    MapView& map = state.map;

    nav.version_caption = kVersionCaption;
    std::error_code ec;
    nav.program_dir = from_fs_path(std::filesystem::current_path(ec));
    state.db.sources.cache_dir = nav.program_dir + "/cache";
    nav.region_lines.clear();
    nav.region_codes.clear();
    create_map_bitmap(map);

    run_command(dialogs, [&] {
        load_region_index(region_index_path(nav), nav.region_lines, nav.region_codes);
    });

    s.ini.open(settings_path(nav));
    run_command(dialogs, [&] { map.ring_step_nm = str_to_int(s.ini.read("screen", "eqdist")); });
    map.font_name = s.ini.read("caract", "style");
    run_command(dialogs, [&] { map.map_font_size = str_to_int(s.ini.read("caract", "size")); });
    s.list_style = s.ini.read("caract", "liststyle");
    run_command(dialogs, [&] { s.list_size = str_to_int(s.ini.read("caract", "listsize")); });
    run_command(dialogs, [&] { read_colours(s); });
    run_command(dialogs, [&] { read_details(s); });
    read_odbc(s);
}

std::string main_window_title(const NavState& nav) {
    return "Creation de fichier secteur  " + nav.version_caption;
}

void write_back_data_source(Settings& settings) {
    settings.ini.write("file", "DNS", settings.odbc.dsn);
    settings.ini.write("file", "filename", settings.odbc.filename);
}

}  // namespace karvel
