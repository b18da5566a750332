#pragma once

#include "project/project_run.h"

#include <QDate>
#include <QString>

#include <optional>

namespace korvane::render {

// The distribution system diagram of a computed project as a file of its own, for both programs.

enum class DiagramFormat { Dxf, Svg, Pdf };

// The format of a diagram file by its suffix, .dxf, .svg or .pdf in any case; nothing for
// another.
std::optional<DiagramFormat> diagramFormatOfPath(const QString& path);

// The diagram of the run written to `path` in the format of its suffix (DXF for CAD, SVG, or a
// vector PDF of A3 pages), replacing a file there only when complete; the title block dated
// `today`. Returns an empty string on success, otherwise the reason in Chinese. The PDF needs a
// running QGuiApplication (for the fonts).
QString writeDiagramFile(const ProjectRun& run, const QString& path, const QDate& today);

} // namespace korvane::render
