#include "render/book_pictures.h"

#include "diagram/system_diagram.h"
#include "render/drawing_painter.h"
#include "render/feeder_plot_painter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace korvane::render {

namespace {

// A printed plot is laid out on a canvas 1.875 times smaller than its image at 150 dots per inch,
// so that its text comes out about 7 pt and its lines about 0.5 pt at the size the book prints.
constexpr double kScale = 1.875;

std::optional<ReportPicture> plotPicture(const ProjectCircuit& circuit, const CircuitResult& result,
                                         double limitPercent, QSize pixels) {
    if (!result.feeder)
        return std::nullopt;
    const FeederPlot plot = feederPlot(*result.feeder, limitPercent, circuit.id);
    QByteArray png = feederPlotPng(plot, pixels, kScale);
    if (png.isEmpty())
        return std::nullopt;
    ReportPicture picture;
    picture.png = std::move(png);
    // The size the book prints its plots at, which the pixels follow at 150 dpi.
    picture.widthMm = 150.0;
    picture.heightMm = 80.0;
    picture.description = plot.title;
    return picture;
}

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A sheet's picture at its size on the page, without its pixels.
ReportPicture sheetPicture(const drawing::Sheet& sheet, size_t index, size_t count) {
    ReportPicture picture;
    picture.widthMm = kBookSheetWidthMm;
    picture.heightMm = kBookSheetWidthMm * sheet.widthMm / sheet.heightMm;
    picture.description = QStringLiteral("配电系统图 第 %1 张，共 %2 张").arg(index + 1).arg(count);
    return picture;
}

} // namespace

ProjectBookDiagram paintedDiagramSheets(const ProjectRun& run, const QDate& date) {
    const drawing::Drawing diagram = systemDiagram(run, date);
    const int widthPx = int(std::lround(kBookSheetWidthMm / 25.4 * kBookSheetDpi));
    ProjectBookDiagram sheets;
    for (size_t i = 0; i < diagram.sheets.size(); ++i) {
        ReportPicture picture = sheetPicture(diagram.sheets[i], i, diagram.sheets.size());
        picture.png = pngOf(sheetImage(diagram.sheets[i], widthPx, true));
        sheets.push_back(std::move(picture));
    }
    return sheets;
}

VectorDiagramSheets vectorDiagramSheets(const ProjectRun& run, const QDate& date) {
    auto diagram = std::make_shared<const drawing::Drawing>(systemDiagram(run, date));
    static const QByteArray blank = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(Qt::white);
        return pngOf(image);
    }();
    VectorDiagramSheets result;
    for (size_t i = 0; i < diagram->sheets.size(); ++i) {
        ReportPicture picture = sheetPicture(diagram->sheets[i], i, diagram->sheets.size());
        picture.png = blank;
        picture.source = QStringLiteral("diagram-sheet:%1").arg(i);
        result.pictures.push_back(std::move(picture));
    }
    result.drawer = [diagram](const ReportPicture& picture, QPainter& painter, const QRectF& area) {
        const QString prefix = QStringLiteral("diagram-sheet:");
        if (!picture.source.startsWith(prefix))
            return false;
        bool ok = false;
        const qsizetype index = picture.source.mid(prefix.size()).toLongLong(&ok);
        if (!ok || index < 0 || index >= qsizetype(diagram->sheets.size()))
            return false;
        paintSheet(painter, diagram->sheets[size_t(index)], area, true);
        return true;
    };
    return result;
}

ProjectBookPictures paintedFeederPlots(const ProjectRun& run, QSize pixels) {
    const double limit = run.project.voltageLossLimitPercent;
    const size_t count = std::min(run.project.circuits.size(), run.results.size());
    auto painted = std::make_shared<std::vector<std::optional<ReportPicture>>>(count);
    // QPainter paints text on a QImage in any thread (one painter per image).
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < count; i = next++)
            (*painted)[i] = plotPicture(run.project.circuits[i], run.results[i], limit, pixels);
    };
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();

    const ProjectCircuit* first = run.project.circuits.data();
    return [painted, first, count, limit, pixels](const ProjectCircuit& circuit,
                                                  const CircuitResult& result) {
        const ProjectCircuit* at = &circuit;
        const std::less<const ProjectCircuit*> before;
        if (count > 0 && !before(at, first) && before(at, first + count))
            return (*painted)[size_t(at - first)];
        return plotPicture(circuit, result, limit, pixels);
    };
}

VectorFeederPlots vectorFeederPlots(const ProjectRun& run) {
    const double limit = run.project.voltageLossLimitPercent;
    auto plots = std::make_shared<std::vector<FeederPlot>>();
    // Source names for the drawer, by position in `plots`; only circuits of this run get one.
    auto sources = std::make_shared<std::vector<std::pair<const ProjectCircuit*, QString>>>();
    const size_t count = std::min(run.project.circuits.size(), run.results.size());
    for (size_t i = 0; i < count; ++i) {
        const CircuitResult& r = run.results[i];
        if (!r.feeder)
            continue;
        sources->emplace_back(&run.project.circuits[i],
                              QStringLiteral("feeder-plot:%1").arg(plots->size()));
        plots->push_back(feederPlot(*r.feeder, limit, run.project.circuits[i].id));
    }
    // A white 1 × 1 image where a reader of the pixels would look.
    static const QByteArray blank = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(Qt::white);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return png;
    }();

    VectorFeederPlots result;
    result.pictures = [plots, sources](const ProjectCircuit& circuit,
                                       const CircuitResult&) -> std::optional<ReportPicture> {
        for (size_t i = 0; i < sources->size(); ++i) {
            if ((*sources)[i].first != &circuit)
                continue;
            ReportPicture picture;
            picture.png = blank;
            picture.widthMm = 150.0;
            picture.heightMm = 80.0;
            picture.description = (*plots)[i].title;
            picture.source = (*sources)[i].second;
            return picture;
        }
        return std::nullopt;
    };
    result.drawer = [plots](const ReportPicture& picture, QPainter& painter, const QRectF& area) {
        const QString prefix = QStringLiteral("feeder-plot:");
        if (!picture.source.startsWith(prefix))
            return false;
        bool ok = false;
        const qsizetype index = picture.source.mid(prefix.size()).toLongLong(&ok);
        if (!ok || index < 0 || index >= qsizetype(plots->size()) || area.width() <= 0)
            return false;
        // Laid out as the printed PNG is (150 mm over 472 units), so that text and lines have
        // the same printed size in both back ends.
        const double scale = area.width() / (kBookPlotPixels.width() / kScale);
        painter.translate(area.topLeft());
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::Antialiasing);
        paintFeederPlot(painter, QRectF(0, 0, area.width() / scale, area.height() / scale),
                        (*plots)[size_t(index)]);
        return true;
    };
    return result;
}

} // namespace korvane::render
