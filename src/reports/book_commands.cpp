#include "reports/book_commands.h"

#include "form/form.h"
#include "pages/page_services.h"
#include "pages/project_fields.h"
#include "pages/short_circuit_fields.h"
#include "pages/voltage_loss_fields.h"
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

using BookWriting = std::function<bool(ReportWriter&, const QDate&)>;

// The project and the engineer as the main window holds them.
BookHeader readBookHeader(const Form& form) {
    return {projectLine(boundText(form, projectFields(), "project.name")),
            projectLine(boundText(form, projectFields(), "project.engineer"))};
}

// How each book is written from the window as it stands now.
std::pair<QString, BookWriting> bookWriting(const Form& form, BookKind kind) {
    const BookHeader header = readBookHeader(form);
    if (kind == BookKind::VoltageLoss) {
        const VoltageLossBookPage page = readVoltageLossBookPage(form);
        const VoltageLossInput input = readVoltageLossInput(form);
        return {QString::fromUtf8(kVoltageLossBookTitle),
                [page, input, header](ReportWriter& writer, const QDate& today) {
                    return writeVoltageLossBook(writer, page, input, today, header);
                }};
    }
    const ShortCircuitBookPage page = readShortCircuitBookPage(form);
    const Computed<ShortCircuitResult> chain =
        readShortCircuitInput(form).then(computeShortCircuit);
    return {QString::fromUtf8(kShortCircuitBookTitle),
            [page, chain, header](ReportWriter& writer, const QDate& today) {
                return writeShortCircuitBook(writer, page, chain, today, header);
            }};
}

// The properties a book's file carries: its title, the engineer as its author (none when the
// window holds no name) and when it was written.
DocumentProperties bookProperties(const Form& form, const QString& title, const QDateTime& at) {
    return {title, readBookHeader(form).engineer, at};
}

// Writes one book as a .docx file and reports what became of it.
void writeBook(PageServices& app, const Form& form, BookKind kind) {
    const auto [title, write] = bookWriting(form, kind);
    const QDateTime at = app.platform().now();
    const QString folder = booksFolderOf(app);
    app.platform().longActionStarted(QStringLiteral("正在写入%1…").arg(title));

    DocxReportWriter writer;
    writer.setProperties(bookProperties(form, title, at));
    std::optional<QByteArray> package;
    if (write(writer, at.date()))
        package = writer.package();
    const SavedBook saved = package
                                ? saveBook(*package, folder, title, at)
                                : SavedBook{false, QDir(folder).filePath(bookFileName(title, at))};
    announceBook(app, saved);
}

} // namespace

QString booksFolderOf(const PageServices& app) {
    return app.booksFolder().isEmpty() ? defaultBooksFolder() : app.booksFolder();
}

void announceBook(PageServices& app, const SavedBook& saved) {
    Platform& platform = app.platform();
    const QString korvane = QStringLiteral("Korvane");
    if (!saved.written) {
        platform.longActionFinished(QStringLiteral("计算书未能写入：%1").arg(where(saved.path)));
        platform.messageBox(MessageIcon::Warning, korvane,
                            QString::fromUtf8(kBookNotWritten) + QStringLiteral("\r\n") +
                                where(saved.path));
        return;
    }
    platform.longActionFinished(QStringLiteral("计算书已写入：%1").arg(where(saved.path)));
    if (!platform.openDocument(saved.path))
        platform.messageBox(MessageIcon::Information, korvane,
                            QString::fromUtf8(kBookNotOpened) + QStringLiteral("\r\n") +
                                where(saved.path));
}

ComposedBook composeBook(const PageServices& app, const Form& form, BookKind kind) {
    const auto [title, write] = bookWriting(form, kind);
    const QDateTime at = app.platform().now();
    DocumentReportWriter writer;
    writer.setProperties(bookProperties(form, title, at));
    ComposedBook book{title, std::nullopt};
    if (write(writer, at.date()) && writer.document() != nullptr)
        book.document = *writer.document();
    return book;
}

QString defaultBooksFolder() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("Korvane计算书"));
}

QString bookFileName(const QString& title, const QDateTime& at, int serial, const QString& suffix) {
    QString name = title + u'_' + at.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    if (serial > 1)
        name += u'_' + QString::number(serial);
    return name + u'.' + suffix;
}

// The file is created exclusively, so a book of the same second that is already there, or one
// that appears meanwhile, is never written over; a file that could not be written completely is
// removed again.
SavedBook saveBook(const QByteArray& package, const QString& folder, const QString& title,
                   const QDateTime& at, const QString& suffix) {
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return {false, folder};
    for (int serial = 1; serial <= kMaxSerial; ++serial) {
        const QString path = dir.filePath(bookFileName(title, at, serial, suffix));
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
    return {false, dir.filePath(bookFileName(title, at, 1, suffix))};
}

void installBooks(PageServices& app, Form& form) {
    form.button(voltageLossFields().control("voltageLoss.writeBook"))
        .on(Event::Click, [&app, &form] { writeBook(app, form, BookKind::VoltageLoss); });
    form.button(shortCircuitFields().control("shortCircuit.writeBook"))
        .on(Event::Click, [&app, &form] { writeBook(app, form, BookKind::ShortCircuit); });
}

} // namespace korvane
