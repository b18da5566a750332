#pragma once

#include "app/application.h"
#include "base/number_format.h"

#include <QString>
#include <QStringList>

namespace korvane::testing {

// The worked examples: docs/examples/*.kvs and the figure scripts of the tests.
QStringList workedExampleScripts();

// Runs a worked example against a started program line by line, as korvane-cli does, the script
// unchanged whatever the regional format. Returns what the print lines print, one value a line;
// a line the runner refuses fails the test.
QString runWorkedExample(Application& app, const QString& script);

// The text with the regional decimal sign (and '.') and the group sign between two digits
// replaced by neutral marks, so that runs under different regional formats can be compared.
QString neutralNumbers(const QString& text, const RegionalFormat& format);

} // namespace korvane::testing
