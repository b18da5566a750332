#include "base/number_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace korvane {
namespace {

const RegionalFormat kPointComma{u'.', u',', 3};          // en/zh: 1,234.5
const RegionalFormat kCommaPoint{u',', u'.', 3};          // de: 1.234,5
const RegionalFormat kCommaSpace{u',', QChar(0x00A0), 3}; // fr/ru: 1 234,5 (no-break space)

struct LenientCase {
    const char16_t* text;
    double expected;
};

TEST(ReadLenient, TakesTheLongestLeadingNumberAfterRemovingBlanks) {
    const LenientCase cases[] = {
        {u"", 0.0},                         // nothing to read
        {u"abc", 0.0},                      // no digit at all
        {u".", 0.0},                        // a decimal sign is no number
        {u"-", 0.0},                        // nor is a sign
        {u"+", 0.0},         {u"--5", 0.0}, // second sign ends the number before any digit
        {u".e5", 0.0},                      // exponent without mantissa digit
        {u"12abc", 12.0},                   // trailing text ignored
        {u"0.38kV", 0.38},                  // unit typed after the value
        {u"1 2 . 5", 12.5},                 // blanks inside the number vanish
        {u"\t1\r\n2", 12.0},                // so do tabs and line breaks
        {u" .5", 0.5},                      // no leading zero needed
        {u"-.5", -0.5},      {u"+7", 7.0},      {u"5.", 5.0}, // decimal sign without fraction
        {u"00012", 12.0},                                     // leading zeros
        {u"1.2.3", 1.2},                                      // second decimal sign ends the number
        {u"1,5", 1.0},                                        // ',' is never a decimal sign here
        {u"3e", 3.0},                           // exponent letter without digits is not an exponent
        {u"3e+", 3.0},       {u"1e2x", 100.0},  // exponent, then text
        {u"1e 2", 100.0},                       // blank removed before the scan
        {u"2.5e-3", 0.0025}, {u"1.5D2", 150.0}, // old double-precision exponent letter
        {u"2d1", 20.0},      {u"1e999", 0.0},   // beyond the largest double: unusable, reads as 0
        {u"-1e999", 0.0},    {u"1e-999", 0.0},  // below the smallest double
    };
    for (const LenientCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(readLenient(text), c.expected) << "text: \"" << text.toStdString() << '"';
    }
}

struct StrictCase {
    const RegionalFormat* format;
    const char16_t* text;
    std::optional<double> expected;
};

TEST(ReadStrict, AcceptsOnlyAWholeNumberInTheRegionalFormat) {
    const StrictCase cases[] = {
        {&kPointComma, u"42", 42.0},
        {&kPointComma, u"  42 \t", 42.0}, // surrounding blanks allowed
        {&kPointComma, u"-0.5", -0.5},
        {&kPointComma, u"+3", 3.0},
        {&kPointComma, u".5", 0.5},
        {&kPointComma, u"5.", 5.0},
        {&kPointComma, u"1,234.5", 1234.5},
        {&kPointComma, u"1,234,567.891", 1234567.891},
        {&kPointComma, u"1,5", std::nullopt},  // a group of one digit is no grouping
        {&kPointComma, u"0,85", std::nullopt}, // nor is a first group of 0
        {&kPointComma, u"1,2345", std::nullopt},
        {&kPointComma, u"1234,567", std::nullopt}, // first group too long
        {&kPointComma, u"12,345,67", std::nullopt},
        {&kPointComma, u"-12,345", -12345.0},
        {&kPointComma, u"1e3", 1000.0},
        {&kPointComma, u"2.5E-2", 0.025},
        {&kPointComma, u"1E+2", 100.0},
        {&kPointComma, u"1e-999", 0.0}, // underflow reads as zero
        {&kPointComma, u"", std::nullopt},
        {&kPointComma, u"   ", std::nullopt},
        {&kPointComma, u".", std::nullopt},
        {&kPointComma, u"-", std::nullopt},
        {&kPointComma, u"--1", std::nullopt},
        {&kPointComma, u"1.2.3", std::nullopt},
        {&kPointComma, u"12abc", std::nullopt},
        {&kPointComma, u"0.38 kV", std::nullopt},
        {&kPointComma, u",5", std::nullopt}, // group sign needs a digit before it
        {&kPointComma, u"1,", std::nullopt}, // and after it
        {&kPointComma, u"1,,5", std::nullopt},
        {&kPointComma, u"1.5,2", std::nullopt}, // no grouping in the fraction
        {&kPointComma, u"1 5", std::nullopt},   // a blank is not this format's group sign
        {&kPointComma, u"1e", std::nullopt},    // exponent needs digits
        {&kPointComma, u"1e+", std::nullopt},
        {&kPointComma, u"1.5D2", std::nullopt}, // only 'E' marks the exponent
        {&kPointComma, u"0x10", std::nullopt},
        {&kPointComma, u"1e999", std::nullopt}, // not finite
        {&kCommaPoint, u"1,5", 1.5},
        {&kCommaPoint, u"0,38", 0.38},
        {&kCommaPoint, u"1.234,5", 1234.5},
        // Where '.' groups, a text in the program's own '.' form is still read as it means.
        {&kCommaPoint, u"1.5", 1.5},
        {&kCommaPoint, u"0.85", 0.85},
        {&kCommaPoint, u"0.080", 0.08},
        {&kCommaPoint, u"0.0760", 0.076},
        {&kCommaPoint, u"-0.5e-2", -0.005},
        {&kCommaPoint, u"1.234", 1.234},         // the ambiguous shape: the '.' form wins
        {&kCommaPoint, u"1.234.567", 1234567.0}, // two group signs: grouped
        {&kCommaPoint, u"1.234,56", 1234.56},
        {&kCommaPoint, u"12.34,5", std::nullopt}, // neither form
        {&kCommaPoint, u"1.2.3", std::nullopt},
        {&kCommaPoint, u"0.5,", std::nullopt},
        {&kCommaPoint, u"-2,5e1", -25.0},
        {&kCommaPoint, u"1,2,3", std::nullopt},
        {&kCommaPoint, u"1,5.0", std::nullopt},
        {&kCommaSpace, u"1\u00A0234,5", 1234.5},
        {&kCommaSpace, u"1 234,5", 1234.5}, // a typed blank stands for the no-break space
        {&kCommaSpace, u"1.5", 1.5},
        {&kCommaSpace, u"1 5", std::nullopt},
    };
    for (const StrictCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(readStrict(text, *c.format), c.expected)
            << "text: \"" << text.toStdString() << "\" decimal sign "
            << QString(c.format->decimalSign).toStdString();
    }
}

struct RoundingCase {
    double value;
    int decimals;
    double awayFromZero;
    double toEven;
};

TEST(DecimalRounding, RoundsTheFifteenDigitDecimalForm) {
    const RoundingCase cases[] = {
        // 8.45725 is stored as 8.457249999…; its decimal form is an exact tie.
        {8.45725, 4, 8.4573, 8.4572},
        {-8.45725, 4, -8.4573, -8.4572},
        {1.005, 2, 1.01, 1.0}, // stored as 1.00499999…
        {237.11376, 4, 237.1138, 237.1138},
        {442.17957292, 4, 442.1796, 442.1796},
        {0.00005, 4, 0.0001, 0.0}, // tie onto an even zero
        {0.00015, 4, 0.0002, 0.0002},
        {0.000049, 4, 0.0, 0.0},
        {2.5, 0, 3.0, 2.0},
        {3.5, 0, 4.0, 4.0},
        {-2.5, 0, -3.0, -2.0},
        {0.99995, 4, 1.0, 1.0}, // carry through every kept digit
        {999.5, 0, 1000.0, 1000.0},
        {1250.0, -2, 1300.0, 1200.0}, // rounding to hundreds
        {1234.5678, -2, 1200.0, 1200.0},
        {0.0, 4, 0.0, 0.0},
        {1e-20, 4, 0.0, 0.0},
        {1.5e20, 4, 1.5e20, 1.5e20},
        {0.1 + 0.2, 16, 0.3, 0.3}, // beyond 15 digits: only the 15-digit form remains
    };
    for (const RoundingCase& c : cases) {
        EXPECT_EQ(roundHalfAwayFromZero(c.value, c.decimals), c.awayFromZero)
            << c.value << " to " << c.decimals << " decimals";
        EXPECT_EQ(roundHalfEven(c.value, c.decimals), c.toEven)
            << c.value << " to " << c.decimals << " decimals";
    }
}

TEST(DecimalRounding, KeepsNonFiniteValues) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(roundHalfAwayFromZero(infinity, 4), infinity);
    EXPECT_EQ(roundHalfEven(-infinity, 4), -infinity);
    EXPECT_TRUE(std::isnan(roundToSignificant(std::nan(""), 15)));
}

