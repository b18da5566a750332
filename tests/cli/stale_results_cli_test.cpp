// The out-of-date mark of each page's results seen through korvane-cli: `props` shows whether a
// result is OutOfDate and whether the page's note is visible, after the sample scripts, after a
// change of one input and after the page's button is pressed again.

#include "support/cli_run.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray sourceFile(const char* relative) {
    QFile file(QDir(u8(KORVANE_SOURCE_DIR)).filePath(u8(relative)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative;
    return file.readAll();
}

// The lines of `out` that start with one of `prefixes`, in their order.
std::string linesStartingWith(const std::string& out, const QStringList& prefixes) {
    std::string kept;
    for (const QString& line : QString::fromStdString(out).split(u'\n', Qt::SkipEmptyParts)) {
        for (const QString& prefix : prefixes) {
            if (line.startsWith(prefix)) {
                kept += line.toStdString() + '\n';
                break;
            }
        }
    }
    return kept;
}

TEST(StaleResultsCli, EachPageIsMarkedAfterAnInputChangeUntilComputedAgain) {
    struct Case {
        const char* what;
        const char* script; // computes the page
        const char* change;
        const char* compute;
        const char* result;
        const char* note;
    };
    const Case cases[] = {
        {"voltage loss, load current typed", "docs/examples/voltage_loss.kvs", "set Text4 120\n",
         "click Command1\n", "Text6", "StaleNote0"},
        {"short circuit, Rphp picked on page 2 into Text46",
         "tests/short_circuit/short_circuit_example.kvs", "click Command27\ncell Form2 2 7\n",
         "click Command9\n", "Text44", "StaleNote1"},
        {"verification, load current typed", "docs/examples/verification_earth_fault.kvs",
         "set Text37 25\n", "click Command28\n", "Text71", "StaleNote2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray look = QByteArray("props ") + c.result + "\nprops " + c.note + "\n";
        const QByteArray script = sourceFile(c.script) + look + c.change + look + c.compute + look;
        const CliRun run = runCliProgram({u8("--home"), u8(KORVANE_TEST_HOME)}, script);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string result = c.result;
        const std::string note = c.note;
        const std::string current = result + ".OutOfDate=0\n" + note + ".Visible=0\n";
        const std::string marked = result + ".OutOfDate=1\n" + note + ".Visible=1\n";
        EXPECT_EQ(linesStartingWith(
                      run.out, {u8(c.result) + u8(".OutOfDate="), u8(c.note) + u8(".Visible=")}),
                  current + marked + current);
    }
}

TEST(StaleResultsCli, RphpPickedOnPage2KeepsPage1sOldIdMarkedUntilComputedAgain) {
    const QByteArray script = sourceFile("tests/short_circuit/short_circuit_example.kvs") +
                              "click Command27\ncell Form2 2 7\nprint Text46 Text44\n"
                              "props Text44\nclick Command9\nprint Text44\nprops Text44\n";
    const CliRun run = runCliProgram({u8("--home"), u8(KORVANE_TEST_HOME)}, script);
    ASSERT_EQ(run.status, 0) << run.err;
    // Id of the worked example (Rphp 0.9 mΩ/m) stays shown, marked, until 计算 gives the Id of
    // Rphp 1.053 mΩ/m: 380 / (√3 × Zphp) with Rphp.L = 105.3 mΩ, 1.9071 kA.
    EXPECT_EQ(linesStartingWith(run.out, {u8("Text46="), u8("Text44="), u8("Text44.OutOfDate=")}),
              "Text44=2.1826\n"
              "Text46=1.053\nText44=2.1826\nText44.OutOfDate=1\n"
              "Text44=1.9071\nText44.OutOfDate=0\n");
}

} // namespace
} // namespace korvane::testing
