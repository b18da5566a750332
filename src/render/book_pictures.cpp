#include "render/book_pictures.h"

#include "render/feeder_plot_painter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace korvane::render {

namespace {

// The plot painted for print: laid out on a canvas 1.875 times smaller than the image (at 150
// dots per inch), so that its text comes out about 7 pt and its lines about 0.5 pt at the size
// the book prints it.
QByteArray printedPlotPng(const FeederPlot& plot, QSize pixels) {
    constexpr double kScale = 1.875;
    QImage image(pixels, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(kScale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paintFeederPlot(painter, QRectF(0, 0, pixels.width() / kScale, pixels.height() / kScale),
                        plot);
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG", 80))
        return {};
    return png;
}

std::optional<ReportPicture> plotPicture(const ProjectCircuit& circuit, const CircuitResult& result,
                                         double limitPercent, QSize pixels) {
    if (!result.feeder)
        return std::nullopt;
    const FeederPlot plot = feederPlot(*result.feeder, limitPercent, circuit.id);
    QByteArray png = printedPlotPng(plot, pixels);
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

} // namespace

ProjectBookPictures feederPlotPictures(double limitPercent, QSize pixels) {
    return [limitPercent, pixels](const ProjectCircuit& circuit, const CircuitResult& result) {
        return plotPicture(circuit, result, limitPercent, pixels);
    };
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

} // namespace korvane::render
