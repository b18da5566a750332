#pragma once

namespace korvane {

class Application;
class Form;

// Start-up of the main window (its Load): the cable lists, the fixed lists, the line kinds, the
// start states of pages 1 and 2, the timer and the About text. A cable database that cannot be
// opened ends the program.
void runStartup(Application& app, Form& form);

} // namespace korvane
