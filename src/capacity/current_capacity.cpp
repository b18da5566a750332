#include "capacity/current_capacity.h"

#include "base/number_format.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// Figures of the tables are compared as the numbers they are written as: 0.125 m read back from
// the database equals 0.125 typed by the engineer.
bool same(double a, double b) {
    return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b));
}

// a ≤ b, with b itself counting as within (a boundary figure computed two ways may differ in
// its last bit).
bool atMost(double a, double b) {
    return a <= b || same(a, b);
}

QString number(double value) {
    return formatGeneral(value, RegionalFormat{});
}

QString materialText(ConductorMaterial material) {
    return material == ConductorMaterial::Copper ? QStringLiteral("铜") : QStringLiteral("铝");
}

QString insulationText(Insulation insulation) {
    return insulation == Insulation::Pvc ? QStringLiteral("PVC") : QStringLiteral("XLPE");
}

// The conductor limit of the insulation in normal service (IEC 60364-5-52 table 52.1): the
// capacity tables are computed for it and no ambient at or above it leaves any margin.
double conductorLimitC(Insulation insulation) {
    return insulation == Insulation::Pvc ? 70.0 : 90.0;
}

// The annex B table a rating comes from: D1 and D2 in B.52.4 (PVC) and B.52.5 (XLPE); E in
// B.52.10 to B.52.13 (PVC copper, PVC aluminium, XLPE copper, XLPE aluminium).
QString ratingTable(ConductorMaterial material, Insulation insulation, LayingMethod method) {
    const bool copper = material == ConductorMaterial::Copper;
    const bool pvc = insulation == Insulation::Pvc;
    QString table;
    if (method == LayingMethod::InAir)
        table = pvc ? (copper ? QStringLiteral("B.52.10") : QStringLiteral("B.52.11"))
                    : (copper ? QStringLiteral("B.52.12") : QStringLiteral("B.52.13"));
    else
        table = pvc ? QStringLiteral("B.52.4") : QStringLiteral("B.52.5");
    return QStringLiteral("GB/T 16895.6-2014 表%1 %2").arg(table, methodCode(method));
}

QString groupingTable(LayingMethod method) {
    switch (method) {
    case LayingMethod::InAir:
        return QStringLiteral("表B.52.17");
    case LayingMethod::InDuct:
        return QStringLiteral("表B.52.19");
    case LayingMethod::DirectlyBuried:
        break;
    }
    return QStringLiteral("表B.52.18");
}

// The row a value reads among the rows `keys`: its own row, or between two rows the next higher
// one. Nothing below the first row or above the last.
std::optional<double> rowAtOrAbove(std::vector<double> keys, double value) {
    std::sort(keys.begin(), keys.end());
    if (keys.empty() || (value < keys.front() && !same(value, keys.front())))
        return std::nullopt;
    for (double key : keys)
        if (atMost(value, key))
            return key;
    return std::nullopt;
}

QString rangeText(const std::vector<double>& keys) {
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    return QStringLiteral("%1–%2").arg(number(*low), number(*high));
}

struct TemperatureReading {
    double factor = 1.0;
    QString rule;
};

