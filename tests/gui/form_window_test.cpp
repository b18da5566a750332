// The window's binders: user input on real widgets reaches the form model, and model changes
// reach the widgets, for each kind of control the main window uses.

#include "app/project_info.h"
#include "gui/form_window.h"
#include "gui/main_shell.h"
#include "gui/started_window.h"
#include "gui/view_manager.h"
#include "support/test_app.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

template <typename W> W* widget(gui::FormWindow& window, const char* name) {
    auto* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void choose(gui::FormWindow& window, const char* name, const QString& item) {
    auto* list = widget<QComboBox>(window, name);
    const int index = list->findText(item);
    ASSERT_GE(index, 0) << name << " lacks " << item.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}

TEST(FormWindow, VoltageLossByHandThroughTheWidgets) {
    TestApp t;
    gui::FormWindow window(t.form());
    window.show();

    choose(window, "Combo3", QStringLiteral("50"));
    EXPECT_EQ(widget<QLineEdit>(window, "Text1")->text(), QStringLiteral("0.387"));
    EXPECT_EQ(widget<QLineEdit>(window, "Text2")->text(), QStringLiteral("0.08"));
    choose(window, "Combo7", QStringLiteral("0.38"));
    choose(window, "Combo4", QStringLiteral("0.85"));
    QTest::keyClicks(widget<QLineEdit>(window, "Text4"), QStringLiteral("100"));
    QTest::keyClicks(widget<QLineEdit>(window, "Text5"), QStringLiteral("0.5"));
    EXPECT_EQ(t.text("Text4"), QStringLiteral("100"));

    QTest::mouseClick(widget<QPushButton>(window, "Command1"), Qt::LeftButton);
    EXPECT_EQ(t.text("Text6"), QStringLiteral("8.4573"));
    EXPECT_EQ(widget<QLineEdit>(window, "Text6")->text(), QStringLiteral("8.4573"));
}

TEST(FormWindow, LoadCaseShowsItsFrameAndSwitchesGreyTheirFields) {
    TestApp t;
    gui::FormWindow window(t.form());
    window.show();
    auto* frame4 = widget<QGroupBox>(window, "Frame4");
    auto* frame5 = window.findChild<QGroupBox*>(QStringLiteral("Frame5"));
    EXPECT_TRUE(frame4->isVisibleTo(&window));
    EXPECT_TRUE(frame5 == nullptr || !frame5->isVisibleTo(&window))
        << "a hidden frame is built when first shown, or drawn hidden";

    choose(window, "Combo6", QStringLiteral("(3)几个负荷用电流矩(A.km)"));
    frame5 = widget<QGroupBox>(window, "Frame5");
    EXPECT_FALSE(frame4->isVisibleTo(&window));
    EXPECT_TRUE(frame5->isVisibleTo(&window));

    auto* check = widget<QCheckBox>(window, "Check2");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    EXPECT_EQ(t.check("Check2").value(), 0);
    auto* load = widget<QLineEdit>(window, "Text11");
    EXPECT_EQ(load->text(), QStringLiteral("0"));
    EXPECT_FALSE(load->isEnabled());
    EXPECT_EQ(load->palette().color(QPalette::Disabled, QPalette::Base),
              window.palette().color(QPalette::Button));
}

TEST(FormWindow, TypingIntoTheVoltageListChangesItsTextOnly) {
    TestApp t;
    gui::FormWindow window(t.form());
    auto* voltage = widget<QComboBox>(window, "Combo7");
    ASSERT_TRUE(voltage->isEditable());
    voltage->lineEdit()->clear();
    QTest::keyClicks(voltage->lineEdit(), QStringLiteral("0.4"));
    EXPECT_EQ(t.combo("Combo7").text(), QStringLiteral("0.4"));
    EXPECT_EQ(t.combo("Combo7").listIndex(), -1);
}

TEST(FormWindow, ExitButtonEndsTheProgram) {
    TestApp t;
    gui::FormWindow window(t.form());
    QTest::mouseClick(widget<QPushButton>(window, "Command3"), Qt::LeftButton);
    EXPECT_EQ(t.platform().endStatuses, std::vector<int>{0});
}

TEST(FormWindow, PagesAreBuiltWhenFirstShownWithTheirControlsAsTheyAreThen) {
    TestApp t;
    gui::FormWindow window(t.form());
    window.show();
    EXPECT_NE(window.findChild<QLineEdit*>(QStringLiteral("Text4")), nullptr) << "page 0 is shown";
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Text46")), nullptr)
        << "page 1 is not built before it is shown";

    // A value written while the page is unbuilt (as picking Rphp on page 2 does) is drawn when
    // the page is first shown, and typing on the late-built page reaches the model.
    t.setText("Text46", QStringLiteral("1.5"));
    t.form().get<TabControl>(QStringLiteral("SSTab1")).setTab(1);
    auto* rphp = widget<QLineEdit>(window, "Text46");
    ASSERT_NE(rphp, nullptr);
    EXPECT_TRUE(rphp->isVisible());
    EXPECT_EQ(rphp->text(), QStringLiteral("1.5"));
    rphp->selectAll();
    QTest::keyClicks(rphp, QStringLiteral("2.25"));
    EXPECT_EQ(t.text("Text46"), QStringLiteral("2.25"));
    t.setText("Text46", QStringLiteral("0.8"));
    EXPECT_EQ(rphp->text(), QStringLiteral("0.8"));

    // A frame first shown late lies among its siblings as the form orders them, so fields that
    // overlap keep the one the form puts on top.
    t.form().get<TabControl>(QStringLiteral("SSTab1")).setTab(0);
    choose(window, "Combo6", QStringLiteral("(3)几个负荷用电流矩(A.km)"));
    QWidget* lateFrame = widget<QGroupBox>(window, "Frame5");
    ASSERT_NE(lateFrame, nullptr);
    std::vector<int> places;
    for (QObject* sibling : lateFrame->parentWidget()->children()) {
        const auto& controls = t.form().controls();
        for (size_t i = 0; i < controls.size(); ++i) {
            if (sibling->isWidgetType() && controls[i]->name() == sibling->objectName())
                places.push_back(static_cast<int>(i));
        }
    }
    ASSERT_GT(places.size(), 3u);
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end())) << "stacked in form order";

    // A click on a tab builds its page too.
    auto* tabs = widget<QTabWidget>(window, "SSTab1");
    tabs->setCurrentIndex(2);
    EXPECT_EQ(t.form().get<TabControl>(QStringLiteral("SSTab1")).tab(), 2);
    EXPECT_EQ(window.findChildren<QPushButton*>(QStringLiteral("Command15")).size(), 1)
        << "page 1's buttons are built once";
    window.realizeAllPages();
    EXPECT_EQ(window.findChildren<QLineEdit*>(QStringLiteral("Text46")).size(), 1);
}

