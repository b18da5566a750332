#pragma once

#include "form/platform.h"

namespace korvane::gui {

// Message boxes as real modal boxes; ending the program leaves the event loop with the status.
class GuiPlatform : public Platform {
public:
    void messageBox(MessageIcon icon, const QString& title, const QString& text) override;
    void endProgram(int status) override;
    bool openDocument(const QString& path) override;

    bool ended() const { return ended_; }
    int status() const { return status_; }

private:
    bool ended_ = false;
    int status_ = 0;
};

} // namespace korvane::gui
