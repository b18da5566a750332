#include "gui/feeder_plot_widget.h"

#include "render/feeder_plot_painter.h"

#include <QPainter>

namespace korvane::gui {

FeederPlotWidget::FeederPlotWidget(ProjectState& project, QWidget* parent)
    : QWidget(parent), project_(project) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Every recomputation (an edit, a row moved away, the supply) may change what is shown.
    scheduleConnection_ =
        project_.scheduleChanged.connection([this](const ScheduleChange&) { update(); });
    supplyConnection_ = project_.supplyChanged.connection([this] { update(); });
}

void FeederPlotWidget::setRow(int row) {
    if (row == row_)
        return;
    row_ = row;
    update();
}

void FeederPlotWidget::setShowBranches(bool shown) {
    if (shown == showBranches_)
        return;
    showBranches_ = shown;
    update();
}

QString FeederPlotWidget::message() const {
    return project_.rowPlotNote(row_);
}

void FeederPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    if (std::optional<FeederPlot> plot = project_.rowPlot(row_)) {
        plot->showBranches = showBranches_;
        render::paintFeederPlot(painter, area, *plot);
        return;
    }
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawText(area.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     message());
}

} // namespace korvane::gui