TEST(ViewManager, SplashGivesWayToTheMainWindow) {
    RecordingPlatform platform;
    Application app(platform, testHome());
    gui::ViewManager views(app);
    app.start();
    ASSERT_NE(views.windowOf(QStringLiteral("Form11")), nullptr);
    EXPECT_EQ(views.windowOf(QStringLiteral("Form1")), nullptr);

    app.form(QStringLiteral("Form11")).get<Timer>(QStringLiteral("Timer1")).raise(Event::Timer);
    EXPECT_EQ(views.windowOf(QStringLiteral("Form11")), nullptr);
    gui::FormWindow* main = views.windowOf(QStringLiteral("Form1"));
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Korvane"));
}

// A dialog's 确定 unloads its form from inside the button's click, so its window can only be
// deleted once that event is over. Until then it reaches no control, and it never outlives the
// forms: the views delete it when they go, even if the event loop never came back.
TEST(ViewManager, TheWindowOfAnUnloadedFormLetsGoAtOnceAndGoesWithTheViews) {
    QPointer<gui::FormWindow> retired;
    {
        StartedWindow program;
        Form& dialog = program.app.form(QString::fromLatin1(kProjectDialog));
        dialog.show();
        retired = program.views.windowOf(dialog.name());
        ASSERT_FALSE(retired.isNull());
        QTest::mouseClick(widget<QPushButton>(*retired, "Command1"), Qt::LeftButton);
        ASSERT_FALSE(dialog.loaded());
        ASSERT_FALSE(retired.isNull()) << "deleted when the event loop comes back";
        EXPECT_TRUE(retired->detached());
        EXPECT_TRUE(retired->isHidden());

        // Opened again meanwhile: the new load's controls have a window of their own, and what
        // reaches the old window's widgets reaches no control.
        dialog.show();
        gui::FormWindow* renewed = program.views.windowOf(dialog.name());
        ASSERT_NE(renewed, nullptr);
        EXPECT_NE(renewed, retired.data());
        const QString before = dialog.text(QStringLiteral("Text1")).text();
        QTest::keyClicks(widget<QLineEdit>(*retired, "Text1"), QStringLiteral("x"));
        QTest::mouseClick(widget<QPushButton>(*retired, "Command1"), Qt::LeftButton);
        EXPECT_TRUE(dialog.loaded());
        EXPECT_EQ(dialog.text(QStringLiteral("Text1")).text(), before);
    }
    EXPECT_TRUE(retired.isNull()) << "the window waiting for its deletion went with the views";
}

TEST(MainShell, TitleMarksUnsavedChangesOfTheInputs) {
    StartedWindow program;
    gui::FormWindow* content = program.content();
    ASSERT_NE(content, nullptr);
    QWidget* shell = program.shell();
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名 - Korvane"));

    QTest::keyClicks(widget<QLineEdit>(*content, "Text4"), QStringLiteral("100"));
    QApplication::processEvents();
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名* - Korvane"));
    QTest::keyClick(widget<QLineEdit>(*content, "Text4"), Qt::Key_Backspace);
    QTest::keyClick(widget<QLineEdit>(*content, "Text4"), Qt::Key_Backspace);
    QTest::keyClick(widget<QLineEdit>(*content, "Text4"), Qt::Key_Backspace);
    QApplication::processEvents();
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名 - Korvane")) << "back as it was";
}

TEST(MainShell, OnlyInputChangesAreComparedForTheTitle) {
    StartedWindow program;
    gui::FormWindow* content = program.content();
    ASSERT_NE(content, nullptr);
    gui::MainShell* shell = program.shell();
    ASSERT_NE(shell, nullptr);
    QApplication::processEvents();
    const int before = shell->titleComparisons();

    // The schematic's blinking and a written result change no input: no comparison.
    Form& form = program.app.form(QStringLiteral("Form1"));
    for (int i = 0; i < 10; ++i) {
        form.get<Timer>(QStringLiteral("Timer1")).raise(Event::Timer);
        QApplication::processEvents();
    }
    form.text(QStringLiteral("Text6")).setText(QStringLiteral("1.2345"));
    QApplication::processEvents();
    EXPECT_EQ(shell->titleComparisons(), before);

    // A typed input is compared, once for its burst of changes.
    QTest::keyClicks(widget<QLineEdit>(*content, "Text4"), QStringLiteral("100"));
    QApplication::processEvents();
    EXPECT_EQ(shell->titleComparisons(), before + 1);
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名* - Korvane"));
}

} // namespace
} // namespace korvane::testing

int main(int argc, char** argv) {
    // The widgets need no screen: draw them offscreen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
