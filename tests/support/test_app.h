#pragma once

#include "app/application.h"
#include "form/platform.h"
#include "form/user_actions.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// Failed comparisons of texts print the text itself, not its bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace korvane::testing {

struct RecordedMessage {
    MessageIcon icon;
    QString title;
    QString text;
};

// Records message boxes and the end of the program instead of showing or doing them.
class RecordingPlatform : public Platform {
public:
    void messageBox(MessageIcon icon, const QString& title, const QString& text) override {
        messages.push_back({icon, title, text});
    }
    bool question(const QString& title, const QString& text) override {
        questions.push_back({MessageIcon::None, title, text});
        return answer;
    }
    void endProgram(int status) override { endStatuses.push_back(status); }
    bool openDocument(const QString& path) override {
        openedDocuments.push_back(path);
        return openSucceeds;
    }
    QDateTime now() const override { return clock; }
    Preferences* preferences() override { return remembered; }

    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> questions; // asked, and answered with `answer`
    bool answer = false;
    std::vector<int> endStatuses;
    std::vector<QString> openedDocuments;
    bool openSucceeds = true;
    QDateTime clock{QDate(2026, 12, 8), QTime(9, 30, 15)};
    Preferences* remembered = nullptr; // none: nothing is remembered between runs
};

// The program folder of the tests: shipped data plus test-only cable rows.
QString testHome();

// A started program (main window loaded, no splash) over a program folder.
class TestApp {
public:
    explicit TestApp(const QString& home = testHome(), Preferences* preferences = nullptr);

    Application& app() { return *app_; }
    Form& form() { return app_->mainForm(); }
    RecordingPlatform& platform() { return platform_; }

    QString text(const char* name) { return form().text(QString::fromUtf8(name)).text(); }
    void setText(const char* name, const QString& value) {
        form().text(QString::fromUtf8(name)).setText(value);
    }
    ComboBox& combo(const char* name) { return form().combo(QString::fromUtf8(name)); }
    CheckBox& check(const char* name) { return form().check(QString::fromUtf8(name)); }
    // Selects an item by its text as the user does; fails the test when it is not listed.
    void select(const char* combo, const QString& item);
    void click(const char* control);

private:
    RecordingPlatform platform_;
    std::unique_ptr<Application> app_;
};

} // namespace korvane::testing
