// PDF books: the same paragraphs as the .docx book, on A4 pages, with every font embedded. The
// PDF is read back with poppler's pdftotext and pdffonts, independent of Qt.

#include "gui/pdf_book.h"
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
        const QString path = dir.filePath(book.title + QStringLiteral(".pdf"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(gui::renderPdfBook(*book.document));
        file.close();

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
        EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {path}).contains(QStringLiteral("(A4)")));
    }
}

} // namespace
} // namespace korvane::testing
