#pragma once

#include <QByteArray>
#include <QStringList>

#include <string>

namespace korvane::testing {

// The outcome of one run of korvane-cli: its status (-1 when it did not end normally) and output.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs korvane-cli with `arguments`, `input` on its standard input.
CliRun runCliProgram(const QStringList& arguments, const QByteArray& input = {});

} // namespace korvane::testing
