#pragma once

#include <QString>

namespace korvane {

class Application;
class Form;

// The explanation behind each ">>" hint button, or an empty text for other buttons.
QString hintText(const QString& button);
// Each hint button shows its text in a message box titled with the program's name.
void installHints(Application& app, Form& form);

} // namespace korvane
