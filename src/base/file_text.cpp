#include "base/file_text.h"

#include <algorithm>

namespace korvane {

namespace {

bool isLineOrTab(char16_t c) {
    switch (c) {
    case u'\t':
    case u'\n':
    case 0x0B: // vertical tab
    case 0x0C: // form feed
    case u'\r':
    case 0x85: // next line
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// XML 1.0, production [2]: #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | [#x10000-#x10FFFF].
// A surrogate is judged with its neighbour: only a high one followed by a low one is a character.
bool allowedAt(const QString& text, qsizetype i) {
    const char16_t c = text.at(i).unicode();
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r';
    if (c == 0xFFFE || c == 0xFFFF)
        return false;
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    if (QChar::isLowSurrogate(c))
        return i > 0 && text.at(i - 1).isHighSurrogate();
    return true;
}

} // namespace

QString xmlSafeText(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && allowedAt(text, i))
        ++i;
    if (i == text.size())
        return text;
    QString safe = text;
    for (; i < text.size(); ++i)
        if (!allowedAt(text, i))
            safe[i] = QChar::ReplacementCharacter;
    return safe;
}

QString oneLineText(const QString& text) {
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isLineOrTab(c.unicode()); }))
        return xmlSafeText(text);
    QString line = text;
    for (QChar& c : line)
        if (isLineOrTab(c.unicode()))
            c = u' ';
    return xmlSafeText(line);
}

} // namespace korvane
