#include "project_files/xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>
#include <memory>
#include <optional>
#include <tuple>

namespace korvane {

namespace {

const QString kDamaged = QStringLiteral("文件已损坏：");

struct ZipArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The parts of the package, read one at a time from the zip in memory.
class Package {
public:
    // `bytes` must outlive the package: libzip reads from it in place.
    static std::optional<Package> open(const QByteArray& bytes, QString& error) {
        zip_error_t zipError;
        zip_error_init(&zipError);
        zip_source_t* source = zip_source_buffer_create(
            bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zipError);
        zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
        zip_error_fini(&zipError);
        if (!archive) {
            if (source)
                zip_source_free(source);
            error = QStringLiteral("不是有效的 .xlsx 文件：压缩包已损坏或不完整");
            return std::nullopt;
        }
        Package package;
        package.archive_.reset(archive); // the archive owns the source from here
        return package;
    }

    bool has(const QString& name) const {
        return zip_name_locate(archive_.get(), name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // The unpacked bytes of a part; the reason when it is missing, too large or damaged.
    std::optional<QByteArray> read(const QString& name, QString& error) const {
        const QByteArray utf8 = name.toUtf8();
        const zip_int64_t index = zip_name_locate(archive_.get(), utf8.constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            error = QStringLiteral("不是有效的 .xlsx 文件：缺少 %1").arg(name);
            return std::nullopt;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive_.get(), zip_uint64_t(index), 0, &stat) < 0 ||
            !(stat.valid & ZIP_STAT_SIZE)) {
            error = kDamaged + QStringLiteral("无法读出 %1").arg(name);
            return std::nullopt;
        }
        if (stat.size > zip_uint64_t(kMaxXlsxPartBytes)) {
            error = QStringLiteral("%1 解压后超过 %2 MB，不予读入")
                        .arg(name)
                        .arg(kMaxXlsxPartBytes / (1024 * 1024));
            return std::nullopt;
        }
        std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(archive_.get(), zip_uint64_t(index), 0));
        if (!file) {
            error = kDamaged + QStringLiteral("无法读出 %1").arg(name);
            return std::nullopt;
        }
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        zip_uint64_t done = 0;
        while (done < stat.size) {
            const zip_int64_t n = zip_fread(file.get(), bytes.data() + done, stat.size - done);
            if (n <= 0)
                break;
            done += zip_uint64_t(n);
        }
        // The whole part, its checksum verified at its end, and not a byte more than declared.
        char extra = 0;
        if (done != stat.size || zip_fread(file.get(), &extra, 1) != 0) {
            error = kDamaged + QStringLiteral("%1 不完整或校验不符").arg(name);
            return std::nullopt;
        }
        return bytes;
    }

private:
    Package() = default;
    std::unique_ptr<zip_t, ZipArchiveDiscarder> archive_;
};

QString xmlDamaged(const QString& part, const QXmlStreamReader& xml) {
    return kDamaged + QStringLiteral("%1 不是完整的 XML（第 %2 行：%3）")
                          .arg(part)
                          .arg(xml.lineNumber())
                          .arg(xml.errorString());
}

// An attribute by its local name, whatever prefix the writer bound its namespace to (r:id of
// the transitional and of the strict namespaces alike).
QString attribute(const QXmlStreamReader& xml, QLatin1StringView localName) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == localName)
            return a.value().toString();
    return {};
}

// A part name from a relationship target: relative to the folder of the part that holds the
// relationships, or from the package root when it starts with '/'.
QString resolveTarget(const QString& folder, const QString& target) {
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    QString path = decoded.startsWith(u'/') ? decoded.mid(1)
                   : folder.isEmpty()       ? decoded
                                            : folder + u'/' + decoded;
    path = QDir::cleanPath(path);
    return path.startsWith(u'/') ? path.mid(1) : path;
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString relationshipsOf(const QString& part) {
    const QString folder = folderOf(part);
    const QString name = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + name +
           QStringLiteral(".rels");
}

// Reads forward to the next start element or the end, whichever comes first.
bool nextStart(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement())
            return true;
    }
    return false;
}

