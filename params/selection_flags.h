// What the parameters dialog shows and changes of the export flags: the
// items of its four lists with their check marks, and the toggle buttons.
#pragma once

#include <string>
#include <vector>

#include "core/model.h"

namespace karvel {

struct CheckItems {
    std::vector<std::string> texts;
    std::vector<bool> checked;
};

// SIDs and STARs: "icao-name", item i checked when entry i is selected.
CheckItems procedure_items(const std::vector<ROUTE>& procedures);

// Airways by name and waypoints by ident: each entry in turn sets the mark
// of the first item bearing its text (letter case aside), so of two entries
// with one name the first item shows the last one's flag.
CheckItems airway_items(const std::vector<ROUTE>& airways);
CheckItems waypoint_items(const std::vector<FIXE>& waypoints);

// Airspace outlines: "name (kind)", item i checked when entry i is selected.
CheckItems outline_items(const std::vector<Outline>& outlines);

// The two captions of a toggle button.
struct ToggleCaptions {
    const char* all_selected;  // shown while everything is selected: "aucun ..."
    const char* deselected;    // shown after everything was deselected: "tous les ..."
};
inline constexpr ToggleCaptions kToggleSid{"aucun SID", "tous les SID"};
inline constexpr ToggleCaptions kToggleStar{"aucun STAR", "tous les STAR"};
inline constexpr ToggleCaptions kToggleAirway{"aucun AIRWAY", "Tous les AIRWAYS"};
inline constexpr ToggleCaptions kToggleFix{"aucun FIXES", "tous les FIXES"};
inline constexpr ToggleCaptions kToggleOutline{"aucun contour", "tous les contours"};

// One click of a toggle button whose list holds `items` items: selects (or,
// while the caption is the all-selected one, deselects) entries 0 to items-1.
// Returns the new state of those items and sets `caption`.
template <class Table>
bool toggle_selection(std::string& caption, const ToggleCaptions& captions, Table& table,
                      size_t items) {
    const bool select = caption != captions.all_selected;
    for (size_t i = 0; i < items && i < table.size(); ++i) table[i].selected = select;
    caption = select ? captions.all_selected : captions.deselected;
    return select;
}

}  // namespace karvel
