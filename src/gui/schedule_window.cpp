#include "gui/schedule_window.h"

#include "app/application.h"
#include "app/project_pages.h"
#include "gui/diagram_view.h"
#include "gui/feeder_plot_widget.h"
#include "gui/flow_layout.h"
#include "gui/phase_balance_dialog.h"
#include "gui/pole_editor.h"
#include "gui/schedule_model.h"
#include "gui/schedule_table.h"
#include "gui/sizing_dialog.h"
#include "project_book/project_book.h"
#include "render/diagram_outputs.h"
#include "render/project_outputs.h"
#include "reports/book_commands.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <set>
#include <variant>

namespace korvane::gui {

namespace {

QString projectFilter() {
    return QStringLiteral("Korvane 工程文件 (*.kvp)");
}

constexpr int kMessageMs = 8000;
// A column is never drawn wider than this however long its texts are; the tool tip and the
// editor show the whole text.
constexpr int kWidestColumn = 240;
// Room for the window manager's title bar and borders, which the window does not own.
const QSize kWindowFrame(16, 40);

const QString kGeometryKey = QStringLiteral("scheduleWindow/geometry");

// The columns held at the left of the schedule, by their headers: what tells the circuit (its
// identifier) and what decides it (its section, the voltage loss, the current its protection is
// chosen for, that protection, the cable's capacity and the verdict).
std::vector<int> keyColumns(const ProjectSession& session) {
    const QString inputs[] = {scheduleHeader(ScheduleColumn::Id),
                              scheduleHeader(ScheduleColumn::CrossSection)};
    const QString results[] = {QStringLiteral("Δu(%)"), QStringLiteral("计算电流Ib(A)"),
                               QStringLiteral("QR In(A)"), QStringLiteral("Iz(A)"),
                               QStringLiteral("结论")};
    std::vector<int> columns;
    auto find = [&session, &columns](const QString& header, int from, int to) {
        for (int c = from; c < to; ++c) {
            if (session.schedule().columnHeader(c) == header) {
                columns.push_back(c);
                return;
            }
        }
    };
    for (const QString& header : inputs)
        find(header, 0, session.schedule().inputColumnCount());
    for (const QString& header : results)
        find(header, session.schedule().inputColumnCount(), session.schedule().columnCount());
    return columns;
}

} // namespace

ScheduleWindow::ScheduleWindow(Application& app, ProjectSession& session, QWidget* mainWindow)
    : app_(app), session_(session), mainWindow_(mainWindow),
      model_(new ScheduleModel(session, this)), table_(new ScheduleTable),
      plot_(new FeederPlotWidget(session.state())), poles_(new PoleEditor(session)),
      showBranches_(new QCheckBox(QStringLiteral("显示其他支线"))),
      splitter_(new QSplitter(Qt::Vertical)), lower_(new QSplitter(Qt::Horizontal)) {
    table_->setModel(model_);
    // A delegate each: an editor is committed and closed by the view that opened it.
    table_->setItemDelegate(new ScheduleDelegate(table_));
    table_->frozenBlock()->setItemDelegate(new ScheduleDelegate(table_->frozenBlock()));
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    model_->refused = [this](const QModelIndex& index, const QString& reason) {
        cellRefused(index, reason);
    };
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showRow(current.row()); });

    // Under the schedule: the feeder's poles at the left, its voltage loss at the right.
    poles_->status = [this](const QString& message) { showStatus(message); };
    poles_->balance = [this] { balancePhases(); };
    poles_->importList = [this] { importPoleList(); };
    showBranches_->setChecked(true);
    connect(showBranches_, &QCheckBox::toggled, this,
            [this](bool shown) { plot_->setShowBranches(shown); });
    poles_->toolBar()->addSeparator();
    poles_->toolBar()->addWidget(showBranches_);
    lower_->addWidget(poles_);
    lower_->addWidget(plot_);
    lower_->setStretchFactor(0, 1);
    lower_->setStretchFactor(1, 1);
    lower_->setChildrenCollapsible(false);

    splitter_->addWidget(table_);
    splitter_->addWidget(lower_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    splitter_->setChildrenCollapsible(false);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(makeSupplyFields());
    layout->addWidget(splitter_, 1);
    setCentralWidget(central);
    statusBar();
    makeActions();

    scheduleConnection_ = session_.state().scheduleChanged.connection(
        [this](const ScheduleChange& change) { scheduleChanged(change); });
    connections_.push_back(session_.state().supplyChanged.connection([this] { refreshSupply(); }));
    connections_.push_back(session_.document().titleChanged.connection([this] { updateTitle(); }));
    refreshSupply();
    updateTitle();
    table_->setFrozenColumns(keyColumns(session_));
    fitColumns();
    table_->setFocus();
}

