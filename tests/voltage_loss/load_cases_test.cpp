// Line kinds and load cases as values: each reads back from the text its list shows, any other
// text reads as none, and each kind offers its cases in list order.

#include "voltage_loss/line_kinds.h"
#include "voltage_loss/load_cases.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(LoadCases, EveryLineKindReadsBackFromItsListText) {
    struct Row {
        LineKind kind;
        const char* shown;
    };
    const Row rows[] = {
        {LineKind::ThreePhase, "三相平衡负荷线路"},
        {LineKind::SinglePhaseLineVoltage, "接于线电压的单相负荷线路"},
        {LineKind::TwoPhaseNeutral, "接于相电压的两相-N线平衡负荷线路"},
        {LineKind::SinglePhasePhaseVoltage, "接相电压的单相负荷线路"},
    };
    QStringList listed;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(text(row.kind), u8(row.shown));
        EXPECT_EQ(lineKindOf(u8(row.shown)), row.kind);
        listed << u8(row.shown);
    }
    EXPECT_EQ(lineKinds(), listed);
}

TEST(LoadCases, EveryLoadCaseReadsBackFromItsListText) {
    struct Row {
        LoadCase loadCase;
        const char* shown;
    };
    const Row rows[] = {
        {LoadCase::EndCurrent, "(1)终段负荷用电流矩(A.km)"},
        {LoadCase::UniformCurrent, "(2)均匀分布负荷用电流矩(A.km)"},
        {LoadCase::SeveralCurrent, "(3)几个负荷用电流矩(A.km)"},
        {LoadCase::EndPower4, "(4)终段负荷用负荷矩(kW.km)"},
        {LoadCase::SeveralPower, "(5)几个负荷用负荷矩(kW.km)"},
        {LoadCase::SeveralUnityPower,
         "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)"},
        {LoadCase::EndPower3, "(3)终段负荷用负荷矩(kW.km)"},
        {LoadCase::EndUnityPower, "(4)终段负荷且cosφ=1用负荷矩(kW.km)"},
        {LoadCase::EndUnityPowerOrDc, "(4)终段负荷且cosφ=1或直流线路用负荷矩(kW.km)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(text(row.loadCase), u8(row.shown));
        EXPECT_EQ(loadCaseOf(u8(row.shown)), row.loadCase);
    }
}

TEST(LoadCases, AnyOtherTextReadsAsNone) {
    const char* const others[] = {
        "",
        " ",
        "三相",
        "三相平衡负荷线路 ",
        " 三相平衡负荷线路",
        "(1)终段负荷用电流矩(a.km)",
        "(1)终段负荷用电流矩(A.km) ",
        "（1）终段负荷用电流矩（A.km）", // full-width brackets are not the list's
        "(3)终段负荷用负荷矩(kW.km)\r\n",
        "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1，几个负荷用负荷矩(kW.km)",
        "1",
    };
    for (const char* other : others) {
        SCOPED_TRACE(other);
        EXPECT_EQ(lineKindOf(u8(other)), std::nullopt);
        EXPECT_EQ(loadCaseOf(u8(other)), std::nullopt);
        EXPECT_TRUE(loadCasesOf(u8(other)).isEmpty());
    }
}

TEST(LoadCases, EachKindOffersItsCasesInListOrder) {
    using enum LoadCase;
    struct Row {
        LineKind kind;
        std::vector<LoadCase> cases;
    };
    const Row rows[] = {
        {LineKind::ThreePhase,
         {EndCurrent, UniformCurrent, SeveralCurrent, EndPower4, SeveralPower, SeveralUnityPower}},
        {LineKind::SinglePhaseLineVoltage,
         {EndCurrent, UniformCurrent, SeveralCurrent, EndPower4, SeveralPower, SeveralUnityPower}},
        {LineKind::TwoPhaseNeutral, {EndCurrent, UniformCurrent, EndPower3, EndUnityPower}},
        {LineKind::SinglePhasePhaseVoltage,
         {EndCurrent, UniformCurrent, EndPower3, EndUnityPowerOrDc}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(text(row.kind).toStdString());
        EXPECT_EQ(loadCasesOf(row.kind), row.cases);
        QStringList shown;
        for (LoadCase loadCase : row.cases)
            shown << text(loadCase);
        EXPECT_EQ(loadCasesOf(text(row.kind)), shown);
    }
}

} // namespace
} // namespace korvane::testing