struct Relationship {
    QString id;
    QString type; // the last segment of the type URI: officeDocument, worksheet, sharedStrings
    QString target;
};

std::optional<std::vector<Relationship>> readRelationships(const QByteArray& bytes,
                                                           const QString& part, QString& error) {
    std::vector<Relationship> relationships;
    QXmlStreamReader xml(bytes);
    while (nextStart(xml)) {
        if (xml.name() == QLatin1StringView("Relationship")) {
            const QString type = attribute(xml, QLatin1StringView("Type"));
            relationships.push_back({attribute(xml, QLatin1StringView("Id")),
                                     type.mid(type.lastIndexOf(u'/') + 1),
                                     attribute(xml, QLatin1StringView("Target"))});
        }
    }
    if (xml.hasError()) {
        error = xmlDamaged(part, xml);
        return std::nullopt;
    }
    return relationships;
}

// Spreadsheet text escapes control characters and the escape itself as _xHHHH_.
QString unescapeText(const QString& text) {
    if (!text.contains(QLatin1StringView("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of a string item (<si> of the shared strings, <is> of an inline string) at its start
// element: its <t>, or the <t> of every rich-text run joined; phonetic guides (<rPh>) are not
// part of the text. Leaves the reader at the item's end element.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    int phonetic = 0;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1StringView("rPh"))
                ++phonetic;
            if (xml.name() == QLatin1StringView("t")) {
                const QString run = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (phonetic == 0)
                    text += run;
                continue; // readElementText stopped at the run's end element
            }
            ++depth;
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1StringView("rPh"))
                --phonetic;
            --depth;
        }
    }
    return unescapeText(text);
}

std::optional<std::vector<QString>> readSharedStrings(const QByteArray& bytes, const QString& part,
                                                      QString& error) {
    std::vector<QString> strings;
    QXmlStreamReader xml(bytes);
    while (nextStart(xml))
        if (xml.name() == QLatin1StringView("si"))
            strings.push_back(readStringItem(xml));
    if (xml.hasError()) {
        error = xmlDamaged(part, xml);
        return std::nullopt;
    }
    return strings;
}

struct SheetEntry {
    QString name;
    QString relationshipId;
};

// A cell reference "B12" as (row, column) from 0; std::nullopt for anything else.
std::optional<std::pair<int, int>> parseReference(QStringView reference) {
    qsizetype i = 0;
    qint64 column = 0;
    while (i < reference.size() && reference[i].isLetter() && reference[i].unicode() < 128) {
        column = column * 26 + (reference[i].toUpper().unicode() - 'A' + 1);
        if (column > kMaxSheetColumns)
            return std::nullopt;
        ++i;
    }
    if (i == 0 || i == reference.size())
        return std::nullopt;
    bool ok = false;
    const qint64 row = reference.mid(i).toLongLong(&ok);
    if (!ok || row < 1 || !reference[i].isDigit())
        return std::nullopt;
    return std::pair<int, int>{int(std::min<qint64>(row, qint64(INT32_MAX))) - 1, int(column) - 1};
}

class SheetParser {
public:
    SheetParser(const std::vector<QString>& strings, SheetGrid& grid)
        : strings_(strings), grid_(grid) {}

