#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <string>

namespace korvane::testing {

// The outcome of one run of a program: its status (-1 when it did not end normally or not within
// its time) and output.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// One run of a program: what it is given and how long it may take before it is killed.
struct ProgramRun {
    QString program;
    QStringList arguments;
    QByteArray input;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    int timeoutMs = 30000;
    // Runs in the child process before the program starts (to set resource limits, say).
    std::function<void()> inChild;
};

CliRun runProgram(const ProgramRun& run);

// Runs korvane-cli with `arguments`, `input` on its standard input; `inChild`, when given, runs
// in the child process before the program starts (to set resource limits, say).
CliRun runCliProgram(const QStringList& arguments, const QByteArray& input = {},
                     const std::function<void()>& inChild = {});

} // namespace korvane::testing
