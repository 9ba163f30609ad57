// The values every part of the program shares: Windows-1252 texts, number
// texts, longitudes around the globe, and the ID indexes (which answer as a
// scan of the ordered list would).
#include <gtest/gtest.h>

#include <QStringDecoder>
#include <climits>
#include <cmath>
#include <optional>
#include <random>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/geometry.h"
#include "core/model.h"
#include "core/numtext.h"
#include "support.h"

using namespace karvel;
using namespace karvel::test;

TEST(Cp1252, EveryDefinedByteAsTheToolkitCodecHasIt) {
    QStringDecoder reference("windows-1252");
    ASSERT_TRUE(reference.isValid());
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const std::string byte(1, static_cast<char>(b));
        const QString expected = reference.decode(QByteArray(byte.data(), 1));
        EXPECT_EQ(to_qstring(byte), expected) << b;
        EXPECT_EQ(from_qstring(expected), byte) << b;
        EXPECT_EQ(utf8_to_cp1252(expected.toStdString()), byte) << b;
        EXPECT_EQ(cp1252_to_utf8(byte), expected.toStdString()) << b;
    }
    // Outside the code page: "?"; bytes that are not UTF-8 stay as they are.
    EXPECT_EQ(utf8_to_cp1252("a中b😀c"), "a?b?c");
    EXPECT_EQ(utf8_to_cp1252("caf\xE9"), "caf\xE9");
    EXPECT_EQ(from_qstring(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    EXPECT_TRUE(equals_nocase(w1252("ÉCOLE"), w1252("école")));  // ÉCOLE, école
    EXPECT_FALSE(equals_nocase("\xD7", "\xF7"));                 // × and ÷ are not letters
}

TEST(NumberText, WholeNumbersOfAnyValue) {
    EXPECT_EQ(whole_text(2.5), "2");  // halves to even
    EXPECT_EQ(whole_text(-0.4), "0");
    EXPECT_EQ(whole_text(1e19L), "10000000000000000000");
    EXPECT_EQ(whole_text(NAN), "NAN");
    EXPECT_EQ(nearest_even(NAN), 0);
    EXPECT_EQ(nearest_even(-1e300), std::numeric_limits<long long>::min());
    EXPECT_EQ(nearest_even(1e300), std::numeric_limits<long long>::max());
}

TEST(NumberText, IntegerConversionAsTheSettingsFileNeedsIt) {
    EXPECT_EQ(str_to_int("  12"), 12);
    EXPECT_EQ(str_to_int("-5"), -5);
    EXPECT_EQ(str_to_int("$FF"), 255);
    EXPECT_EQ(str_to_int("0x1a"), 26);
    EXPECT_EQ(str_to_int("$80000000"), INT_MIN);
    EXPECT_EQ(str_to_int("-$10"), -16);
    EXPECT_EQ(str_to_int("-2147483648"), INT_MIN);
    for (const char* bad : {"", "12 ", "1.5", "2147483648", "$", "$100000000", "-", "1e3"})
        EXPECT_THROW(str_to_int(bad), Error) << '"' << bad << '"';
    EXPECT_THAT(
        [] { str_to_int("ERROR"); },
        ThrowsMessage<Error>(::testing::StrEq("'ERROR' n'est pas une valeur enti\xE8re correcte")));
    // A long value is shown by its first 40 bytes, marked as cut.
    const std::string forty(40, 'x');
    EXPECT_THAT([&] { str_to_int(forty); },
                ThrowsMessage<Error>(::testing::StartsWith("'" + forty + "' n'est")));
    EXPECT_THAT([&] { str_to_int(forty + "yz"); },
                ThrowsMessage<Error>(::testing::StartsWith("'" + forty + "...' n'est")));
}

TEST(NumberText, FixedDecimalsTiesAwayFromZeroOnEighteenDigitsPaddedNeverCut) {
    EXPECT_EQ(format_fixed(2.5L, 0), "3");
    EXPECT_EQ(format_fixed(-0.125L, 2), "-0.13");
    // 2.675L lies a hair below 2.675 but reads as a tie on 18 digits; the
    // nearest double lies farther below, and its 18 digits show it.
    EXPECT_EQ(format_fixed(2.675L, 2), "2.68");
    EXPECT_EQ(format_fixed(static_cast<long double>(2.675), 2), "2.67");
    EXPECT_EQ(format_fixed(9.9996L, 3), "10.000");
    EXPECT_EQ(format_fixed(-0.0004L, 3), "0.000");
    EXPECT_EQ(format_fixed(60.0L, 2, 4), "60.00");
    EXPECT_EQ(format_fixed(2.5L, 6, 9), " 2.500000");
    EXPECT_EQ(format_fixed(-2.5L, 6, 9), "-2.500000");
    EXPECT_EQ(format_fixed(12345.6789L, 3, 8), "12345.679");
}

TEST(Geometry, LongitudesGoRoundTheGlobe) {
    // (-180, 180]: the antimeridian is 180, never -180.
    EXPECT_EQ(normal_lon(-180), 180);
    EXPECT_EQ(normal_lon(180), 180);
    EXPECT_EQ(lon_near(-180.0L, 0), 180);  // the view's own longitudes likewise
    EXPECT_EQ(normal_lon(181.5), -178.5);
    EXPECT_EQ(normal_lon(-725), -5);
    EXPECT_EQ(normal_lon(2.5), 2.5);  // bit for bit where nothing wraps
    EXPECT_TRUE(std::isnan(normal_lon(NAN)));
    EXPECT_EQ(lon_difference(179.5L, -179.5L), 1);
    EXPECT_EQ(lon_difference(-179.5L, 179.5L), -1);
    EXPECT_EQ(lon_near(1e300L, 0), 1e300L);  // off the globe: left as it is

    // A box past 180 holds the points just west of it; one of 360 degrees
    // or more holds every longitude, where it starts too.
    EXPECT_TRUE(lon_within(-179.9, 175, 185));
    EXPECT_FALSE(lon_within(-170, 175, 185));
    EXPECT_TRUE(lon_within(-150, -100, 300));
    EXPECT_FALSE(lon_within(NAN, -100, 300));
    EXPECT_TRUE(lon_ranges_meet(-180, -170, 175, 185));
    EXPECT_FALSE(lon_ranges_meet(0, 10, 175, 185));
}

// Random appends and re-sets against a plain list searched from the start.
TEST(IdIndex, AgreesWithALinearScanUnderRandomEdits) {
    std::mt19937 rng(7);
    const std::vector<std::string> pool = {"a", "A", "b", "B", "c", "", "\xC9t\xE9", "\xE9T\xC9"};
    IdIndex index;
    std::vector<std::optional<std::string>> list;
    auto scan = [&](const std::string& id) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] && equals_nocase(*list[i], id)) return static_cast<int>(i);
        return -1;
    };
    for (int step = 0; step < 3000; ++step) {
        const std::string& id = pool[rng() % pool.size()];
        const int op = static_cast<int>(rng() % 4);
        if (op == 0 || list.empty()) {
            index.append(id);
            list.emplace_back(id);
        } else if (op == 1) {
            index.append_empty();
            list.emplace_back(std::nullopt);
        } else {
            const int p = static_cast<int>(rng() % list.size());
            index.set(p, id);
            list[static_cast<size_t>(p)] = id;
        }
        for (const std::string& probe : pool) ASSERT_EQ(index.find(probe), scan(probe)) << step;
    }
}
