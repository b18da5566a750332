#include "reports/report_document.h"

#include "base/number_format.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr QChar kParagraphMark = u'\r';

bool isPositive(double value) {
    return std::isfinite(value) && value > 0.0;
}

} // namespace

// A table without rows is refused as well: Word takes a w:tbl without a w:tr for a damaged file.
bool isWellFormed(const ReportTable& table) {
    const size_t columns = table.columnWidthsMm.size();
    if (columns == 0 || table.rows.empty() || !isPositive(table.sizePoints))
        return false;
    if (table.headerRows < 0 || static_cast<size_t>(table.headerRows) > table.rows.size())
        return false;
    return std::all_of(table.columnWidthsMm.begin(), table.columnWidthsMm.end(), isPositive) &&
           std::all_of(table.rows.begin(), table.rows.end(),
                       [columns](const auto& row) { return row.size() == columns; });
}

bool isWellFormed(const ReportPicture& picture) {
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    return picture.png.startsWith(signature) && picture.png.size() > signature.size() &&
           isPositive(picture.widthMm) && isPositive(picture.heightMm);
}

CharacterFormat defaultCharacterFormat() {
    return {QStringLiteral("宋体"), 10.5, false, std::nullopt};
}

ParagraphFormat defaultParagraphFormat() {
    return {ParagraphAlignment::Left, 12.0, LineSpacingRule::Default};
}

QString ReportParagraph::text() const {
    QString joined;
    for (const TextRun& run : runs)
        joined += run.text;
    return joined;
}

std::optional<CharacterFormat> ReportParagraph::uniformFormat() const {
    for (const TextRun& run : runs) {
        if (run.format != markFormat)
            return std::nullopt;
    }
    return markFormat;
}

ReportDocument::ReportDocument()
    : text_(kParagraphMark), characterFormats_{defaultCharacterFormat()},
      paragraphFormats_{defaultParagraphFormat()} {}

// Counted from the position asked for last, not from the start: a book is written at its end, so
// each count covers only the text written since, and writing a book stays linear in its length.
qsizetype ReportDocument::paragraphIndexAt(qsizetype position) const {
    if (position >= countedTo_)
        marksBefore_ +=
            std::count(text_.cbegin() + countedTo_, text_.cbegin() + position, kParagraphMark);
    else
        marksBefore_ -=
            std::count(text_.cbegin() + position, text_.cbegin() + countedTo_, kParagraphMark);
    countedTo_ = position;
    return marksBefore_;
}

void ReportDocument::insertText(qsizetype at, const QString& text) {
    text_.insert(at, text);
    // The count stands for the text before its position, which moves on with an insertion there.
    if (at < countedTo_) {
        countedTo_ += text.size();
        marksBefore_ += text.count(kParagraphMark);
    }
}

// The insertions after `paragraph` or, with `including`, from it on, move on by `by` paragraphs.
// They are ordered by paragraph, and a book inserts at its end: only the last few are looked at.
void ReportDocument::shiftInsertions(qsizetype paragraph, bool including, qsizetype by) {
    for (auto it = insertions_.rbegin(); it != insertions_.rend(); ++it) {
        if (it->afterParagraph < paragraph || (!including && it->afterParagraph == paragraph))
            break;
        it->afterParagraph += by;
    }
}

void ReportDocument::append(const QString& text) {
    if (text.isEmpty())
        return;
    const qsizetype at = blockEnd_;
    const bool opensParagraph = at == 0 || text_.at(at - 1) == kParagraphMark;
    const CharacterFormat inherited =
        characterFormats_[static_cast<size_t>(opensParagraph ? at : at - 1)];

    const qsizetype paragraph = paragraphIndexAt(at);
    const auto marks = static_cast<size_t>(text.count(kParagraphMark));
    paragraphFormats_.insert(paragraphFormats_.begin() + paragraph, marks,
                             paragraphFormats_[static_cast<size_t>(paragraph)]);
    // What follows the paragraph now follows the last of the paragraphs it is split into.
    shiftInsertions(paragraph, true, static_cast<qsizetype>(marks));

    insertText(at, text);
    characterFormats_.insert(characterFormats_.begin() + at, static_cast<size_t>(text.size()),
                             inherited);
    blockEnd_ += text.size();
}

void ReportDocument::formatCharacters(const std::function<void(CharacterFormat&)>& change) {
    for (qsizetype i = blockStart_; i < blockEnd_; ++i)
        change(characterFormats_[static_cast<size_t>(i)]);
}

