// The 工程 menu and the circuit schedule window: rows, cells and the supply edited through the
// widgets and the model, the sizing dialog driven as the user drives it, the pages, and the
// feeder plot as painted.

#include "app/project_session.h"
#include "base/number_format.h"
#include "drawing/drawing.h"
#include "form/binding.h"
#include "gui/diagram_view.h"
#include "gui/feeder_plot_widget.h"
#include "gui/phase_balance_dialog.h"
#include "gui/pole_editor.h"
#include "gui/pole_model.h"
#include "gui/schedule_model.h"
#include "gui/schedule_window.h"
#include "gui/sizing_dialog.h"
#include "gui/started_window.h"
#include "pages/voltage_loss_fields.h"
#include "project/checks/circuit_context.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project/sizing.h"
#include "project_book/project_book.h"
#include "project_files/imports/xlsx_reader.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "render/book_pictures.h"
#include "render/feeder_plot_painter.h"
#include "render/project_outputs.h"
#include "reports/zip_reading.h"
#include "support/result_columns.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>

namespace korvane::testing {
namespace {

using gui::ScheduleWindow;
using Act = ScheduleWindow::Action;

// Runs `open` and hands the modal dialogs it brings up, one after the other, to `steps`; each
// step must close its dialog.
void whenModalsShow(const std::function<void()>& open,
                    std::vector<std::function<void(QWidget*)>> steps) {
    size_t next = 0;
    QPointer<QWidget> last;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == last.data() || next >= steps.size())
            return;
        last = modal;
        steps[next++](modal);
    });
    poll.start();
    // The guard against a dialog no step closes belongs to this call alone: a stray timer left
    // running would close a later test's dialog when the whole binary runs in one process.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(8000);
    open();
    EXPECT_EQ(next, steps.size()) << "fewer dialogs came up than expected";
}

// A file dialog's step: the file chosen and the dialog confirmed.
std::function<void(QWidget*)> chooseFile(const QString& path) {
    return [path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        // Typed as the user types it: the dialog's list of the folder may not be read yet.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

// A question's step: the button with that text pressed.
std::function<void(QWidget*)> press(const QString& text) {
    return [text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        box->reject();
    };
}

void answer(QWidget* modal, QMessageBox::StandardButton button) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(button)->click();
}

QStringList texts(const QList<QAction*>& actions) {
    QStringList list;
    for (const QAction* a : actions)
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

QMenu* menuOf(QMainWindow& window, const QString& title) {
    for (QAction* a : window.menuBar()->actions()) {
        if (a->text() == title)
            return a->menu();
    }
    ADD_FAILURE() << "no menu " << title.toStdString();
    return nullptr;
}

QAction* entry(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    ADD_FAILURE() << "no entry " << text.toStdString();
    return nullptr;
}

int pixelsNear(const QImage& image, const QColor& colour);

// The started program with its schedule window.
struct Schedule {
    // `remembered`: the preferences the project session keeps its recent projects in.
    explicit Schedule(Preferences* remembered = nullptr)
        : prepared((program.platform.remembered = remembered, true)) {}

    StartedWindow program;
    bool prepared; // the preferences are in place before the session is made
    ScheduleWindow& window = program.shell()->scheduleWindow();
    ProjectSession& session = window.session();
    gui::ScheduleModel& model = *window.model();

    int column(ScheduleColumn which) const {
        for (int c = 0; c < session.schedule().inputColumnCount(); ++c)
            if (session.schedule().columnHeader(c) == scheduleHeader(which))
                return c;
        ADD_FAILURE() << "no column " << scheduleHeader(which).toStdString();
        return 0;
    }
    int column(const QString& result) const {
        const int c = testing::resultColumn(session, result);
        if (c < 0)
            ADD_FAILURE() << "no result column " << result.toStdString();
        return c;
    }
    // The input or result column with this header.
    int headed(const QString& header) const {
        for (int c = 0; c < session.schedule().columnCount(); ++c)
            if (session.schedule().columnHeader(c) == header)
                return c;
        ADD_FAILURE() << "no column " << header.toStdString();
        return 0;
    }
    QModelIndex at(int row, ScheduleColumn which) const { return model.index(row, column(which)); }
    QModelIndex at(int row, const QString& result) const {
        return model.index(row, column(result));
    }
    QString shown(const QModelIndex& index) const { return index.data().toString(); }
    QString id(int row) const { return shown(at(row, ScheduleColumn::Id)); }
    void trigger(Act which) {
        window.action(which)->trigger();
        QApplication::processEvents();
    }
    QString status() const { return window.statusBar()->currentMessage(); }
};

TEST(ScheduleWindow, TheProjectMenuSitsBetweenFileAndBooksAndShowsTheSchedule) {
    StartedWindow program;
    gui::MainShell* shell = program.shell();
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(texts(shell->menuBar()->actions()),
              (QStringList{QStringLiteral("文件(&F)"), QStringLiteral("工程(&P)"),
                           QStringLiteral("计算书(&B)")}));
    EXPECT_EQ(texts(menuOf(*shell, QStringLiteral("文件(&F)"))->actions()),
              (QStringList{QStringLiteral("新建(&N)"), QStringLiteral("打开(&O)…"),
                           QStringLiteral("保存(&S)"), QStringLiteral("另存为(&A)…"),
                           QStringLiteral("-"), QStringLiteral("工程信息(&I)…"),
                           QStringLiteral("-"), QStringLiteral("最近的文件(&R)"),
                           QStringLiteral("-"), QStringLiteral("退出(&X)")}))
        << "the 文件 menu stays as it was";
    QMenu* projects = menuOf(*shell, QStringLiteral("工程(&P)"));
    ASSERT_NE(projects, nullptr);
    EXPECT_EQ(texts(projects->actions()),
              (QStringList{QStringLiteral("新建工程(&N)"), QStringLiteral("打开工程(&O)…"),
                           QStringLiteral("保存工程(&S)"), QStringLiteral("工程另存为(&A)…"),
                           QStringLiteral("最近的工程(&R)"), QStringLiteral("-"),
                           QStringLiteral("回路表(&T)…"), QStringLiteral("配电系统图(&D)…"),
                           QStringLiteral("导出配电系统图(&X)…")}));
    EXPECT_FALSE(shell->hasScheduleWindow()) << "no project is made before it is asked for";

    entry(projects, QStringLiteral("回路表(&T)…"))->trigger();
    ASSERT_TRUE(shell->hasScheduleWindow());
    ScheduleWindow& window = shell->scheduleWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("未命名工程 - 回路表"));
    EXPECT_EQ(window.model()->rowCount(), 1) << "a new project has its example circuit";

    // Closing only hides it; the project stays with the main window.
    window.action(Act::AddFeeder)->trigger();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("未命名工程* - 回路表"));
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(&shell->scheduleWindow(), &window);
    EXPECT_EQ(window.session().state().rowCount(), 2);
}

TEST(ScheduleWindow, RowsAreAddedCopiedRemovedAndMovedThroughTheActions) {
    Schedule f;
    f.trigger(Act::AddLoadCase);
    f.trigger(Act::AddFeeder);
    ASSERT_EQ(f.model.rowCount(), 3);
    EXPECT_EQ(f.id(1), QStringLiteral("WL2"));
    EXPECT_EQ(f.id(2), QStringLiteral("WL3"));
    EXPECT_EQ(f.window.currentRow(), 2) << "the new row is the current one";
    EXPECT_EQ(f.shown(f.at(2, ScheduleColumn::LoadKind)), loadKindText(true));
    EXPECT_EQ(f.shown(f.at(1, ScheduleColumn::LoadKind)), loadKindText(false));

    f.trigger(Act::Duplicate);
    ASSERT_EQ(f.model.rowCount(), 4);
    EXPECT_EQ(f.id(3), QStringLiteral("WL4"));
    EXPECT_EQ(f.shown(f.at(3, ScheduleColumn::Poles)), f.shown(f.at(2, ScheduleColumn::Poles)));

    // Up and down move the current row and keep it current; nothing moves past the ends.
    f.window.selectRow(3);
    f.trigger(Act::MoveUp);
    EXPECT_EQ(f.id(2), QStringLiteral("WL4"));
    EXPECT_EQ(f.id(3), QStringLiteral("WL3"));
    EXPECT_EQ(f.window.currentRow(), 2);
    f.trigger(Act::MoveDown);
    f.trigger(Act::MoveDown);
    EXPECT_EQ(f.id(3), QStringLiteral("WL4"));
    EXPECT_EQ(f.window.currentRow(), 3);
    f.window.selectRow(0);
    f.trigger(Act::MoveUp);
    EXPECT_EQ(f.id(0), QStringLiteral("WL1"));

    // The rows selected by their headers go; without such a selection, the current one.
    f.window.table()->selectRow(1);
    f.window.table()->selectionModel()->select(f.model.index(3, 0), QItemSelectionModel::Select |
                                                                        QItemSelectionModel::Rows);
    ASSERT_EQ(f.window.selectedRows(), (std::vector<int>{1, 3}));
    f.trigger(Act::Remove);
    ASSERT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.id(0), QStringLiteral("WL1"));
    EXPECT_EQ(f.id(1), QStringLiteral("WL3"));
    f.window.table()->clearSelection();
    f.window.table()->setCurrentIndex(f.model.index(0, 2));
    f.trigger(Act::Remove);
    ASSERT_EQ(f.model.rowCount(), 1);
    EXPECT_EQ(f.id(0), QStringLiteral("WL3"));
}

