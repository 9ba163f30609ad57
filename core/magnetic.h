// The magnetic declination the world magnetic model gives: its coefficient
// file (NOAA's layout: a header with the epoch, the model's name and its
// release date, then "n m g h g_dot h_dot" lines in nT and nT a year), and
// the declination at a point and date.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karvel {

// A calendar date.
struct Date {
    int year = 0, month = 0, day = 0;
    bool operator==(const Date&) const = default;
    auto operator<=>(const Date&) const = default;
};

// "YYYY-MM-DD", a day that exists; false otherwise.
bool parse_date(std::string_view text, Date& date);
// "YYYY-MM-DD".
std::string date_text(const Date& date);
// Today's date, local time.
Date today();
// The year and its fraction, the days before the date over the days of its
// year: 2027-01-01 is 2027.0.
double decimal_year(const Date& date);

// The model's coefficient file in the program folder (public domain, NOAA).
inline constexpr const char* kMagneticModelFile = "WMM2025.COF";

class MagneticModel {
  public:
    // The model of a coefficient file; throws Error naming the file and the
    // line for one that is not one.
    static MagneticModel read(const std::string& path);
    static MagneticModel parse(std::string_view text, const std::string& name);

    // The model holds from its epoch (a decimal year: 2025.0) for five
    // years, as NOAA's own library counts it: WMM2025 from 2025-01-01 to
    // 2029-12-31.
    bool covers(const Date& date) const;
    Date valid_from() const;  // the first day it covers
    Date valid_to() const;    // the last day it covers
    const std::string& name() const { return name_; }

    // The declination in degrees, East positive, at a geodetic latitude and
    // longitude (degrees), a height above the ellipsoid (km) and a date
    // (decimal year).
    double declination(double lat, double lon, double year, double height_km = 0) const;

  private:
    static constexpr int kMaxDegree = 12;
    double epoch_ = 0;
    std::string name_;
    // Schmidt-normalised coefficients and their yearly change: g(n, m) at
    // [m][n], h(n, m) at [n][m - 1].
    double c_[kMaxDegree + 1][kMaxDegree + 1] = {};
    double cd_[kMaxDegree + 1][kMaxDegree + 1] = {};
    double k_[kMaxDegree + 1][kMaxDegree + 1] = {};
};

// The magnetic variation of a sector file: West positive, the declination's
// opposite, in degrees.
inline double magnetic_variation(double declination) {
    return -declination;
}

}  // namespace karvel
