#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace korvane::testing {

// A program folder of a test's own, for what must differ from the shared test home: the test
// cable database is copied in unless asked otherwise; the information file is written only when
// the test gives it.
class ProgramFolder {
public:
    enum class CableDatabase { TestCopy, Missing };

    explicit ProgramFolder(CableDatabase cable = CableDatabase::TestCopy);

    QString path() const { return dir_.path(); }
    QString filePath(const QString& relative) const { return dir_.filePath(relative); }
    QString cableDatabasePath() const { return filePath(QStringLiteral("Database/JhxlDlxlss.db")); }

    // Writes a file below the folder, creating the folders on the way.
    void write(const QString& relative, const QByteArray& bytes) const;
    void writeInformationFile(const QByteArray& bytes) const {
        write(QStringLiteral("A page/Software.txt"), bytes);
    }

private:
    QTemporaryDir dir_;
};

} // namespace korvane::testing
