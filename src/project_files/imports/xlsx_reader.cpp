#include "project_files/imports/xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <tuple>

namespace korvane {

namespace {

const QString kDamaged = QStringLiteral("文件已损坏：");

// A limit of bytes as the messages give it: whole megabytes or kilobytes where it is one.
QString bytesText(qint64 bytes) {
    constexpr qint64 kKilo = 1024;
    if (bytes >= kKilo * kKilo && bytes % (kKilo * kKilo) == 0)
        return QStringLiteral("%1 MB").arg(bytes / (kKilo * kKilo));
    if (bytes >= kKilo && bytes % kKilo == 0)
        return QStringLiteral("%1 KB").arg(bytes / kKilo);
    return QStringLiteral("%1 字节").arg(bytes);
}

QString tooManyCells(qint64 cells) {
    return QStringLiteral("工作表的单元格超过 %1 个，不予读入").arg(cells);
}

QString tooMuchText(qint64 characters) {
    return QStringLiteral("工作表中的文字超过 %1 个字符，不予读入").arg(characters);
}

struct ZipArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// One part of the package, unpacked as an XML reader takes it in pieces, so that no part is ever
// held whole. Not a byte more is taken than the part declares; a part that ends short of that,
// or whose checksum fails (libzip checks it where the data ends), is damaged.
class PartStream : public QIODevice {
public:
    PartStream(zip_file_t* file, zip_uint64_t size) : file_(file), size_(size) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }

