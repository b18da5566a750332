#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <string>

namespace korvane::testing {

// The outcome of one run of korvane-cli: its status (-1 when it did not end normally) and output.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs korvane-cli with `arguments`, `input` on its standard input; `inChild`, when given, runs
// in the child process before the program starts (to set resource limits, say).
CliRun runCliProgram(const QStringList& arguments, const QByteArray& input = {},
                     const std::function<void()>& inChild = {});

} // namespace korvane::testing
