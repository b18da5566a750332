#include "render/diagram_outputs.h"

#include "base/atomic_file.h"
#include "diagram/system_diagram.h"
#include "drawing/dxf_writer.h"
#include "drawing/svg_writer.h"
#include "render/drawing_painter.h"

#include <QFileInfo>

namespace korvane::render {

std::optional<DiagramFormat> diagramFormatOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("dxf"))
        return DiagramFormat::Dxf;
    if (suffix == QLatin1String("svg"))
        return DiagramFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return DiagramFormat::Pdf;
    return std::nullopt;
}

QString writeDiagramFile(const ProjectRun& run, const QString& path, const QDate& today) {
    const std::optional<DiagramFormat> format = diagramFormatOfPath(path);
    if (!format)
        return QStringLiteral("配电系统图应保存为 .dxf、.svg 或 .pdf 文件");
    const drawing::Drawing diagram = systemDiagram(run, today);
    QByteArray bytes;
    switch (*format) {
    case DiagramFormat::Dxf:
        bytes = drawing::dxfDocument(diagram);
        break;
    case DiagramFormat::Svg:
        bytes = drawing::svgDocument(diagram);
        break;
    case DiagramFormat::Pdf:
        bytes = drawingPdf(diagram);
        if (bytes.isEmpty())
            return QStringLiteral("配电系统图的 PDF 无法生成");
        break;
    }
    return writeFileAtomically(path, bytes);
}

} // namespace korvane::render
