#pragma once

#include <QString>

namespace korvane {

// Text as every file the program writes can carry it, whatever the engineer's text holds.

// The text with each character that XML 1.0 does not allow (the control characters other than
// tab, line feed and carriage return, U+FFFE and U+FFFF) and each lone surrogate replaced by
// U+FFFD, the replacement character a reader shows where a character was lost; the text itself
// when it has none. An .xlsx or .docx file holding such a character is refused by Excel and Word.
QString xmlSafeText(const QString& text);

// The text as one line of a table or a tab-separated field: tabs and line breaks (LF, CR, VT, FF,
// NEL, U+2028, U+2029) as spaces, then as xmlSafeText.
QString oneLineText(const QString& text);

} // namespace korvane
