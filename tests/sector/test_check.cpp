// The checker on a small sound sector file and companion file, then on each
// broken one: one fault each, found at its line with its code.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/error.h"
#include "sector/check.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

namespace {

const std::string kSector =
    "; essai\n#define coast 255\n[INFO]\nESSAI\nESSAI_CTR\nXXAA\nN045.00.00.000\nE005.00.00.000\n"
    "60\n42.4\n-2.0\n[VOR]\nABC 114.700 N045.00.00.000 E005.00.00.000 ;VOR\n[NDB]\n[FIXES]\n"
    "FIXA N045.10.00.000 E005.10.00.000\nFIXB N045.20.00.000 E005.20.00.000\n[AIRPORT]\n"
    "XXAA 118.000 N045.00.00.000 E005.00.00.000 D\n[RUNWAY]\n"
    "09 27 090 270 N045.00.00.000 E004.59.00.000 N045.00.00.000 E005.01.00.000 XXAA\n"
    "[SID]\nXXAA SID 1       FIXA FIXA FIXB FIXB\n[GEO]\n"
    "cote N045.00.00.000 E005.00.00.000 N045.10.00.000 E005.10.00.000 coast\n";
// Lines 2 and 3 positions, 5 a SID, 7 to 11 a sector line, 13 to 16 its sector.
const std::string kCompanion =
    "[POSITIONS]\nXXAA_TWR:Tour:118.000:AAT:T:XXAA:TWR:-:-:-:-:N045.00.00.000:E005.00.00.000\n"
    "XXAA_APP:Approche:121.000:AAA:A:XXAA:APP:-:-:-:-\n[SIDSSTARS]\nSID:XXAA:27:SID1:FIXA FIXB\n"
    "[AIRSPACE]\nSECTORLINE:L\nCOORD:N045.00.00.000:E005.00.00.000\nCOORD:N045.10.00.000:E005.00."
    "00.000\n"
    "COORD:N045.10.00.000:E005.10.00.000\nCOORD:N045.00.00.000:E005.00.00.000\n\n"
    "SECTOR:S:0:1500\nOWNER:AAT:AAA\nBORDER:L\nDEPAPT:XXAA\n";

struct Case {
    const char* what;
    std::string from, to;  // the text replaced, in the sector file or else the companion file
    size_t line;
    const char* code;
    bool error;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::vector<Finding> findings(const TempDir& dir, const std::string& sct, const std::string& ese,
                              const CheckOptions& options = {}) {
    write_bytes(dir.file("s.sct"), sct);
    write_bytes(dir.file("s.ese"), ese);
    std::vector<Finding> out;
    check_companion_file(dir.file("s.ese"), check_sector_file(dir.file("s.sct"), options, out),
                         out);
    return out;
}

}  // namespace

TEST(Checker, EachFaultAtItsLine) {
    TempDir dir;
    EXPECT_TRUE(findings(dir, kSector, kCompanion).empty());
    // A runway line without its airport's code is the nearest airport's.
    EXPECT_TRUE(findings(dir, replaced(kSector, " XXAA\n[SID]", "\n[SID]"), kCompanion).empty());
    const Case cases[] = {
        {"an undefined colour", "E005.10.00.000 coast", "E005.10.00.000 sea", 25, "couleur", true},
        {"a SID line through an undefined fix", "FIXB FIXB\n", "FIXC FIXC\n", 23, "point", true},
        {"a fix of two places named", "[AIRPORT]", "FIXA N046.10.00.000 E005.10.00.000\n[AIRPORT]",
         24, "ambigu", true},
        {"a line across 180", "N045.10.00.000 E005.10.00.000 coast",
         "N045.10.00.000 W179.50.00.000 coast", 25, "180", true},
        {"an [INFO] cut short", "60\n42.4\n-2.0\n", "", 3, "info", true},
        {"a point off the globe", "FIXB N045.20.00.000", "FIXB N095.20.00.000", 17, "coordonnee",
         true},
        {"a minute of 60", "FIXB N045.20.00.000", "FIXB N045.60.00.000", 17, "coordonnee", true},
        {"a label's semicolon is its text", "[GEO]\n",
         "[LABELS]\n\"A;B\" N045.00.00.000 E005.00.00.000 mer\n[GEO]\n", 25, "couleur", true},
        {"a colour that is no number", "#define coast 255", "#define coast bleu", 2, "couleur",
         true},
        {"an unknown section", "[NDB]", "[NDBS]", 14, "section", false},
        {"[INFO] after another section", "255\n[INFO]", "255\n[VOR]\n[INFO]", 4, "section", false},
        {"a STAR on a missing runway", "SID:XXAA:27:", "STAR:XXAA:18:", 5, "piste", true},
        {"a SID through an undefined point", ":SID1:FIXA FIXB", ":SID1:FIXA FIXZ", 5, "point",
         true},
        {"a border that does not close", "COORD:N045.00.00.000:E005.00.00.000\n\n", "\n", 14,
         "frontiere", true},
        {"an owner that is no position", "OWNER:AAT:AAA", "OWNER:AAT:ZZZ", 14, "proprietaire",
         true},
        {"a position identifier twice", ":121.000:AAA:", ":121.000:AAT:", 3, "double", true},
        {"a frequency no radio has", ":121.000:AAA:", ":150.000:AAA:", 3, "frequence", true},
        {"a larger sector first", "SECTOR:S:0:1500",
         "SECTOR:G:0:9000\nOWNER:AAA\nBORDER:G\nSECTOR:S:0:1500", 17, "ordre", false},
        {"a sector line across 180", "COORD:N045.10.00.000:E005.10.00.000",
         "COORD:N045.10.00.000:W179.00.00.000", 10, "180", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool in_sector = kSector.find(c.from) != std::string::npos;
        std::string ese = kCompanion;
        if (std::string(c.what) == "a larger sector first")
            ese =
                replaced(ese, "\n\n", "\nCIRCLE_SECTORLINE:G:N045.00.00.000:E005.00.00.000:50\n\n");
        const auto found = findings(dir, in_sector ? replaced(kSector, c.from, c.to) : kSector,
                                    in_sector ? ese : replaced(ese, c.from, w1252(c.to)));
        ASSERT_FALSE(found.empty());
        bool seen = false;
        for (const Finding& f : found)
            seen = seen || (f.code == c.code && f.line == c.line && f.error == c.error &&
                            f.file == dir.file(in_sector ? "s.sct" : "s.ese"));
        EXPECT_TRUE(seen) << finding_text(found.front());
    }
}

// Runway headings against the magnetic north: 090 on a runway due east is
// its true bearing, told apart; the magnetic one passes.
TEST(Checker, RunwayHeadingsTrueOrMagnetic) {
    TempDir dir;
    const MagneticModel model = MagneticModel::read(KARVEL_SOURCE_DIR "/runtime/WMM2025.COF");
    const double year = 2026.9;
    const CheckOptions options{&model, year};
    auto found = findings(dir, kSector, kCompanion, options);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(std::tuple(found[0].line, found[0].code, found[0].error),
              std::tuple(21ul, "cap", true));
    EXPECT_NE(found[0].message.find("vrai"), std::string::npos) << found[0].message;
    const double declination = model.declination(45, 4.99, year);
    const auto digits = [](double h) {
        const int v = static_cast<int>(std::lround(h));
        return std::string(v < 100 ? "0" : "") + std::to_string(v);
    };
    const std::string sound =
        replaced(kSector, "090 270", digits(90 - declination) + " " + digits(270 - declination));
    EXPECT_TRUE(findings(dir, sound, kCompanion, options).empty());

    // A file that is no text is refused, whatever it holds before.
    write_bytes(dir.file("b.sct"), std::string("[INFO]\n\0\x01", 9));
    std::vector<Finding> out;
    EXPECT_THROW(check_sector_file(dir.file("b.sct"), {}, out), Error);
}
