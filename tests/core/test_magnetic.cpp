// The world magnetic model against NOAA's official test values, and the
// dates it is taken at.
#include <gtest/gtest.h>

#include <sstream>

#include "core/error.h"
#include "core/magnetic.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

TEST(MagneticModel, TheOfficialTestValuesAndTheSignEitherSideOfTheAgonicLine) {
    const MagneticModel model = MagneticModel::read(KARVEL_SOURCE_DIR "/runtime/WMM2025.COF");
    // NOAA's test values (public domain), kept beside the test.
    std::istringstream values(source_file("tests/core/data/WMM2025_test_values.csv"));
    std::string line;
    std::getline(values, line);  // date,alt,lat,lon,x,y,z,h,f,incl,decl,gv
    int rows = 0;
    while (std::getline(values, line)) {
        std::vector<double> v;
        std::istringstream fields(line);
        for (std::string f; std::getline(fields, f, ',');) v.push_back(std::stod(f));
        ASSERT_EQ(v.size(), 12u) << line;
        EXPECT_NEAR(model.declination(v[2], v[3], v[0], v[1]), v[10], 0.01) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 100);
    // East of the agonic line through Europe (Paris), west of it (New
    // York, Thule): the sector file's variation is West positive.
    const double year = decimal_year({2026, 12, 7});
    EXPECT_GT(model.declination(49.0, 2.5, year), 1);
    EXPECT_LT(magnetic_variation(model.declination(49.0, 2.5, year)), -1);
    EXPECT_GT(magnetic_variation(model.declination(40.6, -73.8, year)), 12);
    EXPECT_GT(magnetic_variation(model.declination(76.5, -68.7, year)), 30);
    // Five years from the epoch, as NOAA's library counts them.
    EXPECT_EQ(std::pair(model.valid_from(), model.valid_to()),
              std::pair(Date{2025, 1, 1}, Date{2029, 12, 31}));
    for (const auto& [date, covered] : {std::pair{Date{2024, 12, 31}, false},
                                        {Date{2025, 1, 1}, true},
                                        {Date{2029, 12, 31}, true},
                                        {Date{2030, 1, 1}, false}})
        EXPECT_EQ(model.covers(date), covered) << date_text(date);
}

TEST(MagneticModel, DatesAndDamagedFiles) {
    Date d;
    EXPECT_TRUE(parse_date("2028-02-29", d) && (d == Date{2028, 2, 29}));
    EXPECT_TRUE(parse_date("2000-02-29", d));
    for (const char* bad :
         {"2100-02-29", "2027-02-29", "2026-13-01", "2026-1-01", "26-12-07", "2026-12-07x", "2026/12/07", ""})
        EXPECT_FALSE(parse_date(bad, d)) << bad;
    EXPECT_EQ(std::pair(decimal_year({2027, 1, 1}), decimal_year({2028, 12, 31})),
              std::pair(2027.0, 2028 + 365.0 / 366));
    EXPECT_EQ(date_text({2026, 3, 9}), "2026-03-09");
    const std::string good = source_file("runtime/WMM2025.COF");
    EXPECT_THROW(MagneticModel::parse("", "x.COF"), Error);
    std::string bad = good;
    bad.replace(bad.find("  1  1"), 6, " 13  1");  // a degree the model does not have
    EXPECT_THAT([&] { MagneticModel::parse(bad, "x.COF"); },
                ThrowsMessage<Error>(HasSubstr("x.COF, ligne 3")));
    // Cut short, a row twice, a coefficient out of range: each refused at its line.
    bad = good.substr(0, good.find(" 12 12"));
    EXPECT_THAT([&] { MagneticModel::parse(bad, "x.COF"); },
                ThrowsMessage<Error>(HasSubstr("x.COF, ligne 91")));
    bad = good;
    bad.replace(bad.find("  2  0"), 6, "  1  1");
    EXPECT_THAT([&] { MagneticModel::parse(bad, "x.COF"); },
                ThrowsMessage<Error>(HasSubstr("x.COF, ligne 4")));
    bad = good;
    bad.replace(bad.find("  1  0") + 6, 11, "     1e308 ");
    EXPECT_THAT([&] { MagneticModel::parse(bad, "x.COF"); },
                ThrowsMessage<Error>(HasSubstr("x.COF, ligne 2")));
    bad = good;
    bad.replace(bad.find("2025.0"), 6, "2147483647");  // an epoch of no model's era
    EXPECT_THROW(MagneticModel::parse(bad, "x.COF"), Error);
    bad = good;
    bad.replace(bad.find("11/13/2024"), 10, "02/30/2024");  // a release date that never was
    EXPECT_THAT([&] { MagneticModel::parse(bad, "x.COF"); },
                ThrowsMessage<Error>(HasSubstr("x.COF, ligne 1")));
    // At a pole the declination is the limit of its meridian's.
    const MagneticModel model = MagneticModel::parse(good, "WMM2025.COF");
    for (const double lat : {90.0, -90.0})
        EXPECT_NEAR(model.declination(lat, 30, 2026), model.declination(lat * 0.99999, 30, 2026),
                    0.1)
            << lat;
}
