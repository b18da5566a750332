// The one idiom of the calculations for a step that may fail, and the book's rounding policy.

#include "calc/computed.h"

#include <gtest/gtest.h>

#include <limits>

namespace korvane::testing {
namespace {

TEST(StepChain, TheFirstFailureGivesTheReasonAndTheResultFails) {
    struct Case {
        const char* what;
        double (*run)(StepChain&);
        const char* reason;
    };
    const Case cases[] = {
        {"division by zero", [](StepChain& c) { return c.divide(1.0, 0.0); }, "除数为0"},
        {"root of a negative", [](StepChain& c) { return c.squareRoot(-1.0); }, "负数不能开平方"},
        {"overflow", [](StepChain& c) { return c.value(std::numeric_limits<double>::max() * 2); },
         "计算结果超出数值范围"},
        {"first reason kept",
         [](StepChain& c) {
             c.divide(1.0, 0.0);
             return c.squareRoot(-4.0);
         },
         "除数为0"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        StepChain chain;
        const double v = k.run(chain);
        EXPECT_TRUE(chain.failed());
        const Computed<double> r = chain.result(v);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.reason(), QString::fromUtf8(k.reason));
    }
    StepChain fine;
    const Computed<double> r = fine.result(fine.squareRoot(fine.divide(18.0, 2.0)));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, 3.0);
    EXPECT_TRUE(r.reason().isEmpty());
}

TEST(StepChain, SixDecimalPolicyRoundsEveryIntermediateAsItsPrintedText) {
    StepChain exact;
    StepChain book(Rounding::SixDecimals);
    EXPECT_EQ(exact.divide(2.0, 3.0), 2.0 / 3.0);
    EXPECT_EQ(book.divide(2.0, 3.0), 0.666667);
    // The rounded value is what the next step uses: 3 × 0.666667, not 2.
    EXPECT_DOUBLE_EQ(book.value(3.0 * book.divide(2.0, 3.0)), 2.000001);
    EXPECT_EQ(book.value(-0.0000004), 0.0);
}

TEST(Computed, ThenCarriesAFailureOnWithItsReason) {
    const Computed<double> length = Computed<double>::failed(QStringLiteral("线路长度未输入"));
    const Computed<double> doubled = length.then([](double v) { return Computed<double>(2 * v); });
    EXPECT_FALSE(doubled.ok());
    EXPECT_EQ(doubled.reason(), QStringLiteral("线路长度未输入"));
    EXPECT_EQ(doubled.valueOr(-1.0), -1.0);
    const Computed<int> next = Computed<double>(2.5).then([](double v) {
        return v > 2 ? Computed<int>(3) : Computed<int>::failed(QStringLiteral("太小"));
    });
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(*next, 3);
}

// Values of a thousand and more print grouped; they round all the same, in the format given.
// Terms inside a formula are checked but never rounded.
TEST(StepChain, SixDecimalPolicyRoundsGroupedFiguresInTheirFormat) {
    RegionalFormat german;
    german.decimalSign = u',';
    german.groupSign = u'.';
    struct Case {
        const char* what;
        RegionalFormat format;
        double value;
        double rounded;
    };
    const Case cases[] = {
        {"below a thousand", RegionalFormat{}, 999.0000004, 999.0},
        {"grouped in threes", RegionalFormat{}, 1592.0100004, 1592.01},
        {"grouped in millions", RegionalFormat{}, 1234567.1234567, 1234567.123457},
        {"decimal comma", german, 1584.0499504, 1584.04995},
        {"negative", german, -2500.0000006, -2500.000001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StepChain book(Rounding::SixDecimals, c.format);
        EXPECT_EQ(book.value(c.value), c.rounded);
        EXPECT_EQ(book.checked(c.value), c.value);
        EXPECT_EQ(book.quotient(c.value, 1.0), c.value);
        EXPECT_FALSE(book.failed());
    }
    StepChain exact;
    EXPECT_EQ(exact.value(1592.0100004), 1592.0100004);
    StepChain terms(Rounding::SixDecimals);
    terms.quotient(1.0, 0.0);
    EXPECT_EQ(terms.reason(), QStringLiteral("除数为0"));
    terms.checked(std::numeric_limits<double>::infinity());
    EXPECT_EQ(terms.reason(), QStringLiteral("除数为0"));
}

TEST(Computed, NothingComputedHasNoValueAndNoReason) {
    const Computed<double> none = std::nullopt;
    EXPECT_FALSE(none.ok());
    EXPECT_FALSE(none.has_value());
    EXPECT_TRUE(none.reason().isEmpty());
    EXPECT_EQ(none.valueOr(1.5), 1.5);
}

} // namespace
} // namespace korvane::testing
