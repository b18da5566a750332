#pragma once

#include "base/number_format.h"
#include "reports/report_writer.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace korvane {

inline constexpr const char* kBookFont = "宋体";
inline constexpr double kBookTitlePoints = 18.0;
inline constexpr double kBookHeaderPoints = 12.0;
inline constexpr double kBookBodyPoints = 10.5; // 五号
inline constexpr double kBookHeaderLineSpacingPoints = 18.0;

// Who and what a book is for: the names printed after "工程名:" and "计算者:"; empty names
// leave the labels standing alone.
struct BookHeader {
    QString project;
    QString engineer;
};

// The six header lines of every book: project, author, the date of the calculation and the two
// works the calculation follows. The date is today's in the user's short-date format, without a
// time of day.
QStringList bookHeaderLines(const QDate& today, const RegionalFormat& format = regionalFormat(),
                            const BookHeader& header = {});

// The frame that opens every book on a freshly opened document: the centred title in 宋体 18 pt
// bold black with one empty paragraph after it, then the header lines and one empty paragraph,
// left-aligned in 宋体 12 pt bold black with 18 pt spacing under the default rule. Each step is
// carried out on its own; one that fails is skipped.
void writeBookFrame(ReportWriter& writer, const QString& title, const QDate& today,
                    const BookHeader& header = {});

// The body of a book as one block: every paragraph appended with its CR, then the block set in
// 宋体 10.5 pt bold (no colour), left-aligned, with exact line spacing. The block stays open.
void writeBookBody(ReportWriter& writer, const QStringList& paragraphs, double lineSpacingPoints);

} // namespace korvane
