#include "project/sizing.h"

#include <algorithm>

namespace korvane {

ProjectCircuit withCableSection(const ProjectCircuit& circuit, const CableRow& row,
                                const HandbookLineConstants& constants) {
    ProjectCircuit sized = circuit;
    CircuitLine& line = sized.line;
    line.cable = row.cable;
    line.resistanceOhmPerKm = row.resistanceOhmPerKm;
    line.reactanceOhmPerKm = row.reactanceOhmPerKm;
    line.perMetreMilliOhm = {constants.resistance, constants.reactance, constants.loopResistance,
                             constants.loopReactance};
    // The phase-to-neutral loop of a four-core cable whose neutral is a core of the phase
    // section: the phase and the neutral in series, the same loop as the phase and the
    // protective conductor of R′php, X′php (Sp = S).
    line.neutralResistanceMilliOhmPerM = constants.loopResistance;
    line.neutralReactanceMilliOhmPerM = constants.loopReactance;
    sized.protection.leakagePerKmMa = constants.leakagePerKmMa;
    return sized;
}

SizingResult sizeCircuit(const Project& project, const ProjectCircuit& circuit,
                         const CableCatalogue& catalogue) {
    SizingResult result;
    result.sizedCircuit = circuit;
    const CableIdentity& cable = circuit.line.cable;
    const auto sections = catalogue.sectionsOf(cable.lossType, cable.cableType);
    if (sections.empty()) {
        result.notSized =
            QStringLiteral("电缆数据库中无“%1 / %2”").arg(cable.lossType, cable.cableType);
        result.sizedResult = computeCircuit(project, circuit, catalogue);
        return result;
    }
    const Computed<CableConstruction> construction = cableConstruction(cable);
    if (!construction) {
        result.notSized = construction.reason();
        result.sizedResult = computeCircuit(project, circuit, catalogue);
        return result;
    }

    for (const CableRow* row : sections) {
        SizingCandidate candidate;
        candidate.crossSection = row->cable.crossSection;
        const Computed<HandbookLineConstants> constants =
            handbookLineConstants(*construction, *row->crossSectionMm2);
        if (!constants) {
            candidate.notChecked = constants.reason();
            result.candidates.push_back(candidate);
            continue;
        }
        ProjectCircuit trial = withCableSection(circuit, *row, *constants);
        CircuitResult computed = computeCircuit(project, trial, catalogue);
        if (const auto failure = computed.firstFailure()) {
            candidate.failed = *failure;
            candidate.failedText = computed.check(*failure).text;
            result.candidates.push_back(candidate);
            continue;
        }
        result.candidates.push_back(candidate);
        result.chosen = result.candidates.size() - 1;
        result.sizedCircuit = std::move(trial);
        result.sizedResult = std::move(computed);
        break;
    }

    if (!result.chosen) {
        result.sizedResult = computeCircuit(project, circuit, catalogue);
        // The largest section the tables could check says what fails there.
        const auto checked =
            std::find_if(result.candidates.rbegin(), result.candidates.rend(),
                         [](const SizingCandidate& c) { return c.notChecked.isEmpty(); });
        if (checked == result.candidates.rend())
            result.notSized =
                QStringLiteral("没有可校验的截面：") + result.candidates.back().notChecked;
        else
            result.notSized =
                QStringLiteral("最大可校验截面 %1 mm² 仍不满足%2：%3")
                    .arg(checked->crossSection, checkName(*checked->failed), checked->failedText);
        return result;
    }
    if (*result.chosen > 0) {
        const SizingCandidate& smaller = result.candidates[*result.chosen - 1];
        result.governing = smaller.failed;
        result.governingText =
            smaller.failed
                ? QStringLiteral("%1 mm² 不满足%2：%3")
                      .arg(smaller.crossSection, checkName(*smaller.failed), smaller.failedText)
                : QStringLiteral("%1 mm² 无法校验：%2")
                      .arg(smaller.crossSection, smaller.notChecked);
    } else {
        result.governingText = QStringLiteral("最小截面即满足全部校验");
    }
    return result;
}

} // namespace korvane
