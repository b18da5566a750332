#include "project_files/imports/sheet_reading.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <tuple>

namespace korvane {

namespace {

// A CSV file is read as its UTF-8 bytes: the separators, quotes and line ends are ASCII, and
// each field is decoded as it ends, so that nothing past a limit is ever decoded.

// The field separator of the file, from its header line (the first among the first lines that
// holds `headerText`, else the first line; a title above the header may hold no separator at all):
// ';' when that line has more of them than commas (as Excel writes CSV where the decimal sign is
// a comma), else ','. Quoted text does not count.
char separatorOf(const QByteArray& bytes, const QString& headerText) {
    const QByteArray idHeader = headerText.toUtf8();
    int commas = 0;
    int semicolons = 0;
    std::optional<std::pair<int, int>> firstLine;
    qsizetype lineStart = 0;
    int lines = 0;
    bool quoted = false;
    for (qsizetype i = 0; i <= bytes.size() && lines < kSheetHeaderSearchRows; ++i) {
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

} // namespace

ImportSheet readImportSheet(const QString& path, const QString& sheetName,
                            const QString& headerText, const SheetLimits& limits) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    ImportSheet sheet;
    if (suffix == QLatin1StringView("xlsx")) {
        sheet.grid = readXlsxSheet(path, sheetName, limits);
    } else if (suffix == QLatin1StringView("csv")) {
        char separator = ',';
        std::tie(sheet.grid, separator) = readCsvSheet(path, headerText, limits);
        sheet.commaDecimals = separator == ';';
    } else {
        sheet.grid.error =
            QStringLiteral("只能导入 .xlsx 或 .csv 文件：%1").arg(QFileInfo(path).fileName());
    }
    return sheet;
}

std::pair<SheetGrid, char> readCsvSheet(const QString& path, const QString& headerText,
                                        const SheetLimits& limits) {
    SheetGrid grid;
    std::optional<QByteArray> bytes = readFileWithin(path, limits.fileBytes, grid.error);
    if (!bytes)
        return {grid, ','};
    if (bytes->startsWith("\xEF\xBB\xBF"))
        bytes->remove(0, 3);
    const char separator = separatorOf(*bytes, headerText);
    return {parseCsv(*bytes, separator, limits), separator};
}

bool isBlankCell(const ScheduleCell& cell) {
    return scheduleCellText(cell).trimmed().isEmpty();
}

const ScheduleCell& gridCell(const SheetGrid& grid, size_t row, size_t column) {
    static const ScheduleCell empty;
    if (row >= grid.rows.size() || column >= grid.rows[row].size())
        return empty;
    return grid.rows[row][column];
}

const QString* gridCellProblem(const SheetGrid& grid, size_t row, size_t column) {
    const auto it = grid.cellProblems.find({int(row), int(column)});
    return it == grid.cellProblems.end() ? nullptr : &it->second;
}

bool gridRowHasContent(const SheetGrid& grid, size_t row) {
    for (size_t column = 0; row < grid.rows.size() && column < grid.rows[row].size(); ++column)
        if (!isBlankCell(grid.rows[row][column]))
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

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u';') && !text.contains(u'"') &&
        !text.contains(u'\n') && !text.contains(u'\r') && text == text.trimmed())
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace korvane
