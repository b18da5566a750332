#include "project/handbook_constants.h"

#include "base/number_format.h"

namespace korvane {

namespace {

QString sectionText(double crossSectionMm2) {
    return formatGeneral(crossSectionMm2, RegionalFormat{});
}

Computed<double> lookUp(const SectionRow& row, double crossSectionMm2, const char* what) {
    if (const auto value = row.at(crossSectionMm2))
        return *value;
    return Computed<double>::failed(
        QStringLiteral("手册表中无 %1 mm² 的%2")
            .arg(sectionText(crossSectionMm2), QString::fromUtf8(what)));
}

QString metalOf(const CableConstruction& construction) {
    return construction.material == ConductorMaterial::Copper ? QStringLiteral("铜")
                                                              : QStringLiteral("铝");
}

QString insulationOf(const CableConstruction& construction) {
    return construction.insulation == Insulation::Pvc ? QStringLiteral("全塑电缆")
                                                      : QStringLiteral("交联电缆");
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
    const Computed<ConductorMaterial> material = conductorMaterial(cable);
    if (!material)
        return Computed<CableConstruction>::failed(material.reason());
    c.material = *material;
    return c;
}

Computed<ConductorMaterial> conductorMaterial(const CableIdentity& cable) {
    if (cable.cableType.contains(u'铜'))
        return ConductorMaterial::Copper;
    if (cable.cableType.contains(u'铝'))
        return ConductorMaterial::Aluminium;
    return Computed<ConductorMaterial>::failed(
        QStringLiteral("无法从电缆类型“%1”判断导体材料").arg(cable.cableType));
}

QString constructionName(const CableConstruction& construction) {
    return metalOf(construction) + (construction.insulation == Insulation::Pvc
                                        ? QStringLiteral("芯聚氯乙烯电缆")
                                        : QStringLiteral("芯交联聚乙烯电缆"));
}

Computed<double> thermalCoefficientK(const CableConstruction& construction) {
    if (const auto k = thermalCoefficient(construction.material, construction.insulation))
        return *k;
    return Computed<double>::failed(QStringLiteral("手册热稳定系数表中无%1芯%2的K值")
                                        .arg(metalOf(construction), insulationOf(construction)));
}

Computed<HandbookLineConstants> handbookLineConstants(const CableConstruction& construction,
                                                      double crossSectionMm2) {
    const Computed<double> r =
        lookUp(conductorResistance(construction.material), crossSectionMm2, "导线电阻 R′");
    const Computed<double> x =
        lookUp(cableReactance(construction.insulation), crossSectionMm2, "电抗 X′");
    // Four-core cables, protective conductor of the phase section (Sp = S).
    const Computed<double> rphp =
        lookUp(fourCoreLoopResistance(construction.material), crossSectionMm2, "相保电阻 R′php");
    // X′php of the table is that of all-plastic cables, and each of its figures is twice the
    // cable's X′ (the phase and the protective core in series, Sp = S). XLPE cables take the
    // same loop from their own X′.
    const Computed<double> xphp =
        construction.insulation == Insulation::Pvc
            ? lookUp(allPlasticLoopReactance(ProtectiveSection::Full), crossSectionMm2,
                     "相保电抗 X′php")
            : x.then([](double reactance) { return Computed<double>(2.0 * reactance); });
    const Computed<double> leakage =
        lookUp(leakagePerKm(construction.insulation), crossSectionMm2, "泄漏电流");
    for (const Computed<double>* value : {&r, &x, &rphp, &xphp, &leakage})
        if (!*value)
            return Computed<HandbookLineConstants>::failed(value->reason());
    return HandbookLineConstants{*r, *x, *rphp, *xphp, *leakage};
}

} // namespace korvane
