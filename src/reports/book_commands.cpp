#include "reports/book_commands.h"

#include "app/application.h"
#include "form/form.h"
#include "reports/docx_writer.h"
#include "reports/short_circuit_book.h"
#include "reports/voltage_loss_book.h"
#include "short_circuit/short_circuit_action.h"
#include "voltage_loss/voltage_loss_action.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <functional>

namespace korvane {

namespace {

// More books than this in one second into one folder means something else is wrong.
constexpr int kMaxSerial = 1000;

QString where(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Writes one book and reports what became of it.
void writeBook(Application& app, const QString& title,
               const std::function<bool(ReportWriter&, const QDate&)>& write) {
    Platform& platform = app.platform();
    const QDateTime at = platform.now();
    const QString folder = app.booksFolder().isEmpty() ? defaultBooksFolder() : app.booksFolder();

    DocxReportWriter writer;
    std::optional<QByteArray> package;
    if (write(writer, at.date()))
        package = writer.package();
    const SavedBook saved = package
                                ? saveBook(*package, folder, title, at)
                                : SavedBook{false, QDir(folder).filePath(bookFileName(title, at))};
    const QString korvane = QStringLiteral("Korvane");
    if (!saved.written) {
        platform.messageBox(MessageIcon::Warning, korvane,
                            QString::fromUtf8(kBookNotWritten) + QStringLiteral("\r\n") +
                                where(saved.path));
        return;
    }
    if (!platform.openDocument(saved.path))
        platform.messageBox(MessageIcon::Information, korvane,
                            QString::fromUtf8(kBookNotOpened) + QStringLiteral("\r\n") +
                                where(saved.path));
}

} // namespace

QString defaultBooksFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Korvane计算书"));
}

QString bookFileName(const QString& title, const QDateTime& at, int serial) {
    QString name = title + u'_' + at.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (serial > 1)
        name += u'_' + QString::number(serial);
    return name + QStringLiteral(".docx");
}

// The file is created exclusively, so a book of the same second that is already there, or one
// that appears meanwhile, is never written over; a file that could not be written completely is
// removed again.
SavedBook saveBook(const QByteArray& package, const QString& folder, const QString& title,
                   const QDateTime& at) {
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return {false, folder};
    for (int serial = 1; serial <= kMaxSerial; ++serial) {
        const QString path = dir.filePath(bookFileName(title, at, serial));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path))
                continue;
            return {false, path};
        }
        const bool complete = file.write(package) == package.size() && file.flush();
        file.close();
        if (!complete || file.error() != QFileDevice::NoError) {
            file.remove();
            return {false, path};
        }
        return {true, path};
    }
    return {false, dir.filePath(bookFileName(title, at))};
}

void installBooks(Application& app, Form& form) {
    form.button(QStringLiteral("Command2")).on(Event::Click, [&app, &form] {
        const VoltageLossBookPage page = readVoltageLossBookPage(form);
        const VoltageLossInput input = readVoltageLossInput(form);
        writeBook(app, QString::fromUtf8(kVoltageLossBookTitle),
                  [&](ReportWriter& writer, const QDate& today) {
                      return writeVoltageLossBook(writer, page, input, today);
                  });
    });
    form.button(QStringLiteral("Command21")).on(Event::Click, [&app, &form] {
        const ShortCircuitBookPage page = readShortCircuitBookPage(form);
        const std::optional<ShortCircuitInput> input = readShortCircuitInput(form);
        const std::optional<ShortCircuitResult> chain =
            input ? computeShortCircuit(*input) : std::nullopt;
        writeBook(app, QString::fromUtf8(kShortCircuitBookTitle),
                  [&](ReportWriter& writer, const QDate& today) {
                      return writeShortCircuitBook(writer, page, chain, today);
                  });
    });
}

} // namespace korvane
