#pragma once

#include "app/application.h"
#include "gui/form_window.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class QMenu;
class QScrollArea;

namespace korvane {
class ProjectSession;
}

namespace korvane::gui {

class ScheduleWindow;

// The main window's frame around its form: the "文件" menu (new, open, save, save as, the
// project's information, recent files), the status bar, and the title with the file name and an
// asterisk for unsaved changes. Closing the window with unsaved changes asks whether to save them.
// The "工程" menu opens projects in the circuit schedule window; the window's one project session
// is made when the menu is first used, and leaving with unsaved project changes asks as well.
class MainShell : public QMainWindow {
public:
    MainShell(Application& app, Form& form);
    ~MainShell() override;

    FormWindow* formWindow() const { return content_; }
    // How many times the inputs were compared with the saved ones for the title (each compare
    // serialises every input).
    int titleComparisons() const { return titleComparisons_; }
    // The pages keep their designed positions; on a screen too small for them they scroll.
    QScrollArea* scrollArea() const { return scroll_; }
    // Sizes the window to the designed size, or to the part of `area` (a screen's available
    // geometry, room for the frame left) that it can have, and centres it there.
    void fitInto(const QRect& area);
    // Takes the start-up inputs as the state of a new calculation, once start-up has run.
    void startUpFinished();
    // Opens a calculation file as the 文件 menu does (its problems in message boxes, the result
    // in the status bar); the caller has asked about unsaved changes where there are any.
    void openPath(const QString& path);
    // The circuit schedule window with its project session, made on first use.
    ScheduleWindow& scheduleWindow();
    bool hasScheduleWindow() const { return schedule_ != nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void newCalculation();
    void exportPdf(bool voltageLossBook);
    void openFile();
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);
    bool confirmDiscard();
    void updateTitle();
    void rememberRecent(const QString& path);
    void fillRecentMenu();
    bool modified() const;

    Application& app_;
    Form& form_;
    FormWindow* content_;
    QScrollArea* scroll_;
    bool titlePending_ = false;
    int titleComparisons_ = 0;
    QMenu* recentMenu_ = nullptr;
    QString path_;
    QByteArray savedSnapshot_;
    QByteArray startSnapshot_;
    std::vector<Signal<const Control&>::Connection> connections_;
    std::unique_ptr<ProjectSession> project_;
    ScheduleWindow* schedule_ = nullptr; // a window of its own, deleted with this one
};

} // namespace korvane::gui
