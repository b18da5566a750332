#pragma once

namespace korvane {

class PageServices;
class Form;
struct ReferenceTable;

// A picker dialog over a handbook table: the grid is built when the dialog loads, entering a cell
// paints it red and leaving it paints it white, a click copies the current cell's text into the
// table's main-window fields, and "确定" unloads the dialog.
void designReferenceDialog(PageServices& app, Form& form, const ReferenceTable& table);

} // namespace korvane