// The keys of the row actions and of the project file work in the schedule window; the main
// window keeps Ctrl+S for its calculation.
TEST(ScheduleWindow, KeysDriveTheRowActionsAndTheProjectFile) {
    Schedule f;
    f.window.showSchedule();
    QApplication::processEvents();
    f.window.activateWindow();
    QApplication::setActiveWindow(&f.window);
    auto press = [&f](int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(f.window.table(), Qt::Key(key), modifiers);
        QApplication::processEvents();
    };
    f.window.selectRow(0);
    press(Qt::Key_D, Qt::ControlModifier);
    ASSERT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.id(1), QStringLiteral("WL2"));
    f.window.selectRow(1);
    press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(f.id(0), QStringLiteral("WL2"));
    press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(f.id(1), QStringLiteral("WL2"));
    press(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(f.model.rowCount(), 1);
    EXPECT_EQ(f.id(0), QStringLiteral("WL1"));

    EXPECT_EQ(f.window.menuBar()->actions().value(0)->menu()->actions().value(2)->shortcut(),
              QKeySequence(QKeySequence::Save));
    for (QAction* menu : f.program.shell()->menuBar()->actions()) {
        if (menu->text() != QStringLiteral("工程(&P)"))
            continue;
        for (QAction* entry : menu->menu()->actions())
            EXPECT_TRUE(entry->shortcut().isEmpty()) << entry->text().toStdString();
    }
}

// A column added to the result schema reaches every output with no change of theirs: the
// schedule window's model, the .xlsx workbook, korvane-cli's table and the book's circuit table,
// each with the column's header and its figure to the column's decimals.
TEST(ScheduleWindow, AColumnAddedToTheResultSchemaReachesEveryOutput) {
    Schedule f;
    ResultSchema extended = projectResultSchema();
    SchemaColumn extra;
    extra.header = QStringLiteral("L(km)");
    extra.decimals = 3;
    extra.bookWidthMm = 9.0;
    extra.read = [](const ProjectCircuit&, const CircuitResult& r) {
        return r.lineLengthKm ? ResultValue{*r.lineLengthKm, {}}
                              : ResultValue{{}, r.lineLengthKm.reason()};
    };
    const size_t at = extended.columns.size() - 1; // before the verdict
    extended.columns.insert(extended.columns.begin() + qsizetype(at), extra);
    const ProjectRun& run = f.session.state().run();
    ASSERT_FALSE(run.results.empty());
    ASSERT_TRUE(run.results.front().lineLengthKm.ok());
    const double km = *run.results.front().lineLengthKm;
    RegionalFormat plain;
    plain.groupSign = QChar();
    plain.groupSize = 0;

    // The window.
    f.session.state().useResultSchema(extended);
    const int windowColumn = f.session.schedule().inputColumnCount() + int(at);
    EXPECT_EQ(f.model.columnCount(),
              f.session.schedule().inputColumnCount() + int(extended.columns.size()));
    EXPECT_EQ(f.model.headerData(windowColumn, Qt::Horizontal).toString(), extra.header);
    EXPECT_EQ(f.shown(f.model.index(0, windowColumn)), formatFixed(km, 3));
    EXPECT_EQ(f.model.headerData(windowColumn + 1, Qt::Horizontal).toString(), u"结论"_qs);

    // korvane-cli's table: 回路, 截面 and the schema.
    const QStringList cli = projectResultsText(run, extended).split(u'\n');
    ASSERT_GE(cli.size(), 2);
    EXPECT_EQ(cli[0].split(u'\t').value(2 + qsizetype(at)), extra.header);
    EXPECT_EQ(cli[1].split(u'\t').value(2 + qsizetype(at)), formatFixed(km, 3, plain));

    // The .xlsx, read back by the program's own reader.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("extended.xlsx"));
    ASSERT_EQ(writeScheduleXlsx(run, path, extended), QString());
    const SheetGrid sheet = readXlsxSheet(path, QStringLiteral("回路表"));
    ASSERT_EQ(sheet.error, QString());
    ASSERT_GE(sheet.rows.size(), 2u);
    const size_t xlsxColumn = scheduleInputColumns().size() + at;
    EXPECT_EQ(scheduleCellText(sheet.rows[0].at(xlsxColumn)), extra.header);
    ASSERT_TRUE(std::holds_alternative<double>(sheet.rows[1].at(xlsxColumn)));
    EXPECT_DOUBLE_EQ(std::get<double>(sheet.rows[1].at(xlsxColumn)), km);

    // The book's circuit table: 回路编号, 电缆, 负荷 and the schema's columns with a book width.
    const ReportTable table = projectCircuitTable(run, extended);
    qsizetype bookColumn = -1;
    for (size_t c = 0; c < table.rows.front().size(); ++c)
        if (table.rows.front()[c].text == u"L\r(km)"_qs)
            bookColumn = qsizetype(c);
    ASSERT_GE(bookColumn, 3);
    EXPECT_EQ(table.columnWidthsMm.at(size_t(bookColumn)), 9.0);
    EXPECT_EQ(table.rows.at(1).at(size_t(bookColumn)).text, formatFixed(km, 3));

    f.session.state().useResultSchema(projectResultSchema()); // the extended one ends with the test
}

