#include "selection/frequency_loader.h"

#include <unordered_map>

namespace karvel {

void load_frequencies(LoadContext& ctx) {
    NavTables& nav = ctx.nav;
    nav.frequencies.clear();
    if (!ctx.frequencies || nav.airports.empty()) return;
    std::unordered_map<std::string, std::vector<AirportFrequency>> by_airport;
    Query& q = ctx.query;
    // 500 airports a statement: the whole world is 38,000.
    for (size_t from = 0; from < nav.airports.size(); from += 500) {
        std::string list;
        for (size_t i = from; i < std::min(nav.airports.size(), from + 500); ++i) {
            if (!list.empty()) list += ',';
            list += sql_quoted(nav.airports[i].id);
        }
        q.set_sql({"select airportID,kind,khz,name from airportfreqs",
                   "where airportID in (" + list + ")", "order by airportID,rowid"});
        q.open();
        const int f_id = q.field_index("airportID"), f_kind = q.field_index("kind"),
                  f_khz = q.field_index("khz"), f_name = q.field_index("name");
        for (q.first(); !q.eof(); q.next()) {
            const int kind = q.integer(f_kind), khz = q.integer(f_khz);
            if (kind < 0 || kind >= kFrequencyKindCount || khz < 108000 || khz > 137000) continue;
            by_airport[q.text(f_id)].push_back(
                {q.text(f_id), static_cast<FrequencyKind>(kind), khz, q.text(f_name)});
        }
        q.close();
        q.clear_sql();
    }
    for (const Airport& a : nav.airports)
        if (const auto it = by_airport.find(a.id); it != by_airport.end())
            for (AirportFrequency& f : it->second) nav.frequencies.push_back(std::move(f));
}

}  // namespace karvel
