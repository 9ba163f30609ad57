#include "core/colours.h"

#include <array>
#include <cstdio>

#include "core/cp1252.h"
#include "core/numtext.h"

namespace karvel {
namespace {

struct Named {
    const char* name;
    uint32_t value;
};

constexpr uint32_t kSystem = 0x80000000u;

constexpr std::array<Named, 41> kIdentifiers = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", kSystem + 0},
    {"clBackground", kSystem + 1},
    {"clActiveCaption", kSystem + 2},
    {"clInactiveCaption", kSystem + 3},
    {"clMenu", kSystem + 4},
    {"clWindow", kSystem + 5},
    {"clWindowFrame", kSystem + 6},
    {"clMenuText", kSystem + 7},
    {"clWindowText", kSystem + 8},
    {"clCaptionText", kSystem + 9},
    {"clActiveBorder", kSystem + 10},
    {"clInactiveBorder", kSystem + 11},
    {"clAppWorkSpace", kSystem + 12},
    {"clHighlight", kSystem + 13},
    {"clHighlightText", kSystem + 14},
    {"clBtnFace", kSystem + 15},
    {"clBtnShadow", kSystem + 16},
    {"clGrayText", kSystem + 17},
    {"clBtnText", kSystem + 18},
    {"clInactiveCaptionText", kSystem + 19},
    {"clBtnHighlight", kSystem + 20},
    {"cl3DDkShadow", kSystem + 21},
    {"cl3DLight", kSystem + 22},
    {"clInfoText", kSystem + 23},
    {"clInfoBk", kSystem + 24},
}};

// The classic desktop scheme for the 25 system colours, as 0x00BBGGRR.
constexpr std::array<uint32_t, 25> kSystemScheme = {
    0xC8C8C8, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080,
    0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF};

}  // namespace

bool try_parse_colour(std::string_view text, TColor& colour) {
    for (const Named& n : kIdentifiers)
        if (equals_nocase(text, n.name)) {
            colour = static_cast<TColor>(n.value);
            return true;
        }
    int32_t v = 0;
    if (!try_str_to_int(text, v)) return false;
    colour = v;
    return true;
}

TColor parse_colour(std::string_view text) {
    TColor c = 0;
    if (!try_parse_colour(text, c)) str_to_int(text);  // throws the conversion error
    return c;
}

std::string colour_to_text(TColor colour) {
    for (const Named& n : kIdentifiers)
        if (static_cast<uint32_t>(colour) == n.value) return n.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(colour));
    return buf;
}

QColor to_qcolor(TColor colour) {
    auto v = static_cast<uint32_t>(colour);
    if (v & kSystem) {
        const uint32_t index = v & 0xFF;
        v = index < kSystemScheme.size() ? kSystemScheme[index] : 0;
    }
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

TColor from_qcolor(const QColor& c) {
    return static_cast<TColor>(static_cast<uint32_t>(c.red()) |
                               (static_cast<uint32_t>(c.green()) << 8) |
                               (static_cast<uint32_t>(c.blue()) << 16));
}

GeoColours::GeoColours(const std::vector<t_define>& details) {
    for (const t_define& d : details) {
        TColor c = 0;
        if (try_parse_colour(d.value, c)) entries_.push_back({&d.key, c});
    }
}

std::optional<TColor> GeoColours::find(const std::string& kind) const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (*it->kind == kind) return it->colour;
    return std::nullopt;
}

}  // namespace karvel