// A check added to a registry in a test, with no schema row and no change of any output: the
// window's verdict and its tip, korvane-cli's table and notes, the .xlsx's verdict and its
// comment, the book's 【保护校验】 and notes all state it, and sizing rules a section out on it.
// The check fails every circuit with I″k1 above 0.1 kA at the line's end ("I″k1 = … kA > 0.1 kA").
TEST(ScheduleWindow, ACheckAddedToTheRegistryReachesEveryOutput) {
    Schedule f;
    static const CircuitCheck kTrial{"trial", "试验校验"};
    CheckRegistry extended = projectChecks();
    CheckUnit trial{kTrial, true, true, nullptr};
    trial.judge = [](const CircuitContext& c) {
        const double ik1 = c.figures().shortCircuit->ik1;
        const CheckStatement s = compare(figure(u"I″k1"_qs, ik1, u"kA"_qs, FigureDigits::fixed(2)),
                                         ik1 > 0.1 ? Relation::Above : Relation::AtMost,
                                         figure({}, 0.1, u"kA"_qs, FigureDigits::shortest()));
        return ik1 > 0.1 ? CheckOutcome::fail({s}) : CheckOutcome::pass({s});
    };
    extended.push_back(trial);
    f.session.state().useCheckRegistry(extended);
    const ProjectRun& run = f.session.state().run();
    ASSERT_FALSE(run.results.empty());
    const ProjectCircuit& circuit = run.project.circuits.front();
    const CircuitResult& r = run.results.front();
    ASSERT_TRUE(r.shortCircuit.ok());
    ASSERT_GT(r.shortCircuit->ik1, 0.1) << "the example circuit's end sees more than 0.1 kA";
    const QString words =
        QStringLiteral("I″k1 = %1 kA > 0.1 kA").arg(formatFixed(r.shortCircuit->ik1, 2));
    const QString note = QStringLiteral("试验校验不通过：") + words;

    // The verdict and the notes.
    EXPECT_EQ(r.checks.back().first, kTrial);
    EXPECT_EQ(circuitVerdict(r), CircuitVerdict::Failed);
    EXPECT_TRUE(circuitNoteLines(r).contains(note))
        << circuitNoteLines(r).join(u'\n').toStdString();

    // The window: the verdict cell red, its tip the note.
    const QModelIndex verdict = f.model.index(0, f.column(u"结论"_qs));
    EXPECT_EQ(f.shown(verdict), u"不通过"_qs);
    EXPECT_TRUE(verdict.data(Qt::ToolTipRole).toString().contains(note));

    // korvane-cli's table and the notes under it.
    const QString cli = projectResultsText(run);
    EXPECT_TRUE(cli.contains(circuit.id + u' ' + note)) << cli.toStdString();

    // The .xlsx: the verdict, and the note in its comment.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trial.xlsx"));
    ASSERT_EQ(writeScheduleXlsx(run, path), QString());
    const SheetGrid sheet = readXlsxSheet(path, QStringLiteral("回路表"));
    ASSERT_EQ(sheet.error, QString());
    ASSERT_GE(sheet.rows.size(), 2u);
    const size_t overall = scheduleInputColumns().size() + projectResultSchema().columns.size() - 1;
    EXPECT_EQ(scheduleCellText(sheet.rows[1].at(overall)), u"不通过"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray package = file.readAll();
    bool commented = false;
    for (const QString& entry : zipEntryNames(package).value_or(QStringList{}))
        if (entry.contains(u"comments"))
            commented = commented || QString::fromUtf8(
                                         zipEntry(package, entry.toUtf8().constData()).value_or(""))
                                         .contains(u"试验校验不通过：I″k1 = "_qs);
    EXPECT_TRUE(commented);

    // The book: stated with its figures after the six checks with a process text, and in the
    // notes under the circuit table.
    const std::optional<ReportDocument> book =
        projectBookDocument(run, QDate(2026, 12, 10), {}, {});
    ASSERT_TRUE(book.has_value());
    QStringList lines;
    for (const ReportParagraph& p : book->paragraphs())
        lines << p.text();
    const qsizetype numbered = lines.indexOf(QStringLiteral(" 7、试验校验："));
    ASSERT_GE(numbered, 0) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.value(numbered + 1), QStringLiteral("   试验校验：不通过（%1）").arg(words));
    EXPECT_TRUE(lines.contains(u' ' + circuit.id + u' ' + note));

    // Sizing: a check that stops on failure rules out every section of the example feeder's
    // cable type, whose end current only grows with the section.
    const SizingResult sized =
        sizeCircuit(run.project, circuit, f.session.state().cables(), extended);
    EXPECT_FALSE(sized.chosen.has_value());
    const SizingCandidate* largest = nullptr; // the largest the handbook tables can check
    for (const SizingCandidate& candidate : sized.candidates)
        if (candidate.notChecked.isEmpty())
            largest = &candidate;
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->failed, std::optional<CircuitCheck>(kTrial))
        << largest->failedText.toStdString();

    f.session.state().useCheckRegistry(projectChecks()); // the extended one ends with the test
}

TEST(ScheduleWindow, AnEditedCellRecomputesAndARefusedTextKeepsTheValue) {
    Schedule f;
    const QModelIndex load = f.at(0, ScheduleColumn::Load);
    const QModelIndex loss = f.at(0, ResultColumn::LossPercent);
    ASSERT_TRUE(f.model.flags(load) & Qt::ItemIsEditable);
    EXPECT_FALSE(f.model.flags(loss) & Qt::ItemIsEditable) << "results are not edited";
    EXPECT_FALSE(f.model.flags(f.at(0, ScheduleColumn::Poles)) & Qt::ItemIsEditable)
        << "a feeder column of a load case";
    const double before = *readStrict(f.shown(loss));

    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(f.model.setData(load, QStringLiteral("60")));
    EXPECT_EQ(f.shown(load), QStringLiteral("60"));
    EXPECT_NEAR(*readStrict(f.shown(loss)), 2.0 * before, 2e-4) << "twice the current";
    ASSERT_GE(changed.count(), 1);
    EXPECT_EQ(changed.last().at(1).toModelIndex().column(), f.model.columnCount() - 1)
        << "the results of the row are announced with it";

    // A line far too long: the voltage loss fails, red on light red with its figures.
    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::LoadDistanceKm), QStringLiteral("3")));
    const QModelIndex verdict = f.at(0, ResultColumn::Verdict);
    EXPECT_EQ(f.shown(verdict), QStringLiteral("不通过"));
    EXPECT_EQ(verdict.data(Qt::ForegroundRole).value<QColor>(), gui::ScheduleModel::failedText());
    EXPECT_EQ(verdict.data(Qt::BackgroundRole).value<QColor>(),
              gui::ScheduleModel::failedBackground());
    EXPECT_EQ(verdict.data(Qt::ToolTipRole).toString(),
              f.session.state().result(0).check(CircuitCheck::VoltageLoss).text());
    EXPECT_FALSE(load.data(Qt::BackgroundRole).isValid()) << "an input is drawn plainly";

    const QModelIndex r = f.at(0, ScheduleColumn::ResistanceOhmPerKm);
    const QString kept = f.shown(r);
    const QByteArray project = projectToJson(f.session.state().project());
    EXPECT_FALSE(f.model.setData(r, QStringLiteral("0.5欧")));
    EXPECT_EQ(f.shown(r), kept);
    EXPECT_EQ(projectToJson(f.session.state().project()), project);
    EXPECT_TRUE(f.status().contains(scheduleHeader(ScheduleColumn::ResistanceOhmPerKm)))
        << f.status().toStdString();
}

TEST(ScheduleWindow, AChoiceCellIsEditedInAComboBoxOfItsChoices) {
    Schedule f;
    f.window.showSchedule();
    const QModelIndex mode = f.at(0, ScheduleColumn::ProtectionMode);
    const QStringList choices = mode.data(gui::ScheduleModel::ChoicesRole).toStringList();
    ASSERT_EQ(choices.size(), 2);
    const QString other = choices.at(0) == f.shown(mode) ? choices.at(1) : choices.at(0);

    f.window.table()->setCurrentIndex(mode);
    f.window.table()->edit(mode);
    QApplication::processEvents();
    auto* combo = f.window.table()->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items, choices);
    EXPECT_EQ(combo->currentText(), f.shown(mode));
    combo->setCurrentIndex(combo->findText(other));
    emit combo->activated(combo->currentIndex());
    QApplication::processEvents();
    EXPECT_EQ(f.shown(mode), other) << "picking the item is the edit";
    EXPECT_EQ(scheduleCell(f.session.state().project().circuits[0], ScheduleColumn::ProtectionMode),
              ScheduleCell(other));

    // Free text is edited in a line edit.
    const QModelIndex description = f.at(0, ScheduleColumn::Description);
    f.window.table()->setCurrentIndex(description);
    f.window.table()->edit(description);
    QApplication::processEvents();
    EXPECT_NE(f.window.table()->viewport()->findChild<QLineEdit*>(), nullptr);
}

TEST(ScheduleWindow, ASupplyFieldTakesANumberAndRestoresWhatItRefuses) {
    Schedule f;
    int capacity = -1;
    for (int i = 0; i < f.session.supply().supplyFieldCount(); ++i) {
        auto* edit = qobject_cast<QLineEdit*>(f.window.supplyEditor(i));
        EXPECT_EQ(edit != nullptr, f.session.supply().supplyField(i).choices.isEmpty()) << i;
        if (edit != nullptr && edit->text() == f.session.supply().supplyField(i).text &&
            capacity < 0)
            capacity = i;
    }
    ASSERT_EQ(capacity, int(SupplyFieldId::SystemCapacity));
    auto* edit = qobject_cast<QLineEdit*>(f.window.supplyEditor(capacity));
    const QString before = edit->text();
    const QString ik3 = f.shown(f.at(0, ResultColumn::ThreePhaseKa));

    edit->setText(QStringLiteral("很大"));
    emit edit->editingFinished();
    EXPECT_EQ(edit->text(), before);
    EXPECT_EQ(f.session.supply().supplyField(capacity).text, before);
    EXPECT_FALSE(f.status().isEmpty());

    edit->setText(QStringLiteral("10"));
    emit edit->editingFinished();
    EXPECT_EQ(f.session.supply().supplyField(capacity).text, QStringLiteral("10"));
    EXPECT_NE(f.shown(f.at(0, ResultColumn::ThreePhaseKa)), ik3)
        << "a weaker system gives less fault current";

    auto* transformer =
        qobject_cast<QComboBox*>(f.window.supplyEditor(int(SupplyFieldId::Transformer)));
    ASSERT_NE(transformer, nullptr);
    ASSERT_GT(transformer->count(), 1);
    EXPECT_EQ(transformer->currentText(), f.session.supply().supplyField(1).text);
    const int next = (transformer->currentIndex() + 1) % transformer->count();
    transformer->setCurrentIndex(next);
    emit transformer->activated(next);
    EXPECT_EQ(f.session.supply().supplyField(1).text, transformer->itemText(next));
}

