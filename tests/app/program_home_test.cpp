// Where the program finds its data: beside the executable in a build tree, in ../share/korvane
// when installed.

#include "app/program_home.h"

#include <QDir>
#include <QTemporaryDir>

#include <vector>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

TEST(ProgramHome, FindsTheDataBesideOrUnderShare) {
    struct Layout {
        const char* name;
        std::vector<const char*> folders; // created below the scratch root
        const char* expected;             // relative to the scratch root
    };
    const Layout layouts[] = {
        {"build tree", {"bin/Database"}, "bin"},
        {"installed", {"bin", "share/korvane/Database", "share/korvane/A page"}, "share/korvane"},
        {"beside wins over share", {"bin/Database", "share/korvane/Database"}, "bin"},
        {"nothing anywhere", {"bin"}, "bin"},
        {"share of another program", {"bin", "share/other/Database"}, "bin"},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        for (const char* folder : l.folders) {
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromUtf8(folder)));
        }
        const QString expected = QDir(root.filePath(QString::fromUtf8(l.expected))).absolutePath();
        EXPECT_EQ(programHome(root.filePath(QStringLiteral("bin"))), expected);
        EXPECT_EQ(programHome(root.filePath(QStringLiteral("bin/"))), expected);
    }
}

} // namespace
} // namespace korvane::testing
