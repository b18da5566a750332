#include "project_files/circuit_import.h"

#include "form/atomic_file.h"
#include "form/number_format.h"
#include "project/example_circuits.h"
#include "project/handbook_constants.h"
#include "project/schedule_columns.h"
#include "project/sizing.h"
#include "project_files/xlsx_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace korvane {

namespace {

using C = ScheduleColumn;

const QString kCircuitSheetName = QStringLiteral("回路表");
const QString kIdHeader = QStringLiteral("回路编号");
// The header row is looked for among the first rows only: a data cell holding the text 回路编号
// far down is not a header.
constexpr int kHeaderSearchRows = 10;

// ---- CSV ----------------------------------------------------------------------------------------

// A CSV file is read as its UTF-8 bytes: the separators, quotes and line ends are ASCII, and
// each field is decoded as it ends, so that nothing past a limit is ever decoded.

// The field separator of the file, from its header line (the first among the first lines that
// holds 回路编号, else the first line; a title above the header may hold no separator at all):
// ';' when that line has more of them than commas (as Excel writes CSV where the decimal sign is
// a comma), else ','. Quoted text does not count.
char separatorOf(const QByteArray& bytes) {
    const QByteArray idHeader = kIdHeader.toUtf8();
    int commas = 0;
    int semicolons = 0;
    std::optional<std::pair<int, int>> firstLine;
    qsizetype lineStart = 0;
    int lines = 0;
    bool quoted = false;
    for (qsizetype i = 0; i <= bytes.size() && lines < kHeaderSearchRows; ++i) {
        const char ch = i < bytes.size() ? bytes[i] : '\n';
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && (ch == '\n' || ch == '\r')) {
            const auto line = bytes.begin() + lineStart;
            if (std::search(line, bytes.begin() + i, idHeader.begin(), idHeader.end()) !=
                bytes.begin() + i)
                return semicolons > commas ? ';' : ',';
            if (!firstLine)
                firstLine = {commas, semicolons};
            if (ch == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            commas = semicolons = 0;
            lineStart = i + 1;
            ++lines;
        } else if (!quoted && ch == ',') {
            ++commas;
        } else if (!quoted && ch == ';') {
            ++semicolons;
        }
    }
    if (!firstLine)
        firstLine = {commas, semicolons};
    return firstLine->second > firstLine->first ? ';' : ',';
}

const QString kNotUtf8 =
    QStringLiteral("文件不是 UTF-8 编码：请在 Excel 或 WPS 中另存为“CSV UTF-8”");

// The records of a CSV file, RFC 4180: fields in double quotes may hold the separator, line
// breaks and doubled quotes; records end with CRLF or LF. A quote inside an unquoted field is
// kept as a character, as spreadsheet programs read it. Every field counts against the limit of
// cells, every record against that of rows.
SheetGrid parseCsv(const QByteArray& bytes, char separator, const SheetLimits& limits) {
    SheetGrid grid;
    // Each field decoded on its own: a character U+FEFF at its start is kept, not taken for a
    // byte-order mark.
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                    QStringDecoder::Flag::ConvertInitialBom);
    std::vector<ScheduleCell> record;
    QByteArray field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    bool recordOpen = false; // something of the current record has been read
    int quoteRow = 0;        // the record an open quote began in
    qint64 cells = 0;
    auto endField = [&]() -> bool {
        record.emplace_back(QString(decode(field)));
        field.clear();
        wasQuoted = false;
        if (decode.hasError()) {
            grid.error = kNotUtf8;
            return false;
        }
        if (++cells <= limits.cells)
            return true;
        grid.error = QStringLiteral("文件的单元格超过 %1 个，不予读入").arg(limits.cells);
        return false;
    };
    auto endRecord = [&]() -> bool {
        if (!endField())
            return false;
        grid.rows.push_back(std::move(record));
        record.clear();
        recordOpen = false;
        if (grid.rows.size() <= size_t(limits.rows))
            return true;
        grid.error = QStringLiteral("文件超过 %1 行，不予读入").arg(limits.rows);
        return false;
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char ch = bytes[i];
        if (quoted) {
            if (ch == '"') {
                if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (ch == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                field += '\n';
                ++i;
            } else {
                field += ch;
            }
            continue;
        }
        recordOpen = true;
        if (ch == '"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            quoteRow = int(grid.rows.size()) + 1;
        } else if (ch == separator) {
            if (!endField())
                return grid;
        } else if (ch == '\n' || ch == '\r') {
            if (ch == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            if (!endRecord())
                return grid;
        } else {
            field += ch;
        }
    }
    if (quoted) {
        grid.error = QStringLiteral("文件不完整：第%1行的引号没有结束").arg(quoteRow);
        return grid;
    }
    if (recordOpen)
        endRecord();
    return grid;
}

// The sheet of a CSV file, and its separator.
std::pair<SheetGrid, char> readCsv(const QString& path, const SheetLimits& limits) {
    SheetGrid grid;
    std::optional<QByteArray> bytes = readFileWithin(path, limits.fileBytes, grid.error);
    if (!bytes)
        return {grid, ','};
    if (bytes->startsWith("\xEF\xBB\xBF"))
        bytes->remove(0, 3);
    const char separator = separatorOf(*bytes);
    return {parseCsv(*bytes, separator, limits), separator};
}

// ---- The columns ------------------------------------------------------------------------------

bool isBlank(const ScheduleCell& cell) {
    return scheduleCellText(cell).trimmed().isEmpty();
}

const ScheduleCell& cellAt(const SheetGrid& grid, size_t row, size_t column) {
    static const ScheduleCell empty;
    if (row >= grid.rows.size() || column >= grid.rows[row].size())
        return empty;
    return grid.rows[row][column];
}

const QString* problemAt(const SheetGrid& grid, size_t row, size_t column) {
    const auto it = grid.cellProblems.find({int(row), int(column)});
    return it == grid.cellProblems.end() ? nullptr : &it->second;
}

bool rowHasContent(const SheetGrid& grid, size_t row) {
    for (size_t column = 0; row < grid.rows.size() && column < grid.rows[row].size(); ++column)
        if (!isBlank(grid.rows[row][column]))
            return true;
    const auto it = grid.cellProblems.lower_bound({int(row), 0});
    return it != grid.cellProblems.end() && it->first.first == int(row);
}

QString quotedList(const QStringList& texts) {
    QStringList quoted;
    for (const QString& text : texts)
        quoted << QStringLiteral("“%1”").arg(text);
    return quoted.join(QStringLiteral("、"));
}

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
    for (size_t row = 0; row < grid.rows.size() && row < size_t(kHeaderSearchRows) && !headerRow;
         ++row)
        for (const ScheduleCell& cell : grid.rows[row])
            if (scheduleHeaderKey(scheduleCellText(cell)) == idKey)
                headerRow = row;
    for (size_t row = 0; row < grid.rows.size() && !headerRow; ++row)
        if (rowHasContent(grid, row))
            headerRow = row;
    if (!headerRow)
        return failure(QStringLiteral("文件中没有内容"));

    CircuitImport result;
    std::vector<ReadColumn> columns;
    QStringList unknown;
    const std::vector<ScheduleCell>& headers = grid.rows[*headerRow];
    for (size_t index = 0; index < headers.size(); ++index) {
        if (const QString* why = problemAt(grid, *headerRow, index))
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
            return !isBlank(cellAt(grid, row, c.index)) || problemAt(grid, row, c.index);
        });
        for (size_t index = 0; index < grid.rows[row].size(); ++index)
            if ((index >= headers.size() || isBlank(headers[index])) &&
                !isBlank(grid.rows[row][index]))
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
            ScheduleCell cell = cellAt(grid, row, c.index);
            std::optional<QString> why;
            if (const QString* problem = problemAt(grid, row, c.index)) {
                why = QStringLiteral("“%1”%2").arg(scheduleHeader(c.column), *problem);
            } else if (fromCableTables(c.column) && isBlank(cell)) {
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

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u';') && !text.contains(u'"') &&
        !text.contains(u'\n') && !text.contains(u'\r') && text == text.trimmed())
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

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
    const QString suffix = QFileInfo(path).suffix().toLower();
    SheetGrid grid;
    bool commaDecimals = false;
    if (suffix == QLatin1StringView("xlsx")) {
        grid = readXlsxSheet(path, kCircuitSheetName, limits);
    } else if (suffix == QLatin1StringView("csv")) {
        char separator = ',';
        std::tie(grid, separator) = readCsv(path, limits);
        commaDecimals = separator == ';';
    } else {
        return failure(
            QStringLiteral("只能导入 .xlsx 或 .csv 文件：%1").arg(QFileInfo(path).fileName()));
    }
    if (!grid.error.isEmpty())
        return failure(grid.error);
    return circuitsFromGrid(grid, catalogue, commaDecimals);
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
