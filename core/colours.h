// Colour values as the settings file writes them: one of the 41 colour
// identifiers (any letter case), or an integer in decimal or "$" hexadecimal.
#pragma once

#include <QColor>
#include <string>
#include <string_view>

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

}  // namespace karvel
