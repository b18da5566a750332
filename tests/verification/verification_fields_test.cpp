// The verification page's field table against the window it describes, and the run's inputs
// read through it.

#include "pages/verification_fields.h"
#include "verification/verification.h"
#include "verification/verification_action.h"
#include "voltage_loss/voltage_loss_action.h"

#include "support/test_app.h"

#include <map>
#include <set>
#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The kind of control a row's use implies: what the calculation file keeps, or what the shell
// does with the rows it neither keeps nor writes.
ControlKind impliedKind(const FieldBinding& row) {
    static const std::map<std::string_view, ControlKind> others = {
        {"protection.reportPlaceholder", ControlKind::TextBox},
        {"protection.diagram", ControlKind::Frame},
        {"protection.staleNote", ControlKind::Label},
    };
    switch (row.saved) {
    case Saved::ModeSwitch:
    case Saved::LoadSwitch:
        return ControlKind::CheckBox;
    case Saved::Spin:
        return ControlKind::UpDown;
    case Saved::List:
    case Saved::EditableList:
        return ControlKind::ComboBox;
    case Saved::Text:
        return ControlKind::TextBox;
    case Saved::No:
        break;
    }
    if (row.written != Written::None)
        return ControlKind::TextBox;
    if (auto other = others.find(row.quantity); other != others.end())
        return other->second;
    return ControlKind::CommandButton;
}

TEST(VerificationFields, EveryRowNamesAControlOfItsKindOnTheWindow) {
    TestApp app;
    const BindingTable& table = verificationFields();
    std::set<QString> controls;
    for (const FieldBinding& row : table.rows()) {
        SCOPED_TRACE(std::string(row.quantity));
        ASSERT_TRUE(app.form().has(row.controlName()));
        EXPECT_EQ(app.form().control(row.controlName()).kind(), impliedKind(row));
        EXPECT_TRUE(controls.insert(row.controlName()).second) << "bound twice";
        // A switch or a spin button acts on a text field of the same page.
        if (!row.field.empty()) {
            EXPECT_EQ(app.form().control(table.control(row.field)).kind(), ControlKind::TextBox);
        }
    }
}

TEST(VerificationFields, ClearOrderHoldsEachClearedRowOnce) {
    const BindingTable& table = verificationFields();
    QStringList ordered;
    for (std::string_view quantity : verificationClearOrder())
        ordered << table.control(quantity);
    QStringList cleared = table.clearedControls();
    EXPECT_EQ(ordered.size(), cleared.size());
    ordered.sort();
    cleared.sort();
    EXPECT_EQ(ordered, cleared);
    // The switches and the spin button keep their state.
    for (const FieldBinding& row : table.rows())
        if (row.saved == Saved::ModeSwitch || row.saved == Saved::Spin) {
            EXPECT_FALSE(row.cleared) << row.quantity;
        }
}

// Each input takes its own field: every field holds a different number, so two rows bound to
// each other's control or a quantity read from the wrong page shows.
TEST(VerificationFields, ReadsEachInputFromItsOwnField) {
    TestApp app;
    app.select("Combo3", u8("50"));
    const std::pair<const char*, const char*> values[] = {
        {"Text51", "115"},       {"Text52", "1.10"},
        {"Text39", "2.5"},       {"Text72", "15"},
        {"Text35", "5"},         {"Text36", "2"},
        {"Text75", "0.15"},      {"Text37", "20"},
        {"Text38", "0.5"},       {"Text57", "400"},
        {"Text74", "铜母线TMY"}, {"Text9", "4(125X10)"},
        {"Text6", "4.5351"},     {"Text3", "电压损失无法计算：未输入大于0的负荷"},
    };
    for (const auto& [name, value] : values)
        app.setText(name, u8(value));
    ASSERT_EQ(userCheck(app.check("Check15"), 0), QString());
    ASSERT_EQ(userCheck(app.check("Check14"), 1), QString());

    const VerificationInputs in = readVerificationInputs(app.form());
    const ProtectionInputs& p = in.protection;
    EXPECT_EQ(p.coefficientK, 115.0);
    EXPECT_EQ(p.durationS, 1.1);
    EXPECT_EQ(p.loopResistanceOhmPerKm, 2.5);
    EXPECT_EQ(p.leakagePerKmMa, 15.0);
    EXPECT_EQ(p.loadCurrentA, 20.0);
    EXPECT_EQ(p.lengthKm, 0.5);
    EXPECT_FALSE(p.checkEarthFault);
    EXPECT_TRUE(p.checkShortCircuit);
    EXPECT_EQ(in.faults.threePhaseKa, 5.0);
    EXPECT_EQ(in.faults.earthFaultKa, 2.0);
    EXPECT_EQ(in.faults.singlePhaseKa, 0.15);
    const VerifiedInstallation& at = in.installation;
    EXPECT_EQ(at.transformerCapacityText, u8("400"));
    EXPECT_EQ(at.transformerCapacityKva, 400.0);
    EXPECT_EQ(at.busbarMaterial, u8("铜母线TMY"));
    EXPECT_EQ(at.busbarSize, u8("4(125X10)"));
    EXPECT_EQ(at.crossSectionText, u8("50"));
    EXPECT_EQ(at.crossSectionMm2, 50.0);
    EXPECT_EQ(at.voltageLossPercent, 4.5351);
    EXPECT_TRUE(at.voltageLossNotComputed);

    // A field that holds no number is an input the run lacks; a verdict of a computed loss is
    // not a failure to compute.
    app.setText("Text52", u8("1.1s"));
    app.setText("Text57", u8("Text57"));
    app.setText("Text3", u8(kVerdictPass));
    const VerificationInputs lacking = readVerificationInputs(app.form());
    EXPECT_EQ(lacking.protection.durationS, std::nullopt);
    EXPECT_EQ(lacking.installation.transformerCapacityKva, std::nullopt);
    EXPECT_EQ(lacking.installation.transformerCapacityText, u8("Text57"));
    EXPECT_FALSE(lacking.installation.voltageLossNotComputed);
}

} // namespace
} // namespace korvane::testing
