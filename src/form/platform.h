#pragma once

#include <QString>

namespace korvane {

enum class MessageIcon { None, Critical, Information, Warning };

// What the program asks of its surroundings: modal message boxes and ending the process.
// The GUI shows real boxes; the command-line driver prints them; tests record them.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box with one OK button; returns when the user has closed it.
    virtual void messageBox(MessageIcon icon, const QString& title, const QString& text) = 0;
    // Ends the program with `status` as soon as the running handler returns.
    virtual void endProgram(int status) = 0;
};

} // namespace korvane
