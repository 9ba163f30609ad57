#include "core/settings.h"

#include "core/colours.h"
#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

namespace karvel {

void read_colours(Settings& s) {
    const std::vector<std::string> keys = s.ini.keys("couleur");
    for (int i = 0; i < kColourCount; ++i) {
        if (i >= static_cast<int>(keys.size()))
            throw Error(w1252("[couleur] : ") + std::to_string(keys.size()) +
                        w1252(" couleurs au lieu de 20"));
        t_couleur& c = s.colours[static_cast<size_t>(i)];
        c.name = keys[static_cast<size_t>(i)];
        try {
            c.color = parse_colour(s.ini.read("couleur", c.name));
        } catch (const Error& e) {
            throw Error("[couleur] " + c.name + " : " + e.what());
        }
        c.visible = s.ini.read("afich", c.name) == "true";
    }
    const std::string colour = s.ini.read("contours", "couleur", "");
    try {
        if (!colour.empty()) s.outlines.color = parse_colour(colour);
    } catch (const Error& e) {
        throw Error(std::string("[contours] couleur : ") + e.what());
    }
    const std::string shown = s.ini.read("contours", "afich", "");
    if (!shown.empty()) s.outlines.visible = shown == "true";
    for (t_couleur& c : s.ground) {
        const std::string value = s.ini.read("sol", c.name, "");
        try {
            if (!value.empty()) c.color = parse_colour(value);
        } catch (const Error& e) {
            throw Error("[sol] " + c.name + " : " + e.what());
        }
    }
    const std::string ground_shown = s.ini.read("sol", "afich", "");
    if (!ground_shown.empty())
        for (t_couleur& c : s.ground) c.visible = ground_shown == "true";
}

std::array<t_couleur, kGroundPaintCount> default_ground_colours() {
    std::array<t_couleur, kGroundPaintCount> colours;
    for (size_t i = 0; i < kGroundPaintCount; ++i) {
        const GroundPaintInfo& info = ground_paint_info(static_cast<GroundPaint>(i));
        colours[i] = {info.key, info.colour, true};
    }
    return colours;
}

void read_details(Settings& s) {
    const std::vector<std::string> keys = s.ini.keys("detail");
    s.details.clear();
    s.details.reserve(keys.size());
    for (const std::string& k : keys) s.details.push_back({k, s.ini.read("detail", k)});
}

void read_odbc(Settings& s) {
    s.odbc.driver = s.ini.read("file", "driver");
    s.odbc.dsn = s.ini.read("file", "DNS");
    s.odbc.description = s.ini.read("file", "description");
    s.odbc.filename = path_from_text(s.ini.read("file", "filename"));  // a path of the system
}

void SettingsErrors::record(const std::string& key, const std::string& value) {
    try {
        ini_.write("erreur", key, value);
    } catch (const std::exception&) {
        // Nothing is shown for the map's arithmetic failures.
    }
}

}  // namespace karvel
