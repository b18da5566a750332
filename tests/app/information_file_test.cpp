// Decoding and line splitting of the About page's information file, alone and through start-up.

#include "app/information_file.h"

#include "app/program_folder.h"
#include "support/test_app.h"

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// "关于" and "软件" as a Chinese edition of Windows writes them (GBK).
constexpr const char kGbkAbout[] = "\xB9\xD8\xD3\xDA";
constexpr const char kGbkSoftware[] = "\xC8\xED\xBC\xFE";

TEST(InformationFile, DecodesUtf8ElseGbk) {
    struct Decoding {
        const char* what;
        QByteArray bytes;
        const char* text;
    };
    const Decoding cases[] = {
        {"empty", {}, ""},
        {"ASCII", "Korvane 1.0", "Korvane 1.0"},
        {"UTF-8", "关于软件", "关于软件"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF关于软件", "关于软件"},
        {"BOM alone", "\xEF\xBB\xBF", ""},
        {"GBK", QByteArray(kGbkAbout) + kGbkSoftware, "关于软件"},
        {"GBK with ASCII and CR LF", QByteArray("Korvane ") + kGbkAbout + "\r\n",
         "Korvane 关于\r\n"},
        // Bytes that are neither: each bad byte is marked and the rest still decoded.
        {"GBK with a bad byte", QByteArray(kGbkAbout, 2) + "\xFF" + "ab", "关\uFFFDab"},
        {"GBK cut in a character", QByteArray(kGbkAbout, 3), "关\uFFFD"},
    };
    for (const Decoding& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decodeInformationText(c.bytes), u8(c.text));
    }
}

TEST(InformationFile, LinesEndAtCrLfOrCrAndLfAlone) {
    struct Split {
        const char* text;
        QStringList lines;
    };
    const Split cases[] = {
        {"", {}},
        {"one", {u8("one")}},
        {"one\r\n", {u8("one")}},
        {"a\r\nb\rc\nd", {u8("a"), u8("b"), u8("c"), u8("d")}},
        {"a\r\rb", {u8("a"), u8(""), u8("b")}},
        {"a\n\rb", {u8("a"), u8(""), u8("b")}}, // LF then CR: two ends, not one
        {"\r\n\r\n", {u8(""), u8("")}},
        {"  indented \t\r\n", {u8("  indented \t")}},
    };
    for (const Split& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(splitTextLines(u8(c.text)), c.lines);
    }
}

TEST(InformationFile, StartUpAppendsEveryLineWithCrLf) {
    struct FileAtStartUp {
        const char* what;
        QByteArray bytes;
        const char* shown;
    };
    const FileAtStartUp cases[] = {
        {"GBK, CR LF", QByteArray(kGbkAbout) + "\r\n" + kGbkSoftware + "\r\n", "关于\r\n软件\r\n"},
        {"GBK, last line unended", QByteArray(kGbkAbout) + "\r\nKorvane", "关于\r\nKorvane\r\n"},
        {"UTF-8 with BOM, CR only", "\xEF\xBB\xBF关于\r软件\r", "关于\r\n软件\r\n"},
        {"UTF-8, LF only", "关于\n软件\n", "关于\r\n软件\r\n"},
        {"blank lines kept", "a\r\n\r\nb\r\n\r\n", "a\r\n\r\nb\r\n\r\n"},
        {"one blank line", "\r\n", "\r\n"},
    };
    for (const FileAtStartUp& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder;
        folder.writeInformationFile(c.bytes);
        TestApp t(folder.path());
        EXPECT_TRUE(t.platform().messages.empty());
        EXPECT_EQ(t.form().get<RichTextBox>(u8("RichTextBox1")).text(), u8(c.shown));
    }
}

} // namespace
} // namespace korvane::testing