    // Reads the sheet's cells into the grid; the reason when the sheet cannot be read.
    QString parse(const QByteArray& bytes, const QString& part) {
        QXmlStreamReader xml(bytes);
        while (nextStart(xml)) {
            if (xml.name() == QLatin1StringView("row")) {
                const QString r = attribute(xml, QLatin1StringView("r"));
                bool ok = true;
                row_ = r.isEmpty() ? row_ + 1 : r.toInt(&ok) - 1;
                if (!ok || row_ < 0)
                    return kDamaged + QStringLiteral("%1 的行号无效：%2").arg(part, r.left(20));
                column_ = -1;
            } else if (xml.name() == QLatin1StringView("c")) {
                if (QString why = readCell(xml, part); !why.isEmpty())
                    return why;
            }
        }
        if (xml.hasError())
            return xmlDamaged(part, xml);
        return {};
    }

private:
    QString readCell(QXmlStreamReader& xml, const QString& part) {
        const QString reference = attribute(xml, QLatin1StringView("r"));
        int row = row_ < 0 ? 0 : row_;
        int column = column_ + 1;
        if (!reference.isEmpty()) {
            const auto at = parseReference(reference);
            if (!at)
                return kDamaged +
                       QStringLiteral("%1 的单元格引用无效：%2").arg(part, reference.left(20));
            std::tie(row, column) = *at;
        }
        if (column >= kMaxSheetColumns)
            return kDamaged + QStringLiteral("%1 的列超出范围").arg(part);
        if (row >= kMaxSheetRows)
            return QStringLiteral("工作表超过 %1 行，不予读入").arg(kMaxSheetRows);
        row_ = row;
        column_ = column;

        const QString type = attribute(xml, QLatin1StringView("t"));
        std::optional<QString> value;
        std::optional<QString> inlineText;
        bool formula = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == QLatin1StringView("c"))
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1StringView("v"))
                value = xml.readElementText();
            else if (xml.name() == QLatin1StringView("f")) {
                formula = true;
                xml.skipCurrentElement();
            } else if (xml.name() == QLatin1StringView("is"))
                inlineText = readStringItem(xml);
            else
                xml.skipCurrentElement();
        }
        if (xml.hasError())
            return xmlDamaged(part, xml);

        if (type == QLatin1StringView("inlineStr")) {
            if (inlineText)
                return store(row, column, *inlineText);
            return value ? store(row, column, unescapeText(*value)) : QString();
        }
        if (!value) {
            if (formula)
                problem(row, column, QStringLiteral("公式没有计算结果"));
            return {};
        }
        if (type == QLatin1StringView("s")) {
            bool ok = false;
            const qlonglong index = value->trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= qlonglong(strings_.size())) {
                problem(row, column, QStringLiteral("共享字符串序号无效：%1").arg(value->left(20)));
                return {};
            }
            return store(row, column, strings_[size_t(index)]);
        }
        if (type == QLatin1StringView("str") || type == QLatin1StringView("d"))
            return store(row, column, unescapeText(*value));
        if (type == QLatin1StringView("b"))
            return store(row, column,
                         value->trimmed() == QLatin1StringView("1") ? QStringLiteral("TRUE")
                                                                    : QStringLiteral("FALSE"));
        if (type == QLatin1StringView("e")) {
            problem(row, column, QStringLiteral("单元格为错误值 %1").arg(value->left(20)));
            return {};
        }
        if (!type.isEmpty() && type != QLatin1StringView("n")) {
            problem(row, column, QStringLiteral("未知的单元格类型 %1").arg(type.left(20)));
            return {};
        }
        if (value->trimmed().isEmpty())
            return {};
        bool ok = false;
        const double number = value->trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            problem(row, column, QStringLiteral("数值无效：%1").arg(value->left(20)));
            return {};
        }
        return store(row, column, number);
    }

    QString store(int row, int column, ScheduleCell cell) {
        if (const QString* text = std::get_if<QString>(&cell); text && text->isEmpty())
            return {};
        auto& rows = grid_.rows;
        if (size_t(row) >= rows.size())
            rows.resize(size_t(row) + 1);
        auto& cells = rows[size_t(row)];
        if (size_t(column) >= cells.size()) {
            cells_ += qint64(column) + 1 - qint64(cells.size());
            if (cells_ > kMaxSheetCells)
                return QStringLiteral("工作表的单元格超过 %1 个，不予读入").arg(kMaxSheetCells);
            cells.resize(size_t(column) + 1);
        }
        cells[size_t(column)] = std::move(cell);
        return {};
    }

    void problem(int row, int column, const QString& why) {
        if (size_t(row) >= grid_.rows.size())
            grid_.rows.resize(size_t(row) + 1);
        grid_.cellProblems[{row, column}] = why;
    }

    const std::vector<QString>& strings_;
    SheetGrid& grid_;
    int row_ = -1;
    int column_ = -1;
    qint64 cells_ = 0;
};

