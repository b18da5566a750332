// The keyboard on every page and dialog: Tab reaches only what the user can see, leaves
// multi-line areas and tables, and runs down the left column, the right column, then the buttons.

#include "gui/form_window.h"
#include "gui/main_shell.h"
#include "support/test_app.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace korvane::testing {
namespace {

// The control whose widget holds the focus (the focus may sit on a part of it, such as the
// tab bar of a tab control), or "(outside)" when the focus left the form's widgets.
QString focusedControl(const gui::FormWindow& window) {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && window.widgetFor(w->objectName()) == w)
            return w->objectName();
    }
    return QStringLiteral("(outside)");
}

// Whether the user sees the widget: shown, on the window's area, and on top at its centre.
bool seenByTheUser(const gui::FormWindow& window, QWidget* widget) {
    if (!widget->isVisibleTo(&window))
        return false;
    const QRect area(widget->mapTo(&window, QPoint()), widget->size());
    if (!area.intersects(window.rect()))
        return false;
    QWidget* top = window.childAt(area.center());
    return top == widget || widget->isAncestorOf(top);
}

void focus(gui::FormWindow& window, const char* control) {
    QWidget* widget = window.widgetFor(QString::fromLatin1(control));
    ASSERT_NE(widget, nullptr) << control;
    QApplication::setActiveWindow(window.window());
    widget->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusedControl(window), QString::fromLatin1(control));
}

QString pressTab(const gui::FormWindow& window) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return focusedControl(window);
}

// Presses Tab from `start` until the focus comes back to it; names the controls passed, and
// fails on any the user cannot see.
QStringList tabCycle(gui::FormWindow& window, const char* start) {
    focus(window, start);
    QStringList passed{QString::fromLatin1(start)};
    for (int step = 0; step < 200; ++step) {
        const QString name = pressTab(window);
        if (name == passed.front())
            return passed;
        QWidget* widget = window.widgetFor(name);
        EXPECT_TRUE(widget != nullptr && seenByTheUser(window, widget))
            << name.toStdString() << " takes the focus unseen, after "
            << passed.back().toStdString();
        if (passed.contains(name)) {
            ADD_FAILURE() << "Tab is caught at " << name.toStdString() << ": "
                          << passed.join(u' ').toStdString();
            return passed;
        }
        passed << name;
    }
    ADD_FAILURE() << "Tab never comes back to " << start << ": "
                  << passed.join(QLatin1Char(' ')).toStdString();
    return passed;
}

// `expected` appear in the cycle in this order (others may lie between them).
void expectInOrder(const QStringList& cycle, const std::vector<const char*>& expected) {
    qsizetype last = -1;
    for (const char* name : expected) {
        const qsizetype at = cycle.indexOf(QString::fromLatin1(name));
        EXPECT_GT(at, last) << name << " out of order in " << cycle.join(u' ').toStdString();
        last = std::max(last, at);
    }
}

struct PageCase {
    int tab;
    const char* start;
    std::vector<const char*> order;
};

TEST(Keyboard, TabRunsDownTheColumnsThenTheButtonsOfEveryPage) {
    const PageCase cases[] = {
        // Cable inputs with their hint beside the core temperature, the line and its loads, the
        // results, the command bar.
        {0, "Combo1", {"Combo1",   "Combo2",   "Text1",    "Combo8",    "Command7", "Combo9",
                       "Command4", "Combo5",   "Combo6",   "Command25", "Text4",    "Text5",
                       "Text6",    "Text7",    "Command6", "Text3",     "Command1", "Command2",
                       "Command5", "Command3", "SSTab1"}},
        // The supply and the line with their pickers, the results, the command bar.
        {1,
         "Combo18",
         {"Combo18", "Command22", "Command23", "Text40", "Command19", "Text41", "Text50",
          "Command18", "Text48", "Text42", "Command12", "Text44", "Check13", "Command32",
          "Command9", "Command21", "Command11", "SSTab1"}},
        // The checked values with the K picker placed over the frame, the data view, then the
        // frame's command bar.
        {2,
         "Text51",
         {"Text51", "Command26", "Text52", "UpDown1", "Text39", "Command27", "Text37", "Text38",
          "Text73", "Command28", "Command29", "Command30", "SSTab1"}},
        {3, "RichTextBox1", {"RichTextBox1", "SSTab1"}},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.tab);
        TestApp t;
        gui::MainShell shell(t.app(), t.form());
        shell.show();
        t.form().get<TabControl>(QStringLiteral("SSTab1")).setTab(c.tab);
        const QStringList cycle = tabCycle(*shell.formWindow(), c.start);
        expectInOrder(cycle, c.order);
        EXPECT_EQ(cycle.back(), QStringLiteral("SSTab1")) << "the tab bar closes the cycle";
    }
}