ScheduleWindow::~ScheduleWindow() {
    // The program may end with the window open: it opens there next time.
    if (isVisible())
        rememberGeometry();
}

QWidget* ScheduleWindow::makeSupplyFields() {
    // The supply, below it how the circuits are laid unless a circuit says otherwise.
    auto* box = new QWidget;
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* supplyBox = new QGroupBox(QStringLiteral("电源"));
    auto* installationBox = new QGroupBox(QStringLiteral("工程敷设条件（回路未填写时采用）"));
    rows->addWidget(supplyBox);
    rows->addWidget(installationBox);
    // Each field with its label, on as many lines as the window's width asks for.
    auto* supplyRow = new FlowLayout(supplyBox);
    auto* installationRow = new FlowLayout(installationBox);
    supplyRow->setContentsMargins(8, 4, 8, 4);
    installationRow->setContentsMargins(8, 4, 8, 4);
    for (int field = 0; field < session_.supply().supplyFieldCount(); ++field) {
        FlowLayout* flow = field < kFirstInstallationField ? supplyRow : installationRow;
        auto* pair = new QWidget;
        auto* row = new QHBoxLayout(pair);
        row->setContentsMargins(0, 0, 0, 0);
        flow->addWidget(pair);
        const SupplyFieldView view = session_.supply().supplyField(field);
        auto* label = new QLabel(view.label);
        QWidget* editor = nullptr;
        if (!view.choices.isEmpty()) {
            auto* combo = new QComboBox;
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            connect(combo, &QComboBox::activated, this, [this, field, combo](int index) {
                commitSupplyField(field, combo->itemText(index));
            });
            editor = combo;
        } else {
            auto* edit = new QLineEdit;
            edit->setMaximumWidth(90);
            connect(edit, &QLineEdit::editingFinished, this,
                    [this, field, edit] { commitSupplyField(field, edit->text()); });
            editor = edit;
        }
        editor->setObjectName(QStringLiteral("supply%1").arg(field));
        label->setBuddy(editor);
        row->addWidget(label);
        row->addWidget(editor);
        supplyEditors_.push_back(editor);
    }
    return box;
}

