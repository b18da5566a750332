#include "gui/form_window.h"

#include "form/keyboard_order.h"
#include "form/user_actions.h"
#include "gui/pictures.h"
#include "render/colors.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <cmath>
#include <memory>
#include <optional>

namespace korvane::gui {

namespace {

QString displayText(QString text) {
    return text.remove(u'\r');
}

// A straight line of a drawing; its widget covers the line's bounding box.
class LineWidget : public QWidget {
public:
    LineWidget(const Line& line, QWidget* parent) : QWidget(parent), line_(line) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::WindowText), line_.borderWidth()));
        const QPoint origin = pos();
        p.drawLine(QPoint(line_.x1(), line_.y1()) - origin,
                   QPoint(line_.x2(), line_.y2()) - origin);
    }

private:
    const Line& line_;
};

void applyFieldColors(QWidget* widget, const TextBox& box) {
    QPalette pal = widget->palette();
    const QColor back = render::toQColor(box.backColor(), pal);
    const QColor fore =
        render::toQColor(box.outOfDate() ? colors::kOutOfDateText : box.foreColor(), pal);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::Text, fore);
    }
    widget->setPalette(pal);
}

Qt::Alignment cellAlignment(CellAlignment alignment) {
    switch (alignment) {
    case CellAlignment::CenterCenter:
        return Qt::AlignCenter;
    case CellAlignment::CenterTop:
        return Qt::AlignHCenter | Qt::AlignTop;
    case CellAlignment::LeftCenter:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void fillTable(QTableWidget* table, const Grid& grid) {
    table->clearSpans();
    table->setRowCount(grid.rows());
    table->setColumnCount(grid.cols());
    for (int r = 0; r < grid.rows(); ++r) {
        table->setRowHeight(r, twipsToPixels(grid.rowHeight(r)));
        for (int c = 0; c < grid.cols(); ++c) {
            auto* item = table->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled);
                table->setItem(r, c, item);
            }
            item->setText(grid.text(r, c));
            item->setTextAlignment(cellAlignment(grid.colAlignment(c)));
            item->setBackground(render::toQColor(grid.cellBackColor(r, c), table->palette()));
        }
    }
    for (int c = 0; c < grid.cols(); ++c)
        table->setColumnWidth(c, twipsToPixels(grid.colWidth(c)));
    for (const CellRange& range : grid.mergedRanges())
        table->setSpan(range.row, range.col, range.rowSpan, range.colSpan);
    table->setCurrentCell(grid.row(), grid.col(), QItemSelectionModel::NoUpdate);
}

void fillRichText(QTextEdit* edit, const RichTextBox& box) {
    edit->clear();
    QTextCursor cursor(edit->document());
    const QString& text = box.text();
    const auto& runs = box.runs();
    for (size_t r = 0; r < runs.size(); ++r) {
        const int end = r + 1 < runs.size() ? runs[r + 1].start : static_cast<int>(text.size());
        const CharFormat& f = runs[r].format;
        QTextCharFormat format;
        format.setFontFamilies({f.fontName});
        format.setFontPointSize(f.fontSize);
        format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        format.setForeground(render::toQColor(f.color, edit->palette()));
        cursor.insertText(displayText(text.mid(runs[r].start, end - runs[r].start)), format);
    }
    edit->moveCursor(QTextCursor::Start);
}

// Visible, and so is every frame or picture box around it (tab pages aside).
bool shownByTheForm(const Control& control) {
    for (const Control* c = &control; c != nullptr; c = c->container()) {
        if (!c->visible())
            return false;
    }
    return true;
}

// The tab page a control lies on, when that page is not the one its tab control shows.
std::optional<std::pair<const Control*, int>> unshownPage(const Control& control) {
    std::optional<std::pair<const Control*, int>> page;
    for (const Control* c = &control; c->container() != nullptr; c = c->container()) {
        if (c->container()->kind() == ControlKind::TabControl)
            page = std::pair{c->container(), c->page()};
    }
    if (page && page->second != static_cast<const TabControl*>(page->first)->tab())
        return page;
    return std::nullopt;
}

// The widget that takes a control's focus: a tab control's tab bar (its pages are ordered on
// their own), otherwise the control's widget.
QWidget* keyboardWidget(QWidget* widget) {
    if (auto* tabs = qobject_cast<QTabWidget*>(widget))
        return tabs->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    return widget;
}

} // namespace

