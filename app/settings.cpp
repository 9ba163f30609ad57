#include "app/settings.h"

#include "app/colours.h"
#include "app/error.h"

namespace karvel {

void read_colours(Settings& s) {
    const std::vector<std::string> keys = s.ini.keys("couleur");
    for (int i = 0; i < kColourCount; ++i) {
        if (i >= static_cast<int>(keys.size()))
            throw Error("Index de liste hors limites (" + std::to_string(i) + ")");
        t_couleur& c = s.colours[static_cast<size_t>(i)];
        c.name = keys[static_cast<size_t>(i)];
        c.color = parse_colour(s.ini.read("couleur", c.name));
        c.visible = s.ini.read("afich", c.name) == "true";
    }
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
    s.odbc.filename = s.ini.read("file", "filename");
}

}  // namespace karvel
