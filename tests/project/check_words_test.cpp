// The words of a check, written from its typed figures by the one formatter that the schedule's
// tips, the notes, the books and korvane-cli share. The expected texts are the forms the schedule
// has always shown (units after a space, "%" without; a current to a tenth without ".0").

#include "project/checks/check.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using D = FigureDigits;

TEST(CheckWords, StatementsAreWrittenFromTheirFigures) {
    const CheckFigure iz = figure(u"Iz"_qs, 97.0, u"A"_qs, D::tenthTrimmed());
    const struct {
        CheckOutcome outcome;
        const char* words;
    } rows[] = {
        {CheckOutcome::pass({compare(figure(u"Δu"_qs, 1.04790, u"%"_qs, D::fixed(4)),
                                     Relation::AtMost, figure({}, 5.0, u"%"_qs, D::shortest()))}),
         "Δu = 1.0479% ≤ 5%"},
        {CheckOutcome::pass({state(figure(u"QR In"_qs, 100, u"A"_qs, D::shortest())),
                             state(figure(u"QC Ie"_qs, 105, u"A"_qs, D::shortest()))}),
         "QR In = 100 A，QC Ie = 105 A"},
        {CheckOutcome::fail(
             {compare(figure(u"1.5Ib"_qs, 300.0, u"A"_qs, D::fixed(2)), Relation::BeyondTable,
                      figure({}, 160.0, u"A"_qs, D::shortest()))}),
         "1.5Ib = 300.00 A 超出选择表范围 (≤160 A)"},
        {CheckOutcome::fail(
             {compare(figure(u"4Ixn"_qs, 632.0, u"mA"_qs, D::fixed(2)), Relation::Exceeds,
                      figure({}, 500.0, u"mA"_qs, D::shortest()))}),
         "4Ixn = 632.00 mA 超过 500 mA"},
        // A chain of three, a current written to a tenth (77.45 → 77.5, 16.0 → 16), and a figure
        // named without its value.
        {CheckOutcome::pass({{{figure(u"Ib"_qs, 16.0, u"A"_qs, D::tenthTrimmed()),
                               figure(u"In"_qs, 20.0, u"A"_qs, D::shortest()), iz},
                              {Relation::AtMost, Relation::AtMost},
                              false},
                             compare(figure(u"IN"_qs, 77.46, u"A"_qs, D::tenthTrimmed()),
                                     Relation::AtMost, named(u"Iz"_qs))}),
         "Ib = 16 A ≤ In = 20 A ≤ Iz = 97 A，IN = 77.5 A ≤ Iz"},
        // An aside in full-width brackets, right after the statement it belongs to.
        {[] {
             CheckStatement fault = state(figure(u"始端 I″k3"_qs, 12.6241, u"kA"_qs, D::fixed(3)));
             fault.aside = true;
             return CheckOutcome::fail(
                 {compare(figure(u"Smin"_qs, 42.469, u"mm²"_qs, D::fixed(4)), Relation::AtLeast,
                          figure(u"S"_qs, 25.0, u"mm²"_qs, D::shortest())),
                  fault});
         }(),
         "Smin = 42.4690 mm² ≥ S = 25 mm²（始端 I″k3 = 12.624 kA）"},
        {CheckOutcome::pass({compare(figure(u"Id / Ir2"_qs, 5.4565, {}, D::fixed(2)),
                                     Relation::AtLeast, figure({}, 1.3, {}, D::shortest()))}),
         "Id / Ir2 = 5.46 ≥ 1.3"},
        {CheckOutcome::notComputed(u"未选出断路器 QR，无法校验"_qs), "未选出断路器 QR，无法校验"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(checkWords(row.outcome), QString::fromUtf8(row.words)) << row.words;
}

// A feeder with branches states each section's outcome led by its run, in the runs' order.
TEST(CheckWords, SectionsAreLedByTheirRuns) {
    CheckOutcome o;
    o.state = CheckOutcome::State::Failed;
    o.sections.push_back(
        {u"干线"_qs,
         CheckOutcome::fail({compare(figure(u"In"_qs, 20, u"A"_qs, D::shortest()), Relation::Above,
                                     figure(u"Iz"_qs, 18.04, u"A"_qs, D::tenthTrimmed()))})});
    o.sections.push_back({u"支线1"_qs, CheckOutcome::notComputed(u"敷设方式未给出"_qs)});
    EXPECT_EQ(o.text(), u"干线：In = 20 A > Iz = 18 A；支线1：敷设方式未给出"_qs);
}

} // namespace
} // namespace korvane::testing
