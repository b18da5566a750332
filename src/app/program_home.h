#pragma once

#include <QString>

namespace korvane {

// The folder the program reads Database/ and "A page/" from, given the folder of its executable.
// A build tree (or a self-contained copy) keeps them beside the executable; an installed program
// (PREFIX/bin/korvane) finds them in PREFIX/share/korvane. When neither holds them, the
// executable's folder is returned so that start-up reports the missing files there.
QString programHome(const QString& executableDir);

} // namespace korvane
