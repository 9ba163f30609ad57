// Windows-1252 conversions and number texts.
#include <gtest/gtest.h>

#include <QStringDecoder>
#include <climits>

#include "core/cp1252.h"
#include "core/error.h"
#include "core/numtext.h"

using namespace karvel;

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
    EXPECT_EQ(utf8_to_cp1252("a\xE4\xB8\xAD"
                             "b\xF0\x9F\x98\x80"
                             "c"),
              "a?b?c");
    EXPECT_EQ(utf8_to_cp1252("caf\xE9"), "caf\xE9");
    EXPECT_EQ(from_qstring(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    EXPECT_TRUE(
        equals_nocase("\xC9"
                      "COLE",
                      "\xE9"
                      "cole"));                   // ÉCOLE, école
    EXPECT_FALSE(equals_nocase("\xD7", "\xF7"));  // × and ÷ are not letters
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
    EXPECT_EQ(str_to_int("-2147483648"), INT_MIN);
    for (const char* bad : {"", "12 ", "1.5", "2147483648", "$", "$100000000", "-", "1e3"})
        EXPECT_THROW(str_to_int(bad), Error) << '"' << bad << '"';
    try {
        str_to_int("ERROR");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'ERROR' n'est pas une valeur enti\xE8re correcte");
    }
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
