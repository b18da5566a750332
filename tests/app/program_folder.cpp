#include "app/program_folder.h"

#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace korvane::testing {

ProgramFolder::ProgramFolder(CableDatabase cable) {
    EXPECT_TRUE(dir_.isValid());
    if (cable == CableDatabase::Missing)
        return;
    QDir().mkpath(filePath(QStringLiteral("Database")));
    EXPECT_TRUE(QFile::copy(QDir(testHome()).filePath(QStringLiteral("Database/JhxlDlxlss.db")),
                            cableDatabasePath()));
}

void ProgramFolder::write(const QString& relative, const QByteArray& bytes) const {
    const QString path = filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace korvane::testing
