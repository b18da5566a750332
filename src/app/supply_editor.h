#pragma once

#include "app/project_document.h"
#include "app/project_state.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace korvane {

// The supply fields shown above the circuit schedule, in this order.
// The project's own fields beside its circuits: the supply, the voltage-loss limit, and how the
// circuits are laid unless a circuit says otherwise (from LayingMethod on, each of which may be
// left empty).
enum class SupplyFieldId {
    SystemCapacity,
    Transformer,
    Busbar,
    BusbarLength,
    VoltageLossLimit,
    LayingMethod,
    LayingTemperature,
    SoilResistivity,
    GroupedCircuits,
    CircuitSpacing,
    ConductorTemperature,
};
inline constexpr int kSupplyFieldCount = 11;
inline constexpr int kFirstInstallationField = int(SupplyFieldId::LayingMethod);

// One supply field: its label, its text and, for a choice, the texts to choose from (empty for
// free text; the text is then a number in the regional format).
struct SupplyFieldView {
    QString label;
    QString text;
    QStringList choices;
};

// The project's own fields above the schedule: the supply (the transformer and the busbar
// chosen from the database), the voltage-loss limit and the installation the circuits inherit.
// Every circuit depends on them: an accepted change computes every row again.
class SupplyEditor {
public:
    SupplyEditor(ProjectState& state, ProjectDocument& document);

    int supplyFieldCount() const { return kSupplyFieldCount; }
    SupplyFieldView supplyField(int index) const;
    // Takes the text of a field: a number for the free-text fields, one of the choices for the
    // transformer and the busbar (which fill their values from the database). Returns the reason
    // when it cannot be taken; then nothing changes.
    std::optional<QString> setSupplyField(int index, const QString& text);

private:
    ProjectState& state_;
    ProjectDocument& document_;
};

} // namespace korvane
