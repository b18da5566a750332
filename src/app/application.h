#pragma once

#include "db/database.h"
#include "form/form.h"
#include "form/platform.h"
#include "pages/page_services.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace korvane {

// The running program: its forms, the program folder that holds `Database/` and `A page/`,
// and the platform that shows message boxes and ends the process.
class Application : public PageServices {
public:
    Application(Platform& platform, QString homeDir);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    Platform& platform() const override { return platform_; }
    const QString& homeDir() const { return homeDir_; }
    // A path below the program folder, given with '/' separators.
    QString homePath(const QString& relative) const override;

    Form& form(const QString& name) const;
    Form* findForm(const QString& name) const;
    const std::vector<Form*>& forms() const { return order_; }
    Form& mainForm() const override { return form(QStringLiteral("Form1")); }

    // Starts with the splash window, which shows the main window after its first tick.
    void start();
    // Loads and shows the main window at once (headless use, tests).
    void startWithoutSplash();

    // Ends the program: tells the platform and remembers the status.
    void end(int status);
    bool ended() const { return ended_; }
    int exitStatus() const { return exitStatus_; }

    // Where calculation books are written.
    const QString& booksFolder() const override { return booksFolder_; }
    void setBooksFolder(const QString& folder) { booksFolder_ = folder; }

    // The main window's connection to the cable database.
    Database& cableDatabase() const { return *cableDatabase_; }

    void showDialogOnClick(Control& button, const QString& form) override;

private:
    Form& addForm(const QString& name, Form::Design design);

    Platform& platform_;
    QString homeDir_;
    QString booksFolder_;
    std::map<QString, std::unique_ptr<Form>> forms_;
    std::vector<Form*> order_;
    std::unique_ptr<Database> cableDatabase_;
    bool ended_ = false;
    int exitStatus_ = 0;
};

// The button shows the dialog `form` (loading it the first time, raising it afterwards).
void showFormOnClick(Application& app, Control& button, const QString& form);

} // namespace korvane
