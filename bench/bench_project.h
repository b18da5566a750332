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

// `circuits` feeders of 60 poles each as a surveyor lists them: a trunk of 40 poles and two
// branches of 10 leaving poles 15 and 30, spans of 25 to 45 m, poles alternately with one
// 150 W discharge lamp (cos φ 0.9, gear 1.2) and with a 90 W LED beside a 60 W one (cos φ 0.95),
// alternately single-phase and in turn; the branches in 10 mm² of the trunk's cable type.
inline Project branchedFeederProject(const QString& name, int circuits) {
    Project project = benchProject(name, circuits, 1, [](int) { return 60; });
    const LampGroup discharge{1, 150.0, 0.9, 1.2, std::nullopt};
    const LampGroup led{1, 90.0, 0.95, 1.0, std::nullopt};
    const LampGroup small{1, 60.0, 0.95, 1.0, 15.0};
    for (int i = 0; i < circuits; ++i) {
        ProjectCircuit& c = project.circuits[i];
        auto& lamps = std::get<LampFeeder>(c.load);
        auto span = [i](int k) { return 25.0 + (i + 7 * k) % 21; };
        auto pole = [&](const QString& id, int k) {
            FeederPole p;
            p.id = id;
            p.spanM = span(k);
            p.lamps =
                k % 2 ? std::vector<LampGroup>{discharge} : std::vector<LampGroup>{led, small};
            return p;
        };
        FeederRun trunk{QStringLiteral("干线"), {}, std::nullopt, {}};
        for (int k = 1; k <= 40; ++k)
            trunk.poles.push_back(pole(QStringLiteral("N%1").arg(k), k));
        CableIdentity branchCable = c.line.cable;
        branchCable.crossSection = QStringLiteral("10");
        FeederRun first{QStringLiteral("支线1"), QStringLiteral("N15"), branchCable, {}};
        FeederRun second{QStringLiteral("支线2"), QStringLiteral("N30"), branchCable, {}};
        for (int k = 1; k <= 10; ++k) {
            first.poles.push_back(pole(QStringLiteral("A%1").arg(k), k + 40));
            second.poles.push_back(pole(QStringLiteral("B%1").arg(k), k + 50));
        }
        lamps.poleList.runs = {trunk, first, second};
    }
    return project;
}

} // namespace korvane::bench