struct SignificantCase {
    double value;
    int digits;
    double expected;
};

TEST(RoundToSignificant, ReadsBackTheGeneralText) {
    const SignificantCase cases[] = {
        {0.1 + 0.2, 15, 0.3}, // 0.30000000000000004 → "0.3"
        {std::sqrt(0.387 * 0.387 + 0.08 * 0.08), 15, 0.395182236442885},
        {1.0 / 3.0, 15, 0.333333333333333},
        {-2.0 / 3.0, 15, -0.666666666666667},
        {123456.789, 3, 123000.0},
        {0.0, 15, 0.0},
        {1e-310, 15, 1e-310}, // subnormal survives
        {0.125, 2, 0.12},     // an exact tie goes to even
        {0.375, 2, 0.38},
        {0.1000000000000005, 15, 0.100000000000001},
        {2.000000000000005, 15, 2.0},
    };
    for (const SignificantCase& c : cases) {
        EXPECT_EQ(roundToSignificant(c.value, c.digits), c.expected) << c.value;
    }
}

// Against the library's own correctly rounded conversion (printf's %.*e), over values spread
// across the exponents a calculation meets, to 1, 4, 6 and 15 digits.
TEST(RoundToSignificant, AgreesWithTheExactConversionOfTheLibrary) {
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    auto next = [&state] { // xorshift64
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    int compared = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = next();
        const double mantissa = 1.0 + double(bits >> 12) / double(std::uint64_t(1) << 52);
        const double value =
            std::ldexp(mantissa, int(bits % 160) - 80) * ((bits >> 8) & 1 ? -1 : 1);
        for (int digits : {1, 4, 6, 15}) {
            char text[64];
            const auto written = std::to_chars(text, text + sizeof text, value,
                                               std::chars_format::scientific, digits - 1);
            double expected = 0.0;
            std::from_chars(text, written.ptr, expected);
            ASSERT_EQ(roundToSignificant(value, digits), expected)
                << std::string(text, written.ptr) << " from " << value;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 800000);
}

struct FixedCase {
    double value;
    int decimals;
    const RegionalFormat* format;
    const char16_t* expected;
};

TEST(FormatFixed, WritesExactlyTheDecimalsWithGrouping) {
    const RegionalFormat noGrouping{u'.', u',', 0};
    const FixedCase cases[] = {
        {std::sqrt(3.0) / 2.0, 4, &kPointComma, u"0.8660"}, // leading zero, trailing zero kept
        {8.45725, 4, &kPointComma, u"8.4573"},              // tie of the decimal form
        {1.005, 2, &kPointComma, u"1.01"},
        {1500.0, 6, &kPointComma, u"1,500.000000"},
        {100.0, 2, &kPointComma, u"100.00"},
        {1000.0, 2, &kPointComma, u"1,000.00"},
        {1234567.891, 4, &kPointComma, u"1,234,567.8910"},
        {-1234.5, 4, &kPointComma, u"-1,234.5000"},
        {-0.00001, 4, &kPointComma, u"0.0000"}, // rounds to zero: no minus
        {0.0, 2, &kPointComma, u"0.00"},
        {1e-7, 2, &kPointComma, u"0.00"},
        {0.9999995, 6, &kPointComma, u"1.000000"}, // carry into the integer part
        {999.9996, 3, &kPointComma, u"1,000.000"}, // carry that adds a group
        {2.5, 0, &kPointComma, u"3"},              // no decimal sign without decimals
        {-2.5, 0, &kPointComma, u"-3"},
        {123456.5, 0, &kPointComma, u"123,457"},
        {12.6, -1, &kPointComma, u"13"}, // negative decimals count as none
        {1e20, 2, &kPointComma, u"100,000,000,000,000,000,000.00"},
        {1234567.891, 2, &kCommaPoint, u"1.234.567,89"},
        {1234567.891, 2, &kCommaSpace, u"1\u00A0234\u00A0567,89"},
        {-0.5, 1, &kCommaPoint, u"-0,5"},
        {-0.05, 1, &kPointComma, u"-0.1"}, // below one: a zero before the sign's digits
        {999999.5, 0, &kCommaSpace, u"1\u00A0000\u00A0000"}, // the carry makes a third group
        {1234567.891, 2, &noGrouping, u"1234567.89"},
    };
    for (const FixedCase& c : cases) {
        EXPECT_EQ(formatFixed(c.value, c.decimals, *c.format), QString::fromUtf16(c.expected))
            << c.value << " with " << c.decimals << " decimals";
    }
}

struct GeneralCase {
    double value;
    const RegionalFormat* format;
    const char16_t* expected;
};

TEST(FormatGeneral, WritesFifteenSignificantDigitsWithoutTrailingZeros) {
    const GeneralCase cases[] = {
        {0.387, &kPointComma, u"0.387"},
        {100.0, &kPointComma, u"100"},
        {0.1 + 0.2, &kPointComma, u"0.3"},
        {1.0 / 3.0, &kPointComma, u"0.333333333333333"},
        {2.0 / 3.0, &kPointComma, u"0.666666666666667"},
        {0.00001, &kPointComma, u"0.00001"}, // smallest plain value
        {0.000012345, &kPointComma, u"0.000012345"},
        {9.9999999999999999e-6, &kPointComma, u"0.00001"},     // reaches 1e-5 at 15 digits
        {1234567.5, &kPointComma, u"1234567.5"},               // never grouped
        {999999999999999.0, &kPointComma, u"999999999999999"}, // largest plain value
        {999999999999999.9, &kPointComma, u"1E+15"},           // rounds up to 1e15
        {1e15, &kPointComma, u"1E+15"},
        {1e-6, &kPointComma, u"1E-06"},
        {1.5e-7, &kPointComma, u"1.5E-07"},
        {-1.25e-8, &kPointComma, u"-1.25E-08"},
        {1.5e20, &kPointComma, u"1.5E+20"},
        {123456789012345678.0, &kPointComma, u"1.23456789012346E+17"},
        {1e100, &kPointComma, u"1E+100"},
        {1e-300, &kPointComma, u"1E-300"},
        {0.0, &kPointComma, u"0"},
        {-0.0, &kPointComma, u"0"},
        {-0.5, &kPointComma, u"-0.5"},
        // Sixteen digits ending in 5: the binary value decides (exact expansions by hand).
        {0.1000000000000005, &kPointComma, u"0.100000000000001"}, // 0.10000000000000050515…
        {2.000000000000005, &kPointComma, u"2"},                  // 2.00000000000000488…
        {12.34567890123455, &kPointComma, u"12.3456789012345"},   // 12.3456789012345495…
        {0.99999999999999989, &kPointComma, u"1"},                // carries into a new digit
        {5e-324, &kPointComma, u"4.94065645841247E-324"},         // subnormal: 2^-1074 to 15 digits
        {0.387, &kCommaPoint, u"0,387"},
        {1234567.5, &kCommaPoint, u"1234567,5"},
        {-1.5e20, &kCommaPoint, u"-1,5E+20"},
    };
    for (const GeneralCase& c : cases) {
        EXPECT_EQ(formatGeneral(c.value, *c.format), QString::fromUtf16(c.expected)) << c.value;
    }
}

TEST(FormatFourDecimalsTrimmed, RoundsHalfToEvenThenTrims) {
    const GeneralCase cases[] = {
        {237.11376, &kPointComma, u"237.1138"},
        {250.0, &kPointComma, u"250"},
        {442.17963, &kPointComma, u"442.1796"},
        {173.88342856053927, &kPointComma, u"173.8834"},
        {11636.304550569457, &kPointComma, u"11636.3046"},
        {0.00005, &kPointComma, u"0"}, // tie onto an even zero
        {0.00015, &kPointComma, u"0.0002"},
        {8.45725, &kPointComma, u"8.4572"}, // tie onto the even 2
        {0.99996, &kPointComma, u"1"},
        {-1.23456, &kPointComma, u"-1.2346"},
        {-0.00004, &kPointComma, u"0"},
        {12345678.9, &kPointComma, u"12345678.9"},
        {1.5, &kCommaPoint, u"1,5"},
    };
    for (const GeneralCase& c : cases) {
        EXPECT_EQ(formatFourDecimalsTrimmed(c.value, *c.format), QString::fromUtf16(c.expected))
            << c.value;
    }
}

TEST(RegionalFormat, TheGlobalFormatIsTheDefaultOfEveryReaderAndWriter) {
    const RegionalFormat saved = regionalFormat();
    EXPECT_EQ(saved.decimalSign, u'.');
    EXPECT_EQ(saved.groupSign, u',');
    EXPECT_EQ(saved.groupSize, 3);

    setRegionalFormat(kCommaPoint);
    EXPECT_EQ(readStrict(QStringLiteral("1,5")), 1.5);
    EXPECT_EQ(readLenient(QStringLiteral("1,5")), 1.5);
    EXPECT_EQ(formatFixed(1234.5, 1), QStringLiteral("1.234,5"));
    EXPECT_EQ(formatGeneral(0.25), QStringLiteral("0,25"));
    EXPECT_EQ(formatFourDecimalsTrimmed(0.25), QStringLiteral("0,25"));
    setRegionalFormat(saved);

    EXPECT_EQ(readStrict(QStringLiteral("1,5")), std::nullopt);
    EXPECT_EQ(readLenient(QStringLiteral("1,5")), 1.0);
}

struct RegionalLenientCase {
    const RegionalFormat* format;
    const char16_t* text;
    double expected;
};

TEST(ReadLenient, TakesTheRegionalDecimalSignAsWellAsThePoint) {
    const RegionalLenientCase cases[] = {
        {&kCommaPoint, u"0,387", 0.387}, // as the database value is shown under de
        {&kCommaPoint, u"0.387", 0.387},
        {&kCommaPoint, u"1.234,5", 1.234}, // no grouping in lenient reading
        {&kCommaPoint, u"1,5,5", 1.5},
        {&kCommaPoint, u"1 , 5", 1.5},
        {&kCommaSpace, u"2,5e1", 25.0},
        {&kPointComma, u"0,387", 0.0}, // ',' only groups here
        {&kPointComma, u"2.5", 2.5},
    };
    for (const RegionalLenientCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(readLenient(text, *c.format), c.expected)
            << "text: \"" << text.toStdString() << '"';
    }
}

// What a Chinese input method types in full-width mode, for both readers.
TEST(NumberReading, FullWidthCharactersCountAsTheirAsciiForms) {
    struct Case {
        const char16_t* text;
        std::optional<double> strict;
        double lenient;
    };
    const Case cases[] = {
        {u"\uFF10.\uFF15", 0.5, 0.5},                     // ０.５
        {u"\uFF10\uFF0E\uFF15", 0.5, 0.5},                // ０．５
        {u"\uFF0D\uFF12", -2.0, -2.0},                    // －２
        {u"\u22122.5", -2.5, -2.5},                       // minus sign
        {u"\uFF0B\uFF13", 3.0, 3.0},                      // ＋３
        {u"\uFF11\uFF45\uFF13", 1000.0, 1000.0},          // １ｅ３
        {u"\uFF11\uFF25\uFF0D\uFF13", 0.001, 0.001},      // １Ｅ－３
        {u"\u3000\uFF11\uFF12\u3000", 12.0, 12.0},        // ideographic spaces around
        {u"\uFF11\u3000\uFF12", std::nullopt, 12.0},      // inside: lenient drops blanks
        {u"\uFF11\uFF0C\uFF12\uFF13\uFF14", 1234.0, 1.0}, // １，２３４
        {u"\uFF41", std::nullopt, 0.0},                   // a full-width letter stays none
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(readStrict(text, kPointComma), c.strict) << text.toStdString();
        EXPECT_EQ(readLenient(text, kPointComma), c.lenient) << text.toStdString();
    }
    EXPECT_EQ(readStrict(QString::fromUtf16(u"\uFF10\uFF0C\uFF15"), kCommaPoint), 0.5);
    EXPECT_EQ(readLenient(QString::fromUtf16(u"\uFF10\uFF0C\uFF15"), kCommaPoint), 0.5);
}

TEST(ReadPlainDecimal, TakesOnlyTheProgramsOwnForm) {
    const std::pair<const char16_t*, std::optional<double>> cases[] = {
        {u"0.387", 0.387},        {u" 4.3 ", 4.3},
        {u"-1e3", -1000.0},       {u"12", 12.0},
        {u"0,387", std::nullopt}, {u"4,0", std::nullopt},
        {u"1,234", std::nullopt}, {u"\uFF14", std::nullopt},
        {u"", std::nullopt},      {u"Inf", std::nullopt},
        {u"1e999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(readPlainDecimal(QString::fromUtf16(text)), expected)
            << QString::fromUtf16(text).toStdString();
    }
}

TEST(RegionalDecimalText, SwapsThePointAndKeepsEveryDigit) {
    const std::tuple<const RegionalFormat*, const char*, const char*> cases[] = {
        {&kCommaPoint, "0.0760", "0,0760"}, {&kCommaPoint, "0.080", "0,080"},
        {&kCommaPoint, "11.28", "11,28"},   {&kCommaPoint, "1.234", "1,234"},
        {&kCommaPoint, "185", "185"},       {&kCommaPoint, " S (mm2)", " S (mm2)"},
        {&kCommaPoint, "1.2.3", "1.2.3"},   {&kCommaPoint, "(kW.km)", "(kW.km)"},
        {&kCommaSpace, "0.38", "0,38"},     {&kPointComma, "0.38", "0.38"},
    };
    for (const auto& [format, text, expected] : cases) {
        const QString written = regionalDecimalText(QString::fromLatin1(text), *format);
        EXPECT_EQ(written, QString::fromLatin1(expected));
        // Whatever the program writes this way reads back as the number it was.
        if (const auto plain = readPlainDecimal(QString::fromLatin1(text))) {
            EXPECT_EQ(readStrict(written, *format), plain) << text;
        }
    }
}

} // namespace
} // namespace korvane