// 60 A at 0.4 km fails the voltage loss of the example circuit on its 25 mm².
void overloadTheExample(Schedule& f) {
    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::Load), QStringLiteral("60")));
    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::LoadDistanceKm), QStringLiteral("0.4")));
    ASSERT_EQ(f.shown(f.at(0, ResultColumn::Overall)), QStringLiteral("不通过"));
}

TEST(ScheduleWindow, TheSizingDialogAppliesOnlyWhatIsAcceptedAndChecked) {
    Schedule f;
    f.window.showSchedule();
    overloadTheExample(f);
    const QString section = f.shown(f.at(0, ScheduleColumn::CrossSection));
    f.trigger(Act::AddFeeder);
    f.window.table()->clearSelection();

    // 取消: nothing changes.
    whenModalsShow([&] { f.trigger(Act::AdjustSections); }, {[&](QWidget* modal) {
                       auto* dialog = dynamic_cast<gui::SizingDialog*>(modal);
                       ASSERT_NE(dialog, nullptr);
                       ASSERT_EQ(dialog->proposals().size(), 2u) << "all rows, none selected";
                       EXPECT_TRUE(dialog->isChecked(0));
                       const QTableWidget* table = dialog->table();
                       EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("WL1"));
                       EXPECT_EQ(table->item(0, 1)->text(), section);
                       EXPECT_EQ(table->item(0, 2)->text(),
                                 *dialog->proposals()[0].proposedSection);
                       EXPECT_EQ(table->item(0, 3)->text(), checkName(CircuitCheck::VoltageLoss));
                       EXPECT_FALSE(table->item(0, 4)->text().isEmpty());
                       dialog->reject();
                   }});
    EXPECT_EQ(f.shown(f.at(0, ScheduleColumn::CrossSection)), section);

    // 接受 with the line unchecked: nothing changes either.
    f.window.table()->selectRow(0);
    whenModalsShow([&] { f.trigger(Act::AdjustSections); }, {[&](QWidget* modal) {
                       auto* dialog = dynamic_cast<gui::SizingDialog*>(modal);
                       ASSERT_NE(dialog, nullptr);
                       ASSERT_EQ(dialog->proposals().size(), 1u) << "the selected row only";
                       dialog->setChecked(0, false);
                       EXPECT_TRUE(dialog->checkedProposals().empty());
                       dialog->accept();
                   }});
    EXPECT_EQ(f.shown(f.at(0, ScheduleColumn::CrossSection)), section);

    QString proposed;
    whenModalsShow([&] { f.trigger(Act::AdjustSections); }, {[&](QWidget* modal) {
                       auto* dialog = dynamic_cast<gui::SizingDialog*>(modal);
                       ASSERT_NE(dialog, nullptr);
                       ASSERT_EQ(dialog->checkedProposals().size(), 1u);
                       proposed = *dialog->proposals()[0].proposedSection;
                       dialog->accept();
                   }});
    EXPECT_NE(proposed, section);
    EXPECT_EQ(f.shown(f.at(0, ScheduleColumn::CrossSection)), proposed);
    EXPECT_EQ(f.shown(f.at(0, ResultColumn::Overall)), QStringLiteral("通过"));
}

TEST(ScheduleWindow, ACircuitGoesToThePagesAndComesBackAsANewRow) {
    Schedule f;
    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::Load), QStringLiteral("42")));
    f.window.selectRow(0);
    f.trigger(Act::SendToPages);
    const Form& main = f.program.app.mainForm();
    EXPECT_EQ(boundText(main, voltageLossFields(), "voltageLoss.currentLoad.currentA"),
              QStringLiteral("42"));
    EXPECT_EQ(boundText(main, voltageLossFields(), "voltageLoss.cableCrossSectionMm2"),
              f.shown(f.at(0, ScheduleColumn::CrossSection)));
    EXPECT_TRUE(f.program.platform.messages.empty());

    f.trigger(Act::TakeFromPages);
    ASSERT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.id(1), QStringLiteral("WL2"));
    EXPECT_EQ(f.window.currentRow(), 1);
    for (ScheduleColumn c : {ScheduleColumn::CrossSection, ScheduleColumn::Load,
                             ScheduleColumn::LoadDistanceKm, ScheduleColumn::CableType})
        EXPECT_EQ(f.shown(f.at(1, c)), f.shown(f.at(0, c))) << scheduleHeader(c).toStdString();
    EXPECT_EQ(f.shown(f.at(1, ResultColumn::LossPercent)),
              f.shown(f.at(0, ResultColumn::LossPercent)));

    // A feeder has no load case on the pages: refused with a message, the pages kept.
    f.trigger(Act::AddFeeder);
    f.program.app.mainForm().text(QStringLiteral("Text4")).setText(QStringLiteral("7"));
    f.trigger(Act::SendToPages);
    EXPECT_EQ(boundText(main, voltageLossFields(), "voltageLoss.currentLoad.currentA"),
              QStringLiteral("7"));
    ASSERT_EQ(f.program.platform.messages.size(), 1u);
    EXPECT_TRUE(f.program.platform.messages[0].text.contains(QStringLiteral("路灯馈线")));
}

// The block at the left holds what tells a circuit and what decides it, found by the headers of
// the input columns and of the result schema: each column is shown once, in the block or in the
// scrolling part, and the block lies beside the scrolling columns, never over them.
TEST(ScheduleWindow, TheIdentifierSectionAndKeyResultsStayInSightWhenScrolledAcross) {
    Schedule f;
    f.window.showSchedule();
    f.window.fitInto(QRect(0, 0, 1366, 728));
    f.trigger(Act::AddFeeder);
    QApplication::processEvents();
    gui::ScheduleTable* table = f.window.table();
    QTableView* block = table->frozenBlock();
    EXPECT_EQ(block->selectionModel(), table->selectionModel()) << "one selection for both";
    const QStringList key = {scheduleHeader(ScheduleColumn::Id),
                             scheduleHeader(ScheduleColumn::CrossSection),
                             ResultColumn::LossPercent,
                             ResultColumn::LoadCurrent,
                             ResultColumn::ResidualBreaker,
                             QStringLiteral("Iz(A)"),
                             ResultColumn::Overall};
    QStringList inBlock;
    for (int c = 0; c < f.model.columnCount(); ++c) {
        EXPECT_NE(block->isColumnHidden(c), table->isColumnHidden(c)) << "shown once: " << c;
        if (!block->isColumnHidden(c))
            inBlock << f.session.schedule().columnHeader(c);
    }
    EXPECT_EQ(inBlock, key);

    QScrollBar* across = table->horizontalScrollBar();
    struct Place {
        const char* what;
        bool farRight;
    };
    for (const Place& place : {Place{"at the left edge", false}, Place{"far right", true}}) {
        SCOPED_TRACE(place.what);
        across->setValue(place.farRight ? across->maximum() : 0);
        QApplication::processEvents();
        EXPECT_FALSE(block->geometry().intersects(table->viewport()->geometry()))
            << "the block covers none of the scrolling columns";
        EXPECT_EQ(block->geometry().right() + 1, table->viewport()->geometry().left());
        for (const QString& header : key) {
            for (int row = 0; row < 2; ++row) {
                const QRect cell = block->visualRect(f.model.index(row, f.headed(header)));
                EXPECT_TRUE(block->viewport()->rect().contains(cell))
                    << header.toStdString() << " row " << row;
            }
        }
    }
    ASSERT_GT(across->maximum(), 0) << "the other columns scroll";
    across->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(table->visualRect(f.at(0, ScheduleColumn::Description)).left(), 0)
        << "the first scrolling column starts whole, right of the block";

    // Going to a row's identifier scrolls nothing across.
    across->setValue(across->maximum());
    const int scrolled = across->value();
    table->scrollTo(f.at(1, ScheduleColumn::Id));
    EXPECT_EQ(across->value(), scrolled);

    // A block column made wider widens the block, and the scrolling columns make way.
    const int blockWidth = block->width();
    const int firstScrolling = table->viewport()->geometry().left();
    block->setColumnWidth(f.column(ScheduleColumn::CrossSection),
                          block->columnWidth(f.column(ScheduleColumn::CrossSection)) + 40);
    QApplication::processEvents();
    EXPECT_EQ(block->width(), blockWidth + 40);
    EXPECT_EQ(table->viewport()->geometry().left(), firstScrolling + 40);

    // The arrow keys go on from one part into the other, as in one table.
    table->setCurrentIndex(f.at(0, ResultColumn::Overall));
    QTest::keyClick(block, Qt::Key_Right);
    EXPECT_EQ(table->currentIndex(), f.at(0, ScheduleColumn::Description));
    QTest::keyClick(table, Qt::Key_Left);
    EXPECT_EQ(table->currentIndex(), f.at(0, ResultColumn::Overall));
}

