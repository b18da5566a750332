#include "project_files/circuit_import.h"

#include "form/atomic_file.h"
#include "form/number_format.h"
#include "project/handbook_constants.h"
#include "project/schedule_columns.h"
#include "project/sizing.h"
#include "project_files/xlsx_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <set>

namespace korvane {

namespace {

using C = ScheduleColumn;

const QString kCircuitSheetName = QStringLiteral("回路表");
// The header row is looked for among the first rows only: a data cell holding the text 回路编号
// far down is not a header.
constexpr int kHeaderSearchRows = 10;

// ---- CSV --------------------------------------------------------------------------------------

// The field separator of the file: ';' when the header line has more of them than commas (as
// Excel writes CSV where the decimal sign is a comma), else ','. Quoted text does not count.
QChar separatorOf(const QString& text) {
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && (ch == u'\n' || ch == u'\r'))
            break;
        else if (!quoted && ch == u',')
            ++commas;
        else if (!quoted && ch == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

// The records of a CSV text, RFC 4180: fields in double quotes may hold the separator, line
// breaks and doubled quotes; records end with CRLF or LF. A quote inside an unquoted field is
// kept as a character, as spreadsheet programs read it.
SheetGrid parseCsv(const QString& text) {
    SheetGrid grid;
    const QChar separator = separatorOf(text);
    std::vector<ScheduleCell> record;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field began with a quote
    bool recordOpen = false; // something of the current record has been read
    int quoteRow = 0;        // the record an open quote began in
    auto endField = [&] {
        record.emplace_back(field);
        field.clear();
        wasQuoted = false;
    };
    auto endRecord = [&]() -> bool {
        endField();
        grid.rows.push_back(std::move(record));
        record.clear();
        recordOpen = false;
        return grid.rows.size() <= size_t(kMaxSheetRows);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                field += u'\n';
                ++i;
            } else {
                field += ch;
            }
            continue;
        }
        recordOpen = true;
        if (ch == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            quoteRow = int(grid.rows.size()) + 1;
        } else if (ch == separator) {
            endField();
        } else if (ch == u'\n' || ch == u'\r') {
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (!endRecord()) {
                grid.error = QStringLiteral("文件超过 %1 行，不予读入").arg(kMaxSheetRows);
                return grid;
            }
        } else {
            field += ch;
        }
    }
    if (quoted) {
        grid.error = QStringLiteral("文件不完整：第%1行的引号没有结束").arg(quoteRow);
        return grid;
    }
    if (recordOpen && !endRecord())
        grid.error = QStringLiteral("文件超过 %1 行，不予读入").arg(kMaxSheetRows);
    return grid;
}

SheetGrid readCsv(const QString& path) {
    SheetGrid grid;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        grid.error = QStringLiteral("无法打开文件：%1").arg(file.errorString());
        return grid;
    }
    if (file.size() > kMaxSpreadsheetFileBytes) {
        grid.error = QStringLiteral("文件超过 %1 MB，不予读入")
                         .arg(kMaxSpreadsheetFileBytes / (1024 * 1024));
        return grid;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        grid.error = QStringLiteral("无法读取文件：%1").arg(file.errorString());
        return grid;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError()) {
        grid.error = QStringLiteral("文件不是 UTF-8 编码：请在 Excel 或 WPS 中另存为“CSV UTF-8”");
        return grid;
    }
    return parseCsv(text);
}

// ---- The columns ------------------------------------------------------------------------------

bool isBlank(const ScheduleCell& cell) {
    return scheduleCellText(cell).trimmed().isEmpty();
}

// A header as it is compared: without blanks, full-width brackets as ASCII ones.
QString headerKey(const QString& text) {
    QString key;
    for (const QChar ch : text) {
        if (ch.isSpace())
            continue;
        key += ch == u'（' ? QChar(u'(') : ch == u'）' ? QChar(u')') : ch;
    }
    return key;
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

CircuitImport failure(const QString& why) {
    CircuitImport result;
    result.problems << why;
    return result;
}

CircuitImport circuitsFromGrid(const SheetGrid& grid) {
    // The header row.
    std::optional<size_t> headerRow;
    for (size_t row = 0; row < grid.rows.size() && row < size_t(kHeaderSearchRows) && !headerRow;
         ++row)
        for (const ScheduleCell& cell : grid.rows[row])
            if (headerKey(scheduleCellText(cell)) == headerKey(scheduleHeader(C::Id)))
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
        const auto& infos = scheduleInputColumns();
        const auto info = std::find_if(infos.begin(), infos.end(), [&](const auto& i) {
            return headerKey(QString::fromUtf8(i.header)) == headerKey(text);
        });
        if (info == infos.end()) {
            unknown << text;
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
        if (info.required && !present)
            missing << QString::fromUtf8(info.header);
    }
    if (!missing.isEmpty())
        return failure(QStringLiteral("第%1行的表头缺少必需的列：%2")
                           .arg(*headerRow + 1)
                           .arg(quotedList(missing)));
    std::sort(columns.begin(), columns.end(), [](const ReadColumn& a, const ReadColumn& b) {
        return applyOrder(a.column) < applyOrder(b.column);
    });

    // The rows.
    std::set<size_t> headless; // columns without a header that hold something
    QStringList failedRows;
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
        for (const ReadColumn& c : columns) {
            if (!kindRead && belongsToLoad(c.column))
                continue; // the load's cells mean nothing without its kind
            std::optional<QString> why;
            if (const QString* problem = problemAt(grid, row, c.index))
                why = QStringLiteral("“%1”%2").arg(scheduleHeader(c.column), *problem);
            else
                why = applyScheduleCell(circuit, c.column, cellAt(grid, row, c.index));
            if (why) {
                reasons << *why;
                if (c.column == C::LoadKind)
                    kindRead = false;
            }
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

CircuitImport importCircuits(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    SheetGrid grid;
    if (suffix == QLatin1StringView("xlsx"))
        grid = readXlsxSheet(path, kCircuitSheetName);
    else if (suffix == QLatin1StringView("csv"))
        grid = readCsv(path);
    else
        return failure(
            QStringLiteral("只能导入 .xlsx 或 .csv 文件：%1").arg(QFileInfo(path).fileName()));
    if (!grid.error.isEmpty())
        return failure(grid.error);
    return circuitsFromGrid(grid);
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
