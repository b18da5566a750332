#pragma once

#include "calc/computed.h"
#include "project/project_run.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

namespace korvane::render {

// What the two programs make of a computed project besides the schedule itself: the project
// calculation book in either of its formats. The window and korvane-cli both call these, so a
// book is the same whichever program wrote it.

enum class BookFormat { Docx, Pdf };

// The format of a book file by its suffix, .docx or .pdf in any case; nothing for another.
std::optional<BookFormat> bookFormatOfPath(const QString& path);
// "docx" or "pdf".
QString bookSuffix(BookFormat format);

// The project calculation book of a computed (or sized) run, as the bytes of its file: a .docx
// package with each computed feeder's plot and each sheet of the distribution system diagram
// painted as a picture, or a PDF in which the plots and the diagram are drawn as lines and text.
// The header is the project's name and engineer. Fails with the reason when the book could not be
// composed. Painting needs a running QGuiApplication (for the fonts).
Computed<QByteArray> projectBookFile(const ProjectRun& run, BookFormat format, const QDate& today);

// The book written to `path` in the format of its suffix, replacing a file there only when
// complete. Returns an empty string on success, otherwise the reason.
QString writeProjectBookFile(const ProjectRun& run, const QString& path, const QDate& today);

} // namespace korvane::render
