// korvane-cli's table of results (projectResultsText): one line per circuit and per note, each
// field without a tab or a line break whatever the engineer typed, so that a program reading the
// table splits every line into the same fields.

#include "project/project_run.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

TEST(ProjectResultsText, EveryFieldIsOneLineWithoutTabs) {
    const QString fffd(QChar::ReplacementCharacter);
    const struct {
        QString id;
        QString shown; // the identifier as its field and its notes give it
    } rows[] = {
        {QStringLiteral("WL1"), QStringLiteral("WL1")},
        {QStringLiteral("WL\t2"), QStringLiteral("WL 2")},
        {QStringLiteral("WL\n3\r\n"), QStringLiteral("WL 3  ")},
        {QStringLiteral("WL\x01"
                        "4") +
             QChar(0x2028) + QChar(0xD800),
         "WL" + fffd + QStringLiteral("4 ") + fffd},
    };
    std::vector<ProjectCircuit> circuits;
    for (const auto& row : rows) {
        // A tab in the cross-section as well: the database holds no such cable, so each circuit
        // is not computed and its note names the cable as written.
        ProjectCircuit c = endLoadCircuit(60.0, 0.1);
        c.id = row.id;
        c.line.cable.crossSection = QStringLiteral("50\t");
        circuits.push_back(c);
    }
    const ProjectRun run = runProject(projectOf(circuits), vvCatalogue(), false);
    const QStringList lines = projectResultsText(run).split(u'\n');

    const qsizetype fields = lines.front().count(u'\t') + 1;
    EXPECT_EQ(fields, 2 + qsizetype(projectResultSchema().columns.size()));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].shown.toStdString());
        ASSERT_GT(lines.size(), qsizetype(i + 1));
        const QStringList cells = lines[qsizetype(i) + 1].split(u'\t');
        ASSERT_EQ(cells.size(), fields);
        EXPECT_EQ(cells[0], rows[i].shown);
        EXPECT_EQ(cells[1], QStringLiteral("50 "));
        // Its notes, after the blank line under the table, each on a line of its own.
        const QString note = rows[i].shown + QStringLiteral(" 未计算：电缆数据库中无电缆");
        EXPECT_TRUE(std::any_of(lines.begin() + qsizetype(std::size(rows)) + 2, lines.end(),
                                [&](const QString& line) {
                                    return line.startsWith(note) &&
                                           line.contains(QStringLiteral("/ 50  mm²"));
                                }))
            << lines.join(u'\n').toStdString();
    }
    EXPECT_EQ(lines[qsizetype(std::size(rows)) + 1], QString());
    for (const QString& line : lines)
        EXPECT_FALSE(line.contains(u'\r') || line.contains(QChar(0x2028)) ||
                     line.contains(QChar(0xD800)))
            << line.toStdString();
}

} // namespace
} // namespace korvane::testing