TEST(ScheduleWindow, TheScheduleIsExportedAndImportedAfterAskingHow) {
    QTemporaryDir dir;
    Schedule f;
    f.window.showSchedule();
    f.trigger(Act::AddFeeder);
    const QString xlsx = dir.filePath(QStringLiteral("回路表.xlsx"));
    whenModalsShow([&] { f.trigger(Act::ExportXlsx); }, {chooseFile(xlsx)});
    ASSERT_TRUE(QFileInfo::exists(xlsx));

    // The same identifiers cannot be appended: refused, nothing changed.
    whenModalsShow([&] { f.trigger(Act::Import); },
                   {chooseFile(xlsx), press(QStringLiteral("追加"))});
    EXPECT_EQ(f.model.rowCount(), 2);
    ASSERT_EQ(f.program.platform.messages.size(), 1u);
    EXPECT_TRUE(f.program.platform.messages[0].text.contains(QStringLiteral("WL1")));

    whenModalsShow([&] { f.trigger(Act::Import); },
                   {chooseFile(xlsx), press(QStringLiteral("取消"))});
    EXPECT_EQ(f.model.rowCount(), 2);

    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::Id), QStringLiteral("WL8")));
    ASSERT_TRUE(f.model.setData(f.at(1, ScheduleColumn::Id), QStringLiteral("WL9")));
    whenModalsShow([&] { f.trigger(Act::Import); },
                   {chooseFile(xlsx), press(QStringLiteral("追加"))});
    ASSERT_EQ(f.model.rowCount(), 4);
    EXPECT_EQ(f.id(2), QStringLiteral("WL1"));
    EXPECT_EQ(f.id(3), QStringLiteral("WL2"));
    EXPECT_EQ(f.shown(f.at(3, ResultColumn::LossPercent)),
              f.shown(f.at(1, ResultColumn::LossPercent)));
    EXPECT_EQ(f.window.currentRow(), 2) << "the first imported row";

    whenModalsShow([&] { f.trigger(Act::Import); },
                   {chooseFile(xlsx), press(QStringLiteral("替换"))});
    ASSERT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.id(0), QStringLiteral("WL1"));

    const QString csv = dir.filePath(QStringLiteral("模板"));
    whenModalsShow([&] { f.trigger(Act::ExportTemplate); }, {chooseFile(csv)});
    EXPECT_TRUE(QFileInfo::exists(csv + QStringLiteral(".csv"))) << "the suffix is added";
}

// Preferences held in memory for one test.
class MemoryPreferences : public Preferences {
public:
    QString value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QString& value) override { values[key] = value; }
    QMap<QString, QString> values;
};

TEST(ScheduleWindow, AProjectIsSavedAsAndReopenedFromTheProjectMenu) {
    QTemporaryDir dir;
    MemoryPreferences remembered;
    Schedule f(&remembered);
    QMenu* projects = menuOf(*f.program.shell(), QStringLiteral("工程(&P)"));
    ASSERT_NE(projects, nullptr);
    f.trigger(Act::AddFeeder);
    const QString path = dir.filePath(QStringLiteral("道路"));
    whenModalsShow([&] { entry(projects, QStringLiteral("保存工程(&S)"))->trigger(); },
                   {chooseFile(path)});
    EXPECT_EQ(f.session.document().path(),
              QFileInfo(path + QStringLiteral(".kvp")).absoluteFilePath());
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("道路.kvp - 回路表"));

    f.trigger(Act::Remove);
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("道路.kvp* - 回路表"));
    // Opening asks about the removal first; 不保存 leaves it and opens the file as saved.
    whenModalsShow([&] { entry(projects, QStringLiteral("打开工程(&O)…"))->trigger(); },
                   {[](QWidget* modal) { answer(modal, QMessageBox::Discard); },
                    chooseFile(path + QStringLiteral(".kvp"))});
    EXPECT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.window.windowTitle(), QStringLiteral("道路.kvp - 回路表"));

    // The file is in the recent projects of both windows' 工程 menus, and opens from there.
    f.session.document().newProject();
    for (QMainWindow* window :
         {static_cast<QMainWindow*>(f.program.shell()), static_cast<QMainWindow*>(&f.window)}) {
        QMenu* recent =
            entry(menuOf(*window, QStringLiteral("工程(&P)")), QStringLiteral("最近的工程(&R)"))
                ->menu();
        ASSERT_NE(recent, nullptr);
        emit recent->aboutToShow();
        ASSERT_EQ(texts(recent->actions()), QStringList{QStringLiteral("道路.kvp")});
    }
    QMenu* recent = entry(projects, QStringLiteral("最近的工程(&R)"))->menu();
    recent->actions().at(0)->trigger();
    EXPECT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.session.document().path(),
              QFileInfo(path + QStringLiteral(".kvp")).absoluteFilePath());
}

// The window takes the available area of the screen it opens on (1366×768 at 100 % and 125 %,
// 1920×1080 at 200 %, each less a 40 px task bar; a second screen right of a first), with room
// for its frame, and its status bar, where refused input is explained, is in the window.
TEST(ScheduleWindow, TheWindowFitsTheScreenWithItsStatusBarAndSupplyFields) {
    struct Screen {
        const char* what;
        QRect available; // in device-independent pixels
    };
    const Screen cases[] = {
        {"1366x768 at 100 %", {0, 0, 1366, 728}},
        {"1366x768 at 125 %", {0, 0, 1093, 582}},
        {"1920x1080 at 200 %", {0, 0, 960, 516}},
        {"1366x768 at 100 % right of a first screen", {1920, 0, 1366, 728}},
    };
    Schedule f;
    f.window.showSchedule();
    for (const Screen& c : cases) {
        SCOPED_TRACE(c.what);
        f.window.fitInto(c.available);
        QApplication::processEvents();
        const QRect placed = f.window.geometry();
        EXPECT_TRUE(c.available.contains(placed)) << "the window is larger than the screen";
        EXPECT_LE(placed.width() + 16, c.available.width());
        EXPECT_LE(placed.height() + 40, c.available.height());
        QStatusBar* bar = f.window.statusBar();
        ASSERT_TRUE(bar->isVisible());
        EXPECT_GT(bar->height(), 0);
        EXPECT_TRUE(f.window.rect().contains(QRect(bar->mapTo(&f.window, QPoint()), bar->size())));
        // Every supply field lies whole in the window, on as many lines as it takes.
        for (int field = 0; field < f.session.supply().supplyFieldCount(); ++field) {
            QWidget* editor = f.window.supplyEditor(field);
            EXPECT_TRUE(
                f.window.rect().contains(QRect(editor->mapTo(&f.window, QPoint()), editor->size())))
                << field;
        }
        // The schedule keeps room for rows, beside the plot.
        gui::ScheduleTable* table = f.window.table();
        EXPECT_GE(table->viewport()->height(), 2 * table->rowHeight(0));
    }
}

