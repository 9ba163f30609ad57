// Colour values as the settings file writes them: one of the 41 colour
// identifiers (any letter case), or an integer in decimal or "$" hexadecimal.
#pragma once

#include <QColor>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace karvel {

// Throws Error "'text' n'est pas une valeur entière correcte" for a text that
// is neither an identifier nor an integer.
TColor parse_colour(std::string_view text);
bool try_parse_colour(std::string_view text, TColor& colour);

// The identifier when the value has one, "$00BBGGRR" otherwise; reads back
// through parse_colour.
std::string colour_to_text(TColor colour);

// The colour on screen; system colours take the classic desktop scheme.
QColor to_qcolor(TColor colour);
TColor from_qcolor(const QColor& colour);

// The map's cyan, the colour of a GEO kind no details entry colours.
inline constexpr TColor kGeoDefaultColour = 0x00FFFF00;

// The colours of the GEO kinds ("coast", "river", ...) from the details
// entries: the last entry of a kind whose value is a colour wins; an entry
// whose value is no colour is passed over. The values are read once.
class GeoColours {
  public:
    explicit GeoColours(const std::vector<t_define>& details);
    // The kind's colour, or nothing when no entry colours it.
    std::optional<TColor> find(const std::string& kind) const;
    // The kind's colour, cyan when no entry colours it.
    TColor of(const std::string& kind) const { return find(kind).value_or(kGeoDefaultColour); }

  private:
    struct Entry {
        const std::string* kind;
        TColor colour;
    };
    std::vector<Entry> entries_;
};

}  // namespace karvel
