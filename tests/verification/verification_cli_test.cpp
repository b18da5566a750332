// The sample script of the verification page, run through korvane-cli.

#include "support/test_app.h"

#include <QDir>
#include <QProcess>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(VerificationCli, BothModesFromShortCircuitPageToReport) {
    QProcess process;
    process.start(u8(KORVANE_CLI),
                  {u8("--home"), testHome(),
                   QDir(u8(KORVANE_SOURCE_DIR))
                       .filePath(u8("tests/verification/verification_both_modes.kvs"))});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList out =
        QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);

    // Reports are printed on one line, CR LF escaped.
    auto report = [](const char* sensitivity) {
        return u8("Text71=\\r\\n校验结果：\\r\\n\\r\\n ㈠、选择电缆截面:S = 50mm\\r\\n\\r\\n"
                  " ㈡、计算电压损失Δu% ≤ 5% 符合要求:\\r\\n\\r\\n "
                  "㈢、短路热稳定校验通过:\\r\\n\\r\\n"
                  "     热稳定最小允许截面Smin满足 Smin ＜ S 条件: 32.9014 <  50\\r\\n\\r\\n"
                  " ㈣、选择线路剩余电流保护断路器 QR: 额定电流 In = 32A\\r\\n\\r\\n"
                  "     线路泄露电流计算值: Ixn = 16.5mA \\r\\n\\r\\n"
                  "     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = 66mA  取 Ivn =100mA \\r\\n\\r\\n"
                  "     选择线路接触器 QC: 额定电流 Ie = 32A\\r\\n\\r\\n") +
               u8(sensitivity) +
               u8("\\r\\n\\r\\n ㈥、变压器容量 400kVA : 变压器低压侧电器选择如下：\\r\\n\\r\\n"
                  "     隔离开关 QS: 额定电流 Ie =800A :保护断路器QF: 额定电流 Ie =700A\\r\\n\\r\\n"
                  "     母线规格 WB: 铜母线TMY—4(125X10)");
    };
    const QStringList expected = {
        u8("Text6=1.6915"),
        u8("Text42=5.3509"),
        u8("Text43=4.6339"),
        u8("Text44=2.1826"),
        u8("Text45=3.0321"),
        u8("Text35=5.3509"),
        u8("Text36=2.1826"),
        u8("Text75=3.0321"),
        u8("Text51=115"),
        u8("Text52=0.50"),
        u8("Text39=1.053"),
        u8("Text72=33"),
        report(" ㈤、保护灵敏度校验: Id.min / Ir2 = 17.05  > 1.3  检验合格"),
        u8("Frame12=1"),
        report(" ㈤、保护灵敏度校验: Ik.min / Ir2 = 23.69  > 1.3  检验合格"),
        u8("msgbox\tnone\tKorvane\t选择的电缆截面不符合短路保护要求，重新选择电缆截面"),
    };
    ASSERT_EQ(out.size(), expected.size()) << out.join(u'\n').toStdString();
    for (qsizetype i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i].toStdString(), expected[i].toStdString()) << "output line " << i + 1;
}

} // namespace
} // namespace korvane::testing