// The window opens where the engineer last left it (the preferences keep that), unless that
// place is off the screens now: then, as when nothing is remembered, over the screen's area.
TEST(ScheduleWindow, TheWindowOpensWhereItWasLastLeft) {
    MemoryPreferences remembered;
    QRect left;
    {
        Schedule f(&remembered);
        f.window.showSchedule();
        const QRect screen = f.window.screen()->availableGeometry();
        EXPECT_EQ(f.window.size(), screen.size() - QSize(16, 40)) << "nothing remembered yet";
        f.window.setGeometry(QRect(screen.topLeft() + QPoint(30, 40), QSize(500, 380)));
        QApplication::processEvents();
        left = f.window.geometry();
        f.window.close();
    }
    ASSERT_FALSE(remembered.values.value(QStringLiteral("scheduleWindow/geometry")).isEmpty());
    {
        Schedule f(&remembered);
        f.window.showSchedule();
        QApplication::processEvents();
        EXPECT_EQ(f.window.geometry(), left);
        // Left far off the screen (on a screen since unplugged), then opened again.
        f.window.move(f.window.screen()->availableGeometry().bottomRight() + QPoint(3000, 3000));
        f.window.close();
    }
    {
        Schedule f(&remembered);
        f.window.showSchedule();
        QApplication::processEvents();
        EXPECT_TRUE(f.window.screen()->availableGeometry().contains(f.window.geometry()));
    }
}

TEST(ScheduleWindow, TheProjectBookIsWrittenAsWordAndPdfWithTheFeederPlots) {
    QTemporaryDir dir;
    Schedule f;
    f.program.app.setBooksFolder(dir.path());
    ASSERT_TRUE(f.window.openProjectPath(
        QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/street_lighting.kvp")));
    RecordingPlatform& platform = f.program.platform;
    ASSERT_TRUE(platform.messages.empty());

    struct Book {
        Act action;
        const char* suffix;
        QByteArray magic;
    };
    for (const Book& book :
         {Book{Act::BookWord, ".docx", "PK\x03\x04"}, Book{Act::BookPdf, ".pdf", "%PDF-"}}) {
        SCOPED_TRACE(book.suffix);
        platform.openedDocuments.clear();
        f.trigger(book.action);
        ASSERT_EQ(platform.openedDocuments.size(), 1u) << "the written book is opened";
        const QString path = platform.openedDocuments[0];
        EXPECT_TRUE(path.startsWith(dir.path()));
        EXPECT_TRUE(path.endsWith(QLatin1String(book.suffix)));
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QString::fromUtf8(kProjectBookTitle)));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(book.magic));
        if (book.action == Act::BookWord) {
            EXPECT_TRUE(bytes.contains("word/media/")) << "the feeder plots are in the book";
        }
    }
    EXPECT_TRUE(platform.messages.empty());

    // The pictures: each computed feeder's plot at 150 × 80 mm, none for a load case.
    const ProjectBookPictures pictures = render::paintedFeederPlots(f.session.state().run());
    int plotted = 0;
    for (int row = 0; row < f.session.state().rowCount(); ++row) {
        const ProjectCircuit& circuit = f.session.state().run().project.circuits[size_t(row)];
        const std::optional<ReportPicture> picture =
            pictures(circuit, f.session.state().result(row));
        ASSERT_EQ(picture.has_value(), f.session.state().feederResult(row) != nullptr) << row;
        if (!picture)
            continue;
        ++plotted;
        EXPECT_EQ(picture->widthMm, 150.0);
        EXPECT_EQ(picture->heightMm, 80.0);
        EXPECT_TRUE(picture->description.contains(circuit.id));
        const QImage image = QImage::fromData(picture->png, "PNG");
        EXPECT_EQ(image.size(), render::kBookPlotPixels);
        EXPECT_GT(pixelsNear(image, render::phaseColor(Phase::L1)), 200);
    }
    EXPECT_EQ(plotted, 3); // WL1, WL2 and WL4; WL3 is a load case
}

// The texts of a circuit's column in the diagram: those centred on the x of its identifier in
// the table, on the sheet that holds it; none when no sheet does.
QStringList columnTexts(const drawing::Drawing& diagram, const QString& id) {
    for (const drawing::Sheet& sheet : diagram.sheets) {
        for (const drawing::Text& named : sheet.texts) {
            if (named.text != id)
                continue;
            QStringList column;
            for (const drawing::Text& t : sheet.texts)
                if (std::abs(t.at.x - named.at.x) < 1e-6)
                    column << t.text;
            return column;
        }
    }
    return {};
}

