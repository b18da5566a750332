#pragma once

#include "project/project_run.h"
#include "project/result_schema.h"
#include "reports/book_frame.h"
#include "reports/report_document.h"
#include "reports/report_writer.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace korvane {

inline constexpr const char* kProjectBookTitle = "低压配电线路工程计算书";

// The plot of a feeder circuit along its poles, painted outside the core. Nothing (or an empty
// function) leaves the plot out of the book, which then says so.
using ProjectBookPictures =
    std::function<std::optional<ReportPicture>(const ProjectCircuit&, const CircuitResult&)>;

// The sheets of the project's distribution system diagram (配电系统图), painted outside the core,
// one picture a sheet in their order, each at the size it takes on the book's page. None leaves
// the diagram out of the book, which then says so.
using ProjectBookDiagram = std::vector<ReportPicture>;

// The calculation book of a computed project on a freshly opened document: the books' frame,
// then 一、电源 (system, transformer, busbar, the voltage-loss limit), 二、回路表 (one table row
// per circuit, every check that did not pass in red and bold) and 三、各回路计算过程 (for each
// circuit its voltage loss, the short circuit at its end, the protection checks, the sizing
// decision of a sized run and the plot of a feeder), then 四、配电系统图 (the diagram's sheets, a
// page each). Every figure is taken from the run's
// results; a value that was not computed is written as its reason. A step the writer refuses is
// skipped; a table it refuses is written as lines of text instead.
void writeProjectBook(ReportWriter& writer, const ProjectRun& run, const QDate& today,
                      const BookHeader& header, const ProjectBookPictures& pictures,
                      const ProjectBookDiagram& diagram = {},
                      const ResultSchema& schema = projectResultSchema());

// The book as a .docx package; nothing when it could not be built.
std::optional<QByteArray> projectBookDocx(const ProjectRun& run, const QDate& today,
                                          const BookHeader& header,
                                          const ProjectBookPictures& pictures,
                                          const ProjectBookDiagram& diagram = {},
                                          const ResultSchema& schema = projectResultSchema());

// The book composed in memory for another back end (PDF); nothing when no document could be
// opened.
std::optional<ReportDocument>
projectBookDocument(const ProjectRun& run, const QDate& today, const BookHeader& header,
                    const ProjectBookPictures& pictures, const ProjectBookDiagram& diagram = {},
                    const ResultSchema& schema = projectResultSchema());

// The table of 二、回路表: a header row and one row per circuit: 回路编号, 电缆, 负荷 and the
// result schema's columns that have a book width, over the 146 mm text width.
ReportTable projectCircuitTable(const ProjectRun& run,
                                const ResultSchema& schema = projectResultSchema());

} // namespace korvane
