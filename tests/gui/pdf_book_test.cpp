// PDF books: the same paragraphs as the .docx book, on A4 pages, with every font embedded and
// every character drawn. The PDF is read back with poppler's pdftotext, pdffonts and pdfinfo and
// with fontTools (pdf_glyphs.py), independent of Qt.

#include "render/pdf_book.h"
#include "reports/book_commands.h"
#include "support/test_app.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Texts compared without blanks: pdftotext renders runs of spaces and U+3000 its own way.
QString squeezed(QString text) {
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    return text;
}

// The characters of `text` that the PDF at `path` does not draw with an embedded font, as
// pdf_glyphs.py lists them; "error" and what it printed when it could not tell.
QString undrawnCharacters(const QString& path, const QString& text) {
    QFile textFile(path + QStringLiteral(".txt"));
    if (!textFile.open(QIODevice::WriteOnly))
        return QStringLiteral("error: cannot write ") + textFile.fileName();
    textFile.write(text.toUtf8());
    textFile.close();
    QProcess process;
    process.start(
        QStringLiteral(KORVANE_PYTHON3),
        {QStringLiteral(KORVANE_SOURCE_DIR "/tests/gui/pdf_glyphs.py"), path, textFile.fileName()});
    if (!process.waitForFinished(60000))
        return QStringLiteral("error: pdf_glyphs.py did not finish");
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit ||
        (process.exitCode() == 0) != out.contains(QStringLiteral(", 0 not drawn")))
        return QStringLiteral("error: ") + out + QString::fromUtf8(process.readAllStandardError());
    return process.exitCode() == 0 ? QString() : out;
}

QString writePdf(const QString& path, const ReportDocument& document) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(render::renderPdfBook(document));
    return path;
}

void fillShortCircuitPage(TestApp& t) {
    const std::pair<const char*, const char*> fields[] = {
        {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"}, {"Text58", "0.025"},
        {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"}, {"Text62", "5"},
        {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
        {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"}};
    for (const auto& [name, value] : fields)
        t.setText(name, QString::fromUtf8(value));
    t.select("Combo18", QStringLiteral("100"));
}

TEST(PdfBook, CarriesEveryParagraphOfTheBookWithEmbeddedFonts) {
    TestApp t;
    fillShortCircuitPage(t);
    t.select("Combo3", QStringLiteral("50"));
    QTemporaryDir dir;
    for (BookKind kind : {BookKind::VoltageLoss, BookKind::ShortCircuit}) {
        const ComposedBook book = composeBook(t.app(), t.form(), kind);
        ASSERT_TRUE(book.document.has_value());
        SCOPED_TRACE(book.title.toStdString());
        const QString path =
            writePdf(dir.filePath(book.title + QStringLiteral(".pdf")), *book.document);

        QStringList expected;
        for (const QString& paragraph : book.document->paragraphTexts()) {
            if (!squeezed(paragraph).isEmpty())
                expected << squeezed(paragraph);
        }
        QStringList extracted;
        for (const QString& line : run(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-layout"), path, QStringLiteral("-")})
                                       .split(u'\n')) {
            if (!squeezed(line).isEmpty())
                extracted << squeezed(line);
        }
        ASSERT_GE(expected.size(), 20);
        EXPECT_EQ(extracted, expected);

        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
        ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
        for (const QString& row : rows)
            // Columns: name, type, encoding, emb, sub, uni, object, generation.
            EXPECT_TRUE(row.contains(QRegularExpression(
                QStringLiteral("\\syes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"))))
                << "font not embedded: " << row.toStdString();
        const QString info = run(QStringLiteral("pdfinfo"), {path});
        EXPECT_TRUE(info.contains(QStringLiteral("(A4)")));
        EXPECT_TRUE(info.contains(QStringLiteral("Title:           ") + book.title))
            << info.toStdString();
        EXPECT_EQ(undrawnCharacters(path, book.document->paragraphTexts().join(u'\n')), QString());
    }
}

// The symbols of the books in every font the books use, each drawn even where the Chinese font
// chosen has no glyph for it (WenQuanYi Micro Hei's ℃ is empty) or lacks it altogether.
TEST(PdfBook, DrawsEveryCharacterThroughFontFallback) {
    const QString symbols =
        QStringLiteral("线芯工作温度(℃)；环境温度(℃) θc θa Δu% cosφ sinφ √3 Ω/km mΩ I″k3 ZΣ Rphp "
                       "……电压系数 ΔP 16 - 2008 mm2 ² ± ≤ ≥ ° μ 《》【】：，。");
    struct Case {
        const char* what;
        double size;
        bool bold;
    };
    const Case cases[] = {
        {"title", 18, true}, {"header", 12, true}, {"body", 10.5, true}, {"regular", 10.5, false}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentReportWriter writer;
        writer.openDocument();
        writer.appendText(symbols + u'\r');
        writer.setFont(QStringLiteral("宋体"), c.size, c.bold, std::nullopt);
        const QString path = writePdf(
            dir.filePath(QString::fromUtf8(c.what) + QStringLiteral(".pdf")), *writer.document());
        EXPECT_EQ(undrawnCharacters(path, symbols), QString());
        // The text layer still reads as written.
        EXPECT_EQ(squeezed(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})),
                  squeezed(symbols));
    }
}

} // namespace
} // namespace korvane::testing