    // Reads what the XML reader left, to its checksum; true when the part was whole.
    bool whole() {
        char rest[16384];
        while (readData(rest, sizeof rest) > 0) {
        }
        return !damaged_ && done_ == size_;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (damaged_ || maxSize <= 0)
            return damaged_ ? -1 : 0;
        // Asking for a byte past the declared end tells a longer part and reaches the checksum.
        const zip_uint64_t wanted = std::min(zip_uint64_t(maxSize), size_ - done_ + 1);
        const zip_int64_t n = zip_fread(file_.get(), data, wanted);
        if (n < 0 || done_ + zip_uint64_t(n) > size_ || (n == 0 && done_ != size_)) {
            damaged_ = true;
            return -1;
        }
        done_ += zip_uint64_t(n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::unique_ptr<zip_file_t, ZipFileCloser> file_;
    zip_uint64_t size_ = 0;
    zip_uint64_t done_ = 0;
    bool damaged_ = false;
};

// The parts of the package, read one at a time from the zip in memory.
class Package {
public:
    // `bytes` must outlive the package: libzip reads from it in place.
    static std::optional<Package> open(const QByteArray& bytes, qint64 maxPartBytes,
                                       QString& error) {
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
        package.maxPartBytes_ = maxPartBytes;
        return package;
    }

    bool has(const QString& name) const {
        return zip_name_locate(archive_.get(), name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // A part to read; the reason when it is missing, larger than the limit or cannot be opened.
    std::unique_ptr<PartStream> part(const QString& name, QString& error) const {
        const QByteArray utf8 = name.toUtf8();
        const zip_int64_t index = zip_name_locate(archive_.get(), utf8.constData(), ZIP_FL_NOCASE);
        if (index < 0) {
            error = QStringLiteral("不是有效的 .xlsx 文件：缺少 %1").arg(name);
            return nullptr;
        }
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive_.get(), zip_uint64_t(index), 0, &stat) < 0 ||
            !(stat.valid & ZIP_STAT_SIZE)) {
            error = kDamaged + QStringLiteral("无法读出 %1").arg(name);
            return nullptr;
        }
        // The declared size bounds the reading: the stream takes not a byte more.
        if (stat.size > zip_uint64_t(maxPartBytes_)) {
            error =
                QStringLiteral("%1 解压后超过 %2，不予读入").arg(name, bytesText(maxPartBytes_));
            return nullptr;
        }
        zip_file_t* file = zip_fopen_index(archive_.get(), zip_uint64_t(index), 0);
        if (!file) {
            error = kDamaged + QStringLiteral("无法读出 %1").arg(name);
            return nullptr;
        }
        return std::make_unique<PartStream>(file, stat.size);
    }

private:
    Package() = default;
    std::unique_ptr<zip_t, ZipArchiveDiscarder> archive_;
    qint64 maxPartBytes_ = 0;
};

QString xmlDamaged(const QString& part, const QXmlStreamReader& xml) {
    return kDamaged + QStringLiteral("%1 不是完整的 XML（第 %2 行：%3）")
                          .arg(part)
                          .arg(xml.lineNumber())
                          .arg(xml.errorString());
}

// Why a part read to its end could not be read: its own damage first (cut short, a checksum
// that fails, which may be what broke its XML), then its XML's. Empty when it was read.
QString readingProblem(PartStream& stream, const QString& part, const QXmlStreamReader& xml) {
    if (!stream.whole())
        return kDamaged + QStringLiteral("%1 不完整或校验不符").arg(part);
    if (xml.hasError())
        return xmlDamaged(part, xml);
    return {};
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

std::optional<std::vector<Relationship>> readRelationships(PartStream& stream, const QString& part,
                                                           QString& error) {
    std::vector<Relationship> relationships;
    QXmlStreamReader xml(&stream);
    while (nextStart(xml)) {
        if (xml.name() == QLatin1StringView("Relationship")) {
            const QString type = attribute(xml, QLatin1StringView("Type"));
            relationships.push_back({attribute(xml, QLatin1StringView("Id")),
                                     type.mid(type.lastIndexOf(u'/') + 1),
                                     attribute(xml, QLatin1StringView("Target"))});
        }
    }
    error = readingProblem(stream, part, xml);
    if (!error.isEmpty())
        return std::nullopt;
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

// The shared-string table: no more items than a sheet may have cells (no sheet could show the
// rest), no more characters in all than the cells may hold.
std::optional<std::vector<QString>> readSharedStrings(PartStream& stream, const QString& part,
                                                      const SheetLimits& limits, QString& error) {
    std::vector<QString> strings;
    qint64 characters = 0;
    QXmlStreamReader xml(&stream);
    while (nextStart(xml)) {
        if (xml.name() != QLatin1StringView("si"))
            continue;
        if (qint64(strings.size()) >= limits.cells) {
            error = QStringLiteral("共享字符串超过 %1 个，不予读入").arg(limits.cells);
            return std::nullopt;
        }
        strings.push_back(readStringItem(xml));
        characters += strings.back().size();
        if (characters > limits.textCharacters) {
            error = tooMuchText(limits.textCharacters);
            return std::nullopt;
        }
    }
    error = readingProblem(stream, part, xml);
    if (!error.isEmpty())
        return std::nullopt;
    return strings;
}

struct SheetEntry {
    QString name;
    QString relationshipId;
};

// A row number of the sheet (1 to 1048576) as a row from 0; std::nullopt for anything else. The
// digits are taken one by one, so that no number overflows on its way.
std::optional<int> parseRowNumber(QStringView digits) {
    if (digits.isEmpty())
        return std::nullopt;
    qint64 row = 0;
    for (const QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        row = row * 10 + (ch.unicode() - u'0');
        if (row > kXlsxRows)
            return std::nullopt;
    }
    if (row < 1)
        return std::nullopt;
    return int(row - 1);
}

// A cell reference "B12" as (row, column) from 0; std::nullopt for anything else, a column past
// XFD or a row past 1048576 included.
std::optional<std::pair<int, int>> parseReference(QStringView reference) {
    qsizetype i = 0;
    qint64 column = 0;
    while (i < reference.size() && reference[i].isLetter() && reference[i].unicode() < 128) {
        column = column * 26 + (reference[i].toUpper().unicode() - 'A' + 1);
        if (column > kXlsxColumns)
            return std::nullopt;
        ++i;
    }
    if (i == 0)
        return std::nullopt;
    const std::optional<int> row = parseRowNumber(reference.mid(i));
    if (!row)
        return std::nullopt;
    return std::pair<int, int>{*row, int(column) - 1};
}

class SheetParser {
public:
    SheetParser(const std::vector<QString>& strings, const SheetLimits& limits, SheetGrid& grid)
        : strings_(strings), limits_(limits), grid_(grid) {}

    // Reads the sheet's cells into the grid; the reason when the sheet cannot be read.
    QString parse(PartStream& stream, const QString& part) {
        QXmlStreamReader xml(&stream);
        while (nextStart(xml)) {
            if (xml.name() == QLatin1StringView("row")) {
                // A row without its number follows the one before; past the format's last row
                // the file is damaged.
                const QString r = attribute(xml, QLatin1StringView("r"));
                const std::optional<int> row =
                    r.isEmpty()
                        ? (row_ + 1 < kXlsxRows ? std::optional<int>(row_ + 1) : std::nullopt)
                        : parseRowNumber(r);
                if (!row)
                    return kDamaged +
                           QStringLiteral("%1 的行号无效：%2")
                               .arg(part, r.isEmpty() ? QStringLiteral("（无）") : r.left(20));
                row_ = *row;
                column_ = -1;
            } else if (xml.name() == QLatin1StringView("c")) {
                if (QString why = readCell(xml, part); !why.isEmpty())
                    return why;
            }
        }
        return readingProblem(stream, part, xml);
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
        if (column >= kXlsxColumns)
            return kDamaged + QStringLiteral("%1 的列超出范围").arg(part);
        if (row >= limits_.rows)
            return QStringLiteral("工作表超过 %1 行，不予读入").arg(limits_.rows);
        row_ = row;
        column_ = column;
        // Every cell counts, whatever it holds: an error or an empty cell costs its reading too.
        if (++cells_ > limits_.cells)
            return tooManyCells(limits_.cells);

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
            return {}; // the reading stops here, and parse() says why

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
        if (const QString* text = std::get_if<QString>(&cell)) {
            if (text->isEmpty())
                return {};
            text_ += text->size();
            if (text_ > limits_.textCharacters)
                return tooMuchText(limits_.textCharacters);
        }
        auto& rows = grid_.rows;
        if (size_t(row) >= rows.size())
            rows.resize(size_t(row) + 1);
        auto& cells = rows[size_t(row)];
        if (size_t(column) >= cells.size()) {
            // The columns the row is widened by to reach this cell, the cell itself counted when
            // it was read.
            cells_ += qint64(column) - qint64(cells.size());
            if (cells_ > limits_.cells)
                return tooManyCells(limits_.cells);
            cells.resize(size_t(column) + 1);
        }
        cells[size_t(column)] = std::move(cell);
        return {};
    }

    void problem(int row, int column, const QString& why) {
        if (size_t(row) >= grid_.rows.size())
            grid_.rows.resize(size_t(row) + 1);
        // A sheet of error cells holds the same few reasons many times: one copy of each.
        grid_.cellProblems[{row, column}] = *reasons_.insert(why);
    }

    const std::vector<QString>& strings_;
    const SheetLimits& limits_;
    SheetGrid& grid_;
    int row_ = -1;
    int column_ = -1;
    qint64 cells_ = 0; // cells read and columns widened by
    qint64 text_ = 0;  // characters of the cells' texts
    QSet<QString> reasons_;
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

std::optional<QByteArray> readFileWithin(const QString& path, qint64 maxBytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        error = QStringLiteral("无法打开文件：%1").arg(file.errorString());
        return std::nullopt;
    }
    QByteArray bytes;
    // What a regular file says of its size only saves growing the buffer; the count below is
    // what holds.
    if (!file.isSequential())
        bytes.reserve(qsizetype(std::clamp<qint64>(file.size(), 0, maxBytes)));
    constexpr qint64 kPiece = 1024 * 1024;
    for (;;) {
        // One byte past the limit tells a file that is over it from one that ends there.
        const qint64 wanted = std::min(kPiece, maxBytes + 1 - qint64(bytes.size()));
        const qsizetype before = bytes.size();
        bytes.resize(before + qsizetype(wanted));
        const qint64 n = file.read(bytes.data() + before, wanted);
        if (n < 0) {
            error = QStringLiteral("无法读取文件：%1").arg(file.errorString());
            return std::nullopt;
        }
        bytes.resize(before + qsizetype(n));
        if (bytes.size() > maxBytes) {
            error = QStringLiteral("文件超过 %1，不予读入").arg(bytesText(maxBytes));
            return std::nullopt;
        }
        if (n == 0)
            return bytes;
    }
}

SheetGrid readXlsxSheetFromBytes(const QByteArray& bytes, const QString& preferredSheet,
                                 const SheetLimits& limits) {
    QString error;
    const auto package = Package::open(bytes, limits.partBytes, error);
    if (!package)
        return failed(error);

    // The workbook part, from the package relationships; xl/workbook.xml, as the common writers
    // name it, when the package has none.
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (package->has(QStringLiteral("_rels/.rels"))) {
        const auto stream = package->part(QStringLiteral("_rels/.rels"), error);
        if (!stream)
            return failed(error);
        const auto relationships = readRelationships(*stream, QStringLiteral("_rels/.rels"), error);
        if (!relationships)
            return failed(error);
        for (const Relationship& r : *relationships)
            if (r.type == QLatin1StringView("officeDocument"))
                workbookPart = resolveTarget(QString(), r.target);
    }

    const auto workbook = package->part(workbookPart, error);
    if (!workbook)
        return failed(error);
    std::vector<SheetEntry> sheets;
    {
        QXmlStreamReader xml(workbook.get());
        while (nextStart(xml))
            if (xml.name() == QLatin1StringView("sheet"))
                sheets.push_back({attribute(xml, QLatin1StringView("name")),
                                  attribute(xml, QLatin1StringView("id"))});
        if (QString why = readingProblem(*workbook, workbookPart, xml); !why.isEmpty())
            return failed(why);
    }

    const QString relationshipsPart = relationshipsOf(workbookPart);
    const auto relationshipStream = package->part(relationshipsPart, error);
    if (!relationshipStream)
        return failed(error);
    const auto relationships = readRelationships(*relationshipStream, relationshipsPart, error);
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
        const auto sharedStream = package->part(sharedStringsPart, error);
        if (!sharedStream)
            return failed(error);
        auto read = readSharedStrings(*sharedStream, sharedStringsPart, limits, error);
        if (!read)
            return failed(error);
        strings = std::move(*read);
    }

    const QString sheetPart = worksheetOf(*chosen);
    const auto sheetStream = package->part(sheetPart, error);
    if (!sheetStream)
        return failed(error);
    SheetGrid grid;
    grid.sheetName = chosen->name;
    if (QString why = SheetParser(strings, limits, grid).parse(*sheetStream, sheetPart);
        !why.isEmpty())
        return failed(why);
    return grid;
}

SheetGrid readXlsxSheet(const QString& path, const QString& preferredSheet,
                        const SheetLimits& limits) {
    QString error;
    const std::optional<QByteArray> bytes = readFileWithin(path, limits.fileBytes, error);
    if (!bytes)
        return failed(error);
    return readXlsxSheetFromBytes(*bytes, preferredSheet, limits);
}

} // namespace korvane
