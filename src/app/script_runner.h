#pragma once

#include "form/platform.h"

#include <QString>
#include <QTextStream>

#include <functional>

namespace korvane {

class Application;
class Control;

// The lines by which a driven program reports what a user would see: a message box as
// `msgbox<TAB>ICON<TAB>TITLE<TAB>TEXT` (answered OK), a written book as `book<TAB>PATH`.
void printMessageBox(QTextStream& out, MessageIcon icon, const QString& title, const QString& text);
void printBook(QTextStream& out, const QString& path);

// Platform of the headless driver: message boxes are printed as one line each and answered OK.
class ScriptPlatform : public Platform {
public:
    explicit ScriptPlatform(QTextStream& out) : out_(out) {}
    void messageBox(MessageIcon icon, const QString& title, const QString& text) override;
    void endProgram(int status) override;
    // A book is not opened headless: its path is printed as one line `book<TAB>PATH`.
    bool openDocument(const QString& path) override;

private:
    QTextStream& out_;
};

// Runs a script of user actions against the forms, one line at a time (verbs set, select,
// index, check, click, spin, tick, cell, show, print, props, items, open, save). Returns the
// process status: 0 when the script ran to its end or an exit button ended the program, 2 at the
// first line that cannot be carried out, the program's own status when start-up failed.
class ScriptRunner {
public:
    ScriptRunner(Application& app, QTextStream& out, QTextStream& err);

    // Starts the main window without the splash wait, then runs the script.
    int run(QTextStream& script);
    // Runs the script against a program that has started; `afterEachLine`, when given, runs
    // after every line carried out (the window draws what the line changed).
    int runLines(QTextStream& script, const std::function<void()>& afterEachLine = {});
    // Runs one line; returns an empty text or why it could not be carried out.
    QString execute(const QString& line);

private:
    Control* resolve(const QString& reference, QString& why) const;
    QString printValue(const Control& control) const;

    Application& app_;
    QTextStream& out_;
    QTextStream& err_;
};

// A value written on one line: CR as \r, LF as \n, backslash as \\.
QString escapeValue(const QString& value);

} // namespace korvane
