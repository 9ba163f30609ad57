// What the program reads from its settings file at start-up.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/ground.h"
#include "core/ini_file.h"
#include "core/model.h"
#include "core/sinks.h"

namespace karvel {

inline constexpr int kColourCount = 20;

// The display elements the program addresses by their position in the
// colour table (the settings file's [couleur] keys, in order).
namespace colour {
inline constexpr int background = 0, vor = 1, ndb = 2, fixes = 3, airport = 4, runway = 5, sid = 6,
                     star = 7, airway = 9, geo = 13, rings = 14, measure = 15;
}

// The airspace outlines' colour where the settings name none.
inline constexpr TColor kOutlineDefaultColour = 0x00FF78C8;

// The ground's paints in their default colours, shown.
std::array<t_couleur, kGroundPaintCount> default_ground_colours();

struct Settings {
    IniFile ini;  // open for the whole run
    std::array<t_couleur, kColourCount> colours;
    // The airspace outlines: a setting of its own, section [contours] keys
    // "couleur" and "afich", outside the 20 element colours (a settings
    // file with it stays readable where only the 20 are known).
    t_couleur outlines{"contours", kOutlineDefaultColour, true};
    // The airports' ground drawings: section [sol], a colour for each paint
    // ("piste", "dur", "herbe", "axe", "arret", "poste") and "afich" for
    // the whole layer.
    std::array<t_couleur, kGroundPaintCount> ground = default_ground_colours();
    std::vector<t_define> details;
    t_ODBC odbc;
    std::string list_style;
    int32_t list_size = 0;
};

// Element i takes the i-th key of [couleur], its colour, and whether [afich]
// says exactly "true". Throws at the first missing key or bad colour value;
// the elements before it stay set. Then the outlines' colour and whether
// they are shown, where [contours] says, and the ground's, where [sol]
// says (kept as they are otherwise).
void read_colours(Settings& settings);
void read_details(Settings& settings);
void read_odbc(Settings& settings);

// Arithmetic failures go into the settings file's section "erreur"; a file
// that cannot be written loses them silently (nothing is shown).
class SettingsErrors : public ArithmeticErrors {
  public:
    explicit SettingsErrors(IniFile& ini) : ini_(ini) {}
    void record(const std::string& key, const std::string& value) override;

  private:
    IniFile& ini_;
};

}  // namespace karvel
