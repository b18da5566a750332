#include "gui/diagram_view.h"

#include "render/drawing_painter.h"

#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace korvane::gui {

namespace {

// Grey round the sheets and between them, in screen pixels.
constexpr int kMarginPx = 16;
// The zoom's bounds: from a whole A3 sheet in about 210 pixels (the sheet count at a glance) to
// 12 pixels per millimetre (the 2.5 mm figures of the table about 30 pixels high).
constexpr double kLeastPxPerMm = 0.5;
constexpr double kMostPxPerMm = 12.0;
constexpr double kZoomStep = 1.25;

} // namespace

// The sheets painted one under the other at the view's zoom, only those in sight.
class DiagramCanvas : public QWidget {
public:
    explicit DiagramCanvas(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setSheets(const drawing::Drawing* drawing, double pxPerMm) {
        drawing_ = drawing;
        pxPerMm_ = pxPerMm;
        int width = 0;
        int height = kMarginPx;
        for (const drawing::Sheet& sheet : drawing_->sheets) {
            width = std::max(width, int(std::lround(sheet.widthMm * pxPerMm_)));
            height += int(std::lround(sheet.heightMm * pxPerMm_)) + kMarginPx;
        }
        resize(width + 2 * kMarginPx, height);
        update();
    }

    // Where a sheet lies on the canvas.
    QRect sheetRect(size_t sheet) const {
        int top = kMarginPx;
        for (size_t i = 0; i < drawing_->sheets.size(); ++i) {
            const drawing::Sheet& s = drawing_->sheets[i];
            const QRect rect(kMarginPx, top, int(std::lround(s.widthMm * pxPerMm_)),
                             int(std::lround(s.heightMm * pxPerMm_)));
            if (i == sheet)
                return rect;
            top = rect.bottom() + 1 + kMarginPx;
        }
        return {};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().color(QPalette::Dark));
        if (drawing_ == nullptr)
            return;
        for (size_t i = 0; i < drawing_->sheets.size(); ++i) {
            const QRect rect = sheetRect(i);
            if (!rect.intersects(event->rect()))
                continue;
            painter.fillRect(rect, Qt::white);
            render::paintSheet(painter, drawing_->sheets[i], rect);
        }
    }

private:
    const drawing::Drawing* drawing_ = nullptr;
    double pxPerMm_ = 1.0;
};