// The paragraphs the block touches: those holding one of its characters, or the one it sits in
// while it is empty.
void ReportDocument::formatParagraphs(const std::function<void(ParagraphFormat&)>& change) {
    const qsizetype first = paragraphIndexAt(blockStart_);
    const qsizetype last = blockEnd_ > blockStart_ ? paragraphIndexAt(blockEnd_ - 1) : first;
    for (qsizetype p = first; p <= last; ++p)
        change(paragraphFormats_[static_cast<size_t>(p)]);
}

void ReportDocument::setAlignment(ParagraphAlignment alignment) {
    formatParagraphs([alignment](ParagraphFormat& f) { f.alignment = alignment; });
}

void ReportDocument::setFontName(const QString& name) {
    formatCharacters([&name](CharacterFormat& f) { f.fontName = name; });
}

void ReportDocument::setFontSize(double points) {
    formatCharacters([points](CharacterFormat& f) { f.sizePoints = points; });
}

void ReportDocument::setBold(bool bold) {
    formatCharacters([bold](CharacterFormat& f) { f.bold = bold; });
}

void ReportDocument::setColour(Color colour) {
    formatCharacters([colour](CharacterFormat& f) { f.colour = colour; });
}

void ReportDocument::setLineSpacing(double points) {
    formatParagraphs([points](ParagraphFormat& f) { f.lineSpacingPoints = points; });
}

void ReportDocument::setLineSpacingRule(LineSpacingRule rule) {
    formatParagraphs([rule](ParagraphFormat& f) { f.lineSpacingRule = rule; });
}

void ReportDocument::closeBlock() {
    blockStart_ = blockEnd_;
}

void ReportDocument::insertAfterBlock(const ReportInsertion::Content& content) {
    closeBlock();
    const qsizetype paragraph = paragraphIndexAt(blockEnd_);
    const qsizetype mark = text_.indexOf(kParagraphMark, blockEnd_); // that paragraph's mark
    const CharacterFormat markFormat = characterFormats_[static_cast<size_t>(mark)];
    const ParagraphFormat format = paragraphFormats_[static_cast<size_t>(paragraph)];

    insertText(mark + 1, QString(kParagraphMark));
    characterFormats_.insert(characterFormats_.begin() + mark + 1, markFormat);
    paragraphFormats_.insert(paragraphFormats_.begin() + paragraph + 1, format);
    shiftInsertions(paragraph, false, 1);
    // After the insertions that follow the same paragraph or one before it.
    const auto at = std::upper_bound(
        insertions_.begin(), insertions_.end(), paragraph,
        [](qsizetype p, const ReportInsertion& insertion) { return p < insertion.afterParagraph; });
    insertions_.insert(at, ReportInsertion{paragraph, content});
    blockStart_ = blockEnd_ = mark + 1;
}

std::vector<ReportParagraph> ReportDocument::paragraphs() const {
    std::vector<ReportParagraph> result;
    result.reserve(paragraphFormats_.size());
    ReportParagraph current;
    for (qsizetype i = 0; i < text_.size(); ++i) {
        const CharacterFormat& format = characterFormats_[static_cast<size_t>(i)];
        if (text_.at(i) == kParagraphMark) {
            current.markFormat = format;
            current.format = paragraphFormats_[result.size()];
            result.push_back(std::move(current));
            current = {};
        } else if (!current.runs.empty() && current.runs.back().format == format) {
            current.runs.back().text += text_.at(i);
        } else {
            current.runs.push_back({QString(text_.at(i)), format});
        }
    }
    return result;
}

std::vector<ReportBlock> ReportDocument::blocks() const {
    std::vector<ReportBlock> result;
    std::vector<ReportParagraph> all = paragraphs();
    result.reserve(all.size() + insertions_.size());
    auto insertion = insertions_.cbegin();
    for (size_t p = 0; p < all.size(); ++p) {
        result.emplace_back(std::move(all[p]));
        for (; insertion != insertions_.cend() &&
               insertion->afterParagraph == static_cast<qsizetype>(p);
             ++insertion)
            std::visit([&result](const auto& content) { result.emplace_back(content); },
                       insertion->content);
    }
    return result;
}

QStringList ReportDocument::paragraphTexts() const {
    QStringList texts = text_.split(kParagraphMark);
    texts.removeLast(); // what follows the final mark
    return texts;
}

bool DocumentReportWriter::openDocument() {
    document_.emplace();
    document_->setProperties(properties_);
    return true;
}

void DocumentReportWriter::setProperties(const DocumentProperties& properties) {
    properties_ = properties;
    if (document_)
        document_->setProperties(properties);
}

