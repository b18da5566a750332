#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

// Writes the whole file or nothing: the bytes go to a temporary file beside the target, which
// replaces the target only once every byte is written and flushed to the disk. A failed write
// leaves the previous file as it was. Returns an empty string on success, otherwise the reason.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace korvane