DiagramView::DiagramView(ProjectSession& session, std::function<QDate()> today,
                         std::function<void()> exportDiagram, QWidget* parent)
    : QMainWindow(parent), session_(session), today_(std::move(today)), scroll_(new QScrollArea),
      canvas_(new DiagramCanvas), sheets_(new QComboBox), zoomLabel_(new QLabel) {
    setWindowFlag(Qt::Window);
    scroll_->setWidget(canvas_);
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->installEventFilter(this);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { followScroll(); });
    setCentralWidget(scroll_);

    QToolBar* bar = addToolBar(QStringLiteral("配电系统图"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(QStringLiteral("放大"), this, [this] { zoomIn(); })
        ->setShortcut(QKeySequence::ZoomIn);
    bar->addAction(QStringLiteral("缩小"), this, [this] { zoomOut(); })
        ->setShortcut(QKeySequence::ZoomOut);
    bar->addAction(QStringLiteral("适合宽度"), this, [this] { fitWidth(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    bar->addWidget(zoomLabel_);
    bar->addSeparator();
    sheets_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(sheets_, &QComboBox::activated, this, [this](int index) { showSheet(index); });
    bar->addWidget(sheets_);
    bar->addSeparator();
    export_ = bar->addAction(QStringLiteral("导出…"), this, std::move(exportDiagram));
    export_->setStatusTip(QStringLiteral("把配电系统图写为 DXF、SVG 或 PDF 文件"));
    statusBar();

    // Every recomputation may change a figure, a cable or the number of sheets.
    scheduleConnection_ = session_.state().scheduleChanged.connection(
        [this](const ScheduleChange&) { projectChanged(); });
    supplyConnection_ = session_.state().supplyChanged.connection([this] { projectChanged(); });
    titleConnection_ = session_.document().titleChanged.connection([this] {
        updateTitle();
        projectChanged();
    });
    updateTitle();
    resize(1100, 800);
}

const drawing::Drawing& DiagramView::drawing() {
    if (stale_)
        rebuild();
    return drawing_;
}

void DiagramView::projectChanged() {
    stale_ = true;
    if (isVisible())
        rebuild();
}

void DiagramView::rebuild() {
    stale_ = false;
    drawing_ = session_.state().systemDiagram(today_ ? today_() : QDate::currentDate());
    const int sheet = sheets_->currentIndex();
    sheets_->clear();
    const int count = int(drawing_.sheets.size());
    for (int i = 0; i < count; ++i)
        sheets_->addItem(QStringLiteral("第 %1 张，共 %2 张").arg(i + 1).arg(count));
    sheets_->setCurrentIndex(std::clamp(sheet, 0, std::max(0, count - 1)));
    setZoom(fitWidth_ ? widthFitting() : pixelsPerMm());
}

double DiagramView::pixelsPerMm() const {
    return zoom_;
}

double DiagramView::widthFitting() const {
    double widest = 0.0;
    for (const drawing::Sheet& sheet : drawing_.sheets)
        widest = std::max(widest, sheet.widthMm);
    if (widest <= 0.0)
        return 1.0;
    // Room for the vertical scroll bar, which the sheets one under the other always need.
    const int room = scroll_->viewport()->width() - 2 * kMarginPx -
                     (scroll_->verticalScrollBar()->isVisible()
                          ? 0
                          : scroll_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    return std::clamp(room / widest, kLeastPxPerMm, kMostPxPerMm);
}

void DiagramView::setZoom(double pxPerMm) {
    zoom_ = std::clamp(pxPerMm, kLeastPxPerMm, kMostPxPerMm);
    canvas_->setSheets(&drawing_, zoom_);
    // Per cent of the paper's own size on this screen.
    const double paper = logicalDpiX() / 25.4;
    zoomLabel_->setText(QStringLiteral(" %1% ").arg(std::lround(100.0 * zoom_ / paper)));
}

void DiagramView::zoomIn() {
    fitWidth_ = false;
    setZoom(zoom_ * kZoomStep);
}

void DiagramView::zoomOut() {
    fitWidth_ = false;
    setZoom(zoom_ / kZoomStep);
}

void DiagramView::fitWidth() {
    fitWidth_ = true;
    setZoom(widthFitting());
}

void DiagramView::showSheet(int sheet) {
    if (stale_)
        rebuild();
    if (sheet < 0 || sheet >= int(drawing_.sheets.size()))
        return;
    scroll_->verticalScrollBar()->setValue(canvas_->sheetRect(size_t(sheet)).top() - kMarginPx);
    // The last sheets may not reach the top of the view: the one chosen stays named.
    sheets_->setCurrentIndex(sheet);
}

void DiagramView::followScroll() {
    const int top = scroll_->verticalScrollBar()->value() + scroll_->viewport()->height() / 3;
    for (int i = int(drawing_.sheets.size()) - 1; i >= 0; --i) {
        if (canvas_->sheetRect(size_t(i)).top() <= top) {
            sheets_->setCurrentIndex(i);
            return;
        }
    }
}

void DiagramView::updateTitle() {
    setWindowTitle(session_.document().windowTitle() + QStringLiteral(" - 配电系统图"));
}

void DiagramView::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (stale_)
        rebuild();
    else if (fitWidth_)
        setZoom(widthFitting());
}

void DiagramView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (fitWidth_ && !stale_)
        setZoom(widthFitting());
}

bool DiagramView::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl and the wheel zoom, as in the CAD programs and the PDF readers; the wheel alone scrolls.
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() > 0)
                zoomIn();
            else if (wheel->angleDelta().y() < 0)
                zoomOut();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace korvane::gui
