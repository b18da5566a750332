#pragma once

namespace korvane {

class Application;
class Form;

// Form1: the tabbed main window with its four pages, the fields below the pages that the
// dialogs fill, the timer, and every handler of the window.
void designMainWindow(Application& app, Form& form);

inline constexpr int kAnimationMilliseconds = 800;

} // namespace korvane
