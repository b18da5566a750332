// The field table of page 0 against the window: every row names a control of the kind its row
// implies, the clear button empties exactly the rows marked cleared, and every input the
// calculation file keeps dates the results when it changes.

#include "pages/voltage_loss_fields.h"
#include "support/test_app.h"

#include <set>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The kind a row implies: lists and texts by how the file keeps them, results are text boxes, and
// the rows the file does not keep by their quantity.
ControlKind expectedKind(const FieldBinding& row) {
    switch (row.saved) {
    case Saved::List:
    case Saved::EditableList:
        return ControlKind::ComboBox;
    case Saved::Text:
        return ControlKind::TextBox;
    case Saved::LoadSwitch:
    case Saved::ModeSwitch:
        return ControlKind::CheckBox;
    case Saved::Spin:
        return ControlKind::UpDown;
    case Saved::No:
        break;
    }
    if (row.written != Written::None)
        return ControlKind::TextBox;
    const QString quantity = row.quantityName();
    if (quantity.contains(u8(".loadFrame.")))
        return ControlKind::Frame;
    if (quantity.endsWith(u8("Note")))
        return ControlKind::Label;
    return ControlKind::CommandButton;
}

TEST(VoltageLossFields, EveryRowNamesOneControlOfItsKind) {
    TestApp t;
    std::set<QString> quantities;
    std::set<QString> controls;
    for (const FieldBinding& row : voltageLossFields().rows()) {
        SCOPED_TRACE(row.quantityName().toStdString());
        EXPECT_TRUE(quantities.insert(row.quantityName()).second) << "quantity listed twice";
        EXPECT_TRUE(controls.insert(row.controlName()).second) << "control bound twice";
        const Control* control = t.form().find(row.controlName());
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->kind(), expectedKind(row));
        if (const auto* list = dynamic_cast<const ComboBox*>(control)) {
            EXPECT_EQ(list->editable(), row.saved == Saved::EditableList);
        }
    }
    // The switched loads and the load frames are rows of the table, and the compatibility list of
    // switch controls follows it.
    for (size_t k = 0; k < kSwitchedLoads.size(); ++k) {
        const SwitchedLoad& load = kSwitchedLoads[k];
        EXPECT_EQ(voltageLossFields()[load.included].saved, Saved::LoadSwitch);
        EXPECT_EQ(u8(kLoadSwitches[k].check), voltageLossFields().control(load.included));
        EXPECT_EQ(u8(kLoadSwitches[k].load), voltageLossFields().control(load.load));
        EXPECT_EQ(u8(kLoadSwitches[k].distance), voltageLossFields().control(load.lengthKm));
    }
    for (std::string_view frame : kLoadFrames)
        EXPECT_EQ(t.form().control(voltageLossFields().control(frame)).kind(), ControlKind::Frame);
}

TEST(VoltageLossFields, ClearButtonEmptiesExactlyTheClearedRows) {
    TestApp t;
    for (const auto& control : t.form().controls()) {
        if (auto* box = dynamic_cast<TextBox*>(control.get()))
            box->setText(u8("7"));
    }
    std::set<QString> filled;
    for (const auto& control : t.form().controls()) {
        if (const auto* box = dynamic_cast<const TextBox*>(control.get());
            box && !box->text().isEmpty())
            filled.insert(box->name());
    }

    t.click(voltageLossFields().control("voltageLoss.clear").toLatin1().constData());

    std::set<QString> emptied;
    for (const QString& name : filled) {
        if (t.form().text(name).text().isEmpty())
            emptied.insert(name);
    }
    const QStringList cleared = voltageLossFields().clearedControls();
    EXPECT_EQ(emptied, std::set<QString>(cleared.begin(), cleared.end()));
}

// Something else than the control holds now, as a user would change it.
void changeValue(Control& control) {
    if (auto* check = dynamic_cast<CheckBox*>(&control)) {
        check->setValue(1 - check->value());
    } else if (auto* list = dynamic_cast<ComboBox*>(&control)) {
        if (list->items().size() > 1)
            list->setListIndex((list->listIndex() + 1) % int(list->items().size()));
        else
            list->setText(list->text() + u8("9"));
    } else {
        auto& box = dynamic_cast<TextBox&>(control);
        box.setText(box.text() + u8("9"));
    }
}

TEST(VoltageLossFields, EveryKeptInputDatesTheResults) {
    TestApp t;
    t.select("Combo3", u8("50"));
    t.select("Combo7", u8("0.38"));
    t.select("Combo4", u8("0.85"));
    t.setText("Text4", u8("100"));
    t.setText("Text5", u8("0.5"));
    const QString compute = voltageLossFields().control("voltageLoss.compute");
    const TextBox& loss = t.form().text(voltageLossFields().control("voltageLoss.lossPercent"));
    for (const FieldBinding& row : voltageLossFields().rows()) {
        if (row.saved == Saved::No)
            continue;
        SCOPED_TRACE(row.quantityName().toStdString());
        t.click(compute.toLatin1().constData());
        ASSERT_FALSE(loss.text().isEmpty());
        ASSERT_FALSE(loss.outOfDate());
        changeValue(t.form().control(row.controlName()));
        EXPECT_TRUE(loss.outOfDate());
    }
}

} // namespace
} // namespace korvane::testing
