// Out-of-date results as the window draws them: grey result texts and the visible note beside
// them while an input changed after the computation, the field's own colours once computed again.

#include "gui/form_window.h"
#include "support/test_app.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

const QColor kGrey(0x80, 0x80, 0x80);

QColor textColor(QWidget* field) {
    return field->palette().color(QPalette::Active, QPalette::Text);
}

TEST(StaleResultsView, GreyResultsAndTheNoteAreDrawnUntilComputedAgain) {
    TestApp t;
    gui::FormWindow window(t.form());
    window.show();
    auto* loss = window.findChild<QLineEdit*>(QStringLiteral("Text6"));
    auto* verdict = window.findChild<QPlainTextEdit*>(QStringLiteral("Text3"));
    auto* load = window.findChild<QLineEdit*>(QStringLiteral("Text4"));
    ASSERT_TRUE(loss && verdict && load);
    // A hidden control's widget is built when the form first shows it.
    auto note = [&window] { return window.findChild<QLabel*>(QStringLiteral("StaleNote0")); };

    t.select("Combo3", QStringLiteral("50"));
    t.select("Combo7", QStringLiteral("0.38"));
    t.select("Combo4", QStringLiteral("0.85"));
    QTest::keyClicks(load, QStringLiteral("100"));
    t.setText("Text5", QStringLiteral("0.5"));
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    ASSERT_EQ(loss->text(), QStringLiteral("8.4573"));
    const QColor fieldText = textColor(loss);
    const QColor verdictRed = textColor(verdict);
    EXPECT_NE(fieldText, kGrey);
    EXPECT_EQ(verdictRed, QColor(0xFF, 0x00, 0x00));
    EXPECT_TRUE(note() == nullptr || !note()->isVisibleTo(&window));

    // The engineer types another load current: the results stay, drawn grey, the note shows.
    QTest::keyClick(load, Qt::Key_Backspace);
    QTest::keyClicks(load, QStringLiteral("5"));
    EXPECT_EQ(t.text("Text4"), QStringLiteral("105"));
    EXPECT_EQ(loss->text(), QStringLiteral("8.4573"));
    EXPECT_EQ(textColor(loss), kGrey);
    EXPECT_EQ(textColor(verdict), kGrey);
    ASSERT_NE(note(), nullptr);
    EXPECT_TRUE(note()->isVisibleTo(&window));
    EXPECT_EQ(note()->text(), QStringLiteral("输入已更改，请重新计算"));
    EXPECT_EQ(note()->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));

    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_EQ(textColor(loss), fieldText);
    EXPECT_EQ(textColor(verdict), verdictRed);
    EXPECT_FALSE(note()->isVisibleTo(&window));
}

} // namespace
} // namespace korvane::testing
