// The window under the system's regional settings, as the program starts: the format comes from
// the locale of the environment, and the worked examples run through the window give the same
// figures as under the program's own format. CTest runs this under de_DE, zh_CN and C.

#include "base/number_format.h"
#include "gui/view_manager.h"
#include "support/example_scripts.h"
#include "support/test_app.h"

#include <QDir>

#include <clocale>
#include <memory>

namespace korvane::testing {
namespace {

// A program started with its window, as the GUI starts it, under `format`.
struct WindowedProgram {
    explicit WindowedProgram(const RegionalFormat& format) {
        setRegionalFormat(format);
        app = std::make_unique<Application>(platform, testHome());
        views = std::make_unique<gui::ViewManager>(*app);
        app->startWithoutSplash();
    }
    RecordingPlatform platform;
    std::unique_ptr<Application> app;
    std::unique_ptr<gui::ViewManager> views;
};

QString runThroughTheWindow(const RegionalFormat& format, const QString& script) {
    WindowedProgram program(format);
    EXPECT_NE(program.views->windowOf(QStringLiteral("Form1")), nullptr);
    return runWorkedExample(*program.app, script);
}

class SystemLocale : public ::testing::Test {
protected:
    void TearDown() override { setRegionalFormat(saved_); }
    const RegionalFormat saved_ = regionalFormat();
    const RegionalFormat system_ = RegionalFormat::fromSystemLocale();
};

TEST_F(SystemLocale, TheEnvironmentsLocaleIsInForce) {
    const QByteArray expected = qgetenv("KORVANE_EXPECTED_DECIMAL_SIGN");
    if (expected.isEmpty())
        GTEST_SKIP() << "run outside a locale of its own";
    EXPECT_EQ(QString(system_.decimalSign), QString::fromUtf8(expected));
    // The C library took the locale too (QApplication sets it from the environment), so the
    // locale data exists on this machine and the run is the one a user of it has.
    EXPECT_EQ(QByteArray(std::setlocale(LC_ALL, nullptr)), qgetenv("LC_ALL"));
}

TEST_F(SystemLocale, WorkedExamplesGiveTheSameFiguresThroughTheWindow) {
    for (const QString& script : workedExampleScripts()) {
        SCOPED_TRACE(script.toStdString());
        const QString reference = runThroughTheWindow(RegionalFormat{}, script);
        const QString printed = runThroughTheWindow(system_, script);
        EXPECT_TRUE(reference.contains(u'='));
        EXPECT_EQ(neutralNumbers(printed, system_), neutralNumbers(reference, RegionalFormat{}));
    }
}

TEST_F(SystemLocale, HeadlineFiguresCarryTheRegionalDecimalSign) {
    const QDir examples(QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples"));
    auto line = [this](const char* name, const char* value) {
        return QString::fromLatin1(name) + u'=' +
               regionalDecimalText(QString::fromLatin1(value), system_) + u'\n';
    };
    const QString voltageLoss =
        runThroughTheWindow(system_, examples.filePath(QStringLiteral("voltage_loss.kvs")));
    EXPECT_TRUE(voltageLoss.contains(line("Text1", "0.387"))) << voltageLoss.toStdString();
    EXPECT_TRUE(voltageLoss.contains(line("Text6", "8.4573"))) << voltageLoss.toStdString();
    EXPECT_TRUE(voltageLoss.contains(line("Text7", "442.1796"))) << voltageLoss.toStdString();
    const QString shortCircuit =
        runThroughTheWindow(system_, examples.filePath(QStringLiteral("short_circuit.kvs")));
    EXPECT_TRUE(shortCircuit.contains(line("Text42", "5.3509"))) << shortCircuit.toStdString();
}

} // namespace
} // namespace korvane::testing
