#pragma once

#include <QDateTime>
#include <QString>

namespace korvane {

enum class MessageIcon { None, Critical, Information, Warning };

// What the program remembers for its user from one run to the next, as texts under keys.
class Preferences {
public:
    virtual ~Preferences() = default;
    virtual QString value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QString& value) = 0;
};

// What the program asks of its surroundings: modal message boxes and questions and ending the
// process.
// The GUI shows real boxes; the command-line driver prints them; tests record them.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box with one OK button; returns when the user has closed it.
    virtual void messageBox(MessageIcon icon, const QString& title, const QString& text) = 0;
    // A modal question answered 是 (true) or 否. Where no user can answer (the headless driver,
    // a driven run) it is answered 否, so that nothing changes unasked.
    virtual bool question(const QString& /*title*/, const QString& /*text*/) { return false; }
    // Ends the program with `status` as soon as the running handler returns.
    virtual void endProgram(int status) = 0;
    // Opens a written document with the desktop's default application; false when it could not.
    virtual bool openDocument(const QString& path) = 0;
    // A long action (writing a book, opening a file) starts: the window shows at once that it is
    // busy; it finishes with a short report of where its result went.
    virtual void longActionStarted(const QString& /*what*/) {}
    virtual void longActionFinished(const QString& /*result*/) {}
    // The current date and time (a recorded clock in tests).
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    // Where the user's preferences are kept; none by default, so the headless driver and the
    // tests start the same way every time.
    virtual Preferences* preferences() { return nullptr; }
};

} // namespace korvane