FormWindow::FormWindow(Form& form, QWidget* parent)
    : QWidget(parent), form_(form), attachment_(new QObject(this)) {
    setWindowTitle(form.caption());
    setFixedSize(form.width(), form.height());
    if (form.isDialog())
        setWindowFlag(Qt::Tool);
    for (const auto& control : form.controls())
        formOrder_[control.get()] = formOrder_.size();
    for (const Control* control : keyboardOrder(form))
        keyboardOrder_.push_back(control);
    for (const auto& [below, above] : coveringPairs(form))
        coveredBy_[below] = above;
    // Built now in form order: each widget is stacked above the ones before it already.
    buildingInOrder_ = true;
    for (const auto& control : form.controls()) {
        if (const auto page = unshownPage(*control))
            unbuiltPages_[*page].push_back(control.get());
        else
            defer(*control);
    }
    buildingInOrder_ = false;
    orderKeyboard();
}

FormWindow::~FormWindow() = default;

void FormWindow::detach() {
    connections_.clear();
    delete attachment_;
    attachment_ = nullptr;
    hide();
}

QWidget* FormWindow::widgetFor(const QString& controlName) const {
    const Control* control = form_.find(controlName);
    auto it = widgets_.find(control);
    return it == widgets_.end() ? nullptr : it->second;
}

void FormWindow::realizePage(const Control* tabControl, int page) {
    auto it = unbuiltPages_.find({tabControl, page});
    if (it == unbuiltPages_.end())
        return;
    const std::vector<Control*> controls = std::move(it->second);
    unbuiltPages_.erase(it);
    for (Control* control : controls)
        defer(*control);
    orderKeyboard();
}

// Binds a control now, unless the form hides it: then it is built when it is first shown.
void FormWindow::defer(Control& control) {
    if (shownByTheForm(control)) {
        bind(control);
        return;
    }
    unbuiltHidden_.push_back(&control);
    // The control that hides a chain is itself among the unbuilt ones: hearing every unbuilt
    // control's changes is enough to see a chain become visible.
    connections_.push_back(control.changed.connection([this](const Control& changed) {
        if (changed.visible())
            realizeShown();
    }));
}

void FormWindow::realizeShown() {
    // In form order, so that a frame is built before the controls inside it.
    std::vector<Control*> shown;
    std::erase_if(unbuiltHidden_, [&shown](Control* control) {
        if (!shownByTheForm(*control))
            return false;
        shown.push_back(control);
        return true;
    });
    for (Control* control : shown)
        bind(*control);
    if (!shown.empty())
        orderKeyboard();
}

void FormWindow::realizeAllPages() {
    while (!unbuiltPages_.empty()) {
        const auto [tabControl, page] = unbuiltPages_.begin()->first;
        realizePage(tabControl, page);
    }
    // Every control: hidden ones too, as they would be after the form had shown them once.
    const std::vector<Control*> hidden = std::move(unbuiltHidden_);
    unbuiltHidden_.clear();
    for (Control* control : hidden)
        bind(*control);
    orderKeyboard();
}

void FormWindow::stackInFormOrder(const Control& control, QWidget* widget) {
    const size_t place = formOrder_.at(&control);
    const QWidget* parent = widget->parentWidget();
    QWidget* below = nullptr;
    size_t belowPlace = 0;
    for (const auto& [other, otherWidget] : widgets_) {
        const size_t otherPlace = formOrder_.at(other);
        if (otherPlace > place && otherWidget->parentWidget() == parent &&
            (below == nullptr || otherPlace < belowPlace)) {
            below = otherWidget;
            belowPlace = otherPlace;
        }
    }
    if (below != nullptr)
        widget->stackUnder(below);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // Closing a window unloads its form; the view manager then deletes this window.
    event->accept();
    if (!detached())
        QTimer::singleShot(0, attachment_, [this] { form_.unload(); });
}

QWidget* FormWindow::parentWidgetFor(const Control& control) const {
    const Control* container = control.container();
    if (container == nullptr)
        return const_cast<FormWindow*>(this);
    if (container->kind() == ControlKind::TabControl) {
        auto it = tabPages_.find({container, control.page()});
        if (it != tabPages_.end())
            return it->second;
    }
    auto it = widgets_.find(container);
    return it == widgets_.end() ? const_cast<FormWindow*>(this) : it->second;
}

