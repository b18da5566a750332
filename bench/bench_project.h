#pragma once

// The projects the benchmarks time: many circuits of one supply, on 16 mm² YJV copper.

#include "db/database.h"
#include "project/cable_catalogue.h"
#include "project/project.h"

#include <QDir>

#include <functional>

namespace korvane::bench {

// The shipped cable database with its reference data of project circuits, read once.
inline const CableCatalogue& shippedCatalogue() {
    static const CableCatalogue catalogue = [] {
        Database db(
            QDir(QStringLiteral(KORVANE_HOME)).filePath(QStringLiteral("Database/JhxlDlxlss.db")));
        db.open(QStringLiteral("AAA"));
        return loadCableCatalogue(db).valueOr({});
    }();
    return catalogue;
}

// `circuits` circuits from the handbook's worked supply (100 MVA, 400 kVA, busbar of 5 m). Every
// `feederEvery`-th circuit (1: all of them) is a feeder of `poles(i)` lamp poles, alternately
// single-phase and in turn; the others are a distribution box at the end of its line.
inline Project benchProject(const QString& name, int circuits, int feederEvery,
                            const std::function<int(int)>& poles) {
    Project project;
    project.name = name;
    project.supply.systemCapacityMva = 100.0;
    project.supply.transformer = {QStringLiteral("S11-M"), 400.0, 4.0, 4.3, QStringLiteral("10")};
    project.supply.busbar = {
        QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)"), {0.025, 0.15, 0.05, 0.3}, 5.0};
    project.installation = {LayingMethod::InDuct, 20.0, 2.5, 1, std::nullopt};
    for (int i = 0; i < circuits; ++i) {
        ProjectCircuit c;
        c.id = QStringLiteral("WL%1").arg(i + 1);
        c.description = QStringLiteral("第%1回路").arg(i + 1);
        c.line.cable = {QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)"),
                        QStringLiteral("YJV 四芯 铜芯"), QStringLiteral("16")};
        c.line.resistanceOhmPerKm = 1.466;
        c.line.reactanceOhmPerKm = 0.086;
        c.line.perMetreMilliOhm = {1.097, 0.082, 3.291, 0.164};
        c.line.neutralResistanceMilliOhmPerM = 1.097;
        c.line.neutralReactanceMilliOhmPerM = 0.082;
        c.protection = {143.0, 0.1, 26.0, 0.0, ProtectionMode::EarthFault, std::nullopt};
        if (i % feederEvery == 0) {
            LampFeeder lamps;
            lamps.poles = poles(i);
            lamps.lampPowerW = 40.0 + 10.0 * (i % 8);
            lamps.lampPowerFactor = 0.95;
            lamps.spacingM = 25.0 + (i % 4) * 5.0;
            lamps.firstPoleM = 30.0;
            lamps.connection = i % (2 * feederEvery) ? FeederConnection::PhasesInTurn
                                                     : FeederConnection::SinglePhase;
            c.load = lamps;
        } else {
            c.protection.loadCurrentA = 20.0 + i % 40;
            VoltageLossInput v;
            v.lineKind = LineKind::ThreePhase;
            v.loadCase = LoadCase::EndCurrent;
            v.voltageKv = {0.38, 0.38};
            v.powerFactor = 0.9;
            v.endCurrentA = c.protection.loadCurrentA;
            v.endLengthKm = 0.05 + 0.01 * (i % 50);
            c.load = LoadCaseLoad{v};
        }
        project.circuits.push_back(c);
    }
    return project;
}

} // namespace korvane::bench
