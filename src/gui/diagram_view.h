#pragma once

#include "app/project_session.h"
#include "drawing/drawing.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;

namespace korvane::gui {

class DiagramCanvas;

// 配电系统图: the project's distribution system diagram in a window of its own beside the
// schedule, its A3 sheets one under the other as the book and the PDF draw them. It is drawn
// afresh from the session after every change of the project (a cell, a row, the supply, another
// project), while it is shown; hidden, it waits until it is shown again. It fits the sheets to
// its width until zoomed (放大/缩小, Ctrl and the wheel), and 第 n 张 scrolls to a sheet.
class DiagramView : public QMainWindow {
public:
    // `today` dates the title block; `exportDiagram` is 导出… of the tool bar.
    DiagramView(ProjectSession& session, std::function<QDate()> today,
                std::function<void()> exportDiagram, QWidget* parent = nullptr);

    // The diagram as shown, brought up to date with the project first.
    const drawing::Drawing& drawing();
    // Screen pixels per millimetre of paper.
    double pixelsPerMm() const;
    void zoomIn();
    void zoomOut();
    // The sheets as wide as the window (the zoom it opens at).
    void fitWidth();
    bool fitsWidth() const { return fitWidth_; }
    // Scrolls to the top of a sheet (from 0).
    void showSheet(int sheet);
    QComboBox* sheetChoice() const { return sheets_; }
    QAction* exportAction() const { return export_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The project changed: redrawn now when shown, otherwise when next shown.
    void projectChanged();
    void rebuild();
    void setZoom(double pixelsPerMm);
    double widthFitting() const;
    // The sheet at the top of the scrolled view in 第 n 张.
    void followScroll();
    void updateTitle();

    ProjectSession& session_;
    std::function<QDate()> today_;
    drawing::Drawing drawing_;
    bool stale_ = true;
    bool fitWidth_ = true;
    double zoom_ = 1.0; // pixels per millimetre
    QScrollArea* scroll_;
    DiagramCanvas* canvas_;
    QComboBox* sheets_;
    QLabel* zoomLabel_;
    QAction* export_;
    Signal<const ScheduleChange&>::Connection scheduleConnection_;
    Signal<>::Connection supplyConnection_;
    Signal<>::Connection titleConnection_;
};

} // namespace korvane::gui
