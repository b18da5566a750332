#include "project/handbook_constants.h"

#include "form/number_format.h"
#include "reference_tables/reference_tables.h"

#include <cmath>

namespace korvane {

namespace {

const ReferenceTable& table(const char* form) {
    for (const ReferenceTable& t : referenceTables())
        if (t.form == QLatin1String(form))
            return t;
    throw std::logic_error(std::string("no handbook table ") + form);
}

// The figure of `row` in the column whose heading (row 0) is the cross-section; the tables head
// their sections after one to three label columns.
std::optional<double> figure(const ReferenceTable& t, int row, double crossSectionMm2) {
    const QStringList& heading = t.cells.front();
    for (qsizetype col = 0; col < heading.size(); ++col) {
        const auto section = readPlainDecimal(heading.at(col));
        if (section && std::abs(*section - crossSectionMm2) < 1e-9)
            return readPlainDecimal(t.cells.at(size_t(row)).value(col));
    }
    return std::nullopt;
}

// The row of a table whose first cell, trimmed, starts with `label`.
int rowOf(const ReferenceTable& t, const QString& label, int from = 1) {
    for (size_t r = size_t(from); r < t.cells.size(); ++r)
        if (t.cells[r].value(0).trimmed().startsWith(label))
            return int(r);
    throw std::logic_error("no row " + label.toStdString());
}

QString sectionText(double crossSectionMm2) {
    return formatGeneral(crossSectionMm2, RegionalFormat{});
}

Computed<double> lookUp(const char* form, int row, double crossSectionMm2, const char* what) {
    if (const auto value = figure(table(form), row, crossSectionMm2))
        return *value;
    return Computed<double>::failed(
        QStringLiteral("手册表中无 %1 mm² 的%2")
            .arg(sectionText(crossSectionMm2), QString::fromUtf8(what)));
}

} // namespace

Computed<CableConstruction> cableConstruction(const CableIdentity& cable) {
    CableConstruction c;
    if (cable.lossType.startsWith(QStringLiteral("聚氯乙烯绝缘电力电缆")))
        c.insulation = Insulation::Pvc;
    else if (cable.lossType.startsWith(QStringLiteral("交联聚乙烯绝缘电力电缆")))
        c.insulation = Insulation::Xlpe;
    else
        return Computed<CableConstruction>::failed(
            QStringLiteral("手册表中无“%1”的单位长度阻抗值").arg(cable.lossType));
    if (cable.cableType.contains(QStringLiteral("铜")))
        c.material = ConductorMaterial::Copper;
    else if (cable.cableType.contains(QStringLiteral("铝")))
        c.material = ConductorMaterial::Aluminium;
    else
        return Computed<CableConstruction>::failed(
            QStringLiteral("无法从电缆类型“%1”判断导体材料").arg(cable.cableType));
    return c;
}

namespace {

QString metalOf(const CableConstruction& construction) {
    return construction.material == ConductorMaterial::Copper ? QStringLiteral("铜")
                                                              : QStringLiteral("铝");
}

QString insulationOf(const CableConstruction& construction) {
    return construction.insulation == Insulation::Pvc ? QStringLiteral("全塑电缆")
                                                      : QStringLiteral("交联电缆");
}

} // namespace

double thermalCoefficientK(const CableConstruction& construction) {
    // The columns are headed by the insulation (merged over three columns), the rows by the metal.
    const ReferenceTable& k = table("Form10");
    const QStringList& heading = k.cells.front();
    const QString insulation = insulationOf(construction);
    for (qsizetype col = 1; col < heading.size(); ++col)
        if (heading.at(col).startsWith(insulation))
            if (const auto value = readPlainDecimal(
                    k.cells.at(size_t(rowOf(k, metalOf(construction)))).value(col)))
                return *value;
    throw std::logic_error("no K for " + insulation.toStdString());
}

Computed<HandbookLineConstants> handbookLineConstants(const CableConstruction& construction,
                                                      double crossSectionMm2) {
    const QString metal = metalOf(construction);
    const QString insulation = insulationOf(construction);
    const Computed<double> r =
        lookUp("Form4", rowOf(table("Form4"), metal), crossSectionMm2, "导线电阻 R′");
    const Computed<double> x =
        lookUp("Form5", rowOf(table("Form5"), insulation), crossSectionMm2, "电抗 X′");
    // Four-core cables, protective conductor of the phase section (Sp = S): the first rows of
    // the R′php table.
    const Computed<double> rphp =
        lookUp("Form2", rowOf(table("Form2"), metal), crossSectionMm2, "相保电阻 R′php");
    // X′php of the table is that of all-plastic cables, and each of its figures is twice the
    // cable's X′ (the phase and the protective core in series, Sp = S). XLPE cables take the
    // same loop from their own X′.
    const Computed<double> xphp =
        construction.insulation == Insulation::Pvc
            ? lookUp("Form3", rowOf(table("Form3"), insulation), crossSectionMm2, "相保电抗 X′php")
            : x.then([](double reactance) { return Computed<double>(2.0 * reactance); });
    const Computed<double> leakage =
        lookUp("Form12", rowOf(table("Form12"), insulation), crossSectionMm2, "泄漏电流");
    for (const Computed<double>* value : {&r, &x, &rphp, &xphp, &leakage})
        if (!*value)
            return Computed<HandbookLineConstants>::failed(value->reason());
    return HandbookLineConstants{*r, *x, *rphp, *xphp, *leakage};
}

} // namespace korvane
