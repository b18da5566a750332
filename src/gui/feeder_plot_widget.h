#pragma once

#include "app/project_state.h"

#include <QWidget>

namespace korvane::gui {

// The voltage loss along the feeder of one schedule row, painted as the calculation book paints
// it. A row that is not a lamp-pole feeder, or a feeder that was not computed, shows why in grey.
class FeederPlotWidget : public QWidget {
public:
    explicit FeederPlotWidget(ProjectState& project, QWidget* parent = nullptr);

    // The row whose feeder is shown; -1 for none.
    void setRow(int row);
    int row() const { return row_; }
    // Whether the runs of a branched feeder beside the plotted path are drawn.
    void setShowBranches(bool shown);
    bool showsBranches() const { return showBranches_; }
    // The grey text shown instead of a plot; empty while a plot is shown.
    QString message() const;

    QSize sizeHint() const override { return {640, 320}; }
    // Low enough to leave the schedule its rows on a small or highly scaled screen.
    QSize minimumSizeHint() const override { return {240, 90}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProjectState& project_;
    int row_ = -1;
    bool showBranches_ = true;
    Signal<const ScheduleChange&>::Connection scheduleConnection_;
    Signal<>::Connection supplyConnection_;
};

} // namespace korvane::gui
