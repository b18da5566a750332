#pragma once

namespace korvane {

class PageServices;
class Form;

// BYQForm8 "BYQ▲": the supply transformer chosen by series, voltage and capacity; its uk, load
// loss and capacity (and the voltage they belong to) go to the main window as soon as a capacity
// is chosen, the series as soon as it is chosen. Opening it starts from the row the main window
// holds, else from the first rows.
void designTransformerDialog(PageServices& app, Form& form);

} // namespace korvane