bool DocumentReportWriter::appendText(const QString& text) {
    if (!document_)
        return false;
    document_->append(text);
    return true;
}

bool DocumentReportWriter::setAlignment(ParagraphAlignment alignment) {
    if (!document_)
        return false;
    document_->setAlignment(alignment);
    return true;
}

bool DocumentReportWriter::setFont(const QString& name, double sizePoints, bool bold,
                                   std::optional<Color> colour) {
    if (!document_)
        return false;
    document_->setFontName(name);
    document_->setFontSize(sizePoints);
    document_->setBold(bold);
    if (colour)
        document_->setColour(*colour);
    return true;
}

// Exact spacing sets the rule before the points; under the default rule only the points are set,
// which the word processor takes as that many points' worth of single lines.
bool DocumentReportWriter::setLineSpacing(double points, LineSpacingRule rule) {
    if (!document_)
        return false;
    if (rule == LineSpacingRule::Exact)
        document_->setLineSpacingRule(rule);
    document_->setLineSpacing(points);
    return true;
}

bool DocumentReportWriter::closeBlock() {
    if (!document_)
        return false;
    document_->closeBlock();
    return true;
}

bool DocumentReportWriter::showDocument() {
    return document_.has_value();
}

// A table or picture that cannot be laid out is refused before anything changes, so that a book
// goes on without it.
bool DocumentReportWriter::insertTable(const ReportTable& table) {
    if (!document_ || !isWellFormed(table))
        return false;
    document_->insertAfterBlock(table);
    return true;
}

bool DocumentReportWriter::insertPicture(const ReportPicture& picture) {
    if (!document_ || !isWellFormed(picture))
        return false;
    document_->insertAfterBlock(picture);
    return true;
}

bool RecordingReportWriter::insertTable(const ReportTable& table) {
    const qsizetype columns = static_cast<qsizetype>(table.columnWidthsMm.size());
    return record(QStringLiteral("InsertTable %1x%2").arg(table.rows.size()).arg(columns)) &&
           DocumentReportWriter::insertTable(table);
}

bool RecordingReportWriter::insertPicture(const ReportPicture& picture) {
    return record(QStringLiteral("InsertPicture %1x%2 mm")
                      .arg(picture.widthMm, 0, 'g', 6)
                      .arg(picture.heightMm, 0, 'g', 6)) &&
           DocumentReportWriter::insertPicture(picture);
}

bool RecordingReportWriter::record(const QString& operation) {
    operations_.push_back(operation);
    return !(fails && fails(operation));
}

bool RecordingReportWriter::openDocument() {
    return record(QStringLiteral("OpenDocument")) && DocumentReportWriter::openDocument();
}

bool RecordingReportWriter::appendText(const QString& text) {
    QString shown = text;
    shown.replace(kParagraphMark, QStringLiteral("\\r"));
    return record(QStringLiteral("AppendText ") + shown) && DocumentReportWriter::appendText(text);
}

bool RecordingReportWriter::setAlignment(ParagraphAlignment alignment) {
    const QString name = alignment == ParagraphAlignment::Centred ? QStringLiteral("centred")
                                                                  : QStringLiteral("left");
    return record(QStringLiteral("SetAlignment ") + name) &&
           DocumentReportWriter::setAlignment(alignment);
}

bool RecordingReportWriter::setFont(const QString& name, double sizePoints, bool bold,
                                    std::optional<Color> colour) {
    QString line = QStringLiteral("SetFont %1 %2").arg(name, formatGeneral(sizePoints));
    if (bold)
        line += QStringLiteral(" bold");
    if (colour)
        line += *colour == colors::kBlack ? QStringLiteral(" black")
                                          : QStringLiteral(" ") + colorText(*colour);
    return record(line) && DocumentReportWriter::setFont(name, sizePoints, bold, colour);
}

bool RecordingReportWriter::setLineSpacing(double points, LineSpacingRule rule) {
    const QString line =
        QStringLiteral("SetLineSpacing %1 %2")
            .arg(formatGeneral(points), rule == LineSpacingRule::Exact ? QStringLiteral("exact")
                                                                       : QStringLiteral("default"));
    return record(line) && DocumentReportWriter::setLineSpacing(points, rule);
}

bool RecordingReportWriter::closeBlock() {
    return record(QStringLiteral("CloseBlock")) && DocumentReportWriter::closeBlock();
}

bool RecordingReportWriter::showDocument() {
    return record(QStringLiteral("ShowDocument")) && DocumentReportWriter::showDocument();
}

} // namespace korvane