void FormWindow::watch(Control& control, std::function<void()> refresh) {
    auto guarded = [this, refresh] {
        if (updating_)
            return;
        updating_ = true;
        refresh();
        updating_ = false;
    };
    // The first drawing happens even while another refresh is under way: a page built when it
    // is first shown is built from inside the tab control's refresh.
    const bool wasUpdating = updating_;
    updating_ = true;
    refresh();
    updating_ = wasUpdating;
    connections_.push_back(control.changed.connection([guarded](const Control&) { guarded(); }));
}

// One binder per control kind: each builds its widget, wires the user's input to the control
// through the user actions, and watches the control to redraw the widget.
QWidget* FormWindow::bindByKind(Control& control, QWidget* parent) {
    switch (control.kind()) {
    case ControlKind::TextBox:
        return bindTextBox(control, parent);
    case ControlKind::ComboBox:
        return bindComboBox(control, parent);
    case ControlKind::CheckBox:
        return bindCheckBox(control, parent);
    case ControlKind::CommandButton:
        return bindCommandButton(control, parent);
    case ControlKind::Frame:
        return bindFrame(control, parent);
    case ControlKind::Label:
        return bindLabel(control, parent);
    case ControlKind::Line:
        return bindLine(control, parent);
    case ControlKind::Timer:
        return bindTimer(control, parent);
    case ControlKind::ProgressBar:
        return bindProgressBar(control, parent);
    case ControlKind::UpDown:
        return bindUpDown(control, parent);
    case ControlKind::RichTextBox:
        return bindRichTextBox(control, parent);
    case ControlKind::Grid:
        return bindGrid(control, parent);
    case ControlKind::TabControl:
        return bindTabControl(control, parent);
    }
    return nullptr;
}

QWidget* FormWindow::bindTextBox(Control& control, QWidget* parent) {
    auto& box = static_cast<TextBox&>(control);
    if (box.multiLine()) {
        auto* edit = new QPlainTextEdit(parent);
        QObject::connect(edit, &QPlainTextEdit::textChanged, attachment_, [this, edit, &box] {
            if (!updating_)
                userType(box, edit->toPlainText());
        });
        watch(box, [edit, &box] {
            if (edit->toPlainText() != displayText(box.text()))
                edit->setPlainText(displayText(box.text()));
            edit->setEnabled(box.enabled());
            applyFieldColors(edit, box);
        });
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    QObject::connect(edit, &QLineEdit::textEdited, attachment_,
                     [&box](const QString& text) { userType(box, text); });
    watch(box, [edit, &box] {
        if (edit->text() != box.text())
            edit->setText(box.text());
        edit->setEnabled(box.enabled());
        applyFieldColors(edit, box);
    });
    return edit;
}

QWidget* FormWindow::bindComboBox(Control& control, QWidget* parent) {
    auto& combo = static_cast<ComboBox&>(control);
    auto* list = new QComboBox(parent);
    list->setEditable(combo.editable());
    list->setMaxVisibleItems(20);
    QObject::connect(list, &QComboBox::activated, attachment_, [this, &combo](int index) {
        if (!updating_)
            userSelect(combo, index);
    });
    if (combo.editable()) {
        QObject::connect(list, &QComboBox::editTextChanged, attachment_,
                         [this, &combo](const QString& text) {
                             if (!updating_ && text != combo.text())
                                 userType(combo, text);
                         });
    }
    watch(combo, [list, &combo] {
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        if (shown != combo.items()) {
            list->clear();
            list->addItems(combo.items());
        }
        list->setCurrentIndex(combo.listIndex());
        if (combo.editable() && list->currentText() != combo.text())
            list->setEditText(combo.text());
        list->setEnabled(combo.enabled());
    });
    return list;
}

QWidget* FormWindow::bindCheckBox(Control& control, QWidget* parent) {
    auto& check = static_cast<CheckBox&>(control);
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::clicked, attachment_,
                     [&check](bool checked) { userCheck(check, checked ? 1 : 0); });
    watch(check, [box, &check] {
        box->setChecked(check.value() != 0);
        box->setText(check.caption());
        box->setEnabled(check.enabled());
    });
    return box;
}

