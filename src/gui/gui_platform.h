#pragma once

#include "app/preferences.h"
#include "form/platform.h"

#include <functional>
#include <memory>

namespace korvane::gui {

// Message boxes as real modal boxes; ending the program leaves the event loop with the status.
class GuiPlatform : public Platform {
public:
    void messageBox(MessageIcon icon, const QString& title, const QString& text) override;
    bool question(const QString& title, const QString& text) override;
    void endProgram(int status) override;
    bool openDocument(const QString& path) override;
    // A busy cursor and a status-bar message at once, and where the result went afterwards.
    void longActionStarted(const QString& what) override;
    void longActionFinished(const QString& result) override;
    // The user's settings of the program, opened at first use (after the application is named).
    Preferences* preferences() override;

    // Where status messages are shown (the main window's status bar).
    std::function<void(const QString&, int timeoutMs)> showStatus;

    bool ended() const { return ended_; }
    int status() const { return status_; }

private:
    std::unique_ptr<SettingsPreferences> preferences_;
    bool busy_ = false;
    bool ended_ = false;
    int status_ = 0;
};

} // namespace korvane::gui
