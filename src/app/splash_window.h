#pragma once

namespace korvane {

class Application;
class Form;

// Form11: the splash window. Its timer closes it after 3000 ms and shows the main window.
void designSplashWindow(Application& app, Form& form);

inline constexpr int kSplashMilliseconds = 3000;

} // namespace korvane