// Kt: table B.52.14 in air (reference 30 °C), B.52.15 in the ground (reference 20 °C).
Computed<TemperatureReading> temperatureFactor(const CapacityTables& tables, Insulation insulation,
                                               LayingMethod method, double temperatureC) {
    const QString field = QStringLiteral("敷设处温度(℃)：");
    if (!std::isfinite(temperatureC))
        return Computed<TemperatureReading>::failed(field + QStringLiteral("不是有效数值"));
    const double limit = conductorLimitC(insulation);
    if (temperatureC >= limit)
        return Computed<TemperatureReading>::failed(
            field + QStringLiteral("%1 ℃ 不低于%2绝缘导体的最高允许温度 %3 ℃")
                        .arg(number(temperatureC), insulationText(insulation), number(limit)));

    const bool ground = inGround(method);
    const QString table = ground ? QStringLiteral("表B.52.15") : QStringLiteral("表B.52.14");
    const QString medium = ground ? QStringLiteral("土壤温度") : QStringLiteral("环境空气温度");
    std::vector<double> rows;
    for (const CapacityTables::TemperatureFactor& f : tables.temperatureFactors)
        if (f.ground == ground && f.insulation == insulation)
            rows.push_back(f.temperatureC);
    if (rows.empty())
        return Computed<TemperatureReading>::failed(
            QStringLiteral("载流量表中无%1绝缘电缆的温度校正系数（%2）")
                .arg(insulationText(insulation), table));
    const std::optional<double> row = rowAtOrAbove(rows, temperatureC);
    if (!row)
        return Computed<TemperatureReading>::failed(
            field +
            QStringLiteral("%1 ℃ 超出%2 %3绝缘的范围（%4 ℃）")
                .arg(number(temperatureC), table, insulationText(insulation), rangeText(rows)));

    TemperatureReading reading;
    for (const CapacityTables::TemperatureFactor& f : tables.temperatureFactors)
        if (f.ground == ground && f.insulation == insulation && same(f.temperatureC, *row))
            reading.factor = f.factor;
    reading.rule = same(*row, temperatureC)
                       ? QStringLiteral("%1 %2 ℃，%3").arg(medium, number(temperatureC), table)
                       : QStringLiteral("%1 %2 ℃，介于两行之间，取较高的 %3 ℃ 行，%4")
                             .arg(medium, number(temperatureC), number(*row), table);
    return reading;
}

// Kρ: table B.52.16, the duct row for D1 and the direct-in-ground row for D2.
Computed<double> resistivityFactor(const CapacityTables& tables, LayingMethod method,
                                   double resistivityKmW) {
    const QString field = QStringLiteral("土壤热阻系数(K·m/W)：");
    std::vector<double> rows;
    for (const CapacityTables::ResistivityFactor& f : tables.resistivityFactors)
        if (f.method == method)
            rows.push_back(f.resistivityKmW);
    if (rows.empty())
        return Computed<double>::failed(
            QStringLiteral("载流量表中无%1的土壤热阻系数校正系数（表B.52.16）").arg(text(method)));
    const std::optional<double> row = rowAtOrAbove(rows, resistivityKmW);
    if (!row)
        return Computed<double>::failed(field +
                                        QStringLiteral("%1 超出表B.52.16 的范围（%2 K·m/W）")
                                            .arg(number(resistivityKmW), rangeText(rows)));
    for (const CapacityTables::ResistivityFactor& f : tables.resistivityFactors)
        if (f.method == method && same(f.resistivityKmW, *row))
            return f.factor;
    return Computed<double>::failed(field + QStringLiteral("表B.52.16 中无对应行"));
}

// Kg: the column of the largest tabulated clearance not above the circuits' own, then the row
// of their number or, between two rows, of the next larger number.
Computed<double> groupingFactor(const CapacityTables& tables, LayingMethod method, int circuits,
                                double spacingM) {
    const QString table = groupingTable(method);
    std::optional<double> column;
    for (const CapacityTables::GroupingFactor& f : tables.groupingFactors)
        if (f.method == method && atMost(f.spacingM, spacingM) && (!column || f.spacingM > *column))
            column = f.spacingM;
    if (!column)
        return Computed<double>::failed(
            QStringLiteral("载流量表中无%1间距 %2 m 的并列校正系数（%3）")
                .arg(text(method), number(spacingM), table));

    const CapacityTables::GroupingFactor* found = nullptr;
    int largest = 0;
    for (const CapacityTables::GroupingFactor& f : tables.groupingFactors) {
        if (f.method != method || !same(f.spacingM, *column))
            continue;
        largest = std::max(largest, f.circuits);
        if (f.circuits >= circuits && (!found || f.circuits < found->circuits))
            found = &f;
    }
    if (!found)
        return Computed<double>::failed(QStringLiteral("并列回路数：%1 超过%2所列的最多回路数 %3")
                                            .arg(circuits)
                                            .arg(table)
                                            .arg(largest));
    return found->factor;
}

