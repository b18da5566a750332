#include "project/project_run.h"

#include "form/number_format.h"

namespace korvane {

namespace {

// Results are written for reading back by programs too: '.' and no digit grouping.
RegionalFormat plainFormat() {
    RegionalFormat format;
    format.groupSign = QChar();
    format.groupSize = 0;
    return format;
}

QString fixed(const Computed<double>& value, int decimals) {
    return value ? formatFixed(*value, decimals, plainFormat()) : QStringLiteral("-");
}

QString optionalInt(const std::optional<int>& value) {
    return value ? QString::number(*value) : QStringLiteral("-");
}

} // namespace

std::optional<QString> unknownCable(const ProjectCircuit& circuit,
                                    const CableCatalogue& catalogue) {
    const CableIdentity& cable = circuit.line.cable;
    if (catalogue.find(cable))
        return std::nullopt;
    return QStringLiteral("电缆数据库中无电缆“%1 / %2 / %3 mm²”")
        .arg(cable.lossType, cable.cableType, cable.crossSection);
}

void markUnknownCables(Project& project, const CableCatalogue& catalogue) {
    for (ProjectCircuit& circuit : project.circuits)
        if (const std::optional<QString> why = unknownCable(circuit, catalogue))
            circuit.inputProblems << *why;
}

ProjectRun runProject(const Project& project, const CableCatalogue& catalogue, bool size) {
    ProjectRun run;
    run.project = project;
    markUnknownCables(run.project, catalogue);
    if (size) {
        run.sizing.reserve(run.project.circuits.size());
        for (ProjectCircuit& circuit : run.project.circuits) {
            // A circuit that cannot be read is not sized: its cable type may be unreadable too.
            SizingResult sized = circuit.inputProblems.isEmpty()
                                     ? sizeCircuit(run.project, circuit, catalogue)
                                     : SizingResult{};
            if (!circuit.inputProblems.isEmpty()) {
                sized.notSized = QStringLiteral("回路数据有误，未选择截面");
                sized.sizedCircuit = circuit;
                sized.sizedResult = computeCircuit(run.project, circuit);
            }
            if (sized.chosen)
                circuit = sized.sizedCircuit;
            run.results.push_back(sized.sizedResult);
            run.sizing.push_back(std::move(sized));
        }
    } else {
        run.results = computeProject(run.project);
    }
    return run;
}

QString projectResultsText(const ProjectRun& run) {
    QStringList lines;
    lines << QStringLiteral(
        "回路\t截面(mm²)\t长度(m)\tΔu(%)\t电压损失\t最大长度(m)\tIb(A)\tI″k3(kA)\tI″k2(kA)\t"
        "Id(kA)\tI″k1(kA)\tQR In(A)\tQC Ie(A)\tIvn(mA)\t灵敏度\tSmin(mm²)\t结论");
    QStringList notes;
    for (size_t i = 0; i < run.results.size(); ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const CircuitResult& r = run.results[i];
        const bool sc = r.shortCircuit.ok();
        auto current = [&](double ShortCircuitResult::*member) {
            return sc ? formatFixed((*r.shortCircuit).*member, 4, plainFormat())
                      : QStringLiteral("-");
        };
        const Computed<double> lengthM =
            r.lineLengthKm ? Computed<double>(*r.lineLengthKm * 1000.0) : r.lineLengthKm;
        const QString verdict = r.passed()                  ? QStringLiteral("合格")
                                : r.inputProblems.isEmpty() ? QStringLiteral("不合格")
                                                            : QStringLiteral("未计算");
        lines << QStringList{c.id,
                             c.line.cable.crossSection,
                             fixed(lengthM, 1),
                             fixed(r.lossPercent, 4),
                             checkStateText(r.check(CircuitCheck::VoltageLoss)),
                             fixed(r.maxLengthM, 1),
                             fixed(r.loadCurrentA, 3),
                             current(&ShortCircuitResult::ik3),
                             current(&ShortCircuitResult::ik2),
                             current(&ShortCircuitResult::id),
                             current(&ShortCircuitResult::ik1),
                             r.switchgear ? optionalInt(r.switchgear->breakerRatedA)
                                          : QStringLiteral("-"),
                             r.switchgear ? optionalInt(r.switchgear->contactorRatedA)
                                          : QStringLiteral("-"),
                             r.residual ? optionalInt(r.residual->ratedResidualMa)
                                        : QStringLiteral("-"),
                             r.sensitivity ? r.sensitivity->text : QStringLiteral("-"),
                             r.thermal ? r.thermal->text : QStringLiteral("-"),
                             verdict}
                     .join(u'\t');
        if (!r.inputProblems.isEmpty()) {
            notes << QStringLiteral("%1 未计算：%2").arg(c.id, r.inputProblems.join(u'；'));
        } else {
            for (const auto& [check, outcome] : r.checks)
                if (!outcome.passed())
                    notes << QStringLiteral("%1 %2%3：%4")
                                 .arg(c.id, checkName(check), checkStateText(outcome),
                                      outcome.text);
        }
        if (i < run.sizing.size()) {
            const SizingResult& s = run.sizing[i];
            if (s.chosen)
                notes << QStringLiteral("%1 选择截面 %2 mm²（%3）")
                             .arg(c.id, s.candidates[*s.chosen].crossSection, s.governingText);
            else
                notes << QStringLiteral("%1 无法选择截面：%2").arg(c.id, s.notSized);
        }
    }
    QString text = lines.join(u'\n') + u'\n';
    if (!notes.isEmpty())
        text += u'\n' + notes.join(u'\n') + u'\n';
    return text;
}

} // namespace korvane
