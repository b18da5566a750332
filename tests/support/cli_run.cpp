#include "support/cli_run.h"

#include <QProcess>

namespace korvane::testing {

CliRun runProgram(const ProgramRun& program) {
    QProcess process;
    if (program.inChild)
        process.setChildProcessModifier(program.inChild);
    process.setProcessEnvironment(program.environment);
    process.start(program.program, program.arguments);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(program.input);
    process.closeWriteChannel();
    if (!process.waitForFinished(program.timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.out = process.readAllStandardOutput().toStdString();
        run.err = process.readAllStandardError().toStdString();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

CliRun runCliProgram(const QStringList& arguments, const QByteArray& input,
                     const std::function<void()>& inChild) {
    ProgramRun program;
    program.program = QString::fromUtf8(KORVANE_CLI);
    program.arguments = arguments;
    program.input = input;
    program.inChild = inChild;
    return runProgram(program);
}

} // namespace korvane::testing
