#include "reference_tables/reference_dialog.h"

#include "base/number_format.h"
#include "pages/layout.h"
#include "pages/page_services.h"
#include "reference_tables/reference_dialog_fields.h"
#include "reference_tables/reference_tables.h"

#include <algorithm>

namespace korvane {

namespace {

// Grid set-up in the order the table is laid out: size, row heights, column widths, merging,
// cells, alignment, the rows and columns that may merge. The handbook figures are shown, and
// picked into the main window, with the regional decimal sign and every digit as printed.
void buildGrid(Grid& grid, const ReferenceTable& table) {
    const int rows = static_cast<int>(table.cells.size());
    const int cols = rows > 0 ? static_cast<int>(table.cells.front().size()) : 0;
    grid.setSize(rows, cols);
    for (int r = 0; r < rows; ++r)
        grid.setRowHeight(r, table.rowHeightTwips);
    for (int c = 1; c < cols; ++c)
        grid.setColWidth(c, table.colWidthTwips);
    grid.setMergeCells(true);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            grid.setText(r, c, regionalDecimalText(table.cells[static_cast<size_t>(r)].value(c)));
    }
    for (int c = 0; c < cols; ++c)
        grid.setColAlignment(c, table.alignment);
    for (int r : table.mergeRows)
        grid.setMergeRow(r, true);
    for (int c : table.mergeCols)
        grid.setMergeCol(c, true);
}

} // namespace

void designReferenceDialog(PageServices& app, Form& form, const ReferenceTable& table) {
    form.setCaption(table.caption);
    form.setDialog(true);

    const int rows = static_cast<int>(table.cells.size());
    const int cols = rows > 0 ? static_cast<int>(table.cells.front().size()) : 0;
    const int gridWidth =
        twipsToPixels(kDefaultColWidthTwips) + (cols - 1) * twipsToPixels(table.colWidthTwips) + 4;
    const int gridHeight = rows * twipsToPixels(table.rowHeightTwips) + 4;
    const int width = gridWidth + 24;
    const Placement in{nullptr, -1};
    const BindingTable& own = referenceDialogFields();

    auto& heading = addLabel(form, in, own.control("referenceTable.heading"), table.heading,
                             {12, 8, gridWidth, 20});
    heading.setAlignment(Alignment::Center);
    auto& title = form.add<TextBox>(own.control("referenceTable.titleLine"), nullptr, -1,
                                    {12, 32, gridWidth, 22});
    title.setText(table.titleLine);
    auto& grid = form.add<Grid>(own.control("referenceTable.grid"), nullptr, -1,
                                {12, 58, gridWidth, gridHeight});
    int y = 58 + gridHeight + 8;
    if (!table.instruction.isEmpty()) {
        addLabel(form, in, own.control("referenceTable.instruction"), table.instruction,
                 {12, y, gridWidth / 2, 20});
    }
    if (!table.unit.isEmpty()) {
        addLabel(form, in, own.control("referenceTable.unit"), table.unit,
                 {12 + gridWidth / 2, y, gridWidth / 2, 20})
            .setAlignment(Alignment::Right);
    }
    y += 24;
    addLabel(form, in, own.control("referenceTable.sourceNote"), table.sourceNote,
             {12, y, gridWidth, 20});
    y += 26;
    addButton(form, in, own.control("referenceTable.close"), QStringLiteral("确定"),
              {12 + gridWidth - 88, y, 88, 28});
    form.setSize(std::max(width, 420), y + 38);

    form.onLoad([&grid, &table] { buildGrid(grid, table); });
    grid.on(Event::EnterCell, [&grid] { grid.setCurrentCellBackColor(colors::kRed); });
    grid.on(Event::LeaveCell, [&grid] { grid.setCurrentCellBackColor(colors::kWhite); });
    grid.on(Event::Click, [&app, &grid, &table] {
        const QString picked = grid.text(grid.row(), grid.col());
        Form& main = app.mainForm();
        for (const PickTarget& target : table.targets) {
            if (main.loaded())
                writeBoundText(main, *target.fields, target.quantity, picked);
        }
    });
    form.button(own.control("referenceTable.close")).on(Event::Click, [&form] { form.unload(); });
}

} // namespace korvane
