#pragma once

namespace korvane::gui {

// Installs Qt's own Chinese texts (the buttons of message boxes and button boxes, the file
// dialogs, the edit fields' context menus), from Qt's translations folder. The program speaks
// Chinese whatever the system locale is, so they are loaded always. Returns false when they are
// not installed (Debian's qt6-translations-l10n), and Qt's English texts stay.
bool installQtChineseTranslations();

} // namespace korvane::gui
