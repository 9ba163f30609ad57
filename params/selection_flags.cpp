#include "params/selection_flags.h"

#include "core/cp1252.h"

namespace karvel {

namespace {

// Marks through the first item bearing each entry's text.
template <class Table, class Text>
CheckItems first_match_items(const Table& table, Text&& text_of) {
    CheckItems out;
    out.texts.reserve(table.size());
    for (const auto& e : table) out.texts.push_back(text_of(e));
    out.checked.assign(table.size(), false);
    // The first position of each text, letter case aside.
    std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> first;
    for (size_t i = 0; i < out.texts.size(); ++i) first.try_emplace(out.texts[i], i);
    for (const auto& e : table) out.checked[first.find(text_of(e))->second] = e.selected;
    return out;
}

}  // namespace

CheckItems procedure_items(const std::vector<ROUTE>& procedures) {
    CheckItems out;
    out.texts.reserve(procedures.size());
    for (const ROUTE& p : procedures) {
        out.texts.push_back(p.icao + "-" + p.name);
        out.checked.push_back(p.selected);
    }
    return out;
}

CheckItems outline_items(const std::vector<Outline>& outlines) {
    CheckItems out;
    out.texts.reserve(outlines.size());
    for (const Outline& o : outlines) {
        out.texts.push_back(o.name + " (" + o.kind + ")");
        out.checked.push_back(o.selected);
    }
    return out;
}

CheckItems airway_items(const std::vector<ROUTE>& airways) {
    return first_match_items(airways, [](const ROUTE& a) -> const std::string& { return a.name; });
}

CheckItems waypoint_items(const std::vector<FIXE>& waypoints) {
    return first_match_items(waypoints,
                             [](const FIXE& f) -> const std::string& { return f.ident; });
}

}  // namespace karvel
