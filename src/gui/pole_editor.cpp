#include "gui/pole_editor.h"

#include "gui/pole_model.h"
#include "gui/schedule_model.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

namespace korvane::gui {

PoleEditor::PoleEditor(ProjectSession& session, QWidget* parent)
    : QWidget(parent), session_(session),
      model_(new PoleModel(session.state(), session.poles(), this)), table_(new QTableView),
      note_(new QLabel), bar_(new QToolBar(QStringLiteral("杆位表"))) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QToolBar* bar = bar_;
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->setIconSize(QSize(1, 1));
    const struct {
        Command command;
        const char* text;
        const char* tip;
    } entries[] = {
        {Command::InsertPole, "插入杆", "在所选杆之后插入一根杆（杆距待填写）"},
        {Command::DeletePole, "删除杆", "删除所选杆；有支线引出的杆不能删除"},
        {Command::StartBranch, "新建支线", "从所选杆引出一条支线"},
        {Command::DeleteBranch, "删除支线", "删除所选杆所在的支线"},
        {Command::Convert, "转为杆位表", "把等距布置的馈线转为逐杆的杆位表，以便编辑各杆"},
        {Command::Balance, "相序平衡…", "为未固定相别的杆建议相别"},
        {Command::Import, "导入杆位表…", "从文件读入所选馈线的杆位表"},
    };
    for (const auto& e : entries) {
        QAction* a = bar->addAction(QString::fromUtf8(e.text));
        a->setStatusTip(QString::fromUtf8(e.tip));
        a->setToolTip(QString::fromUtf8(e.tip));
        const Command command = e.command;
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
        actions_.push_back(a);
        if (command == Command::DeleteBranch)
            bar->addSeparator();
    }
    layout->addWidget(bar);
    note_->setWordWrap(true);
    note_->setStyleSheet(QStringLiteral("color: #606060;"));
    layout->addWidget(note_);

    table_->setModel(model_);
    table_->setItemDelegate(new ScheduleDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setDefaultSectionSize(table_->fontMetrics().averageCharWidth() *
                                                      11);
    layout->addWidget(table_, 1);
    model_->refused = [this](const QModelIndex& index, const QString& reason) {
        if (status)
            status(reason);
        if (isVisible()) {
            const QRect cell = table_->visualRect(index);
            QToolTip::showText(table_->viewport()->mapToGlobal(cell.bottomLeft()), reason,
                               table_->viewport(), cell, 8000);
        }
    };
    // Each edit reads the list again: the current cell stays where it was, on the same feeder.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = table_->currentIndex();
        kept_ = {model_->row(), current.row(), current.column()};
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (kept_.feeder != model_->row() || kept_.pole < 0 || model_->rowCount() == 0)
            return;
        const QModelIndex index =
            model_->index(std::min(kept_.pole, model_->rowCount() - 1), kept_.column);
        table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    });
    scheduleConnection_ =
        session_.state().scheduleChanged.connection([this](const ScheduleChange&) { refresh(); });
    refresh();
}

void PoleEditor::setRow(int row) {
    const bool another = row != model_->row();
    model_->setRow(row);
    refresh();
    // Columns as wide as their headers and the first rows' texts need (Qt looks at a limited
    // number of rows), for each feeder shown.
    if (another)
        table_->resizeColumnsToContents();
}

int PoleEditor::row() const {
    return model_->row();
}

int PoleEditor::currentPole() const {
    const QModelIndex current = table_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PoleEditor::selectPole(int poleRow) {
    if (poleRow < 0 || poleRow >= model_->rowCount())
        return;
    const int column = std::max(table_->currentIndex().column(), int(PoleColumn::Id));
    const QModelIndex index = model_->index(poleRow, column);
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    table_->scrollTo(index);
}

void PoleEditor::refresh() {
    const int row = model_->row();
    const bool list = session_.poles().hasPoleList(row);
    const bool feeder = session_.state().isFeeder(row);
    for (Command c :
         {Command::InsertPole, Command::DeletePole, Command::StartBranch, Command::DeleteBranch})
        action(c)->setEnabled(list);
    action(Command::Convert)->setEnabled(feeder && !list);
    action(Command::Balance)->setEnabled(feeder);
    action(Command::Import)->setEnabled(feeder);
    QString note;
    if (feeder && !list)
        note = QStringLiteral("等距布置的馈线，各杆由回路表给出；“转为杆位表”后可逐杆编辑、"
                              "增加支线。");
    else if (feeder && session_.state().feederResult(row) == nullptr)
        note = session_.state().rowPlotNote(row);
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

void PoleEditor::run(Command which) {
    const int row = model_->row();
    const int pole = currentPole();
    std::optional<QString> refused;
    int select = -1;
    switch (which) {
    case Command::InsertPole:
        refused = session_.poles().insertPole(row, pole);
        select = pole + 1;
        break;
    case Command::DeletePole:
        refused = session_.poles().deletePole(row, pole);
        select = std::min(pole, model_->rowCount() - 1);
        break;
    case Command::StartBranch:
        refused = session_.poles().startBranch(row, pole);
        select = model_->rowCount() - 1; // the branch's pole, at the end of the list
        break;
    case Command::DeleteBranch:
        refused = session_.poles().deleteBranch(row, pole);
        select = std::min(pole, model_->rowCount() - 1);
        break;
    case Command::Convert:
        refused = session_.poles().convertToPoleList(row);
        select = 0;
        if (!refused)
            table_->resizeColumnsToContents();
        break;
    case Command::Balance:
        if (balance)
            balance();
        return;
    case Command::Import:
        if (importList)
            importList();
        return;
    }
    if (refused) {
        if (status)
            status(*refused);
        return;
    }
    selectPole(select);
}

} // namespace korvane::gui
