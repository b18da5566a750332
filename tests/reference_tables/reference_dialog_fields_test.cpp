// The picker dialogs' table against every loaded picker, and the main-window fields each
// handbook table fills, resolved through the tables of their pages.

#include "reference_tables/reference_dialog_fields.h"
#include "reference_tables/reference_tables.h"
#include "support/test_app.h"

#include <QSet>

namespace korvane::testing {
namespace {

TEST(ReferenceDialogFields, EveryPickerHoldsItsBoundControls) {
    TestApp t;
    const BindingTable& fields = referenceDialogFields();
    for (const ReferenceTable& table : referenceTables()) {
        SCOPED_TRACE(table.form.toStdString());
        Form& form = t.app().form(table.form);
        form.load();
        ASSERT_TRUE(form.loaded());
        EXPECT_EQ(form.control(fields.control("referenceTable.grid")).kind(), ControlKind::Grid);
        EXPECT_EQ(form.control(fields.control("referenceTable.titleLine")).kind(),
                  ControlKind::TextBox);
        EXPECT_EQ(form.control(fields.control("referenceTable.close")).kind(),
                  ControlKind::CommandButton);
        for (const char* label : {"referenceTable.heading", "referenceTable.sourceNote"})
            EXPECT_EQ(form.control(fields.control(label)).kind(), ControlKind::Label) << label;
        // The labels below the grid exist only when the table has their texts.
        EXPECT_EQ(form.has(fields.control("referenceTable.instruction")),
                  !table.instruction.isEmpty());
        EXPECT_EQ(form.has(fields.control("referenceTable.unit")), !table.unit.isEmpty());
        form.unload();
    }
}

TEST(ReferenceDialogFields, TargetsAreDistinctTextFieldsOfTheMainWindow) {
    TestApp t;
    QSet<QString> filledByOneTable;
    for (const ReferenceTable& table : referenceTables()) {
        SCOPED_TRACE(table.form.toStdString());
        ASSERT_FALSE(table.targets.empty());
        for (const PickTarget& target : table.targets) {
            const QString name = target.fields->control(target.quantity);
            EXPECT_EQ(t.form().control(name).kind(), ControlKind::TextBox) << name.toStdString();
            // Each field has one table of its own.
            EXPECT_FALSE(filledByOneTable.contains(name)) << name.toStdString();
            filledByOneTable.insert(name);
        }
    }
}

} // namespace
} // namespace korvane::testing
