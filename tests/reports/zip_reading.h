#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace korvane::testing {

// The names of the entries of a zip archive held in memory, in archive order; nothing when the
// bytes are not a readable archive.
std::optional<QStringList> zipEntryNames(const QByteArray& archive);

// One entry's bytes; nothing when the archive or the entry cannot be read.
std::optional<QByteArray> zipEntry(const QByteArray& archive, const char* name);

} // namespace korvane::testing
