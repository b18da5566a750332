#include "reports/book_frame.h"

#include "base/file_text.h"

namespace korvane {

namespace {

const QString kCr = QStringLiteral("\r");

} // namespace

QStringList bookHeaderLines(const QDate& today, const RegionalFormat& format,
                            const BookHeader& header) {
    return {
        // Each one paragraph, whatever the names typed hold.
        QStringLiteral("工程名:") + oneLineText(header.project),
        QStringLiteral("计算者:") + oneLineText(header.engineer),
        QStringLiteral("计算时间:") + today.toString(format.shortDatePattern),
        QStringLiteral("计算依据："),
        QStringLiteral("《工业与民用配电设计手册》第三版："),
        QStringLiteral("《民用建筑电气设计规范》JGJ 16 - 2008"),
    };
}

void writeBookFrame(ReportWriter& writer, const QString& title, const QDate& today,
                    const BookHeader& header) {
    const QString font = QString::fromUtf8(kBookFont);

    // Centring the still empty first paragraph centres the paragraphs split from it as well.
    writer.setAlignment(ParagraphAlignment::Centred);
    writer.appendText(title + kCr + kCr);
    writer.setFont(font, kBookTitlePoints, true, colors::kBlack);
    writer.closeBlock();

    const QStringList lines = bookHeaderLines(today, regionalFormat(), header);
    for (qsizetype i = 0; i < lines.size(); ++i)
        writer.appendText(lines.at(i) + (i + 1 == lines.size() ? kCr + kCr : kCr));
    writer.setFont(font, kBookHeaderPoints, true, colors::kBlack);
    writer.setAlignment(ParagraphAlignment::Left);
    writer.setLineSpacing(kBookHeaderLineSpacingPoints, LineSpacingRule::Default);
    writer.closeBlock();
}

void writeBookBody(ReportWriter& writer, const QStringList& paragraphs, double lineSpacingPoints) {
    for (const QString& paragraph : paragraphs)
        writer.appendText(paragraph + kCr);
    writer.setFont(QString::fromUtf8(kBookFont), kBookBodyPoints, true, std::nullopt);
    writer.setAlignment(ParagraphAlignment::Left);
    writer.setLineSpacing(lineSpacingPoints, LineSpacingRule::Exact);
}

} // namespace korvane
