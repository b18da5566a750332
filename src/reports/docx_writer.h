#pragma once

#include "reports/report_document.h"

#include <QByteArray>

#include <optional>

namespace korvane {

// word/document.xml of a document (Office Open XML, WordprocessingML): one w:p per paragraph
// with its alignment and line spacing and its mark's character format, one w:r per run of equally
// formatted characters, and an A4 page. Sizes are in half-points, spacing in twentieths of a
// point. A table is a fixed-layout w:tbl at its widths in twips; a picture is a centred w:p with
// an inline drawing at its size in EMU.
QByteArray docxDocumentXml(const ReportDocument& document);

// word/_rels/document.xml.rels: the styles, then each picture's image part in
// word/media/imageN.png, N counting the pictures from 1 in reading order (relationship rId(N+1)).
QByteArray docxDocumentRelationshipsXml(const ReportDocument& document);

// [Content_Types].xml: the parts' content types, with PNG among the defaults when the document
// has a picture.
QByteArray docxContentTypesXml(const ReportDocument& document);

// word/styles.xml: the document defaults (宋体 10.5 pt, single spacing, no space after
// paragraphs) and the Normal style.
QByteArray docxStylesXml();

// docProps/core.xml: the document's title, author and date of creation (also its date of last
// change), each left out when the document has none; the title and the author each on one line.
// Dates are written in UTC.
QByteArray docxCoreXml(const DocumentProperties& properties);

// docProps/app.xml: the application that wrote the file.
QByteArray docxAppXml();

// The .docx package: content types, relationships, the document's properties, styles, the
// document and its pictures' images, zipped. Nothing when
// the archive could not be built.
std::optional<QByteArray> docxPackage(const ReportDocument& document);

// A ReportWriter that builds the document in memory and hands it out as a .docx package.
class DocxReportWriter : public DocumentReportWriter {
public:
    // The package of the document written so far; nothing before OpenDocument.
    std::optional<QByteArray> package() const;
};

} // namespace korvane
