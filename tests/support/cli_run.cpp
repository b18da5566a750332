#include "support/cli_run.h"

#include <QProcess>

namespace korvane::testing {

CliRun runCliProgram(const QStringList& arguments, const QByteArray& input,
                     const std::function<void()>& inChild) {
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QString::fromUtf8(KORVANE_CLI), arguments);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

} // namespace korvane::testing
