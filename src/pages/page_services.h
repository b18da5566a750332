#pragma once

#include "form/platform.h"

#include <QString>

namespace korvane {

class Control;
class Form;

// What a page, a dialog or a book needs from the running program, and nothing more: the platform
// for message boxes and the clock, paths below the program folder, the main form that dialogs
// read from and write back to, the folder for calculation books, and the way a button opens a
// dialog. The application shell implements it; the pages never see the shell itself.
class PageServices {
public:
    virtual ~PageServices() = default;

    virtual Platform& platform() const = 0;
    // A path below the program folder, given with '/' separators.
    virtual QString homePath(const QString& relative) const = 0;
    virtual Form& mainForm() const = 0;
    // Where calculation books are written; empty for the default folder.
    virtual const QString& booksFolder() const = 0;
    // The button shows the dialog `form` (loading it the first time, raising it afterwards).
    virtual void showDialogOnClick(Control& button, const QString& form) = 0;

protected:
    PageServices() = default;
    PageServices(const PageServices&) = default;
    PageServices& operator=(const PageServices&) = default;
};

} // namespace korvane
