#include "project/project_run.h"

#include "base/file_text.h"
#include "base/number_format.h"

namespace korvane {

namespace {

// Results are written for reading back by programs too: '.' and no digit grouping.
RegionalFormat plainFormat() {
    RegionalFormat format;
    format.groupSign = QChar();
    format.groupSize = 0;
    return format;
}

// A line of the table: each field one line without a tab, whatever the engineer's texts hold.
QString tableLine(const QStringList& fields) {
    QStringList kept;
    kept.reserve(fields.size());
    for (const QString& field : fields)
        kept << oneLineText(field);
    return kept.join(u'\t');
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

ProjectRun runProject(const Project& project, const CableCatalogue& catalogue, bool size,
                      const CheckRegistry& checks) {
    ProjectRun run;
    run.project = project;
    markUnknownCables(run.project, catalogue);
    if (size) {
        run.sizing.reserve(run.project.circuits.size());
        for (ProjectCircuit& circuit : run.project.circuits) {
            // A circuit that cannot be read is not sized: its cable type may be unreadable too.
            SizingResult sized = circuit.inputProblems.isEmpty()
                                     ? sizeCircuit(run.project, circuit, catalogue, checks)
                                     : SizingResult{};
            if (!circuit.inputProblems.isEmpty()) {
                sized.notSized = QStringLiteral("回路数据有误，未选择截面");
                sized.sizedCircuit = circuit;
                sized.sizedResult =
                    computeCircuit(run.project, circuit, catalogue, CircuitDetail::Full, checks);
            }
            if (sized.chosen)
                circuit = sized.sizedCircuit;
            run.results.push_back(sized.sizedResult);
            run.sizing.push_back(std::move(sized));
        }
    } else {
        run.results = computeProject(run.project, catalogue, checks);
    }
    return run;
}

QString projectResultsText(const ProjectRun& run, const ResultSchema& schema) {
    const RegionalFormat format = plainFormat();
    QStringList header{QStringLiteral("回路"), QStringLiteral("截面(mm²)")};
    for (const SchemaColumn& column : schema.columns)
        header << column.header;
    QStringList lines{tableLine(header)};
    QStringList notes;
    for (size_t i = 0; i < run.results.size() && i < run.project.circuits.size(); ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const CircuitResult& r = run.results[i];
        QStringList cells{c.id, c.line.cable.crossSection};
        for (const SchemaColumn& column : schema.columns)
            cells << resultText(column, column.read(c, r), format, QStringLiteral("-"));
        lines << tableLine(cells);
        notes << circuitNotes(c, r);
        if (i < run.sizing.size() && run.sizing[i]) {
            const SizingResult& s = *run.sizing[i];
            if (s.chosen)
                notes << QStringLiteral("%1 选择截面 %2 mm²（%3）")
                             .arg(c.id, s.candidates[*s.chosen].crossSection, s.governingText);
            else
                notes << QStringLiteral("%1 无法选择截面：%2").arg(c.id, s.notSized);
        }
    }
    QString text = lines.join(u'\n') + u'\n';
    if (!notes.isEmpty()) {
        for (QString& note : notes)
            note = oneLineText(note);
        text += u'\n' + notes.join(u'\n') + u'\n';
    }
    return text;
}

} // namespace korvane
