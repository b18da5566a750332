// The main window on screens smaller than its pages: every button of every page can be reached.

#include "gui/main_shell.h"
#include "support/test_app.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QTabWidget* tabsOfPage(QWidget* w) {
    QWidget* stack = w->parentWidget();
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs != nullptr && tabs->indexOf(w) >= 0 ? tabs : nullptr;
}

// Makes the page that holds `widget` the current page of the tab control.
void showPageOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (QTabWidget* tabs = tabsOfPage(w)) {
            tabs->setCurrentIndex(tabs->indexOf(w));
            return;
        }
    }
}

// Hidden by the form itself (the control or a frame around it), not by the page shown.
bool hiddenByTheForm(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr && tabsOfPage(w) == nullptr; w = w->parentWidget()) {
        if (w->isHidden())
            return true;
    }
    return false;
}

TEST(MainShell, EveryButtonOfEveryPageCanBeReachedOnSmallScreens) {
    struct Screen {
        const char* what;
        QRect available; // in device-independent pixels
        bool scrolls;
    };
    const Screen cases[] = {
        {"800x600", {0, 0, 800, 560}, true},
        {"1366x768 at 100 %: room for the designed size", {0, 0, 1366, 728}, false},
        {"1366x768 at 125 %", {0, 0, 1093, 582}, true},
        {"1920x1080 at 200 %", {0, 0, 960, 516}, true},
        {"1920x1080 at 100 %: the designed size, nothing scrolls", {0, 0, 1920, 1040}, false},
    };
    for (const Screen& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        gui::MainShell shell(t.app(), t.form());
        shell.fitInto(c.available);
        shell.show();
        QApplication::processEvents();
        EXPECT_TRUE(c.available.contains(shell.geometry()))
            << "the window is larger than the screen";
        QScrollArea* scroll = shell.scrollArea();
        QWidget* viewport = scroll->viewport();
        const QRect seen(viewport->mapTo(&shell, QPoint(0, 0)), viewport->size());
        EXPECT_TRUE(shell.rect().contains(seen));
        EXPECT_EQ(scroll->horizontalScrollBar()->isVisible() ||
                      scroll->verticalScrollBar()->isVisible(),
                  c.scrolls);

        // Pages are built when first shown: build them all to walk every page's buttons.
        shell.formWindow()->realizeAllPages();
        const auto buttons = shell.formWindow()->findChildren<QPushButton*>();
        ASSERT_GT(buttons.size(), 10);
        for (QPushButton* button : buttons) {
            if (hiddenByTheForm(button))
                continue;
            SCOPED_TRACE(button->objectName().toStdString());
            showPageOf(button);
            QApplication::processEvents();
            scroll->ensureWidgetVisible(button, 0, 0);
            QApplication::processEvents();
            ASSERT_TRUE(button->isVisible());
            const QRect where(button->mapTo(viewport, QPoint(0, 0)), button->size());
            EXPECT_TRUE(viewport->rect().contains(where))
                << "at " << where.x() << "," << where.y() << " in a viewport of "
                << viewport->width() << "x" << viewport->height();
        }
    }
}

} // namespace
} // namespace korvane::testing