void ScheduleWindow::makeActions() {
    QMenu* project = menuBar()->addMenu(QStringLiteral("工程(&P)"));
    addProjectMenuEntries(project, this, [this]() -> ScheduleWindow& { return *this; });
    // In this window the usual keys work on the project; on the main window they stay with the
    // calculation of the pages.
    const QList<QAction*> file = project->actions();
    const QKeySequence fileKeys[] = {QKeySequence::New, QKeySequence::Open, QKeySequence::Save,
                                     QKeySequence::SaveAs};
    for (qsizetype i = 0; i < std::ssize(fileKeys) && i < file.size(); ++i)
        file[i]->setShortcut(fileKeys[i]);
    project->addSeparator();
    project->addAction(QStringLiteral("相序平衡…"), this, [this] { balancePhases(); });
    project->addAction(QStringLiteral("导入杆位表…"), this, [this] { importPoleList(); });
    project->addSeparator();
    project->addAction(QStringLiteral("关闭(&C)"), this, [this] { close(); });

    QMenu* rows = menuBar()->addMenu(QStringLiteral("回路(&C)"));
    QToolBar* bar = addToolBar(QStringLiteral("回路"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    struct Entry {
        Action action;
        const char* text;
        std::function<void()> run;
        bool separatorAfter;
        bool onToolBar;
    };
    const Entry entries[] = {
        {Action::AddLoadCase, "添加回路", [this] { addRow(false); }, false, true},
        {Action::AddFeeder, "添加路灯馈线", [this] { addRow(true); }, false, true},
        {Action::Duplicate, "复制回路", [this] { duplicateRow(); }, false, true},
        {Action::Remove, "删除回路", [this] { removeRows(); }, true, true},
        {Action::MoveUp, "上移", [this] { moveRow(true); }, false, true},
        {Action::MoveDown, "下移", [this] { moveRow(false); }, true, true},
        {Action::AdjustSections, "调整截面…", [this] { adjustSections(); }, true, true},
        {Action::SendToPages, "发送到计算页", [this] { sendToPages(); }, false, true},
        {Action::TakeFromPages, "从计算页取回", [this] { takeFromPages(); }, true, true},
        {Action::Import, "导入回路表…", [this] { importSchedule(); }, false, false},
        {Action::ExportTemplate, "导出导入模板…", [this] { exportTemplate(); }, false, false},
        {Action::ExportXlsx, "导出 .xlsx…", [this] { exportXlsx(); }, false, false},
        {Action::BookWord, "工程计算书 导出Word(&W)", [this] { writeBook(false); }, false, false},
        {Action::BookPdf, "工程计算书 导出PDF(&P)", [this] { writeBook(true); }, false, false},
    };
    QMenu* books = menuBar()->addMenu(QStringLiteral("计算书(&B)"));
    actions_.resize(std::size(entries));
    for (const Entry& e : entries) {
        const bool book = e.action == Action::BookWord || e.action == Action::BookPdf;
        QAction* a = (book ? books : rows)->addAction(QString::fromUtf8(e.text), this, e.run);
        actions_[size_t(e.action)] = a;
        if (e.onToolBar)
            bar->addAction(a);
        if (e.separatorAfter) {
            rows->addSeparator();
            bar->addSeparator();
        }
    }
    // Keys for the row actions, clear of the table's own (Delete, Ctrl+C, the arrow keys).
    action(Action::Duplicate)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    action(Action::Remove)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    action(Action::MoveUp)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    action(Action::MoveDown)->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    action(Action::Remove)
        ->setStatusTip(QStringLiteral("删除按行号选中的回路；没有选中整行时删除当前回路"));
    action(Action::AdjustSections)
        ->setStatusTip(QStringLiteral("为按行号选中的回路建议截面；没有选中整行时为全部回路"));
}

void addProjectMenuEntries(QMenu* menu, QWidget* owner, std::function<ScheduleWindow&()> window) {
    menu->addAction(QStringLiteral("新建工程(&N)"), owner,
                    [owner, window] { window().newProject(owner); });
    menu->addAction(QStringLiteral("打开工程(&O)…"), owner,
                    [owner, window] { window().openProject(owner); });
    menu->addAction(QStringLiteral("保存工程(&S)"), owner,
                    [owner, window] { window().saveProject(owner); });
    menu->addAction(QStringLiteral("工程另存为(&A)…"), owner,
                    [owner, window] { window().saveProjectAs(owner); });
    QMenu* recent = menu->addMenu(QStringLiteral("最近的工程(&R)"));
    // The list is read when the menu opens: the files it names may have gone meanwhile.
    QObject::connect(recent, &QMenu::aboutToShow, owner,
                     [recent, owner, window] { window().fillRecentMenu(recent, owner); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("回路表(&T)…"), owner, [window] { window().showSchedule(); });
    menu->addAction(QStringLiteral("配电系统图(&D)…"), owner, [window] { window().showDiagram(); });
    menu->addAction(QStringLiteral("导出配电系统图(&X)…"), owner,
                    [owner, window] { window().exportDiagram(owner); });
}

// ---- The project file ----

void ScheduleWindow::showSchedule() {
    const bool first = !placed_;
    if (first) {
        placed_ = true;
        placeOnScreen();
    }
    show();
    if (first) {
        // Once laid out: three parts of the height for the schedule, two for the plot, whatever
        // the screen (the plot's own size would take most of a small one).
        splitter_->setSizes({3000, 2000});
    }
    raise();
    activateWindow();
}

QRect ScheduleWindow::screenArea() const {
    const QScreen* shown = mainWindow_ ? mainWindow_->screen() : screen();
    return shown != nullptr ? shown->availableGeometry() : QRect(0, 0, 1280, 800);
}

void ScheduleWindow::fitInto(const QRect& area) {
    const QSize size = (area.size() - kWindowFrame).expandedTo(QSize(1, 1));
    resize(size);
    move(area.center() - QPoint((size.width() + kWindowFrame.width()) / 2,
                                (size.height() + kWindowFrame.height()) / 2));
}

void ScheduleWindow::placeOnScreen() {
    const QRect area = screenArea();
    Preferences* preferences = app_.platform().preferences();
    const QString remembered = preferences ? preferences->value(kGeometryKey) : QString();
    // Where the engineer left it, when it still lies on the screen; otherwise all of the screen.
    if (!remembered.isEmpty() && restoreGeometry(QByteArray::fromBase64(remembered.toLatin1())) &&
        area.contains(geometry()))
        return;
    fitInto(area);
}

void ScheduleWindow::rememberGeometry() {
    if (Preferences* preferences = app_.platform().preferences())
        preferences->setValue(kGeometryKey, QString::fromLatin1(saveGeometry().toBase64()));
}

void ScheduleWindow::hideEvent(QHideEvent* event) {
    // Closed, or hidden with the main window; not minimised.
    if (!event->spontaneous())
        rememberGeometry();
    QMainWindow::hideEvent(event);
}

void ScheduleWindow::updateTitle() {
    setWindowTitle(session_.document().windowTitle() + QStringLiteral(" - 回路表"));
}

bool ScheduleWindow::confirmDiscardProject(QWidget* owner) {
    if (!session_.document().modified())
        return true;
    const auto answer = QMessageBox::question(
        owner != nullptr ? owner : this, QStringLiteral("Korvane"),
        QStringLiteral("当前工程已修改，是否保存？"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return saveProject(owner);
    return answer == QMessageBox::Discard;
}

void ScheduleWindow::newProject(QWidget* owner) {
    if (!confirmDiscardProject(owner))
        return;
    session_.document().newProject();
    selectRow(0);
    showSchedule();
    showStatus(QStringLiteral("新建工程"));
}

QString ScheduleWindow::startFolder() const {
    return session_.document().path().isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
               : QFileInfo(session_.document().path()).absolutePath();
}

void ScheduleWindow::openProject(QWidget* owner) {
    if (!confirmDiscardProject(owner))
        return;
    const QString path =
        QFileDialog::getOpenFileName(owner != nullptr ? owner : this, QStringLiteral("打开工程"),
                                     startFolder(), projectFilter());
    if (!path.isEmpty())
        openProjectPath(path);
}

bool ScheduleWindow::openProjectPath(const QString& path) {
    if (!session_.open(path)) {
        showStatus(QStringLiteral("未能打开 %1").arg(path));
        return false;
    }
    if (!selectFirstFeeder())
        selectRow(0);
    showSchedule();
    showStatus(QStringLiteral("已打开 %1").arg(path));
    return true;
}

bool ScheduleWindow::saveProject(QWidget* owner) {
    if (session_.document().path().isEmpty())
        return saveProjectAs(owner);
    if (!session_.document().save())
        return false;
    showStatus(QStringLiteral("已保存到 %1").arg(session_.document().path()));
    return true;
}

bool ScheduleWindow::saveProjectAs(QWidget* owner) {
    const QString start = session_.document().path().isEmpty()
                              ? startFolder() + QStringLiteral("/工程.kvp")
                              : session_.document().path();
    QString path = QFileDialog::getSaveFileName(
        owner != nullptr ? owner : this, QStringLiteral("工程另存为"), start, projectFilter());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".kvp");
    if (!session_.document().saveAs(path))
        return false;
    showStatus(QStringLiteral("已保存到 %1").arg(path));
    return true;
}

void ScheduleWindow::fillRecentMenu(QMenu* menu, QWidget* owner) {
    menu->clear();
    const QStringList recent = session_.document().recentProjects();
    for (const QString& path : recent) {
        menu->addAction(QFileInfo(path).fileName(), owner,
                        [this, owner, path] {
                            if (confirmDiscardProject(owner))
                                openProjectPath(path);
                        })
            ->setToolTip(path);
    }
    if (recent.isEmpty())
        menu->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

void ScheduleWindow::closeEvent(QCloseEvent* event) {
    // The project lives as long as the main window; this window only goes out of sight.
    event->accept();
    hide();
}

// ---- The supply ----

void ScheduleWindow::commitSupplyField(int field, const QString& text) {
    if (text == session_.supply().supplyField(field).text)
        return;
    if (const std::optional<QString> reason = session_.supply().setSupplyField(field, text)) {
        showStatus(*reason);
        refreshSupply();
    }
}

void ScheduleWindow::refreshSupply() {
    for (int field = 0; field < int(supplyEditors_.size()); ++field) {
        const SupplyFieldView view = session_.supply().supplyField(field);
        QWidget* editor = supplyEditors_[size_t(field)];
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QSignalBlocker quiet(combo);
            if (combo->count() != view.choices.size() || [&] {
                    for (int i = 0; i < combo->count(); ++i) {
                        if (combo->itemText(i) != view.choices.at(i))
                            return true;
                    }
                    return false;
                }()) {
                combo->clear();
                combo->addItems(view.choices);
            }
            combo->setCurrentIndex(combo->findText(view.text));
        } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            const QSignalBlocker quiet(edit);
            edit->setText(view.text);
            edit->setCursorPosition(0);
        }
    }
}

// ---- The schedule ----

void ScheduleWindow::showStatus(const QString& message) {
    statusBar()->showMessage(message, kMessageMs);
}

void ScheduleWindow::cellRefused(const QModelIndex& index, const QString& reason) {
    showStatus(reason);
    if (isVisible()) {
        // Beside the cell, in the part of the table that shows it.
        QTableView* view = table_->isFrozen(index.column()) ? table_->frozenBlock()
                                                            : static_cast<QTableView*>(table_);
        const QRect cell = view->visualRect(index);
        QToolTip::showText(view->viewport()->mapToGlobal(cell.bottomLeft()), reason,
                           view->viewport(), cell, kMessageMs);
    }
}

void ScheduleWindow::scheduleChanged(const ScheduleChange& change) {
    if (change.kind == ScheduleChange::Kind::Reset) {
        // Another project, or other result columns: the block finds its columns again.
        table_->setFrozenColumns(keyColumns(session_));
        fitColumns();
    }
    table_->refreshFrozenColumns();
    // The current row follows a moved row and falls away with a removed one; the plot follows it.
    showRow(table_->currentIndex().row());
}

void ScheduleWindow::fitColumns() {
    table_->fitColumnsToContents(kWidestColumn);
}

int ScheduleWindow::currentRow() const {
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::vector<int> ScheduleWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ScheduleWindow::selectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        showRow(currentRow());
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    table_->scrollTo(index);
    showRow(row);
}

bool ScheduleWindow::selectFirstFeeder() {
    for (int row = 0; row < session_.state().rowCount(); ++row) {
        if (session_.state().isFeeder(row)) {
            selectRow(row);
            return true;
        }
    }
    return false;
}

void ScheduleWindow::addRow(bool feeder) {
    const int row =
        feeder ? session_.schedule().addFeederCircuit() : session_.schedule().addLoadCaseCircuit();
    selectRow(row);
    showStatus(
        QStringLiteral("已添加 %1").arg(session_.state().project().circuits.at(size_t(row)).id));
}

void ScheduleWindow::duplicateRow() {
    const int row = currentRow();
    if (row < 0) {
        showStatus(QStringLiteral("请先选择要复制的回路"));
        return;
    }
    selectRow(session_.schedule().duplicateRow(row));
}

void ScheduleWindow::removeRows() {
    std::vector<int> rows = selectedRows();
    if (rows.empty() && currentRow() >= 0)
        rows.push_back(currentRow());
    if (rows.empty()) {
        showStatus(QStringLiteral("请先选择要删除的回路"));
        return;
    }
    const int next = rows.front();
    const size_t count = rows.size();
    session_.schedule().removeRows(std::move(rows));
    selectRow(std::min(next, session_.state().rowCount() - 1));
    showStatus(QStringLiteral("已删除 %1 个回路").arg(count));
}

void ScheduleWindow::moveRow(bool up) {
    const int row = currentRow();
    if (row < 0)
        return;
    const int column = table_->currentIndex().column();
    if (!(up ? session_.schedule().moveRowUp(row) : session_.schedule().moveRowDown(row)))
        return;
    const QModelIndex moved = model_->index(up ? row - 1 : row + 1, column);
    table_->selectionModel()->setCurrentIndex(moved, QItemSelectionModel::ClearAndSelect);
    showRow(moved.row());
}

QWidget* ScheduleWindow::feederPane() const {
    return lower_;
}

void ScheduleWindow::showRow(int row) {
    plot_->setRow(row);
    poles_->setRow(row);
    // A load case has no poles: the plot takes the width and says why it shows nothing.
    poles_->setVisible(session_.state().isFeeder(row));
}

void ScheduleWindow::balancePhases() {
    const PhaseBalanceProposal proposal = session_.proposals().proposePhaseBalance(currentRow());
    if (!proposal.proposal) {
        showStatus(proposal.proposal.reason());
        QMessageBox::information(this, QStringLiteral("相序平衡"), proposal.proposal.reason());
        return;
    }
    PhaseBalanceDialog dialog(proposal, this);
    if (dialog.exec() != QDialog::Accepted) {
        showStatus(QStringLiteral("相别未改"));
        return;
    }
    if (session_.proposals().acceptPhaseBalance(proposal))
        showStatus(QStringLiteral("已按建议调整 %1 的相别（%2 根杆）")
                       .arg(proposal.id)
                       .arg(proposal.proposal->polesMoved));
    else
        showStatus(QStringLiteral("%1 已在建议后修改，相别未改").arg(proposal.id));
}

void ScheduleWindow::importPoleList() {
    const int row = currentRow();
    if (!session_.state().isFeeder(row)) {
        showStatus(QStringLiteral("请先选择要导入杆位表的路灯馈线"));
        return;
    }
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("导入杆位表"), startFolder(),
        QStringLiteral("杆位表 (*.xlsx *.csv);;Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (session_.poles().importPoleListFile(row, path)) {
        poles_->selectPole(0);
        showStatus(QStringLiteral("已导入 %1").arg(path));
    }
}

// ---- The distribution system diagram ----

void ScheduleWindow::showDiagram() {
    if (diagram_ == nullptr) {
        // A window of its own that goes with this one; the project is the session's.
        diagram_ = new DiagramView(
            session_, [this] { return app_.platform().now().date(); },
            [this] { exportDiagram(diagram_); }, this);
        diagram_->resize(diagram_->size().boundedTo(screenArea().size() - kWindowFrame));
    }
    diagram_->show();
    diagram_->raise();
    diagram_->activateWindow();
}

void ScheduleWindow::exportDiagram(QWidget* owner) {
    const QString name = session_.document().path().isEmpty()
                             ? QStringLiteral("配电系统图")
                             : QFileInfo(session_.document().path()).completeBaseName() +
                                   QStringLiteral("-配电系统图");
    const QString dxf = QStringLiteral("DXF 图形 (*.dxf)");
    const QString svg = QStringLiteral("SVG 图形 (*.svg)");
    const QString pdf = QStringLiteral("PDF 文件 (*.pdf)");
    QString filter = dxf;
    QString path = QFileDialog::getSaveFileName(
        owner != nullptr ? owner : this, QStringLiteral("导出配电系统图"),
        startFolder() + u'/' + name + QStringLiteral(".dxf"), QStringList{dxf, svg, pdf}.join(";;"),
        &filter);
    if (path.isEmpty())
        return;
    // A name typed without a suffix takes the chosen filter's.
    if (QFileInfo(path).suffix().isEmpty())
        path += filter == svg   ? QStringLiteral(".svg")
                : filter == pdf ? QStringLiteral(".pdf")
                                : QStringLiteral(".dxf");
    writeDiagram(path);
}

bool ScheduleWindow::writeDiagram(const QString& path) {
    const QString why =
        render::writeDiagramFile(session_.state().run(), path, app_.platform().now().date());
    if (!why.isEmpty()) {
        app_.platform().messageBox(MessageIcon::Critical, QStringLiteral("导出配电系统图"),
                                   QStringLiteral("配电系统图未能写入 %1：%2").arg(path, why));
        return false;
    }
    const QString written = QStringLiteral("已写入 %1").arg(path);
    showStatus(written);
    if (diagram_ != nullptr)
        diagram_->statusBar()->showMessage(written, kMessageMs);
    return true;
}

void ScheduleWindow::adjustSections() {
    std::vector<SizingProposal> proposals = session_.proposals().proposeSizing(selectedRows());
    if (proposals.empty()) {
        showStatus(QStringLiteral("没有可调整截面的回路"));
        return;
    }
    SizingDialog dialog(std::move(proposals), this);
    if (dialog.exec() != QDialog::Accepted) {
        showStatus(QStringLiteral("截面未改"));
        return;
    }
    const int applied = session_.proposals().acceptSizing(dialog.checkedProposals());
    showStatus(QStringLiteral("已按建议修改 %1 个回路的截面").arg(applied));
}

void ScheduleWindow::sendToPages() {
    const int row = currentRow();
    if (row < 0) {
        showStatus(QStringLiteral("请先选择要发送的回路"));
        return;
    }
    if (!sendCircuitToPages(app_, session_, row))
        return;
    showStatus(QStringLiteral("已把 %1 发送到计算页")
                   .arg(session_.state().project().circuits.at(size_t(row)).id));
    if (mainWindow_) {
        mainWindow_->show();
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
}

void ScheduleWindow::takeFromPages() {
    const int row = takeCircuitFromPages(app_, session_);
    if (row < 0)
        return;
    selectRow(row);
    showStatus(QStringLiteral("已从计算页取回为 %1")
                   .arg(session_.state().project().circuits.at(size_t(row)).id));
}

void ScheduleWindow::importSchedule() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("导入回路表"), startFolder(),
        QStringLiteral("回路表 (*.xlsx *.csv);;Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    ImportMode mode = ImportMode::Replace;
    if (session_.state().rowCount() > 0) {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("导入回路表"),
                        QStringLiteral("导入的回路替换现有的 %1 个回路，还是追加在其后？")
                            .arg(session_.state().rowCount()),
                        QMessageBox::NoButton, this);
        QPushButton* replace = ask.addButton(QStringLiteral("替换"), QMessageBox::AcceptRole);
        QPushButton* append = ask.addButton(QStringLiteral("追加"), QMessageBox::AcceptRole);
        ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        ask.setDefaultButton(append);
        ask.exec();
        if (ask.clickedButton() == replace)
            mode = ImportMode::Replace;
        else if (ask.clickedButton() == append)
            mode = ImportMode::Append;
        else
            return;
    }
    const int before = session_.state().rowCount();
    if (!session_.schedule().importCircuits(path, mode))
        return;
    selectRow(mode == ImportMode::Append ? before : 0);
    showStatus(QStringLiteral("已导入 %1").arg(path));
}

void ScheduleWindow::exportTemplate() {
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("导出导入模板"), startFolder() + QStringLiteral("/回路表导入模板.csv"),
        QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    if (session_.document().writeImportTemplate(path))
        showStatus(QStringLiteral("已写入 %1").arg(path));
}

void ScheduleWindow::exportXlsx() {
    const QString name = session_.document().path().isEmpty()
                             ? QStringLiteral("回路表")
                             : QFileInfo(session_.document().path()).completeBaseName();
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("导出 .xlsx"), startFolder() + u'/' + name + QStringLiteral(".xlsx"),
        QStringLiteral("Excel 工作簿 (*.xlsx)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    if (session_.document().exportXlsx(path))
        showStatus(QStringLiteral("已写入 %1").arg(path));
}

void ScheduleWindow::writeBook(bool pdf) {
    const QString title = QString::fromUtf8(kProjectBookTitle);
    const render::BookFormat format = pdf ? render::BookFormat::Pdf : render::BookFormat::Docx;
    const QString suffix = render::bookSuffix(format);
    app_.platform().longActionStarted(QStringLiteral("正在写入%1…").arg(title));
    const QDateTime at = app_.platform().now();
    // The book shows the sizing decisions the engineer accepted, as korvane-cli --size does.
    const Computed<QByteArray> package =
        render::projectBookFile(session_.proposals().runWithSizing(), format, at.date());
    const QString folder = booksFolderOf(app_);
    const SavedBook saved =
        package ? saveBook(*package, folder, title, at, suffix)
                : SavedBook{false, QDir(folder).filePath(bookFileName(title, at, 1, suffix))};
    announceBook(app_, saved);
}

} // namespace korvane::gui
