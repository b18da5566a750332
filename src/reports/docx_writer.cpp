#include "reports/docx_writer.h"

#include "base/file_text.h"

#include <zip.h>

#include <cmath>
#include <memory>
#include <variant>
#include <vector>

namespace korvane {

namespace {

const char* const kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
// The namespaces of an inline picture: the drawing's place in the text, DrawingML itself, its
// picture and the relationships through which it reaches its image part.
const char* const kDrawingNamespaces =
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
const char* const kPictureUri = "http://schemas.openxmlformats.org/drawingml/2006/picture";
const char* const kImageRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
// The styles part is the document's first relationship; its pictures follow it.
constexpr int kFirstPictureRelationship = 2;

// Text for an XML element or attribute: escaped, each character XML cannot carry (a control
// character, a lone surrogate) as U+FFFD, so that Word opens the file whatever the text holds.
QString escaped(const QString& unsafe) {
    const QString text = xmlSafeText(unsafe);
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Twentieths of a point, the unit of paragraph spacing. Under the automatic rule the value counts
// 240ths of a line instead; since single spacing is 12 pt, n points of spacing are n/12 lines,
// which is again 20·n.
int twips(double points) {
    return static_cast<int>(std::lround(points * 20.0));
}

int halfPoints(double points) {
    return static_cast<int>(std::lround(points * 2.0));
}

// 0xBBGGRR as the RRGGBB hex of the file format.
QString hexColour(Color colour) {
    const unsigned red = colour & 0xFFU;
    const unsigned green = (colour >> 8U) & 0xFFU;
    const unsigned blue = (colour >> 16U) & 0xFFU;
    return QStringLiteral("%1%2%3")
        .arg(red, 2, 16, QLatin1Char('0'))
        .arg(green, 2, 16, QLatin1Char('0'))
        .arg(blue, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// The same font for Latin, East-Asian and complex-script text, so that digits and symbols are set
// in it as well as the Chinese text.
QString fontsElement(const QString& name) {
    const QString n = escaped(name);
    return QStringLiteral("<w:rFonts w:ascii=\"%1\" w:hAnsi=\"%1\" w:eastAsia=\"%1\" w:cs=\"%1\"/>")
        .arg(n);
}

QString runProperties(const CharacterFormat& format) {
    QString xml = QStringLiteral("<w:rPr>");
    xml += fontsElement(format.fontName);
    if (format.bold)
        xml += QStringLiteral("<w:b/><w:bCs/>");
    if (format.colour)
        xml += QStringLiteral("<w:color w:val=\"%1\"/>").arg(hexColour(*format.colour));
    const int size = halfPoints(format.sizePoints);
    xml += QStringLiteral("<w:sz w:val=\"%1\"/><w:szCs w:val=\"%1\"/>").arg(size);
    xml += QStringLiteral("</w:rPr>");
    return xml;
}

// `keepNext`: the paragraph stays on the page of what follows it (a picture's heading or label,
// which would otherwise be left at the foot of a page when the picture moves on to the next).
QString paragraphProperties(const ReportParagraph& paragraph, bool keepNext) {
    const ParagraphFormat& f = paragraph.format;
    const QString rule = f.lineSpacingRule == LineSpacingRule::Exact ? QStringLiteral("exact")
                                                                     : QStringLiteral("auto");
    const QString alignment = f.alignment == ParagraphAlignment::Centred ? QStringLiteral("center")
                                                                         : QStringLiteral("left");
    return QStringLiteral("<w:pPr>%4<w:spacing w:line=\"%1\" w:lineRule=\"%2\"/>"
                          "<w:jc w:val=\"%3\"/>")
               .arg(twips(f.lineSpacingPoints))
               .arg(rule, alignment, keepNext ? QStringLiteral("<w:keepNext/>") : QString()) +
           runProperties(paragraph.markFormat) + QStringLiteral("</w:pPr>");
}

// The run's text, every character kept; a tab and a line feed become the file format's own
// elements, and a character XML cannot carry is shown as U+FFFD.
QString runContent(const QString& unsafe) {
    const QString text = xmlSafeText(unsafe);
    QString xml;
    QString pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            xml += QStringLiteral("<w:t xml:space=\"preserve\">") + escaped(pending) +
                   QStringLiteral("</w:t>");
        pending.clear();
    };
    for (const QChar c : text) {
        if (c == u'\t') {
            flush();
            xml += QStringLiteral("<w:tab/>");
        } else if (c == u'\n') {
            flush();
            xml += QStringLiteral("<w:br/>");
        } else if (c != u'\r') {
            pending += c;
        }
    }
    flush();
    return xml;
}

// Twentieths of a point in a length in millimetres (1 in = 25.4 mm = 1440 twips).
int twipsOfMm(double mm) {
    return static_cast<int>(std::lround(mm * 1440.0 / 25.4));
}

// English Metric Units, DrawingML's length: 36,000 to the millimetre.
qint64 emuOfMm(double mm) {
    return static_cast<qint64>(std::llround(mm * 36000.0));
}

// One cell's paragraphs: a CR in its text starts the next one, each of them one line, a tab or a
// line feed in it a space. Every cell holds at least one paragraph, as Word requires.
QString cellParagraphs(const ReportTable& table, const ReportTableCell& cell) {
    const CharacterFormat format{table.fontName, table.sizePoints, cell.bold, cell.colour};
    const QString properties = runProperties(format);
    const QString alignment = cell.alignment == ParagraphAlignment::Centred
                                  ? QStringLiteral("center")
                                  : QStringLiteral("left");
    QString xml;
    for (const QString& line : cell.text.split(u'\r')) {
        xml += QStringLiteral("<w:p><w:pPr><w:jc w:val=\"%1\"/>").arg(alignment) + properties +
               QStringLiteral("</w:pPr>");
        if (!line.isEmpty())
            xml += QStringLiteral("<w:r>") + properties + runContent(oneLineText(line)) +
                   QStringLiteral("</w:r>");
        xml += QStringLiteral("</w:p>");
    }
    return xml;
}

// A fixed-layout table at its columns' widths with a single-line grid on every edge and between
// every cell. Header rows repeat at the top of each page; no row breaks across pages.
QString tableXml(const ReportTable& table) {
    std::vector<int> widths;
    int total = 0;
    for (const double mm : table.columnWidthsMm) {
        widths.push_back(twipsOfMm(mm));
        total += widths.back();
    }
    QString xml = QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"%1\" w:type=\"dxa\"/>"
                                 "<w:tblBorders>")
                      .arg(total);
    for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"})
        xml += QStringLiteral("<w:%1 w:val=\"single\" w:sz=\"4\" w:space=\"0\" "
                              "w:color=\"000000\"/>")
                   .arg(QLatin1String(edge));
    // Cells keep 1 mm of margin left and right, as the PDF books pad them, instead of the word
    // processor's 1.9 mm, so that a narrow column of figures holds its number on one line.
    xml += QStringLiteral("</w:tblBorders><w:tblLayout w:type=\"fixed\"/>"
                          "<w:tblCellMar><w:left w:w=\"%1\" w:type=\"dxa\"/>"
                          "<w:right w:w=\"%1\" w:type=\"dxa\"/></w:tblCellMar>"
                          "<w:tblLook w:val=\"0000\"/></w:tblPr><w:tblGrid>")
               .arg(twipsOfMm(1.0));
    for (const int width : widths)
        xml += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(width);
    xml += QStringLiteral("</w:tblGrid>\n");
    for (size_t r = 0; r < table.rows.size(); ++r) {
        xml += QStringLiteral("<w:tr><w:trPr><w:cantSplit/>");
        if (r < static_cast<size_t>(table.headerRows))
            xml += QStringLiteral("<w:tblHeader/>");
        xml += QStringLiteral("</w:trPr>");
        const std::vector<ReportTableCell>& row = table.rows[r];
        for (size_t c = 0; c < row.size(); ++c)
            xml += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr>")
                       .arg(widths[c]) +
                   cellParagraphs(table, row[c]) + QStringLiteral("</w:tc>");
        xml += QStringLiteral("</w:tr>\n");
    }
    xml += QStringLiteral("</w:tbl>\n");
    return xml;
}

// A centred paragraph holding the picture inline at its size, its image reached through the
// relationship `relationshipId`. `number` counts the document's pictures from 1 and keeps the
// drawing ids unique.
QString pictureXml(const ReportPicture& picture, int number, const QString& relationshipId) {
    const qint64 cx = emuOfMm(picture.widthMm);
    const qint64 cy = emuOfMm(picture.heightMm);
    const QString name = QStringLiteral("Picture %1").arg(number);
    return QStringLiteral(
               "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>"
               "<wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
               "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
               "<wp:docPr id=\"%3\" name=\"%4\" descr=\"%5\"/>"
               "<wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/>"
               "</wp:cNvGraphicFramePr>"
               "<a:graphic><a:graphicData uri=\"%6\"><pic:pic>"
               "<pic:nvPicPr><pic:cNvPr id=\"0\" name=\"image%3.png\" descr=\"%5\"/><pic:cNvPicPr/>"
               "</pic:nvPicPr>"
               "<pic:blipFill><a:blip r:embed=\"%7\"/><a:stretch><a:fillRect/></a:stretch>"
               "</pic:blipFill>"
               "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
               "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
               "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r></w:p>\n")
        .arg(QString::number(cx), QString::number(cy), QString::number(number), name,
             escaped(picture.description), QString::fromLatin1(kPictureUri), relationshipId);
}

QString pictureRelationshipId(int number) {
    return QStringLiteral("rId%1").arg(kFirstPictureRelationship + number - 1);
}

std::vector<const ReportPicture*> picturesOf(const ReportDocument& document) {
    std::vector<const ReportPicture*> pictures;
    for (const ReportInsertion& insertion : document.insertions()) {
        if (const auto* picture = std::get_if<ReportPicture>(&insertion.content))
            pictures.push_back(picture);
    }
    return pictures;
}

// A4 portrait with the usual margins of 2.54 cm top and bottom, 3.17 cm left and right.
const char* const kSection =
    "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
    "<w:pgMar w:top=\"1440\" w:right=\"1800\" w:bottom=\"1440\" w:left=\"1800\" w:header=\"851\" "
    "w:footer=\"992\" w:gutter=\"0\"/></w:sectPr>\n";

const char* const kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\" "
    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/docProps/app.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
    "</Types>\n";

const char* const kPackageRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
    "core-properties\" Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "extended-properties\" Target=\"docProps/app.xml\"/>"
    "</Relationships>\n";

const char* const kDocumentRelationshipsStart =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/>";
const char* const kDocumentRelationshipsEnd = "</Relationships>\n";
const char* const kPngDefault = "<Default Extension=\"png\" ContentType=\"image/png\"/>";

QByteArray withDeclaration(const QByteArray& xml) {
    return QByteArray(kXmlDeclaration) + xml;
}

struct ZipSourceDeleter {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
struct ZipArchiveDiscarder {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The zip's bytes, read back from the memory source it was written into.
std::optional<QByteArray> readAll(zip_source_t* source) {
    if (zip_source_open(source) < 0)
        return std::nullopt;
    QByteArray bytes;
    char chunk[16384];
    zip_int64_t n = 0;
    while ((n = zip_source_read(source, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<qsizetype>(n));
    zip_source_close(source);
    if (n < 0)
        return std::nullopt;
    return bytes;
}

} // namespace

QByteArray docxDocumentXml(const ReportDocument& document) {
    // The drawing namespaces only where there is a drawing, so that a document of text alone is
    // written as it always was.
    const bool drawings = !picturesOf(document).empty();
    QString xml = QStringLiteral("<w:document xmlns:w=\"%1\"%2>\n<w:body>\n")
                      .arg(QString::fromLatin1(kWordNamespace),
                           drawings ? QString::fromLatin1(kDrawingNamespaces) : QString());
    int pictures = 0;
    const auto& blocks = document.blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        const ReportBlock& block = blocks[i];
        if (const auto* table = std::get_if<ReportTable>(&block)) {
            xml += tableXml(*table);
            continue;
        }
        if (const auto* picture = std::get_if<ReportPicture>(&block)) {
            ++pictures;
            xml += pictureXml(*picture, pictures, pictureRelationshipId(pictures));
            continue;
        }
        const ReportParagraph& paragraph = std::get<ReportParagraph>(block);
        const bool beforePicture =
            i + 1 < blocks.size() && std::holds_alternative<ReportPicture>(blocks[i + 1]);
        xml += QStringLiteral("<w:p>") + paragraphProperties(paragraph, beforePicture);
        for (const TextRun& run : paragraph.runs)
            xml += QStringLiteral("<w:r>") + runProperties(run.format) + runContent(run.text) +
                   QStringLiteral("</w:r>");
        xml += QStringLiteral("</w:p>\n");
    }
    xml += QString::fromLatin1(kSection);
    xml += QStringLiteral("</w:body>\n</w:document>\n");
    return withDeclaration(xml.toUtf8());
}

QByteArray docxDocumentRelationshipsXml(const ReportDocument& document) {
    QByteArray xml = kDocumentRelationshipsStart;
    const int pictures = static_cast<int>(picturesOf(document).size());
    for (int number = 1; number <= pictures; ++number)
        xml += QStringLiteral("<Relationship Id=\"%1\" Type=\"%2\" Target=\"media/image%3.png\"/>")
                   .arg(pictureRelationshipId(number), QString::fromLatin1(kImageRelationship))
                   .arg(number)
                   .toUtf8();
    xml += kDocumentRelationshipsEnd;
    return withDeclaration(xml);
}

QByteArray docxContentTypesXml(const ReportDocument& document) {
    QByteArray xml = kContentTypes;
    if (!picturesOf(document).empty()) {
        // After the other defaults, before the overrides, as the schema orders them.
        const qsizetype at = xml.indexOf("<Override ");
        xml.insert(at, kPngDefault);
    }
    return withDeclaration(xml);
}

QByteArray docxStylesXml() {
    const CharacterFormat font = defaultCharacterFormat();
    const ParagraphFormat paragraph = defaultParagraphFormat();
    QString xml = QStringLiteral("<w:styles xmlns:w=\"%1\">\n<w:docDefaults>")
                      .arg(QString::fromLatin1(kWordNamespace));
    xml += QStringLiteral("<w:rPrDefault><w:rPr>") + fontsElement(font.fontName) +
           QStringLiteral("<w:sz w:val=\"%1\"/><w:szCs w:val=\"%1\"/>"
                          "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\" w:bidi=\"ar-SA\"/>"
                          "</w:rPr></w:rPrDefault>")
               .arg(halfPoints(font.sizePoints));
    xml += QStringLiteral("<w:pPrDefault><w:pPr><w:spacing w:before=\"0\" w:after=\"0\" "
                          "w:line=\"%1\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault>")
               .arg(twips(paragraph.lineSpacingPoints));
    xml += QStringLiteral("</w:docDefaults>\n"
                          "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
                          "<w:name w:val=\"Normal\"/><w:qFormat/></w:style>\n"
                          "</w:styles>\n");
    return withDeclaration(xml.toUtf8());
}

QByteArray docxCoreXml(const DocumentProperties& properties) {
    QString xml = QStringLiteral(
        "<cp:coreProperties "
        "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">");
    if (!properties.title.isEmpty())
        xml +=
            QStringLiteral("<dc:title>%1</dc:title>").arg(escaped(oneLineText(properties.title)));
    if (!properties.author.isEmpty())
        xml += QStringLiteral("<dc:creator>%1</dc:creator>")
                   .arg(escaped(oneLineText(properties.author)));
    if (properties.created.isValid()) {
        // W3CDTF in UTC, whole seconds, as the word processors write it.
        const QString at =
            properties.created.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
        xml += QStringLiteral("<dcterms:created xsi:type=\"dcterms:W3CDTF\">%1</dcterms:created>"
                              "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">%1</dcterms:modified>")
                   .arg(at);
    }
    xml += QStringLiteral("</cp:coreProperties>\n");
    return withDeclaration(xml.toUtf8());
}

QByteArray docxAppXml() {
    return withDeclaration(
        "<Properties "
        "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<Application>Korvane</Application></Properties>\n");
}

std::optional<QByteArray> docxPackage(const ReportDocument& document) {
    struct Part {
        const char* name;
        QByteArray data;
    };
    // libzip reads the parts when the archive is closed, so they and their names live until then.
    std::vector<Part> parts = {
        {"[Content_Types].xml", docxContentTypesXml(document)},
        {"_rels/.rels", withDeclaration(kPackageRelationships)},
        {"docProps/core.xml", docxCoreXml(document.properties())},
        {"docProps/app.xml", docxAppXml()},
        {"word/_rels/document.xml.rels", docxDocumentRelationshipsXml(document)},
        {"word/styles.xml", docxStylesXml()},
        {"word/document.xml", docxDocumentXml(document)},
    };
    const std::vector<const ReportPicture*> pictures = picturesOf(document);
    std::vector<QByteArray> mediaNames;
    mediaNames.reserve(pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i)
        mediaNames.push_back(QByteArray("word/media/image") + QByteArray::number(i + 1) + ".png");
    for (size_t i = 0; i < pictures.size(); ++i)
        parts.push_back({mediaNames[i].constData(), pictures[i]->png});

    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, ZipSourceDeleter> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!buffer)
        return std::nullopt;
    zip_error_init(&error);
    std::unique_ptr<zip_t, ZipArchiveDiscarder> archive(
        zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    zip_error_fini(&error);
    if (!archive)
        return std::nullopt;
    // The archive now owns a reference to the buffer; keep ours to read the result.
    zip_source_keep(buffer.get());

    for (const Part& part : parts) {
        zip_source_t* source = zip_source_buffer(archive.get(), part.data.constData(),
                                                 static_cast<zip_uint64_t>(part.data.size()), 0);
        if (source == nullptr)
            return std::nullopt;
        const zip_int64_t index = zip_file_add(archive.get(), part.name, source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return std::nullopt;
        }
        // A PNG is compressed already: deflating it again costs time and saves nothing.
        if (QByteArray::fromRawData(part.name, qstrlen(part.name)).endsWith(".png") &&
            zip_set_file_compression(archive.get(), zip_uint64_t(index), ZIP_CM_STORE, 0) < 0)
            return std::nullopt;
    }
    if (zip_close(archive.get()) < 0)
        return std::nullopt;
    archive.release(); // closed, and freed by zip_close
    return readAll(buffer.get());
}

std::optional<QByteArray> DocxReportWriter::package() const {
    if (document() == nullptr)
        return std::nullopt;
    return docxPackage(*document());
}

} // namespace korvane
