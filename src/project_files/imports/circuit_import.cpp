#include "project_files/imports/circuit_import.h"

#include "base/atomic_file.h"
#include "base/number_format.h"
#include "project/example_circuits.h"
#include "project/handbook_constants.h"
#include "project/inputs/schedule_columns.h"
#include "project/sizing.h"
#include "project_files/imports/sheet_reading.h"
#include "project_files/imports/xlsx_reader.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace korvane {

namespace {

using C = ScheduleColumn;

const QString kCircuitSheetName = QStringLiteral("回路表");
const QString kIdHeader = QStringLiteral("回路编号");

// ---- The columns ------------------------------------------------------------------------------

struct ReadColumn {
    C column;
    size_t index; // in the sheet, from 0
};

// The load kind first (it chooses the load the other columns fill), then the identifier, then
// the rest in the schedule's order (the load case before the load and distance it places).
int applyOrder(C column) {
    if (column == C::LoadKind)
        return -2;
    if (column == C::Id)
        return -1;
    return int(column);
}

bool belongsToLoad(C column) {
    return int(column) > int(C::LoadKind);
}

bool fromCableTables(C column) {
    const auto& columns = cableTableColumns();
    return std::find(columns.begin(), columns.end(), column) != columns.end();
}

bool namesTheCable(C column) {
    return column == C::LossType || column == C::CableType || column == C::CrossSection;
}

// A number column's text with a comma: in a CSV separated by ';' (written where the decimal sign
// is a comma) one comma that cannot be a thousands separator is the decimal sign; anywhere else,
// and where it may be either, the cell is refused with the advice to write a point.
std::optional<QString> readCommaNumber(C column, ScheduleCell& cell, bool commaDecimals) {
    const QString* text = std::get_if<QString>(&cell);
    if (!text || !text->contains(u',') || !scheduleColumnIsNumeric(column))
        return std::nullopt;
    if (const auto point = commaDecimals ? commaDecimalAsPoint(*text) : std::nullopt) {
        cell = *point;
        return std::nullopt;
    }
    return notANumberReason(column, *text);
}

// The lengths a circuit list gives that no line has: a negative distance.
QStringList negativeLengths(const ProjectCircuit& circuit) {
    QStringList reasons;
    for (const C column : {C::CircuitSpacingM, C::LoadDistanceKm, C::SpacingM, C::FirstPoleM}) {
        const ScheduleCell cell = scheduleCell(circuit, column);
        if (const double* value = std::get_if<double>(&cell); value && *value < 0.0)
            reasons << QStringLiteral("“%1”不能为负数：%2")
                           .arg(scheduleHeader(column), formatGeneral(*value, {}));
    }
    if (const auto* loads = std::get_if<LoadCaseLoad>(&circuit.load)) {
        const VoltageLossInput& v = loads->values;
        for (const auto* several : {&v.currentLoads, &v.powerLoads, &v.unityPowerLoads})
            for (const LoadAtDistance& load : *several)
                if (load.lengthKm < 0.0) {
                    reasons << QStringLiteral("“%1”的距离不能为负数：%2")
                                   .arg(scheduleHeader(C::SeveralLoads),
                                        formatGeneral(load.lengthKm, {}));
                    return reasons;
                }
    }
    return reasons;
}

CircuitImport failure(const QString& why) {
    CircuitImport result;
    result.problems << why;
    return result;
}

CircuitImport circuitsFromGrid(const SheetGrid& grid, const CableCatalogue& catalogue,
                               bool commaDecimals) {
    const QString idKey = scheduleHeaderKey(scheduleHeader(C::Id));
    // The header row.
    std::optional<size_t> headerRow;
    for (size_t row = 0;
         row < grid.rows.size() && row < size_t(kSheetHeaderSearchRows) && !headerRow; ++row)
        for (const ScheduleCell& cell : grid.rows[row])
            if (scheduleHeaderKey(scheduleCellText(cell)) == idKey)
                headerRow = row;
    for (size_t row = 0; row < grid.rows.size() && !headerRow; ++row)
        if (gridRowHasContent(grid, row))
            headerRow = row;
    if (!headerRow)
        return failure(QStringLiteral("文件中没有内容"));

    CircuitImport result;
    std::vector<ReadColumn> columns;
    QStringList unknown;
    const std::vector<ScheduleCell>& headers = grid.rows[*headerRow];
    for (size_t index = 0; index < headers.size(); ++index) {
        if (const QString* why = gridCellProblem(grid, *headerRow, index))
            return failure(QStringLiteral("第%1行%2列的表头无法读出：%3")
                               .arg(*headerRow + 1)
                               .arg(columnLetters(int(index)), *why));
        const QString text = scheduleCellText(headers[index]).trimmed();
        if (text.isEmpty())
            continue;
        const QString key = scheduleHeaderKey(text);
        const auto& infos = scheduleInputColumns();
        const auto info = std::find_if(infos.begin(), infos.end(), [&](const auto& i) {
            return scheduleHeaderKey(QString::fromUtf8(i.header)) == key;
        });
        if (info == infos.end()) {
            unknown << text.left(40);
            continue;
        }
        for (const ReadColumn& seen : columns)
            if (seen.column == info->column)
                return failure(QStringLiteral("“%1”列出现了两次（%2列和%3列）")
                                   .arg(QString::fromUtf8(info->header),
                                        columnLetters(int(seen.index)), columnLetters(int(index))));
        columns.push_back({info->column, index});
    }
    QStringList missing;
    for (const ScheduleColumnInfo& info : scheduleInputColumns()) {
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const ReadColumn& c) {
            return c.column == info.column;
        });
        if (info.required && !present && !fromCableTables(info.column))
            missing << QString::fromUtf8(info.header);
    }
    if (!missing.isEmpty())
        return failure(QStringLiteral("第%1行的表头缺少必需的列：%2")
                           .arg(*headerRow + 1)
                           .arg(quotedList(missing)));
    std::sort(columns.begin(), columns.end(), [](const ReadColumn& a, const ReadColumn& b) {
        return applyOrder(a.column) < applyOrder(b.column);
    });
    // The values the cable tables give that the list has no column for: blank in every row.
    std::vector<C> absent;
    for (const C column : cableTableColumns())
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const ReadColumn& c) { return c.column == column; }))
            absent.push_back(column);

    // The rows.
    std::set<size_t> headless; // columns without a header that hold something
    QStringList failedRows;
    QStringList filled;
    std::map<QString, size_t> firstRowOf; // identifiers case-folded, with the row that has it
    std::vector<ProjectCircuit> circuits;
    for (size_t row = *headerRow + 1; row < grid.rows.size(); ++row) {
        const bool hasInput = std::any_of(columns.begin(), columns.end(), [&](const ReadColumn& c) {
            return !isBlankCell(gridCell(grid, row, c.index)) ||
                   gridCellProblem(grid, row, c.index);
        });
        for (size_t index = 0; index < grid.rows[row].size(); ++index)
            if ((index >= headers.size() || isBlankCell(headers[index])) &&
                !isBlankCell(grid.rows[row][index]))
                headless.insert(index);
        if (!hasInput)
            continue;
        ProjectCircuit circuit;
        QStringList reasons;
        bool kindRead = true;
        bool cableRead = true;
        std::vector<C> blanks = absent;
        for (const ReadColumn& c : columns) {
            if (!kindRead && belongsToLoad(c.column))
                continue; // the load's cells mean nothing without its kind
            ScheduleCell cell = gridCell(grid, row, c.index);
            std::optional<QString> why;
            if (const QString* problem = gridCellProblem(grid, row, c.index)) {
                why = QStringLiteral("“%1”%2").arg(scheduleHeader(c.column), *problem);
            } else if (fromCableTables(c.column) && isBlankCell(cell)) {
                blanks.push_back(c.column);
                continue;
            } else {
                why = readCommaNumber(c.column, cell, commaDecimals);
                if (!why)
                    why = applyScheduleCell(circuit, c.column, cell);
            }
            if (why) {
                reasons << *why;
                if (c.column == C::LoadKind)
                    kindRead = false;
                if (namesTheCable(c.column))
                    cableRead = false;
            } else if (c.column == C::Id) {
                const auto [first, isNew] = firstRowOf.emplace(circuit.id.toCaseFolded(), row);
                if (!isNew)
                    reasons << QStringLiteral("回路编号“%1”与第%2行重复")
                                   .arg(circuit.id)
                                   .arg(first->second + 1);
            }
        }
        reasons << negativeLengths(circuit);
        if (cableRead) {
            const CableFill fill = fillBlankCableValues(circuit, blanks, catalogue);
            if (!fill.refused.isEmpty())
                reasons << fill.refused;
            else if (!fill.filled.isEmpty())
                filled << QStringLiteral("第%1行：%2").arg(row + 1).arg(fill.filled);
        }
        if (!reasons.isEmpty())
            failedRows << QStringLiteral("第%1行：%2").arg(row + 1).arg(reasons.join(u'；'));
        else
            circuits.push_back(std::move(circuit));
    }

    if (!failedRows.isEmpty()) {
        result.problems
            << QStringLiteral("有 %1 行无法读入，未导入任何回路：").arg(failedRows.size());
        result.problems << failedRows;
    } else if (circuits.empty()) {
        result.problems << QStringLiteral("表头下没有回路");
    } else {
        result.ok = true;
        result.circuits = std::move(circuits);
        result.filled = std::move(filled);
    }
    if (!unknown.isEmpty())
        result.problems << QStringLiteral("以下列不是输入列，未读入：%1").arg(quotedList(unknown));
    if (!headless.empty()) {
        QStringList letters;
        for (const size_t index : headless)
            letters << columnLetters(int(index));
        result.problems
            << QStringLiteral("%1列没有表头，其内容未读入").arg(letters.join(QStringLiteral("、")));
    }
    return result;
}