QStringList allTexts(const drawing::Drawing& diagram) {
    QStringList all;
    for (const drawing::Sheet& sheet : diagram.sheets)
        for (const drawing::Text& t : sheet.texts)
            all << t.text;
    return all;
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

// 配电系统图(&D)… opens the diagram's window, which is not modal and follows every change of the
// project while shown: a section edited, rows added past a sheet of 24 circuits, every row
// removed (a sheet with no circuit, nothing invented for it).
TEST(ScheduleWindow, TheDiagramOpensFromTheProjectMenuAndFollowsTheProject) {
    Schedule f;
    ASSERT_TRUE(f.window.openProjectPath(
        QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/district_lighting_12.kvp")));
    EXPECT_EQ(f.window.diagramView(), nullptr) << "made when first asked for";
    QMenu* projects = menuOf(f.window, QStringLiteral("工程(&P)"));
    ASSERT_NE(projects, nullptr);
    entry(projects, QStringLiteral("配电系统图(&D)…"))->trigger();
    gui::DiagramView* view = f.window.diagramView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_FALSE(view->isModal());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("district_lighting_12.kvp - 配电系统图"));
    // Twelve circuits on one sheet of 24.
    ASSERT_EQ(view->drawing().sheets.size(), 1u);
    EXPECT_EQ(view->sheetChoice()->count(), 1);
    // WL1 of the example file: "VV 四芯 铜芯" of 聚氯乙烯绝缘电力电缆(0.6/1kV) at 35 mm².
    EXPECT_TRUE(columnTexts(view->drawing(), QStringLiteral("WL1"))
                    .contains(QStringLiteral("VV-0.6/1kV-4×35")));
    EXPECT_TRUE(allTexts(view->drawing()).contains(QStringLiteral("2026-12-08")))
        << "the title block is dated by the platform's clock";

    // The sheets as wide as the window until zoomed, a quarter larger a step.
    auto* scroll = view->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    QWidget* canvas = scroll->widget();
    const double fitting = view->pixelsPerMm();
    EXPECT_TRUE(view->fitsWidth());
    EXPECT_EQ(canvas->width(), std::lround(420.0 * fitting) + 32) << "an A3 sheet and its margins";
    view->zoomIn();
    EXPECT_NEAR(view->pixelsPerMm(), 1.25 * fitting, 1e-9);
    EXPECT_FALSE(view->fitsWidth());
    EXPECT_EQ(canvas->width(), std::lround(420.0 * 1.25 * fitting) + 32);
    view->fitWidth();
    EXPECT_NEAR(view->pixelsPerMm(), fitting, 1e-9);

    // An edit of the schedule redraws the diagram: WL1's cable at its new section.
    PaintCounter painted(canvas);
    ASSERT_TRUE(f.model.setData(f.at(0, ScheduleColumn::CrossSection), QStringLiteral("50")));
    QApplication::processEvents();
    EXPECT_GT(painted.count, 0);
    const QStringList wl1 = columnTexts(view->drawing(), QStringLiteral("WL1"));
    EXPECT_TRUE(wl1.contains(QStringLiteral("VV-0.6/1kV-4×50"))) << wl1.join(u'|').toStdString();
    EXPECT_FALSE(wl1.contains(QStringLiteral("VV-0.6/1kV-4×35")));

    // 13 more rows: 25 circuits take a second sheet.
    for (int i = 0; i < 13; ++i)
        f.trigger(Act::AddLoadCase);
    ASSERT_EQ(f.session.state().rowCount(), 25);
    EXPECT_EQ(view->drawing().sheets.size(), 2u);
    ASSERT_EQ(view->sheetChoice()->count(), 2);
    EXPECT_EQ(view->sheetChoice()->itemText(1), QStringLiteral("第 2 张，共 2 张"));
    EXPECT_FALSE(columnTexts(view->drawing(), f.id(24)).isEmpty()) << "the last row's column";

    // No circuit at all: one sheet with the supply and an empty table, no circuit's column.
    std::vector<int> rows(25);
    std::iota(rows.begin(), rows.end(), 0);
    f.session.schedule().removeRows(rows);
    ASSERT_EQ(view->drawing().sheets.size(), 1u);
    EXPECT_EQ(view->sheetChoice()->count(), 1);
    EXPECT_TRUE(columnTexts(view->drawing(), QStringLiteral("WL1")).isEmpty());
    EXPECT_TRUE(allTexts(view->drawing()).filter(QStringLiteral("VV-")).isEmpty());
}

// 导出配电系统图(&X)… writes the format the file's suffix names (in any case; the chosen filter's
// when none is typed) and refuses another suffix with the reason, writing nothing.
TEST(ScheduleWindow, TheDiagramIsExportedByTheSuffixOfTheFileChosen) {
    QTemporaryDir dir;
    Schedule f;
    ASSERT_TRUE(f.window.openProjectPath(
        QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/district_lighting_12.kvp")));
    QMenu* projects = menuOf(*f.program.shell(), QStringLiteral("工程(&P)"));
    ASSERT_NE(projects, nullptr);
    QAction* exportEntry = entry(projects, QStringLiteral("导出配电系统图(&X)…"));
    ASSERT_NE(exportEntry, nullptr);
    struct Case {
        const char* typed;
        const char* written;
        QByteArray starts;
    };
    const Case cases[] = {
        {"图.dxf", "图.dxf", "  0\r\nSECTION\r\n  2\r\nHEADER"}, // DXF R12, as AutoCAD writes it
        {"图.SVG", "图.SVG", "<?xml"},
        {"图.pdf", "图.pdf", "%PDF-"},
        {"无后缀", "无后缀.dxf", "  0\r\nSECTION"}, // the first filter, DXF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        whenModalsShow([&] { exportEntry->trigger(); },
                       {chooseFile(dir.filePath(QString::fromUtf8(c.typed)))});
        QFile file(dir.filePath(QString::fromUtf8(c.written)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith(c.starts));
        EXPECT_EQ(f.status(), QStringLiteral("已写入 %1").arg(file.fileName()));
    }
    EXPECT_TRUE(f.program.platform.messages.empty());

    const QString text = dir.filePath(QStringLiteral("图.txt"));
    whenModalsShow([&] { exportEntry->trigger(); }, {chooseFile(text)});
    EXPECT_FALSE(QFileInfo::exists(text));
    ASSERT_EQ(f.program.platform.messages.size(), 1u);
    EXPECT_EQ(f.program.platform.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(f.program.platform.messages[0].text,
              QStringLiteral("配电系统图未能写入 %1：配电系统图应保存为 .dxf、.svg 或 .pdf 文件")
                  .arg(text));
}

// What a poppler tool prints for the arguments.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The book of the 12-circuit example ends with its diagram, a sheet of 24 circuits a page, and
// with 25 circuits on two: in the .docx a picture per sheet of 146 mm at 300 dpi (146 / 25.4 ×
// 300 = 1724 px wide, × 420 / 297 = 2438 px high), in the PDF pages of text and lines (its
// texts found by pdftotext, no image on them).
TEST(ScheduleWindow, TheProjectBookEndsWithTheDiagramASheetAPage) {
    Schedule f;
    ASSERT_TRUE(f.window.openProjectPath(
        QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/district_lighting_12.kvp")));
    QTemporaryDir dir;
    for (const int circuits : {12, 25}) {
        SCOPED_TRACE(circuits);
        while (f.session.state().rowCount() < circuits)
            f.trigger(Act::AddLoadCase);
        const int sheets = circuits > 24 ? 2 : 1;

        const Computed<QByteArray> docx = render::projectBookFile(
            f.session.state().run(), render::BookFormat::Docx, QDate(2026, 12, 10));
        ASSERT_TRUE(docx.ok());
        const QString xml = QString::fromUtf8(zipEntry(*docx, "word/document.xml").value_or(""));
        // Described twice each, in the drawing's place and in the picture's own properties.
        EXPECT_EQ(xml.count(QStringLiteral("descr=\"配电系统图 第")), 2 * sheets);
        for (int sheet = 1; sheet <= sheets; ++sheet)
            EXPECT_TRUE(xml.contains(
                QStringLiteral("descr=\"配电系统图 第 %1 张，共 %2 张\"").arg(sheet).arg(sheets)));
        const QStringList media =
            zipEntryNames(*docx).value_or(QStringList()).filter(QStringLiteral("word/media/"));
        ASSERT_GE(media.size(), sheets);
        // The sheets are the book's last pictures.
        const QString last = QStringLiteral("word/media/image%1.png").arg(media.size());
        const QImage sheet = QImage::fromData(zipEntry(*docx, last.toUtf8().constData()).value());
        EXPECT_EQ(sheet.size(), QSize(1724, 2438));

        const Computed<QByteArray> pdf = render::projectBookFile(
            f.session.state().run(), render::BookFormat::Pdf, QDate(2026, 12, 10));
        ASSERT_TRUE(pdf.ok());
        const QString path = dir.filePath(QStringLiteral("book%1.pdf").arg(circuits));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(*pdf);
        file.close();
        const QRegularExpressionMatch pages =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                .match(poppler(QStringLiteral("pdfinfo"), {path}));
        ASSERT_TRUE(pages.hasMatch()) << "pdfinfo reads the book";
        const QString lastPage = QString::number(pages.captured(1).toInt());
        const QString first = QString::number(pages.captured(1).toInt() - sheets + 1);
        const QString text =
            poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), first, QStringLiteral("-l"),
                                                  lastPage, path, QStringLiteral("-")});
        EXPECT_TRUE(text.startsWith(QStringLiteral("四、配电系统图")) ||
                    text.contains(QStringLiteral("\n四、配电系统图")));
        // WL1's cable, its column's other figures, every sheet's title block.
        EXPECT_TRUE(text.contains(QStringLiteral("VV-0.6/1kV-4×35")));
        EXPECT_TRUE(text.contains(QStringLiteral("WL%1").arg(circuits)));
        // pdftotext joins the title block's "第 1 张  共 2 张" without its spaces between digits
        // and characters.
        EXPECT_EQ(text.count(QStringLiteral("共%1张").arg(sheets)), sheets);
        const QStringList images =
            poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), QStringLiteral("-f"),
                                                  first, QStringLiteral("-l"), lastPage, path})
                .split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(images.size(), 2) << "the header of the list only";
    }
}

// Pixels of the image near `colour`.
int pixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <
                40)
                ++count;
        }
    }
    return count;
}

QImage grabbed(gui::FeederPlotWidget* plot) {
    plot->resize(640, 320);
    return plot->grab().toImage();
}

TEST(ScheduleWindow, ThePlotPaintsTheCurrentFeederOrSaysWhyNot) {
    Schedule f;
    gui::FeederPlotWidget* plot = f.window.plot();
    const QColor l1 = render::phaseColor(Phase::L1);
    const QColor grey(0x80, 0x80, 0x80);

    f.window.selectRow(0);
    EXPECT_EQ(plot->row(), 0);
    EXPECT_EQ(plot->message(), QStringLiteral("所选回路不是路灯馈线"));
    QImage image = grabbed(plot);
    EXPECT_EQ(pixelsNear(image, l1), 0);
    EXPECT_GT(pixelsNear(image, grey), 20) << "the grey text";

    f.trigger(Act::AddFeeder);
    EXPECT_EQ(plot->row(), 1) << "the plot follows the current row";
    EXPECT_EQ(plot->message(), QString());
    image = grabbed(plot);
    const int curve = pixelsNear(image, l1);
    EXPECT_GT(curve, 200) << "the L1 curve and its poles";

    // A recomputation repaints the plot shown, and twice the poles draw another curve.
    f.window.showSchedule();
    QApplication::processEvents();
    PaintCounter paints(plot);
    ASSERT_TRUE(f.model.setData(f.at(1, ScheduleColumn::Poles), QStringLiteral("40")));
    QApplication::processEvents();
    EXPECT_GT(paints.count, 0);
    EXPECT_NE(grabbed(plot), image);

    // Moving the feeder up keeps it shown; the row it left is now the load case.
    f.trigger(Act::MoveUp);
    EXPECT_EQ(plot->row(), 0);
    EXPECT_EQ(plot->message(), QString());
}

