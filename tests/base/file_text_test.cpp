// Text for the files the program writes: what XML 1.0 (W3C, production [2] Char) cannot carry is
// replaced by U+FFFD, and a table's one-line field loses its tabs and line breaks to spaces.

#include "base/file_text.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

QString fromUnits(std::initializer_list<char16_t> units) {
    QString text;
    for (const char16_t u : units)
        text += QChar(u);
    return text;
}

struct TextCase {
    const char* what;
    QString text;
    QString xmlSafe;
    QString oneLine;
};

TEST(FileText, ReplacesWhatXmlCannotCarryAndMakesFieldsOneLine) {
    const QString fffd(QChar::ReplacementCharacter);
    const QString bulb = QString::fromUcs4(U"\U0001F4A1"); // a pair of surrogates, kept
    const TextCase cases[] = {
        {"plain text is kept", QStringLiteral("WL1 路灯"), QStringLiteral("WL1 路灯"),
         QStringLiteral("WL1 路灯")},
        {"a control character",
         QStringLiteral("WL\x01"
                        "1"),
         "WL" + fffd + "1", "WL" + fffd + "1"},
        {"escape and delete",
         QStringLiteral("a\x1b"
                        "b\x7f"),
         "a" + fffd + "b\x7f", "a" + fffd + "b\x7f"}, // DEL is a character of XML 1.0
        {"tab and line breaks", QStringLiteral("a\tb\nc\r\nd"), QStringLiteral("a\tb\nc\r\nd"),
         QStringLiteral("a b c  d")},
        {"vertical tab and form feed",
         QStringLiteral("a\x0b"
                        "b\x0c"
                        "c"),
         "a" + fffd + "b" + fffd + "c", QStringLiteral("a b c")},
        {"Unicode line and paragraph separators",
         fromUnits({u'a', 0x2028, u'b', 0x2029, u'c', 0x85}),
         fromUnits({u'a', 0x2028, u'b', 0x2029, u'c', 0x85}), QStringLiteral("a b c ")},
        {"the two non-characters", fromUnits({u'x', 0xFFFE, 0xFFFF}), "x" + fffd + fffd,
         "x" + fffd + fffd},
        {"a lone high surrogate", fromUnits({u'W', 0xD800, u'L'}), "W" + fffd + "L",
         "W" + fffd + "L"},
        {"a lone low surrogate", fromUnits({0xDC00, u'L'}), fffd + "L", fffd + "L"},
        {"a high surrogate last", fromUnits({u'L', 0xD83D}), "L" + fffd, "L" + fffd},
        {"two high surrogates before a low one", fromUnits({0xD83D, 0xD83D, 0xDCA1}), fffd + bulb,
         fffd + bulb},
        {"a character outside the basic plane", "灯" + bulb, "灯" + bulb, "灯" + bulb},
        {"empty", QString(), QString(), QString()},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(xmlSafeText(c.text), c.xmlSafe);
        EXPECT_EQ(oneLineText(c.text), c.oneLine);
    }
}

} // namespace
} // namespace korvane
