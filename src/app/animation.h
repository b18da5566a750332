#pragma once

namespace korvane {

class Form;

// Every tick of the main window's timer blinks the three line segments of the short-circuit
// schematic and advances the progress bar by 8, wrapping round at its maximum.
void installAnimation(Form& form);

} // namespace korvane
