#pragma once

#include "pages/layout.h"

namespace korvane {

class Application;

// Page 3 "关于软件": the information text and the thank-you label.
void designAboutPage(Form& form, Placement page);
// Restyles the information text after every change of it.
void installAboutPage(Form& form);
// Appends the information file line by line; a missing file leaves a note instead.
void loadInformationText(Application& app, Form& form);

// The fixed styling of the information text: one font over the first 1600 characters and the
// section headings in red at fixed character positions.
void styleInformationText(RichTextBox& box);

} // namespace korvane
