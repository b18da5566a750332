#pragma once

// The program started as `korvane --no-splash` starts it: the main window shown through its
// views, for tests that drive the whole window.

#include "gui/form_window.h"
#include "gui/main_shell.h"
#include "gui/view_manager.h"
#include "support/test_app.h"

namespace korvane::testing {

struct StartedWindow {
    RecordingPlatform platform;
    Application app{platform, testHome()};
    gui::ViewManager views{app};

    StartedWindow() { app.startWithoutSplash(); }
    // The main window's pages, or null when it is not shown.
    gui::FormWindow* content() const { return views.windowOf(QStringLiteral("Form1")); }
    // The window around them: menus, status bar and title.
    gui::MainShell* shell() const {
        gui::FormWindow* pages = content();
        return pages == nullptr ? nullptr : dynamic_cast<gui::MainShell*>(pages->window());
    }
};

} // namespace korvane::testing
