#include "core/magnetic.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/ini_file.h"
#include "core/numtext.h"
#include "core/regions.h"

namespace karvel {

namespace {

bool leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap(year) ? 29 : days[month - 1];
}

bool digits(std::string_view s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

}  // namespace

bool parse_date(std::string_view text, Date& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(text.substr(0, 4)) ||
        !digits(text.substr(5, 2)) || !digits(text.substr(8, 2)))
        return false;
    const Date d{std::stoi(std::string(text.substr(0, 4))),
                 std::stoi(std::string(text.substr(5, 2))),
                 std::stoi(std::string(text.substr(8, 2)))};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > days_in_month(d.year, d.month))
        return false;
    date = d;
    return true;
}

std::string date_text(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

Date today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

double decimal_year(const Date& date) {
    int day = date.day - 1;
    for (int m = 1; m < date.month; ++m) day += days_in_month(date.year, m);
    return date.year + static_cast<double>(day) / (leap(date.year) ? 366 : 365);
}

namespace {

// The first day whose decimal year is `year` or later.
Date first_day_from(double year) {
    const int y = static_cast<int>(std::floor(year));
    for (Date d{y, 1, 1}; d.year == y;) {
        if (decimal_year(d) >= year) return d;
        if (++d.day > days_in_month(d.year, d.month)) {
            d.day = 1;
            if (++d.month > 12) break;
        }
    }
    return {y + 1, 1, 1};
}

}  // namespace

bool MagneticModel::covers(const Date& date) const {
    const double year = decimal_year(date);
    return year >= epoch_ && year < epoch_ + 5;
}

Date MagneticModel::valid_from() const {
    return first_day_from(epoch_);
}

Date MagneticModel::valid_to() const {
    Date d = first_day_from(epoch_ + 5);  // the first day past the span
    if (--d.day > 0) return d;
    if (--d.month > 0) return {d.year, d.month, days_in_month(d.year, d.month)};
    return {d.year - 1, 12, 31};
}

MagneticModel MagneticModel::read(const std::string& path) {
    return parse(read_file_bytes(path), path);
}

MagneticModel MagneticModel::parse(std::string_view text, const std::string& name) {
    MagneticModel m;
    const std::vector<std::string> lines = split_text_lines(text);
    const auto refuse = [&](size_t line) {
        return Error(w1252("modèle magnétique illisible : ") + path_text(name) + w1252(", ligne ") +
                     std::to_string(line + 1));
    };
    if (lines.empty()) throw refuse(0);
    {
        std::istringstream header(lines[0]);
        std::string date;
        int month = 0, day = 0, year = 0;
        char slash1 = 0, slash2 = 0;
        // The epoch is a year of the model's era; a date far from it is
        // no model's.
        if (!(header >> m.epoch_ >> m.name_ >> date) || !(m.epoch_ >= 1900 && m.epoch_ <= 2200))
            throw refuse(0);
        std::istringstream d(date);
        if (!(d >> month >> slash1 >> day >> slash2 >> year) || slash1 != '/' || slash2 != '/' ||
            month < 1 || month > 12 || day < 1 || day > days_in_month(year, month))
            throw refuse(0);
    }
    // Every degree and order once, the field's coefficients within 100,000 nT
    // and their yearly change within 1,000 nT: a file cut short, a row
    // twice or a number out of range is no model.
    bool seen[kMaxDegree + 1][kMaxDegree + 1] = {};
    int rows = 0;
    const auto field = [](double v) { return std::isfinite(v) && std::fabs(v) <= 1e5; };
    const auto change = [](double v) { return std::isfinite(v) && std::fabs(v) <= 1e3; };
    size_t i = 1;
    for (; i < lines.size(); ++i) {
        if (lines[i].rfind("9999", 0) == 0) break;  // the end of the coefficients
        std::istringstream row(lines[i]);
        int n = 0, k = 0;
        double g = 0, h = 0, gd = 0, hd = 0;
        if (!(row >> n >> k >> g >> h >> gd >> hd) || n < 1 || n > kMaxDegree || k < 0 || k > n ||
            seen[n][k] || !field(g) || !field(h) || !change(gd) || !change(hd))
            throw refuse(i);
        seen[n][k] = true;
        ++rows;
        m.c_[k][n] = g;
        m.cd_[k][n] = gd;
        if (k != 0) {
            m.c_[n][k - 1] = h;
            m.cd_[n][k - 1] = hd;
        }
    }
    if (rows != (kMaxDegree + 1) * (kMaxDegree + 2) / 2 - 1) throw refuse(i);
    // Schmidt normalisation, and the recursion's factors.
    double snorm[kMaxDegree + 1][kMaxDegree + 1] = {};
    snorm[0][0] = 1;
    for (int n = 1; n <= kMaxDegree; ++n) {
        snorm[0][n] = snorm[0][n - 1] * (2 * n - 1) / n;
        int j = 2;
        for (int k = 0; k <= n; ++k) {
            m.k_[k][n] =
                static_cast<double>((n - 1) * (n - 1) - k * k) / ((2 * n - 1) * (2 * n - 3));
            if (k > 0) {
                snorm[k][n] =
                    snorm[k - 1][n] * std::sqrt(static_cast<double>((n - k + 1) * j) / (n + k));
                j = 1;
                m.c_[n][k - 1] *= snorm[k][n];
                m.cd_[n][k - 1] *= snorm[k][n];
            }
            m.c_[k][n] *= snorm[k][n];
            m.cd_[k][n] *= snorm[k][n];
        }
    }
    m.k_[1][1] = 0;
    return m;
}

double MagneticModel::declination(double lat, double lon, double year, double height_km) const {
    constexpr double a = 6378.137, b = 6356.7523142, re = 6371.2;  // WGS 84; the model's radius
    constexpr double a2 = a * a, b2 = b * b, c2 = a2 - b2, a4 = a2 * a2, b4 = b2 * b2, c4 = a4 - b4;
    const double dt = year - epoch_;
    const double rlat = static_cast<double>(radians(lat)), rlon = static_cast<double>(radians(lon));
    const double srlat = std::sin(rlat), crlat = std::cos(rlat);
    const double srlat2 = srlat * srlat, crlat2 = crlat * crlat;
    double sp[kMaxDegree + 1] = {0, std::sin(rlon)}, cp[kMaxDegree + 1] = {1, std::cos(rlon)};
    for (int k = 2; k <= kMaxDegree; ++k) {
        sp[k] = sp[1] * cp[k - 1] + cp[1] * sp[k - 1];
        cp[k] = cp[1] * cp[k - 1] - sp[1] * sp[k - 1];
    }
    // Geodetic to spherical coordinates.
    const double q = std::sqrt(a2 - c2 * srlat2);
    const double q1 = height_km * q;
    const double q2 = ((q1 + a2) / (q1 + b2)) * ((q1 + a2) / (q1 + b2));
    const double ct = srlat / std::sqrt(q2 * crlat2 + srlat2);
    const double st = std::sqrt(1 - ct * ct);
    const double r = std::sqrt(height_km * height_km + 2 * q1 + (a4 - c4 * srlat2) / (q * q));
    const double d = std::sqrt(a2 * crlat2 + b2 * srlat2);
    const double ca = (height_km + d) / r;
    const double sa = c2 * crlat * srlat / (r * d);

    double p[kMaxDegree + 1][kMaxDegree + 1] = {}, dp[kMaxDegree + 1][kMaxDegree + 1] = {};
    double pp[kMaxDegree + 1] = {1};
    p[0][0] = 1;
    const double aor = re / r;
    double ar = aor * aor;
    double br = 0, bt = 0, bp = 0, bpp = 0;
    for (int n = 1; n <= kMaxDegree; ++n) {
        ar *= aor;
        for (int k = 0; k <= n; ++k) {
            if (n == k) {
                p[k][n] = st * p[k - 1][n - 1];
                dp[k][n] = st * dp[k - 1][n - 1] + ct * p[k - 1][n - 1];
            } else if (n == 1 && k == 0) {
                p[k][n] = ct * p[k][n - 1];
                dp[k][n] = ct * dp[k][n - 1] - st * p[k][n - 1];
            } else {
                const double p2 = k > n - 2 ? 0 : p[k][n - 2];
                const double dp2 = k > n - 2 ? 0 : dp[k][n - 2];
                p[k][n] = ct * p[k][n - 1] - k_[k][n] * p2;
                dp[k][n] = ct * dp[k][n - 1] - st * p[k][n - 1] - k_[k][n] * dp2;
            }
            const double g = c_[k][n] + dt * cd_[k][n];
            const double h = k == 0 ? 0 : c_[n][k - 1] + dt * cd_[n][k - 1];
            const double par = ar * p[k][n];
            const double temp1 = g * cp[k] + h * sp[k];
            const double temp2 = g * sp[k] - h * cp[k];
            bt -= ar * temp1 * dp[k][n];
            bp += k * temp2 * par;
            br += (n + 1) * temp1 * par;
            // At a geographic pole the east component comes from its limit.
            if (st == 0 && k == 1) {
                pp[n] = n == 1 ? pp[n - 1] : ct * pp[n - 1] - k_[k][n] * pp[n - 2];
                bpp += k * temp2 * ar * pp[n];
            }
        }
    }
    bp = st == 0 ? bpp : bp / st;
    // Spherical to geodetic components.
    const double bx = -bt * ca - br * sa;
    const double by = bp;
    return static_cast<double>(degrees(std::atan2(by, bx)));
}

}  // namespace karvel
