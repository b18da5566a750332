// The main window's own field table against the window, and the tables the shell's hints and
// page 0's clear button are keyed by.

#include "app/hints.h"
#include "app/main_window_fields.h"
#include "app/project_info.h"
#include "pages/voltage_loss_fields.h"

#include "support/test_app.h"

#include <set>
#include <string>

namespace korvane::testing {
namespace {

ControlKind kindOf(std::string_view quantity) {
    if (quantity.starts_with("animation.arrow."))
        return ControlKind::Line;
    if (quantity == "animation.timer")
        return ControlKind::Timer;
    if (quantity == "animation.progress")
        return ControlKind::ProgressBar;
    if (quantity == "about.information")
        return ControlKind::RichTextBox;
    return ControlKind::CommandButton; // shell.* and hint.*
}

TEST(MainWindowFields, EveryRowNamesAControlOfItsKindOnTheWindow) {
    TestApp app;
    std::set<QString> controls;
    for (const FieldBinding& row : mainWindowFields().rows()) {
        SCOPED_TRACE(std::string(row.quantity));
        ASSERT_TRUE(app.form().has(row.controlName()));
        EXPECT_EQ(app.form().control(row.controlName()).kind(), kindOf(row.quantity));
        EXPECT_TRUE(controls.insert(row.controlName()).second) << "bound twice";
        EXPECT_EQ(row.saved, Saved::No);
        // A hint button has its own text; no other button has one.
        EXPECT_EQ(hintText(row.controlName()).isEmpty(), !row.quantity.starts_with("hint."));
    }
}

TEST(MainWindowFields, PageZeroClearsTextFieldsOfItsOwnTableOnlyOnce) {
    TestApp app;
    const BindingTable& page = voltageLossFields();
    std::set<QString> cleared;
    for (std::string_view quantity : voltageLossClearedQuantities()) {
        SCOPED_TRACE(std::string(quantity));
        const FieldBinding& row = page[quantity];
        EXPECT_TRUE(cleared.insert(row.controlName()).second);
        EXPECT_EQ(app.form().control(row.controlName()).kind(), ControlKind::TextBox);
        // The cable's R and X come with the cross-section and stay.
        EXPECT_NE(quantity, "voltageLoss.cableResistanceOhmPerKm");
        EXPECT_NE(quantity, "voltageLoss.cableReactanceOhmPerKm");
    }
    EXPECT_EQ(cleared.size(), 31U);
}

// The project's names on the main window and the dialog's copies of them beside its buttons.
TEST(ProjectDialogFields, NamesAreTextFieldsAndTheRestButtons) {
    TestApp app;
    for (const FieldBinding& row : projectFields().rows())
        EXPECT_EQ(app.form().control(row.controlName()).kind(), ControlKind::TextBox)
            << row.quantity;
    Form& dialog = app.app().form(QString::fromLatin1(kProjectDialog));
    dialog.show();
    for (const FieldBinding& row : projectDialogFields().rows()) {
        SCOPED_TRACE(std::string(row.quantity));
        const bool button =
            row.quantity == "projectDialog.ok" || row.quantity == "projectDialog.cancel";
        ASSERT_TRUE(dialog.has(row.controlName()));
        EXPECT_EQ(dialog.control(row.controlName()).kind(),
                  button ? ControlKind::CommandButton : ControlKind::TextBox);
    }
}

} // namespace
} // namespace korvane::testing
