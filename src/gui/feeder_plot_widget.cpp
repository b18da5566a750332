#include "gui/feeder_plot_widget.h"

#include "render/feeder_plot_painter.h"

#include <QPainter>

namespace korvane::gui {

FeederPlotWidget::FeederPlotWidget(ProjectSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Every recomputation (an edit, a row moved away, the supply) may change what is shown.
    scheduleConnection_ =
        session_.state().scheduleChanged.connection([this](const ScheduleChange&) { update(); });
    supplyConnection_ = session_.state().supplyChanged.connection([this] { update(); });
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
    return session_.state().rowPlotNote(row_);
}

void FeederPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    if (std::optional<FeederPlot> plot = session_.state().rowPlot(row_)) {
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