TEST(Keyboard, TabLeavesMultiLineAreasWithTheirTextUnchanged) {
    struct Case {
        int tab;
        const char* area;
        const char* next;
    };
    const Case cases[] = {
        {0, "Text3", "Command1"},
        {2, "Text71", "Command28"},
        {3, "RichTextBox1", "SSTab1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        TestApp t;
        gui::MainShell shell(t.app(), t.form());
        shell.show();
        t.form().get<TabControl>(QStringLiteral("SSTab1")).setTab(c.tab);
        // The report shows once the placeholder over it is gone, as after 校验.
        t.form().text(QStringLiteral("Text73")).setVisible(false);
        TextBox* text = c.tab == 3 ? nullptr : &t.form().text(QString::fromLatin1(c.area));
        if (text != nullptr)
            text->setText(QStringLiteral("第一行\r\n第二行"));
        focus(*shell.formWindow(), c.area);
        EXPECT_EQ(pressTab(*shell.formWindow()), QString::fromLatin1(c.next));
        if (text != nullptr) {
            EXPECT_EQ(text->text(), QStringLiteral("第一行\r\n第二行"));
        }
    }
}

TEST(Keyboard, ReportUnderThePlaceholderTakesNoFocus) {
    TestApp t;
    gui::MainShell shell(t.app(), t.form());
    shell.show();
    t.form().get<TabControl>(QStringLiteral("SSTab1")).setTab(2);
    const QStringList covered = tabCycle(*shell.formWindow(), "Text38");
    EXPECT_FALSE(covered.contains(QStringLiteral("Text71"))) << covered.join(u' ').toStdString();

    t.form().text(QStringLiteral("Text73")).setVisible(false);
    const QStringList shown = tabCycle(*shell.formWindow(), "Text38");
    EXPECT_TRUE(shown.contains(QStringLiteral("Text71")));
    EXPECT_FALSE(shown.contains(QStringLiteral("Text73")));
}

struct DialogCase {
    const char* form;
    std::vector<const char*> cycle; // the whole cycle, from its first control
};

TEST(Keyboard, DialogsCycleThroughWhatTheyShow) {
    const std::vector<const char*> table = {"Text1", "MSHFlexGrid1", "Command1"};
    const DialogCase cases[] = {
        {"BYQForm8", {"Combo1", "Combo2", "Combo3", "Text1", "Text2", "Command1"}},
        // The four values on their way to the main window lie outside the dialog.
        {"MXForm9", {"Combo1", "Combo2", "Combo3", "Command1"}},
        {"Form2", table},
        {"Form3", table},
        {"Form4", table},
        {"Form5", table},
        {"Form6", table},
        {"Form7", table},
        {"Form10", table},
        {"Form12", table},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.form);
        TestApp t;
        Form& dialog = t.app().form(QString::fromLatin1(c.form));
        dialog.show();
        gui::FormWindow window(dialog);
        window.show();
        QStringList expected;
        for (const char* name : c.cycle)
            expected << QString::fromLatin1(name);
        EXPECT_EQ(tabCycle(window, c.cycle.front()), expected);
    }
}

TEST(Keyboard, WorkingFieldsOutsideTheWindowCannotBeFocused) {
    TestApp t;
    gui::MainShell shell(t.app(), t.form());
    shell.show();
    QApplication::setActiveWindow(&shell);
    for (const char* name :
         {"Text55", "Text56", "Text57", "Text58", "Text59", "Text60", "Text61", "Text62"}) {
        QWidget* field = shell.formWindow()->widgetFor(QString::fromLatin1(name));
        ASSERT_NE(field, nullptr) << name;
        QTest::mouseClick(field, Qt::LeftButton);
        EXPECT_FALSE(field->hasFocus()) << name;
        EXPECT_EQ(field->focusPolicy(), Qt::NoFocus) << name;
    }
}

} // namespace
} // namespace korvane::testing