QWidget* FormWindow::bindCommandButton(Control& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    QObject::connect(button, &QPushButton::clicked, attachment_,
                     [&control] { userClick(control); });
    watch(control, [button, &control] {
        button->setText(control.caption());
        button->setEnabled(control.enabled());
    });
    return button;
}

QWidget* FormWindow::bindFrame(Control& control, QWidget* parent) {
    auto* group = new QGroupBox(parent);
    watch(control, [group, &control] { group->setTitle(control.caption()); });
    return group;
}

QWidget* FormWindow::bindLabel(Control& control, QWidget* parent) {
    const Rect& r = control.geometry();
    auto& label = static_cast<Label&>(control);
    auto* text = new QLabel(parent);
    if (!label.picture().isEmpty()) {
        text->setPixmap(builtInPicture(label.picture(), QSize(r.width, r.height)));
    } else {
        text->setWordWrap(true);
        if (label.fontSize() > 0) {
            QFont font = text->font();
            font.setPointSizeF(label.fontSize());
            text->setFont(font);
        }
        text->setAlignment(label.alignment() == Alignment::Center  ? Qt::AlignCenter
                           : label.alignment() == Alignment::Right ? Qt::AlignRight
                                                                   : Qt::AlignLeft);
        watch(label, [text, &label] {
            text->setText(displayText(label.caption()));
            QPalette pal = text->palette();
            pal.setColor(QPalette::WindowText, render::toQColor(label.foreColor(), pal));
            text->setPalette(pal);
        });
    }
    return text;
}

QWidget* FormWindow::bindLine(Control& control, QWidget* parent) {
    return new LineWidget(static_cast<Line&>(control), parent);
}

// A timer has no widget: a QTimer raises the control's Timer event.
QWidget* FormWindow::bindTimer(Control& control, QWidget* /*parent*/) {
    auto& timer = static_cast<Timer&>(control);
    auto* qtimer = new QTimer(attachment_);
    QObject::connect(qtimer, &QTimer::timeout, attachment_,
                     [&timer] { timer.raise(Event::Timer); });
    watch(timer, [qtimer, &timer] {
        if (timer.enabled() && timer.interval() > 0) {
            if (!qtimer->isActive() || qtimer->interval() != timer.interval())
                qtimer->start(timer.interval());
        } else {
            qtimer->stop();
        }
    });
    return nullptr;
}

QWidget* FormWindow::bindProgressBar(Control& control, QWidget* parent) {
    auto& bar = static_cast<ProgressBar&>(control);
    auto* progress = new QProgressBar(parent);
    progress->setTextVisible(false);
    watch(bar, [progress, &bar] {
        progress->setRange(0, static_cast<int>(std::lround(bar.max())));
        progress->setValue(static_cast<int>(std::lround(bar.value())));
    });
    return progress;
}

QWidget* FormWindow::bindUpDown(Control& control, QWidget* parent) {
    auto& upDown = static_cast<UpDown&>(control);
    auto* spin = new QSpinBox(parent);
    spin->setRange(upDown.min(), upDown.max());
    spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    spin->setStyleSheet(QStringLiteral("QSpinBox { color: transparent; }"));
    QObject::connect(spin, &QSpinBox::valueChanged, attachment_, [this, &upDown](int value) {
        if (!updating_)
            userSpin(upDown, value);
    });
    watch(upDown, [spin, &upDown] {
        spin->setValue(upDown.value());
        spin->setEnabled(upDown.enabled());
    });
    return spin;
}

QWidget* FormWindow::bindRichTextBox(Control& control, QWidget* parent) {
    auto& box = static_cast<RichTextBox&>(control);
    auto* edit = new QTextEdit(parent);
    edit->setReadOnly(true);
    // Start-up builds the text line by line, one change per line: draw it once when the
    // changes are over rather than redrawing the whole text for every line.
    auto pending = std::make_shared<bool>(false);
    watch(box, [this, edit, &box, pending] {
        if (*pending)
            return;
        *pending = true;
        QTimer::singleShot(0, attachment_, [edit, &box, pending] {
            *pending = false;
            fillRichText(edit, box);
        });
    });
    return edit;
}

