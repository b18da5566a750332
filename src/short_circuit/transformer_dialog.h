#pragma once

namespace korvane {

class Application;
class Form;

// BYQForm8 "BYQ▲": the supply transformer chosen by series, voltage and capacity; its uk, load
// loss and capacity go to the main window as soon as a capacity is chosen, the series as soon as
// it is chosen.
void designTransformerDialog(Application& app, Form& form);

} // namespace korvane