// ---- The template -----------------------------------------------------------------------------

QByteArray circuitsCsv(const std::vector<ProjectCircuit>& circuits) {
    QString text;
    QStringList fields;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        fields << csvField(QString::fromUtf8(info.header));
    text += fields.join(u',') + QStringLiteral("\r\n");
    for (const ProjectCircuit& circuit : circuits) {
        fields.clear();
        for (const ScheduleColumnInfo& info : scheduleInputColumns())
            fields << csvField(scheduleCellText(scheduleCell(circuit, info.column)));
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

// A four-core PVC copper cable of the cable database with the handbook's per-metre values.
std::optional<ProjectCircuit> onVvCopper(ProjectCircuit circuit, const char* section,
                                         double rOhmPerKm, double xOhmPerKm) {
    const CableRow row{{QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"),
                        QStringLiteral("VV 四芯 铜芯"), QString::fromLatin1(section)},
                       rOhmPerKm,
                       xOhmPerKm};
    const auto construction = cableConstruction(row.cable);
    if (!construction || !row.crossSectionMm2)
        return std::nullopt;
    const auto constants = handbookLineConstants(*construction, *row.crossSectionMm2);
    if (!constants)
        return std::nullopt;
    return withCableSection(circuit, row, *constants);
}

} // namespace

CircuitImport importCircuits(const QString& path, const CableCatalogue& catalogue,
                             const SheetLimits& limits) {
    const ImportSheet sheet = readImportSheet(path, kCircuitSheetName, kIdHeader, limits);
    if (!sheet.grid.error.isEmpty())
        return failure(sheet.grid.error);
    return circuitsFromGrid(sheet.grid, catalogue, sheet.commaDecimals);
}

QString writeImportTemplateCsv(const QString& path) {
    ProjectCircuit loads;
    loads.id = QStringLiteral("WL1");
    loads.description = QStringLiteral("配电箱AL1");
    loads.protection = {115.0, 0.1, 0.0, 60.0, ProtectionMode::EarthFault, std::nullopt};
    VoltageLossInput v;
    v.lineKind = LineKind::ThreePhase;
    v.loadCase = LoadCase::EndCurrent;
    v.voltageKv = {0.38, 0.38};
    v.powerFactor = 0.85;
    v.endCurrentA = 60.0;
    v.endLengthKm = 0.12;
    loads.load = LoadCaseLoad{v};

    ProjectCircuit feeder;
    feeder.id = QStringLiteral("WL2");
    feeder.description = QStringLiteral("道路东侧路灯");
    feeder.protection = {115.0, 5.0, 0.0, 0.0, ProtectionMode::ShortCircuit, std::nullopt};
    LampFeeder lamps;
    lamps.poles = 25;
    lamps.lampsPerPole = 2;
    lamps.lampPowerW = 150.0;
    lamps.lampPowerFactor = 0.9;
    lamps.ballastFactor = 1.0;
    lamps.spacingM = 35.0;
    lamps.firstPoleM = 15.0;
    lamps.connection = FeederConnection::PhasesInTurn;
    lamps.startPhase = Phase::L1;
    feeder.load = lamps;
    // How each is laid: the distribution box's cable on a tray, the lighting cable directly in
    // the ground beside a second circuit 0.25 m away. Columns left empty take the project's.
    loads.installation = {LayingMethod::InAir, 35.0, std::nullopt, 1, std::nullopt};
    feeder.installation = {LayingMethod::DirectlyBuried, 25.0, 1.5, 2, 0.25};

    const auto first = onVvCopper(loads, "50", 0.387, 0.08);
    const auto second = onVvCopper(feeder, "25", 0.727, 0.09);
    if (!first || !second)
        return QStringLiteral("手册表中缺少模板电缆的数据");
    return writeFileAtomically(path, circuitsCsv({*first, *second}));
}

} // namespace korvane
