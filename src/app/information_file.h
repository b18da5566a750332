#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvane {

// The information text of the About page, "A page/Software.txt" below the program folder.
inline constexpr const char* kInformationFile = "A page/Software.txt";

// Text of the file: UTF-8 when the bytes are valid UTF-8 (a BOM is dropped), otherwise GBK as
// written by Chinese editions of Windows.
QString decodeInformationText(const QByteArray& bytes);

// Lines of a text, each ended by CR, LF or CR LF; a final line needs no terminator.
QStringList splitTextLines(const QString& text);

// The lines of the file, or nothing when it is missing or cannot be read.
std::optional<QStringList> readInformationLines(const QString& path);

} // namespace korvane