SheetGrid failed(const QString& why) {
    SheetGrid grid;
    grid.error = why;
    return grid;
}

} // namespace

QString columnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

SheetGrid readXlsxSheetFromBytes(const QByteArray& bytes, const QString& preferredSheet) {
    QString error;
    const auto package = Package::open(bytes, error);
    if (!package)
        return failed(error);

    // The workbook part, from the package relationships; xl/workbook.xml, as the common writers
    // name it, when the package has none.
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (package->has(QStringLiteral("_rels/.rels"))) {
        const auto bytes = package->read(QStringLiteral("_rels/.rels"), error);
        if (!bytes)
            return failed(error);
        const auto relationships = readRelationships(*bytes, QStringLiteral("_rels/.rels"), error);
        if (!relationships)
            return failed(error);
        for (const Relationship& r : *relationships)
            if (r.type == QLatin1StringView("officeDocument"))
                workbookPart = resolveTarget(QString(), r.target);
    }

    const auto workbook = package->read(workbookPart, error);
    if (!workbook)
        return failed(error);
    std::vector<SheetEntry> sheets;
    {
        QXmlStreamReader xml(*workbook);
        while (nextStart(xml))
            if (xml.name() == QLatin1StringView("sheet"))
                sheets.push_back({attribute(xml, QLatin1StringView("name")),
                                  attribute(xml, QLatin1StringView("id"))});
        if (xml.hasError())
            return failed(xmlDamaged(workbookPart, xml));
    }

    const QString relationshipsPart = relationshipsOf(workbookPart);
    const auto relationshipBytes = package->read(relationshipsPart, error);
    if (!relationshipBytes)
        return failed(error);
    const auto relationships = readRelationships(*relationshipBytes, relationshipsPart, error);
    if (!relationships)
        return failed(error);
    const QString folder = folderOf(workbookPart);
    QString sharedStringsPart;
    for (const Relationship& r : *relationships)
        if (r.type == QLatin1StringView("sharedStrings"))
            sharedStringsPart = resolveTarget(folder, r.target);
    auto worksheetOf = [&](const SheetEntry& sheet) -> QString {
        for (const Relationship& r : *relationships)
            if (r.id == sheet.relationshipId && r.type == QLatin1StringView("worksheet"))
                return resolveTarget(folder, r.target);
        return {};
    };

    // The preferred sheet, else the first worksheet (a chart sheet has no cells).
    const SheetEntry* chosen = nullptr;
    for (const SheetEntry& sheet : sheets)
        if (sheet.name == preferredSheet && !worksheetOf(sheet).isEmpty())
            chosen = &sheet;
    for (const SheetEntry& sheet : sheets)
        if (!chosen && !worksheetOf(sheet).isEmpty())
            chosen = &sheet;
    if (!chosen)
        return failed(QStringLiteral("工作簿中没有工作表"));

    std::vector<QString> strings;
    if (!sharedStringsPart.isEmpty()) {
        const auto sharedBytes = package->read(sharedStringsPart, error);
        if (!sharedBytes)
            return failed(error);
        auto read = readSharedStrings(*sharedBytes, sharedStringsPart, error);
        if (!read)
            return failed(error);
        strings = std::move(*read);
    }

    const QString sheetPart = worksheetOf(*chosen);
    const auto sheetBytes = package->read(sheetPart, error);
    if (!sheetBytes)
        return failed(error);
    SheetGrid grid;
    grid.sheetName = chosen->name;
    if (QString why = SheetParser(strings, grid).parse(*sheetBytes, sheetPart); !why.isEmpty())
        return failed(why);
    return grid;
}

SheetGrid readXlsxSheet(const QString& path, const QString& preferredSheet) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("无法打开文件：%1").arg(file.errorString()));
    if (file.size() > kMaxSpreadsheetFileBytes)
        return failed(QStringLiteral("文件超过 %1 MB，不予读入")
                          .arg(kMaxSpreadsheetFileBytes / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failed(QStringLiteral("无法读取文件：%1").arg(file.errorString()));
    return readXlsxSheetFromBytes(bytes, preferredSheet);
}

} // namespace korvane
