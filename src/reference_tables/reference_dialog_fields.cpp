#include "reference_tables/reference_dialog_fields.h"

namespace korvane {

const BindingTable& referenceDialogFields() {
    static const BindingTable table{
        {"referenceTable.heading", "Label1"},    {"referenceTable.titleLine", "Text1"},
        {"referenceTable.grid", "MSHFlexGrid1"}, {"referenceTable.instruction", "Label3"},
        {"referenceTable.unit", "Label4"},       {"referenceTable.sourceNote", "Label2"},
        {"referenceTable.close", "Command1"},
    };
    return table;
}

} // namespace korvane
