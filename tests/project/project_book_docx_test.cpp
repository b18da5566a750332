// The project book's .docx read back by an independent reader, python-docx of the system's
// Python 3: the circuit table cell by cell, the red of a check that did not pass, and one inline
// picture per feeder at its size.

#include "db/database.h"
#include "form/number_format.h"
#include "project/project_book.h"
#include "project/project_file.h"
#include "project/project_run.h"
#include "reports/tiny_png.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

// The tables (cell texts, and per cell whether every run is bold and its colours), the inline
// shapes (width and height in mm) and the paragraph texts.
constexpr char kReader[] = R"(
import json, sys
try:
    import docx
except ImportError:
    sys.exit(3)
d = docx.Document(sys.argv[1])
tables = []
for t in d.tables:
    rows = []
    for row in t.rows:
        cells = []
        for cell in row.cells:
            runs = [r for p in cell.paragraphs for r in p.runs if r.text]
            colours = sorted({str(r.font.color.rgb) if r.font.color and r.font.color.rgb
                              else "auto" for r in runs})
            cells.append({"text": "\n".join(p.text for p in cell.paragraphs),
                          "bold": bool(runs) and all(r.bold for r in runs), "colours": colours})
        rows.append(cells)
    tables.append(rows)
shapes = [[round(s.width / 36000.0, 3), round(s.height / 36000.0, 3)] for s in d.inline_shapes]
print(json.dumps({"tables": tables, "shapes": shapes,
                  "paragraphs": [p.text for p in d.paragraphs]}, ensure_ascii=False))
)";

struct ReadBack {
    QJsonObject book;
    QString error;
    bool skip = false;
};

ReadBack readBack(const QString& path) {
    ReadBack r;
    QProcess python;
    python.start(QStringLiteral(KORVANE_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(kReader), path});
    if (!python.waitForStarted()) {
        r.skip = true;
        return r;
    }
    python.waitForFinished(60000);
    if (python.exitStatus() == QProcess::NormalExit && python.exitCode() == 3) {
        r.skip = true;
        return r;
    }
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        r.error = QString::fromUtf8(python.readAllStandardError());
        return r;
    }
    r.book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    return r;
}

TEST(ProjectBookDocx, TheTableAndOnePicturePerFeederReadBack) {
    Database db(QStringLiteral(KORVANE_TEST_HOME "/Database/JhxlDlxlss.db"));
    ASSERT_EQ(db.open(QStringLiteral("AAA")), QString());
    const ProjectReading reading =
        openProject(QDir(QStringLiteral(KORVANE_SOURCE_DIR))
                        .filePath(QStringLiteral("docs/examples/street_lighting.kvp")));
    ASSERT_EQ(reading.error, QString());
    const ProjectRun run = runProject(reading.project, loadCableCatalogue(db).valueOr({}), false);

    const QByteArray png = tinyPng();
    const std::optional<QByteArray> docx = projectBookDocx(
        run, QDate(2026, 12, 9), {}, [&png](const ProjectCircuit& c, const CircuitResult&) {
            return std::optional(ReportPicture{png, 150.0, 80.0, c.id});
        });
    ASSERT_TRUE(docx.has_value());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("工程计算书.docx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(*docx), docx->size());
    file.close();

    const ReadBack back = readBack(path);
    if (back.skip)
        GTEST_SKIP() << "python3 with python-docx is not installed";
    ASSERT_EQ(back.error, QString()) << back.error.toStdString();

    const ReportTable expected = projectCircuitTable(run);
    const QJsonArray tables = back.book[QStringLiteral("tables")].toArray();
    ASSERT_EQ(tables.size(), 1);
    const QJsonArray rows = tables[0].toArray();
    ASSERT_EQ(rows.size(), static_cast<qsizetype>(expected.rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonArray cells = rows[i].toArray();
        const auto& want = expected.rows[static_cast<size_t>(i)];
        ASSERT_EQ(cells.size(), static_cast<qsizetype>(want.size())) << i;
        for (qsizetype j = 0; j < cells.size(); ++j) {
            const QJsonObject cell = cells[j].toObject();
            const ReportTableCell& w = want[static_cast<size_t>(j)];
            EXPECT_EQ(cell[QStringLiteral("text")].toString(),
                      QString(w.text).replace(u'\r', u'\n'))
                << i << " " << j;
            EXPECT_EQ(cell[QStringLiteral("bold")].toBool(), w.bold) << i << " " << j;
            const QJsonArray colours = cell[QStringLiteral("colours")].toArray();
            if (w.colour == std::optional<Color>(colors::kRed))
                EXPECT_EQ(colours, (QJsonArray{QStringLiteral("FF0000")})) << i << " " << j;
            else
                EXPECT_FALSE(colours.contains(QStringLiteral("FF0000"))) << i << " " << j;
        }
    }
    // WL2 fails its voltage loss: its Δu cell is red.
    EXPECT_EQ(rows[2].toArray()[4].toObject()[QStringLiteral("colours")].toArray(),
              (QJsonArray{QStringLiteral("FF0000")}));

    // One picture per feeder (WL1, WL2, WL4), 150 × 80 mm.
    const QJsonArray shapes = back.book[QStringLiteral("shapes")].toArray();
    ASSERT_EQ(shapes.size(), 3);
    for (const QJsonValue& shape : shapes) {
        EXPECT_NEAR(shape[0].toDouble(), 150.0, 0.01);
        EXPECT_NEAR(shape[1].toDouble(), 80.0, 0.01);
    }
    const QJsonArray paragraphs = back.book[QStringLiteral("paragraphs")].toArray();
    ASSERT_FALSE(paragraphs.isEmpty());
    EXPECT_EQ(paragraphs[0].toString(), QString::fromUtf8(kProjectBookTitle));
    EXPECT_TRUE(paragraphs.contains(QStringLiteral("三、各回路计算过程")));
}

} // namespace
} // namespace korvane::testing
