#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "reports/report_document.h"

#include <optional>

namespace korvane {

class PageServices;
class Form;

// Where the window writes its books unless told otherwise: "Korvane计算书" in the user's
// documents folder.
QString defaultBooksFolder();

// The file name of a book written at `at`: its title, the date and the time, and from the second
// book of the same second on a serial number ("电压损失计算书_20261208_093015_2.docx").
QString bookFileName(const QString& title, const QDateTime& at, int serial = 1,
                     const QString& suffix = QStringLiteral("docx"));

// The outcome of saving a book: the file written, or where it could not be written.
struct SavedBook {
    bool written = false;
    QString path; // the file written, or the file or folder that could not be written
};

// Saves a .docx package as a new file in `folder` (created when missing), never replacing a file
// that is already there.
SavedBook saveBook(const QByteArray& package, const QString& folder, const QString& title,
                   const QDateTime& at, const QString& suffix = QStringLiteral("docx"));

enum class BookKind { VoltageLoss, ShortCircuit };

// A book composed in memory from the window as it stands, for another back end (PDF).
struct ComposedBook {
    QString title;
    std::optional<ReportDocument> document; // nothing when the document could not be opened
};
ComposedBook composeBook(const PageServices& app, const Form& form, BookKind kind);

// Where a book goes: the application's books folder, or the documents folder by default.
QString booksFolderOf(const PageServices& app);

// Reports a written book: opens it with the desktop's application, or says where it is; or says
// that it could not be written. The title of the message boxes is the program's.
void announceBook(PageServices& app, const SavedBook& saved);

// "Word计算书" on page 0 (Command2) and page 1 (Command21): each click writes a new book file into
// the application's books folder and opens it with the desktop's application for it. A book that
// cannot be written or opened is reported in a message box; the window stays usable.
void installBooks(PageServices& app, Form& form);

inline constexpr const char* kBookNotWritten = "计算书未能写入：";
inline constexpr const char* kBookNotOpened = "计算书已写入，但未能打开，请自行打开：";

} // namespace korvane