const CapacityTables::Rating* findRating(const CapacityTables& tables, ConductorMaterial material,
                                         Insulation insulation, LayingMethod method,
                                         double sectionMm2) {
    for (const CapacityTables::Rating& r : tables.ratings)
        if (r.material == material && r.insulation == insulation && r.method == method &&
            same(r.sectionMm2, sectionMm2))
            return &r;
    return nullptr;
}

} // namespace

QString text(LayingMethod method) {
    switch (method) {
    case LayingMethod::InAir:
        return QStringLiteral("桥架或明敷(E)");
    case LayingMethod::InDuct:
        return QStringLiteral("穿管埋地(D1)");
    case LayingMethod::DirectlyBuried:
        break;
    }
    return QStringLiteral("直埋(D2)");
}

std::optional<LayingMethod> layingMethodOf(const QString& shown) {
    for (LayingMethod method : kLayingMethods)
        if (text(method) == shown)
            return method;
    return std::nullopt;
}

QString methodCode(LayingMethod method) {
    switch (method) {
    case LayingMethod::InAir:
        return QStringLiteral("E");
    case LayingMethod::InDuct:
        return QStringLiteral("D1");
    case LayingMethod::DirectlyBuried:
        break;
    }
    return QStringLiteral("D2");
}

bool inGround(LayingMethod method) {
    return method != LayingMethod::InAir;
}

InstallationConditions effectiveConditions(const InstallationConditions& own,
                                           const InstallationConditions& project) {
    InstallationConditions c;
    c.method = own.method ? own.method : project.method;
    c.temperatureC = own.temperatureC ? own.temperatureC : project.temperatureC;
    c.soilResistivityKmW =
        own.soilResistivityKmW ? own.soilResistivityKmW : project.soilResistivityKmW;
    c.groupedCircuits = own.groupedCircuits ? own.groupedCircuits : project.groupedCircuits;
    c.spacingM = own.spacingM ? own.spacingM : project.spacingM;
    return c;
}

Computed<CurrentCarryingCapacity>
currentCarryingCapacity(const CapacityTables& tables, ConductorMaterial material,
                        Insulation insulation, double sectionMm2,
                        const InstallationConditions& conditions) {
    using Result = Computed<CurrentCarryingCapacity>;
    const QString missing = QStringLiteral("缺少数值");
    if (!conditions.method)
        return Result::failed(QStringLiteral("敷设方式：") + missing);
    const LayingMethod method = *conditions.method;
    if (!conditions.temperatureC)
        return Result::failed(QStringLiteral("敷设处温度(℃)：") + missing);
    // The soil's resistivity matters in the ground only (B.52.16); in air it is ignored.
    const bool ground = inGround(method);
    if (ground) {
        if (!conditions.soilResistivityKmW)
            return Result::failed(QStringLiteral("土壤热阻系数(K·m/W)：") + missing);
        if (!(*conditions.soilResistivityKmW > 0.0))
            return Result::failed(QStringLiteral("土壤热阻系数(K·m/W)：应大于0"));
    }
    if (!conditions.groupedCircuits)
        return Result::failed(QStringLiteral("并列回路数：") + missing);
    const int circuits = *conditions.groupedCircuits;
    if (circuits < 1)
        return Result::failed(QStringLiteral("并列回路数：应不小于1"));
    // One circuit is not grouped: its clearance to nothing does not matter.
    if (!conditions.spacingM && circuits > 1)
        return Result::failed(QStringLiteral("回路间距(m)：") + missing);
    const double spacingM = conditions.spacingM.value_or(0.0);
    if (!(spacingM >= 0.0))
        return Result::failed(QStringLiteral("回路间距(m)：不能为负数"));

    const CapacityTables::Rating* rating =
        findRating(tables, material, insulation, method, sectionMm2);
    if (!rating)
        return Result::failed(QStringLiteral("载流量表中无%1芯%2电缆 %3 mm² 的%4敷设载流量")
                                  .arg(materialText(material), insulationText(insulation),
                                       number(sectionMm2), text(method)));

    const Computed<TemperatureReading> temperature =
        temperatureFactor(tables, insulation, method, *conditions.temperatureC);
    if (!temperature)
        return Result::failed(temperature.reason());
    Computed<double> resistivity = 1.0;
    if (ground)
        resistivity = resistivityFactor(tables, method, *conditions.soilResistivityKmW);
    if (!resistivity)
        return Result::failed(resistivity.reason());
    const Computed<double> grouping = groupingFactor(tables, method, circuits, spacingM);
    if (!grouping)
        return Result::failed(grouping.reason());

    CurrentCarryingCapacity c;
    c.tabulatedA = rating->currentA;
    c.temperatureFactor = temperature->factor;
    c.resistivityFactor = *resistivity;
    c.groupingFactor = *grouping;
    c.capacityA = c.tabulatedA * c.temperatureFactor * c.resistivityFactor * c.groupingFactor;
    c.table = ratingTable(material, insulation, method);
    c.temperatureRule = temperature->rule;
    return c;
}

