#include "gui/feeder_plot_widget.h"

#include "project/feeder_plot.h"
#include "render/feeder_plot_painter.h"

#include <QPainter>

#include <variant>

namespace korvane::gui {

FeederPlotWidget::FeederPlotWidget(ProjectSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Every recomputation (an edit, a row moved away, the supply) may change what is shown.
    scheduleId_ = session_.scheduleChanged.connect([this](const ScheduleChange&) { update(); });
    supplyId_ = session_.supplyChanged.connect([this] { update(); });
}

FeederPlotWidget::~FeederPlotWidget() {
    session_.scheduleChanged.disconnect(scheduleId_);
    session_.supplyChanged.disconnect(supplyId_);
}

void FeederPlotWidget::setRow(int row) {
    if (row == row_)
        return;
    row_ = row;
    update();
}

QString FeederPlotWidget::message() const {
    if (row_ < 0 || row_ >= session_.rowCount())
        return QStringLiteral("未选择回路");
    if (session_.feederResult(row_) != nullptr)
        return {};
    const ProjectCircuit& circuit = session_.project().circuits.at(size_t(row_));
    if (!std::holds_alternative<LampFeeder>(circuit.load))
        return QStringLiteral("所选回路不是路灯馈线");
    const CircuitResult& result = session_.result(row_);
    if (!result.feederFailure.isEmpty())
        return result.feederFailure;
    if (!result.inputProblems.isEmpty())
        return result.inputProblems.join(u'\n');
    return circuit.inputProblems.join(u'\n');
}

void FeederPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    if (row_ >= 0 && row_ < session_.rowCount()) {
        if (const LampFeederResult* feeder = session_.feederResult(row_)) {
            const ProjectCircuit& circuit = session_.project().circuits.at(size_t(row_));
            render::paintFeederPlot(
                painter, area,
                feederPlot(*feeder, session_.project().voltageLossLimitPercent, circuit.id));
            return;
        }
    }
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawText(area.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
                     message());
}

} // namespace korvane::gui
