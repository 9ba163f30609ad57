// The sector coordinate format, checked against an exact computation that
// rounds to a 64-bit mantissa after each multiplication, written here with
// 128-bit integers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "sector/coord.h"

using namespace karvel;

namespace {

using u128 = unsigned __int128;

int bit_length(u128 x) {
    int n = 0;
    while (x) {
        ++n;
        x >>= 1;
    }
    return n;
}

// value = m / 2^e
struct Exact {
    u128 m;
    int e;
};

// Rounds to 64 significant bits, ties to even.
Exact round64(Exact x) {
    const int drop = bit_length(x.m) - 64;
    if (drop <= 0) return x;
    const u128 half = u128(1) << (drop - 1);
    const u128 rest = x.m & ((u128(1) << drop) - 1);
    u128 kept = x.m >> drop;
    if (rest > half || (rest == half && (kept & 1))) ++kept;
    return {kept, x.e - drop};
}

// Whole part and fraction (the fraction keeps the same scale).
std::pair<unsigned long long, Exact> split(Exact x) {
    if (x.e <= 0) return {static_cast<unsigned long long>(x.m << -x.e), {0, 0}};
    return {static_cast<unsigned long long>(x.m >> x.e), {x.m & ((u128(1) << x.e) - 1), x.e}};
}

std::string reference(double v, char pos, char neg) {
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(v), &exponent);
    const Exact a{static_cast<u128>(std::ldexp(mantissa, 53)), 53 - exponent};
    const auto [deg, f1] = split(a);
    const auto [min, f2] = split(round64({f1.m * 60, f1.e}));
    const auto [sec, f3] = split(round64({f2.m * 60, f2.e}));
    const auto [th, f4] = split(round64({f3.m * 1000, f3.e}));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c%03llu.%02llu.%02llu.%03llu", v > 0 ? pos : neg, deg, min,
                  sec, th);
    return buf;
}

}  // namespace

TEST(FormatCoord, TheWorkedExamples) {
    const struct {
        double lat, lon;
        const char *tlat, *tlon;
    } cases[] = {
        {48.8566, 2.3522, "N048.51.23.760", "E002.21.07.919"},
        {-1.25, -73.7789, "S001.15.00.000", "W073.46.44.039"},
        {45.5, 180, "N045.30.00.000", "E180.00.00.000"},
        {0.0, -0.0, "S000.00.00.000", "W000.00.00.000"},
        {0.9999999, -180, "N000.59.59.999", "W180.00.00.000"},
        {51.4775, 2.710045, "N051.28.38.999", "E002.42.36.162"},
    };
    for (const auto& c : cases) {
        const CoordText t = format_coord({c.lat, c.lon});
        EXPECT_EQ(t.latitude, c.tlat);
        EXPECT_EQ(t.longitude, c.tlon);
    }
    EXPECT_EQ(format_coord({999.5, -999.999}).latitude.size(), 14u);
    EXPECT_EQ(format_coord({1234.5, 0}).latitude, "N1234.30.00.000");  // wider, never cut
}

TEST(FormatCoord, AgreesWithExactArithmeticOnManyCoordinates) {
    std::mt19937_64 rng(20261206);
    std::uniform_int_distribution<long long> micro(0, 180000000);
    std::uniform_real_distribution<double> any(0.0, 180.0);
    for (int i = 0; i < 600; ++i) {
        // six-decimal values as databases hold them, then raw doubles
        const double v = i < 400 ? static_cast<double>(micro(rng)) / 1e6 : any(rng);
        const double signed_v = (i % 2) ? -v : v;
        EXPECT_EQ(format_coord({signed_v, 0}).latitude, reference(signed_v, 'N', 'S')) << v;
        EXPECT_EQ(format_coord({0, signed_v}).longitude, reference(signed_v, 'E', 'W')) << v;
    }
}
