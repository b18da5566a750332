// korvane-cli run as a user runs it: a script of actions in, printed fields and message boxes out.

#include "app/program_folder.h"
#include "support/cli_run.h"
#include "support/test_app.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Outputs as std::string, so that a failure shows them as text.
// Runs the driver over `home` with the script on standard input, or from `scriptFile` when given.
CliRun runCli(const QString& home, const QByteArray& script, const QString& scriptFile = {}) {
    QStringList arguments{u8("--home"), home};
    if (!scriptFile.isEmpty())
        arguments << scriptFile;
    return runCliProgram(arguments, script);
}

TEST(Cli, WorkedVoltageLossFiguresFromTheSampleScript) {
    const QString script =
        QDir(u8(KORVANE_SOURCE_DIR)).filePath(u8("tests/cli/voltage_loss_figures.kvs"));
    const QString fail = u8("Text3=电压损Δu% ≥5%不符合要求请重新选择导体截面;\n");
    const QString pass = u8("Text3=电压损失Δu%≤5% 校验通过:\n");
    const QString expected = u8("Text1=0.387\nText2=0.08\n") +                      // cable
                             u8("Text6=8.4573\n") + fail + u8("Text7=237.1138\n") + // I only
                             u8("Text6=4.5351\n") + pass + u8("Text7=442.1796\n") + // I and P
                             u8("Text6=5.6281\n") + fail +                          // case (6)
                             u8("Text6=11.2562\n") + fail +                         // line voltage
                             u8("Text6=10.2040\n") + fail +                         // two-phase
                             u8("Text6=16.8678\n") + fail + u8("Text7=173.8834\n"); // 0.22 kV
    // The test rows of the cable database come after the shipped ones, so both homes agree.
    for (const QString& home : {testHome(), u8(KORVANE_SHIPPED_HOME)}) {
        SCOPED_TRACE(home.toStdString());
        const CliRun run = runCli(home, {}, script);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected.toStdString());
        EXPECT_EQ(run.err, "");
    }
}

TEST(Cli, VerbsPrintWhatTheWindowHolds) {
    struct Printed {
        const char* what;
        const char* script;
        const char* out;
    };
    const Printed cases[] = {
        {"comments and blank lines are skipped", "# a comment\n\n   \nprint Combo7 Combo5\n",
         "Combo7=10\nCombo5=三相平衡负荷线路\n"},
        {"CR LF script lines", "select Combo3 35\r\nprint Text1 Text2\r\n",
         "Text1=0.524\nText2=0.08\n"},
        {"values are escaped", "set Text4 a\\b\nprint Text4 Text75\n", "Text4=a\\\\b\nText75=\n"},
        {"a name with its form", "set Text52 x\nprint Form1.Text52\n", "Form1.Text52=x\n"},
        {"index, check and spin",
         "index Combo6 2\ncheck Check2 0\nspin UpDown1 15\n"
         "print Frame5 Frame4 Text11 Text52 UpDown1\n",
         "Frame5=1\nFrame4=0\nText11=0\nText52=1.50\nUpDown1=15\n"},
        {"tick", "tick 2\nprint ProgressBar1 Line9\ntick 1\nprint ProgressBar1 Line9\n",
         "ProgressBar1=16\nLine9=1\nProgressBar1=24\nLine9=0\n"},
        {"items", "items Combo7\nitems Combo8\n",
         "Combo7.items=10|6|0.38|0.22|0.11\nCombo8.items=50|60|70|80|90\n"},
        {"hint boxes", "click Command6\nclick Command7\n",
         "msgbox\tnone\tKorvane\t【计算线路长度只考虑终段负荷情况】\n"
         "msgbox\tnone\tKorvane\t【电缆线芯允许长期工作温度】\\r\\n\\r\\n橡皮绝缘电力电缆线芯工作温"
         "度C--60"
         "\\r\\n\\r\\n聚氯乙烯绝缘电力电缆线芯工作温度C--70\\r\\n\\r\\n"
         "交联聚氯乙烯绝缘电力电缆线芯工作温度C--90\n"},
        {"exit ends the script", "print Combo4\nclick Command11\nprint Combo4\nbogus\n",
         "Combo4=0.05\nended\n"},
        {"an empty script", "", ""},
    };
    for (const Printed& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runCli(testHome(), c.script);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }

    // Multi-line texts come out on one line.
    const CliRun about = runCli(testHome(), "print RichTextBox1\n");
    EXPECT_EQ(about.status, 0);
    EXPECT_TRUE(about.out.starts_with("RichTextBox1=Korvane ")) << about.out;
    EXPECT_NE(about.out.find("\\r\\n"), std::string::npos);
    EXPECT_EQ(std::count(about.out.begin(), about.out.end(), '\n'), 1);

    const CliRun props = runCli(testHome(), "props Text75\n");
    EXPECT_NE(props.out.find("Text75.Enabled=0\n"), std::string::npos) << props.out;
    EXPECT_NE(props.out.find("Text75.BackColor=0x8000000F\n"), std::string::npos) << props.out;
}

TEST(Cli, FirstLineThatCannotBeDoneStopsWithStatusTwo) {
    struct Refused {
        const char* script;
        const char* out; // printed before the failing line
        const char* err;
    };
    const Refused cases[] = {
        {"frobnicate Text1\n", "", "error: line 1: unknown verb frobnicate\n"},
        {"# header\n\nprint Text1\nprint Text999\n", "Text1=\n",
         "error: line 4: unknown control Text999\n"},
        {"print Text4 Nothing Text5\n", "Text4=\n", "error: line 1: unknown control Nothing\n"},
        {"select Combo4 0.33\n", "", "error: line 1: Combo4 has no item \"0.33\"\n"},
        {"select Combo5 三相平衡负荷线路 \n", "",
         "error: line 1: Combo5 has no item \"三相平衡负荷线路 \"\n"},
        {"check Check14 1\n", "", "error: line 1: Check14 is disabled\n"},
        {"check Check1 0\n", "", "error: line 1: Check1 is hidden\n"},
        {"set Text4 5\nindex Combo6 6\nprint Text4\n", "", "error: line 2: Combo6 has no item 6\n"},
        {"set Combo4 0.33\n", "", "error: line 1: Combo4 takes no typed text\n"},
        {"check Check2 2\n", "", "error: line 1: check needs 0 or 1\n"},
        {"spin Text4 3\n", "", "error: line 1: Text4 is not a spin button\n"},
        {"click Form99.Command1\n", "", "error: line 1: unknown form Form99\n"},
        {"tick x\n", "", "error: line 1: tick needs a count\n"},
        {"click\n", "", "error: line 1: click needs a control\n"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.script);
        const CliRun run = runCli(testHome(), c.script);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

TEST(Cli, MissingCableDatabaseEndsAfterACriticalBox) {
    ProgramFolder empty(ProgramFolder::CableDatabase::Missing);
    const CliRun run = runCli(empty.path(), "print Text1\n");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.status, -1);
    const QStringList lines = QString::fromStdString(run.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << run.out;
    EXPECT_TRUE(lines[0].startsWith(u8("msgbox\tcritical\tKorvane\t"))) << run.out;
    EXPECT_TRUE(lines[0].contains(QDir::toNativeSeparators(empty.cableDatabasePath()))) << run.out;
}

TEST(Cli, ScriptFileThatCannotBeOpened) {
    const CliRun run = runCli(testHome(), {}, u8("no/such/script.kvs"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "error: cannot open script no/such/script.kvs\n");
}

} // namespace
} // namespace korvane::testing
