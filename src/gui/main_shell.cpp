#include "gui/main_shell.h"

#include "app/calculation_file.h"
#include "app/project_info.h"
#include "app/project_session.h"
#include "gui/gui_platform.h"
#include "gui/schedule_window.h"
#include "render/pdf_book.h"
#include "reports/book_commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

namespace korvane::gui {

namespace {

const QString kRecentKey = QStringLiteral("recentFiles");
constexpr int kRecentCount = 8;

QString fileFilter() {
    return QStringLiteral("Korvane 计算文件 (*.korvane)");
}

// Shows a busy cursor and a status message at once, before a long action starts.
class BusyScope {
public:
    BusyScope(QStatusBar* bar, const QString& message) {
        bar->showMessage(message);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyScope() { QApplication::restoreOverrideCursor(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

} // namespace

MainShell::MainShell(Application& app, Form& form)
    : app_(app), form_(form), content_(new FormWindow(form)), scroll_(new QScrollArea) {
    // The form keeps its designed size (the working fields below it stay out of sight); the
    // window around it may be smaller and then scrolls, so no page is cut off on a small screen.
    scroll_->setFrameShape(QFrame::NoFrame);
    // The scroll area is no stop of its own: Tab goes from the last control back to the first.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(false);
    scroll_->setWidget(content_);
    setCentralWidget(scroll_);
    statusBar();

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("新建(&N)"), QKeySequence::New, this,
                    [this] { newCalculation(); });
    file->addAction(QStringLiteral("打开(&O)…"), QKeySequence::Open, this, [this] { openFile(); });
    file->addAction(QStringLiteral("保存(&S)"), QKeySequence::Save, this, [this] { save(); });
    file->addAction(QStringLiteral("另存为(&A)…"), QKeySequence::SaveAs, this,
                    [this] { saveAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("工程信息(&I)…"), this,
                    [this] { app_.form(QString::fromLatin1(kProjectDialog)).show(); });
    file->addSeparator();
    recentMenu_ = file->addMenu(QStringLiteral("最近的文件(&R)"));
    file->addSeparator();
    file->addAction(QStringLiteral("退出(&X)"), QKeySequence::Quit, this, [this] { close(); });
    fillRecentMenu();

    QMenu* projects = menuBar()->addMenu(QStringLiteral("工程(&P)"));
    addProjectMenuEntries(projects, this, [this]() -> ScheduleWindow& { return scheduleWindow(); });

    QMenu* books = menuBar()->addMenu(QStringLiteral("计算书(&B)"));
    books->addAction(QStringLiteral("电压损失计算书 导出PDF(&V)"), this,
                     [this] { exportPdf(true); });
    books->addAction(QStringLiteral("短路电流计算书 导出PDF(&S)"), this,
                     [this] { exportPdf(false); });

    if (auto* gui = dynamic_cast<GuiPlatform*>(&app.platform())) {
        gui->showStatus = [this](const QString& message, int timeoutMs) {
            statusBar()->showMessage(message, timeoutMs);
        };
    }

    // A change of an input shows in the title as soon as the event that made it is handled.
    // Only the inputs the file keeps are heard: results, hints and the schematic's blinking
    // change no snapshot. Comparing the inputs with the saved ones serialises them, so a burst of
    // changes (start-up, a script, opening a file) is compared once, not per change.
    for (const QString& name : calculationInputControls()) {
        Control* c = form.find(name);
        if (c == nullptr)
            continue;
        connections_.push_back(c->changed.connection([this](const Control&) {
            if (titlePending_)
                return;
            titlePending_ = true;
            QTimer::singleShot(0, this, [this] {
                titlePending_ = false;
                updateTitle();
            });
        }));
    }
    updateTitle();
}

void MainShell::fitInto(const QRect& area) {
    // Room for the window manager's title bar and borders, which the window does not own.
    const QSize frame(16, 40);
    QSize designed(content_->width(), content_->height() + menuBar()->sizeHint().height() +
                                          statusBar()->sizeHint().height());
    const QSize room = area.size() - frame;
    // When the pages must scroll one way, the scroll bar takes room from the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (designed.height() > room.height())
        designed.rwidth() += bar;
    if (designed.width() > room.width())
        designed.rheight() += bar;
    const QSize size = designed.boundedTo(room);
    resize(size);
    move(area.center() -
         QPoint((size.width() + frame.width()) / 2, (size.height() + frame.height()) / 2));
}

MainShell::~MainShell() {
    // The schedule window hears the session: it goes first.
    delete schedule_;
    project_.reset();
    if (auto* gui = dynamic_cast<GuiPlatform*>(&app_.platform()))
        gui->showStatus = nullptr;
}

ScheduleWindow& MainShell::scheduleWindow() {
    if (schedule_ == nullptr) {
        project_ = std::make_unique<ProjectSession>(app_);
        schedule_ = new ScheduleWindow(app_, *project_, this);
        schedule_->setWindowIcon(windowIcon());
    }
    return *schedule_;
}

void MainShell::startUpFinished() {
    if (!startSnapshot_.isEmpty())
        return;
    startSnapshot_ = calculationSnapshot(form_);
    savedSnapshot_ = startSnapshot_;
    updateTitle();
}

bool MainShell::modified() const {
    return !savedSnapshot_.isEmpty() && calculationSnapshot(form_) != savedSnapshot_;
}

void MainShell::updateTitle() {
    ++titleComparisons_;
    const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
    setWindowTitle(QStringLiteral("%1%2 - %3")
                       .arg(name, modified() ? QStringLiteral("*") : QString(), form_.caption()));
}

bool MainShell::confirmDiscard() {
    if (!modified())
        return true;
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Korvane"), QStringLiteral("当前计算已修改，是否保存？"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return save();
    return answer == QMessageBox::Discard;
}

void MainShell::newCalculation() {
    if (!confirmDiscard())
        return;
    resetCalculation(form_, startSnapshot_);
    // The engineer stays the one the program remembers now, who may have changed since start-up.
    startNewProject(app_);
    path_.clear();
    savedSnapshot_ = calculationSnapshot(form_);
    updateTitle();
    statusBar()->showMessage(QStringLiteral("新建计算"), 5000);
}

void MainShell::exportPdf(bool voltageLossBook) {
    app_.platform().longActionStarted(QStringLiteral("正在导出PDF计算书…"));
    const ComposedBook book =
        composeBook(app_, form_, voltageLossBook ? BookKind::VoltageLoss : BookKind::ShortCircuit);
    const QString folder = booksFolderOf(app_);
    const SavedBook saved = book.document
                                ? saveBook(render::renderPdfBook(*book.document), folder,
                                           book.title, app_.platform().now(), QStringLiteral("pdf"))
                                : SavedBook{false, folder};
    announceBook(app_, saved);
}

void MainShell::openFile() {
    if (!confirmDiscard())
        return;
    const QString start = path_.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : QFileInfo(path_).absolutePath();
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("打开计算文件"), start, fileFilter());
    if (!path.isEmpty())
        openPath(path);
}

void MainShell::openPath(const QString& path) {
    bool read = false;
    {
        BusyScope busy(statusBar(), QStringLiteral("正在打开 %1 …").arg(path));
        read = openCalculation(app_, path);
    }
    if (!read) {
        statusBar()->showMessage(QStringLiteral("未能打开 %1").arg(path), 8000);
        return;
    }
    path_ = path;
    savedSnapshot_ = calculationSnapshot(form_);
    rememberRecent(path);
    updateTitle();
    statusBar()->showMessage(QStringLiteral("已打开 %1（结果需按各页“计  算”重新计算）").arg(path),
                             8000);
}

bool MainShell::save() {
    return path_.isEmpty() ? saveAs() : saveTo(path_);
}

bool MainShell::saveAs() {
    QString start = path_;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                QStringLiteral("/计算.korvane");
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("另存为"), start, fileFilter());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".") + QString::fromLatin1(kCalculationSuffix);
    return saveTo(path);
}

bool MainShell::saveTo(const QString& path) {
    bool written = false;
    {
        BusyScope busy(statusBar(), QStringLiteral("正在保存 %1 …").arg(path));
        written = saveCalculation(app_, path);
    }
    if (!written)
        return false;
    path_ = path;
    savedSnapshot_ = calculationSnapshot(form_);
    rememberRecent(path);
    updateTitle();
    statusBar()->showMessage(QStringLiteral("已保存到 %1").arg(path), 8000);
    return true;
}

void MainShell::rememberRecent(const QString& path) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    while (recent.size() > kRecentCount)
        recent.removeLast();
    settings.setValue(kRecentKey, recent);
    fillRecentMenu();
}

void MainShell::fillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (const QString& path : recent) {
        recentMenu_
            ->addAction(QFileInfo(path).fileName(), this,
                        [this, path] {
                            if (confirmDiscard())
                                openPath(path);
                        })
            ->setToolTip(path);
    }
    recentMenu_->setEnabled(!recent.isEmpty());
}

void MainShell::closeEvent(QCloseEvent* event) {
    if (!confirmDiscard() || (schedule_ != nullptr && !schedule_->confirmDiscardProject(this))) {
        event->ignore();
        return;
    }
    event->accept();
    if (schedule_ != nullptr)
        schedule_->hide();
    QMetaObject::invokeMethod(
        this, [this] { form_.unload(); }, Qt::QueuedConnection);
}

} // namespace korvane::gui