// The example project with the cable of its first circuit (a feeder) unknown to the database.
QString projectWithAnUnknownCable(const QTemporaryDir& dir) {
    QFile example(QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/street_lighting.kvp"));
    EXPECT_TRUE(example.open(QIODevice::ReadOnly));
    QString json = QString::fromUtf8(example.readAll());
    const qsizetype at = json.indexOf(QStringLiteral("\"cableType\": \""));
    EXPECT_GE(at, 0);
    const qsizetype start = at + 14;
    json.replace(start, json.indexOf(u'"', start) - start, QStringLiteral("XX 未知电缆"));
    const QString path = dir.filePath(QStringLiteral("unknown.kvp"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(json.toUtf8());
    return path;
}

TEST(ScheduleWindow, ACircuitThatCannotBeComputedIsAmberAndGreyAndItsPlotSaysWhy) {
    QTemporaryDir dir;
    Schedule f;
    ASSERT_TRUE(f.window.openProjectPath(projectWithAnUnknownCable(dir)));
    ASSERT_GT(f.model.rowCount(), 1);
    ASSERT_TRUE(f.session.state().project().circuits[0].load.index() == 1) << "a feeder";
    bool amber = false;
    for (int c = 0; c < f.session.schedule().inputColumnCount(); ++c) {
        if (f.model.index(0, c).data(gui::ScheduleModel::StateRole).toInt() ==
            int(CellState::InputProblem)) {
            amber = true;
            EXPECT_EQ(f.model.index(0, c).data(Qt::BackgroundRole).value<QColor>(),
                      gui::ScheduleModel::inputProblemBackground());
            EXPECT_FALSE(f.model.index(0, c).data(Qt::ToolTipRole).toString().isEmpty());
        }
    }
    EXPECT_TRUE(amber);
    const QModelIndex overall = f.at(0, ResultColumn::Overall);
    EXPECT_EQ(f.shown(overall), QStringLiteral("未计算"));
    EXPECT_EQ(overall.data(Qt::ForegroundRole).value<QColor>(),
              gui::ScheduleModel::notComputedText());
    EXPECT_FALSE(f.at(1, ScheduleColumn::Id).data(Qt::BackgroundRole).isValid());

    f.window.selectRow(0);
    const QString why = f.window.plot()->message();
    EXPECT_FALSE(why.isEmpty());
    EXPECT_NE(why, QStringLiteral("所选回路不是路灯馈线"));
    EXPECT_TRUE(why.contains(QStringLiteral("XX 未知电缆"))) << why.toStdString();
    EXPECT_EQ(pixelsNear(grabbed(f.window.plot()), render::phaseColor(Phase::L1)), 0);
}

TEST(ScheduleWindow, ADamagedProjectChangesNothing) {
    QTemporaryDir dir;
    Schedule f;
    f.trigger(Act::AddFeeder);
    const QByteArray before = projectToJson(f.session.state().project());
    const QString title = f.window.windowTitle();
    const QString damaged = dir.filePath(QStringLiteral("damaged.kvp"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"korvane-project\", \"version\": 1, \"circuits\": [");
    file.close();

    EXPECT_FALSE(f.window.openProjectPath(damaged));
    EXPECT_EQ(projectToJson(f.session.state().project()), before);
    EXPECT_EQ(f.model.rowCount(), 2);
    EXPECT_EQ(f.window.windowTitle(), title);
    ASSERT_EQ(f.program.platform.messages.size(), 1u);
    EXPECT_EQ(f.program.platform.messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(f.status().contains(damaged));
}

TEST(ScheduleWindow, UnsavedProjectChangesAreAskedAboutBeforeTheyAreLeft) {
    Schedule f;
    gui::MainShell* shell = f.program.shell();
    QAction* newProject =
        entry(menuOf(*shell, QStringLiteral("工程(&P)")), QStringLiteral("新建工程(&N)"));
    ASSERT_NE(newProject, nullptr);
    newProject->trigger();
    EXPECT_EQ(f.model.rowCount(), 1) << "nothing to ask about";

    f.trigger(Act::AddFeeder);
    whenModalsShow([&] { newProject->trigger(); },
                   {[](QWidget* modal) { answer(modal, QMessageBox::Cancel); }});
    EXPECT_EQ(f.model.rowCount(), 2) << "取消 keeps the project";

    whenModalsShow([&] { shell->close(); },
                   {[](QWidget* modal) { answer(modal, QMessageBox::Cancel); }});
    EXPECT_TRUE(shell->isVisible()) << "取消 keeps the main window";

    whenModalsShow([&] { newProject->trigger(); },
                   {[](QWidget* modal) { answer(modal, QMessageBox::Discard); }});
    EXPECT_EQ(f.model.rowCount(), 1) << "不保存 starts the new project";
    EXPECT_FALSE(f.session.document().modified());
    EXPECT_TRUE(f.window.isVisible());
}

// The pole editor under the schedule: shown for a feeder row only, its commands and edits
// through the session, the balancing dialog's figures from the proposal, 取消 and 接受.
TEST(ScheduleWindow, ThePoleEditorFollowsTheFeederAndItsCommandsGoThroughTheSession) {
    Schedule f;
    f.window.showSchedule();
    gui::PoleEditor* editor = f.window.poleEditor();
    using Cmd = gui::PoleEditor::Command;

    f.window.selectRow(0);
    EXPECT_TRUE(editor->isHidden()) << "a load case has no poles";
    f.trigger(Act::AddFeeder);
    EXPECT_FALSE(editor->isHidden());
    EXPECT_EQ(editor->row(), 1);
    EXPECT_EQ(editor->model()->rowCount(), 20);
    EXPECT_TRUE(editor->action(Cmd::Convert)->isEnabled());
    EXPECT_FALSE(editor->action(Cmd::InsertPole)->isEnabled());

    editor->action(Cmd::Convert)->trigger();
    EXPECT_TRUE(f.session.poles().hasPoleList(1));
    EXPECT_FALSE(editor->action(Cmd::Convert)->isEnabled());
    EXPECT_EQ(f.shown(f.at(1, ScheduleColumn::Poles)), QStringLiteral("由杆位表给出"));

    // A refused span keeps the pole as it was and says why in the status bar.
    const QModelIndex span = editor->model()->index(3, int(PoleColumn::SpanM));
    EXPECT_FALSE(editor->model()->setData(span, QStringLiteral("-5")));
    EXPECT_EQ(f.status(), QStringLiteral("WL2 杆位表第 4 行“杆距(m)”：不能为负：-5"));
    EXPECT_EQ(span.data().toString(), QStringLiteral("30"));
    // A pole inserted after the selected one.
    editor->selectPole(2);
    editor->action(Cmd::InsertPole)->trigger();
    EXPECT_EQ(editor->model()->rowCount(), 21);
    EXPECT_EQ(editor->currentPole(), 3);

    // 相序平衡…: 取消 leaves the feeder, 接受 fixes every pole's phase.
    f.window.selectRow(1);
    editor->action(Cmd::DeletePole)->trigger(); // the pole without a span: the feeder computes
    ASSERT_NE(f.session.state().feederResult(1), nullptr)
        << f.session.state().rowPlotNote(1).toStdString();
    const LampFeeder before = std::get<LampFeeder>(f.session.state().project().circuits[1].load);
    const PhaseBalanceProposal proposal = f.session.proposals().proposePhaseBalance(1);
    ASSERT_TRUE(proposal.proposal.has_value()) << proposal.proposal.reason().toStdString();
    auto balance = [&](bool accept) {
        whenModalsShow(
            [&] { editor->action(Cmd::Balance)->trigger(); }, {[&](QWidget* modal) {
                auto* dialog = dynamic_cast<gui::PhaseBalanceDialog*>(modal);
                ASSERT_NE(dialog, nullptr);
                const QTableWidget* t = dialog->figures();
                const PhaseProposal& p = *proposal.proposal;
                EXPECT_EQ(t->item(0, 0)->text(), formatFixed(p.before.phaseCurrentsA[0], 2));
                EXPECT_EQ(t->item(0, 1)->text(), formatFixed(p.after.phaseCurrentsA[0], 2));
                EXPECT_EQ(t->item(3, 1)->text(), formatFixed(p.after.neutralCurrentA, 2));
                EXPECT_EQ(t->item(4, 1)->text(), formatFixed(p.after.worstLossPercent, 4));
                EXPECT_EQ(t->item(5, 1)->text(), p.after.worstPole);
                if (accept)
                    dialog->accept();
                else
                    dialog->reject();
            }});
    };
    balance(false);
    EXPECT_TRUE(std::get<LampFeeder>(f.session.state().project().circuits[1].load) == before);
    EXPECT_EQ(f.status(), QStringLiteral("相别未改"));
    balance(true);
    EXPECT_TRUE(std::get<LampFeeder>(f.session.state().project().circuits[1].load) ==
                proposal.proposal->balanced);

    // The other runs of the plot go with the check box.
    EXPECT_TRUE(f.window.plot()->showsBranches());
    f.window.showBranches()->setChecked(false);
    EXPECT_FALSE(f.window.plot()->showsBranches());
}

} // namespace
} // namespace korvane::testing