QWidget* FormWindow::bindGrid(Control& control, QWidget* parent) {
    auto& grid = static_cast<Grid&>(control);
    auto* table = new QTableWidget(parent);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    // Handbook tables are laid out in twips for a small font: keep cells that small.
    table->verticalHeader()->setMinimumSectionSize(1);
    table->horizontalHeader()->setMinimumSectionSize(1);
    QFont small = table->font();
    small.setPointSizeF(8.0);
    table->setFont(small);
    table->setStyleSheet(QStringLiteral("QTableWidget::item { padding: 0px; }"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Moving with the keyboard enters cells; a click enters the cell and picks it.
    QObject::connect(table, &QTableWidget::currentCellChanged, attachment_,
                     [this, &grid](int row, int col) {
                         if (!updating_)
                             grid.setCurrentCell(row, col);
                     });
    QObject::connect(table, &QTableWidget::cellClicked, attachment_,
                     [this, &grid](int row, int col) {
                         if (!updating_)
                             userClickCell(grid, row, col);
                     });
    watch(grid, [table, &grid] { fillTable(table, grid); });
    return table;
}

QWidget* FormWindow::bindTabControl(Control& control, QWidget* parent) {
    auto& tabControl = static_cast<TabControl&>(control);
    auto* tabs = new QTabWidget(parent);
    for (int i = 0; i < tabControl.tabCaptions().size(); ++i) {
        auto* page = new QWidget;
        tabs->addTab(page, tabControl.tabCaptions().at(i));
        tabPages_[{&control, i}] = page;
    }
    QObject::connect(tabs, &QTabWidget::currentChanged, attachment_,
                     [this, &tabControl](int index) {
                         realizePage(&tabControl, index);
                         tabControl.setTab(index);
                     });
    watch(tabControl, [this, tabs, &tabControl] {
        realizePage(&tabControl, tabControl.tab());
        tabs->setCurrentIndex(tabControl.tab());
    });
    return tabs;
}

void FormWindow::bind(Control& control) {
    QWidget* widget = bindByKind(control, parentWidgetFor(control));
    if (widget == nullptr)
        return; // a timer has no widget
    const Rect& r = control.geometry();
    widget->setObjectName(control.name());
    widget->setGeometry(r.x, r.y, r.width, r.height);
    widgets_[&control] = widget;
    if (!buildingInOrder_)
        stackInFormOrder(control, widget);
    setUpKeyboard(control, widget);
    watch(control, [widget, &control] {
        widget->setVisible(control.visible());
        widget->setToolTip(control.toolTip());
    });
}

// What Tab reaches and in which order. The order is read off the design once; Qt then skips
// the widgets that are hidden or disabled at the time. Widgets the user cannot see at all (placed
// outside the window, or under a field that covers them) take no focus and no typing.
// Tab moves on from multi-line areas and tables, rather than typing a tab character or walking
// the cells (the arrow keys still move inside them); working fields that lie outside the window
// take no focus; a field that another covers takes none while its cover is shown.
void FormWindow::setUpKeyboard(const Control& control, QWidget* widget) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setTabChangesFocus(true);
    else if (auto* rich = qobject_cast<QTextEdit*>(widget))
        rich->setTabChangesFocus(true);
    else if (auto* table = qobject_cast<QAbstractItemView*>(widget))
        table->setTabKeyNavigation(false);

    if (liesOutsideForm(control)) {
        widget->setFocusPolicy(Qt::NoFocus);
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setReadOnly(true);
    }
    if (auto it = coveredBy_.find(&control); it != coveredBy_.end()) {
        QWidget* covered = keyboardWidget(widget);
        const Qt::FocusPolicy own = covered->focusPolicy();
        const Control* cover = it->second;
        watch(*it->second, [covered, own, cover] {
            covered->setFocusPolicy(cover->visible() ? Qt::NoFocus : own);
        });
    }
}

// Chains the widgets built so far in the designed order; run again whenever widgets are built
// late (a page first shown, a hidden control first shown).
void FormWindow::orderKeyboard() {
    QWidget* previous = nullptr;
    for (const Control* control : keyboardOrder_) {
        auto it = widgets_.find(control);
        if (it == widgets_.end())
            continue;
        QWidget* widget = keyboardWidget(it->second);
        // A covered field keeps its place in the chain: it takes focus again once uncovered.
        if (widget == nullptr ||
            (widget->focusPolicy() == Qt::NoFocus && !coveredBy_.contains(control)))
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace korvane::gui
