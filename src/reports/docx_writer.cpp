#include "reports/docx_writer.h"

#include <zip.h>

#include <cmath>
#include <memory>
#include <vector>

namespace korvane {

namespace {

const char* const kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

QString escaped(const QString& text) {
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

// Text for an XML element: escaped, without the control characters that XML cannot carry.
QString xmlText(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
            kept += c;
    }
    return escaped(kept);
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

QString paragraphProperties(const ReportParagraph& paragraph) {
    const ParagraphFormat& f = paragraph.format;
    const QString rule = f.lineSpacingRule == LineSpacingRule::Exact ? QStringLiteral("exact")
                                                                     : QStringLiteral("auto");
    const QString alignment = f.alignment == ParagraphAlignment::Centred ? QStringLiteral("center")
                                                                         : QStringLiteral("left");
    return QStringLiteral("<w:pPr><w:spacing w:line=\"%1\" w:lineRule=\"%2\"/><w:jc w:val=\"%3\"/>")
               .arg(twips(f.lineSpacingPoints))
               .arg(rule, alignment) +
           runProperties(paragraph.markFormat) + QStringLiteral("</w:pPr>");
}

// The run's text, every character kept; a tab and a line feed become the file format's own
// elements and other control characters, which XML cannot carry, are left out.
QString runContent(const QString& text) {
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
        } else if (c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF) {
            pending += c;
        }
    }
    flush();
    return xml;
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

const char* const kDocumentRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/>"
    "</Relationships>\n";

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
    QString xml = QStringLiteral("<w:document xmlns:w=\"%1\">\n<w:body>\n")
                      .arg(QString::fromLatin1(kWordNamespace));
    for (const ReportParagraph& paragraph : document.paragraphs()) {
        xml += QStringLiteral("<w:p>") + paragraphProperties(paragraph);
        for (const TextRun& run : paragraph.runs)
            xml += QStringLiteral("<w:r>") + runProperties(run.format) + runContent(run.text) +
                   QStringLiteral("</w:r>");
        xml += QStringLiteral("</w:p>\n");
    }
    xml += QString::fromLatin1(kSection);
    xml += QStringLiteral("</w:body>\n</w:document>\n");
    return withDeclaration(xml.toUtf8());
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
        xml += QStringLiteral("<dc:title>%1</dc:title>").arg(xmlText(properties.title));
    if (!properties.author.isEmpty())
        xml += QStringLiteral("<dc:creator>%1</dc:creator>").arg(xmlText(properties.author));
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
    // libzip reads the parts when the archive is closed, so they live until then.
    const std::vector<Part> parts = {
        {"[Content_Types].xml", withDeclaration(kContentTypes)},
        {"_rels/.rels", withDeclaration(kPackageRelationships)},
        {"docProps/core.xml", docxCoreXml(document.properties())},
        {"docProps/app.xml", docxAppXml()},
        {"word/_rels/document.xml.rels", withDeclaration(kDocumentRelationships)},
        {"word/styles.xml", docxStylesXml()},
        {"word/document.xml", docxDocumentXml(document)},
    };

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
        if (zip_file_add(archive.get(), part.name, source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            return std::nullopt;
        }
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
