#include "support/test_app.h"

#include "base/number_format.h"

namespace korvane::testing {

QString testHome() {
    return QStringLiteral(KORVANE_TEST_HOME);
}

TestApp::TestApp(const QString& home, Preferences* preferences) {
    platform_.remembered = preferences;
    app_ = std::make_unique<Application>(platform_, home);
    app_->startWithoutSplash();
}

void TestApp::select(const char* comboName, const QString& item) {
    ComboBox& list = combo(comboName);
    // Number items carry the regional decimal sign; tests name them in the '.' form, as scripts do.
    int index = list.indexOf(item);
    if (index < 0)
        index = list.indexOf(regionalDecimalText(item));
    ASSERT_GE(index, 0) << comboName << " lacks " << item.toStdString();
    ASSERT_EQ(userSelect(list, index), QString());
}

void TestApp::click(const char* control) {
    ASSERT_EQ(userClick(form().control(QString::fromUtf8(control))), QString());
}

} // namespace korvane::testing