// GB/T 16895.6-2014 annex E, table E.52.1: up to 15 % no reduction; above 15 % and up to 33 %
// 0.86 on the phase current; above 33 % and up to 45 % the neutral current decides, with 0.86;
// above 45 % the neutral current decides, with 1.0. A band's upper edge belongs to it.
Computed<HarmonicReduction> harmonicReduction(double thirdHarmonicPercent) {
    if (!(thirdHarmonicPercent >= 0.0 && thirdHarmonicPercent <= 100.0))
        return Computed<HarmonicReduction>::failed(
            QStringLiteral("三次谐波含量(%)：应在0至100之间"));
    HarmonicReduction r;
    if (thirdHarmonicPercent <= 15.0)
        r = {1.0, false};
    else if (thirdHarmonicPercent <= 33.0)
        r = {0.86, false};
    else if (thirdHarmonicPercent <= 45.0)
        r = {0.86, true};
    else
        r = {1.0, true};
    return r;
}

double neutralCurrentWithHarmonics(double neutralFundamentalA, double sumOfPhaseCurrentsA,
                                   double thirdHarmonicPercent) {
    // The third harmonics of the three phases are in phase (zero sequence) and add arithmetically
    // in the neutral (annex E: IN = 3·h·IL for a balanced load). The fundamental imbalance is a
    // 50 Hz current and the triplens a 150 Hz one: their RMS values add in quadrature.
    const double triplenA = thirdHarmonicPercent / 100.0 * sumOfPhaseCurrentsA;
    return std::sqrt(neutralFundamentalA * neutralFundamentalA + triplenA * triplenA);
}

double classCThirdHarmonicLimitPercent(double powerFactor) {
    // IEC 61000-3-2 (GB 17625.1) table 2, class C above 25 W: third harmonic 30·λ % of the
    // fundamental input current.
    return 30.0 * powerFactor;
}

OverloadProtection checkOverloadProtection(double loadCurrentA, double ratedCurrentA,
                                           double conventionalTripFactor, double capacityA) {
    OverloadProtection p;
    p.loadCurrentA = loadCurrentA;
    p.ratedCurrentA = ratedCurrentA;
    p.capacityA = capacityA;
    p.conventionalTripA = conventionalTripFactor * ratedCurrentA;
    // GB 50054-2011 6.3.3: IB ≤ In ≤ Iz (6.3.3-1) and I2 ≤ 1.45·Iz (6.3.3-2).
    p.loadWithinRating = atMost(loadCurrentA, ratedCurrentA);
    p.ratingWithinCapacity = atMost(ratedCurrentA, capacityA);
    p.tripWithinLimit = atMost(p.conventionalTripA, kConventionalTripLimit * capacityA);
    return p;
}

} // namespace korvane
