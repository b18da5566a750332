// The binding tables of page 1 and of its transformer and busbar dialogs against the forms they
// describe: every row names a control that exists and has the kind the row implies, every
// control the user operates in a dialog has its row, and 清  零 empties the fields it always has.

#include "pages/short_circuit_fields.h"
#include "support/test_app.h"

#include <QSet>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The kind of control a row's use implies: kept or written texts are text boxes, kept lists are
// lists, switches check boxes. Rows neither kept nor written are buttons, frames and labels.
bool hasImpliedKind(const FieldBinding& row, ControlKind kind) {
    switch (row.saved) {
    case Saved::Text:
        return kind == ControlKind::TextBox;
    case Saved::List:
    case Saved::EditableList:
        return kind == ControlKind::ComboBox;
    case Saved::LoadSwitch:
    case Saved::ModeSwitch:
        return kind == ControlKind::CheckBox;
    case Saved::Spin:
        return kind == ControlKind::UpDown;
    case Saved::No:
        break;
    }
    if (row.written != Written::None)
        return kind == ControlKind::TextBox;
    return kind == ControlKind::CommandButton || kind == ControlKind::Frame ||
           kind == ControlKind::Label || kind == ControlKind::TextBox ||
           kind == ControlKind::ComboBox;
}

void expectRowsOnForm(const BindingTable& table, const Form& form) {
    for (const FieldBinding& row : table.rows()) {
        SCOPED_TRACE(std::string(row.quantity));
        const Control* control = form.find(row.controlName());
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(hasImpliedKind(row, control->kind()));
    }
}

// Every list, text box and button of a dialog is bound; captions and frames may be unbound.
void expectOperatedControlsBound(const BindingTable& table, const Form& form) {
    QSet<QString> bound;
    for (const FieldBinding& row : table.rows())
        bound.insert(row.controlName());
    for (const auto& control : form.controls()) {
        const ControlKind kind = control->kind();
        if (kind == ControlKind::TextBox || kind == ControlKind::ComboBox ||
            kind == ControlKind::CommandButton) {
            EXPECT_TRUE(bound.contains(control->name())) << control->name().toStdString();
        }
    }
}

TEST(ShortCircuitFields, EveryRowNamesAControlOfItsKindOnTheMainWindow) {
    TestApp t;
    expectRowsOnForm(shortCircuitFields(), t.form());
    // The buttons the page wires by quantity are buttons.
    for (const char* quantity :
         {"shortCircuit.compute", "shortCircuit.clear", "shortCircuit.chooseTransformer",
          "shortCircuit.chooseBusbar", "shortCircuit.pick.line.resistance",
          "shortCircuit.pick.line.phaseNeutralReactance"}) {
        EXPECT_EQ(t.form().control(shortCircuitFields().control(quantity)).kind(),
                  ControlKind::CommandButton)
            << quantity;
    }
}

TEST(ShortCircuitFields, ClearEmptiesTheLineTransformerBusbarAndResultFields) {
    QSet<QString> expected;
    for (int n : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 53, 55, 56, 57, 58, 59, 60, 61, 62})
        expected.insert(QStringLiteral("Text%1").arg(n));
    const QStringList cleared = shortCircuitFields().clearedControls();
    EXPECT_EQ(cleared.size(), expected.size());
    EXPECT_EQ(QSet<QString>(cleared.begin(), cleared.end()), expected);
    // The currents are what the computation writes, in the order it writes them.
    EXPECT_EQ(shortCircuitFields().writtenControls(),
              (QStringList{"Text42", "Text43", "Text44", "Text45"}));
}

TEST(ShortCircuitFields, DialogTablesDescribeTheirLoadedDialogs) {
    struct Dialog {
        const char* button;
        const char* form;
        const BindingTable& table;
    };
    const Dialog dialogs[] = {
        {"Command22", "BYQForm8", transformerDialogFields()},
        {"Command23", "MXForm9", busbarDialogFields()},
    };
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.form);
        TestApp t;
        t.click(d.button);
        const Form& form = t.app().form(u8(d.form));
        ASSERT_TRUE(form.loaded());
        expectRowsOnForm(d.table, form);
        expectOperatedControlsBound(d.table, form);
    }
}

} // namespace
} // namespace korvane::testing
